// The fast path's kernels against the straightforward row-by-row forms: the
// results must be the same to the bit, whatever the number of threads.

#include "ComplexKernels.h"
#include "GroupStiffnessV.h"
#include "PairSchedule.h"
#include "WorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <random>

using namespace kd;

namespace {

Matrix<Cx> randomSymmetric(int n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    Matrix<Cx> a(n, n);
    for (int j = 1; j <= n; ++j)
        for (int i = j; i <= n; ++i) {
            a(i, j) = Cx{u(rng), u(rng)};
            a(j, i) = a(i, j);
        }
    for (int i = 1; i <= n; ++i)
        a(i, i) = a(i, i) + Cx{double(n), 0.5};  // well away from singular
    return a;
}

// The inversion written row by row, as the method is stated.
void rowInverse(Matrix<Cx>& a, int n)
{
    for (int k = 1; k <= n - 1; ++k) {
        const Cx p = a(k, k);
        a(k, k) = Cx{1.0, 0.0};
        for (int j = 1; j <= n; ++j)
            a(k, j) = a(k, j) / p;
        for (int i = k + 1; i <= n; ++i) {
            const Cx q = a(i, k);
            a(i, k) = Cx{0.0, 0.0};
            for (int j = 1; j <= n; ++j)
                a(i, j) = a(i, j) - q * a(k, j);
        }
    }
    for (int j = 1; j <= n - 1; ++j)
        a(n, j) = a(n, j) / a(n, n);
    a(n, n) = recip(a(n, n));
    for (int g = n; g >= 2; --g) {
        const int h = g - 1;
        for (int j = 1; j <= h; ++j) {
            Cx sum{0.0, 0.0};
            for (int k = g; k <= n; ++k)
                sum = sum + a(h, k) * a(k, j);
            a(h, j) = a(h, j) - sum;
        }
    }
    for (int h = 1; h <= n - 1; ++h)
        for (int c = h + 1; c <= n; ++c)
            a(h, c) = a(c, h);
}

void rowFactor(Matrix<Cx>& a, int n)
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

bool bitwiseEqual(Matrix<Cx>& a, Matrix<Cx>& b, int n)
{
    return std::memcmp(a.data(), b.data(), sizeof(Cx) * static_cast<std::size_t>(n) * n) == 0;
}

} // namespace

TEST(ParallelKernels, InversionAndFactorisationAreBitwiseTheRowForms)
{
    WorkerPool three(3), eight(8);
    WorkerPool* pools[] = {nullptr, &three, &eight};
    for (int n : {1, 2, 5, 32, 33, 40, 64, 65, 300}) {
        for (WorkerPool* pool : pools) {
            SCOPED_TRACE(testing::Message() << "n " << n << ", threads " << (pool ? pool->size() : 0));
            Matrix<Cx> a = randomSymmetric(n, 17u + n);
            Matrix<Cx> b = a;
            CMATINV(a, n, pool);
            rowInverse(b, n);
            EXPECT_TRUE(bitwiseEqual(a, b, n));

            Matrix<Cx> c = randomSymmetric(n, 99u + n);
            Matrix<Cx> d = c;
            CSYM_FACTOR(c, n, pool);
            rowFactor(d, n);
            EXPECT_TRUE(bitwiseEqual(c, d, n));
        }
    }
}

TEST(WorkerPool, EveryIndexRunsOnceOnADistinctWorker)
{
    WorkerPool pool(8);
    for (int count : {0, 1, 7, 1000}) {
        std::vector<std::atomic<int>> hits(static_cast<std::size_t>(count));
        std::atomic<int> badWorker{0};
        pool.parallelFor(count, [&](int i, int worker) {
            hits[static_cast<std::size_t>(i)]++;
            if (worker < 0 || worker >= pool.size())
                badWorker++;
        });
        for (auto& h : hits)
            EXPECT_EQ(h.load(), 1);
        EXPECT_EQ(badWorker.load(), 0);
    }
}

TEST(PairSchedule, FastPathAppliesTheSameResultsInPairOrder)
{
    // Keys repeat (a regular layout) and some pairs are skipped; the fast path
    // must compute each key once and apply exactly the sequential sequence.
    const int piles = 60;
    auto keyOf = [](int i, int j) -> std::optional<std::array<double, 2>> {
        if ((i + j) % 7 == 0)
            return std::nullopt;
        return std::array<double, 2>{double((j - i) % 5), double(i % 3)};
    };
    struct Applied {
        int i, j;
        double value;
        bool operator==(const Applied& o) const { return i == o.i && j == o.j && value == o.value; }
    };
    std::vector<Applied> sequential, fast;
    std::atomic<int> computed{0};
    auto compute = [&](const std::array<double, 2>& k, int) {
        computed++;
        return k[0] * 10.0 + k[1];
    };
    runPairs<2, double>(piles, nullptr, keyOf, compute,
                        [&](int i, int j, double v) { sequential.push_back({i, j, v}); });
    const int sequentialComputations = computed.exchange(0);
    WorkerPool pool(4);
    runPairs<2, double>(piles, &pool, keyOf, compute, [&](int i, int j, double v) { fast.push_back({i, j, v}); });
    EXPECT_EQ(fast, sequential);
    EXPECT_EQ(sequentialComputations, static_cast<int>(sequential.size()));
    EXPECT_EQ(computed.load(), 15);  // 5 distances times 3 residues
}
