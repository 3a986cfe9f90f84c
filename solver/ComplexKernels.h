#pragma once

// Dense complex matrix kernels shared by both analyses. Every routine works in
// place on storage its caller supplies and allocates nothing. Matrices are
// column-major, indexed from 1; the leading dimension is the view's (the
// callers pass N, LDA, 80, 120 or 2500 as their storage has it). Sums of
// products run in increasing order of their index from 0 + 0i; division is
// the scaled complex division of Complex.h. No routine tests its pivots: a
// zero pivot gives non-finite results, never a crash.

#include "Matrix.h"
#include "PairKernels.h"

namespace kd {

class WorkerPool;

// In-place inverse of a general n x n matrix by Gauss-Jordan exchange steps
// with full pivoting on |Re| + |Im| (ties: the last candidate of the
// row-by-row scan). ipiv(n) and w(n) are scratch. n < 1 returns at once.
// A matrix with a non-finite element comes back as all NaN.
void CMATINV_PIVOT_H(CMat a, int n, IVec ipiv, CVec w);

// The vertical analysis calls the same operation under its own name.
inline void CMATINV_PIVOT_V(CMat a, int n, IVec ipiv, CVec w) { CMATINV_PIVOT_H(a, n, ipiv, w); }

// Pivot search of CMATINV_PIVOT_H over the rows and columns still free
// (ipiv(i) <= 0). A NaN candidate wins over every number (the last NaN of the
// scan among several), so the pivot is always a free pair and non-finite
// input gives non-finite output. Exposed for the tests.
void fullPivotSearch(CMatIn a, int n, IVec ipiv, int& row, int& col);

// mode == 1: a := a b, row by row of a through w. Otherwise b := a b, column
// by column of b through w. The other operand is only read.
void CMATMUL_INPLACE(CMat a, CMat b, CVec w, int n, int mode);

// Complex symmetric tridiagonal solve: diagonal d(n), off-diagonal e(n-1) at
// (i, i+1) and (i+1, i). On return b holds the solution, d the pivots and
// l(i) = e(i) / d(i) the multipliers.
void CBAND_SOLVE(CVec d, CVec e, CVec l, CVec b, int n);

// In-place inverse of a complex symmetric n x n matrix without pivoting,
// leading dimension a.ld(). The upper triangle of the result is a copy of the
// lower one. With a pool the columns of each step are shared among its
// threads; the result is the same to the bit, as it is on every kernel path.
void CMATINV(CMat a, int n, WorkerPool* pool = nullptr, KernelPath path = KernelPath::Portable);

// Solves a x = b for the 2n x 2n symmetric pile-soil matrix a (upper triangle
// used, destroyed), n right sides; column c of b must be zero above row c.
// b(1..2n, 1..n) receives x. The callers' storage has leading dimensions 80
// (a) and 120 (b).
void CGAUSS_2N(CMat a, CMat b, int n);

// Condenses the 2n x 2n system p (lower triangle, leading dimension 2500 in
// the caller's storage) onto its first n variables, writes the symmetric
// result into c (leading dimension 80) and splits off variable n into v1, v2.
void CBACKSUB_BLOCKS(CMat p, CMat c, CVec v1, CVec v2, int n);

} // namespace kd
