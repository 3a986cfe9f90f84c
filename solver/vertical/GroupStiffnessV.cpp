#include "GroupStiffnessV.h"

#include "GroupKernels.h"
#include "ModeRadialV.h"
#include "PairKernels.h"
#include "WorkerPool.h"

#include <algorithm>
#include <vector>

namespace kd {

void CSYM_FACTOR(CMat a, int n, WorkerPool* pool, KernelPath path)
{
    // Blocked: step k updates every element (j, c), k < j <= c, once, with the
    // same operations as the row-by-row form, and every element takes its
    // steps in increasing k; only the order of visiting elements changes.
    constexpr int kBlock = 32;
    Cx* const base = a.data();
    const std::size_t ld = static_cast<std::size_t>(a.ld());
    const std::size_t stride = static_cast<std::size_t>(n) + 1;
    auto column = [&](int c) { return base + static_cast<std::size_t>(c - 1) * ld - 1; };  // 1-based rows
    std::vector<Cx> m(stride * kBlock);  // multipliers of the panel's steps, by step
    for (int k0 = 1; k0 <= n - 1; k0 += kBlock) {
        const int k1 = std::min(k0 + kBlock - 1, n - 1);
        // The panel's rows k0..k1 of every column, step by step.
        for (int k = k0; k <= k1; ++k) {
            const Cx s = recip(a(k, k));
            Cx* mk = m.data() + static_cast<std::size_t>(k - k0) * stride;
            for (int j = k + 1; j <= n; ++j)
                mk[j] = s * a(k, j);
            forColumnRanges(pool, k + 1, n, k1 - k + 1, [&](int first, int last) {
                for (int c = first; c <= last; ++c) {
                    Cx* col = column(c);
                    const int top = std::min(c, k1);
                    subtractMultiple(col + k + 1, mk + k + 1, col[k], top - k, path);
                }
            });
        }
        // The rows below the panel take the panel's steps in order.
        forColumnRanges(pool, k1 + 1, n, static_cast<long long>(k1 - k0 + 1) * (n - k1) / 2 + 1,
                        [&](int first, int last) {
                            for (int c = first; c <= last; ++c) {
                                Cx* col = column(c);
                                for (int k = k0; k <= k1; ++k) {
                                    const Cx* mk = m.data() + static_cast<std::size_t>(k - k0) * stride;
                                    subtractMultiple(col + k1 + 1, mk + k1 + 1, col[k], c - k1, path);
                                }
                            }
                        });
    }
}

void CSYM_SOLVE(CMatIn a, CVec b, int n)
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

void REARRANGE_FLEX_V(CMat t, CMatIn g, CMatIn f, int n, int m)
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

void PILE_INTERACTION_V(const SplitRows& t, CMat g, CMatIn f, CMat out, CVecIn wavenumbers, CMatIn modes,
                        double s, int n, int m, PairKernelWork& work)
{
    // Only the even (vertical) rows of g enter.
    MODE_RADIAL_V(g, wavenumbers, modes, s, n, m, false);
    fieldProduct(g, 2, 2, n, t, work.first, work.path());
    const std::size_t stride = static_cast<std::size_t>(work.first.stride());
    for (int j = 1; j <= n; ++j)
        for (int k = 1; k <= n; ++k) {
            const std::size_t e = static_cast<std::size_t>(k - 1) * stride + static_cast<std::size_t>(j - 1);
            out(k, j) = Cx{work.first.re()[e], work.first.im()[e]} + f(k, j);
        }
}

} // namespace kd
