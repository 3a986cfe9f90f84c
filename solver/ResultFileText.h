#pragma once

// Texts and the copy into the report that the result files of both analyses
// share.

namespace kd {

class OutputChannel;

inline constexpr const char* kRealImagHeading = "FREQUENCY        REAL PART    IMAG PART            ";
inline constexpr const char* kFactorUnitsHeading = "   (HZ)         ";

// The three heading lines of a result file.
void writeHeading(OutputChannel& out, const char* first, const char* second, const char* third);

// Copies a closed result file into the report: two empty lines, the block
// title, an empty line, the three heading lines as 80-character fields, then
// nfreq result lines read and written with `values` values each (a value
// missing at the end of a line reads as 0).
void copyResultFileToReport(OutputChannel& report, const char* file, const char* blockTitle, int values, int nfreq);

} // namespace kd
