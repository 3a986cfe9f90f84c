#include "HeadImpedance.h"

#include "ComplexKernels.h"
#include "PairKernels.h"

namespace kd {

namespace {

// invert(w, m): CMATINV of the leading m x m block.
template <class Invert>
void headImpedance(CMat w, CMatIn kc, CMatIn f, CVec v, CVecIn u, double s1, int n, Cx& up, Cx& kh,
                   Invert&& invert)
{
    int m = n;
    int o = 0;
    if (s1 != 0.0) {
        // An extra head variable in front, with no soil stiffness of its own.
        o = 1;
        m = n + 1;
        for (int i = 1; i <= m; ++i) {
            w(1, i) = Cx{};
            w(i, 1) = Cx{};
        }
        w(1, 1) = Cx{1.0, 0.0};
    }
    for (int k = 1; k <= n; ++k)
        for (int j = 1; j <= n; ++j)
            w(o + j, o + k) = f(j, k);

    // The soil's dynamic stiffness at the nodes.
    invert(w, m);
    if (s1 > 0.0)
        w(1, 1) = Cx{};

    // Seismic loads of the free-field motion.
    for (int j = o + 1; j <= o + n; ++j) {
        Cx s{};
        for (int k = 1; k <= n; ++k)
            s = s + w(j, o + k) * u(k);
        v(j) = v(j) + s;
    }

    // Pile and soil together, inverted: their combined flexibility.
    for (int k = 1; k <= m; ++k)
        for (int j = 1; j <= m; ++j)
            w(j, k) = w(j, k) + kc(j, k);
    invert(w, m);

    kh = recip(w(1, 1));
    Cx s{};
    for (int k = 1; k <= m; ++k)
        s = s + w(1, k) * v(k);
    up = s;
}

} // namespace

void HEAD_IMPEDANCE(CMat w, CMatIn kc, CMatIn f, CVec v, CVecIn u, double s1, int n, Cx& up, Cx& kh)
{
    headImpedance(w, kc, f, v, u, s1, n, up, kh, [](CMat a, int order) { CMATINV(a, order); });
}

void HEAD_IMPEDANCE(CMat w, CMatIn kc, CMatIn f, CVec v, CVecIn u, double s1, int n, Cx& up, Cx& kh,
                    PairKernelWork& work)
{
    headImpedance(w, kc, f, v, u, s1, n, up, kh, [&work](CMat a, int order) { CMATINV(a, order, work); });
}

void REARRANGE_FLEX_H(CMat fs, CMatIn g, CMat x, double r, int n, int m)
{
    for (int k = 1; k <= n; ++k)
        for (int j = 1; j <= n; ++j)
            fs(j, k) = x(j, k);

    Vector<Cx> t(m);
    for (int j = 1; j <= n; ++j) {
        for (int k = 1; k <= n; ++k) {
            t(3 * k - 2) = x(k, j);
            t(3 * k - 1) = r * x(n + k, j);
            t(3 * k) = x(k, j);
        }
        for (int i = 1; i <= m; ++i) {
            Cx s{};
            for (int k = 1; k <= m; ++k)
                s = s + g(i, k) * t(k);
            x(i, j) = s;
        }
    }
}

} // namespace kd
