#pragma once

// How a run is carried out; the results do not depend on it.
//   KDCALC_SEQUENTIAL  set to anything but "0": the straightforward sequential
//                      computation (one thread, no reuse of pair results)
//   KDCALC_THREADS     number of threads of the fast path (default: all cores)

namespace kd {

class WorkerPool;

struct RunOptions {
    bool sequential = false;
    int threads = 1;
};

RunOptions runOptionsFromEnvironment();

// The pool of the fast path, created on first use with the environment's
// options; null on the sequential path.
WorkerPool* runPool();

} // namespace kd
