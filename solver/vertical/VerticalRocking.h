#pragma once

// The vertical and rocking stage of a run: reads the project file again,
// turns the plot scratch file into the plot data file, runs its own frequency
// loop and appends its results to the report.

namespace kd {

struct RunChannels;
struct SharedStorage;

void VERTICAL_ROCKING(SharedStorage& storage, RunChannels& channels);

} // namespace kd
