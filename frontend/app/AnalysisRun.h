#pragma once

// One run of the analysis program: checks, a private working directory with
// the file list, the process, its console lines as progress, and an outcome
// that counts as success only after the exit status and the plot data file
// were checked. The program writes its outputs in the working directory; the
// files beside the project are replaced only once it has ended, other than
// by Cancel or because it could not write its files in that directory.

#include "ResultFolder.h"

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <deque>
#include <memory>

class RunDirectory;

class AnalysisRun : public QObject {
    Q_OBJECT

public:
    enum class RunOutcome {
        None,       // not started yet, or still running
        NotStarted, // a check or the start failed; nothing ran
        Succeeded,
        Crashed,
        ExitStatus, // ended with a status other than 0
        NoPlotData,
        NotPlaced,  // a complete run whose results could not all be put beside the project
        RunFolderFailed, // the program could not write its own files in its working directory;
                         // the files beside the project are as they were
        Cancelled,
    };

    // The analysis program beside the front end's own executable.
    static QString DefaultProgramPath();

    explicit AnalysisRun(const QString& programPath, QObject* parent = nullptr);
    ~AnalysisRun() override;

    // Writes the file list into a new private working directory and starts
    // the program there. False when nothing was started; Message() then says
    // why. The project's files are as they were until the program has ended.
    bool Start(const QString& projectPath);
    // Ends the program; the run counts as failed, and the files beside the
    // project stay as they were before it.
    void Cancel();
    bool IsRunning() const;
    // Runs a local event loop until the run has ended; true on success.
    bool WaitForEnd();

    RunOutcome Outcome() const { return m_outcome; }
    // What to show the user when the run did not succeed: Reason() and,
    // after a CR, OutputTail().
    QString Message() const;
    // Why the run failed, naming the project file when the program failed
    // on its own.
    QString Reason() const { return m_message; }
    // The last non-empty lines the program printed, each cut to a bounded length.
    QString OutputTail() const;
    // What the program printed, up to its last kMaxConsoleChars characters.
    QString ConsoleText() const { return m_console; }

    // Console output is taken in pieces of this size per event, so that a
    // program printing megabytes never blocks the window for long.
    static constexpr qint64 kReadChunk = 64 * 1024;
    // A console line beyond this many bytes is cut (" ..." marks the cut).
    static constexpr qsizetype kMaxLineBytes = 1024;
    static constexpr qsizetype kMaxConsoleChars = 1 << 20;
    static constexpr int kShownConsoleLines = 30;
    // The project's plot data file, where a complete run puts its plot data.
    QString PlotDataPath() const { return m_plotDataPath; }
    // The working directory of the run in progress (removed at its end; kept
    // under another name, which the failure message gives, when the results
    // could not be put in place).
    QString WorkingDirectory() const;

signals:
    // One console line of the program.
    void progress(const QString& line);
    // A line that reports one frequency of a stage; count is how many so far.
    void frequencyDone(int count);
    void finished(bool succeeded);
    // A file beside the project was replaced by a result of the run, or
    // removed (an earlier plot data file), while the results are put in place.
    void resultFileChanged(const QString& path);

private:
    // Takes one piece of the program's output; schedules the next piece, or
    // ends the run once the program has exited and all is taken.
    void readOutput();
    void scheduleRead();
    void takeBytes(const char* data, qsizetype size);
    void endLine();
    void processFinished(int exitCode, QProcess::ExitStatus status);
    void finish();
    void fail(RunOutcome outcome, const QString& detail);
    void cleanUp();
    // The program's output in the working directory for a result file
    // beside the project.
    QString inRun(const QString& besideProject) const;
    // Replaces each result file beside the project by the program's output,
    // in the order given, and removes an earlier plot data file: first after
    // a failed run, after all copies are made after a complete one. Returns
    // why a file could not be put in place, naming it and the files beside
    // the project of this run, or empty.
    QString placeResults(const QStringList& results, bool complete);

    QString m_programPath;
    QString m_plotDataPath;
    std::unique_ptr<RunDirectory> m_workDir;
    ResultFolder m_folder;
    QProcess* m_process = nullptr;
    QByteArray m_line;
    bool m_lineCut = false;
    QString m_console;
    std::deque<QString> m_tail;
    bool m_readScheduled = false;
    bool m_reading = false;
    bool m_exited = false;
    int m_exitCode = 0;
    QProcess::ExitStatus m_exitStatus = QProcess::NormalExit;
    QString m_projectPath;
    int m_frequencyLines = 0;
    bool m_cancelled = false;
    RunOutcome m_outcome = RunOutcome::None;
    QString m_message;
};

// The heading of every failed run, and of a plot data file that cannot be read.
QString RunFailedMessage();
// The heading when the analysis program cannot be started.
QString StartFailedMessage();
// What a cancelled run says.
QString CancelledMessage();
