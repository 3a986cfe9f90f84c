#pragma once

// Fixed names of the files the analysis program keeps in its current directory.

namespace kd {

inline constexpr const char* kFileListName = "names.dat";
inline constexpr const char* kPlotScratchName = "pldata1";

// Horizontal result files, by record channel 4 to 13.
inline constexpr const char* kTrnPlSsw = "TRNPLSSW.CBM";
inline constexpr const char* kTrnStSsw = "TRNSTSSW.CBM";
inline constexpr const char* kRtGrpKhh = "RTGRPKHH.CBM";
inline constexpr const char* kStSngKhh = "STSNGKHH.CBM";
inline constexpr const char* kRtSngKhh = "RTSNGKHH.CBM";
inline constexpr const char* kTrnFdSsw = "TRNFDSSW.CBM";
inline constexpr const char* kStGrpKhh = "STGRPKHH.CBM";
inline constexpr const char* kTrnPlGsw = "TRNPLGSW.CBM";
inline constexpr const char* kTrnStGsw = "TRNSTGSW.CBM";
inline constexpr const char* kTrnFdGsw = "TRNFDGSW.CBM";

// Vertical and rocking result files.
inline constexpr const char* kStGrpKvv = "STGRPKVV.CBM";
inline constexpr const char* kStGrpKrx = "STGRPKRX.CBM";
inline constexpr const char* kStGrpKry = "STGRPKRY.CBM";
inline constexpr const char* kRtGrpKvv = "RTGRPKVV.CBM";
inline constexpr const char* kRtGrpKrx = "RTGRPKRX.CBM";
inline constexpr const char* kStSngKvv = "STSNGKVV.CBM";
inline constexpr const char* kRtSngKvv = "RTSNGKVV.CBM";
inline constexpr const char* kRtGrpKry = "RTGRPKRY.CBM";

inline constexpr const char* kAllScratchFiles[] = {
    kPlotScratchName, kTrnPlSsw, kTrnStSsw, kRtGrpKhh, kStSngKhh, kRtSngKhh, kTrnFdSsw, kStGrpKhh, kTrnPlGsw,
    kTrnStGsw,        kTrnFdGsw, kStGrpKvv, kStGrpKrx, kStGrpKry, kRtGrpKvv, kRtGrpKrx, kStSngKvv, kRtSngKvv,
    kRtGrpKry,
};

} // namespace kd
