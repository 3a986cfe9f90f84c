#pragma once

// The pair runs of a group analysis: one computation per pile pair i < j, in
// the order i outer, j inner, whose results are applied in that same order.
//
// A pair's result depends only on the exact values of its key (distance and
// direction weights), so the fast path computes each distinct key once per
// call and runs the distinct computations of a block of pairs on all workers;
// the results are then applied in pair order, which keeps every
// order-dependent sum as in the sequential loop. Memory stays bounded: one
// block of pairs and a cache of at most kPairCacheLimit results, all sized
// once per call (open-addressing tables): nothing allocates per pair.

#include "WorkerPool.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
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

// Key -> int table with linear probing, sized for at most `capacity` keys and
// never grown; clear() resets only the slots in use.
template <std::size_t K>
class PairKeyTable {
public:
    explicit PairKeyTable(std::size_t capacity)
    {
        std::size_t slots = 16;
        while (slots < 2 * capacity)
            slots *= 2;
        m_slots.resize(slots);
        m_used.reserve(capacity);
        m_capacity = capacity;
    }
    bool full() const { return m_used.size() >= m_capacity; }
    // The value of `key`, or -1.
    int find(const PairKey<K>& key) const
    {
        for (std::size_t s = slotOf(key);; s = (s + 1) & (m_slots.size() - 1)) {
            const Slot& slot = m_slots[s];
            if (slot.value < 0)
                return -1;
            if (slot.key == key)
                return slot.value;
        }
    }
    // Adds a key that is not in the table (value >= 0); ignored when full.
    void insert(const PairKey<K>& key, int value)
    {
        if (full())
            return;
        std::size_t s = slotOf(key);
        while (m_slots[s].value >= 0)
            s = (s + 1) & (m_slots.size() - 1);
        m_slots[s] = Slot{key, value};
        m_used.push_back(s);
    }
    void clear()
    {
        for (std::size_t s : m_used)
            m_slots[s].value = -1;
        m_used.clear();
    }

private:
    struct Slot {
        PairKey<K> key;
        int value = -1;  // -1: empty
    };
    // The hash's bits mixed (round numbers such as grid distances leave the
    // low bits of their doubles zero), then cut to the table.
    std::size_t slotOf(const PairKey<K>& key) const
    {
        std::uint64_t x = PairKeyHash<K>{}(key);
        x ^= x >> 33;
        x *= 0xff51afd7ed558ccdull;
        x ^= x >> 33;
        x *= 0xc4ceb9fe1a85ec53ull;
        x ^= x >> 33;
        return static_cast<std::size_t>(x) & (m_slots.size() - 1);
    }

    std::vector<Slot> m_slots;
    std::vector<std::size_t> m_used;
    std::size_t m_capacity = 0;
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
    const std::size_t pairs = static_cast<std::size_t>(piles) * static_cast<std::size_t>(std::max(piles - 1, 0)) / 2;
    const std::size_t blockSize = std::min(kPairBlock, std::max<std::size_t>(pairs, 1));
    const std::size_t cacheSize = std::min(kPairCacheLimit, std::max<std::size_t>(pairs, 1));
    PairKeyTable<K> cache(cacheSize);   // key -> index into cached
    PairKeyTable<K> pending(blockSize); // key -> task of the current block
    std::vector<Result> cached;
    cached.reserve(cacheSize);
    struct BlockPair {
        int i, j;
        int task;   // index into results, or -1 for a cached result
        int entry;  // index into cached when task < 0
    };
    std::vector<BlockPair> block;
    std::vector<Key> tasks;
    std::vector<Result> results;
    block.reserve(blockSize);
    tasks.reserve(blockSize);
    results.reserve(blockSize);

    auto flush = [&] {
        results.assign(tasks.size(), Result{});
        pool->parallelFor(static_cast<int>(tasks.size()),
                          [&](int t, int worker) { results[static_cast<std::size_t>(t)] = compute(tasks[static_cast<std::size_t>(t)].values(), worker); });
        for (std::size_t t = 0; t < tasks.size() && !cache.full(); ++t) {
            cache.insert(tasks[t], static_cast<int>(cached.size()));
            cached.push_back(results[t]);
        }
        for (const auto& p : block)
            apply(p.i, p.j, p.task < 0 ? cached[static_cast<std::size_t>(p.entry)] : results[static_cast<std::size_t>(p.task)]);
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
            BlockPair p{i, j, -1, -1};
            if (const int hit = cache.find(key); hit >= 0) {
                p.entry = hit;
            } else if (const int queued = pending.find(key); queued >= 0) {
                p.task = queued;
            } else {
                p.task = static_cast<int>(tasks.size());
                pending.insert(key, p.task);
                tasks.push_back(key);
            }
            block.push_back(p);
            if (block.size() == blockSize)
                flush();
        }
    }
    flush();
}

} // namespace kd
