#pragma once

// Wave numbers and mode shapes of the one-component (out-of-plane) thin-layer
// model at one frequency: the n roots x = k^2 of det(D - x A) = 0, D = omega^2
// M - G, by Newton's method on the tridiagonal determinant with implicit
// deflation of the roots already found, each mode by inverse iteration.

#include "Matrix.h"

namespace kd {

class OutputChannel;

// SH_WAVENUMBERS(j): wave number of the j-th root found, Im k <= 0 (Re k >= 0
// when Im k = 0). SH_MODES (leading dimension n): column j = mode j scaled so
// that phi^T A phi = 1 (bilinear). work1..work5 are complex scratch of n
// entries, work6 integer scratch of n. f (Hz) appears only in the failure
// message; after a failure the roots found so far stay as k^2 and the rest of
// the outputs keep what they held.
void NEWTON_WAVENUMBERS_H(CVec SH_DYN_DIAG, CVec SH_DYN_OFF, CVec SH_A_DIAG, CVec SH_A_OFF,
                          CVec SH_WAVENUMBERS, CMat SH_MODES, CVec work1, CVec work2, CVec work3,
                          CVec work4, CVec work5, IVec work6, int n, double f, OutputChannel& runNotes);

} // namespace kd
