#pragma once

// Soil columns for the soil-model tests: sublayers with thickness, density
// and hysteretic moduli G (1 + 2i beta), lambda (1 + 2i beta), stored the way
// the run driver holds them (arrays indexed from 1, moduli with 40 rows).

#include "HorizontalSoilModel.h"

namespace kd::test {

struct SoilColumn {
    int n = 0;
    double h[51]{};
    double rho[51]{};
    Matrix<Cx> moduli{40, 3};

    // G from the shear-wave velocity, lambda from Poisson's ratio.
    void add(int count, double thickness, double density, double vs, double nu, double beta)
    {
        const double g = density * vs * vs;
        const double lambda = 2.0 * nu * g / (1.0 - 2.0 * nu);
        for (int k = 0; k < count; ++k) {
            ++n;
            h[n] = thickness / count;
            rho[n] = density;
            moduli(n, 1) = Cx{2.0 * g * (1.0 + nu), 4.0 * beta * g * (1.0 + nu)};
            moduli(n, 2) = Cx{g, 2.0 * beta * g};
            moduli(n, 3) = Cx{lambda, 2.0 * beta * lambda};
        }
    }

    // The model with its frequency-independent matrices formed.
    HorizontalSoilModel model(double radius = 0.5) const
    {
        HorizontalSoilModel soil;
        soil.resize(n);
        LAYER_MATRICES_H(soil, h, moduli, 1.0, radius, rho);
        return soil;
    }
};

} // namespace kd::test
