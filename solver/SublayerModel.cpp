#include "SublayerModel.h"

#include "ProjectInput.h"
#include "SharedStorage.h"

namespace kd {

double shearModulusH(double vs, double rho) { return vs * rho * vs; }
double lameConstantH(double g, double nu) { return g * 2.0 * nu / (1.0 - 2.0 * nu); }

void fillHorizontalStorage(SharedStorage& s, Matrix<Cx>& moduli, const ProjectInput& in)
{
    moduli.resize(kHorizontalModuliLd, 3);
    s.iunits = in.iunits;
    int k = 0;
    for (const auto& layer : in.layers) {
        for (int m = 0; m < layer.nsub; ++m) {
            ++k;
            const double g = shearModulusH(layer.vs, layer.rho);
            const double e = (layer.nu + 1.0) * g * 2.0;
            const double lambda = lameConstantH(g, layer.nu);
            s.subH[k] = layer.height / layer.nsub;
            s.subVs[k] = layer.vs;
            s.subRho[k] = layer.rho;
            s.subNu[k] = layer.nu;
            s.subEs[k] = e;
            const double twoBeta = 2.0 * layer.beta;
            moduli(k, 1) = Cx{e, e * twoBeta};
            moduli(k, 2) = Cx{g, g * twoBeta};
            moduli(k, 3) = Cx{lambda, lambda * twoBeta};
        }
    }
    s.ep = in.ep;
    s.r = in.r;
    s.roup = in.roup;
    s.dampp = in.dampp;
    s.setPileModelSettings();
    s.nel = k;
    for (int i = 1; i <= s.nel; ++i) {
        s.elemAp[i] = in.ap;
        s.elemIp[i] = in.ip;
        s.elemPoissonp[i] = in.poissonp;
    }
}

} // namespace kd
