#pragma once

// What the analysis accepts and what both programs size their tables by.

namespace kd {

inline constexpr int kMaxLayers = 40;          // soil layers of a project
inline constexpr int kMaxTotalSublayers = 40;  // sublayers of all layers together
inline constexpr int kMaxPiles = 2000;
inline constexpr int kMaxFrequencies = 100;
// Frequencies lie from 0 to below this: the largest whose F8.3 text fits its field (9999.999).
inline constexpr double kFrequencyLimit = 9999.9995;

} // namespace kd
