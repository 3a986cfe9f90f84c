#include "PileInteractionH.h"

#include "ModeRadialH.h"

namespace kd {

void PILE_INTERACTION_H(CMat x, CMat fm, CMat out, CMat fs, CVec shWavenumbers, CVec psvWavenumbers,
                        CMat shModes, CMat psvModes, double s, double c1, double c2, int m, CVec t)
{
    const int n = m / 3;
    MODE_RADIAL_H(fm, shWavenumbers, psvWavenumbers, shModes, psvModes, s, 1.0, 1, n, 2 * n);
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= m; ++i) {
            Cx sum{};
            for (int k = 1; k <= m; ++k)
                sum = sum + fm(i, k) * x(k, j);
            t(i) = sum;
        }
        // The second component of every node does not enter.
        for (int k = 1; k <= n; ++k)
            out(k, j) = fs(k, j) + c1 * t(3 * k - 2) + c2 * t(3 * k);
    }
}

} // namespace kd
