#include "DynamicLayerMatrices.h"

namespace kd {

void FORM_DYN_SH(int n, double omega2, CVec SH_DYN_DIAG, CVec SH_DYN_OFF, CVec SH_G_DIAG, CVec SH_G_OFF,
                 RVec SH_M_DIAG, RVec SH_M_OFF)
{
    for (int i = 1; i <= n; ++i) {
        SH_DYN_DIAG(i) = Cx{omega2 * SH_M_DIAG(i) - SH_G_DIAG(i).re, -SH_G_DIAG(i).im};
        SH_DYN_OFF(i) = Cx{omega2 * SH_M_OFF(i) - SH_G_OFF(i).re, -SH_G_OFF(i).im};
    }
}

void FORM_DYN_PSV(int n, double omega2, CVec PSV_DYN_DIAG, CVec PSV_DYN_OFF, CVec PSV_G_DIAG,
                  CVec PSV_G_OFF, RVec PSV_M_DIAG, RVec PSV_M_OFF)
{
    for (int p = 1; p <= 2 * n; ++p) {
        PSV_DYN_DIAG(p) = Cx{PSV_G_DIAG(p).re - omega2 * PSV_M_DIAG(p), PSV_G_DIAG(p).im};
        PSV_DYN_OFF(p) = Cx{PSV_G_OFF(p).re - omega2 * PSV_M_OFF(p), PSV_G_OFF(p).im};
    }
}

} // namespace kd
