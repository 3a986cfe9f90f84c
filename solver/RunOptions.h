#pragma once

// How a run is carried out; the results do not depend on it.
//   KDCALC_SEQUENTIAL  set to anything but "0": the straightforward sequential
//                      computation (one thread, no reuse of pair results)
//   KDCALC_THREADS     number of threads of the fast path (default: all cores)
//   KDCALC_KERNELS     "portable", "avx2" or "avx512": the form of the pair
//                      and group-matrix kernels (default, or a form the
//                      processor lacks: the fastest it runs)

#include "PairKernels.h"

#include <memory>

namespace kd {

class WorkerPool;

struct RunOptions {
    bool sequential = false;
    int threads = 1;
    KernelPath kernels = KernelPath::Portable;
};

RunOptions runOptionsFromEnvironment();

// The worker pool of the fast path; null on the sequential path.
std::unique_ptr<WorkerPool> makeWorkerPool(const RunOptions& options);

// What the run driver hands down to both analyses.
struct RunResources {
    WorkerPool* pool = nullptr;  // null: the straightforward sequential computation
    KernelPath kernels = bestKernelPath();
};

} // namespace kd
