#pragma once

// The console line the analysis program prints before each frequency of each
// of its two stages, and that the front end counts as progress: the stage's
// text, then the frequency as F10.2 (a run prints 2 x NFREQ of them).

#include <string>
#include <string_view>

namespace kd {

enum class AnalysisStage { Horizontal, VerticalRocking };

inline constexpr int kProgressLinesPerFrequency = 2;  // one per stage

// frequencyField is the frequency's F10.2 text.
std::string frequencyProgressLine(AnalysisStage stage, const std::string& frequencyField);
// A console line (without its line end) that reports one frequency of a stage.
bool isFrequencyProgressLine(std::string_view line);

} // namespace kd
