#pragma once

#include <cfloat>

// The front end holds and computes its numbers in the x87 80-bit format.
// Every constant of that type carries the L suffix so that it is not
// first rounded to double precision.
using Extended = long double;

static_assert(LDBL_MANT_DIG == 64, "Extended must be the 80-bit extended-precision format");
