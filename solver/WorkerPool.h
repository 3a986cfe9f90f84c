#pragma once

// A fixed set of worker threads for loops whose iterations are independent.
// parallelFor hands out the indices 0..count-1 dynamically; the calling thread
// takes part, and the call returns when every index is done. Each index runs
// exactly once, on one worker, so results never depend on the scheduling as
// long as the iterations write disjoint data.

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace kd {

class WorkerPool {
public:
    // threads: the number of workers including the caller (at least 1).
    explicit WorkerPool(int threads);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    int size() const { return m_size; }

    // body(index, worker) with worker in 0..size()-1, unique among the calls
    // running at the same time (for per-worker scratch). An exception thrown
    // by any call (on a worker or on the caller's own share) stops handing out
    // indices; once every worker has finished its current call, the first
    // exception is rethrown on the caller and the pool stays usable.
    void parallelFor(int count, const std::function<void(int index, int worker)>& body);

private:
    void workerLoop(int worker);
    void runShare(int worker);
    void stopWorkers();

    int m_size = 1;
    std::vector<std::thread> m_threads;
    std::mutex m_mutex;
    std::condition_variable m_start;
    std::condition_variable m_done;
    const std::function<void(int, int)>* m_body = nullptr;
    int m_count = 0;
    int m_next = 0;
    int m_busy = 0;
    std::exception_ptr m_error;  // first exception of the current loop
    unsigned m_generation = 0;
    bool m_stop = false;
};

// Splits first..last into contiguous ranges and runs body(from, to) on each:
// on the pool when there is one and the work (items times workPerItem) is
// worth the hand-over, else at once on the calling thread.
template <class Body>
void forColumnRanges(WorkerPool* pool, int first, int last, long long workPerItem, Body&& body)
{
    const int items = last - first + 1;
    if (items <= 0)
        return;
    constexpr long long kMinimumWork = 1 << 15;
    if (!pool || pool->size() == 1 || static_cast<long long>(items) * workPerItem < kMinimumWork) {
        body(first, last);
        return;
    }
    const int chunks = std::min(items, pool->size() * 4);
    pool->parallelFor(chunks, [&](int c, int) {
        const int from = first + static_cast<int>(static_cast<long long>(items) * c / chunks);
        const int to = first + static_cast<int>(static_cast<long long>(items) * (c + 1) / chunks) - 1;
        if (from <= to)
            body(from, to);
    });
}

} // namespace kd
