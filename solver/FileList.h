#pragma once

// The analysis program's checks of the file list "names.dat" (its layout,
// reading and writing: FileListLayout.h).

#include "FileListLayout.h"

#include <optional>
#include <string>

namespace kd {

// Console lines for a list that is missing or short.
inline constexpr const char* kFileListMessage1 = " PLEASE CREATE AN INPUT DATA FILE AND SAVE IT";
inline constexpr const char* kFileListMessage2 = " BEFORE COMPUTATION.  TRY IT AGAIN!";

// Reads the list the way the analysis program reads every input: a regular
// file only, no line beyond kMaxLineLength (RecordError). A list that does
// not exist gives an empty, incomplete list; one that exists but cannot be
// read (a directory, not a regular file, no permission) sets `unreadable` to
// the reason, for the console, and gives an empty list.
FileList readRunFileList(const std::string& path, std::string& unreadable);

// Checks the names before anything is opened: no control character in any
// of them (a NUL would end the name where the file is opened), names 1 to 4
// present, four different files, none of them a scratch file of the current
// directory. Returns the message for the console, or nothing when the list
// can be used.
std::optional<std::string> checkFileList(const FileList& list);

} // namespace kd
