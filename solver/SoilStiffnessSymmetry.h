#pragma once

// Symmetry check of a soil stiffness matrix formed as modal forces times the
// inverse of the modal displacements: each pair of mirror entries whose
// difference exceeds `tolerance` times the largest modulus of its row is
// reported to the run notes, and every pair is replaced by its mean.

#include "Matrix.h"

namespace kd {

class OutputChannel;

// heading: " HORIZONTAL STIFNESS,  FREQUENCY= " or " VERTICAL STIFNESS,  FREQUENCY= ".
void symmetrizeSoilStiffness(CMat st, int n, double tolerance, const char* heading, double frequency,
                             OutputChannel& notes);

} // namespace kd
