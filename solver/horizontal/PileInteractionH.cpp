#include "PileInteractionH.h"

#include "ModeRadialH.h"

namespace kd {

void PILE_INTERACTION_H(CMat x, CMat fm, CMat out, CMat fs, CVec shWavenumbers, CVec psvWavenumbers,
                        CMat shModes, CMat psvModes, double s, double c1, double c2, int m, CMat t)
{
    const int n = m / 3;
    MODE_RADIAL_H(fm, shWavenumbers, psvWavenumbers, shModes, psvModes, s, 1.0, 1, n, 2 * n);
    // t(:, j) = fm x(:, j) for the first and third component of every node
    // (the second does not enter). Each element sums over k in increasing
    // order from 0; the loops follow the column storage of fm and t.
    for (int j = 1; j <= n; ++j)
        for (int k = 1; k <= n; ++k) {
            t(3 * k - 2, j) = Cx{};
            t(3 * k, j) = Cx{};
        }
    for (int k = 1; k <= m; ++k) {
        const Cx* f = fm.col(k).data() - 1;
        for (int j = 1; j <= n; ++j) {
            const Cx xkj = x(k, j);
            Cx* tj = t.col(j).data() - 1;
            for (int node = 1; node <= n; ++node) {
                tj[3 * node - 2] += f[3 * node - 2] * xkj;
                tj[3 * node] += f[3 * node] * xkj;
            }
        }
    }
    for (int j = 1; j <= n; ++j)
        for (int k = 1; k <= n; ++k)
            out(k, j) = fs(k, j) + c1 * t(3 * k - 2, j) + c2 * t(3 * k, j);
}

} // namespace kd
