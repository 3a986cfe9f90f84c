#include "GroupResponseH.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kd;

namespace {

double rel(Cx a, Cx b) { return modulus(a - b) / std::max(modulus(a), modulus(b)); }

} // namespace

TEST(GroupResponseH, SuperstructureSatisfiesBothEquationsOfMotion)
{
    // Top mass m1 on the spring k* = k (1 + 2i xi) above the foundation mass
    // m0, held by the pile head (stiffness kp) against its kinematic motion up:
    //   -w2 m1 UST + k* (UST - U0) = 0
    //   -w2 m0 U0 + k* (U0 - UST) + kp (U0 - up) = 0
    struct Case {
        double k, xi, m0, m1, w2;
        Cx kp, up;
    };
    const Case cases[] = {
        {2.0e5, 0.05, 200.0, 500.0, 158.0, {2.1e5, 3.0e4}, {1.2, -0.3}},
        {1.0e3, 0.0, 1.0, 2.0, 0.0, {5.0e3, 1.0e2}, {1.0, 0.0}},
        {7.5e4, 0.2, 0.0, 80.0, 3.9e3, {1.0e6, 4.0e5}, {0.2, 0.7}},
    };
    for (const auto& c : cases) {
        const auto r = superstructureResponse(c.k, c.xi, c.m0, c.m1, c.w2, c.kp, c.up);
        const Cx kStar{c.k, c.k * 2.0 * c.xi};
        const Cx top = r.ust * Cx{-c.w2 * c.m1, 0.0} + kStar * (r.ust - r.u0);
        const Cx base = r.u0 * Cx{-c.w2 * c.m0, 0.0} + kStar * (r.u0 - r.ust) + c.kp * (r.u0 - c.up);
        const double scale = modulus(c.kp * c.up);
        EXPECT_LT(modulus(top) / scale, 1e-10);
        EXPECT_LT(modulus(base) / scale, 1e-10);
    }
    // At rest both masses follow the pile head.
    const auto still = superstructureResponse(1.0e4, 0.05, 10.0, 20.0, 0.0, {3.0e4, 1.0e3}, {0.8, 0.1});
    EXPECT_LT(rel(still.ust, {0.8, 0.1}), 1e-14);
    EXPECT_LT(rel(still.u0, {0.8, 0.1}), 1e-14);
}

TEST(GroupResponseH, GroupMatrixHasUnitDiagonalAndTheFactorsOffIt)
{
    Matrix<Cx> alpha(3, 3), g(3, 3);
    Vector<Cx> v(3), w(3);
    for (int i = 1; i <= 3; ++i) {
        v(i) = Cx{double(i), -double(i)};
        for (int j = 1; j <= 3; ++j)
            alpha(i, j) = Cx{10.0 * i + j, 0.5};
    }
    g.fill(Cx{99.0, 99.0});
    GROUP_MATRIX(g, w, 3, alpha, v);
    for (int i = 1; i <= 3; ++i) {
        for (int j = 1; j <= 3; ++j)
            EXPECT_EQ(g(i, j), (i == j ? Cx{1.0, 0.0} : alpha(i, j)));
        const Cx sumOthers = Cx{6.0 - i, -(6.0 - i)};
        EXPECT_EQ(w(i), sumOthers);
    }
}

TEST(GroupResponseH, HeadResponseOfOnePileAndOfEqualMotions)
{
    Matrix<Cx> ginv(1, 1);
    Vector<Cx> u(1);
    ginv(1, 1) = Cx{1.0, 0.0};
    u(1) = Cx{0.4, -0.2};
    const auto one = groupHeadResponse(ginv, u, 1);
    EXPECT_EQ(one.sum, (Cx{1.0, 0.0}));
    EXPECT_EQ(one.upp, u(1));

    // Equal motions of every pile come out unchanged, whatever the matrix.
    Matrix<Cx> g(2, 2);
    Vector<Cx> same(2);
    g(1, 1) = Cx{0.8, 0.1};
    g(1, 2) = Cx{-0.2, 0.05};
    g(2, 1) = Cx{-0.2, 0.05};
    g(2, 2) = Cx{0.8, 0.1};
    same(1) = same(2) = Cx{1.5, 0.5};
    const auto two = groupHeadResponse(g, same, 2);
    EXPECT_LT(rel(two.upp, same(1)), 1e-15);
    EXPECT_LT(rel(two.sum, Cx{1.2, 0.3}), 1e-15);
}
