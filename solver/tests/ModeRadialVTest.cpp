// Modal displacements of the vertical analysis at a radius and on the axis.

#include "HankelV.h"
#include "ModeRadialV.h"

#include <gtest/gtest.h>

#include <limits>

namespace kd {
namespace {

double relErr(Cx value, Cx ref) { return modulus(value - ref) / modulus(ref); }

// Three nodes in the shape matrix (six modes), of which the first two are
// evaluated; the third node's rows must stay untouched.
class ModeRadialVFixture : public testing::Test {
protected:
    static constexpr int kModes = 6;
    static constexpr int kEvaluated = 2;

    void SetUp() override
    {
        k = Vector<Cx>(kModes);
        shapes = Matrix<Cx>(kModes, kModes);
        for (int j = 1; j <= kModes; ++j) {
            k(j) = {0.4 * j, -0.3 * (kModes - j) - 0.01};
            for (int i = 1; i <= kModes; ++i)
                shapes(i, j) = {1.0 / (i + j), 0.05 * (i - 2 * j)};
        }
    }

    Matrix<Cx> run(double r)
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        Matrix<Cx> out(kModes, kModes);
        out.fill(Cx{nan, nan});
        MODE_RADIAL_V(out.view(), k.view(), shapes.view(), r, kEvaluated, kModes);
        return out;
    }

    Vector<Cx> k;
    Matrix<Cx> shapes;
};

// Component 1 is -k H1(kr) (the r-derivative of H0(kr)) times the first
// shape component, component 2 k H0(kr) times the second.
TEST_F(ModeRadialVFixture, ComponentsAreTheOrderZeroFieldAndItsSlope)
{
    const double r = 0.7;
    const Matrix<Cx> out = run(r);
    for (int j = 1; j <= kModes; ++j) {
        Cx h0;
        Cx h1;
        CBESSEL_V(k(j) * r, h0, h1, 2);
        for (int i = 1; i <= kEvaluated; ++i) {
            SCOPED_TRACE(testing::Message() << "mode " << j << " node " << i);
            EXPECT_LT(relErr(out(2 * i - 1, j), -(k(j) * h1) * shapes(2 * i - 1, j)), 1e-14);
            EXPECT_LT(relErr(out(2 * i, j), h0 * k(j) * shapes(2 * i, j)), 1e-14);
        }
        for (int row = 2 * kEvaluated + 1; row <= kModes; ++row)
            EXPECT_TRUE(std::isnan(out(row, j).re));
    }
}

// On the axis no function is evaluated: component 1 is zero and component 2
// the wave number times the shape.
TEST_F(ModeRadialVFixture, OnTheAxisGivesTheWaveNumberTimesTheShape)
{
    const Matrix<Cx> out = run(0.0);
    for (int j = 1; j <= kModes; ++j) {
        for (int i = 1; i <= kEvaluated; ++i) {
            SCOPED_TRACE(testing::Message() << "mode " << j << " node " << i);
            EXPECT_EQ(modulus(out(2 * i - 1, j)), 0.0);
            EXPECT_TRUE(out(2 * i, j) == k(j) * shapes(2 * i, j));
        }
    }
}

} // namespace
} // namespace kd
