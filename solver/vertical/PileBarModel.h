#pragma once

// The pile as a column of axial bar elements for vertical motion, one per
// sublayer from the ground surface down, continued below the tip through the
// remaining sublayers as a bar of soil with the pile's cross-section.

#include "Matrix.h"

namespace kd {

struct SharedStorage;

// Soil stiffness at the pile nodes for vertical motion: out(i, k) =
// 2 pi st(2i, 2k) for i, k = 1..n (the vertical components of the
// two-component soil matrix st).
void AXIAL_EXTRACT_V(CMat st, CMat out, int n);

// Dynamic stiffness EA/L [1 -1; -1 1] - w2 rho A L/6 [2 1; 1 2] of the bar
// column, assembled into the leading (ne+1) x (ne+1) block of k (node 1 at
// the top). h, z and rho are the sublayer thicknesses, complex Young's moduli
// and densities, ap the section areas of the pile elements (all 1-based), w2
// the squared circular frequency. Reads the pile properties, the vertical
// stage's sublayer count along the pile and settings 1 and 3 from the shared
// storage.
void PILE_BAR_MATRICES(const SharedStorage& s, CMat k, int ne, RVec h, CVec z, RVec rho, double w2, RVec ap);

} // namespace kd
