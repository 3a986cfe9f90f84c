#include "VerticalRocking.h"

#include "FortranFormat.h"
#include "FreeFormatReader.h"
#include "PlotDataFile.h"
#include "ProgressLine.h"
#include "ProjectInput.h"
#include "RecordError.h"
#include "RecordFile.h"
#include "ResultFileNames.h"
#include "ResultFileText.h"
#include "RunChannels.h"
#include "SharedStorage.h"
#include "VerticalAnalysis.h"

#include <vector>

namespace kd {

namespace {


struct VerticalFiles {
    OutputChannel stGrpKvv;  // 4
    OutputChannel stGrpKrx;  // 5
    OutputChannel stGrpKry;  // 6
    OutputChannel rtGrpKvv;  // 7
    OutputChannel rtGrpKrx;  // 8
    OutputChannel stSngKvv;  // 9
    OutputChannel rtSngKvv;  // 10
    OutputChannel rtGrpKry;  // 12

    void closeAll()
    {
        for (OutputChannel* c : {&stGrpKvv, &stGrpKrx, &stGrpKry, &rtGrpKvv, &rtGrpKrx, &stSngKvv, &rtSngKvv, &rtGrpKry})
            c->close();
    }
};

void heading(OutputChannel& out, const char* title, const char* units)
{
    writeHeading(out, title, kRealImagHeading, units);
}

void stiffnessHeading(OutputChannel& out, const char* title, int iunits, bool rocking)
{
    if (iunits == 1)
        heading(out, title, rocking ? "   (HZ)         (LB-IN/RAD)  (LB-IN/RAD)             "
                                    : "   (HZ)           (LB/IN)      (LB/IN)             ");
    else if (iunits == 2)
        heading(out, title, rocking ? "   (HZ)         (kN-M/RAD)   (kN-M/RAD)              "
                                    : "   (HZ)           (kN/M)       (kN/M)              ");
}

void valueLine(OutputChannel& out, double f, Cx v) { out.line(resultLine(f, {v.re, v.im})); }

// A factor divides both parts by the real part of its static value. A static
// value of zero (every pile on the axis of the rocking) gives a factor of 0
// rather than 0/0.
Cx factor(Cx value, Cx staticValue)
{
    if (staticValue.re == 0.0)
        return Cx{};
    return Cx{value.re / staticValue.re, value.im / staticValue.re};
}

} // namespace

void VERTICAL_ROCKING(SharedStorage& st, RunChannels& ch, const ProjectInput& horizontalInput,
                      const RunResources& resources)
{
    // The plot channel leaves "pldata1" (complete on disk once closed) for the
    // plot data file.
    ch.plotData.close();
    ch.plotData.open(st.fileNames[3]);
    VerticalFiles files;
    files.stGrpKvv.open(kStGrpKvv);
    files.stGrpKrx.open(kStGrpKrx);
    files.stGrpKry.open(kStGrpKry);
    files.rtGrpKvv.open(kRtGrpKvv);
    files.rtGrpKrx.open(kRtGrpKrx);
    files.stSngKvv.open(kStSngKvv);
    files.rtSngKvv.open(kRtSngKvv);
    files.rtGrpKry.open(kRtGrpKry);

    const int plotFrequencies = transferHorizontalPlotLines(kPlotScratchName, st.iunits, ch.plotData);

    FreeFormatReader reader;
    reader.open(st.fileNames[1]);
    const ProjectInput in = readProjectInput(reader);
    reader.close();
    if (!(in == horizontalInput))
        throw RecordError("THE PROJECT FILE " + st.fileNames[1] + " WAS CHANGED DURING THE RUN");
    if (plotFrequencies != in.nfreq)
        throw RecordError(std::string("CANNOT READ RECORD 1 OF FILE ") + kPlotScratchName +
                          ": NUMBER OF FREQUENCIES = " + std::to_string(plotFrequencies) + " WHERE THE PROJECT HAS " +
                          std::to_string(in.nfreq));
    ch.report.emptyLine();

    VerticalAnalysis analysis(st, in, ch.report, ch.notes, resources);
    analysis.setUp();

    consoleLine(" ");
    consoleLine("");

    const int p = static_cast<int>(in.x.size());
    std::vector<double> freqs;
    std::vector<Cx> singleFactor, rockYFactor, rockXFactor, groupFactor;
    Cx sksvv, ns, sx, sy;
    for (int i = 1; i <= in.nfreq; ++i) {
        const double f = in.dfreq * static_cast<double>(i - 1) + in.freq0;
        const double omega = f * kTwoPiVertical;
        consoleLine(frequencyProgressLine(AnalysisStage::VerticalRocking, fmtF(f, 10, 2)));
        const VerticalResults r = analysis.runFrequency(f, omega * omega);

        if (i == 1) {
            stiffnessHeading(files.stSngKvv, "VERTICAL STIFFNESS OF SINGLE PILE BY CBM", st.iunits, false);
            // Static values of the run.
            sksvv = r.dksvv;
            ns = static_cast<double>(p) * sksvv;
            for (int a = 0; a < p; ++a) {
                const double x = in.x[static_cast<std::size_t>(a)];
                const double y = in.y[static_cast<std::size_t>(a)];
                sx = sx + (x * x) * sksvv;
                sy = sy + (y * y) * sksvv;
            }
        }
        valueLine(files.stSngKvv, f, r.dksvv);
        writePlotResult(ch.plotData, f, r.dksvv);

        freqs.push_back(f);
        groupFactor.push_back(factor(r.dkgvv, ns));
        rockXFactor.push_back(factor(r.dkgrx, sx));
        singleFactor.push_back(factor(r.dksvv, sksvv));
        rockYFactor.push_back(factor(r.dkgry, sy));

        if (i == 1) {
            stiffnessHeading(files.stGrpKvv, "VERTICAL STIFFNESS OF GROUP PILE BY CBM", st.iunits, false);
            stiffnessHeading(files.stGrpKrx, "ROCKING STIFFNESS OF GROUP PILES FOR X-DIR BY CBM", st.iunits, true);
            stiffnessHeading(files.stGrpKry, "ROCKING STIFFNESS OF GROUP PILES FOR Y-DIR BY CBM", st.iunits, true);
        }
        valueLine(files.stGrpKvv, f, r.dkgvv);
        valueLine(files.stGrpKrx, f, r.dkgrx);
        valueLine(files.stGrpKry, f, r.dkgry);
        writePlotResult(ch.plotData, f, r.dkgvv);
        writePlotResult(ch.plotData, f, r.dkgrx);
        writePlotResult(ch.plotData, f, r.dkgry);
    }

    heading(files.rtGrpKvv, "GROUP FACTOR DKGVV/(N*SKSVV) BY CBM", kFactorUnitsHeading);
    heading(files.rtGrpKrx, "GROUP FACTOR DKGRX/SUM(X*X*SKSVV) BY CBM", kFactorUnitsHeading);
    heading(files.rtGrpKry, "GROUP FACTOR DKGRY/SUM(Y*Y*SKSVV) BY CBM", kFactorUnitsHeading);
    heading(files.rtSngKvv, "SINGLE PILE FACTOR DKSVV/SKSVV BY CBM", kFactorUnitsHeading);
    for (std::size_t k = 0; k < freqs.size(); ++k) {
        const double f = freqs[k];
        valueLine(files.rtGrpKrx, f, rockXFactor[k]);
        writePlotResult(ch.plotData, f, rockXFactor[k]);
        valueLine(files.rtGrpKvv, f, groupFactor[k]);
        writePlotResult(ch.plotData, f, groupFactor[k]);
        valueLine(files.rtSngKvv, f, singleFactor[k]);
        valueLine(files.rtGrpKry, f, rockYFactor[k]);
    }

    consoleLine("");
    consoleLine(" COMPUTATION COMPLETED.");
    consoleLine("  CLOSE THE COMPUTATION SCREEN NOW!");
    consoleLine("");

    files.closeAll();
    const struct {
        const char* name;
        bool single;
    } blocks[] = {{kStSngKvv, true},  {kRtSngKvv, true},  {kStGrpKvv, false}, {kStGrpKrx, false},
                  {kStGrpKry, false}, {kRtGrpKvv, false}, {kRtGrpKrx, false}, {kRtGrpKry, false}};
    for (const auto& b : blocks)
        copyResultFileToReport(ch.report, b.name,
                               b.single ? "VERTICAL AND ROCKING RESPONSE OF SINGLE PILE   "
                                        : "VERTICAL AND ROCKING RESPONSE OF PILE GROUP    ",
                               2, in.nfreq);

    ch.report.close();
    ch.notes.close();
    ch.plotData.close();
}

} // namespace kd
