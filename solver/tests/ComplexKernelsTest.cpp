#include "ComplexKernels.h"

#include "DenseReference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

using namespace kd;
using kd::test::identityResidual;
using kd::test::Lcg;

namespace {

enum class Kind { NeedsPivoting, Symmetric, Identity, AllTies };

const char* kindName(Kind k)
{
    switch (k) {
    case Kind::NeedsPivoting: return "needs pivoting";
    case Kind::Symmetric: return "symmetric";
    case Kind::Identity: return "identity";
    case Kind::AllTies: return "all ties";
    }
    return "";
}

// Matrices of the table, leading dimension n.
Matrix<Cx> makeMatrix(Kind kind, int n)
{
    Matrix<Cx> a(n, n);
    Lcg rng(1000 + 7 * n + static_cast<int>(kind));
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) {
            switch (kind) {
            case Kind::NeedsPivoting:
                // Zero diagonal (except n = 1): elimination without pivots would divide by zero.
                a(i, j) = (i == j && n > 1) ? Cx{0.0, 0.0} : rng.nextCx();
                break;
            case Kind::Symmetric:
                if (i >= j) {
                    a(i, j) = (i == j) ? Cx{2.0 * n, 0.5} : rng.nextCx();
                    a(j, i) = a(i, j);
                }
                break;
            case Kind::Identity:
                a(i, j) = Cx{i == j ? 1.0 : 0.0, 0.0};
                break;
            case Kind::AllTies: {
                // Every element has |Re| + |Im| = 1: 1, -1, i or -i.
                const double r = rng.next();
                a(i, j) = r < -0.5 ? Cx{1.0, 0.0} : r < 0.0 ? Cx{-1.0, 0.0} : r < 0.5 ? Cx{0.0, 1.0} : Cx{0.0, -1.0};
                break;
            }
            }
        }
    return a;
}

bool bitwiseEqual(Cx a, Cx b) { return std::memcmp(&a, &b, sizeof(Cx)) == 0; }

struct Row {
    int n;
    Kind kind;
};

std::vector<Row> table()
{
    std::vector<Row> rows;
    for (int n : {1, 2, 5, 40})
        for (Kind k : {Kind::NeedsPivoting, Kind::Symmetric, Kind::Identity, Kind::AllTies})
            rows.push_back({n, k});
    return rows;
}

} // namespace

TEST(ComplexDivision, TieOfRealAndImaginaryTakesSecondBranch)
{
    // |c| = |d|: the second branch gives (+0, -1/3) for (1 + i) / (-3 + 3i);
    // the first branch would give a negative zero real part.
    const Cx q = cdiv(Cx{1.0, 1.0}, Cx{-3.0, 3.0});
    EXPECT_EQ(q.re, 0.0);
    EXPECT_FALSE(std::signbit(q.re));
    EXPECT_DOUBLE_EQ(q.im, -1.0 / 3.0);
    // Clear winner |c| > |d| uses the first branch: (1 + 0i) / (2 + 1i) = (0.4, -0.2).
    const Cx r = cdiv(Cx{1.0, 0.0}, Cx{2.0, 1.0});
    EXPECT_DOUBLE_EQ(r.re, 0.4);
    EXPECT_DOUBLE_EQ(r.im, -0.2);
}

TEST(ComplexKernels, PivotedInverseOverTable)
{
    for (const Row& row : table()) {
        SCOPED_TRACE(std::string(kindName(row.kind)) + ", n = " + std::to_string(row.n));
        const int n = row.n;
        Matrix<Cx> a = makeMatrix(row.kind, n);
        Matrix<Cx> inv = a;
        Vector<int> ipiv(n);
        Vector<Cx> w(n);
        CMATINV_PIVOT_H(inv, n, ipiv, w);
        EXPECT_LT(identityResidual(a, inv, n), 1e-11 * n);
        // After unscrambling the record is the identity permutation.
        if (n > 1) {
            for (int i = 1; i <= n; ++i)
                EXPECT_EQ(ipiv(i), i);
        }
        if (row.kind == Kind::Identity) {
            for (int i = 1; i <= n; ++i)
                for (int j = 1; j <= n; ++j)
                    EXPECT_TRUE(inv(i, j) == (Cx{i == j ? 1.0 : 0.0, 0.0})) << i << "," << j;
        }
        // The vertical name is the same routine.
        Matrix<Cx> invV = a;
        CMATINV_PIVOT_V(invV, n, ipiv, w);
        EXPECT_EQ(std::memcmp(invV.data(), inv.data(), sizeof(Cx) * n * n), 0);
    }
}

TEST(ComplexKernels, SymmetricInverseMirrorsLowerTriangleBitwise)
{
    for (const Row& row : table()) {
        if (row.kind != Kind::Symmetric && row.kind != Kind::Identity)
            continue;
        SCOPED_TRACE(std::string(kindName(row.kind)) + ", n = " + std::to_string(row.n));
        const int n = row.n;
        Matrix<Cx> a = makeMatrix(row.kind, n);
        // Leading dimension larger than n: the routine must honour it.
        Matrix<Cx> inv(n + 3, n);
        for (int j = 1; j <= n; ++j)
            for (int i = 1; i <= n; ++i)
                inv(i, j) = a(i, j);
        CMATINV(inv, n);
        Matrix<Cx> packed(n, n);
        for (int j = 1; j <= n; ++j)
            for (int i = 1; i <= n; ++i)
                packed(i, j) = inv(i, j);
        EXPECT_LT(identityResidual(a, packed, n), 1e-12 * n);
        for (int j = 1; j <= n; ++j)
            for (int i = j + 1; i <= n; ++i)
                EXPECT_TRUE(bitwiseEqual(inv(j, i), inv(i, j))) << i << "," << j;
        for (int j = 1; j <= n; ++j)
            for (int i = n + 1; i <= n + 3; ++i)
                EXPECT_TRUE(bitwiseEqual(inv(i, j), Cx{})) << "row beyond n touched";
    }
}

TEST(ComplexKernels, ProductInPlaceLeavesOtherOperandAndMatchesInverse)
{
    for (const Row& row : table()) {
        if (row.kind == Kind::Identity)
            continue;
        SCOPED_TRACE(std::string(kindName(row.kind)) + ", n = " + std::to_string(row.n));
        const int n = row.n;
        const Matrix<Cx> a = makeMatrix(row.kind, n);
        Matrix<Cx> inv = a;
        Vector<int> ipiv(n);
        Vector<Cx> w(n);
        CMATINV_PIVOT_H(inv, n, ipiv, w);

        // Mode 1: A := A B with B = A^-1 gives I; B untouched.
        Matrix<Cx> left = a;
        Matrix<Cx> right = inv;
        CMATMUL_INPLACE(left, right, w, n, 1);
        EXPECT_EQ(std::memcmp(right.data(), inv.data(), sizeof(Cx) * n * n), 0);
        // Mode 2: B := A B; A untouched. Both orders give the same products.
        Matrix<Cx> left2 = a;
        Matrix<Cx> right2 = inv;
        CMATMUL_INPLACE(left2, right2, w, n, 2);
        Matrix<Cx> a2 = a;
        EXPECT_EQ(std::memcmp(left2.data(), a2.data(), sizeof(Cx) * n * n), 0);
        EXPECT_EQ(std::memcmp(left.data(), right2.data(), sizeof(Cx) * n * n), 0);
        double worst = 0.0;
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j)
                worst = std::max(worst, modulus(left(i, j) - Cx{i == j ? 1.0 : 0.0, 0.0}));
        EXPECT_LT(worst, 1e-11 * n);
    }
}

TEST(ComplexKernels, PivotSearchTiesZerosAndNaN)
{
    // All candidates tie: the last free pair of the row-by-row scan wins.
    Matrix<Cx> ties(3, 3);
    ties.fill(Cx{0.5, -0.5});
    Vector<int> ipiv(3);
    for (int i = 1; i <= 3; ++i)
        ipiv(i) = -i;
    int r = 0;
    int c = 0;
    fullPivotSearch(ties, 3, ipiv, r, c);
    EXPECT_EQ(r, 3);
    EXPECT_EQ(c, 3);
    ipiv(3) = 3;  // row and column 3 taken
    fullPivotSearch(ties, 3, ipiv, r, c);
    EXPECT_EQ(r, 2);
    EXPECT_EQ(c, 2);

    // All zero: still the last free pair, never an undefined one.
    Matrix<Cx> zero(3, 3);
    for (int i = 1; i <= 3; ++i)
        ipiv(i) = -i;
    fullPivotSearch(zero, 3, ipiv, r, c);
    EXPECT_EQ(r, 3);
    EXPECT_EQ(c, 3);

    // A NaN candidate is taken over larger numbers.
    Matrix<Cx> withNan(3, 3);
    withNan.fill(Cx{5.0, 0.0});
    withNan(1, 2) = Cx{std::nan(""), 0.0};
    fullPivotSearch(withNan, 3, ipiv, r, c);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(c, 2);
}

TEST(ComplexKernels, PivotedInverseOfNonFiniteInputIsNonFinite)
{
    // An infinite element would otherwise act as a limit and give finite numbers.
    for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        for (int n : {1, 2, 5}) {
            SCOPED_TRACE(std::to_string(bad) + ", n = " + std::to_string(n));
            Matrix<Cx> a = makeMatrix(Kind::NeedsPivoting, n);
            a(n, 1) = Cx{0.5, bad};
            Vector<int> ipiv(n);
            Vector<Cx> w(n);
            CMATINV_PIVOT_H(a, n, ipiv, w);
            for (int j = 1; j <= n; ++j)
                for (int i = 1; i <= n; ++i)
                    EXPECT_FALSE(isFinite(a(i, j))) << i << "," << j;
        }
    }
}

TEST(ComplexKernels, PivotedInverseSmallSizes)
{
    Matrix<Cx> one(1, 1);
    one(1, 1) = Cx{3.0, 4.0};
    Vector<int> ipiv(1);
    ipiv(1) = 77;
    Vector<Cx> w(1);
    CMATINV_PIVOT_H(one, 1, ipiv, w);
    EXPECT_TRUE(bitwiseEqual(one(1, 1), recip(Cx{3.0, 4.0})));

    Matrix<Cx> untouched(2, 2);
    untouched.fill(Cx{1.0, 2.0});
    CMATINV_PIVOT_H(untouched, 0, ipiv, w);
    CMATINV_PIVOT_H(untouched, -1, ipiv, w);
    EXPECT_TRUE(bitwiseEqual(untouched(2, 1), Cx{1.0, 2.0}));
    EXPECT_EQ(ipiv(1), 77);
}

TEST(ComplexKernels, TridiagonalSolve)
{
    for (int n : {1, 2, 5, 40}) {
        SCOPED_TRACE(n);
        Lcg rng(n);
        Vector<Cx> d(n), e(n), l(n), b(n);
        for (int i = 1; i <= n; ++i) {
            d(i) = Cx{4.0, 0.3} + rng.nextCx();
            e(i) = rng.nextCx();
            b(i) = rng.nextCx();
            l(i) = Cx{9.0, 9.0};
        }
        const Vector<Cx> d0 = d, e0 = e, b0 = b;
        CBAND_SOLVE(d, e, l, b, n);
        double worst = 0.0;
        for (int i = 1; i <= n; ++i) {
            Cx r = d0(i) * b(i);
            if (i > 1)
                r += e0(i - 1) * b(i - 1);
            if (i < n)
                r += e0(i) * b(i + 1);
            worst = std::max(worst, modulus(r - b0(i)));
        }
        EXPECT_LT(worst, 1e-13);
        for (int i = 1; i <= n - 1; ++i) {
            EXPECT_TRUE(bitwiseEqual(l(i), e0(i) / d(i)));
            EXPECT_TRUE(bitwiseEqual(e(i), e0(i)));
        }
        if (n == 1) {
            EXPECT_TRUE(bitwiseEqual(b(1), b0(1) / d0(1)));
            EXPECT_TRUE(bitwiseEqual(l(1), Cx{9.0, 9.0}));
        }
    }
}

TEST(ComplexKernels, PileSoilEliminationAndCondensation)
{
    for (int n : {1, 2, 5, 40}) {
        SCOPED_TRACE(n);
        const int n2 = 2 * n;
        const Matrix<Cx> full = makeMatrix(Kind::Symmetric, n2);
        Matrix<Cx> inverse = full;
        Vector<int> ipiv(n2);
        Vector<Cx> w(n2);
        CMATINV_PIVOT_H(inverse, n2, ipiv, w);

        // Unit right sides give the first n columns of the inverse.
        Matrix<Cx> a(80, 80);
        Matrix<Cx> b(120, n);
        for (int j = 1; j <= n2; ++j)
            for (int i = 1; i <= j; ++i)
                a(i, j) = full(i, j);  // upper triangle only
        for (int c = 1; c <= n; ++c)
            b(c, c) = Cx{1.0, 0.0};
        CGAUSS_2N(a, b, n);
        double worst = 0.0;
        for (int c = 1; c <= n; ++c)
            for (int i = 1; i <= n2; ++i)
                worst = std::max(worst, modulus(b(i, c) - inverse(i, c)));
        EXPECT_LT(worst, 1e-13);

        // Condensation: the leading block of the condensed system is the inverse
        // of the leading block of the inverse (the Schur complement).
        Matrix<Cx> p(2500, n2);
        for (int j = 1; j <= n2; ++j)
            for (int i = j; i <= n2; ++i)
                p(i, j) = full(i, j);  // lower triangle only
        Matrix<Cx> c(80, n);
        Vector<Cx> v1(n), v2(n);
        CBACKSUB_BLOCKS(p, c, v1, v2, n);
        Matrix<Cx> schur(n, n);
        for (int j = 1; j <= n; ++j)
            for (int i = 1; i <= n; ++i)
                schur(i, j) = inverse(i, j);
        Vector<int> ip(n);
        Vector<Cx> wn(n);
        CMATINV_PIVOT_H(schur, n, ip, wn);
        worst = 0.0;
        for (int j = 1; j <= n; ++j)
            for (int i = 1; i <= n; ++i) {
                Cx expected = schur(i, j);
                if (i == n || j == n)
                    expected = Cx{i == j ? 1.0 : 0.0, 0.0};
                worst = std::max(worst, modulus(c(i, j) - expected));
                EXPECT_TRUE(bitwiseEqual(c(i, j), c(j, i)));
            }
        for (int k = 1; k <= n - 1; ++k) {
            worst = std::max(worst, modulus(v1(k) + schur(k, n)));
            EXPECT_TRUE(bitwiseEqual(v1(k), v2(k)));
        }
        EXPECT_LT(worst, 1e-12);
        EXPECT_TRUE(bitwiseEqual(v1(n), Cx{1.0, 0.0}));
        EXPECT_TRUE(bitwiseEqual(v2(n), Cx{1.0, 0.0}));
    }
}
