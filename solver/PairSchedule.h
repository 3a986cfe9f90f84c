#pragma once

// The pair runs of a group analysis: one computation per pile pair i < j, in
// the order i outer, j inner, whose results are applied in that same order.
//
// A pair's result depends only on the exact values of its key (distance and
// direction weights), so the fast path computes each distinct key once per
// call and runs the distinct computations of a block of pairs on all workers;
// the results are then applied in pair order, which keeps every
// order-dependent sum as in the sequential loop. Memory stays bounded: one
// block of pairs and a cache of at most kPairCacheLimit results.

#include "WorkerPool.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <vector>

namespace kd {

inline constexpr std::size_t kPairCacheLimit = 1u << 18;
inline constexpr std::size_t kPairBlock = 1u << 16;

// The exact bits of a pair's key values.
template <std::size_t K>
struct PairKey {
    std::array<std::uint64_t, K> bits{};

    static PairKey of(const std::array<double, K>& values)
    {
        PairKey key;
        std::memcpy(key.bits.data(), values.data(), sizeof(double) * K);
        return key;
    }
    std::array<double, K> values() const
    {
        std::array<double, K> v;
        std::memcpy(v.data(), bits.data(), sizeof(double) * K);
        return v;
    }
    bool operator==(const PairKey& o) const { return bits == o.bits; }
};

template <std::size_t K>
struct PairKeyHash {
    std::size_t operator()(const PairKey<K>& k) const
    {
        std::uint64_t h = 1469598103934665603ull;
        for (std::uint64_t b : k.bits) {
            h ^= b + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
            h *= 1099511628211ull;
        }
        return static_cast<std::size_t>(h);
    }
};

// keyOf(i, j) -> std::optional<std::array<double, K>> (no value: the pair is skipped);
// compute(values, worker) -> Result; apply(i, j, result) in pair order.
// pool == nullptr: the straightforward loop, one computation per pair.
template <std::size_t K, class Result, class KeyOf, class Compute, class Apply>
void runPairs(int piles, WorkerPool* pool, KeyOf&& keyOf, Compute&& compute, Apply&& apply)
{
    if (!pool) {
        for (int i = 1; i <= piles - 1; ++i)
            for (int j = i + 1; j <= piles; ++j)
                if (const auto key = keyOf(i, j))
                    apply(i, j, compute(*key, 0));
        return;
    }

    using Key = PairKey<K>;
    std::unordered_map<Key, Result, PairKeyHash<K>> cache;
    std::unordered_map<Key, int, PairKeyHash<K>> pending;
    struct BlockPair {
        int i, j;
        int task;        // index into results, or -1 for a cached result
        Result cached;
    };
    std::vector<BlockPair> block;
    std::vector<Key> tasks;
    std::vector<Result> results;
    block.reserve(kPairBlock);

    auto flush = [&] {
        results.assign(tasks.size(), Result{});
        pool->parallelFor(static_cast<int>(tasks.size()),
                          [&](int t, int worker) { results[static_cast<std::size_t>(t)] = compute(tasks[static_cast<std::size_t>(t)].values(), worker); });
        for (std::size_t t = 0; t < tasks.size() && cache.size() < kPairCacheLimit; ++t)
            cache.emplace(tasks[t], results[t]);
        for (const auto& p : block)
            apply(p.i, p.j, p.task < 0 ? p.cached : results[static_cast<std::size_t>(p.task)]);
        block.clear();
        tasks.clear();
        pending.clear();
    };

    for (int i = 1; i <= piles - 1; ++i) {
        for (int j = i + 1; j <= piles; ++j) {
            const auto values = keyOf(i, j);
            if (!values)
                continue;
            const Key key = Key::of(*values);
            BlockPair p{i, j, -1, Result{}};
            if (const auto hit = cache.find(key); hit != cache.end()) {
                p.cached = hit->second;
            } else if (const auto queued = pending.find(key); queued != pending.end()) {
                p.task = queued->second;
            } else {
                p.task = static_cast<int>(tasks.size());
                pending.emplace(key, p.task);
                tasks.push_back(key);
            }
            block.push_back(p);
            if (block.size() == kPairBlock)
                flush();
        }
    }
    flush();
}

} // namespace kd
