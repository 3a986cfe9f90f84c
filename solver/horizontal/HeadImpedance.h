#pragma once

// Reduction of the pile-soil model to the pile head.

#include "Matrix.h"

namespace kd {

class PairKernelWork;

// Horizontal head impedance kh and head displacement up under the unit base
// motion. w: work matrix (order n or n+1); kc: the condensed pile matrix;
// f: the head flexibility block (n x n); v: the load vector of the unit base
// displacement (changed in place: each call needs a fresh copy); u: the
// free-field displacements; s1: the first pile-model setting; n: soil nodes.
void HEAD_IMPEDANCE(CMat w, CMatIn kc, CMatIn f, CVec v, CVecIn u, double s1, int n, Cx& up, Cx& kh);
// The same for the pair runs: the inversions use the thread's work area.
void HEAD_IMPEDANCE(CMat w, CMatIn kc, CMatIn f, CVec v, CVecIn u, double s1, int n, Cx& up, Cx& kh,
                    PairKernelWork& work);

// Keeps the leading n x n block of the soil solution x in fs, then replaces
// column j of x (rows 1..m) by g t, where t holds per node k the three
// components (x(k, j), r x(n+k, j), x(k, j)). g is the m x m three-component
// matrix (m = 3n).
void REARRANGE_FLEX_H(CMat fs, CMatIn g, CMat x, double r, int n, int m);

} // namespace kd
