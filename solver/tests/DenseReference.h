#pragma once

// Dense reference arithmetic for the solver tests: plain products, residuals
// and a partially pivoted LU determinant, written independently of the
// kernels under test.

#include "Matrix.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace kd::test {

// Deterministic pseudo-random numbers in [-1, 1).
class Lcg {
public:
    explicit Lcg(std::uint64_t seed) : m_state(seed) {}
    double next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(m_state >> 11) / 9007199254740992.0 * 2.0 - 1.0;
    }
    Cx nextCx() { const double re = next(); return Cx{re, next()}; }

private:
    std::uint64_t m_state;
};

// Largest |(A X - I)(i, j)| over n x n.
inline double identityResidual(CMat a, CMat x, int n)
{
    double worst = 0.0;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) {
            Cx sum{0.0, 0.0};
            for (int k = 1; k <= n; ++k)
                sum += a(i, k) * x(k, j);
            if (i == j)
                sum -= Cx{1.0, 0.0};
            worst = std::max(worst, modulus(sum));
        }
    return worst;
}

// Determinant of a dense n x n matrix (row-major copy), LU with partial pivoting.
inline Cx determinant(std::vector<Cx> a, int n)
{
    Cx det{1.0, 0.0};
    for (int k = 0; k < n; ++k) {
        int piv = k;
        for (int i = k + 1; i < n; ++i)
            if (modulus(a[i * n + k]) > modulus(a[piv * n + k]))
                piv = i;
        if (piv != k) {
            for (int j = 0; j < n; ++j)
                std::swap(a[k * n + j], a[piv * n + j]);
            det = -det;
        }
        const Cx p = a[k * n + k];
        det = det * p;
        if (p.re == 0.0 && p.im == 0.0)
            return Cx{0.0, 0.0};
        for (int i = k + 1; i < n; ++i) {
            const Cx m = a[i * n + k] / p;
            for (int j = k; j < n; ++j)
                a[i * n + j] -= m * a[k * n + j];
        }
    }
    return det;
}

inline double relDiff(Cx a, Cx b)
{
    const double scale = std::max(modulus(a), modulus(b));
    return scale == 0.0 ? 0.0 : modulus(a - b) / scale;
}

} // namespace kd::test
