// An exception inside a parallel loop ends the loop on the caller, after every
// worker has stopped, and leaves the pool usable.

#include "WorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <new>
#include <thread>
#include <stdexcept>
#include <vector>

using namespace kd;

TEST(WorkerPool, ExceptionOfAnyCallIsRethrownOnTheCaller)
{
    struct Case {
        const char* what;
        int index;   // the failing index, or -1
        int worker;  // the failing worker (0: the caller), or -1; the others wait until it has failed
    };
    const Case cases[] = {
        {"first index", 0, -1},
        {"a late index", 900, -1},
        {"the caller's own share", -1, 0},
        {"a worker's share", -1, 1},
    };
    for (int threads : {1, 3, 8}) {
        WorkerPool pool(threads);
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << threads << " threads, failing: " << c.what);
            if (c.worker >= threads)
                continue;
            std::atomic<int> running{0};
            std::atomic<int> afterReturn{0};
            std::atomic<bool> failed{false};
            std::atomic<bool> returned{false};
            try {
                pool.parallelFor(1000, [&](int index, int worker) {
                    ++running;
                    if (returned)
                        ++afterReturn;
                    const bool fail = index == c.index || worker == c.worker;
                    if (c.worker >= 0 && !fail) {
                        // Leave the work to the failing worker (bounded wait).
                        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
                        while (!failed && std::chrono::steady_clock::now() < until)
                            std::this_thread::yield();
                    }
                    --running;
                    if (fail) {
                        failed = true;
                        throw std::bad_alloc();
                    }
                });
                ADD_FAILURE() << "no exception";
            } catch (const std::bad_alloc&) {
            }
            returned = true;
            EXPECT_EQ(running.load(), 0);  // every worker has finished its call
            EXPECT_EQ(afterReturn.load(), 0);

            // The pool runs the next loop completely.
            std::vector<std::atomic<int>> hits(500);
            pool.parallelFor(500, [&](int index, int) { ++hits[static_cast<std::size_t>(index)]; });
            for (auto& h : hits)
                EXPECT_EQ(h.load(), 1);
        }
    }
}

TEST(WorkerPool, FirstOfSeveralExceptionsIsTheOneRethrown)
{
    WorkerPool pool(4);
    // Only one index throws a runtime_error; others that run before the stop
    // throw nothing. The type that arrives is the thrown one.
    EXPECT_THROW(pool.parallelFor(100, [](int index, int) {
        if (index == 10)
            throw std::runtime_error("index 10");
    }),
                 std::runtime_error);
}
