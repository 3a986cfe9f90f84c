#include "RunOptions.h"

#include "WorkerPool.h"

#include <cstdlib>
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
    KernelPath kernels = bestKernelPath();
    if (kernelPathFromName(std::getenv("KDCALC_KERNELS"), kernels))
        kernels = usableKernelPath(kernels);
    o.kernels = kernels;
    return o;
}

std::unique_ptr<WorkerPool> makeWorkerPool(const RunOptions& options)
{
    if (options.sequential)
        return nullptr;
    return std::make_unique<WorkerPool>(options.threads);
}

} // namespace kd
