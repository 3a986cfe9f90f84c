#include "ResultFileText.h"

#include "FortranFormat.h"
#include "FreeFormatReader.h"
#include "RecordFile.h"

namespace kd {

void writeHeading(OutputChannel& out, const char* first, const char* second, const char* third)
{
    out.line(first);
    out.line(second);
    out.line(third);
}

void copyResultFileToReport(OutputChannel& report, const char* file, const char* blockTitle, int values, int nfreq)
{
    FreeFormatReader in;
    in.open(file);
    report.emptyLine();
    report.emptyLine();
    report.line(blockTitle);
    report.emptyLine();
    for (int h = 0; h < 3; ++h)
        report.line(fmtA(in.readText(std::string("HEADING OF ") + file), 80));
    for (int i = 0; i < nfreq; ++i) {
        const auto v = parseResultLine(in.readText(std::string("DATA LINE OF ") + file), values, file);
        report.line(values == 3 ? resultLine(v.frequency, {v.values[0], v.values[1], v.values[2]})
                                : resultLine(v.frequency, {v.values[0], v.values[1]}));
    }
}

} // namespace kd
