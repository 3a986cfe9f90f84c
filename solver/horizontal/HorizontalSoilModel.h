#pragma once

// Per-run arrays of the horizontal thin-layer soil model, sized for the
// project's N sublayers, and the calls of the run driver: once
// LAYER_MATRICES_H, then per frequency FORM_DYN_SH, NEWTON_WAVENUMBERS_H,
// FORM_DYN_PSV, EIGENVECTORS_H. Layouts as the soil stiffness reads them:
// SH_WAVENUMBERS(N), SH_MODES (N x N, leading dimension N), PSV_WAVENUMBERS(2N),
// PSV_MODES (2N x 2N, leading dimension 2N).

#include "InverseIteration.h"
#include "Matrix.h"
#include "ThinLayerMatrices.h"

namespace kd {

class OutputChannel;

struct HorizontalSoilModel {
    int n = 0;  // sublayers N; the two-component set has 2N positions

    ThinLayerBands bands;

    Vector<Cx> SH_DYN_DIAG, SH_DYN_OFF;    // omega^2 M - G, N entries
    Vector<Cx> PSV_DYN_DIAG, PSV_DYN_OFF;  // G - omega^2 M, 2N positions

    Vector<Cx> SH_WAVENUMBERS;
    Matrix<Cx> SH_MODES;
    Vector<Cx> PSV_WAVENUMBERS;
    Matrix<Cx> PSV_MODES;

    // Scratch of the Newton search (2 A_OFF, pivot reciprocals, the two
    // superdiagonals, phi, interchange flags) and of the inverse iteration.
    Vector<Cx> newtonWork1, newtonWork2, newtonWork3, newtonWork4, newtonWork5;
    Vector<int> newtonWork6;
    InverseIterationWork modeWork;

    // Sizes and clears every array for `sublayers` sublayers.
    void resize(int sublayers);
};

// Once per run, before the frequency loop. SUB_H and SUB_RHO indexed 1..N
// (the shared storage's arrays); SUB_MODULI the driver's moduli (leading
// dimension 40, column 2 G*, column 3 lambda*); harmonic 1.0; R the pile radius.
void LAYER_MATRICES_H(HorizontalSoilModel& soil, const double SUB_H[], const Matrix<Cx>& SUB_MODULI,
                      double harmonic, double R, const double SUB_RHO[]);

// Per frequency, in this order; omega2 = (2 pi f)^2, f in Hz.
void FORM_DYN_SH(HorizontalSoilModel& soil, double omega2);
void NEWTON_WAVENUMBERS_H(HorizontalSoilModel& soil, double f, OutputChannel& runNotes);
void FORM_DYN_PSV(HorizontalSoilModel& soil, double omega2);
// The mode search's status: the report holds its message on failure.
ModeSearchStatus EIGENVECTORS_H(HorizontalSoilModel& soil, OutputChannel& report);

} // namespace kd
