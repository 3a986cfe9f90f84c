#pragma once

// The vertical and rocking stage of a run: reads the project file again,
// turns the plot scratch file into the plot data file, runs its own frequency
// loop and appends its results to the report.

#include "RunOptions.h"

namespace kd {

struct RunChannels;
struct SharedStorage;

// resources: the run's worker pool and kernel path, as the horizontal stage had them.
void VERTICAL_ROCKING(SharedStorage& storage, RunChannels& channels, const RunResources& resources = {});

} // namespace kd
