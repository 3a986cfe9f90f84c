#include "FreeFieldColumn.h"
#include "ThinLayerMatrices.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kd;

namespace {

// Chebyshev polynomial T_n(c) of a complex argument by its recurrence.
Cx chebyshev(int n, Cx c)
{
    Cx t0{1.0, 0.0}, t1 = c;
    if (n == 0)
        return t0;
    for (int k = 1; k < n; ++k) {
        const Cx t2 = 2.0 * (c * t1) - t0;
        t0 = t1;
        t1 = t2;
    }
    return t1;
}

Cx freeFieldSurface(int n, double height, double vs, double rho, double beta, double omega)
{
    Matrix<Cx> moduli(40, 3);
    double h[51] = {}, dens[51] = {};
    const double g = vs * rho * vs;
    for (int i = 1; i <= n; ++i) {
        h[i] = height / n;
        dens[i] = rho;
        moduli(i, 2) = Cx{g, g * 2.0 * beta};
        moduli(i, 3) = Cx{g, g * 2.0 * beta};
    }
    ThinLayerBands b;
    b.resize(n);
    LAYER_MATRICES_H(b, h, moduli, n, 2 * n, 1.0, 0.5, dens);
    Vector<Cx> d(n), e(n), l(n), out(n);
    FORM_BAND_SYSTEM(n, omega * omega, d, e, l, b.SH_G_DIAG, b.SH_G_OFF, b.SH_M_DIAG, b.SH_M_OFF, out);
    return out(1);
}

} // namespace

TEST(FreeFieldColumn, UniformStratumMatchesTheDiscreteClosedForm)
{
    // Uniform damped stratum of n sublayers: u(i+1) + u(i-1) = 2 c u(i) with
    // c = (1 - q h^2/3) / (1 + q h^2/6), q = w^2 rho / G*, a free surface
    // (u2 = c u1) and the unit base motion give UFF/UG = 1 / T_n(c).
    struct Case {
        int n;
        double height, vs, rho, beta, f;
    };
    const Case cases[] = {{1, 5.0, 100.0, 1.8, 0.05, 3.0},  {2, 10.0, 150.0, 2.0, 0.02, 1.0},
                          {7, 14.0, 200.0, 1.9, 0.05, 3.5}, {40, 30.0, 250.0, 2.0, 0.03, 9.0},
                          {12, 12.0, 120.0, 1.7, 0.0, 0.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.n);
        const double omega = c.f * 6.283180236816406;
        const Cx gStar{c.vs * c.rho * c.vs, c.vs * c.rho * c.vs * 2.0 * c.beta};
        const double h = c.height / c.n;
        const Cx q = cdiv(Cx{omega * omega * c.rho, 0.0}, gStar);
        const Cx ch = cdiv(Cx{1.0, 0.0} - (h * h / 3.0) * q, Cx{1.0, 0.0} + (h * h / 6.0) * q);
        const Cx expected = recip(chebyshev(c.n, ch));
        const Cx got = freeFieldSurface(c.n, c.height, c.vs, c.rho, c.beta, omega);
        EXPECT_LT(modulus(got - expected) / modulus(expected), 1e-12);
    }
}

TEST(FreeFieldColumn, FineSublayersApproachTheContinuousStratum)
{
    // 1 / cos(w H / Vs*) with Vs* = sqrt(G* / rho), away from resonance.
    const double height = 20.0, vs = 200.0, rho = 2.0, beta = 0.05, f = 1.7;
    const double omega = f * 6.283180236816406;
    const Cx gStar{vs * rho * vs, vs * rho * vs * 2.0 * beta};
    const Cx vsStar = csqrt(cdiv(gStar, Cx{rho, 0.0}));
    const Cx arg = cdiv(Cx{omega * height, 0.0}, vsStar);
    // cos of a complex argument.
    const Cx cosArg{std::cos(arg.re) * std::cosh(arg.im), -std::sin(arg.re) * std::sinh(arg.im)};
    const Cx expected = recip(cosArg);
    const Cx got = freeFieldSurface(40, height, vs, rho, beta, omega);
    EXPECT_LT(modulus(got - expected) / modulus(expected), 2e-3);
}
