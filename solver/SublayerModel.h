#pragma once

// Expansion of the main soil layers into sublayers, as the horizontal analysis
// derives them, and the pile element arrays.

#include "Complex.h"
#include "Matrix.h"

namespace kd {

struct ProjectInput;
struct SharedStorage;

// Per-sublayer complex moduli with hysteretic damping X (1 + 2i beta):
// column 1 Young's modulus, column 2 shear modulus, column 3 Lame constant.
constexpr int kHorizontalModuliLd = 40;

// Fills the sublayer arrays, the units flag, the pile properties, the fixed
// pile-model settings and the element arrays of the shared storage, and the
// complex moduli (leading dimension 40).
void fillHorizontalStorage(SharedStorage& storage, Matrix<Cx>& moduli, const ProjectInput& input);

// Shear modulus G = Vs rho Vs and Lame constant G 2 nu / (1 - 2 nu), in the
// order of operations of the horizontal reading.
double shearModulusH(double vs, double rho);
double lameConstantH(double g, double nu);

} // namespace kd
