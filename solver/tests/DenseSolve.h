#pragma once

// Test helper: solution of a small dense complex system by Gaussian
// elimination with row pivoting, used to condense element matrices.

#include "Matrix.h"

#include <utility>
#include <vector>

namespace kd::test {

// Solves a x = b for the variables listed in 'keep' (1-based), the others
// being held at zero. Returns x over all variables of a.
inline std::vector<Cx> solveKept(CMat a, const std::vector<int>& keep, const std::vector<Cx>& b)
{
    const int m = static_cast<int>(keep.size());
    std::vector<std::vector<Cx>> g(m, std::vector<Cx>(m + 1));
    for (int i = 0; i < m; ++i) {
        for (int j = 0; j < m; ++j)
            g[i][j] = a(keep[i], keep[j]);
        g[i][m] = b[keep[i] - 1];
    }
    for (int c = 0; c < m; ++c) {
        int piv = c;
        for (int i = c + 1; i < m; ++i)
            if (modulus(g[i][c]) > modulus(g[piv][c]))
                piv = i;
        std::swap(g[c], g[piv]);
        for (int i = c + 1; i < m; ++i) {
            const Cx f = cdiv(g[i][c], g[c][c]);
            for (int j = c; j <= m; ++j)
                g[i][j] -= f * g[c][j];
        }
    }
    std::vector<Cx> y(m);
    for (int i = m - 1; i >= 0; --i) {
        Cx s = g[i][m];
        for (int j = i + 1; j < m; ++j)
            s -= g[i][j] * y[j];
        y[i] = cdiv(s, g[i][i]);
    }
    std::vector<Cx> x(b.size());
    for (int i = 0; i < m; ++i)
        x[keep[i] - 1] = y[i];
    return x;
}

} // namespace kd::test
