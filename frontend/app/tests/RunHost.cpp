// Runs the analysis program given as its first argument on the project given
// as its second, as the front end does, and prints the run's working
// directory once the program has reported its first frequency: a test kills
// it then, in the middle of the run. Ends with status 3 if the run ends first,
// and with status 4 when nobody has killed it within kBoundMs (its test is
// gone): the run is cancelled then, so that nothing is left running.
// With a third argument N it kills itself (SIGKILL) at the N-th change of a
// file beside the project while the results are put in place.

#include "AnalysisRun.h"

#include <QCoreApplication>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {
// Far beyond the first frequency of any run its test starts.
constexpr int kBoundMs = 120000;
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3 && argc != 4)
        return 2;
    AnalysisRun run(QString::fromLocal8Bit(argv[1]));
    const int killAt = argc == 4 ? std::atoi(argv[3]) : 0;
    int changes = 0;
    QObject::connect(&run, &AnalysisRun::resultFileChanged, &run, [&changes, killAt] {
        if (++changes == killAt)
            std::raise(SIGKILL);
    });
    QObject::connect(&run, &AnalysisRun::frequencyDone, &run, [&run](int count) {
        if (count != 1)
            return;
        std::printf("%s\n", run.WorkingDirectory().toLocal8Bit().constData());
        std::fflush(stdout);
    });
    bool overdue = false;
    QTimer::singleShot(kBoundMs, &run, [&run, &overdue] {
        std::fprintf(stderr, "RunHost: not killed within %d s; the run is cancelled\n", kBoundMs / 1000);
        overdue = true;
        run.Cancel();
    });
    if (!run.Start(QString::fromLocal8Bit(argv[2])))
        return 1;
    run.WaitForEnd();
    return overdue ? 4 : 3;
}
