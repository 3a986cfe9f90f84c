#pragma once

// Displacements of the horizontal soil modes at a radius r from a pile axis:
// every mode shape times the radial functions of its wave number at k r.

#include "Matrix.h"

namespace kd {

// out (3 rows per node: components 1, 2, 3 of node i in rows 3i-2, 3i-1, 3i;
// nTwo + dNodes columns, leading dimension out.ld() >= 3 dNodes):
//   columns 1..nTwo, two-component mode j (k = kTwo(j), a, b its components
//   shapesTwo(2i-1, j), shapesTwo(2i, j) at node i):
//     1: D a    2: k A b    3: (p A / r) a
//   columns nTwo+j, one-component mode j (k = kOne(j), a = shapesOne(i, j)):
//     1: (p A / r) a    2: 0    3: D a
// with D, A from BESSEL_TERM_H(D, A, B; k, r, order). r must not be 0.
// secondRows false: rows 3i-1 are left as they are (for callers that never
// read the second component).
void MODE_RADIAL_H(CMat out, CVecIn kOne, CVecIn kTwo, CMatIn shapesOne, CMatIn shapesTwo, double r, double p,
                   int order, int dNodes, int nTwo, bool secondRows = true);

} // namespace kd
