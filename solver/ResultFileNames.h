#pragma once

// Fixed names of the files the analysis program keeps in its current
// directory besides the horizontal result files (see RunChannels.h).

namespace kd {

inline constexpr const char* kPlotScratchName = "pldata1";

// Vertical and rocking result files.
inline constexpr const char* kStGrpKvv = "STGRPKVV.CBM";
inline constexpr const char* kStGrpKrx = "STGRPKRX.CBM";
inline constexpr const char* kStGrpKry = "STGRPKRY.CBM";
inline constexpr const char* kRtGrpKvv = "RTGRPKVV.CBM";
inline constexpr const char* kRtGrpKrx = "RTGRPKRX.CBM";
inline constexpr const char* kStSngKvv = "STSNGKVV.CBM";
inline constexpr const char* kRtSngKvv = "RTSNGKVV.CBM";
inline constexpr const char* kRtGrpKry = "RTGRPKRY.CBM";

inline constexpr const char* kVerticalResultFiles[] = {kStGrpKvv, kStGrpKrx, kStGrpKry, kRtGrpKvv,
                                                       kRtGrpKrx, kStSngKvv, kRtSngKvv, kRtGrpKry};

} // namespace kd
