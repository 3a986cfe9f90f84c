#include "PileDepthWalk.h"

#include "SharedStorage.h"

#include <cmath>

namespace kd {

int pileDepthWalk(const SharedStorage& s, double pileLength)
{
    // 0.001 as a single-precision value, widened.
    constexpr double kSnap = 0.0010000000474974513;
    // A tip at the middle of a sublayer goes on to the next one, as it would
    // in exact arithmetic. The project file carries 8 significant digits and
    // a change of units rounds every length again, so a tie arrives off by a
    // few parts in 1e8 of the depth; this margin, relative to the sublayer's
    // thickness, covers a tip a thousand sublayer thicknesses deep.
    constexpr double kTie = 1e-5;
    double depth = 0.0;
    int i = 1;
    for (int tries = kMaxSublayers; tries > 0; --tries) {
        depth += s.subH[i];
        const double rem = pileLength - depth;
        if (std::fabs(rem) < kSnap)
            depth = pileLength;
        if (!(depth < pileLength && 0.5 * s.subH[i] - kTie * s.subH[i] <= rem))
            return i;
        ++i;
    }
    return 0;
}

} // namespace kd
