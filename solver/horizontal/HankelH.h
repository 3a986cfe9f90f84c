#pragma once

// Hankel functions of the second kind, H = J - iY, of orders 0 and 1 and a
// complex argument, as the horizontal analysis uses them for the radial
// dependence of its soil modes, whose arguments lie in the lower half-plane
// (decaying modes). Beyond |z| = 10 the expansion of H^(2) is used as it is:
// accurate up to arg z of about 2, it degrades towards the negative real axis
// from above (about 1e-5 at arg 2.5, 10% at arg 3 for |z| just over 10).

#include "Complex.h"

namespace kd {

// H0(z) and H1(z) of the second kind. |z| <= 10 takes the ascending series,
// |z| > 10 Hankel's asymptotic expansion. z must not be 0; a z that is not
// finite gives NaN in both results.
void CBESSEL_H(const Cx& z, Cx& h0, Cx& h1);

// The radial function of order 1 (order > 0) or 0 (order <= 0) at k r, with
// its companion and its derivative with respect to r (r != 0):
//   order 1:  a = H1(kr), b = H0(kr),  d = k H0(kr) - H1(kr)/r
//   order 0:  a = H0(kr), b = -H1(kr), d = -k H1(kr)
void BESSEL_TERM_H(Cx& d, Cx& a, Cx& b, const Cx& k, double r, int order);

} // namespace kd
