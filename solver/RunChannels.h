#pragma once

// The files one run writes, by their record channel: the report (3), the
// run notes (15), the plot scratch file (14) and the ten horizontal result
// files (4 to 13).

#include "RecordFile.h"

namespace kd {

struct RunChannels {
    OutputChannel report;    // 3
    OutputChannel notes;     // 15
    OutputChannel plotData;  // 14: "pldata1", later the plot data file
    OutputChannel trnPlSsw;  // 4
    OutputChannel trnStSsw;  // 5
    OutputChannel rtGrpKhh;  // 6
    OutputChannel stSngKhh;  // 7
    OutputChannel rtSngKhh;  // 8
    OutputChannel trnFdSsw;  // 9
    OutputChannel stGrpKhh;  // 10
    OutputChannel trnPlGsw;  // 11
    OutputChannel trnStGsw;  // 12
    OutputChannel trnFdGsw;  // 13
};

} // namespace kd
