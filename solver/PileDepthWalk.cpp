#include "PileDepthWalk.h"

#include "SharedStorage.h"

#include <cmath>

namespace kd {

int pileDepthWalk(const SharedStorage& s, double pileLength)
{
    // 0.001 as a single-precision value, widened.
    constexpr double kSnap = 0.0010000000474974513;
    double depth = 0.0;
    int i = 1;
    for (int tries = kMaxSublayers; tries > 0; --tries) {
        depth += s.subH[i];
        const double rem = pileLength - depth;
        if (std::fabs(rem) < kSnap)
            depth = pileLength;
        if (!(depth < pileLength && 0.5 * s.subH[i] <= rem))
            return i;
        ++i;
    }
    return 0;
}

} // namespace kd
