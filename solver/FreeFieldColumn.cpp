#include "FreeFieldColumn.h"

#include "ComplexKernels.h"

namespace kd {

void FORM_BAND_SYSTEM(int n, double w2, CVec d, CVec e, CVec l, CVec kd, CVec ko, RVec md, RVec mo, CVec b)
{
    for (int i = 1; i <= n; ++i) {
        d(i) = Cx{kd(i).re - w2 * md(i), kd(i).im};
        e(i) = Cx{ko(i).re - w2 * mo(i), ko(i).im};
        b(i) = Cx{};
    }
    // Load at the deepest node from the unit base motion. With one sublayer the
    // node above does not exist and its coupling counts as zero.
    const Cx koAbove = n >= 2 ? ko(n - 1) : Cx{};
    const double moAbove = n >= 2 ? mo(n - 1) : 0.0;
    const Cx load = koAbove + kd(n);
    b(n) = Cx{load.re + w2 * (0.5 * md(n) - moAbove), load.im};
    CBAND_SOLVE(d, e, l, b, n);
}

} // namespace kd
