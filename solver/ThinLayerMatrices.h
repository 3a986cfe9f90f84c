#pragma once

// Frequency-independent thin-layer matrices of the layered soil. Displacements
// vary linearly through each sublayer; node N+1 (base of the deepest sublayer)
// is fixed, so every stored band is cut to nodes 1..N (positions 1..2N for the
// two-component set, p = 2i-1 and 2i at node i). Each matrix is kept as one
// vector per band, under the names the soil models use:
//   one-component set   SH_A_*, SH_G_*, SH_M_* (diagonal, off = node i with i+1)
//   two-component set   PSV_A_*, PSV_G_*, PSV_M_* (off = p with p+2),
//                       PSV_B_BAND1 (p with p+1), PSV_B_BAND3 (p with p+3)
//   half-modulus bands  GB_*, LB_*
//   radius sets         RA_*, RN_*, RNN_*, RNB_*
// Node vectors hold N+1 entries and position vectors 2N+2: the diagonal
// entries at node N+1 are assembled and then play no part.

#include "Matrix.h"

namespace kd {

struct ThinLayerBands {
    int n = 0;  // sublayers

    Vector<Cx> SH_A_DIAG, SH_A_OFF, SH_G_DIAG, SH_G_OFF;
    Vector<double> SH_M_DIAG, SH_M_OFF;

    Vector<Cx> PSV_A_DIAG, PSV_A_OFF, PSV_B_BAND1, PSV_B_BAND3, PSV_G_DIAG, PSV_G_OFF;
    Vector<double> PSV_M_DIAG, PSV_M_OFF;

    Vector<Cx> GB_DIAG, LB_DIAG, GB_OFF, LB_OFF;

    Vector<Cx> RA_DIAG, RA_OFF, RN_DIAG, RN_OFF, RNN_DIAG, RNN_OFF, RNB_DIAG, RNB_OFF;

    // Sizes every vector for n sublayers, all entries zero.
    void resize(int sublayers);
};

// All 26 bands for the horizontal analysis. SUB_H and SUB_RHO are indexed
// 1..n as the shared storage holds them (entry 0 unused); SUB_MODULI has
// column 2 G* and column 3 lambda* in rows 1..n, read at its own leading
// dimension (the horizontal driver's array has 40 rows, the vertical one 50). harmonic is the
// circumferential harmonic number n (1.0), R the pile radius. n2 = 2n.
// Nothing is validated: a zero thickness or radius gives non-finite bands.
void LAYER_MATRICES_H(ThinLayerBands& bands, const double SUB_H[], const Matrix<Cx>& SUB_MODULI,
                      int n, int n2, double harmonic, double R, const double SUB_RHO[]);

// The subset of the vertical analysis: the two-component set, the
// half-modulus bands and RA_*; the other bands of `bands` are left as they
// are. Same values as LAYER_MATRICES_H for the same data (its moduli array
// has 50 rows).
void LAYER_MATRICES_V(ThinLayerBands& bands, const double SUB_H[], const Matrix<Cx>& SUB_MODULI,
                      int n, int n2, double R, const double SUB_RHO[]);

} // namespace kd
