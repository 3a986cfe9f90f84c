#pragma once

// The files one run writes through record channels: the report (3), the run
// notes (15), the plot scratch file (14) and the ten horizontal result files,
// which one table describes: name, channel, where their copy stands in the
// report. Opening, closing, copying and clean-up all go by that table.

#include "RecordFile.h"
#include "ResultFileNames.h"

#include <array>
#include <cstddef>

namespace kd {

struct RunChannels {
    OutputChannel report;    // 3
    OutputChannel notes;     // 15
    OutputChannel plotData;  // 14: "pldata1", later the plot data file
    // The horizontal result files, channels 4 to 13 (kHorizontalResultFiles).
    OutputChannel trnPlSsw, trnStSsw, rtGrpKhh, stSngKhh, rtSngKhh, trnFdSsw, stGrpKhh, trnPlGsw, trnStGsw, trnFdGsw;
};

enum class ReportPart { SinglePile, PileGroup };

struct HorizontalResultFile {
    const char* name;
    int channel;
    OutputChannel RunChannels::*member;
    ReportPart part;          // the report block its copy stands under
    bool superstructureOnly;  // copied into the report only with a superstructure
};

// In the order of their copies in the report.
inline constexpr HorizontalResultFile kHorizontalResultFiles[] = {
    {"TRNPLSSW.CBM", 4, &RunChannels::trnPlSsw, ReportPart::SinglePile, false},
    {"TRNSTSSW.CBM", 5, &RunChannels::trnStSsw, ReportPart::SinglePile, true},
    {"TRNFDSSW.CBM", 9, &RunChannels::trnFdSsw, ReportPart::SinglePile, true},
    {"STSNGKHH.CBM", 7, &RunChannels::stSngKhh, ReportPart::SinglePile, false},
    {"RTSNGKHH.CBM", 8, &RunChannels::rtSngKhh, ReportPart::SinglePile, false},
    {"TRNPLGSW.CBM", 11, &RunChannels::trnPlGsw, ReportPart::PileGroup, false},
    {"TRNSTGSW.CBM", 12, &RunChannels::trnStGsw, ReportPart::PileGroup, true},
    {"TRNFDGSW.CBM", 13, &RunChannels::trnFdGsw, ReportPart::PileGroup, true},
    {"STGRPKHH.CBM", 10, &RunChannels::stGrpKhh, ReportPart::PileGroup, false},
    {"RTGRPKHH.CBM", 6, &RunChannels::rtGrpKhh, ReportPart::PileGroup, false},
};
inline constexpr std::size_t kHorizontalFileCount = std::size(kHorizontalResultFiles);

// The table in the order of the channels (4 to 13): the order the files are
// opened and closed.
std::array<const HorizontalResultFile*, kHorizontalFileCount> horizontalFilesByChannel();

// Every file a run writes in its current directory: "pldata1", the
// horizontal and the vertical result files. Fixed size: the clean-up after a
// failed allocation allocates nothing.
inline constexpr std::size_t kScratchFileCount = 1 + kHorizontalFileCount + std::size(kVerticalResultFiles);
std::array<const char*, kScratchFileCount> scratchFileNames();

} // namespace kd
