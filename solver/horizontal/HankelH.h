#pragma once

// Hankel functions of the second kind, H = J - iY, of orders 0 and 1 and a
// complex argument, as the horizontal analysis uses them for the radial
// dependence of its soil modes. Arguments lie in the closed lower half-plane
// (decaying modes) or on the positive real axis; the asymptotic branch is an
// expansion of H^(2), valid for -pi < arg z < pi.

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
