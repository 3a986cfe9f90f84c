// The check for overlapping piles on the largest groups the program takes:
// 2000 piles on a square grid, in one line along y (every pile within one
// diameter in x of all others: the sweep's worst case) and at seeded random
// positions.
#include "ProjectInput.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

kd::ProjectInput group(int layout)
{
    kd::ProjectInput in;
    in.r = 0.3;
    std::mt19937 random(15);
    std::uniform_real_distribution<double> position(0.0, 200.0);
    for (int i = 0; i < 2000; ++i) {
        if (layout == 0) {
            in.x.push_back(1.5 * (i % 45));
            in.y.push_back(1.5 * (i / 45));
        } else if (layout == 1) {
            in.x.push_back(0.0);
            in.y.push_back(0.75 * i);
        } else {
            in.x.push_back(position(random));
            in.y.push_back(position(random));
        }
    }
    return in;
}

void overlappingPiles(benchmark::State& state)
{
    const kd::ProjectInput in = group(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(kd::firstOverlappingPiles(in));
}

} // namespace

BENCHMARK(overlappingPiles)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
