#include "DynamicLayerMatrices.h"
#include "ThinLayerMatrices.h"

#include "DenseReference.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace kd;
using kd::test::relDiff;

namespace {

// A soil column: per sublayer thickness, density, G and lambda with damping.
struct Column {
    int n = 0;
    double h[51]{};
    double rho[51]{};
    Matrix<Cx> moduli{40, 3};

    void add(double thickness, double density, double g, double lambda, double beta)
    {
        ++n;
        h[n] = thickness;
        rho[n] = density;
        moduli(n, 1) = Cx{1.0, 2.0 * beta};  // Young's modulus: not read
        moduli(n, 2) = Cx{g, 2.0 * beta * g};
        moduli(n, 3) = Cx{lambda, 2.0 * beta * lambda};
    }
};

Column layered()
{
    Column c;
    c.add(0.5, 1.8, 20.0, 45.0, 0.05);
    c.add(1.25, 1.9, 35.0, 60.0, 0.03);
    c.add(2.0, 2.1, 80.0, 150.0, 0.02);
    return c;
}

bool same(const Vector<Cx>& a, const Vector<Cx>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), sizeof(Cx) * a.size()) == 0;
}
bool same(const Vector<double>& a, const Vector<double>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), sizeof(double) * a.size()) == 0;
}

// Dense matrix over the free degrees of freedom assembled from element
// matrices (dofs per node `c`, element matrix over the two nodes of the
// sublayer), the fixed base node dropped.
using Dense = std::vector<std::vector<Cx>>;
template <class ElementFn>
Dense assemble(int n, int c, ElementFn element)
{
    const int size = c * n;
    Dense k(size + 1, std::vector<Cx>(size + 1));
    for (int i = 1; i <= n; ++i) {
        std::vector<std::vector<Cx>> e = element(i);  // 2c x 2c
        for (int a = 0; a < 2 * c; ++a)
            for (int b = 0; b < 2 * c; ++b) {
                const int p = c * (i - 1) + 1 + a;
                const int q = c * (i - 1) + 1 + b;
                if (p <= size && q <= size)
                    k[p][q] += e[a][b];
            }
    }
    return k;
}

// Largest relative difference between the dense matrix and a band set
// (diagonal, and couplings of p with p + offset for each band).
double bandMismatch(const Dense& k, int size, const Vector<Cx>* diag,
                    std::vector<std::pair<int, const Vector<Cx>*>> bands)
{
    double worst = 0.0;
    double scale = 0.0;
    for (int p = 1; p <= size; ++p)
        for (int q = 1; q <= size; ++q)
            scale = std::max(scale, modulus(k[p][q]));
    for (int p = 1; p <= size; ++p)
        for (int q = 1; q <= size; ++q) {
            Cx banded{0.0, 0.0};
            if (p == q && diag)
                banded = (*diag)(p);
            for (auto [offset, band] : bands) {
                if (q == p + offset)
                    banded = (*band)(p);
                if (p == q + offset)
                    banded = (*band)(q);
            }
            worst = std::max(worst, modulus(k[p][q] - banded) / scale);
        }
    return worst;
}

std::vector<std::vector<Cx>> zeros(int size) { return std::vector<std::vector<Cx>>(size, std::vector<Cx>(size)); }

} // namespace

TEST(ThinLayerMatrices, BandsEqualElementAssembly)
{
    for (int layers : {1, 2, 3}) {
        SCOPED_TRACE(layers);
        Column all = layered();
        Column col;
        for (int i = 1; i <= layers; ++i)
            col.add(all.h[i], all.rho[i], all.moduli(i, 2).re, all.moduli(i, 3).re, all.moduli(i, 2).im / (2 * all.moduli(i, 2).re));
        const int n = col.n;
        ThinLayerBands b;
        b.resize(n);
        LAYER_MATRICES_H(b, col.h, col.moduli, n, 2 * n, 1.0, 0.4, col.rho);

        auto G = [&](int i) { return col.moduli(i, 2); };
        auto L = [&](int i) { return col.moduli(i, 3); };
        auto P = [&](int i) { return 2.0 * G(i) + L(i); };

        // One component: A = hG/6 [2 1; 1 2], G = G/h [1 -1; -1 1].
        Dense sa = assemble(n, 1, [&](int i) {
            auto e = zeros(2);
            const Cx t = col.h[i] / 6.0 * G(i);
            e[0][0] = e[1][1] = 2.0 * t;
            e[0][1] = e[1][0] = t;
            return e;
        });
        EXPECT_LT(bandMismatch(sa, n, &b.SH_A_DIAG, {{1, &b.SH_A_OFF}}), 1e-15);
        Dense sg = assemble(n, 1, [&](int i) {
            auto e = zeros(2);
            const Cx t = (1.0 / col.h[i]) * G(i);
            e[0][0] = e[1][1] = t;
            e[0][1] = e[1][0] = -t;
            return e;
        });
        EXPECT_LT(bandMismatch(sg, n, &b.SH_G_DIAG, {{1, &b.SH_G_OFF}}), 1e-15);
        for (int i = 1; i <= n; ++i) {
            const double above = i > 1 ? col.rho[i - 1] * col.h[i - 1] / 3.0 : 0.0;
            EXPECT_DOUBLE_EQ(b.SH_M_DIAG(i), above + col.rho[i] * col.h[i] / 3.0);
            EXPECT_DOUBLE_EQ(b.SH_M_OFF(i), i < n ? col.rho[i] * col.h[i] / 6.0 : 0.0);
        }

        // Two components (x, z) per node: A carries 2G+L on x and G on z, G the reverse.
        Dense pa = assemble(n, 2, [&](int i) {
            auto e = zeros(4);
            const Cx tx = col.h[i] / 6.0 * P(i);
            const Cx tz = col.h[i] / 6.0 * G(i);
            e[0][0] = e[2][2] = 2.0 * tx;
            e[0][2] = e[2][0] = tx;
            e[1][1] = e[3][3] = 2.0 * tz;
            e[1][3] = e[3][1] = tz;
            return e;
        });
        EXPECT_LT(bandMismatch(pa, 2 * n, &b.PSV_A_DIAG, {{2, &b.PSV_A_OFF}}), 1e-15);
        Dense pg = assemble(n, 2, [&](int i) {
            auto e = zeros(4);
            const Cx tx = (1.0 / col.h[i]) * G(i);
            const Cx tz = (1.0 / col.h[i]) * P(i);
            e[0][0] = e[2][2] = tx;
            e[0][2] = e[2][0] = -tx;
            e[1][1] = e[3][3] = tz;
            e[1][3] = e[3][1] = -tz;
            return e;
        });
        EXPECT_LT(bandMismatch(pg, 2 * n, &b.PSV_G_DIAG, {{2, &b.PSV_G_OFF}}), 1e-15);
        // B couples x with z: top (x, z) (G-L)/2, bottom (x, z) -(G-L)/2,
        // (z top, x bottom) -(G+L)/2, (x top, z bottom) (G+L)/2.
        Dense pb = assemble(n, 2, [&](int i) {
            auto e = zeros(4);
            const Cx minus = 0.5 * (G(i) - L(i));
            const Cx plus = 0.5 * (G(i) + L(i));
            e[0][1] = e[1][0] = minus;
            e[2][3] = e[3][2] = -minus;
            e[1][2] = e[2][1] = -plus;
            e[0][3] = e[3][0] = plus;
            return e;
        });
        EXPECT_LT(bandMismatch(pb, 2 * n, nullptr, {{1, &b.PSV_B_BAND1}, {3, &b.PSV_B_BAND3}}), 1e-15);
        for (int p = 2; p <= 2 * n; p += 2)
            EXPECT_TRUE(b.PSV_B_BAND3(p) == Cx{}) << p;
    }
}

TEST(ThinLayerMatrices, SingleSublayer)
{
    Column col;
    col.add(2.0, 1.7, 30.0, 70.0, 0.05);
    ThinLayerBands b;
    b.resize(1);
    LAYER_MATRICES_H(b, col.h, col.moduli, 1, 2, 1.0, 0.5, col.rho);
    const Cx G = col.moduli(1, 2);
    const Cx L = col.moduli(1, 3);
    EXPECT_TRUE(b.SH_A_DIAG(1) == (2.0 * G / Cx{3.0, 0.0}));
    EXPECT_TRUE(b.SH_G_DIAG(1) == divReal(G, 2.0));
    EXPECT_EQ(b.SH_M_DIAG(1), 1.7 * 2.0 / 3.0);
    for (const Vector<Cx>* off : {&b.SH_A_OFF, &b.SH_G_OFF, &b.GB_OFF, &b.LB_OFF, &b.RA_OFF, &b.RN_OFF,
                                  &b.RNN_OFF, &b.RNB_OFF})
        EXPECT_TRUE((*off)(1) == Cx{});
    EXPECT_EQ(b.SH_M_OFF(1), 0.0);
    EXPECT_TRUE(b.PSV_B_BAND1(1) == 0.5 * (G - L));
    EXPECT_TRUE(b.PSV_B_BAND1(2) == Cx{});
    EXPECT_TRUE(b.PSV_B_BAND3(1) == Cx{});
    EXPECT_TRUE(b.PSV_B_BAND3(2) == Cx{});
    for (int p = 1; p <= 2; ++p) {
        EXPECT_TRUE(b.PSV_A_OFF(p) == Cx{});
        EXPECT_TRUE(b.PSV_G_OFF(p) == Cx{});
    }
    EXPECT_TRUE(b.GB_DIAG(1) == -(0.5 * G));
    EXPECT_TRUE(b.LB_DIAG(1) == 0.5 * L);
    EXPECT_LT(relDiff(b.RNB_DIAG(1), divReal(G, 2.0 * 0.5)), 1e-15);
}

TEST(ThinLayerMatrices, IdenticalSublayersAndRadiusSets)
{
    Column col;
    for (int i = 0; i < 2; ++i)
        col.add(1.5, 2.0, 40.0, 90.0, 0.04);
    const double R = 0.6;
    ThinLayerBands b;
    b.resize(2);
    LAYER_MATRICES_H(b, col.h, col.moduli, 2, 4, 1.0, R, col.rho);
    const Cx hG = 1.5 * col.moduli(1, 2);
    const Cx third = hG / Cx{3.0, 0.0};
    EXPECT_TRUE(b.SH_A_DIAG(2) == third + third);
    EXPECT_TRUE(b.PSV_B_BAND1(3) == Cx{});
    EXPECT_TRUE(b.GB_DIAG(2) == Cx{});
    EXPECT_TRUE(b.RNB_DIAG(2) == Cx{});
    // With n = 1: RN = RA / 2 and RNN = 2 RA / R.
    for (int i = 1; i <= 2; ++i) {
        EXPECT_LT(relDiff(b.RN_DIAG(i), 0.5 * b.RA_DIAG(i)), 1e-15);
        EXPECT_LT(relDiff(b.RNN_DIAG(i), divReal(2.0 * b.RA_DIAG(i), R)), 1e-15);
    }
    EXPECT_LT(relDiff(b.RN_OFF(1), 0.5 * b.RA_OFF(1)), 1e-15);
    EXPECT_LT(relDiff(b.RNN_OFF(1), divReal(2.0 * b.RA_OFF(1), R)), 1e-15);
}

TEST(ThinLayerMatrices, VerticalSubsetEqualsHorizontalAndRepeats)
{
    Column col = layered();
    // The vertical analysis keeps its moduli in a 50-row array.
    Matrix<Cx> moduli50(50, 3);
    for (int i = 1; i <= col.n; ++i)
        for (int c = 1; c <= 3; ++c)
            moduli50(i, c) = col.moduli(i, c);
    ThinLayerBands h;
    ThinLayerBands h2;
    ThinLayerBands v;
    h.resize(col.n);
    h2.resize(col.n);
    v.resize(col.n);
    LAYER_MATRICES_H(h, col.h, col.moduli, col.n, 2 * col.n, 1.0, 0.4, col.rho);
    LAYER_MATRICES_H(h2, col.h, col.moduli, col.n, 2 * col.n, 1.0, 0.4, col.rho);
    LAYER_MATRICES_V(v, col.h, moduli50, col.n, 2 * col.n, 0.4, col.rho);
    for (auto member : {&ThinLayerBands::PSV_A_DIAG, &ThinLayerBands::PSV_A_OFF, &ThinLayerBands::PSV_B_BAND1,
                        &ThinLayerBands::PSV_B_BAND3, &ThinLayerBands::PSV_G_DIAG, &ThinLayerBands::PSV_G_OFF,
                        &ThinLayerBands::GB_DIAG, &ThinLayerBands::LB_DIAG, &ThinLayerBands::GB_OFF,
                        &ThinLayerBands::LB_OFF, &ThinLayerBands::RA_DIAG, &ThinLayerBands::RA_OFF})
        EXPECT_TRUE(same(h.*member, v.*member));
    EXPECT_TRUE(same(h.PSV_M_DIAG, v.PSV_M_DIAG));
    EXPECT_TRUE(same(h.PSV_M_OFF, v.PSV_M_OFF));
    // The one-component and harmonic sets are not the vertical routine's.
    EXPECT_TRUE(v.SH_A_DIAG(1) == Cx{});
    EXPECT_TRUE(v.RNN_DIAG(1) == Cx{});
    // Frequency-independent: a second call gives the same bits.
    for (auto member : {&ThinLayerBands::SH_A_DIAG, &ThinLayerBands::SH_A_OFF, &ThinLayerBands::SH_G_DIAG,
                        &ThinLayerBands::SH_G_OFF, &ThinLayerBands::RN_DIAG, &ThinLayerBands::RN_OFF,
                        &ThinLayerBands::RNN_DIAG, &ThinLayerBands::RNN_OFF, &ThinLayerBands::RNB_DIAG,
                        &ThinLayerBands::RNB_OFF, &ThinLayerBands::PSV_B_BAND1})
        EXPECT_TRUE(same(h.*member, h2.*member));
}

TEST(DynamicLayerMatrices, SignsZeroFrequencyAndExtent)
{
    Column col = layered();
    const int n = col.n;
    ThinLayerBands b;
    b.resize(n);
    LAYER_MATRICES_H(b, col.h, col.moduli, n, 2 * n, 1.0, 0.4, col.rho);
    const Cx sentinel{-7.0, 7.0};
    Vector<Cx> shDiag(n), shOff(n), psvDiag(2 * n + 2), psvOff(2 * n + 2);
    for (Vector<Cx>* v : {&psvDiag, &psvOff})
        for (int p = 1; p <= v->size(); ++p)
            (*v)(p) = sentinel;

    for (double omega2 : {0.0, 12.5}) {
        SCOPED_TRACE(omega2);
        FORM_DYN_SH(n, omega2, shDiag, shOff, b.SH_G_DIAG, b.SH_G_OFF, b.SH_M_DIAG, b.SH_M_OFF);
        FORM_DYN_PSV(n, omega2, psvDiag, psvOff, b.PSV_G_DIAG, b.PSV_G_OFF, b.PSV_M_DIAG, b.PSV_M_OFF);
        for (int i = 1; i <= n; ++i) {
            // omega^2 M - G
            EXPECT_LT(relDiff(shDiag(i), Cx{omega2 * b.SH_M_DIAG(i), 0.0} - b.SH_G_DIAG(i)), 1e-15);
            if (omega2 == 0.0) {
                EXPECT_TRUE(shDiag(i) == -b.SH_G_DIAG(i));
            }
        }
        EXPECT_TRUE(shOff(n) == Cx{});  // cut at the fixed base
        for (int p = 1; p <= 2 * n; ++p) {
            // G - omega^2 M
            EXPECT_LT(relDiff(psvDiag(p), b.PSV_G_DIAG(p) - Cx{omega2 * b.PSV_M_DIAG(p), 0.0}), 1e-15);
            if (omega2 == 0.0) {
                EXPECT_TRUE(psvDiag(p) == b.PSV_G_DIAG(p));
            }
        }
        EXPECT_TRUE(psvOff(2 * n - 1) == Cx{});
        EXPECT_TRUE(psvOff(2 * n) == Cx{});
        // Exactly positions 1..2N are written.
        EXPECT_TRUE(psvDiag(2 * n + 1) == sentinel);
        EXPECT_TRUE(psvOff(2 * n + 2) == sentinel);
    }
    // n <= 0 leaves the outputs untouched.
    FORM_DYN_PSV(0, 1.0, psvDiag, psvOff, b.PSV_G_DIAG, b.PSV_G_OFF, b.PSV_M_DIAG, b.PSV_M_OFF);
    EXPECT_TRUE(psvDiag(2 * n + 1) == sentinel);
}
