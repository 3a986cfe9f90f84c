#pragma once

// One run of the analysis program: checks, a private working directory with
// the file list, the process, its console lines as progress, and an outcome
// that counts as success only after the exit status and the plot data file
// were checked.

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

class QTemporaryDir;

class TAnalysisRun : public QObject {
    Q_OBJECT

public:
    enum class TOutcome {
        None,       // not started yet, or still running
        NotStarted, // a check or the start failed; nothing ran
        Succeeded,
        Crashed,
        ExitStatus, // ended with a status other than 0
        NoPlotData,
        Cancelled,
    };

    // The analysis program beside the front end's own executable.
    static QString DefaultProgramPath();

    explicit TAnalysisRun(const QString& programPath, QObject* parent = nullptr);
    ~TAnalysisRun() override;

    // Removes the project's old plot data file, writes the file list into a
    // new private working directory and starts the program there. False when
    // nothing was started; Message() then says why.
    bool Start(const QString& projectPath);
    // Ends the program; the run counts as failed.
    void Cancel();
    bool IsRunning() const;
    // Runs a local event loop until the run has ended; true on success.
    bool WaitForEnd();

    TOutcome Outcome() const { return m_outcome; }
    // What to show the user when the run did not succeed.
    QString Message() const { return m_message; }
    // Everything the program printed.
    QString ConsoleText() const { return m_console; }
    QString PlotDataPath() const { return m_plotDataPath; }
    // The working directory of the run in progress (removed at its end).
    QString WorkingDirectory() const;

signals:
    // One console line of the program.
    void progress(const QString& line);
    // A line that reports one frequency of a stage; count is how many so far.
    void frequencyDone(int count);
    void finished(bool succeeded);

private:
    void readOutput(bool flushAll);
    void processFinished(int exitCode, QProcess::ExitStatus status);
    void fail(TOutcome outcome, const QString& detail);
    void cleanUp();

    QString m_programPath;
    QString m_plotDataPath;
    std::unique_ptr<QTemporaryDir> m_workDir;
    QProcess* m_process = nullptr;
    QByteArray m_pending;
    QString m_console;
    int m_frequencyLines = 0;
    bool m_cancelled = false;
    TOutcome m_outcome = TOutcome::None;
    QString m_message;
};

// The heading of every failed run, and of a plot data file that cannot be read.
QString RunFailedMessage();
// The heading when the analysis program cannot be started.
QString StartFailedMessage();
