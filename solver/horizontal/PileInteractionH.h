#pragma once

// Flexibility of a pile standing in the wave field of a loaded neighbour at
// distance s, for the horizontal group analysis.

#include "Matrix.h"

namespace kd {

class PairKernelWork;
class SplitRows;

// x: the neighbour's soil field (m = 3n rows, columns 1..n) as
// REARRANGE_FLEX_H left it, as split rows (read-only, shared by the pair
// runs); fm: receives the modal field at distance s (m x m); out: the result
// (n x n) = fs + c1 T(3k-2) + c2 T(3k) with T = fm x (each element a sum over
// the m columns of fm in increasing order from 0); fs: the pile's own
// flexibility block. c1 and c2 are the squared direction cosines of the pair.
// work: the thread's work areas (holds the rows of T).
void PILE_INTERACTION_H(const SplitRows& x, CMat fm, CMat out, CMatIn fs, CVecIn shWavenumbers,
                        CVecIn psvWavenumbers, CMatIn shModes, CMatIn psvModes, double s, double c1, double c2,
                        int m, PairKernelWork& work);

} // namespace kd
