#include "ModeRadialV.h"

#include "HankelV.h"

namespace kd {

void MODE_RADIAL_V(CMat out, CVecIn k, CMatIn shapes, double r, int dNodes, int n, bool oddRows)
{
    for (int j = 1; j <= n; ++j) {
        const Cx kj = k(j);
        Cx d{0.0, 0.0};
        Cx e = kj;
        if (r != 0.0) {
            Cx a;
            Cx b;
            BESSEL_TERM_V(d, a, b, kj, r);
            e = a * kj;
        }
        for (int i = 1; i <= dNodes; ++i) {
            if (oddRows)
                out(2 * i - 1, j) = d * shapes(2 * i - 1, j);
            out(2 * i, j) = e * shapes(2 * i, j);
        }
    }
}

} // namespace kd
