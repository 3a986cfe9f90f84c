#pragma once

// The file list "names.dat" that the front end writes into the analysis
// program's current directory: six lines, one file name each, CR LF:
// 1 project file, 2 report, 3 plot data file, 4 run notes, 5 and 6 unused
// (written as the run notes). Names are read whole (line end and trailing
// blanks removed); a long path is never cut. The writer refuses a name that
// would not read back as itself.

#include <array>
#include <optional>
#include <stdexcept>
#include <string>

namespace kd {

struct OutputNames;

inline constexpr const char* kFileListName = "names.dat";
inline constexpr int kFileListLines = 6;

// Line numbers of the list.
inline constexpr int kProjectLine = 1;
inline constexpr int kReportLine = 2;
inline constexpr int kPlotDataLine = 3;
inline constexpr int kRunNotesLine = 4;

struct FileList {
    std::array<std::string, kFileListLines + 1> names{};  // 1-based; blank when missing
    bool complete = false;                                // all six lines were read
};

// A project file name that the list cannot carry exactly.
class FileListRefused : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// A character that no name of the list holds: below 0x20 (a NUL would end
// the name where the file is opened) or DEL.
bool isFileListControl(char c);

// Why the list cannot carry projectPath exactly (a blank at its start or end,
// a line break or another control character): the message naming the file,
// with each control character shown as "?". Nothing when it can.
std::optional<std::string> fileListProblem(const std::string& projectPath);

// The list's text for a project: the project path and the names derived from
// it. Throws FileListRefused with fileListProblem's message.
std::string fileListText(const std::string& projectPath);
// The list's text for a project whose outputs are written under other names
// (the front end's run writes them in a folder of its own). Throws
// FileListRefused for the project as above, or naming an output the list
// cannot carry.
std::string fileListText(const std::string& projectPath, const OutputNames& outputs);

// Reads a list's text: up to six lines ended by LF or CR LF, the last one
// possibly without an end.
FileList parseFileList(const std::string& text);
// Reads the list at path; a file that cannot be read gives an empty, incomplete list.
FileList readFileList(const std::string& path);
// Writes fileListText(projectPath) at path the way kdcalc writes its outputs:
// never through a symbolic link, never into the other names of a hard-linked
// file (the list gets a file of its own) and never over the project file.
// Returns why the list was not written whole, naming the file; nothing when it
// was. A refused name throws FileListRefused before anything is written.
std::optional<std::string> writeFileList(const std::string& path, const std::string& projectPath);

} // namespace kd
