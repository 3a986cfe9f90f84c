#include "RunDriver.h"

#include "FileList.h"
#include "FortranFormat.h"
#include "FreeFormatReader.h"
#include "HorizontalAnalysis.h"
#include "InputEcho.h"
#include "InputRefused.h"
#include "OutputFiles.h"
#include "PileDepthWalk.h"
#include "ProcessSetup.h"
#include "ProgressLine.h"
#include "ProjectInput.h"
#include "RecordError.h"
#include "ResultFileNames.h"
#include "RunChannels.h"
#include "RunFolderLock.h"
#include "RunOptions.h"
#include "SharedStorage.h"
#include "SublayerModel.h"
#include "VerticalRocking.h"
#include "WorkerPool.h"
#include "WriteFailureLine.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <new>
#include <vector>

namespace kd {

namespace {

// Circular frequency of the horizontal analysis: f times the single-precision
// value of 6.28318, widened (not the full 2 pi).
constexpr double kTwoPiHorizontal = 6.283180236816406;

// What a failed run leaves: the report and the run notes as diagnostics;
// every other file it opened (scratch files, "pldata1", the plot data file)
// is removed, so that nothing of it can be taken for results. Files it did not
// open are never touched.
std::vector<std::string>& keptOnFailure()
{
    static std::vector<std::string> names;
    return names;
}

void removeResultFiles() { removeOutputsOfThisRun(keptOnFailure()); }

// The console line of a run that ran out of memory, written without
// allocating.
void outOfMemoryLine()
{
    std::fputs(" NOT ENOUGH MEMORY FOR THIS PROJECT: THE RUN IS STOPPED.\n", stdout);
    std::fflush(stdout);
}

// An exception that no handler takes (out of memory while a handler runs, or
// one thrown where no handler stands) still ends the run as a failure with its
// clean-up, never with an abort.
[[noreturn]] void terminateRun()
{
    bool outOfMemory = false;
    if (const std::exception_ptr current = std::current_exception()) {
        try {
            std::rethrow_exception(current);
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
        } catch (...) {
        }
    }
    if (outOfMemory) {
        outOfMemoryLine();
    } else {
        std::fputs(" THE RUN IS STOPPED BY AN INTERNAL ERROR.\n", stdout);
        std::fflush(stdout);
    }
    removeResultFiles();
    std::_Exit(1);
}

// Closes every channel. After a failure a further close error is passed over
// (the first error is the one reported); after a complete run it fails the run.
void closeAll(RunChannels& ch, bool afterFailure = true)
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
            if (!afterFailure)
                throw;
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

std::vector<NamedFile> outputNames(const FileList& list)
{
    std::vector<NamedFile> out{{"REPORT", list.names[2]}, {"PLOT DATA FILE", list.names[3]}, {"RUN NOTES", list.names[4]}};
    for (const char* scratch : scratchFileNames())
        out.push_back({"SCRATCH FILE", scratch});
    return out;
}

int runInFolder()
{
    std::string unreadable;
    const FileList list = readRunFileList(kFileListName, unreadable);
    if (!list.complete) {
        consoleLine(kFileListMessage1);
        consoleLine(kFileListMessage2);
    }
    if (!unreadable.empty()) {
        consoleLine(std::string(" CANNOT READ THE FILE LIST ") + kFileListName + ": " + unreadable);
        return 1;
    }
    if (const auto problem = checkFileList(list)) {
        consoleLine(*problem);
        return 1;
    }

    // Read and check the whole project before any output file is opened.
    ProjectInput input;
    RunFolderLock lock;
    {
        FreeFormatReader reader;
        try {
            reader.open(list.names[1]);
        } catch (const RecordError&) {
            consoleLine(" CANNOT OPEN THE PROJECT FILE " + list.names[1] + ": " + reader.openProblem());
            return 1;
        }

        // From here on the run owns the folder; a second run leaves it alone.
        switch (lock.acquire()) {
        case RunFolderLock::Outcome::Taken:
            break;
        case RunFolderLock::Outcome::Busy:
            consoleLine(" ANOTHER RUN IS USING THE FOLDER " + std::filesystem::current_path().string() +
                        ": THIS RUN IS REFUSED.");
            return 1;
        case RunFolderLock::Outcome::Failed:
            consoleLine(" " + cannotLockText(lock.problem()));
            return 1;
        }
        protectInputFile(kFileListName);
        protectInputFile(list.names[1]);
        protectInputFile(kRunLockName);
        if (const auto problem = checkOutputNames(outputNames(list))) {
            consoleLine(*problem);
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
    keptOnFailure() = {list.names[2], list.names[4]};
    try {
        storage.fileNames = list.names;
        fillHorizontalStorage(storage, moduli, input);
        // A plot data file that exists belongs to a run that reached the
        // vertical stage: an earlier run's goes before anything is written.
        // One that cannot go stops the run while the earlier run's files are
        // still whole.
        if (const int error = removeRegularFile(list.names[3])) {
            consoleLine(" CANNOT REMOVE THE PLOT DATA FILE " + list.names[3] + " OF AN EARLIER RUN: " +
                        std::strerror(error));
            return 1;
        }
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
            removeResultFiles();
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
            consoleLine(frequencyProgressLine(AnalysisStage::Horizontal, fmtF(frequency, 10, 2)));
            horizontal.runFrequency(state);
            counter += 1.0;
        }
        looping = false;
        horizontal.finish();

        VERTICAL_ROCKING(storage, ch, input, resources);
        closeAll(ch, false);
        return 0;
    } catch (const NonFiniteValue&) {
        consoleLine(looping ? " A RESULT AT FREQUENCY " + fmtF(frequency, 10, 3) +
                                  " HZ IS NOT A FINITE NUMBER: THE RUN IS STOPPED WITHOUT RESULTS."
                            : std::string(" A RESULT IS NOT A FINITE NUMBER: THE RUN IS STOPPED WITHOUT RESULTS."));
    } catch (const UnseparatedValue& e) {
        consoleLine(" A RESULT AT FREQUENCY " + fmtF(e.frequency(), 10, 3) + " HZ (" + e.text() +
                    ") FILLS ITS WHOLE FIELD AND WOULD RUN INTO THE VALUE BEFORE IT:"
                    " THE RUN IS STOPPED WITHOUT RESULTS.");
    } catch (const RecordError& e) {
        consoleLine(std::string(" ") + e.what());
    } catch (const std::bad_alloc&) {
        closeAll(ch);
        outOfMemoryLine();
        removeResultFiles();
        return 1;
    } catch (const std::exception& e) {
        consoleLine(std::string(" THE RUN IS STOPPED: ") + e.what());
    }
    closeAll(ch);
    removeResultFiles();
    return 1;
}

} // namespace

int SOLVER_MAIN()
{
    if (!prepareProcess()) {
        consoleLine(" CANNOT OPEN /dev/null FOR A CLOSED STANDARD STREAM: THE RUN IS STOPPED.");
        return 1;
    }
    std::set_terminate(terminateRun);
    try {
        return runInFolder();
    } catch (const std::bad_alloc&) {
        // Out of memory while the input was read or a message was formed.
        outOfMemoryLine();
    } catch (const RecordError& e) {
        consoleLine(std::string(" ") + e.what());
    } catch (const std::exception& e) {
        consoleLine(std::string(" THE RUN IS STOPPED: ") + e.what());
    }
    removeResultFiles();
    return 1;
}

} // namespace kd
