#include "SoilFlexibilityV.h"

#include "ComplexKernels.h"
#include "HankelV.h"
#include "ModeRadialV.h"
#include "SoilStiffnessSymmetry.h"
#include "ThinLayerMatrices.h"

namespace kd {

void SOIL_FLEXIBILITY_V(CMat T, CMat U, CVec PSV_WAVENUMBERS, CMat PSV_MODES, const ThinLayerBands& b, int n,
                        int n2, double R)
{
    for (int j = 1; j <= n2; ++j) {
        const Cx k = PSV_WAVENUMBERS(j);
        const Cx k2 = k * k;
        Cx d, h0, minusH1;
        BESSEL_TERM_V(d, h0, minusH1, k, R);
        const Cx h1 = -minusH1;
        auto f = [&](int i) { return PSV_MODES(2 * i - 1, j); };
        auto g = [&](int i) { return PSV_MODES(2 * i, j); };
        for (int i = 1; i <= n; ++i) {
            Cx ra = b.RA_DIAG(i) * f(i);
            Cx af = b.PSV_A_DIAG(2 * i - 1) * f(i);
            Cx lb = b.LB_DIAG(i) * g(i);
            Cx ag = b.PSV_A_DIAG(2 * i) * g(i);
            Cx gb = b.GB_DIAG(i) * f(i);
            // The node above (missing at the surface node) ...
            if (i > 1) {
                ra = ra + b.RA_OFF(i - 1) * f(i - 1);
                af = af + b.PSV_A_OFF(2 * i - 3) * f(i - 1);
                lb = lb + b.LB_OFF(i - 1) * g(i - 1);
                ag = ag + b.PSV_A_OFF(2 * i - 2) * g(i - 1);
                gb = gb - b.GB_OFF(i - 1) * f(i - 1);
            }
            // ... and the node below (missing at the deepest node).
            if (i < n) {
                ra = ra + b.RA_OFF(i) * f(i + 1);
                af = af + b.PSV_A_OFF(2 * i - 1) * f(i + 1);
                lb = lb - b.LB_OFF(i) * g(i + 1);
                ag = ag + b.PSV_A_OFF(2 * i) * g(i + 1);
                gb = gb + b.GB_OFF(i) * f(i + 1);
            }
            T(2 * i - 1, j) = h1 * k * ra - h0 * k2 * af - h0 * k * lb;
            T(2 * i, j) = -(h1 * k2 * ag) - h1 * k * gb;
        }
    }
    for (int j = 1; j <= n2; ++j)
        for (int i = 1; i <= n2; ++i)
            T(i, j) = T(i, j) * -R;
    MODE_RADIAL_V(U, PSV_WAVENUMBERS, PSV_MODES, R, n, n2);
}

void SOIL_STIFFNESS_V(CMat ST, CMat U, IVec ipiv, CVec w, int n2, double frequency, OutputChannel& notes)
{
    CMATINV_PIVOT_V(U, n2, ipiv, w);
    CMATMUL_INPLACE(ST, U, w, n2, 1);
    symmetrizeSoilStiffness(ST, n2, 1e-6, " VERTICAL STIFNESS,  FREQUENCY= ", frequency, notes);
}

} // namespace kd
