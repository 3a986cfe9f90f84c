#pragma once

// Modes of the two-component thin-layer model, (k^2 A + k B + D) phi = 0 with
// D = G - omega^2 M, by inverse iteration with a shift updated at every step.
// The M = 2N modes are found one after another; each start vector is cleared
// of the mode just found and of its mirror (-k, even positions negated), and
// each new mode is checked for orthogonality against those before it. Both
// analyses run the same core with their own limits.
//
// Q(s) = s^2 A + s B + D is complex symmetric with couplings p..p+3 and is
// eliminated without interchanges. Every band element the elimination updates
// that comes out below the guard in both parts is replaced by
// (guardValue, guardValue), so no pivot is ever exactly zero: without it an
// undamped profile can land the shift exactly on a root.

#include "Matrix.h"

#include <string>

namespace kd {

class OutputChannel;

struct InverseIterationLimits {
    double converged;   // relative shift correction that confirms convergence (near flag set)
    double near;        // relative shift correction that sets the near flag
    double classify;    // part ratio below which a wave number counts as real or imaginary
    double orthogonal;  // orthogonality residual at which the search gives up
    double guard;       // updated band elements below this in both parts...
    double guardValue;  // ...become (guardValue, guardValue)
};

// Horizontal analysis: single-precision values widened to double, as used.
inline constexpr InverseIterationLimits kHorizontalModeLimits{
    1.000000013351432e-10, 9.999999747378752e-06, 1.000000013351432e-10, 9.999999747378752e-06,
    1e-16, 1.0000000168623835e-16};
// Vertical analysis: double values.
inline constexpr InverseIterationLimits kVerticalModeLimits{1e-10, 1e-5, 1e-10, 1e-5, 1e-16,
                                                            1.0000000168623835e-16};

enum class ModeSearchStatus { Found, NotConverged, NotOrthogonal };

inline const std::string kModesNotConverged = "1 FAILURE TO CONVERGE IN 100 ITERATION STEPS";
inline const std::string kModesNotOrthogonal =
    "1 FAILURE TO FIND THE EIGENVECTOR ORTHOGONAL TO THE ONES FOUND BEFORE";

// Scratch of one mode search for m = 2N positions (lent by the run's storage).
struct InverseIterationWork {
    Matrix<Cx> band;           // m x 4 upper band of Q(s)
    Vector<Cx> v, x, dv, ax;   // iteration vectors and their products D v, A x
    Vector<Cx> spare;          // handed over, never touched
    Vector<Cx> sumk, sum1;     // sums of phi/k and phi over the modes found
    Vector<Cx> start1, start2; // start vectors of the next mode
    Vector<int> rowLimit;      // linear index of the last stored element of each row
    void resize(int m);
};

// The core. On failure the message goes to `report`, the routine returns at
// once and the outputs keep what they hold (modes not yet found keep their
// previous contents, the final sign pass is not applied). The status says
// which of the report's messages was written; the analyses go on regardless.
ModeSearchStatus inverseIterationModes(const InverseIterationLimits& limits, CVec PSV_A_DIAG,
                                       CVec PSV_A_OFF, CVec PSV_B_BAND1, CVec PSV_B_BAND3,
                                       CVec PSV_DYN_DIAG, CVec PSV_DYN_OFF, CVec PSV_WAVENUMBERS,
                                       CMat PSV_MODES, CMat band, CVec v, CVec x, CVec dv, CVec ax,
                                       CVec spare, CVec sumk, CVec sum1, CVec start1, CVec start2,
                                       IVec rowLimit, int m, OutputChannel& report);

// Horizontal analysis: PSV_WAVENUMBERS(m) and PSV_MODES (m x m, leading
// dimension m = 2N); every wave number has Im k <= 0 on success.
ModeSearchStatus EIGENVECTORS_H(CVec PSV_A_DIAG, CVec PSV_A_OFF, CVec PSV_B_BAND1, CVec PSV_B_BAND3, CVec PSV_DYN_DIAG,
                    CVec PSV_DYN_OFF, CVec PSV_WAVENUMBERS, CMat PSV_MODES, CMat band, CVec v, CVec x,
                    CVec dv, CVec ax, CVec spare, CVec sumk, CVec sum1, CVec start1, CVec start2,
                              IVec rowLimit, int m, OutputChannel& report);

// Vertical analysis: the same search with the vertical limits.
ModeSearchStatus EIGENVECTORS_V(CVec PSV_A_DIAG, CVec PSV_A_OFF, CVec PSV_B_BAND1, CVec PSV_B_BAND3, CVec PSV_DYN_DIAG,
                    CVec PSV_DYN_OFF, CVec PSV_WAVENUMBERS, CMat PSV_MODES, CMat band, CVec v, CVec x,
                    CVec dv, CVec ax, CVec spare, CVec sumk, CVec sum1, CVec start1, CVec start2,
                    IVec rowLimit, int m, OutputChannel& report);

// Convenience forms over the scratch struct.
ModeSearchStatus inverseIterationModes(const InverseIterationLimits& limits, CVec PSV_A_DIAG,
                                       CVec PSV_A_OFF, CVec PSV_B_BAND1, CVec PSV_B_BAND3,
                                       CVec PSV_DYN_DIAG, CVec PSV_DYN_OFF, CVec PSV_WAVENUMBERS,
                                       CMat PSV_MODES, InverseIterationWork& work, int m,
                                       OutputChannel& report);

} // namespace kd
