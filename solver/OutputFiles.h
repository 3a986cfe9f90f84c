#pragma once

// The files a run writes, and what they must never be. An output is opened
// without following a final symbolic link, only as a regular file, and never
// as a file the run reads (the project file, the file list, the folder's
// lock file) or as another output under a second name. The run keeps the
// identity (device and inode) of every output it opened, so that the clean-up
// of a failed run removes exactly those files and nothing else.
//
// The record of opened outputs belongs to the process: one process is one run.

#include <optional>
#include <string>
#include <vector>

namespace kd {

struct NamedFile {
    std::string role;  // "REPORT", "SCRATCH FILE", ... as the console names it
    std::string name;
};

// Remembers an existing file the run reads; no output may be the same file.
// A name that does not exist is ignored.
void protectInputFile(const std::string& path);

// Checks, before anything is written, every output name that already exists:
// not a symbolic link, a regular file, not the same file as a protected input
// or as an earlier output in the list. Returns the console line of the first
// problem, or nothing.
std::optional<std::string> checkOutputNames(const std::vector<NamedFile>& outputs);

// Opens `path` for writing, emptied, and returns its descriptor; throws
// RecordError when the name is a symbolic link, not a regular file, a
// protected input or another output of this run. A file with other names
// (hard links) is left to them: the name gets a new file.
int openOutputFile(const std::string& path);

// Removes `path` when it is a regular file (a link or anything else stays).
// Returns the error (errno) of a removal that failed, 0 otherwise.
int removeRegularFile(const std::string& path);

// Failed-run clean-up: removes each output this run opened, except those named
// in `keep`, if the name still holds the very file the run opened.
void removeOutputsOfThisRun(const std::vector<std::string>& keep);

// Forgets the protected inputs and the opened outputs: a new run in the same
// process.
void forgetRunFiles();

} // namespace kd
