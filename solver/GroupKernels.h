#pragma once

// Vector forms of the column operations of the group-matrix kernels (CMATINV
// of ComplexKernels.h, CSYM_FACTOR of the vertical analysis). The columns are
// interleaved complex values of unit stride, so two neighbouring elements go
// through one AVX2 register. Each element receives the same double operations
// in the same order as in the scalar loops (products as in Complex.h, separate
// multiply and add), so the results are the same to the bit on every path.

#include "Complex.h"
#include "PairKernels.h"

namespace kd {

// c[i] := c[i] - q[i] a, i = 0..count-1.
void subtractMultiple(Cx* c, const Cx* q, Cx a, int count, KernelPath path);

// The backward step of CMATINV for the columns c[0..count-1] (1-based row
// pointers) and rows h = last down to first, whose right parts
// rows + (h - first) * stride hold a(h, k), k = h+1..n:
// c[j][h] := c[j][h] - sum over k = h+1..n of a(h, k) c[j][k], each sum from
// 0 + 0i in increasing k. Every column must take all rows first..last.
void backwardRows(Cx* const* c, int count, const Cx* rows, std::size_t stride, int first, int last, int n,
                  KernelPath path);

} // namespace kd
