#pragma once

// Vertical and rocking stiffness of the pile group by interaction factors.

#include "Matrix.h"

namespace kd {

class WorkerPool;

// Gauss elimination of a complex symmetric matrix on its upper triangle,
// without pivoting; row k keeps its values. With a pool the columns of each
// step are shared among its threads; the result is the same to the bit.
void CSYM_FACTOR(CMat a, int n, WorkerPool* pool = nullptr);
// Solves with the matrix CSYM_FACTOR left; b is replaced by the solution.
void CSYM_SOLVE(CMat a, CVec b, int n);

// t(i, j) := sum over k of g(i, 2k) f(k, j), i = 1..m, j = 1..n: the modal
// amplitudes of the soil's response to a unit vertical load at node j.
void REARRANGE_FLEX_V(CMat t, CMat g, CMat f, int n, int m);

// Flexibility of a pile in the field of a loaded neighbour at distance s:
// g receives the modal field at s; out(k, j) := (g t(:, j))(2k) + f(k, j).
// u is scratch of m x n entries.
void PILE_INTERACTION_V(CMat t, CMat g, CMat f, CMat out, CVec wavenumbers, CMat modes, double s, int n, int m,
                        CMat u);

} // namespace kd
