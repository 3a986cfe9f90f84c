#pragma once

// The horizontal single-pile and pile-group analysis: set up once per run,
// then one call per frequency, then the factor files and the copy of the
// result files into the report.

#include "Complex.h"
#include "HorizontalResultFiles.h"
#include "Matrix.h"
#include "RunOptions.h"

#include <memory>

namespace kd {

struct ProjectInput;
struct RunChannels;
struct SharedStorage;

struct FrequencyState {
    int index = 0;          // 1 to NFREQ
    double frequency = 0.0; // Hz
    double omega = 0.0;     // circular frequency
    double omega2 = 0.0;
    bool first = false;     // first frequency of the run
    bool superstructure = false;
};

class HorizontalAnalysis {
public:
    // resources: the run's worker pool (none: the sequential computation) and kernel path.
    HorizontalAnalysis(SharedStorage& storage, Matrix<Cx>& moduli, const ProjectInput& input,
                       RunChannels& channels, const RunResources& resources = {});
    ~HorizontalAnalysis();

    // Frequency-independent soil matrices.
    void setUp();
    void runFrequency(const FrequencyState& state);
    // Factor files, closing the result files and copying them into the report.
    void finish();

    // The values of the last frequency run (for the tests of the analysis).
    const HorizontalLines& lastLines() const;

    struct Run;

private:
    std::unique_ptr<Run> m_run;
};

} // namespace kd
