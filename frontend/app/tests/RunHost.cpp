// Runs the analysis program given as its first argument on the project given
// as its second, as the front end does, and prints the run's working
// directory once the program has reported its first frequency: a test kills
// it then, in the middle of the run. Ends with status 3 if the run ends first.

#include "AnalysisRun.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    AnalysisRun run(QString::fromLocal8Bit(argv[1]));
    QObject::connect(&run, &AnalysisRun::frequencyDone, &run, [&run](int count) {
        if (count != 1)
            return;
        std::printf("%s\n", run.WorkingDirectory().toLocal8Bit().constData());
        std::fflush(stdout);
    });
    if (!run.Start(QString::fromLocal8Bit(argv[2])))
        return 1;
    run.WaitForEnd();
    return 3;
}
