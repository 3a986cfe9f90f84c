#include "InverseIteration.h"

#include "RecordFile.h"

#include <cmath>

namespace kd {

void InverseIterationWork::resize(int m)
{
    band.resize(m, 4);
    for (Vector<Cx>* vec : {&v, &x, &dv, &ax, &spare, &sumk, &sum1, &start1, &start2})
        vec->assign(m);
    rowLimit.assign(m);
}

namespace {

// Rounds a double to single precision and widens it back, as the start
// shifts are defined.
double single(double value) { return static_cast<double>(static_cast<float>(value)); }

// y := K u for the symmetric band matrix with diagonal `diag` and coupling
// `off` between p and p+2 (both halves of the band).
void applyTwoBand(CVec diag, CVec off, CVec u, CVec y, int m)
{
    for (int p = 1; p <= m; ++p) {
        Cx sum{0.0, 0.0};
        if (p > 2)
            sum += off(p - 2) * u(p - 2);
        sum += diag(p) * u(p);
        if (p + 2 <= m)
            sum += off(p) * u(p + 2);
        y(p) = sum;
    }
}

// Number of couplings to the right stored for row p (0..3).
int rowWidth(IVec rowLimit, int p, int m) { return (rowLimit(p) - p) / m; }

// Solves Q y = rhs in place (rhs becomes y) for the symmetric band matrix held
// by its upper band, eliminating without interchanges.
void solveBand(CMat band, IVec rowLimit, CVec rhs, int m, const InverseIterationLimits& limits)
{
    for (int k = 1; k <= m - 1; ++k) {
        const Cx pivot = band(k, 1);
        const int width = rowWidth(rowLimit, k, m);
        for (int o = 1; o <= width; ++o) {
            const int i = k + o;
            const Cx mult = band(k, o + 1) / pivot;
            for (int o2 = o; o2 <= width; ++o2) {
                Cx& element = band(i, o2 - o + 1);
                element -= mult * band(k, o2 + 1);
                if (std::fabs(element.re) < limits.guard && std::fabs(element.im) < limits.guard)
                    element = Cx{limits.guardValue, limits.guardValue};
            }
            rhs(i) -= mult * rhs(k);
        }
    }
    for (int k = m; k >= 1; --k) {
        Cx sum = rhs(k);
        const int width = rowWidth(rowLimit, k, m);
        for (int o = 1; o <= width; ++o)
            sum -= band(k, o + 1) * rhs(k + o);
        rhs(k) = sum / band(k, 1);
    }
}

} // namespace

ModeSearchStatus inverseIterationModes(const InverseIterationLimits& limits, CVec PSV_A_DIAG,
                                       CVec PSV_A_OFF, CVec PSV_B_BAND1, CVec PSV_B_BAND3,
                                       CVec PSV_DYN_DIAG, CVec PSV_DYN_OFF, CVec PSV_WAVENUMBERS,
                                       CMat PSV_MODES, CMat band, CVec v, CVec x, CVec dv, CVec ax,
                                       CVec /*spare: left untouched*/, CVec sumk, CVec sum1,
                                       CVec start1, CVec start2, IVec rowLimit, int m,
                                       OutputChannel& report)
{
    if (m < 2)
        return ModeSearchStatus::Found;
    const int nodes = m / 2;

    // Row profile: odd rows couple up to p+3, even rows up to p+2; row m-1
    // only with row m, row m with nothing to its right.
    for (int q = 1; q <= nodes - 1; ++q) {
        rowLimit(2 * q - 1) = 3 * m + 1 + 2 * (q - 1);
        rowLimit(2 * q) = 2 * m + 2 + 2 * (q - 1);
    }
    rowLimit(m - 1) = 2 * m - 1;
    rowLimit(m) = m;

    // First shift from the mean ratio of the dynamic to the A diagonal.
    double ratioSum = 0.0;
    for (int p = 1; p <= m; ++p)
        ratioSum += std::fabs((PSV_DYN_DIAG(p) / PSV_A_DIAG(p)).re);
    const double s0 = std::sqrt(ratioSum / m);
    Cx s{single(s0), single(2.0 * s0)};

    for (int p = 1; p <= m; ++p) {
        v(p) = Cx{1.0, 0.0};
        x(p) = s;
        start1(p) = Cx{1.0, 0.0};
        start2(p) = s;
        sumk(p) = Cx{0.0, 0.0};
        sum1(p) = Cx{0.0, 0.0};
    }
    int conjugateStart = 0;

    for (int j = 1; j <= m; ++j) {
        applyTwoBand(PSV_DYN_DIAG, PSV_DYN_OFF, v, dv, m);
        applyTwoBand(PSV_A_DIAG, PSV_A_OFF, x, ax, m);

        if (conjugateStart == 1) {
            s = conj(s);
            conjugateStart = 2;
        } else {
            conjugateStart = 0;
            const double r = 0.5 * modulus(s);
            s = Cx{single(r), single(2.0 * r)};
        }
        Cx c{1.0, 0.0};
        Cx S{0.0, 0.0};
        bool near = false;
        bool converged = false;

        for (int iteration = 1; iteration <= 100 && !converged; ++iteration) {
            const Cx s2 = s * s;
            for (int p = 1; p <= m; ++p) {
                band(p, 1) = s2 * PSV_A_DIAG(p) + PSV_DYN_DIAG(p);
                band(p, 2) = s * PSV_B_BAND1(p);
                band(p, 3) = s2 * PSV_A_OFF(p) + PSV_DYN_OFF(p);
                band(p, 4) = s * PSV_B_BAND3(p);
                // x is only needed through A x from here on: it takes the right side.
                x(p) = c * (dv(p) - s * ax(p));
            }
            solveBand(band, rowLimit, x, m, limits);

            // New v, and the mixed sum of the old products with the new vectors.
            Cx mixed{0.0, 0.0};
            for (int p = 1; p <= m; ++p) {
                v(p) = (x(p) - c * v(p)) / s;
                mixed += ax(p) * x(p) - dv(p) * v(p);
            }
            applyTwoBand(PSV_DYN_DIAG, PSV_DYN_OFF, v, dv, m);
            applyTwoBand(PSV_A_DIAG, PSV_A_OFF, x, ax, m);
            S = Cx{0.0, 0.0};
            for (int p = 1; p <= m; ++p)
                S += ax(p) * x(p) - dv(p) * v(p);

            Cx delta = c * mixed / S;
            if (iteration > 15)
                delta = 0.5 * delta;
            s += delta;
            c = csqrt(Cx{2.0, 0.0} / S);
            const double e = norm1(delta / s);
            if (near && e < limits.converged)
                converged = true;
            else if (e < limits.near)
                near = true;
        }
        if (!converged) {
            report.line(kModesNotConverged);
            return ModeSearchStatus::NotConverged;
        }

        // Wave number and its type.
        const double size = std::fabs(s.re) + std::fabs(s.im);
        const bool imaginary = std::fabs(s.re) / size < limits.classify;
        const bool real = !imaginary && std::fabs(s.im) / size < limits.classify;
        const bool complexMode = !imaginary && !real;
        Cx k = s;
        if (imaginary)
            k.re = 0.0;
        else if (real)
            k.im = 0.0;

        for (int p = 1; p <= m; ++p)
            PSV_MODES(p, j) = c * x(p);

        // Direction of a real mode, judged on the normalised vector c v: the
        // raw v has an arbitrary phase.
        if (real) {
            const Cx w1 = c * v(1);
            const Cx w2 = c * v(2);
            if (!((s * (w1 * w1 + w2 * w2)).re > 0.0)) {
                k = -k;
                for (int p = 2; p <= m; p += 2)
                    PSV_MODES(p, j) = -PSV_MODES(p, j);
            }
        }
        PSV_WAVENUMBERS(j) = k;

        Cx orth{0.0, 0.0};
        for (int p = 1; p <= m; ++p)
            orth += sum1(p) * ax(p) - sumk(p) * dv(p);
        orth = c * orth;
        if (!(norm1(orth) < limits.orthogonal)) {
            report.line(kModesNotOrthogonal);
            return ModeSearchStatus::NotOrthogonal;
        }
        for (int p = 1; p <= m; ++p) {
            const Cx phi = PSV_MODES(p, j);
            sumk(p) += phi / k;
            sum1(p) += phi;
        }

        // Clear the start vectors of this mode and of its mirror, component
        // by component, and start the next mode from them.
        const Cx w = Cx{2.0, 0.0} / S;
        Cx t1{0.0, 0.0};
        Cx t2{0.0, 0.0};
        for (int q = 1; q <= nodes; ++q) {
            t1 += ax(2 * q) * start2(2 * q) - dv(2 * q - 1) * start1(2 * q - 1);
            t2 += ax(2 * q - 1) * start2(2 * q - 1) - dv(2 * q) * start1(2 * q);
        }
        const Cx a1 = w * t1;
        const Cx a2 = w * t2;
        for (int q = 1; q <= nodes; ++q) {
            start1(2 * q - 1) -= a1 * v(2 * q - 1);
            start1(2 * q) -= a2 * v(2 * q);
            start2(2 * q - 1) -= a2 * x(2 * q - 1);
            start2(2 * q) -= a1 * x(2 * q);
        }
        for (int p = 1; p <= m; ++p) {
            v(p) = start1(p);
            x(p) = start2(p);
        }

        if (complexMode && conjugateStart == 0)
            conjugateStart = 1;
    }

    // Decaying modes: every wave number ends with Im k <= 0; the second
    // components follow the sign of the wave number.
    for (int j = 1; j <= m; ++j) {
        const bool flip = PSV_WAVENUMBERS(j).im > 0.0;
        if (flip)
            PSV_WAVENUMBERS(j) = -PSV_WAVENUMBERS(j);
        else
            for (int p = 2; p <= m; p += 2)
                PSV_MODES(p, j) = -PSV_MODES(p, j);
    }
    return ModeSearchStatus::Found;
}

ModeSearchStatus inverseIterationModes(const InverseIterationLimits& limits, CVec PSV_A_DIAG,
                                       CVec PSV_A_OFF, CVec PSV_B_BAND1, CVec PSV_B_BAND3,
                                       CVec PSV_DYN_DIAG, CVec PSV_DYN_OFF, CVec PSV_WAVENUMBERS,
                                       CMat PSV_MODES, InverseIterationWork& work, int m,
                                       OutputChannel& report)
{
    return inverseIterationModes(limits, PSV_A_DIAG, PSV_A_OFF, PSV_B_BAND1, PSV_B_BAND3, PSV_DYN_DIAG,
                                 PSV_DYN_OFF, PSV_WAVENUMBERS, PSV_MODES, work.band, work.v, work.x,
                                 work.dv, work.ax, work.spare, work.sumk, work.sum1, work.start1,
                                 work.start2, work.rowLimit, m, report);
}

ModeSearchStatus EIGENVECTORS_H(CVec PSV_A_DIAG, CVec PSV_A_OFF, CVec PSV_B_BAND1, CVec PSV_B_BAND3, CVec PSV_DYN_DIAG,
                    CVec PSV_DYN_OFF, CVec PSV_WAVENUMBERS, CMat PSV_MODES, CMat band, CVec v, CVec x,
                    CVec dv, CVec ax, CVec spare, CVec sumk, CVec sum1, CVec start1, CVec start2,
                    IVec rowLimit, int m, OutputChannel& report)
{
    return inverseIterationModes(kHorizontalModeLimits, PSV_A_DIAG, PSV_A_OFF, PSV_B_BAND1, PSV_B_BAND3,
                          PSV_DYN_DIAG, PSV_DYN_OFF, PSV_WAVENUMBERS, PSV_MODES, band, v, x, dv, ax,
                          spare, sumk, sum1, start1, start2, rowLimit, m, report);
}

ModeSearchStatus EIGENVECTORS_V(CVec PSV_A_DIAG, CVec PSV_A_OFF, CVec PSV_B_BAND1, CVec PSV_B_BAND3, CVec PSV_DYN_DIAG,
                    CVec PSV_DYN_OFF, CVec PSV_WAVENUMBERS, CMat PSV_MODES, CMat band, CVec v, CVec x,
                    CVec dv, CVec ax, CVec spare, CVec sumk, CVec sum1, CVec start1, CVec start2,
                    IVec rowLimit, int m, OutputChannel& report)
{
    return inverseIterationModes(kVerticalModeLimits, PSV_A_DIAG, PSV_A_OFF, PSV_B_BAND1, PSV_B_BAND3,
                          PSV_DYN_DIAG, PSV_DYN_OFF, PSV_WAVENUMBERS, PSV_MODES, band, v, x, dv, ax,
                          spare, sumk, sum1, start1, start2, rowLimit, m, report);
}

} // namespace kd
