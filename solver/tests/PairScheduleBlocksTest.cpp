// The pair schedule over several blocks and past its cache limit: the fast
// path applies exactly the sequential sequence of results and computes each
// key at most once per block.

#include "PairSchedule.h"
#include "WorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

using namespace kd;

TEST(PairSchedule, ManyBlocksAndAFullCacheKeepThePairOrder)
{
    struct Case {
        const char* what;
        int piles;
        int distinct;  // keys cycle through this many values; 0: every pair its own key
    };
    // 800 piles: 319600 pairs, five blocks, more distinct keys than the cache holds.
    const Case cases[] = {{"every pair distinct", 800, 0},
                          {"keys repeating across blocks", 800, 70001},
                          {"few keys", 300, 17},
                          {"two piles", 2, 0},
                          {"one pile", 1, 0}};
    WorkerPool pool(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto keyOf = [&](int i, int j) -> std::optional<std::array<double, 1>> {
            if ((i * 31 + j) % 97 == 0)
                return std::nullopt;  // skipped pairs
            const long long index = static_cast<long long>(i) * c.piles + j;
            return std::array<double, 1>{double(c.distinct ? index % c.distinct : index)};
        };
        std::atomic<long long> computed{0};
        auto compute = [&](const std::array<double, 1>& k, int) {
            ++computed;
            return k[0] * 0.5 + 1.0;
        };
        std::vector<std::array<double, 3>> sequential, fast;
        runPairs<1, double>(c.piles, nullptr, keyOf, compute,
                            [&](int i, int j, double v) { sequential.push_back({double(i), double(j), v}); });
        computed = 0;
        runPairs<1, double>(c.piles, &pool, keyOf, compute,
                            [&](int i, int j, double v) { fast.push_back({double(i), double(j), v}); });
        EXPECT_TRUE(fast == sequential);
        EXPECT_LE(computed.load(), static_cast<long long>(sequential.size()));
        if (c.distinct > 0 && c.distinct < 1000) {
            EXPECT_EQ(computed.load(), c.distinct);  // every key once: all fit in the cache
        }
    }
}
