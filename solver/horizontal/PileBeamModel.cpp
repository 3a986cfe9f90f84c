#include "PileBeamModel.h"

#include "SharedStorage.h"

#include <stdexcept>
#include <string>

namespace kd {

namespace {

// Entry of K plus a complex stiffness term and real terms (geometric, mass).
void addTo(Cx& entry, Cx stiff, double geometric, double mass)
{
    entry.re = entry.re + stiff.re + geometric + mass;
    entry.im = entry.im + stiff.im;
}

// Row and column v set to zero over 'order' variables, unit diagonal.
void restrain(CMat m, int v, int order)
{
    for (int i = 1; i <= order; ++i) {
        m(v, i) = Cx{0.0, 0.0};
        m(i, v) = Cx{0.0, 0.0};
    }
    m(v, v) = Cx{1.0, 0.0};
}

} // namespace

void PILE_BEAM_MATRICES(const SharedStorage& s, int ne, int& nn, RVec h, double w2, CMat k, CVec z, RVec rho)
{
    const double s1 = s.settings[1];
    const double s2 = s.settings[2];
    const double s3 = s.settings[3];
    const double s4 = s.settings[4];
    int np = s.nseg;
    if (s1 > 0.0) {
        ++ne;
        ++np;
    }
    if (ne < 1 || ne > kElementSlots)
        throw std::invalid_argument("pile beam model: " + std::to_string(ne) +
                                    " elements do not fit the element slots");
    const int n = ne + 1;
    nn = n;
    for (int c = 1; c <= 2 * n; ++c)
        for (int r = 1; r <= 2 * n; ++r)
            k(r, c) = Cx{0.0, 0.0};

    const double radius = s.r;
    const double roup = s.roup;
    const Cx eStar = s.ep * Cx{1.0, 2.0 * s.dampp};

    for (int i = 1; i <= ne; ++i) {
        double len = h(i);
        if (s1 > 0.0)
            len = i == 1 ? s1 : h(i - 1);
        const bool pile = i <= np;
        // Half the section area and the moment of inertia; below the tip the
        // circular soil column of the pile's radius (single-precision pi/2, pi).
        double ah;
        double inertia;
        if (pile) {
            ah = 0.5 * s.elemAp[i];
            inertia = s.elemIp[i];
        } else {
            ah = 1.570796251296997 * radius * radius;
            inertia = 3.141592502593994 * radius * radius * radius * radius * 0.25;
        }
        // Shear term with half the section as shear area.
        const Cx ga = divReal(eStar * ah, 2.0 * (1.0 + s.elemPoissonp[i]));
        Cx b = divReal(eStar * inertia, len);
        // c is half the shear parameter 12 EI / (GA L^2); below the tip it
        // keeps the pile's modulus, while the bending term takes the soil's.
        const Cx c = cdiv(6.0 * b, len * ga);
        if (!pile)
            b = cdiv(b * z(i), eStar);
        // Mass factor; a soil element takes the sublayer's density. A massless
        // pile has its soil elements' mass from the soil density directly.
        double m = w2 * ah * roup / 420.0;
        if (!pile) {
            if (roup == 0.0)
                m = w2 * ah * rho(i) / 420.0;
            else
                m = m * rho(i) / roup;
        }
        const Cx q = cdiv(2.0 * b, Cx{1.0, 0.0} + 2.0 * c);
        const Cx k12 = divReal(3.0 * q, len) * (2.0 / len);
        const Cx k6 = divReal(3.0 * q, len);
        const Cx k4 = (Cx{2.0, 0.0} + c) * q;
        const Cx k2 = (Cx{1.0, 0.0} - c) * q;
        const double p = s2 / 10.0;
        const double g1 = 12.0 * p / len;
        const double g2 = p;
        const double g3 = 4.0 * p * len / 3.0;
        const double g4 = p * len / 3.0;
        const double l2 = len * len;
        const double l3 = len * len * len;

        const int va = i;
        const int vb = i + 1;
        const int vr = n + i;
        const int vs = n + i + 1;
        addTo(k(va, va), k12, -g1, -312.0 * m * len);
        addTo(k(vb, vb), k12, -g1, -312.0 * m * len);
        addTo(k(va, vb), -k12, g1, -108.0 * m * len);
        addTo(k(va, vr), -k6, g2, 44.0 * m * l2);
        addTo(k(va, vs), -k6, g2, -26.0 * m * l2);
        addTo(k(vb, vr), k6, -g2, 26.0 * m * l2);
        addTo(k(vb, vs), k6, -g2, -44.0 * m * l2);
        addTo(k(vr, vr), k4, -g3, -8.0 * m * l3);
        addTo(k(vs, vs), k4, -g3, -8.0 * m * l3);
        addTo(k(vr, vs), k2, g4, 6.0 * m * l3);
    }

    // Head mass.
    k(1, 1).re = k(1, 1).re - s3 * w2;

    // Lower triangle from the upper one.
    for (int c = 1; c <= 2 * n; ++c)
        for (int r = c + 1; r <= 2 * n; ++r)
            k(r, c) = k(c, r);

    restrain(k, n + 1, 2 * n);
    if (s4 > 0.0)
        restrain(k, 2 * n, 2 * n);
}

void FILL_NODE_MATRIX_H(CMat a, CMat c, int n, double r, double s1)
{
    // 3.14159 in double for the lateral block, its single-precision value in pR.
    const Cx piLateral{3.14159, 0.0};
    const double pR = r * 3.141590118408203;
    for (int j = 1; j <= n; ++j) {
        for (int k = 1; k <= n; ++k) {
            c(j, k) = piLateral * (a(3 * j - 2, 3 * k - 2) + a(3 * j - 2, 3 * k) + a(3 * j, 3 * k - 2) + a(3 * j, 3 * k));
            c(j, n + k) = pR * (a(3 * j - 2, 3 * k - 1) + a(3 * j, 3 * k - 1));
            c(n + j, k) = pR * (a(3 * j - 1, 3 * k - 2) + a(3 * j - 1, 3 * k));
            c(n + j, n + k) = pR * r * a(3 * j - 1, 3 * k - 1);
        }
    }
    if (s1 <= 0.0)
        restrain(c, n + 1, 2 * n);
}

} // namespace kd
