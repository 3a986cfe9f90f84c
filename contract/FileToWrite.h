#pragma once

// Opening a file that a program writes whole (kdcalc's outputs, the file list
// kdfilelist writes): never through a final symbolic link, only a regular
// file, and never into the other names of a hard-linked file.

#include <cstddef>
#include <functional>
#include <string>
#include <sys/types.h>

struct stat;

namespace kd {

struct FileToWrite {
    enum class Problem {
        None,          // fd is open for writing, emptied, blocking
        SymbolicLink,  // the name is a symbolic link (dangling or not)
        NotRegular,    // a directory, FIFO, device or socket
        Refused,       // the caller's check refused the file: `refusal` says why
        System,        // the system refused: `error` holds errno
    };
    int fd = -1;
    Problem problem = Problem::None;
    int error = 0;
    std::string refusal;
    dev_t dev = 0;  // identity of the opened file
    ino_t ino = 0;
};

// Why a file must not be written (empty: it may), given its status.
using FileCheck = std::function<std::string(const struct stat&)>;

// Opens `path` for writing and empties it. The file is checked before it is
// emptied: by kind, then by `check` (may be empty). A regular file with other
// names (hard links) keeps its content under them: `path` gets a new file of
// its own. A FIFO without a reader fails at once instead of blocking. On any
// problem nothing is changed and fd is -1.
FileToWrite openFileToWrite(const std::string& path, const FileCheck& check);

// Writes size bytes at data to fd, through short and interrupted writes.
// Returns 0, or the errno of the write that failed (ENOSPC for one that
// wrote nothing).
int writeWhole(int fd, const char* data, std::size_t size);

} // namespace kd
