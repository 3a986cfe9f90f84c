#include "SoilFlexibilityH.h"

#include "ComplexKernels.h"
#include "HankelH.h"
#include "ModeRadialH.h"
#include "SoilStiffnessSymmetry.h"
#include "ThinLayerMatrices.h"

namespace kd {

namespace {

// 1e-6 as a single-precision value, widened.
constexpr double kSymmetryTolerance = 9.999999974752427e-07;

// Band sum at node i of a nodal vector x: DIAG(i) x(i) + OFF(i-1) x(i-1) +
// OFF(i) x(i+1), with the given signs on the couplings towards node i-1 and
// node i+1; the terms of the nodes 0 and n+1 are left out.
template <class Get>
Cx bandSum(const Vector<Cx>& diag, const Vector<Cx>& off, int i, int n, Get x, double lowerSign, double upperSign)
{
    Cx s = diag(i) * x(i);
    if (i > 1)
        s = s + lowerSign * (off(i - 1) * x(i - 1));
    if (i < n)
        s = s + upperSign * (off(i) * x(i + 1));
    return s;
}

} // namespace

void SOIL_FLEXIBILITY_H(CMat ST, CMat U, CVec SH_WAVENUMBERS, CVec PSV_WAVENUMBERS, CMat SH_MODES,
                        CMat PSV_MODES, const ThinLayerBands& b, int n, int n2, int ld, double R, int order,
                        double harmonic, IVec ipiv, CVec w, double frequency, OutputChannel& notes)
{
    const ThinLayerBands& B = b;
    const auto sym = [&](const Vector<Cx>& d, const Vector<Cx>& o, int i, auto x) {
        return bandSum(d, o, i, n, x, 1.0, 1.0);
    };

    // Two-component modes: columns 1..2n.
    for (int j = 1; j <= n2; ++j) {
        const Cx k = PSV_WAVENUMBERS(j);
        const Cx k2 = k * k;
        Cx d, h1, h0;
        BESSEL_TERM_H(d, h1, h0, k, R, order);
        auto f = [&](int i) { return PSV_MODES(2 * i - 1, j); };
        auto g = [&](int i) { return PSV_MODES(2 * i, j); };
        for (int i = 1; i <= n; ++i) {
            // Two-position band of A on the first and on the second components.
            Cx af = B.PSV_A_DIAG(2 * i - 1) * f(i);
            Cx ag = B.PSV_A_DIAG(2 * i) * g(i);
            if (i > 1) {
                af = af + B.PSV_A_OFF(2 * i - 3) * f(i - 1);
                ag = ag + B.PSV_A_OFF(2 * i - 2) * g(i - 1);
            }
            if (i < n) {
                af = af + B.PSV_A_OFF(2 * i - 1) * f(i + 1);
                ag = ag + B.PSV_A_OFF(2 * i) * g(i + 1);
            }
            const Cx rnnF = sym(B.RNN_DIAG, B.RNN_OFF, i, f);
            const Cx raF = sym(B.RA_DIAG, B.RA_OFF, i, f);
            const Cx rnF = sym(B.RN_DIAG, B.RN_OFF, i, f);
            const Cx rnG = sym(B.RN_DIAG, B.RN_OFF, i, g);
            const Cx lbG = bandSum(B.LB_DIAG, B.LB_OFF, i, n, g, 1.0, -1.0);
            const Cx rnbF = bandSum(B.RNB_DIAG, B.RNB_OFF, i, n, f, 1.0, -1.0);
            const Cx gbF = bandSum(B.GB_DIAG, B.GB_OFF, i, n, f, -1.0, 1.0);

            ST(3 * i - 2, j) = -(h1 * k2 * af) + h1 * rnnF - h0 * k * raF - h1 * k * lbG;
            ST(3 * i - 1, j) = h0 * k2 * ag + h1 * rnbF + h0 * k * gbF - h1 * k * rnG;
            ST(3 * i, j) = 2.0 * (h0 * k * rnF) - h1 * rnnF;
        }
    }

    // One-component modes: columns 2n+1..3n.
    for (int j = 1; j <= n; ++j) {
        const Cx k = SH_WAVENUMBERS(j);
        const Cx k2 = k * k;
        Cx d, h1, h0;
        BESSEL_TERM_H(d, h1, h0, k, R, order);
        auto p = [&](int i) { return SH_MODES(i, j); };
        for (int i = 1; i <= n; ++i) {
            const Cx rnP = sym(B.RN_DIAG, B.RN_OFF, i, p);
            const Cx rnnP = sym(B.RNN_DIAG, B.RNN_OFF, i, p);
            const Cx rnbP = bandSum(B.RNB_DIAG, B.RNB_OFF, i, n, p, 1.0, -1.0);
            const Cx shaP = sym(B.SH_A_DIAG, B.SH_A_OFF, i, p);
            const Cx raP = sym(B.RA_DIAG, B.RA_OFF, i, p);
            ST(3 * i - 2, n2 + j) = 2.0 * (h0 * k * rnP) - h1 * rnnP;
            ST(3 * i - 1, n2 + j) = -(h1 * rnbP);
            ST(3 * i, n2 + j) = -(h1 * k2 * shaP) - h0 * k * raP + h1 * rnnP;
        }
    }

    for (int j = 1; j <= ld; ++j)
        for (int i = 1; i <= ld; ++i)
            ST(i, j) = ST(i, j) * -R;

    MODE_RADIAL_H(U, SH_WAVENUMBERS, PSV_WAVENUMBERS, SH_MODES, PSV_MODES, R, harmonic, order, n, n2);
    CMATINV_PIVOT_H(U, ld, ipiv, w);
    CMATMUL_INPLACE(ST, U, w, ld, 1);
    symmetrizeSoilStiffness(ST, ld, kSymmetryTolerance, " HORIZONTAL STIFNESS,  FREQUENCY= ", frequency, notes);
}

} // namespace kd
