#pragma once

// The vertical and rocking stage of a run: reads the project file again,
// turns the plot scratch file into the plot data file, runs its own frequency
// loop and appends its results to the report.

namespace kd {

struct ProjectInput;
struct RunChannels;
struct SharedStorage;

// `horizontalInput` is the project as the horizontal stage read it: the
// project file read again must hold the same data (RecordError otherwise), so
// that both stages work on one checked project.
void VERTICAL_ROCKING(SharedStorage& storage, RunChannels& channels, const ProjectInput& horizontalInput);

} // namespace kd
