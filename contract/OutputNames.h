#pragma once

// The names of a run's files, derived from the project path: the report,
// the plot data file and the run notes beside the project, or under the same
// file names in another folder.

#include <string>

namespace kd {

inline constexpr const char* kProjectExtension = ".kld";
inline constexpr const char* kReportExtension = ".klo";
inline constexpr const char* kPlotDataExtension = ".klp";
inline constexpr const char* kRunNotesExtension = ".klr";
inline constexpr const char* kOutputExtensions[] = {kReportExtension, kPlotDataExtension, kRunNotesExtension};

// The file in its current directory on which a run holds its lock; it stays
// after the run.
inline constexpr const char* kRunLockName = "kdcalc.lock";

// path with its extension (from the last "." of the file name on) replaced
// by ext, which includes its "."; appended when there is none. Both "/" and
// "\" end a folder name.
std::string changeFileExtension(const std::string& path, const std::string& ext);

struct OutputNames {
    std::string report;
    std::string plotData;
    std::string runNotes;
};

OutputNames outputNamesFor(const std::string& projectPath);
// The file names of outputNamesFor(projectPath) in `folder` (a run that
// writes its outputs in a folder of its own).
OutputNames outputNamesIn(const std::string& folder, const std::string& projectPath);

} // namespace kd
