#pragma once

// Displacements of the vertical soil modes at a radius r from a pile axis.

#include "Matrix.h"

namespace kd {

// For each mode j = 1..n (wave number k = k(j)) and node i = 1..dNodes:
//   out(2i-1, j) = D shapes(2i-1, j),  D = -k H1(k r)
//   out(2i,   j) = E shapes(2i, j),    E = k H0(k r)
// with Hankel functions of the second kind. On the axis (r exactly 0) the
// functions are not evaluated: D = 0 and E = k. oddRows false: rows 2i-1 are
// left as they are (for callers that read only the vertical rows).
void MODE_RADIAL_V(CMat out, CVecIn k, CMatIn shapes, double r, int dNodes, int n, bool oddRows = true);

} // namespace kd
