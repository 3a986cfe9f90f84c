#pragma once

// Dynamic stiffness of the soil at the pile-soil interface for horizontal load
// and moment: three components per node, first circumferential harmonic.

#include "Matrix.h"

namespace kd {

class OutputChannel;
struct ThinLayerBands;

// ST := T U^-1 with T the nodal forces of every mode on the interface at
// radius R and U their nodal displacements there; the result is checked for
// symmetry (messages to the run notes) and made symmetric. U ends as the
// inverse of the modal displacement matrix. Order ld = 3n; one-component modes
// (SH_*) take columns 2n+1..3n. ipiv and w are scratch of ld entries.
void SOIL_FLEXIBILITY_H(CMat ST, CMat U, CVec SH_WAVENUMBERS, CVec PSV_WAVENUMBERS, CMat SH_MODES,
                        CMat PSV_MODES, const ThinLayerBands& bands, int n, int n2, int ld, double R, int order,
                        double harmonic, IVec ipiv, CVec w, double frequency, OutputChannel& notes);

} // namespace kd
