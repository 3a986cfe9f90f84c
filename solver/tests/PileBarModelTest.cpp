// Pile bar model and the extraction of the vertical soil stiffness.

#include "DenseSolve.h"
#include "PileBarModel.h"
#include "SharedStorage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace kd {
namespace {

double relErr(Cx value, Cx ref) { return modulus(value - ref) / modulus(ref); }

class PileBarFixture : public testing::Test {
protected:
    void SetUp() override
    {
        s.setPileModelSettings();
        s.r = 0.3;
        s.roup = 2.5;
        s.ep = 3.0e7;
        s.dampp = 0.02;
        h = Vector<double>(kMaxSublayers);
        rho = Vector<double>(kMaxSublayers);
        z = Vector<Cx>(kMaxSublayers);
        ap = Vector<double>(kMaxSublayers);
        for (int i = 1; i <= kMaxSublayers; ++i) {
            h(i) = 1.0;
            rho(i) = 1.8;
            z(i) = Cx{6.0e4, 2.0 * 0.05 * 6.0e4};
            ap(i) = 0.28;
        }
        k = Matrix<Cx>(2500, 50);
    }

    void build(int ne, double w2) { PILE_BAR_MATRICES(s, k.view(), ne, h.view(), z.view(), rho.view(), w2, ap.view()); }

    // Head stiffness of the first n variables (the last node left out, i.e. fixed).
    Cx headStiffness(int n)
    {
        std::vector<int> keep;
        for (int v = 1; v <= n; ++v)
            keep.push_back(v);
        std::vector<Cx> load(n);
        load[0] = {1.0, 0.0};
        return recip(test::solveKept(k.view(), keep, load)[0]);
    }

    Cx eStar() const { return s.ep * Cx{1.0, 2.0 * s.dampp}; }

    SharedStorage s;
    Vector<double> h;
    Vector<double> rho;
    Vector<Cx> z;
    Vector<double> ap;
    Matrix<Cx> k;
};

// A statically loaded column fixed at its base is a chain of springs in
// series: 1 / sum(L_i / (E* A_i)); for a uniform pile E* A / L.
TEST_F(PileBarFixture, StaticColumnStiffnessIsTheSeriesOfItsElements)
{
    struct Row {
        std::vector<double> lengths;
        std::vector<double> areas;
    };
    const std::vector<Row> rows = {{{4.0}, {0.28}},
                                   {{1.0, 2.0, 1.5}, {0.28, 0.28, 0.28}},
                                   {{1.0, 2.0, 1.5, 0.5}, {0.3, 0.2, 0.5, 0.1}}};
    for (const Row& row : rows) {
        const int ne = static_cast<int>(row.lengths.size());
        SCOPED_TRACE(ne);
        Cx flexibility;
        for (int i = 1; i <= ne; ++i) {
            h(i) = row.lengths[i - 1];
            ap(i) = row.areas[i - 1];
            flexibility += recip(divReal(row.areas[i - 1] * eStar(), row.lengths[i - 1]));
        }
        s.nsegVertical = ne;
        build(ne, 0.0);
        EXPECT_LT(relErr(headStiffness(ne), recip(flexibility)), 1e-12);
    }
}

// The full matrix is tridiagonal and symmetric; a rigid vertical motion meets
// no static resistance; the consistent mass sums to the column's mass, with
// soil of area pi R^2 (single-precision pi) below the tip. A massless pile
// (density 0) keeps a finite soil mass below its tip.
TEST_F(PileBarFixture, IsSymmetricTridiagonalWithRigidModeAndColumnMass)
{
    const int ne = 5;
    s.nsegVertical = 3;
    h(4) = 2.0;
    rho(4) = 1.6;
    rho(5) = 2.1;
    const int n = ne + 1;
    const double soilArea = 3.1415927410125732 * s.r * s.r;
    for (double roup : {2.5, 0.0}) {
        SCOPED_TRACE(roup);
        s.roup = roup;
        build(ne, 0.0);
        const Matrix<Cx> k0 = k;
        for (int r = 1; r <= n; ++r) {
            Cx force;
            for (int c = 1; c <= n; ++c)
                force += k0(r, c);
            EXPECT_LE(modulus(force), 1e-12 * modulus(k0(r, r))) << "row " << r;
        }
        const double w2 = 1.0e4;
        build(ne, w2);
        double mass = 0.0;
        for (int c = 1; c <= n; ++c) {
            for (int r = 1; r <= n; ++r) {
                ASSERT_TRUE(isFinite(k(r, c)));
                EXPECT_TRUE(k(r, c) == k(c, r));
                if (std::abs(r - c) > 1) {
                    EXPECT_TRUE(k(r, c) == (Cx{0.0, 0.0}));
                }
                mass += (k0(r, c).re - k(r, c).re) / w2;
            }
        }
        double expected = 0.0;
        for (int i = 1; i <= ne; ++i)
            expected += (i <= s.nsegVertical ? roup * ap(i) : rho(i) * soilArea) * h(i);
        EXPECT_NEAR(mass, expected, 1e-9 * expected);
    }
}

// An element below the tip has the stiffness pi R^2 Z / L of the soil.
TEST_F(PileBarFixture, SoilElementBelowTheTipTakesTheSublayerModulus)
{
    s.nsegVertical = 0;
    h(1) = 1.7;
    build(1, 0.0);
    const Cx expected = divReal(3.1415927410125732 * s.r * s.r * z(1), h(1));
    EXPECT_LT(relErr(k(1, 1), expected), 1e-14);
    EXPECT_LT(relErr(k(1, 2), -expected), 1e-14);
    EXPECT_LT(relErr(k(2, 2), expected), 1e-14);
}

// A free length on top adds an element of that length; a head mass comes off
// the head's diagonal.
TEST_F(PileBarFixture, FreeLengthAndHeadMassSettings)
{
    const int ne = 3;
    s.nsegVertical = ne;
    build(ne, 2.0e3);
    const Matrix<Cx> plain = k;
    s.settings[3] = 5.0;
    build(ne, 2.0e3);
    EXPECT_DOUBLE_EQ(plain(1, 1).re - k(1, 1).re, 5.0 * 2.0e3);
    EXPECT_EQ(plain(1, 1).im, k(1, 1).im);
    s.settings[3] = 0.0;

    s.settings[1] = 1.5;
    build(ne, 0.0);
    // Four elements of lengths 1.5, 1, 1, 1 with the pile's area: the head
    // stiffness of the five-node column fixed at its base.
    EXPECT_LT(relErr(headStiffness(ne + 1), divReal(0.28 * eStar(), 4.5)), 1e-12);
}

// Only the vertical components (even rows and columns) are read, times the
// single-precision 2 pi.
TEST(AxialExtractV, TakesTheVerticalComponentsTimesTwoPi)
{
    const int n = 3;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Matrix<Cx> st(2 * n, 2 * n);
    for (int j = 1; j <= 2 * n; ++j)
        for (int i = 1; i <= 2 * n; ++i)
            st(i, j) = (i % 2 == 0 && j % 2 == 0) ? Cx{1.0 * i + 10.0 * j, -0.5 * i} : Cx{nan, nan};
    Matrix<Cx> out(50, n);
    AXIAL_EXTRACT_V(st.view(), out.view(), n);
    for (int kk = 1; kk <= n; ++kk)
        for (int i = 1; i <= n; ++i)
            EXPECT_TRUE(out(i, kk) == 6.2831854820251465 * st(2 * i, 2 * kk)) << i << "," << kk;
}

} // namespace
} // namespace kd
