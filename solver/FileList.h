#pragma once

// The file list "names.dat": six lines, one file name each: 1 project file,
// 2 report, 3 plot data file, 4 run notes, 5 and 6 unused. Names are kept
// whole (line end and trailing blanks removed); a long path is never cut.

#include <array>
#include <optional>
#include <string>

namespace kd {

struct FileList {
    std::array<std::string, 7> names{};  // 1-based; blank when missing
    bool complete = false;               // all six lines were read
};

FileList readFileList(const std::string& path);

// Console lines for a list that is missing or short.
inline constexpr const char* kFileListMessage1 = " PLEASE CREATE AN INPUT DATA FILE AND SAVE IT";
inline constexpr const char* kFileListMessage2 = " BEFORE COMPUTATION.  TRY IT AGAIN!";

// Checks names 1 to 4 before anything is opened: all present, four different
// files, none of them a scratch file of the current directory. Returns the
// message for the console, or nothing when the list can be used.
std::optional<std::string> checkFileList(const FileList& list);

} // namespace kd
