#include "HorizontalSoilModel.h"

#include "DynamicLayerMatrices.h"
#include "NewtonWavenumbers.h"

namespace kd {

void HorizontalSoilModel::resize(int sublayers)
{
    n = sublayers;
    const int m = 2 * sublayers;
    bands.resize(sublayers);
    SH_DYN_DIAG.assign(n);
    SH_DYN_OFF.assign(n);
    PSV_DYN_DIAG.assign(m);
    PSV_DYN_OFF.assign(m);
    SH_WAVENUMBERS.assign(n);
    SH_MODES.resize(n, n);
    PSV_WAVENUMBERS.assign(m);
    PSV_MODES.resize(m, m);
    for (Vector<Cx>* v : {&newtonWork1, &newtonWork2, &newtonWork3, &newtonWork4, &newtonWork5})
        v->assign(n);
    newtonWork6.assign(n);
    modeWork.resize(m);
}

void LAYER_MATRICES_H(HorizontalSoilModel& soil, const double SUB_H[], const Matrix<Cx>& SUB_MODULI,
                      double harmonic, double R, const double SUB_RHO[])
{
    LAYER_MATRICES_H(soil.bands, SUB_H, SUB_MODULI, soil.n, 2 * soil.n, harmonic, R, SUB_RHO);
}

void FORM_DYN_SH(HorizontalSoilModel& soil, double omega2)
{
    ThinLayerBands& b = soil.bands;
    FORM_DYN_SH(soil.n, omega2, soil.SH_DYN_DIAG, soil.SH_DYN_OFF, b.SH_G_DIAG, b.SH_G_OFF, b.SH_M_DIAG,
                b.SH_M_OFF);
}

void NEWTON_WAVENUMBERS_H(HorizontalSoilModel& soil, double f, OutputChannel& runNotes)
{
    ThinLayerBands& b = soil.bands;
    NEWTON_WAVENUMBERS_H(soil.SH_DYN_DIAG, soil.SH_DYN_OFF, b.SH_A_DIAG, b.SH_A_OFF, soil.SH_WAVENUMBERS,
                         soil.SH_MODES, soil.newtonWork1, soil.newtonWork2, soil.newtonWork3,
                         soil.newtonWork4, soil.newtonWork5, soil.newtonWork6, soil.n, f, runNotes);
}

void FORM_DYN_PSV(HorizontalSoilModel& soil, double omega2)
{
    ThinLayerBands& b = soil.bands;
    FORM_DYN_PSV(soil.n, omega2, soil.PSV_DYN_DIAG, soil.PSV_DYN_OFF, b.PSV_G_DIAG, b.PSV_G_OFF,
                 b.PSV_M_DIAG, b.PSV_M_OFF);
}

ModeSearchStatus EIGENVECTORS_H(HorizontalSoilModel& soil, OutputChannel& report)
{
    ThinLayerBands& b = soil.bands;
    return inverseIterationModes(kHorizontalModeLimits, b.PSV_A_DIAG, b.PSV_A_OFF, b.PSV_B_BAND1, b.PSV_B_BAND3,
                                 soil.PSV_DYN_DIAG, soil.PSV_DYN_OFF, soil.PSV_WAVENUMBERS, soil.PSV_MODES,
                                 soil.modeWork, 2 * soil.n, report);
}

} // namespace kd
