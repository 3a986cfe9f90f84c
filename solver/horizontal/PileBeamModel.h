#pragma once

// The pile as a column of beam elements for horizontal motion, one per
// sublayer from the ground surface down, continued below the tip through the
// remaining sublayers as a column of soil of the pile's radius.

#include "Matrix.h"

namespace kd {

struct SharedStorage;

// Dynamic stiffness K - w2 M of the beam column (Timoshenko elements with half
// the section as shear area, consistent mass). ne sublayer elements; nn gets
// the node count n. Variables 1..n are the lateral displacements of nodes
// 1..n (node 1 at the top), n+1..2n their rotations. h, z and rho are the
// sublayer thicknesses, complex Young's moduli and densities (1-based), w2
// the squared circular frequency. The leading 2n x 2n block of k is written:
// symmetric, with the rotation of node 1 (and of node n when setting 4 > 0)
// restrained by a unit diagonal. Reads the pile properties, the element
// arrays, NSEG and the four pile-model settings from the shared storage.
// Throws std::invalid_argument when the elements do not fit the element slots.
void PILE_BEAM_MATRICES(const SharedStorage& s, int ne, int& nn, RVec h, double w2, CMat k, CVec z, RVec rho);

// Soil stiffness per node in pile coordinates: a (3 components per node,
// order 3n) turned into c (order 2n: variables 1..n lateral, n+1..2n
// rotational) by integrating the interface tractions around the perimeter of
// radius r. When s1 <= 0 the head rotation (variable n+1) is restrained.
void FILL_NODE_MATRIX_H(CMat a, CMat c, int n, double r, double s1);

} // namespace kd
