#include "GroupStiffnessV.h"

#include "ModeRadialV.h"

namespace kd {

void CSYM_FACTOR(CMat a, int n)
{
    for (int k = 1; k <= n - 1; ++k) {
        const Cx s = recip(a(k, k));
        for (int j = k + 1; j <= n; ++j) {
            const Cx m = s * a(k, j);
            for (int c = j; c <= n; ++c)
                a(j, c) = a(j, c) - m * a(k, c);
        }
    }
}

void CSYM_SOLVE(CMat a, CVec b, int n)
{
    for (int k = 1; k <= n - 1; ++k) {
        const Cx s = recip(a(k, k));
        for (int j = k + 1; j <= n; ++j)
            b(j) = b(j) - (s * a(k, j)) * b(k);
    }
    b(n) = cdiv(b(n), a(n, n));
    for (int i = n - 1; i >= 1; --i) {
        Cx sum{};
        for (int k = i + 1; k <= n; ++k)
            sum = sum + a(i, k) * b(k);
        b(i) = cdiv(b(i) - sum, a(i, i));
    }
}

void REARRANGE_FLEX_V(CMat t, CMat g, CMat f, int n, int m)
{
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= m; ++i) {
            Cx sum{};
            for (int k = 1; k <= n; ++k)
                sum = sum + g(i, 2 * k) * f(k, j);
            t(i, j) = sum;
        }
    }
}

void PILE_INTERACTION_V(CMat t, CMat g, CMat f, CMat out, CVec wavenumbers, CMat modes, double s, int n, int m,
                        CMat u)
{
    MODE_RADIAL_V(g, wavenumbers, modes, s, n, m);
    // u(:, j) = g t(:, j) on the even (vertical) rows, the only ones used.
    // Each element sums over k in increasing order from 0; the loops follow
    // the column storage.
    for (int j = 1; j <= n; ++j)
        for (int k = 1; k <= n; ++k)
            u(2 * k, j) = Cx{};
    for (int k = 1; k <= m; ++k) {
        const Cx* gk = g.col(k).data() - 1;
        for (int j = 1; j <= n; ++j) {
            const Cx tkj = t(k, j);
            Cx* uj = u.col(j).data() - 1;
            for (int node = 1; node <= n; ++node)
                uj[2 * node] += gk[2 * node] * tkj;
        }
    }
    for (int j = 1; j <= n; ++j)
        for (int k = 1; k <= n; ++k)
            out(k, j) = u(2 * k, j) + f(k, j);
}

} // namespace kd
