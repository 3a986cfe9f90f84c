#include "ComplexKernels.h"

#include "GroupKernels.h"
#include "WorkerPool.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace kd {

void fullPivotSearch(CMatIn a, int n, IVec ipiv, int& row, int& col)
{
    double best = 0.0;
    row = 0;
    col = 0;
    for (int r = 1; r <= n; ++r) {
        if (ipiv(r) > 0)
            continue;
        for (int c = 1; c <= n; ++c) {
            if (ipiv(c) > 0)
                continue;
            const double measure = norm1(a(r, c));
            // ">=" lets the last of equal candidates win; a NaN measure compares
            // false with everything, so it is taken explicitly.
            if (std::isnan(measure) || measure >= best) {
                best = measure;
                row = r;
                col = c;
            }
        }
    }
}

void CMATINV_PIVOT_H(CMat a, int n, IVec ipiv, CVec w)
{
    if (n < 1)
        return;
    // A matrix with an infinite or NaN element has no inverse. Left to the
    // elimination, an infinite pivot would quietly act as the limit and give
    // finite numbers: the result is all NaN instead.
    bool finite = true;
    for (int j = 1; j <= n && finite; ++j)
        for (int i = 1; i <= n && finite; ++i)
            finite = isFinite(a(i, j));
    if (!finite) {
        const double nan = std::nan("");
        for (int j = 1; j <= n; ++j)
            for (int i = 1; i <= n; ++i)
                a(i, j) = Cx{nan, nan};
        return;
    }

    if (n == 1) {
        a(1, 1) = recip(a(1, 1));
        return;
    }
    for (int i = 1; i <= n; ++i)
        ipiv(i) = -i;

    for (int step = 1; step <= n; ++step) {
        int r = 0;
        int c = 0;
        fullPivotSearch(a, n, ipiv, r, c);
        const Cx p = a(r, c);

        const int t = ipiv(r);
        ipiv(r) = ipiv(c);
        ipiv(c) = -t;

        for (int j = 1; j <= n; ++j) {
            const Cx rowR = a(r, j);
            a(r, j) = a(c, j);
            a(c, j) = rowR;
            w(j) = rowR;
        }
        for (int i = 1; i <= n; ++i)
            a(i, c) = a(i, c) / p;
        for (int j = 1; j <= n; ++j) {
            if (j == c)
                continue;
            const Cx wj = w(j);
            for (int i = 1; i <= n; ++i)
                a(i, j) -= a(i, c) * wj;
        }
        w(c) = Cx{-1.0, -0.0};
        for (int j = 1; j <= n; ++j)
            a(c, j) = -(w(j) / p);
    }

    // Unscramble. The record is a permutation, so the search always succeeds;
    // the bound check only keeps a damaged record from indexing outside.
    for (int k = 1; k <= n; ++k) {
        int i = 1;
        while (i <= n && ipiv(i) != k)
            ++i;
        if (i > n)
            continue;
        ipiv(i) = ipiv(k);
        ipiv(k) = k;
        for (int row = 1; row <= n; ++row)
            std::swap(a(row, i), a(row, k));
    }
}

void CMATMUL_INPLACE(CMat a, CMat b, CVec w, int n, int mode)
{
    if (mode == 1) {
        for (int i = 1; i <= n; ++i) {
            for (int j = 1; j <= n; ++j) {
                Cx sum{0.0, 0.0};
                for (int k = 1; k <= n; ++k)
                    sum += a(i, k) * b(k, j);
                w(j) = sum;
            }
            for (int j = 1; j <= n; ++j)
                a(i, j) = w(j);
        }
        return;
    }
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= n; ++i)
            w(i) = Cx{0.0, 0.0};
        // Column sweep of a; each w(i) still sums over k in increasing order.
        for (int k = 1; k <= n; ++k) {
            const Cx bkj = b(k, j);
            for (int i = 1; i <= n; ++i)
                w(i) += a(i, k) * bkj;
        }
        for (int i = 1; i <= n; ++i)
            b(i, j) = w(i);
    }
}

void CBAND_SOLVE(CVec d, CVec e, CVec l, CVec b, int n)
{
    if (n < 1)
        return;
    b(1) = b(1) / d(1);
    for (int i = 1; i <= n - 1; ++i) {
        l(i) = e(i) / d(i);
        d(i + 1) = d(i + 1) - l(i) * e(i);
        b(i + 1) = (b(i + 1) - e(i) * b(i)) / d(i + 1);
    }
    for (int i = n - 1; i >= 1; --i)
        b(i) = b(i) - l(i) * b(i + 1);
}

void CMATINV(CMat a, int n, WorkerPool* pool, KernelPath path)
{
    if (n < 1)
        return;
    // Blocked and column-oriented, for large matrices: every element receives
    // the same operations in the same order as in the row-by-row form (each
    // elimination step's update, each division, each sum in increasing k), so
    // the result is the same to the bit whatever the block size or the number
    // of threads. Only the order in which different elements are visited
    // changes, to keep the data in cache.
    constexpr int kBlock = 32;
    Cx* const base = a.data();
    const std::size_t ld = static_cast<std::size_t>(a.ld());
    const std::size_t stride = static_cast<std::size_t>(n) + 1;
    auto column = [&](int j) { return base + static_cast<std::size_t>(j - 1) * ld - 1; };  // 1-based rows
    std::vector<Cx> q(stride * kBlock);  // multipliers of the steps of one panel, by step
    std::vector<Cx> pivot(kBlock);

    // Forward elimination, a panel of kBlock steps at a time.
    for (int k0 = 1; k0 <= n - 1; k0 += kBlock) {
        const int k1 = std::min(k0 + kBlock - 1, n - 1);
        // The panel's own columns, step by step, recording pivots and multipliers.
        for (int k = k0; k <= k1; ++k) {
            const Cx p = a(k, k);
            pivot[static_cast<std::size_t>(k - k0)] = p;
            a(k, k) = Cx{1.0, 0.0};
            for (int j = k0; j <= k1; ++j)
                a(k, j) = a(k, j) / p;
            Cx* ck = column(k);
            Cx* qk = q.data() + static_cast<std::size_t>(k - k0) * stride;
            for (int i = k + 1; i <= n; ++i) {
                qk[i] = ck[i];
                ck[i] = Cx{0.0, 0.0};
            }
            for (int j = k0; j <= k1; ++j) {
                Cx* c = column(j);
                subtractMultiple(c + k + 1, qk + k + 1, c[k], n - k, path);
            }
        }
        // Every other column takes the panel's steps in order: the division of
        // row k, then the update of the rows below it.
        auto sweep = [&](int j) {
            Cx* c = column(j);
            for (int k = k0; k <= k1; ++k) {
                c[k] = c[k] / pivot[static_cast<std::size_t>(k - k0)];
                const Cx* qk = q.data() + static_cast<std::size_t>(k - k0) * stride;
                subtractMultiple(c + k + 1, qk + k + 1, c[k], n - k, path);
            }
        };
        const long long work = static_cast<long long>(k1 - k0 + 1) * (n - k0);
        forColumnRanges(pool, 1, k0 - 1, work, [&](int first, int last) {
            for (int j = first; j <= last; ++j)
                sweep(j);
        });
        forColumnRanges(pool, k1 + 1, n, work, [&](int first, int last) {
            for (int j = first; j <= last; ++j)
                sweep(j);
        });
    }
    for (int j = 1; j <= n - 1; ++j)
        a(n, j) = a(n, j) / a(n, n);
    a(n, n) = recip(a(n, n));

    // Backward: a(h, j) -= sum over k > h of a(h, k) a(k, j), for j <= h, rows
    // from the bottom up, a block of rows at a time (their right parts are not
    // changed by this phase, so they are read once into a buffer).
    std::vector<Cx> rows(stride * kBlock);
    for (int h1 = n - 1; h1 >= 1; h1 -= kBlock) {
        const int h0 = std::max(1, h1 - kBlock + 1);
        for (int h = h0; h <= h1; ++h) {
            Cx* r = rows.data() + static_cast<std::size_t>(h - h0) * stride;
            for (int k = h + 1; k <= n; ++k)
                r[k] = a(h, k);
        }
        forColumnRanges(pool, 1, h1, static_cast<long long>(h1 - h0 + 1) * (n - h0), [&](int first, int last) {
            // Columns up to h0 take every row of the block, several columns at
            // a time; the later ones stop at their own row.
            constexpr int kGroup = 16;
            Cx* cols[kGroup];
            int j = first;
            while (j <= std::min(last, h0)) {
                const int count = std::min(kGroup, std::min(last, h0) - j + 1);
                for (int v = 0; v < count; ++v)
                    cols[v] = column(j + v);
                backwardRows(cols, count, rows.data(), stride, h0, h1, n, path);
                j += count;
            }
            for (; j <= last; ++j) {
                Cx* c = column(j);
                backwardRows(&c, 1, rows.data() + static_cast<std::size_t>(j - h0) * stride, stride, j, h1, n, path);
            }
        });
    }
    for (int h = 1; h <= n - 1; ++h)
        for (int c = h + 1; c <= n; ++c)
            a(h, c) = a(c, h);
}

void CGAUSS_2N(CMat a, CMat b, int n)
{
    if (n < 1)
        return;
    const int n2 = 2 * n;
    for (int e = 1; e <= n2 - 1; ++e) {
        const Cx s = recip(a(e, e));
        const int rightSides = std::min(n, e);
        for (int j = e + 1; j <= n2; ++j) {
            const Cx m = a(e, j) * s;
            for (int c = 1; c <= rightSides; ++c)
                b(j, c) -= m * b(e, c);
            for (int k = j; k <= n2; ++k)
                a(j, k) -= m * a(e, k);
        }
    }
    for (int c = 1; c <= n; ++c)
        b(n2, c) = b(n2, c) / a(n2, n2);
    for (int i = n2 - 1; i >= 1; --i) {
        const Cx s = recip(a(i, i));
        for (int c = 1; c <= n; ++c) {
            Cx sum{0.0, 0.0};
            for (int k = i + 1; k <= n2; ++k)
                sum += a(i, k) * b(k, c);
            b(i, c) = s * (b(i, c) - sum);
        }
    }
}

void CBACKSUB_BLOCKS(CMat p, CMat c, CVec v1, CVec v2, int n)
{
    if (n < 1)
        return;
    for (int k = 2 * n; k >= n + 1; --k) {
        const Cx s = recip(p(k, k));
        for (int j = k - 1; j >= 1; --j) {
            const Cx m = s * p(k, j);
            for (int col = j; col >= 1; --col)
                p(j, col) -= m * p(k, col);
        }
    }
    for (int row = 1; row <= n; ++row) {
        for (int k = 1; k <= row; ++k) {
            c(row, k) = p(row, k);
            c(k, row) = p(row, k);
        }
    }
    for (int k = 1; k <= n; ++k) {
        v1(k) = -c(k, n);
        v2(k) = -c(k, n);
        c(k, n) = Cx{0.0, 0.0};
        c(n, k) = Cx{0.0, 0.0};
    }
    c(n, n) = Cx{1.0, 0.0};
    v1(n) = Cx{1.0, 0.0};
    v2(n) = Cx{1.0, 0.0};
}

} // namespace kd
