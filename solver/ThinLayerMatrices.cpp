#include "ThinLayerMatrices.h"

namespace kd {

void ThinLayerBands::resize(int sublayers)
{
    n = sublayers;
    const int nodes = sublayers + 1;
    const int positions = 2 * sublayers + 2;
    for (Vector<Cx>* v : {&SH_A_DIAG, &SH_A_OFF, &SH_G_DIAG, &SH_G_OFF, &GB_DIAG, &LB_DIAG, &GB_OFF,
                          &LB_OFF, &RA_DIAG, &RA_OFF, &RN_DIAG, &RN_OFF, &RNN_DIAG, &RNN_OFF, &RNB_DIAG,
                          &RNB_OFF})
        v->assign(nodes);
    SH_M_DIAG.assign(nodes);
    SH_M_OFF.assign(nodes);
    for (Vector<Cx>* v : {&PSV_A_DIAG, &PSV_A_OFF, &PSV_B_BAND1, &PSV_B_BAND3, &PSV_G_DIAG, &PSV_G_OFF})
        v->assign(positions);
    PSV_M_DIAG.assign(positions);
    PSV_M_OFF.assign(positions);
}

namespace {

// Shared builder; `horizontal` adds the one-component set and the harmonic
// radius sets to what both analyses need.
void assemble(ThinLayerBands& b, const double SUB_H[], const Matrix<Cx>& SUB_MODULI, int n, int n2,
              double harmonic, double R, const double SUB_RHO[], bool horizontal)
{
    if (n < 1)
        return;
    const Cx zero{0.0, 0.0};
    const Cx three{3.0, 0.0};

    // 1. First entries of the accumulating vectors.
    if (horizontal) {
        b.SH_A_DIAG(1) = zero;
        b.SH_G_DIAG(1) = zero;
        b.SH_M_DIAG(1) = 0.0;
        b.RN_DIAG(1) = zero;
        b.RNN_DIAG(1) = zero;
        b.RNB_DIAG(1) = zero;
    }
    for (int p = 1; p <= 2; ++p) {
        b.PSV_A_DIAG(p) = zero;
        b.PSV_B_BAND1(p) = zero;
        b.PSV_G_DIAG(p) = zero;
        b.PSV_M_DIAG(p) = 0.0;
    }
    b.GB_DIAG(1) = zero;
    b.LB_DIAG(1) = zero;
    b.RA_DIAG(1) = zero;

    // 2. Sublayer by sublayer: add the term at the top node, store it at the
    // bottom node for the next sublayer to add to.
    for (int i = 1; i <= n; ++i) {
        const double h = SUB_H[i];
        const double rho = SUB_RHO[i];
        const Cx G = SUB_MODULI(i, 2);
        const Cx L = SUB_MODULI(i, 3);
        const Cx P = 2.0 * G + L;  // constrained modulus 2G + lambda
        const int top = 2 * i - 1;
        const int bottom = 2 * i + 1;

        const Cx hG3 = h * G / three;   // complex quotients by 3 + 0i
        const Cx hP3 = h * P / three;
        const Cx hG6 = hG3 * 0.5;
        const Cx hP6 = hP3 * 0.5;
        const Cx Gh = divReal(G, h);
        const Cx Ph = divReal(P, h);
        const double m3 = rho * h / 3.0;
        const double m6 = rho * h / 6.0;
        const Cx hG3R = divReal(h * G, R * 3.0);  // h G / (3R)
        const Cx G2 = 0.5 * G;
        const Cx L2 = 0.5 * L;
        const Cx GmL2 = 0.5 * (G - L);
        const Cx GpL2 = 0.5 * (G + L);

        if (horizontal) {
            b.SH_A_DIAG(i) += hG3;
            b.SH_A_DIAG(i + 1) = hG3;
            b.SH_A_OFF(i) = hG6;
            b.SH_G_DIAG(i) += Gh;
            b.SH_G_DIAG(i + 1) = Gh;
            b.SH_G_OFF(i) = -Gh;
            b.SH_M_DIAG(i) += m3;
            b.SH_M_DIAG(i + 1) = m3;
            b.SH_M_OFF(i) = m6;

            const Cx rn = harmonic * hG3R;                          // n h G / (3R)
            const Cx rnn = divReal(4.0 * harmonic * (h * G), 3.0 * R * R);  // 4 n h G / (3R^2)
            const Cx rnb = divReal(harmonic * G, 2.0 * R);          // n G / (2R)
            b.RN_DIAG(i) += rn;
            b.RN_DIAG(i + 1) = rn;
            b.RN_OFF(i) = rn * 0.5;
            b.RNN_DIAG(i) += rnn;
            b.RNN_DIAG(i + 1) = rnn;
            b.RNN_OFF(i) = rnn * 0.5;
            b.RNB_DIAG(i) += rnb;
            b.RNB_DIAG(i + 1) = -rnb;
            b.RNB_OFF(i) = rnb;
        }

        b.PSV_A_DIAG(top) += hP3;
        b.PSV_A_DIAG(top + 1) += hG3;
        b.PSV_A_DIAG(bottom) = hP3;
        b.PSV_A_DIAG(bottom + 1) = hG3;
        b.PSV_A_OFF(top) = hP6;
        b.PSV_A_OFF(top + 1) = hG6;

        b.PSV_G_DIAG(top) += Gh;
        b.PSV_G_DIAG(top + 1) += Ph;
        b.PSV_G_DIAG(bottom) = Gh;
        b.PSV_G_DIAG(bottom + 1) = Ph;
        b.PSV_G_OFF(top) = -Gh;
        b.PSV_G_OFF(top + 1) = -Ph;

        b.PSV_M_DIAG(top) += m3;
        b.PSV_M_DIAG(top + 1) += m3;
        b.PSV_M_DIAG(bottom) = m3;
        b.PSV_M_DIAG(bottom + 1) = m3;
        b.PSV_M_OFF(top) = m6;
        b.PSV_M_OFF(top + 1) = m6;

        b.PSV_B_BAND1(top) = GmL2 - b.PSV_B_BAND1(top);
        b.PSV_B_BAND1(bottom) = GmL2;
        b.PSV_B_BAND1(top + 1) = -GpL2;
        b.PSV_B_BAND3(top) = GpL2;

        b.GB_DIAG(i) = b.GB_DIAG(i) - G2;
        b.GB_DIAG(i + 1) = G2;
        b.GB_OFF(i) = G2;
        b.LB_DIAG(i) += L2;
        b.LB_DIAG(i + 1) = -L2;
        b.LB_OFF(i) = L2;

        b.RA_DIAG(i) += 2.0 * hG3R;
        b.RA_DIAG(i + 1) = 2.0 * hG3R;
        b.RA_OFF(i) = hG3R;
    }

    // 3. Cut at the fixed base. With one sublayer position 2N-2 is 0 and does
    // not exist: the missing neighbour is simply zero.
    if (horizontal) {
        for (Vector<Cx>* v : {&b.SH_A_OFF, &b.SH_G_OFF, &b.RN_OFF, &b.RNN_OFF, &b.RNB_OFF})
            (*v)(n) = zero;
        b.SH_M_OFF(n) = 0.0;
    }
    for (Vector<Cx>* v : {&b.GB_OFF, &b.LB_OFF, &b.RA_OFF})
        (*v)(n) = zero;
    for (int p = n2 - 1; p <= n2; ++p) {
        b.PSV_A_OFF(p) = zero;
        b.PSV_G_OFF(p) = zero;
        b.PSV_M_OFF(p) = 0.0;
    }
    b.PSV_B_BAND1(n2) = zero;
    for (int p = n2 - 2; p <= n2; ++p)
        if (p >= 1)
            b.PSV_B_BAND3(p) = zero;
}

} // namespace

void LAYER_MATRICES_H(ThinLayerBands& bands, const double SUB_H[], const Matrix<Cx>& SUB_MODULI,
                      int n, int n2, double harmonic, double R, const double SUB_RHO[])
{
    assemble(bands, SUB_H, SUB_MODULI, n, n2, harmonic, R, SUB_RHO, true);
}

void LAYER_MATRICES_V(ThinLayerBands& bands, const double SUB_H[], const Matrix<Cx>& SUB_MODULI,
                      int n, int n2, double R, const double SUB_RHO[])
{
    assemble(bands, SUB_H, SUB_MODULI, n, n2, 0.0, R, SUB_RHO, false);
}

} // namespace kd
