#include "RunDriver.h"

#include "FileList.h"
#include "FortranFormat.h"
#include "FreeFormatReader.h"
#include "HorizontalAnalysis.h"
#include "InputEcho.h"
#include "InputRefused.h"
#include "PileDepthWalk.h"
#include "ProjectInput.h"
#include "RecordError.h"
#include "ResultFileNames.h"
#include "RunChannels.h"
#include "RunOptions.h"
#include "SharedStorage.h"
#include "SublayerModel.h"
#include "VerticalRocking.h"
#include "WorkerPool.h"

#include <cstdio>
#include <exception>
#include <new>

namespace kd {

namespace {

// Circular frequency of the horizontal analysis: f times the single-precision
// value of 6.28318, widened (not the full 2 pi).
constexpr double kTwoPiHorizontal = 6.283180236816406;

// A failed run leaves no result file, scratch file or plot data file behind,
// so that nothing of it can be taken for results.
void removeResultFiles(const FileList& list)
{
    for (const char* name : kAllScratchFiles)
        std::remove(name);
    if (!list.names[3].empty())
        std::remove(list.names[3].c_str());
}

void closeAll(RunChannels& ch)
{
    OutputChannel* all[] = {&ch.trnPlSsw, &ch.trnStSsw, &ch.rtGrpKhh, &ch.stSngKhh, &ch.rtSngKhh,
                            &ch.trnFdSsw, &ch.stGrpKhh, &ch.trnPlGsw, &ch.trnStGsw, &ch.trnFdGsw,
                            &ch.plotData, &ch.notes,    &ch.report};
    for (OutputChannel* c : all) {
        try {
            c->close();
        } catch (const RecordError&) {
            // The run has already failed; the first error is the one reported.
        }
    }
}

void openOutputs(RunChannels& ch, const FileList& list)
{
    ch.trnPlSsw.open(kTrnPlSsw);
    ch.report.open(list.names[2]);
    ch.notes.open(list.names[4]);
    ch.plotData.open(kPlotScratchName);
    ch.trnStSsw.open(kTrnStSsw);
    ch.rtGrpKhh.open(kRtGrpKhh);
    ch.stSngKhh.open(kStSngKhh);
    ch.rtSngKhh.open(kRtSngKhh);
    ch.trnFdSsw.open(kTrnFdSsw);
    ch.stGrpKhh.open(kStGrpKhh);
    ch.trnPlGsw.open(kTrnPlGsw);
    ch.trnStGsw.open(kTrnStGsw);
    ch.trnFdGsw.open(kTrnFdGsw);
}

} // namespace

int SOLVER_MAIN()
{
    const FileList list = readFileList(kFileListName);
    if (!list.complete) {
        consoleLine(kFileListMessage1);
        consoleLine(kFileListMessage2);
    }
    if (const auto problem = checkFileList(list)) {
        consoleLine(*problem);
        return 1;
    }

    // Read and check the whole project before any output file is opened.
    ProjectInput input;
    {
        FreeFormatReader reader;
        try {
            reader.open(list.names[1]);
        } catch (const RecordError&) {
            consoleLine(" CANNOT OPEN THE PROJECT FILE " + list.names[1]);
            return 1;
        }
        try {
            input = readProjectInput(reader);
        } catch (const RecordError& e) {
            consoleLine(std::string(" ") + e.what());
            return 1;
        } catch (const InputRefused& e) {
            consoleLine(std::string(" ") + e.what());
            return 1;
        }
        if (const auto refused = validateProjectInput(input)) {
            consoleLine(" " + *refused);
            return 1;
        }
    }

    SharedStorage storage;
    Matrix<Cx> moduli;
    RunChannels ch;
    double frequency = 0.0;
    bool looping = false;
    try {
        storage.fileNames = list.names;
        fillHorizontalStorage(storage, moduli, input);
        openOutputs(ch, list);
        echoInput(ch.report, input, storage);
        consoleLine(" DATA READING COMPLETED.");
        consoleLine(" COMPUTATION IN PROGRESS!");
        consoleLine("");

        storage.nseg = pileDepthWalk(storage, input.length);
        if (storage.nseg == 0) {
            writePileDepthWarning(ch.report);
            consoleLine(" THE PILE IS LONGER THAN THE SOIL COLUMN: NO RESULTS. SEE THE REPORT.");
            closeAll(ch);
            removeResultFiles(list);
            return 1;
        }

        // One worker pool for the whole run, handed to both analyses.
        const RunOptions options = runOptionsFromEnvironment();
        const std::unique_ptr<WorkerPool> pool = makeWorkerPool(options);
        const RunResources resources{pool.get(), options.kernels};

        HorizontalAnalysis horizontal(storage, moduli, input, ch, resources);
        horizontal.setUp();
        echoFrequencies(ch.report, input);

        FrequencyState state;
        state.superstructure = input.spring > 0.0;
        double counter = 0.0;
        looping = true;
        for (int i = 1; i <= input.nfreq; ++i) {
            frequency = input.dfreq * counter + input.freq0;
            state.index = i;
            state.frequency = frequency;
            state.omega = frequency * kTwoPiHorizontal;
            state.omega2 = state.omega * state.omega;
            state.first = i == 1;
            consoleLine(" HORIZONTAL BEHAVIOR, AT FREQUENCY = " + fmtF(frequency, 10, 2));
            horizontal.runFrequency(state);
            counter += 1.0;
        }
        looping = false;
        horizontal.finish();

        VERTICAL_ROCKING(storage, ch, resources);
        closeAll(ch);
        return 0;
    } catch (const NonFiniteValue&) {
        consoleLine(looping ? " A RESULT AT FREQUENCY " + fmtF(frequency, 10, 3) +
                                  " HZ IS NOT A FINITE NUMBER: THE RUN IS STOPPED WITHOUT RESULTS."
                            : std::string(" A RESULT IS NOT A FINITE NUMBER: THE RUN IS STOPPED WITHOUT RESULTS."));
    } catch (const RecordError& e) {
        consoleLine(std::string(" ") + e.what());
    } catch (const std::bad_alloc&) {
        consoleLine(" NOT ENOUGH MEMORY FOR THIS PROJECT: THE RUN IS STOPPED.");
    } catch (const std::exception& e) {
        consoleLine(std::string(" THE RUN IS STOPPED: ") + e.what());
    }
    closeAll(ch);
    removeResultFiles(list);
    return 1;
}

} // namespace kd
