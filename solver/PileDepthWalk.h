#pragma once

namespace kd {

struct SharedStorage;

// Walks down the sublayers to the pile tip: the number of sublayers the pile
// spans, or 0 when the pile reaches below the soil column (the walk passes
// through the zero-thickness entries beyond the last sublayer and gives up
// after 50). A remainder below 0.001 snaps the depth to the pile length; the
// last sublayer counts when at least half of it lies above the tip (a tip at
// its middle within the rounding of the project file's digits counts as half).
int pileDepthWalk(const SharedStorage& storage, double pileLength);

} // namespace kd
