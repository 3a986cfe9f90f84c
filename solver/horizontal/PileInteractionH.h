#pragma once

// Flexibility of a pile standing in the wave field of a loaded neighbour at
// distance s, for the horizontal group analysis.

#include "Matrix.h"

namespace kd {

// x: the neighbour's soil field (m = 3n rows, columns 1..n) as
// REARRANGE_FLEX_H left it; fm: receives the modal field at distance s
// (m x m); out: the result (n x n) = fs + c1 T(3k-2) + c2 T(3k) with T the
// field of column j; fs: the pile's own flexibility block. c1 and c2 are the
// squared direction cosines of the pair. t is scratch of m x n entries.
void PILE_INTERACTION_H(CMat x, CMat fm, CMat out, CMat fs, CVec shWavenumbers, CVec psvWavenumbers,
                        CMat shModes, CMat psvModes, double s, double c1, double c2, int m, CMat t);

} // namespace kd
