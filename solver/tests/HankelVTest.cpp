// Hankel functions of the vertical analysis against the standard library's
// Bessel functions and against the Wronskian of the two kinds.

#include "HankelV.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace kd {
namespace {

constexpr double kPi = 3.141592653589793;

double relErr(Cx value, Cx ref) { return modulus(value - ref) / modulus(ref); }

const std::vector<double> kModuli = {0.01, 0.5, 2.0, 8.0, 9.5, 9.99, 10.0, std::nextafter(10.0, 11.0), 10.01,
                                     15.0, 40.0};

// Real axis: J -+ iY for both kinds, series and asymptotic branch.
TEST(CbesselV, MatchesJAndYOnThePositiveRealAxis)
{
    for (double x : kModuli) {
        for (int kind : {1, 2}) {
            SCOPED_TRACE(testing::Message() << "x " << x << " kind " << kind);
            const double s = kind == 1 ? 1.0 : -1.0;
            Cx h0;
            Cx h1;
            CBESSEL_V(Cx{x, 0.0}, h0, h1, kind);
            EXPECT_LT(relErr(h0, Cx{std::cyl_bessel_j(0.0, x), s * std::cyl_neumann(0.0, x)}), 5e-7);
            EXPECT_LT(relErr(h1, Cx{std::cyl_bessel_j(1.0, x), s * std::cyl_neumann(1.0, x)}), 5e-7);
        }
    }
}

// Second kind at -ix: (2i/pi) K0, -(2/pi) K1; first kind at +ix: -(2i/pi) K0,
// -(2/pi) K1. The vanishing parts are exactly zero.
TEST(CbesselV, MatchesKOnTheImaginaryAxisOfDecay)
{
    for (double x : kModuli) {
        for (int kind : {1, 2}) {
            SCOPED_TRACE(testing::Message() << "x " << x << " kind " << kind);
            const double s = kind == 1 ? -1.0 : 1.0;
            Cx h0;
            Cx h1;
            CBESSEL_V(Cx{0.0, -s * x}, h0, h1, kind);
            EXPECT_EQ(h0.re, 0.0);
            EXPECT_EQ(h1.im, 0.0);
            EXPECT_LT(relErr(h0, Cx{0.0, s * 2.0 / kPi * std::cyl_bessel_k(0.0, x)}), 5e-7);
            EXPECT_LT(relErr(h1, Cx{-2.0 / kPi * std::cyl_bessel_k(1.0, x), 0.0}), 5e-7);
        }
    }
}

// Second kind at +ix (argument angle pi/2 >= 1.57, the continuation beyond
// |z| = 10): 2 I0 + (2i/pi) K0 and (2/pi) K1 + 2i I1.
TEST(CbesselV, MatchesIAndKOnTheImaginaryAxisOfGrowth)
{
    for (double x : kModuli) {
        SCOPED_TRACE(x);
        Cx h0;
        Cx h1;
        CBESSEL_V(Cx{0.0, x}, h0, h1, 2);
        EXPECT_LT(relErr(h0, Cx{2.0 * std::cyl_bessel_i(0.0, x), 2.0 / kPi * std::cyl_bessel_k(0.0, x)}), 5e-7);
        EXPECT_LT(relErr(h1, Cx{2.0 / kPi * std::cyl_bessel_k(1.0, x), 2.0 * std::cyl_bessel_i(1.0, x)}), 5e-7);
    }
}

// On the negative real axis the sign of the zero imaginary part chooses the
// side of the cut: second kind from above (angle pi, the two-pass
// continuation beyond |z| = 10) H0 = 3 J0 - i Y0, H1 = -3 J1 + i Y1; from below
// (angle -pi) H0 = -J0 - i Y0, H1 = J1 + i Y1. The first kind mirrors them.
TEST(CbesselV, FollowsTheSignedZeroOnTheNegativeRealAxis)
{
    for (double x : kModuli) {
        const double j0 = std::cyl_bessel_j(0.0, x);
        const double y0 = std::cyl_neumann(0.0, x);
        const double j1 = std::cyl_bessel_j(1.0, x);
        const double y1 = std::cyl_neumann(1.0, x);
        struct Row {
            double im;
            int kind;
            Cx ref0;
            Cx ref1;
        };
        const std::vector<Row> rows = {
            {0.0, 2, {3.0 * j0, -y0}, {-3.0 * j1, y1}},
            {-0.0, 2, {-j0, -y0}, {j1, y1}},
            {0.0, 1, {-j0, y0}, {j1, -y1}},
            {-0.0, 1, {3.0 * j0, y0}, {-3.0 * j1, -y1}},
        };
        for (const Row& row : rows) {
            SCOPED_TRACE(testing::Message() << "x " << x << " kind " << row.kind << " im " << row.im);
            Cx h0;
            Cx h1;
            CBESSEL_V(Cx{-x, row.im}, h0, h1, row.kind);
            EXPECT_LT(relErr(h0, row.ref0), 5e-7);
            EXPECT_LT(relErr(h1, row.ref1), 5e-7);
        }
    }
}

// H0^(1) H1^(2) - H1^(1) H0^(2) = 4i/(pi z) over the cut plane: series,
// one-pass expansion and continuation (angles 1.57 and just below included).
TEST(CbesselV, SatisfiesTheWronskianOverTheCutPlane)
{
    std::vector<double> angles;
    for (int step = -35; step <= 35; ++step)
        angles.push_back(step * kPi / 36.0);
    for (double a : {1.57, std::nextafter(1.57, 0.0), -1.57, std::nextafter(-1.57, 0.0), 3.14, -3.14})
        angles.push_back(a);
    double worst = 0.0;
    for (double r : {0.3, 1.0, 3.0, 7.0, 9.9, 10.0, 10.0000001, 10.1, 13.0, 20.0, 40.0, 90.0}) {
        for (double angle : angles) {
            SCOPED_TRACE(testing::Message() << "r " << r << " angle " << angle);
            const Cx z{r * std::cos(angle), r * std::sin(angle)};
            Cx f0;
            Cx f1;
            Cx h0;
            Cx h1;
            CBESSEL_V(z, f0, f1, 1);
            CBESSEL_V(z, h0, h1, 2);
            const double err = relErr(f0 * h1 - f1 * h0, cdiv(Cx{0.0, 4.0 / kPi}, z));
            EXPECT_LT(err, 1e-8);
            worst = std::max(worst, err);
        }
    }
    RecordProperty("worst_relative_error", (testing::Message() << worst).GetString());
}

// Across |z| = 10 at angle 2.5 (series, then the two-pass continuation) the
// values change only by the function's own change over the gap.
TEST(CbesselV, IsContinuousAcrossTheBranchSwitch)
{
    const double angle = 2.5;
    const double below = 10.0;
    const double above = std::nextafter(10.0, 11.0);
    Cx a0;
    Cx a1;
    Cx b0;
    Cx b1;
    CBESSEL_V(Cx{below * std::cos(angle), below * std::sin(angle)}, a0, a1, 2);
    CBESSEL_V(Cx{above * std::cos(angle), above * std::sin(angle)}, b0, b1, 2);
    EXPECT_LT(relErr(b0, a0), 5e-7);
    EXPECT_LT(relErr(b1, a1), 5e-7);
}

TEST(CbesselV, NonFiniteArgumentGivesNaN)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (Cx z : {Cx{nan, 0.0}, Cx{1.0, nan}, Cx{inf, -1.0}}) {
        for (int kind : {1, 2}) {
            Cx h0;
            Cx h1;
            CBESSEL_V(z, h0, h1, kind);
            EXPECT_TRUE(std::isnan(h0.re) && std::isnan(h0.im) && std::isnan(h1.re) && std::isnan(h1.im));
        }
    }
}

// A = H0(kr) and B = -H1(kr) of the second kind; D the r-derivative of A.
TEST(BesselTermV, GivesOrderZeroWithCompanionAndRadialDerivative)
{
    for (Cx k : {Cx{1.7, -0.4}, Cx{-0.5, -3.0}, Cx{0.2, 0.0}}) {
        for (double r : {0.3, 2.0, 5.0}) {
            SCOPED_TRACE(testing::Message() << "k " << k.re << "," << k.im << " r " << r);
            Cx d;
            Cx a;
            Cx b;
            BESSEL_TERM_V(d, a, b, k, r);
            Cx h0;
            Cx h1;
            CBESSEL_V(k * r, h0, h1, 2);
            EXPECT_TRUE(a == h0);
            EXPECT_TRUE(b == -h1);
            const double step = 1e-5 * r;
            Cx dp;
            Cx ap;
            Cx bp;
            BESSEL_TERM_V(dp, ap, bp, k, r + step);
            Cx dm;
            Cx am;
            Cx bm;
            BESSEL_TERM_V(dm, am, bm, k, r - step);
            EXPECT_LT(relErr(divReal(ap - am, 2.0 * step), d), 1e-7);
        }
    }
}

} // namespace
} // namespace kd
