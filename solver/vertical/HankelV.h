#pragma once

// Hankel functions of orders 0 and 1 and a complex argument for the vertical
// analysis: second kind H = J - iY, or first kind H = J + iY on request. The
// whole cut plane is covered: ascending series for |z| <= 10, asymptotic
// expansion beyond, continued through -z where the expansion of the requested
// kind does not hold (argument angle >= 1.57 in the frame of that kind).

#include "Complex.h"

namespace kd {

// H0(z) and H1(z); kind 1 gives the first kind, any other value the second.
// z must not be 0; a z that is not finite gives NaN in both results.
void CBESSEL_V(const Cx& z, Cx& h0, Cx& h1, int kind);

// The order-0 function of the second kind at k r, its companion and its
// derivative with respect to r: a = H0(kr), b = -H1(kr), d = -k H1(kr).
void BESSEL_TERM_V(Cx& d, Cx& a, Cx& b, const Cx& k, double r);

} // namespace kd
