#include "PileBarModel.h"

#include "SharedStorage.h"

namespace kd {

void AXIAL_EXTRACT_V(CMat st, CMat out, int n)
{
    // Single-precision 2 pi, on purpose.
    constexpr double twoPi = 6.2831854820251465;
    for (int kk = 1; kk <= n; ++kk)
        for (int i = 1; i <= n; ++i)
            out(i, kk) = twoPi * st(2 * i, 2 * kk);
}

void PILE_BAR_MATRICES(const SharedStorage& s, CMat k, int ne, RVec h, CVec z, RVec rho, double w2, RVec ap)
{
    const double s1 = s.settings[1];
    const double s3 = s.settings[3];
    int np = s.nsegVertical;
    if (s1 > 0.0) {
        ++ne;
        ++np;
    }
    const int n = ne + 1;
    for (int c = 1; c <= n; ++c)
        for (int r = 1; r <= n; ++r)
            k(r, c) = Cx{0.0, 0.0};

    const double roup = s.roup;
    const Cx eStar = s.ep * Cx{1.0, 2.0 * s.dampp};

    for (int i = 1; i <= ne; ++i) {
        double len = h(i);
        if (s1 > 0.0)
            len = i == 1 ? s1 : h(i - 1);
        const bool pile = i <= np;
        // Below the tip a bar of soil of the pile's radius (single-precision pi).
        const double area = pile ? ap(i) : 3.1415927410125732 * s.r * s.r;
        double m = w2 * area * roup / 6.0;
        Cx ea = area * eStar;
        if (!pile) {
            ea = cdiv(ea * z(i), eStar);
            // A massless pile has its soil elements' mass from the soil density directly.
            if (roup == 0.0)
                m = w2 * area * rho(i) / 6.0;
            else
                m = m * rho(i) / roup;
        }
        const Cx stiff = divReal(ea, len);
        const double mass = 2.0 * m * len;
        const double massOff = m * len;
        Cx& diag = k(i, i);
        diag = Cx{diag.re + stiff.re - mass, diag.im + stiff.im};
        const Cx off{-stiff.re - massOff, -stiff.im};
        k(i, i + 1) = off;
        k(i + 1, i) = off;
        k(i + 1, i + 1) = Cx{stiff.re - mass, stiff.im};
    }

    // Head mass.
    k(1, 1).re = k(1, 1).re - s3 * w2;
}

} // namespace kd
