#pragma once

// Thin-layer stiffness combined with the mass at one circular frequency.
// The two forms have opposite signs on purpose; each consumer is written for
// its own: FORM_DYN_SH gives omega^2 M - G, FORM_DYN_PSV gives G - omega^2 M.
// omega2 is omega^2 (omega = 2 pi f squared by the caller). The imaginary
// part comes from the stiffness alone since the mass is real. n < 1 leaves
// the outputs untouched.

#include "Matrix.h"

namespace kd {

// Entries 1..n of SH_DYN_DIAG and SH_DYN_OFF.
void FORM_DYN_SH(int n, double omega2, CVec SH_DYN_DIAG, CVec SH_DYN_OFF, CVec SH_G_DIAG, CVec SH_G_OFF,
                 RVec SH_M_DIAG, RVec SH_M_OFF);

// n is the number of nodes; positions 1..2n of PSV_DYN_DIAG and PSV_DYN_OFF.
// The vertical analysis calls it on its own bands.
void FORM_DYN_PSV(int n, double omega2, CVec PSV_DYN_DIAG, CVec PSV_DYN_OFF, CVec PSV_G_DIAG,
                  CVec PSV_G_OFF, RVec PSV_M_DIAG, RVec PSV_M_OFF);

} // namespace kd
