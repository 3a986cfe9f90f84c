#include "ModeRadialH.h"

#include "HankelH.h"

namespace kd {

void MODE_RADIAL_H(CMat out, CVecIn kOne, CVecIn kTwo, CMatIn shapesOne, CMatIn shapesTwo, double r, double p,
                   int order, int dNodes, int nTwo, bool secondRows)
{
    for (int j = 1; j <= nTwo; ++j) {
        const Cx k = kTwo(j);
        Cx d;
        Cx a;
        Cx b;
        BESSEL_TERM_H(d, a, b, k, r, order);
        const Cx u = divReal(p * a, r);
        a = a * k;
        for (int i = 1; i <= dNodes; ++i) {
            const Cx first = shapesTwo(2 * i - 1, j);
            const Cx second = shapesTwo(2 * i, j);
            out(3 * i - 2, j) = d * first;
            if (secondRows)
                out(3 * i - 1, j) = a * second;
            out(3 * i, j) = u * first;
        }
    }
    for (int j = 1; j <= dNodes; ++j) {
        const Cx k = kOne(j);
        Cx d;
        Cx a;
        Cx b;
        BESSEL_TERM_H(d, a, b, k, r, order);
        const Cx u = divReal(p * a, r);
        for (int i = 1; i <= dNodes; ++i) {
            const Cx shape = shapesOne(i, j);
            out(3 * i - 2, nTwo + j) = u * shape;
            if (secondRows)
                out(3 * i - 1, nTwo + j) = Cx{0.0, 0.0};
            out(3 * i, nTwo + j) = d * shape;
        }
    }
}

} // namespace kd
