// kdcalc: the analysis program. No arguments; driven by "names.dat" in the
// current directory.
#include "RunDriver.h"

int main() { return kd::SOLVER_MAIN(); }
