// Hankel functions of the horizontal analysis against the standard library's
// Bessel functions and against the Wronskian.

#include "HankelH.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace kd {
namespace {

constexpr double kPi = 3.141592653589793;

double relErr(Cx value, Cx ref) { return modulus(value - ref) / modulus(ref); }

struct AxisCase {
    double x;
    double tol;
};

// Series rows on the real axis carry full double precision; rows beyond
// |z| = 10 carry the asymptotic branch's single-precision constants.
TEST(CbesselH, MatchesJAndYOnThePositiveRealAxis)
{
    const std::vector<AxisCase> cases = {
        {0.01, 1e-13}, {0.5, 1e-13}, {1.0, 1e-13}, {5.0, 1e-13}, {9.99, 1e-12}, {10.0, 1e-12},
        {std::nextafter(10.0, 11.0), 2e-7}, {10.01, 2e-7}, {12.0, 2e-7}, {25.0, 2e-7}, {80.0, 2e-7}};
    for (const AxisCase& c : cases) {
        SCOPED_TRACE(c.x);
        const Cx ref0{std::cyl_bessel_j(0.0, c.x), -std::cyl_neumann(0.0, c.x)};
        const Cx ref1{std::cyl_bessel_j(1.0, c.x), -std::cyl_neumann(1.0, c.x)};
        Cx h0;
        Cx h1;
        CBESSEL_H(Cx{c.x, 0.0}, h0, h1);
        EXPECT_LT(relErr(h0, ref0), c.tol);
        EXPECT_LT(relErr(h1, ref1), c.tol);
    }
}

// H0(-ix) = (2i/pi) K0(x), H1(-ix) = -(2/pi) K1(x). The evanescent modes live
// here; single-precision series constants fail near -10i by more than 100%.
TEST(CbesselH, MatchesKOnTheNegativeImaginaryAxis)
{
    for (double x : {0.01, 0.5, 2.0, 8.0, 9.5, 9.99, 10.0, std::nextafter(10.0, 11.0), 10.01, 15.0, 50.0}) {
        SCOPED_TRACE(x);
        Cx h0;
        Cx h1;
        CBESSEL_H(Cx{0.0, -x}, h0, h1);
        EXPECT_EQ(h0.re, 0.0);
        EXPECT_EQ(h1.im, 0.0);
        EXPECT_LT(relErr(h0, Cx{0.0, 2.0 / kPi * std::cyl_bessel_k(0.0, x)}), 2e-7);
        EXPECT_LT(relErr(h1, Cx{-2.0 / kPi * std::cyl_bessel_k(1.0, x), 0.0}), 2e-7);
    }
}

// H0(ix) = 2 I0(x) + (2i/pi) K0(x), H1(ix) = (2/pi) K1(x) + 2i I1(x): on the
// positive imaginary axis both parts are kept.
TEST(CbesselH, KeepsBothPartsOnThePositiveImaginaryAxis)
{
    for (double x : {0.5, 5.0, 9.99, 10.5, 20.0}) {
        SCOPED_TRACE(x);
        Cx h0;
        Cx h1;
        CBESSEL_H(Cx{0.0, x}, h0, h1);
        const Cx ref0{2.0 * std::cyl_bessel_i(0.0, x), 2.0 / kPi * std::cyl_bessel_k(0.0, x)};
        const Cx ref1{2.0 / kPi * std::cyl_bessel_k(1.0, x), 2.0 * std::cyl_bessel_i(1.0, x)};
        EXPECT_LT(relErr(h0, ref0), 2e-7);
        EXPECT_LT(relErr(h1, ref1), 2e-7);
    }
}

// H0^(1) H1^(2) - H1^(1) H0^(2) = 4i/(pi z) with H^(1)(z) = conj(H^(2)(conj z)),
// over the quadrant of the modal arguments, both branches and the switch.
TEST(CbesselH, SatisfiesTheWronskianInTheFourthQuadrant)
{
    double worst = 0.0;
    for (double r : {0.3, 1.0, 3.0, 7.0, 9.9, 10.0, 10.0000001, 10.1, 13.0, 20.0, 40.0}) {
        for (int step = 0; step <= 18; ++step) {
            const double angle = -step * kPi / 36.0;
            Cx z{r * std::cos(angle), r * std::sin(angle)};
            if (step == 18)
                z = {0.0, -r};
            SCOPED_TRACE(testing::Message() << "r " << r << " angle " << angle);
            Cx h0;
            Cx h1;
            Cx g0;
            Cx g1;
            CBESSEL_H(z, h0, h1);
            CBESSEL_H(conj(z), g0, g1);
            const Cx w = conj(g0) * h1 - conj(g1) * h0;
            const Cx ref = cdiv(Cx{0.0, 4.0 / kPi}, z);
            const double err = relErr(w, ref);
            EXPECT_LT(err, 2e-7);
            worst = std::max(worst, err);
        }
    }
    RecordProperty("worst_relative_error", (testing::Message() << worst).GetString());
}

// An argument that is not finite must not hang either branch.
TEST(CbesselH, NonFiniteArgumentGivesNaN)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (Cx z : {Cx{nan, 0.0}, Cx{1.0, nan}, Cx{inf, -1.0}}) {
        Cx h0;
        Cx h1;
        CBESSEL_H(z, h0, h1);
        EXPECT_TRUE(std::isnan(h0.re) && std::isnan(h0.im) && std::isnan(h1.re) && std::isnan(h1.im));
    }
}

// The roles of A and B for both orders, and D as the r-derivative of A(k r)
// (central difference, where the series carries full double precision).
TEST(BesselTermH, GivesTheFunctionItsCompanionAndItsRadialDerivative)
{
    const Cx k{1.7, -0.4};
    for (int order : {1, 0}) {
        for (double r : {0.3, 2.0, 5.0}) {
            SCOPED_TRACE(testing::Message() << "order " << order << " r " << r);
            Cx d;
            Cx a;
            Cx b;
            BESSEL_TERM_H(d, a, b, k, r, order);
            Cx h0;
            Cx h1;
            CBESSEL_H(k * r, h0, h1);
            EXPECT_TRUE(a == (order > 0 ? h1 : h0));
            EXPECT_TRUE(b == (order > 0 ? h0 : -h1));

            const double step = 1e-5 * r;
            Cx dp;
            Cx ap;
            Cx bp;
            Cx dm;
            Cx am;
            Cx bm;
            BESSEL_TERM_H(dp, ap, bp, k, r + step, order);
            BESSEL_TERM_H(dm, am, bm, k, r - step, order);
            const Cx slope = divReal(ap - am, 2.0 * step);
            EXPECT_LT(relErr(slope, d), 1e-7);
        }
    }
}

} // namespace
} // namespace kd
