#include "RunOptions.h"

#include "WorkerPool.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

namespace kd {

RunOptions runOptionsFromEnvironment()
{
    RunOptions o;
    const char* seq = std::getenv("KDCALC_SEQUENTIAL");
    o.sequential = seq && *seq && std::string(seq) != "0";
    const unsigned cores = std::thread::hardware_concurrency();
    o.threads = cores > 0 ? static_cast<int>(cores) : 1;
    if (const char* t = std::getenv("KDCALC_THREADS")) {
        const int n = std::atoi(t);
        if (n >= 1 && n <= 1024)
            o.threads = n;
    }
    if (o.sequential)
        o.threads = 1;
    return o;
}

WorkerPool* runPool()
{
    static const RunOptions options = runOptionsFromEnvironment();
    if (options.sequential)
        return nullptr;
    static std::unique_ptr<WorkerPool> pool = std::make_unique<WorkerPool>(options.threads);
    return pool.get();
}

} // namespace kd
