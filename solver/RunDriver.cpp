#include "RunDriver.h"

#include "FileList.h"
#include "FortranFormat.h"
#include "FreeFormatReader.h"
#include "HorizontalAnalysis.h"
#include "InputEcho.h"
#include "InputRefused.h"
#include "PileDepthWalk.h"
#include "ProgressLine.h"
#include "ProjectInput.h"
#include "RecordError.h"
#include "ResultFileNames.h"
#include "RunChannels.h"
#include "SharedStorage.h"
#include "SublayerModel.h"
#include "VerticalRocking.h"

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
    for (const char* name : scratchFileNames())
        std::remove(name);
    if (!list.names[kPlotDataLine].empty())
        std::remove(list.names[kPlotDataLine].c_str());
}

void closeAll(RunChannels& ch)
{
    std::array<OutputChannel*, kHorizontalFileCount + 3> all{};
    std::size_t n = 0;
    for (const HorizontalResultFile* f : horizontalFilesByChannel())
        all[n++] = &(ch.*f->member);
    for (OutputChannel* c : {&ch.plotData, &ch.notes, &ch.report})
        all[n++] = c;
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
    // Channel 4 first, then the report, the run notes and the scratch file,
    // then channels 5 to 13: the order in which a failure is met and named.
    const auto horizontal = horizontalFilesByChannel();
    (ch.*horizontal[0]->member).open(horizontal[0]->name);
    ch.report.open(list.names[kReportLine]);
    ch.notes.open(list.names[kRunNotesLine]);
    ch.plotData.open(kPlotScratchName);
    for (std::size_t i = 1; i < horizontal.size(); ++i)
        (ch.*horizontal[i]->member).open(horizontal[i]->name);
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

        HorizontalAnalysis horizontal(storage, moduli, input, ch);
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
            consoleLine(frequencyProgressLine(AnalysisStage::Horizontal, fmtF(frequency, 10, 2)));
            horizontal.runFrequency(state);
            counter += 1.0;
        }
        looping = false;
        horizontal.finish();

        VERTICAL_ROCKING(storage, ch);
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
