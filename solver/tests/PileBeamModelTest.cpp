// Pile beam model: element matrices against closed forms of the Timoshenko
// beam, rigid-body and mass invariants, and the node soil matrix.

#include "DenseSolve.h"
#include "PileBeamModel.h"
#include "SharedStorage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <stdexcept>
#include <vector>

namespace kd {
namespace {

double relErr(Cx value, Cx ref) { return modulus(value - ref) / modulus(ref); }

// A concrete pile of radius 0.3 in a stratum of up to 40 sublayers.
class PileBeamFixture : public testing::Test {
protected:
    static constexpr double kPiD = 3.141592653589793;

    void SetUp() override
    {
        s.setPileModelSettings();
        s.r = 0.3;
        s.roup = 2.5;
        s.ep = 3.0e7;
        s.dampp = 0.02;
        for (int i = 1; i <= kElementSlots; ++i) {
            s.elemAp[i] = area;
            s.elemIp[i] = inertia;
            s.elemPoissonp[i] = nu;
        }
        h = Vector<double>(kMaxSublayers);
        rho = Vector<double>(kMaxSublayers);
        z = Vector<Cx>(kMaxSublayers);
        for (int i = 1; i <= kMaxSublayers; ++i) {
            h(i) = 1.0;
            rho(i) = 1.8;
            z(i) = Cx{6.0e4, 2.0 * 0.05 * 6.0e4};
        }
        k = Matrix<Cx>(2500, 90);
    }

    // Builds K for ne elements; returns the node count.
    int build(int ne, double w2)
    {
        int nn = 0;
        PILE_BEAM_MATRICES(s, ne, nn, h.view(), w2, k.view(), z.view(), rho.view());
        return nn;
    }

    // Static lateral stiffness at the head with the rotations at both ends
    // restrained and the lateral displacement of the last node fixed.
    Cx fixedHeadStiffness(int nn)
    {
        std::vector<int> keep;
        for (int v = 1; v <= 2 * nn; ++v)
            if (v != nn)
                keep.push_back(v);
        std::vector<Cx> load(2 * nn);
        load[0] = {1.0, 0.0};
        const std::vector<Cx> u = test::solveKept(k.view(), keep, load);
        return recip(u[0]);
    }

    Cx eStar() const { return s.ep * Cx{1.0, 2.0 * s.dampp}; }

    // 12 E* I / (L^3 (1 + phi)), phi = 12 E I / (G A_s L^2) with shear area A/2.
    Cx timoshenko(double length) const
    {
        const double shearArea = 0.5 * area;
        const double phi = 12.0 * inertia * 2.0 * (1.0 + nu) / (shearArea * length * length);
        return divReal(12.0 * inertia * eStar(), length * length * length * (1.0 + phi));
    }

    SharedStorage s;
    const double area = kPiD * 0.3 * 0.3;
    const double inertia = kPiD * 0.3 * 0.3 * 0.3 * 0.3 / 4.0;
    const double nu = 0.25;
    Vector<double> h;
    Vector<double> rho;
    Vector<Cx> z;
    Matrix<Cx> k;
};

// A uniform column, fixed at the base and with the head rotation restrained,
// has the fixed-guided Timoshenko stiffness of its whole length whatever the
// subdivision (the element is exact for a uniform static beam); slender
// columns reach the Euler-Bernoulli value 12 EI / L^3.
TEST_F(PileBeamFixture, StaticFixedHeadStiffnessIsTheTimoshenkoValue)
{
    struct Row {
        std::vector<double> lengths;
    };
    const std::vector<Row> rows = {{{2.0}}, {{1.0, 2.0, 1.5}}, {std::vector<double>(10, 0.5)}, {{0.7, 12.0, 30.0}}};
    Cx stiffness;
    for (const Row& row : rows) {
        const int ne = static_cast<int>(row.lengths.size());
        const double total = std::accumulate(row.lengths.begin(), row.lengths.end(), 0.0);
        SCOPED_TRACE(testing::Message() << ne << " elements, length " << total);
        for (int i = 1; i <= ne; ++i)
            h(i) = row.lengths[i - 1];
        s.nseg = ne;
        const int nn = build(ne, 0.0);
        ASSERT_EQ(nn, ne + 1);
        stiffness = fixedHeadStiffness(nn);
        EXPECT_LT(relErr(stiffness, timoshenko(total)), 1e-10);
    }
    // The slender last row (shear parameter 15 R^2 / L^2 = 7.4e-4) is that
    // close to Euler-Bernoulli.
    EXPECT_LT(relErr(stiffness, divReal(12.0 * inertia * eStar(), 42.7 * 42.7 * 42.7)), 1e-3);
}

// K is exactly symmetric at every frequency, has unit rows at the restrained
// rotations, and a rigid lateral translation meets no static resistance.
TEST_F(PileBeamFixture, IsSymmetricRestrainedAndFreeUnderRigidTranslation)
{
    const int ne = 6;
    s.nseg = 4;  // two soil elements below the tip
    for (double w2 : {0.0, 3.0e3}) {
        SCOPED_TRACE(w2);
        const int nn = build(ne, w2);
        for (int c = 1; c <= 2 * nn; ++c)
            for (int r = 1; r <= 2 * nn; ++r)
                ASSERT_TRUE(k(r, c) == k(c, r)) << r << "," << c;
        for (int v : {nn + 1, 2 * nn})
            for (int c = 1; c <= 2 * nn; ++c)
                EXPECT_TRUE(k(v, c) == (Cx{c == v ? 1.0 : 0.0, 0.0}));
        if (w2 == 0.0) {
            for (int r = 1; r <= 2 * nn; ++r) {
                Cx force;
                double scale = 0.0;
                for (int c = 1; c <= nn; ++c) {
                    force += k(r, c);
                    scale = std::max(scale, modulus(k(r, c)));
                }
                EXPECT_LE(modulus(force), 1e-12 * std::max(scale, 1.0)) << "row " << r;
            }
        }
    }
}

// The lateral block of the consistent mass sums to the column's mass: rho A L
// over the pile elements, rho_soil pi R^2 L below the tip. A massless pile
// (density 0) keeps a finite soil mass below its tip.
TEST_F(PileBeamFixture, ConsistentMassTotalsTheColumnMass)
{
    const int ne = 5;
    s.nseg = 3;
    h(4) = 2.0;
    rho(4) = 1.6;
    rho(5) = 2.1;
    const double soilArea = 2.0 * 1.570796251296997 * s.r * s.r;
    for (double roup : {2.5, 0.0}) {
        SCOPED_TRACE(roup);
        s.roup = roup;
        const double w2 = 1.0e4;
        double expected = 0.0;
        for (int i = 1; i <= ne; ++i)
            expected += (i <= s.nseg ? roup * area : rho(i) * soilArea) * h(i);
        const int nn = build(ne, 0.0);
        const Matrix<Cx> k0 = k;
        build(ne, w2);
        double mass = 0.0;
        for (int c = 1; c <= 2 * nn; ++c) {
            for (int r = 1; r <= 2 * nn; ++r) {
                ASSERT_TRUE(isFinite(k(r, c)));
                EXPECT_EQ(k(r, c).im, k0(r, c).im);
                if (r <= nn && c <= nn)
                    mass += (k0(r, c).re - k(r, c).re) / w2;
            }
        }
        EXPECT_NEAR(mass, expected, 1e-9 * expected);
    }
}

// Below the tip the element is a soil cylinder of the pile's radius: bending
// I Z / L with I = pi R^4 / 4 (single-precision pi), while the shear
// parameter keeps the pile's modulus and Poisson ratio.
TEST_F(PileBeamFixture, SoilElementBelowTheTipTakesTheSublayerModulus)
{
    s.nseg = 0;
    h(1) = 1.7;
    const int nn = build(1, 0.0);
    ASSERT_EQ(nn, 2);
    const double len = h(1);
    const double soilInertia = 3.141592502593994 * s.r * s.r * s.r * s.r * 0.25;
    const double soilHalfArea = 1.570796251296997 * s.r * s.r;
    const double phi = 12.0 * soilInertia * 2.0 * (1.0 + nu) / (soilHalfArea * len * len);
    const Cx expected = divReal(12.0 * soilInertia * z(1), len * len * len * (1.0 + phi));
    EXPECT_LT(relErr(k(1, 1), expected), 1e-13);
    EXPECT_LT(relErr(k(1, 2), -expected), 1e-13);
}

// The settings that the drivers leave at 0, 0, 0, 1: a free length on top
// adds an element of that length, an axial force adds a geometric stiffness,
// a head mass comes off the head's lateral diagonal, and without setting 4
// the last rotation is free.
TEST_F(PileBeamFixture, PileModelSettingsActAsDescribed)
{
    const int ne = 3;
    s.nseg = ne;
    const int base = build(ne, 2.0e3);
    const Matrix<Cx> plain = k;

    s.settings[3] = 5.0;
    build(ne, 2.0e3);
    EXPECT_DOUBLE_EQ(plain(1, 1).re - k(1, 1).re, 5.0 * 2.0e3);
    EXPECT_EQ(plain(1, 1).im, k(1, 1).im);
    s.settings[3] = 0.0;

    s.settings[4] = 0.0;
    build(ne, 2.0e3);
    EXPECT_GT(k(2 * base, 2 * base).im, 0.0);
    EXPECT_GT(modulus(k(2 * base, base)), 0.0);
    EXPECT_TRUE(k(2 * base, base) == k(base, 2 * base));
    EXPECT_TRUE(k(base + 1, base + 1) == (Cx{1.0, 0.0}));
    s.settings[4] = 1.0;

    // An axial force S2 subtracts the geometric stiffness S2/(30 L) [36, 3L;
    // 3L, 4L^2] of each element from the real parts; the rotation entries
    // carry the rotation sign of the element matrices.
    s.settings[2] = 400.0;
    build(ne, 2.0e3);
    const double len = h(1);
    EXPECT_NEAR(plain(1, 1).re - k(1, 1).re, 36.0 * 400.0 / (30.0 * len), 1e-8);
    EXPECT_NEAR(k(1, base + 2).re - plain(1, base + 2).re, 3.0 * len * 400.0 / (30.0 * len), 1e-8);
    EXPECT_NEAR(k(base + 2, base + 3).re - plain(base + 2, base + 3).re, len * len * 400.0 / (30.0 * len), 1e-8);
    for (int c = 1; c <= 2 * base; ++c)
        for (int r = 1; r <= 2 * base; ++r)
            EXPECT_EQ(k(r, c).im, plain(r, c).im);
    s.settings[2] = 0.0;

    s.settings[1] = 1.5;
    const int nn = build(ne, 0.0);
    EXPECT_EQ(nn, ne + 2);
    EXPECT_LT(relErr(fixedHeadStiffness(nn), timoshenko(1.5 + 3.0)), 1e-10);
}

TEST_F(PileBeamFixture, RejectsMoreElementsThanSlots)
{
    s.nseg = kElementSlots;
    EXPECT_NO_THROW(build(kElementSlots, 1.0));
    s.settings[1] = 2.0;
    EXPECT_THROW(build(kElementSlots, 1.0), std::invalid_argument);
}

// Tractions to nodal forces: lateral from components 1 and 3 (times 3.14159),
// moments from component 2 (times pi R), the head rotation restrained unless
// a free length stands above the ground.
TEST(FillNodeMatrixH, CombinesTheInterfaceComponentsPerNode)
{
    const int n = 2;
    const double r = 0.4;
    Matrix<Cx> a(3 * n, 3 * n);
    for (int j = 1; j <= 3 * n; ++j)
        for (int i = 1; i <= 3 * n; ++i)
            a(i, j) = {1.0 * i + 10.0 * j, 0.5 * i - 0.1 * j};
    Matrix<Cx> c(80, 2 * n);
    FILL_NODE_MATRIX_H(a.view(), c.view(), n, r, 1.0);
    const double pR = r * 3.141590118408203;
    for (int j = 1; j <= n; ++j) {
        for (int kk = 1; kk <= n; ++kk) {
            SCOPED_TRACE(testing::Message() << j << "," << kk);
            const Cx lateral = a(3 * j - 2, 3 * kk - 2) + a(3 * j - 2, 3 * kk) + a(3 * j, 3 * kk - 2) + a(3 * j, 3 * kk);
            EXPECT_LT(relErr(c(j, kk), 3.14159 * lateral), 1e-15);
            EXPECT_LT(relErr(c(j, n + kk), pR * (a(3 * j - 2, 3 * kk - 1) + a(3 * j, 3 * kk - 1))), 1e-15);
            EXPECT_LT(relErr(c(n + j, kk), pR * (a(3 * j - 1, 3 * kk - 2) + a(3 * j - 1, 3 * kk))), 1e-15);
            EXPECT_LT(relErr(c(n + j, n + kk), pR * r * a(3 * j - 1, 3 * kk - 1)), 1e-15);
        }
    }

    // A symmetric soil matrix gives a symmetric node matrix; the head rotation
    // row and column become a unit row when nothing stands above the ground.
    for (int j = 1; j <= 3 * n; ++j)
        for (int i = j + 1; i <= 3 * n; ++i)
            a(i, j) = a(j, i);
    FILL_NODE_MATRIX_H(a.view(), c.view(), n, r, 0.0);
    for (int j = 1; j <= 2 * n; ++j) {
        for (int i = 1; i <= 2 * n; ++i) {
            EXPECT_TRUE(c(i, j) == c(j, i)) << i << "," << j;
            if (i == n + 1 || j == n + 1) {
                EXPECT_TRUE(c(i, j) == (Cx{i == j ? 1.0 : 0.0, 0.0})) << i << "," << j;
            }
        }
    }
}

} // namespace
} // namespace kd
