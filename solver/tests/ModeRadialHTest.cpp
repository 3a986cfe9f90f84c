// Modal displacements of the horizontal analysis at a radius.

#include "HankelH.h"
#include "ModeRadialH.h"

#include <gtest/gtest.h>

#include <limits>

namespace kd {
namespace {

double relErr(Cx value, Cx ref) { return modulus(value - ref) / modulus(ref); }

// Two nodes, four two-component and two one-component modes; the result
// matrix has two spare rows that must stay untouched.
class ModeRadialHFixture : public testing::Test {
protected:
    static constexpr int kNodes = 2;
    static constexpr int kTwo = 4;
    static constexpr int kLd = 3 * kNodes + 2;

    void SetUp() override
    {
        kOne = Vector<Cx>(kNodes);
        kTwoVec = Vector<Cx>(kTwo);
        shapesOne = Matrix<Cx>(kNodes, kNodes);
        shapesTwo = Matrix<Cx>(kTwo, kTwo);
        kOne(1) = {0.8, -0.05};
        kOne(2) = {0.1, -2.5};
        kTwoVec(1) = {1.2, -0.1};
        kTwoVec(2) = {0.6, -0.02};
        kTwoVec(3) = {0.3, -1.8};
        kTwoVec(4) = {2.0, -0.7};
        for (int j = 1; j <= kNodes; ++j)
            for (int i = 1; i <= kNodes; ++i)
                shapesOne(i, j) = {0.3 * i + 0.1 * j, 0.05 * (i - j)};
        for (int j = 1; j <= kTwo; ++j)
            for (int i = 1; i <= kTwo; ++i)
                shapesTwo(i, j) = {1.0 / (i + j), 0.1 * i - 0.03 * j};
    }

    Matrix<Cx> run(double r, double p)
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        Matrix<Cx> out(kLd, kTwo + kNodes);
        out.fill(Cx{nan, nan});
        MODE_RADIAL_H(out.view(), kOne.view(), kTwoVec.view(), shapesOne.view(), shapesTwo.view(), r, p, 1,
                      kNodes, kTwo);
        return out;
    }

    Vector<Cx> kOne;
    Vector<Cx> kTwoVec;
    Matrix<Cx> shapesOne;
    Matrix<Cx> shapesTwo;
};

// With order 1 and scale 1 a two-component mode gives (d/dr H1) a, k H1 b and
// (H1/r) a; a one-component mode (H1/r) a, 0 and (d/dr H1) a. So component 1
// of the first family and component 3 of the second are d/dr of r times the
// other outer component: checked by central differences.
TEST_F(ModeRadialHFixture, ComponentsFollowTheRadialFunctionsOfOrderOne)
{
    const double r = 0.9;
    const double step = 1e-5;
    const Matrix<Cx> out = run(r, 1.0);
    const Matrix<Cx> up = run(r + step, 1.0);
    const Matrix<Cx> down = run(r - step, 1.0);
    auto slopeOfRTimes = [&](int row, int col) {
        return divReal((r + step) * up(row, col) - (r - step) * down(row, col), 2.0 * step);
    };
    for (int j = 1; j <= kTwo + kNodes; ++j) {
        for (int i = 1; i <= kNodes; ++i) {
            SCOPED_TRACE(testing::Message() << "mode " << j << " node " << i);
            if (j <= kTwo) {
                EXPECT_LT(relErr(slopeOfRTimes(3 * i, j), out(3 * i - 2, j)), 1e-7);
                Cx h0;
                Cx h1;
                const Cx k = kTwoVec(j);
                CBESSEL_H(k * r, h0, h1);
                EXPECT_LT(relErr(out(3 * i - 1, j), k * h1 * shapesTwo(2 * i, j)), 1e-14);
                EXPECT_LT(relErr(out(3 * i, j), divReal(h1, r) * shapesTwo(2 * i - 1, j)), 1e-14);
            } else {
                EXPECT_LT(relErr(slopeOfRTimes(3 * i - 2, j), out(3 * i, j)), 1e-7);
                EXPECT_TRUE(out(3 * i - 1, j) == (Cx{0.0, 0.0}));
            }
        }
        for (int row = 3 * kNodes + 1; row <= kLd; ++row)
            EXPECT_TRUE(std::isnan(out(row, j).re));
    }
}

// The scale factor multiplies the (A/r) components only.
TEST_F(ModeRadialHFixture, ScaleActsOnTheDivisionByRadiusTermsOnly)
{
    const Matrix<Cx> one = run(1.4, 1.0);
    const Matrix<Cx> three = run(1.4, 3.0);
    for (int j = 1; j <= kTwo + kNodes; ++j) {
        const int scaled = j <= kTwo ? 3 : 1;
        for (int i = 1; i <= kNodes; ++i) {
            for (int c = 1; c <= 3; ++c) {
                SCOPED_TRACE(testing::Message() << "mode " << j << " node " << i << " component " << c);
                const Cx expected = c == scaled ? 3.0 * one(3 * i - 3 + c, j) : one(3 * i - 3 + c, j);
                EXPECT_LT(modulus(three(3 * i - 3 + c, j) - expected), 1e-15 * (1.0 + modulus(expected)));
            }
        }
    }
}

} // namespace
} // namespace kd
