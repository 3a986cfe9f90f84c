#pragma once

// The plot data file: the count record, the horizontal plot lines moved over
// from the scratch file "pldata1" (blocks 1 and 2, E10.3 fields), then the
// vertical and rocking lines (blocks 3 and 4, result line layout). Every data
// line holds f, 1.0, the real and the imaginary part of one result.

#include "Complex.h"

#include <string>

namespace kd {

class OutputChannel;

// Plot line layout: a blank, then four E10.3 fields each followed by a blank.
std::string plotLine(double a, double b, double c, double d);

// Reads "pldata1" from its start and writes the count record (with the units
// flag) and the 3 NF horizontal lines to `plot`. Returns NF.
int transferHorizontalPlotLines(const std::string& scratchPath, int iunits, OutputChannel& plot);

// A line of blocks 3 and 4: f, 1.0, Re, Im in the result line layout.
void writePlotResult(OutputChannel& plot, double frequency, Cx value);

} // namespace kd
