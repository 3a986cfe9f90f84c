// The vector forms of the group-matrix kernels against their portable forms
// (which ParallelKernelsTest holds to the row-by-row method): the results must
// be the same to the bit on every path and for every number of threads.

#include "ComplexKernels.h"
#include "GroupKernels.h"
#include "GroupStiffnessV.h"
#include "WorkerPool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

using namespace kd;

namespace {

bool haveVectorPath() { return usableKernelPath(KernelPath::Avx2) == KernelPath::Avx2; }

std::vector<KernelPath> vectorPaths()
{
    std::vector<KernelPath> paths;
    for (KernelPath p : {KernelPath::Avx2, KernelPath::Avx512})
        if (usableKernelPath(p) == p)
            paths.push_back(p);
    return paths;
}

// Values with mixed signs and magnitudes, signed zeros and, where asked,
// infinities and NaN, so that any change in the order of operations shows.
std::vector<Cx> randomValues(std::size_t count, unsigned seed, bool special)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::uniform_int_distribution<int> e(-30, 30);
    std::vector<Cx> v(count);
    for (Cx& x : v)
        x = Cx{std::ldexp(u(rng), e(rng)), std::ldexp(u(rng), e(rng))};
    if (special && count > 6) {
        v[1] = Cx{-0.0, 0.0};
        v[2] = Cx{std::numeric_limits<double>::infinity(), 1.0};
        v[3] = Cx{1.0, std::numeric_limits<double>::quiet_NaN()};
        v[count - 1] = Cx{0.0, -0.0};
    }
    return v;
}

Matrix<Cx> randomSymmetric(int n, unsigned seed)
{
    std::vector<Cx> v = randomValues(static_cast<std::size_t>(n) * n, seed, false);
    Matrix<Cx> a(n, n);
    for (int j = 1; j <= n; ++j)
        for (int i = j; i <= n; ++i) {
            a(i, j) = v[static_cast<std::size_t>(j - 1) * n + (i - 1)];
            a(j, i) = a(i, j);
        }
    for (int i = 1; i <= n; ++i)
        a(i, i) = a(i, i) + Cx{2.0 * n, 0.5};  // well away from singular
    return a;
}

bool sameBits(const Cx* a, const Cx* b, std::size_t count) { return std::memcmp(a, b, sizeof(Cx) * count) == 0; }

} // namespace

TEST(GroupKernels, SubtractMultipleIsBitwiseTheScalarLoop)
{
    if (!haveVectorPath())
        GTEST_SKIP() << "no vector path on this processor";
    for (KernelPath path : vectorPaths())
        for (int count : {0, 1, 2, 3, 7, 64, 129}) {
            SCOPED_TRACE(testing::Message() << kernelPathName(path) << ", count " << count);
            const std::size_t size = static_cast<std::size_t>(count) + 2;
            const std::vector<Cx> q = randomValues(size, 5u + count, true);
            const std::vector<Cx> start = randomValues(size, 7u + count, true);
            for (Cx a : {Cx{0.75, -1.5e-3}, Cx{-0.0, 3.0}, Cx{1e300, -1e-300}}) {
                std::vector<Cx> scalar = start, vector = start;
                subtractMultiple(scalar.data() + 1, q.data() + 1, a, count, KernelPath::Portable);
                subtractMultiple(vector.data() + 1, q.data() + 1, a, count, path);
                EXPECT_TRUE(sameBits(scalar.data(), vector.data(), size));  // and nothing outside is touched
            }
        }
}

TEST(GroupKernels, BackwardRowsIsBitwiseTheScalarLoop)
{
    if (!haveVectorPath())
        GTEST_SKIP() << "no vector path on this processor";
    const int n = 37;
    const std::size_t stride = n + 1;
    for (KernelPath path : vectorPaths())
        for (int columns : {1, 2, 3, 8, 11, 16}) {
            for (int first : {1, 20, 36}) {
                const int last = std::min(n - 1, first + 9);
                SCOPED_TRACE(testing::Message()
                             << kernelPathName(path) << ", columns " << columns << ", rows " << first << ".." << last);
                const std::vector<Cx> rows = randomValues(stride * (last - first + 1), 3u + first, true);
                const std::vector<Cx> start = randomValues(stride * columns, 11u + columns, columns % 2 == 1);
                std::vector<Cx> scalar = start, vector = start;
                std::vector<Cx*> sc, vc;
                for (int v = 0; v < columns; ++v) {
                    sc.push_back(scalar.data() + v * stride - 1);
                    vc.push_back(vector.data() + v * stride - 1);
                }
                // Column v holds rows 1..n in block v of its storage.
                backwardRows(sc.data(), columns, rows.data(), stride, first, last, n, KernelPath::Portable);
                backwardRows(vc.data(), columns, rows.data(), stride, first, last, n, path);
                EXPECT_TRUE(sameBits(scalar.data(), vector.data(), scalar.size()));
            }
        }
}

TEST(GroupKernels, InversionAndFactorisationAreBitwiseThePortableForms)
{
    if (!haveVectorPath())
        GTEST_SKIP() << "no vector path on this processor";
    WorkerPool three(3), eight(8);
    WorkerPool* pools[] = {nullptr, &three, &eight};
    for (KernelPath path : vectorPaths())
        for (int n : {1, 2, 3, 9, 32, 33, 47, 64, 65, 130, 301}) {
            const Matrix<Cx> a0 = randomSymmetric(n, 17u + n);
            Matrix<Cx> portable = a0;
            CMATINV(portable, n, nullptr, KernelPath::Portable);
            const Matrix<Cx> f0 = randomSymmetric(n, 99u + n);
            Matrix<Cx> portableFactor = f0;
            CSYM_FACTOR(portableFactor, n, nullptr, KernelPath::Portable);
            const std::size_t size = static_cast<std::size_t>(n) * n;
            for (WorkerPool* pool : pools) {
                SCOPED_TRACE(testing::Message() << kernelPathName(path) << ", n " << n << ", threads "
                                                << (pool ? pool->size() : 0));
                Matrix<Cx> a = a0;
                CMATINV(a, n, pool, path);
                EXPECT_TRUE(sameBits(a.data(), portable.data(), size));
                Matrix<Cx> f = f0;
                CSYM_FACTOR(f, n, pool, path);
                EXPECT_TRUE(sameBits(f.data(), portableFactor.data(), size));
            }
        }
}
