#include "ProgressLine.h"

namespace kd {

namespace {

constexpr std::string_view kHorizontalPrefix = " HORIZONTAL BEHAVIOR, AT FREQUENCY = ";
constexpr std::string_view kVerticalPrefix = " VERTICAL/ROCKING BEHAVIOR, AT FREQUENCY = ";

} // namespace

std::string frequencyProgressLine(AnalysisStage stage, const std::string& frequencyField)
{
    return std::string(stage == AnalysisStage::Horizontal ? kHorizontalPrefix : kVerticalPrefix) + frequencyField;
}

bool isFrequencyProgressLine(std::string_view line)
{
    return line.substr(0, kHorizontalPrefix.size()) == kHorizontalPrefix ||
           line.substr(0, kVerticalPrefix.size()) == kVerticalPrefix;
}

} // namespace kd
