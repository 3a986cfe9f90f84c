#include "HorizontalAnalysis.h"

namespace kd {

HorizontalAnalysis::HorizontalAnalysis(SharedStorage& storage, const Matrix<Cx>& moduli, const ProjectInput& input,
                                       RunChannels& channels)
    : m_storage(storage), m_moduli(moduli), m_input(input), m_channels(channels)
{
}

HorizontalAnalysis::~HorizontalAnalysis() = default;

void HorizontalAnalysis::setUp() {}

void HorizontalAnalysis::runFrequency(const FrequencyState&) {}

void HorizontalAnalysis::finish() {}

} // namespace kd
