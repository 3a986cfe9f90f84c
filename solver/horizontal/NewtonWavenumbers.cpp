#include "NewtonWavenumbers.h"

#include "FortranFormat.h"
#include "RecordFile.h"

#include <cmath>

namespace kd {

namespace {

// Single-precision constants widened to double, written as they are used.
constexpr double kPivotFloor = 9.999999682655225e-21;   // 1e-20
constexpr double kTooClose = 1.0000000116860974e-07;   // 1e-7
constexpr double kPush = 1.0000001000000012;           // 1.0000001
constexpr double kConverged = 9.999999717180685e-10;   // 1e-9
constexpr int kMaxSteps = 100;

Cx floored(Cx u, double t0) { return norm1(u) < t0 ? Cx{t0, 0.0} : u; }

} // namespace

void NEWTON_WAVENUMBERS_H(CVec SH_DYN_DIAG, CVec SH_DYN_OFF, CVec SH_A_DIAG, CVec SH_A_OFF,
                          CVec SH_WAVENUMBERS, CMat SH_MODES, CVec work1, CVec work2, CVec work3,
                          CVec work4, CVec work5, IVec work6, int n, double f, OutputChannel& runNotes)
{
    if (n < 1)
        return;
    CVec& twoAOff = work1;
    CVec& pivotRecip = work2;
    CVec& super1 = work3;
    CVec& super2 = work4;
    CVec& phi = work5;
    IVec& swapped = work6;

    const double t0 = kPivotFloor * modulus(SH_DYN_DIAG(1));
    for (int k = 1; k <= n; ++k)
        twoAOff(k) = 2.0 * SH_A_OFF(k);

    // Entries of T(x) = D - x A.
    auto d = [&](int k, Cx x) { return SH_DYN_DIAG(k) - x * SH_A_DIAG(k); };
    auto w = [&](int k, Cx x) { return SH_DYN_OFF(k) - x * SH_A_OFF(k); };

    // Newton on det T(x) with the roots found so far deflated implicitly: the
    // correction is 1 / (det'/det - sum over earlier roots r of 1 / (x - r)).
    // Each root starts from the previous one scaled by 0.999; convergence is
    // the second step with a relative correction of at most 1e-9.
    Cx x{0.0, 0.0};
    for (int j = 1; j <= n; ++j) {
        x = 0.999 * x;
        int steps = 1;
        bool small = false;
        for (;;) {
            bool tooClose = false;
            Cx S{0.0, 0.0};
            for (int i = 1; i <= j - 1; ++i) {
                const Cx r = SH_WAVENUMBERS(i);
                if (norm1(r) * kTooClose > norm1(x - r)) {
                    x = x * kPush;
                    tooClose = true;
                    break;
                }
                S -= recip(x - r);
            }
            if (!tooClose) {
                // q(k): pivots of T(x); I(k) = q'(k) / q(k); their sum is det'/det.
                Cx q = floored(d(1, x), t0);
                Cx I = -SH_A_DIAG(1) / q;
                S += I;
                for (int k = 2; k <= n; ++k) {
                    const Cx wk = w(k - 1, x);
                    const Cx t = wk / q;
                    q = floored(d(k, x) - t * wk, t0);
                    I = (t * (I * wk + twoAOff(k - 1)) - SH_A_DIAG(k)) / q;
                    S += I;
                }
                const Cx dx = recip(S);
                x = x - dx;
                const double rel = norm1(-dx / x);
                if (rel <= kConverged) {
                    if (small)
                        break;
                    small = true;
                }
            }
            ++steps;
            if (steps >= kMaxSteps) {
                runNotes.line(" HORIZONTAL STIFFNESS, FREQUENCY = " + fmtF(f, 10, 4));
                runNotes.line(" NO CONVERGENCE IN" + fmtI(steps, 4) + " NEWTON STEPS TO THE ");
                runNotes.line(" CORRECTION SMALLER THAN 1.E-9 TIMES THE ROOT");
                return;
            }
        }
        SH_WAVENUMBERS(j) = x;

        // Mode of root j: two inverse-iteration solves with T(x) factored by
        // elimination with row interchanges; the multipliers live in column j
        // of SH_MODES until the mode overwrites them.
        CVec mult = SH_MODES.col(j);
        for (int k = 1; k <= n; ++k)
            phi(k) = Cx{1.0, 0.0};
        Cx u = d(1, x);
        Cx e = w(1, x);
        for (int k = 1; k <= n - 1; ++k) {
            const Cx below = w(k, x);
            const Cx dNext = d(k + 1, x);
            const Cx wNext = w(k + 1, x);
            if (norm1(below) > norm1(u)) {
                swapped(k) = -1;
                pivotRecip(k) = recip(below);
                super1(k) = dNext;
                super2(k) = wNext;
                const Cx m = -u / below;
                mult(k) = m;
                u = e + m * dNext;
                e = m * wNext;
            } else {
                swapped(k) = 0;
                u = floored(u, t0);
                pivotRecip(k) = recip(u);
                super1(k) = e;
                super2(k) = Cx{0.0, 0.0};
                const Cx m = -below / u;
                mult(k) = m;
                u = dNext + m * e;
                e = wNext;
            }
        }
        // The last pivot is kept as a divisor, the others as reciprocals.
        const Cx lastPivot = floored(u, t0);

        for (int pass = 1; pass <= 2; ++pass) {
            for (int k = 1; k <= n - 1; ++k) {
                if (swapped(k) == -1) {
                    const Cx t = phi(k);
                    phi(k) = phi(k + 1);
                    phi(k + 1) = t;
                }
                phi(k + 1) += mult(k) * phi(k);
            }
            phi(n) = phi(n) / lastPivot;
            for (int k = n - 1; k >= 1; --k) {
                Cx sum = phi(k) - super1(k) * phi(k + 1);
                // The second superdiagonal of an interchanged last row is w(n) = 0.
                if (swapped(k) == -1 && k + 2 <= n)
                    sum -= super2(k) * phi(k + 2);
                phi(k) = sum * pivotRecip(k);
            }
        }

        double largest = 0.0;
        for (int k = 1; k <= n; ++k)
            if (modulus(phi(k)) > largest)
                largest = modulus(phi(k));
        for (int k = 1; k <= n; ++k)
            phi(k) = divReal(phi(k), largest);

        // q = phi^T A phi (bilinear), A tridiagonal.
        Cx quad{0.0, 0.0};
        for (int k = 1; k <= n; ++k) {
            Cx aphi{0.0, 0.0};
            if (k > 1)
                aphi += SH_A_OFF(k - 1) * phi(k - 1);
            aphi += SH_A_DIAG(k) * phi(k);
            if (k < n)
                aphi += SH_A_OFF(k) * phi(k + 1);
            quad += phi(k) * aphi;
        }
        const Cx cn = recip(csqrt(quad));
        for (int k = 1; k <= n; ++k)
            SH_MODES(k, j) = cn * phi(k);
    }

    // Wave numbers from their squares: the decaying root, Im k <= 0.
    for (int j = 1; j <= n; ++j) {
        Cx k = csqrt(SH_WAVENUMBERS(j));
        if (k.im > 0.0 || (k.im == 0.0 && k.re < 0.0))
            k = -k;
        SH_WAVENUMBERS(j) = k;
    }
}

} // namespace kd
