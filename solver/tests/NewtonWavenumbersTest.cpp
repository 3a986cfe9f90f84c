#include "NewtonWavenumbers.h"

#include "DenseReference.h"
#include "DynamicLayerMatrices.h"
#include "HorizontalSoilModel.h"
#include "RecordFile.h"
#include "SoilColumn.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace kd;
using kd::test::relDiff;
using kd::test::SoilColumn;

namespace {

// Wave number with Im k <= 0 (Re k >= 0 when real) from its square.
Cx decaying(Cx k2)
{
    Cx k = csqrt(k2);
    if (k.im > 0.0 || (k.im == 0.0 && k.re < 0.0))
        k = -k;
    return k;
}

} // namespace

// Uniform stratum of N equal sublayers on a rigid base. For this discretisation
// the out-of-plane roots are exact: with t_j = (2j-1) pi / (2N),
//   k_j^2 = omega^2 rho / G* - (6 / h^2) (1 - cos t_j) / (2 + cos t_j),
// and mode j is proportional to cos((i-1) t_j) at node i (free top, fixed
// node N+1), from the interior row of (omega^2 M - G - k^2 A) phi = 0.
TEST(NewtonWavenumbers, UniformStratumMatchesClosedForm)
{
    struct Case {
        int n;
        double beta;
        double omega2;
    };
    const Case cases[] = {{1, 0.05, 12.5}, {2, 0.05, 12.5}, {5, 0.05, 12.5}, {5, 0.0, 12.5},
                          {20, 0.05, 40.0}, {40, 0.02, 3.0},  {40, 0.0, 90.0}};
    const double depth = 10.0, rho = 2.0, vs = 5.0, nu = 0.3;
    for (const Case& c : cases) {
        SCOPED_TRACE("N = " + std::to_string(c.n) + ", beta = " + std::to_string(c.beta) + ", omega^2 = "
                     + std::to_string(c.omega2));
        SoilColumn col;
        col.add(c.n, depth, rho, vs, nu, c.beta);
        HorizontalSoilModel soil = col.model();
        OutputChannel notes;
        FORM_DYN_SH(soil, c.omega2);
        NEWTON_WAVENUMBERS_H(soil, 1.0, notes);
        EXPECT_TRUE(notes.memoryLines().empty());

        const double h = depth / c.n;
        const Cx gStar = col.moduli(1, 2);
        std::vector<bool> used(c.n + 1, false);
        for (int j = 1; j <= c.n; ++j) {
            const double t = (2 * j - 1) * M_PI / (2 * c.n);
            const Cx k2 = Cx{c.omega2 * rho, 0.0} / gStar - Cx{6.0 / (h * h) * (1.0 - std::cos(t)) / (2.0 + std::cos(t)), 0.0};
            const Cx expected = decaying(k2);
            int best = 0;
            for (int m = 1; m <= c.n; ++m)
                if (!used[m] && (best == 0 || modulus(soil.SH_WAVENUMBERS(m) - expected)
                                                   < modulus(soil.SH_WAVENUMBERS(best) - expected)))
                    best = m;
            ASSERT_NE(best, 0);
            used[best] = true;
            SCOPED_TRACE("mode " + std::to_string(j));
            EXPECT_LT(relDiff(soil.SH_WAVENUMBERS(best), expected), 1e-9);
            EXPECT_LE(soil.SH_WAVENUMBERS(best).im, 0.0);

            // Shape cos((i-1) t), scaled by its surface value.
            double worst = 0.0;
            const Cx top = soil.SH_MODES(1, best);
            for (int i = 1; i <= c.n; ++i)
                worst = std::max(worst, modulus(soil.SH_MODES(i, best) - std::cos((i - 1) * t) * top));
            EXPECT_LT(worst, 1e-8 * modulus(top));
            // phi^T A phi = 1 (bilinear).
            Cx q{0.0, 0.0};
            for (int i = 1; i <= c.n; ++i) {
                Cx aphi = soil.bands.SH_A_DIAG(i) * soil.SH_MODES(i, best);
                if (i > 1)
                    aphi += soil.bands.SH_A_OFF(i - 1) * soil.SH_MODES(i - 1, best);
                if (i < c.n)
                    aphi += soil.bands.SH_A_OFF(i) * soil.SH_MODES(i + 1, best);
                q += soil.SH_MODES(i, best) * aphi;
            }
            EXPECT_LT(modulus(q - Cx{1.0, 0.0}), 1e-12);
        }
    }
}

TEST(NewtonWavenumbers, SingleSublayer)
{
    SoilColumn col;
    col.add(1, 3.0, 1.9, 4.0, 0.25, 0.05);
    HorizontalSoilModel soil = col.model();
    OutputChannel notes;
    FORM_DYN_SH(soil, 7.0);
    NEWTON_WAVENUMBERS_H(soil, 1.0, notes);
    EXPECT_TRUE(notes.memoryLines().empty());
    const Cx x = soil.SH_DYN_DIAG(1) / soil.bands.SH_A_DIAG(1);
    EXPECT_LT(relDiff(soil.SH_WAVENUMBERS(1), decaying(x)), 1e-14);
    // The mode is 1 / sqrt(A(1)), up to the sign that the inverse iteration leaves.
    const Cx mode = recip(csqrt(soil.bands.SH_A_DIAG(1)));
    EXPECT_LT(std::min(relDiff(soil.SH_MODES(1, 1), mode), relDiff(soil.SH_MODES(1, 1), -mode)), 1e-14);
}

TEST(NewtonWavenumbers, NonConvergenceMessageAndOutputs)
{
    const Cx sentinel{-3.0, 3.0};
    // A NaN in the dynamic matrix: no step can converge; nothing is found.
    {
        SoilColumn col;
        col.add(3, 6.0, 2.0, 5.0, 0.3, 0.05);
        HorizontalSoilModel soil = col.model();
        FORM_DYN_SH(soil, 10.0);
        soil.SH_DYN_DIAG(2) = Cx{std::nan(""), 0.0};
        for (int j = 1; j <= 3; ++j) {
            soil.SH_WAVENUMBERS(j) = sentinel;
            for (int i = 1; i <= 3; ++i)
                soil.SH_MODES(i, j) = sentinel;
        }
        OutputChannel notes;
        NEWTON_WAVENUMBERS_H(soil, 12.5, notes);
        const std::vector<std::string> expected = {" HORIZONTAL STIFFNESS, FREQUENCY =    12.5000",
                                                   " NO CONVERGENCE IN 100 NEWTON STEPS TO THE ",
                                                   " CORRECTION SMALLER THAN 1.E-9 TIMES THE ROOT"};
        EXPECT_EQ(notes.memoryLines(), expected);
        for (int j = 1; j <= 3; ++j) {
            EXPECT_TRUE(soil.SH_WAVENUMBERS(j) == sentinel);
            for (int i = 1; i <= 3; ++i)
                EXPECT_TRUE(soil.SH_MODES(i, j) == sentinel);
        }
    }
    // A double root: the first copy is found; the search for the second keeps
    // landing on it, is pushed away and never converges. The first root stays
    // as its square.
    {
        const int n = 2;
        Vector<Cx> dynDiag(n), dynOff(n), aDiag(n), aOff(n), k(n), w1(n), w2(n), w3(n), w4(n), w5(n);
        Vector<int> w6(n);
        Matrix<Cx> modes(n, n);
        dynDiag(1) = Cx{4.0, 0.2};
        dynDiag(2) = Cx{8.0, 0.4};
        aDiag(1) = Cx{1.0, 0.0};
        aDiag(2) = Cx{2.0, 0.0};
        k(2) = sentinel;
        OutputChannel notes;
        NEWTON_WAVENUMBERS_H(dynDiag, dynOff, aDiag, aOff, k, modes, w1, w2, w3, w4, w5, w6, n, 3.0, notes);
        ASSERT_EQ(notes.memoryLines().size(), 3u);
        EXPECT_EQ(notes.memoryLines()[0], " HORIZONTAL STIFFNESS, FREQUENCY =     3.0000");
        EXPECT_LT(relDiff(k(1), Cx{4.0, 0.2}), 1e-7);  // k^2, not k
        EXPECT_TRUE(k(2) == sentinel);
    }
}
