#pragma once

// Free-field response of the soil column to a unit motion of its fixed base,
// from the one-component thin-layer bands.

#include "Matrix.h"

namespace kd {

// kd, ko: complex diagonal and off-diagonal stiffness; md, mo: real mass bands;
// w2 the squared circular frequency. d, e, l, b receive the tridiagonal system,
// its factors and, in b, the response of nodes 1..n (b(1): the surface).
void FORM_BAND_SYSTEM(int n, double w2, CVec d, CVec e, CVec l, CVec kd, CVec ko, RVec md, RVec mo, CVec b);

} // namespace kd
