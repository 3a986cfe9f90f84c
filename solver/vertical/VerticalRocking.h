#pragma once

// The vertical and rocking stage of a run: reads the project file again,
// turns the plot scratch file into the plot data file, runs its own frequency
// loop and appends its results to the report.

#include "RunOptions.h"

namespace kd {

struct ProjectInput;
struct RunChannels;
struct SharedStorage;

// `horizontalInput` is the project as the horizontal stage read it: the
// project file read again must hold the same data (RecordError otherwise), so
// that both stages work on one checked project. `resources`: the run's worker
// pool and kernel path, as the horizontal stage had them.
void VERTICAL_ROCKING(SharedStorage& storage, RunChannels& channels, const ProjectInput& horizontalInput,
                      const RunResources& resources = {});

} // namespace kd
