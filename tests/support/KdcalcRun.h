#pragma once

#include <string>

namespace kdtest {

struct RunResult {
    int status = -1;     // exit status, -1 when the program did not exit normally
    std::string console; // standard output and standard error
};

// Runs kdcalc with `dir` as its current directory, as the front end starts it;
// `environment` is a list of NAME=value words set for the program. A run
// longer than kRunTimeLimitSeconds (KdcalcProcess.h) is killed.
RunResult runKdcalc(const std::string& dir, const std::string& environment = std::string());

// Writes names.dat in `dir` for a project `base` + ".kld" in the same folder,
// as the front end writes it.
void writeFileList(const std::string& dir, const std::string& base);

} // namespace kdtest
