#include "PlotDataFile.h"

#include "FortranFormat.h"
#include "FreeFormatReader.h"
#include "RecordError.h"
#include "RecordFile.h"
#include "SharedStorage.h"

namespace kd {

std::string plotLine(double a, double b, double c, double d)
{
    return " " + fmtE(a, 10, 3) + " " + fmtE(b, 10, 3) + " " + fmtE(c, 10, 3) + " " + fmtE(d, 10, 3) + " ";
}

int transferHorizontalPlotLines(const std::string& scratchPath, int iunits, OutputChannel& plot)
{
    FreeFormatReader in;
    in.open(scratchPath);
    const int nf = in.readValues(1, "1 OF pldata1").integer(0, "NUMBER OF FREQUENCIES");
    // The count sizes the loop below: never beyond the program's capacity.
    if (nf < 1 || nf > kMaxFrequencies)
        throw RecordError("CANNOT READ RECORD 1 OF pldata1 OF FILE " + scratchPath + ": NUMBER OF FREQUENCIES = " +
                          std::to_string(nf) + " MUST BE FROM 1 TO " + std::to_string(kMaxFrequencies));
    plot.line(fmtI(nf, 12) + fmtI(iunits, 12));
    for (int i = 0; i < 3 * nf; ++i) {
        const auto rec = in.readValues(3, "PLOT LINE " + std::to_string(i + 1) + " OF pldata1");
        plot.line(plotLine(rec.real(0, "FREQUENCY"), 1.0, rec.real(1, "REAL PART"), rec.real(2, "IMAG PART")));
    }
    return nf;
}

void writePlotResult(OutputChannel& plot, double frequency, Cx value)
{
    plot.line(resultLine(frequency, {1.0, value.re, value.im}));
}

} // namespace kd
