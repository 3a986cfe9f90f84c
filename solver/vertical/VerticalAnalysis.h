#pragma once

// The vertical and rocking analysis of one run: its own reading of the soil
// and pile data, the frequency-independent soil matrices, and per frequency
// the single-pile and group stiffness.

#include "Complex.h"
#include "RunOptions.h"

#include <memory>

namespace kd {

class OutputChannel;
struct ProjectInput;
struct SharedStorage;

struct VerticalResults {
    Cx dksvv;  // single pile, vertical
    Cx dkgvv;  // group, vertical
    Cx dkgrx;  // group, rocking from the x coordinates
    Cx dkgry;  // group, rocking from the y coordinates
};

class VerticalAnalysis {
public:
    // report: mode-solver messages; notes: symmetry messages.
    // resources: the run's worker pool (none: the sequential computation) and kernel path.
    VerticalAnalysis(SharedStorage& storage, const ProjectInput& input, OutputChannel& report, OutputChannel& notes,
                     const RunResources& resources = {});
    ~VerticalAnalysis();

    // Refills the shared sublayer and pile data from `input` (the vertical
    // analysis's own derivation of the moduli), walks the pile depth and forms
    // the soil matrices.
    void setUp();
    // omega2: the squared circular frequency, f the frequency in Hz.
    VerticalResults runFrequency(double f, double omega2);

    struct Run;

private:
    SharedStorage& m_storage;
    const ProjectInput& m_input;
    OutputChannel& m_report;
    OutputChannel& m_notes;
    RunResources m_resources;
    std::unique_ptr<Run> m_run;
};

// f times 2 pi in the form the vertical analysis uses.
inline constexpr double kTwoPiVertical = 6.283185307;

} // namespace kd
