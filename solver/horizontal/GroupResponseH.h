#pragma once

// Horizontal response of the pile group and of the two-mass superstructure.

#include "Matrix.h"

namespace kd {

// g := unit diagonal with the interaction factors alpha(i, j) off it;
// w(i) := sum of v(j) over j != i in increasing j. alpha's diagonal is unused.
void GROUP_MATRIX(CMat g, CVec w, int n, CMat alpha, CVec v);

struct GroupHeadResponse {
    Cx sum;  // S: sum of all entries of the inverted group matrix
    Cx upp;  // group pile-head motion relative to the base motion
};

// With ginv the inverted group matrix and u the pile-head motions of the
// piles (relative to the base): S = sum of ginv(i, j); UPP = (sum of
// ginv(i, j) u(j)) / S, both summed i outer, j inner.
GroupHeadResponse groupHeadResponse(CMatIn ginv, CVecIn u, int n);

struct SuperstructureResponse {
    Cx ust;  // motion of the top mass
    Cx u0;   // motion of the foundation mass
};

// Two-mass superstructure: the top mass m1 hangs on the spring k (damping
// ratio xi) above the foundation mass m0, which the pile head holds with the
// stiffness kp against the kinematic pile-head motion up.
SuperstructureResponse superstructureResponse(double k, double xi, double m0, double m1, double omega2, Cx kp,
                                              Cx up);

} // namespace kd
