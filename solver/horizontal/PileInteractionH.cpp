#include "PileInteractionH.h"

#include "ModeRadialH.h"
#include "PairKernels.h"

namespace kd {

void PILE_INTERACTION_H(const SplitRows& x, CMat fm, CMat out, CMatIn fs, CVecIn shWavenumbers,
                        CVecIn psvWavenumbers, CMatIn shModes, CMatIn psvModes, double s, double c1, double c2,
                        int m, PairKernelWork& work)
{
    const int n = m / 3;
    // Only the first and third component of every node enter; the second row
    // of each node is neither formed nor read.
    MODE_RADIAL_H(fm, shWavenumbers, psvWavenumbers, shModes, psvModes, s, 1.0, 1, n, 2 * n, false);
    fieldProduct(fm, 1, 3, n, x, work.first, work.path());
    fieldProduct(fm, 3, 3, n, x, work.second, work.path());
    const std::size_t stride = static_cast<std::size_t>(work.first.stride());
    for (int j = 1; j <= n; ++j)
        for (int k = 1; k <= n; ++k) {
            const std::size_t e = static_cast<std::size_t>(k - 1) * stride + static_cast<std::size_t>(j - 1);
            const Cx t1{work.first.re()[e], work.first.im()[e]};
            const Cx t3{work.second.re()[e], work.second.im()[e]};
            out(k, j) = fs(k, j) + c1 * t1 + c2 * t3;
        }
}

} // namespace kd
