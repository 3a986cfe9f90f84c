#pragma once

// Dynamic stiffness of the soil at the pile-soil interface for vertical
// motion: two components per node (radial, vertical).

#include "Matrix.h"

namespace kd {

class OutputChannel;
struct ThinLayerBands;

// T: the nodal forces of every mode on the interface at radius R; U: the
// modes' nodal displacements there. n2 = 2n modes and degrees of freedom.
void SOIL_FLEXIBILITY_V(CMat T, CMat U, CVec PSV_WAVENUMBERS, CMat PSV_MODES, const ThinLayerBands& bands,
                        int n, int n2, double R);

// ST := T U^-1, checked for symmetry (messages to the run notes) and made
// symmetric; U ends as its own inverse. ipiv, w: scratch of n2 entries.
void SOIL_STIFFNESS_V(CMat ST, CMat U, IVec ipiv, CVec w, int n2, double frequency, OutputChannel& notes);

} // namespace kd
