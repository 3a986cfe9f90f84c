#pragma once

// Projects and in-process runs of the horizontal and the vertical analysis for
// the tests: the output channels keep their lines in memory.

#include "HorizontalAnalysis.h"
#include "PileDepthWalk.h"
#include "ProjectInput.h"
#include "RunChannels.h"
#include "SharedStorage.h"
#include "SublayerModel.h"
#include "VerticalAnalysis.h"

#include <cmath>
#include <memory>
#include <vector>

namespace kdtest {

// Two layers (3 + 2 sublayers) over a rigid base, SI-like values.
inline kd::ProjectInput twoLayerProject()
{
    kd::ProjectInput in;
    in.title = "analysis test";
    in.iunits = 2;
    in.layers = {{3, 3.0, 100.0, 0.3, 1.8, 0.05}, {2, 4.0, 200.0, 0.35, 2.0, 0.03}};
    in.ep = 2.5e7;
    in.ip = 0.0049087385;
    in.ap = 0.19634954;
    in.poissonp = 0.25;
    in.r = 0.25;
    in.roup = 2.5;
    in.dampp = 0.01;
    in.length = 5.0;
    in.x = {0.0};
    in.y = {0.0};
    in.nfreq = 1;
    return in;
}

struct HorizontalRun {
    kd::SharedStorage storage;
    kd::Matrix<kd::Cx> moduli;
    kd::RunChannels channels;
    kd::ProjectInput input;
    std::unique_ptr<kd::HorizontalAnalysis> analysis;

    explicit HorizontalRun(const kd::ProjectInput& in) : input(in)
    {
        kd::fillHorizontalStorage(storage, moduli, input);
        storage.nseg = kd::pileDepthWalk(storage, input.length);
        analysis = std::make_unique<kd::HorizontalAnalysis>(storage, moduli, input, channels);
        analysis->setUp();
    }

    // Runs the frequencies of the range; returns the values of each.
    std::vector<kd::HorizontalLines> run()
    {
        std::vector<kd::HorizontalLines> out;
        for (int i = 1; i <= input.nfreq; ++i) {
            kd::FrequencyState s;
            s.index = i;
            s.frequency = kd::frequencyOf(input, i);
            s.omega = s.frequency * 6.283180236816406;
            s.omega2 = s.omega * s.omega;
            s.first = i == 1;
            s.superstructure = input.spring > 0.0;
            analysis->runFrequency(s);
            out.push_back(analysis->lastLines());
        }
        return out;
    }
};

struct VerticalRun {
    kd::SharedStorage storage;
    kd::OutputChannel report, notes;
    kd::ProjectInput input;
    std::unique_ptr<kd::VerticalAnalysis> analysis;

    explicit VerticalRun(const kd::ProjectInput& in) : input(in)
    {
        analysis = std::make_unique<kd::VerticalAnalysis>(storage, input, report, notes);
        analysis->setUp();
    }

    std::vector<kd::VerticalResults> run()
    {
        std::vector<kd::VerticalResults> out;
        for (int i = 1; i <= input.nfreq; ++i) {
            const double f = kd::frequencyOf(input, i);
            const double omega = f * kd::kTwoPiVertical;
            out.push_back(analysis->runFrequency(f, omega * omega));
        }
        return out;
    }
};

inline double relDiff(kd::Cx a, kd::Cx b)
{
    const double scale = std::max(std::hypot(a.re, a.im), std::hypot(b.re, b.im));
    return scale == 0.0 ? 0.0 : std::hypot(a.re - b.re, a.im - b.im) / scale;
}

} // namespace kdtest
