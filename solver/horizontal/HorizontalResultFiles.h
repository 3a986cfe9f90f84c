#pragma once

// The horizontal result files ("*.CBM"), the plot scratch file "pldata1" and
// the copy of the result files into the report.

#include "Complex.h"

#include <vector>

namespace kd {

struct RunChannels;

// The values of one frequency that the result lines show.
struct HorizontalLines {
    double frequency = 0.0;
    Cx uff, up, dkshh;     // free field, single-pile head motion and stiffness
    Cx ustSingle, u0Single;
    Cx upp, dkghh;         // group head motion and stiffness
    Cx ustGroup, u0Group;
};

class HorizontalResultFiles {
public:
    HorizontalResultFiles(RunChannels& channels, int iunits, int nfreq, bool superstructure);

    // Headings at the first frequency, then the data lines of the frequency.
    void writeFrequency(const HorizontalLines& lines, bool first);
    // After the loop: the two factor files and the factor lines of "pldata1";
    // frequencies recomputed from the range as the loop formed them.
    void writeFactors(const std::vector<double>& frequencies, const std::vector<Cx>& groupFactors,
                      const std::vector<Cx>& singleFactors);
    // Closes the ten result files and copies them into the report.
    void closeAndCopyToReport();

private:
    RunChannels& m_ch;
    int m_iunits;
    int m_nfreq;
    bool m_superstructure;
};

} // namespace kd
