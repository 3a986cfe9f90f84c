#pragma once

// The analysis program's main routine: one run in the current directory,
// driven by the file list "names.dat". Returns the exit status: 0 for a
// complete run, non-zero when the run was refused or failed (the console
// says why, and no result file or plot data file of the run is left).

namespace kd {

int SOLVER_MAIN();

} // namespace kd
