#pragma once

// Bounded waits for analysis runs in tests. The program waits for a run as
// long as it takes (a real analysis may run for hours); a test waits at most
// kRunBoundMs, then fails saying what it waited for and cancels the run, so
// that a run that hangs ends its test instead of holding the test run.

#include "AnalysisRun.h"
#include "ProjectDocument.h"

#include <QDir>
#include <QEventLoop>
#include <QString>
#include <QTest>
#include <QTimer>

#include <source_location>

// Far beyond any run of the tests (a second at most on a loaded machine),
// and well inside the time limit of a whole test program
// (KELDOR_TEST_TIMEOUT, CMakeLists.txt), so that this message comes first.
inline constexpr int kRunBoundMs = 30000;
// A cancelled run's program is killed: it ends at once.
inline constexpr int kCancelledRunBoundMs = 10000;

// Runs the event loop until run has ended (at once when it is not running)
// or ms have passed; true when it has ended. A plain event loop: Qt Test's
// own waits return at once in a test that has failed already.
inline bool RunEndsWithin(AnalysisRun& run, int ms)
{
    if (!run.IsRunning())
        return true;
    QEventLoop loop;
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&run, &AnalysisRun::finished, &loop, &QEventLoop::quit);
    bound.start(ms);
    loop.exec();
    return !run.IsRunning();
}

// Cancels a run still going at the bound and fails the current test, naming
// the run and what its program printed last.
inline void FailOverdueRun(AnalysisRun& run, int boundMs, const std::source_location& where)
{
    const QString message = QStringLiteral("The analysis run for %1 did not end within %2 s; it was cancelled. "
                                           "The program's last lines:\n%3")
                                .arg(QDir::toNativeSeparators(run.PlotDataPath()))
                                .arg(boundMs / 1000)
                                .arg(run.OutputTail().replace(u'\r', u'\n'));
    run.Cancel();
    QTest::qFail(qPrintable(message), where.file_name(), int(where.line()));
}

// What run.WaitForEnd() gives, true when the run succeeded, waiting at most
// boundMs; a run still going then is cancelled and fails the test.
inline bool WaitForRunEnd(AnalysisRun& run, int boundMs = kRunBoundMs,
                          const std::source_location where = std::source_location::current())
{
    if (!RunEndsWithin(run, boundMs)) {
        FailOverdueRun(run, boundMs, where);
        RunEndsWithin(run, kCancelledRunBoundMs);
        return false;
    }
    // The run has ended (or never started): this returns at once.
    return run.WaitForEnd();
}

// Bounds each run the document waits for: its own waiter (the main window's
// progress dialog) still waits, but a run still going at the bound fails the
// test and is cancelled, which ends the wait. Without a waiter the run is
// waited for unseen, as the document does.
inline void BoundRunWaits(ProjectDocument& document, int boundMs = kRunBoundMs,
                          const std::source_location where = std::source_location::current())
{
    ProjectDocument::RunWaiter waiter = document.CurrentRunWaiter();
    if (!waiter) {
        document.SetRunWaiter([boundMs, where](AnalysisRun& run, int) { return WaitForRunEnd(run, boundMs, where); });
        return;
    }
    document.SetRunWaiter([waiter, boundMs, where](AnalysisRun& run, int steps) {
        QTimer bound;
        bound.setSingleShot(true);
        QObject::connect(&bound, &QTimer::timeout, &run, [&run, boundMs, where] { FailOverdueRun(run, boundMs, where); });
        bound.start(boundMs);
        return waiter(run, steps);
    });
}
