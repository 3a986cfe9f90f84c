#pragma once

// One run at a time in a folder: the scratch files have fixed names, so a
// second run would mix its results into the first run's files or remove them.
// The run holds an exclusive lock (flock) on the lock file in its current
// directory for its whole life; the lock goes with the process. The lock file
// itself stays: removing it would let a later run lock a new file while an
// earlier one still holds the old.

#include "OutputNames.h"

#include <string>

namespace kd {

class RunFolderLock {
public:
    enum class Outcome { Taken, Busy, Failed };

    RunFolderLock() = default;
    ~RunFolderLock();
    RunFolderLock(const RunFolderLock&) = delete;
    RunFolderLock& operator=(const RunFolderLock&) = delete;

    // Takes the lock without waiting. Failed: the lock file cannot be opened
    // (or is not a regular file); problem() says why.
    Outcome acquire();
    const std::string& problem() const { return m_problem; }

private:
    int m_fd = -1;
    std::string m_problem;
};

} // namespace kd
