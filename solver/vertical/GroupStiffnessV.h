#pragma once

// Vertical and rocking stiffness of the pile group by interaction factors.

#include "Matrix.h"
#include "PairKernels.h"

namespace kd {

class PairKernelWork;
class SplitRows;
class WorkerPool;

// Gauss elimination of a complex symmetric matrix on its upper triangle,
// without pivoting; row k keeps its values. With a pool the columns of each
// step are shared among its threads; the result is the same to the bit, as it
// is on every kernel path.
void CSYM_FACTOR(CMat a, int n, WorkerPool* pool = nullptr, KernelPath path = KernelPath::Portable);
// Solves with the matrix CSYM_FACTOR left; b is replaced by the solution.
void CSYM_SOLVE(CMatIn a, CVec b, int n);

// t(i, j) := sum over k of g(i, 2k) f(k, j), i = 1..m, j = 1..n: the modal
// amplitudes of the soil's response to a unit vertical load at node j.
void REARRANGE_FLEX_V(CMat t, CMatIn g, CMatIn f, int n, int m);

// Flexibility of a pile in the field of a loaded neighbour at distance s:
// g receives the modal field at s; out(k, j) := (g t(:, j))(2k) + f(k, j),
// each element of g t a sum over the m columns of g in increasing order from
// 0. t: the modal amplitudes REARRANGE_FLEX_V left (m x n) as split rows
// (read-only, shared by the pair runs); work: the thread's work areas.
void PILE_INTERACTION_V(const SplitRows& t, CMat g, CMatIn f, CMat out, CVecIn wavenumbers, CMatIn modes,
                        double s, int n, int m, PairKernelWork& work);

} // namespace kd
