#include "AnalysisRun.h"

#include "AppTestSupport.h"
#include "DataUnit.h"
#include "InputLimits.h"
#include "RunFolder.h"
#include "RunWait.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Two layers 16 m deep, a pile of 12 m, two piles along x, three frequencies.
QByteArray project(const char* pileLength = "12", const char* frequencies = "3 0.5 2")
{
    return QByteArray("Run test\r\n2 \r\n2\r\n4 6 150 0.4 1.8 0.05\r\n5 10 250 0.35 1.9 0.03\r\n"
                      "30000000 0.0063617251 0.28274334 0.25 0.3 2.5 0.01\r\n")
           + pileLength + "\r\n2\r\n-0.9 0 \r\n0.9 0 \r\n200 500 200000 0.05\r\n" + frequencies + "\r\n";
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every entry of a folder with its content: equal states mean nothing there
// was created, removed or changed.
QStringList folderState(const QString& dir)
{
    QStringList state;
    for (const std::string& entry : kdtest::snapshot(QFile::encodeName(dir).toStdString()))
        state << QString::fromStdString(entry);
    return state;
}

// A project that keeps kdcalc busy long after its first frequency.
QByteArray slowProject()
{
    return QByteArray::fromStdString(kdtest::slowProjectText(kd::kMaxFrequencies));
}

// No run holds the lock of the folder: the program that ran there has ended.
bool runFolderFree(const QString& dir)
{
    const int fd = ::open(QFile::encodeName(QDir(dir).filePath("kdcalc.lock")).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

} // namespace

class AnalysisRunTest : public QObject {
    Q_OBJECT

private:
    // Results of an earlier run beside run.kld.
    void writeEarlierResults()
    {
        writeProject("earlier report\r\n", QStringLiteral("run.klo"));
        writeProject(" 1 1\r\n earlier plot data\r\n", QStringLiteral("run.klp"));
        writeProject("earlier run notes\r\n", QStringLiteral("run.klr"));
    }

    QString writeProject(const QByteArray& text, const QString& name = QStringLiteral("run.kld"))
    {
        const QString path = m_dir->filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return QString();
        f.write(text);
        return path;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_log;

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_log = std::make_unique<QTemporaryDir>();
        qputenv("KELDOR_FAKE_LOG", m_log->path().toLocal8Bit());
        qunsetenv("KELDOR_FAKE_MODE");
    }

    void theAnalysisProgramRunsInAPrivateDirectory()
    {
        const QString path = writeProject(project());
        AnalysisRun run(QStringLiteral(KDCALC_PATH));
        QSignalSpy lines(&run, &AnalysisRun::progress);
        QSignalSpy frequencies(&run, &AnalysisRun::frequencyDone);
        QVERIFY(run.Start(path));
        const QString workDir = run.WorkingDirectory();
        QVERIFY(!workDir.isEmpty());
        QVERIFY(WaitForRunEnd(run));
        QCOMPARE(run.Outcome(), AnalysisRun::RunOutcome::Succeeded);
        QCOMPARE(run.PlotDataPath(), m_dir->filePath("run.klp"));
        QVERIFY(QFile::exists(m_dir->filePath("run.klp")));
        QVERIFY(QFile::exists(m_dir->filePath("run.klo")));
        QVERIFY(QFile::exists(m_dir->filePath("run.klr")));
        // One line per frequency of each stage, the last one first of all counted.
        QCOMPARE(frequencies.count(), 6);
        QCOMPARE(frequencies.last().at(0).toInt(), 6);
        QVERIFY(run.ConsoleText().contains("COMPUTATION COMPLETED."));
        QVERIFY(lines.count() > 6);
        // The scratch files and the file list stayed in the working directory, which is gone.
        QVERIFY(!QDir(workDir).exists());
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
                 QStringList({"run.kld", "run.klo", "run.klp", "run.klr"}));
    }

    void aPileLongerThanTheSoilFails()
    {
        const QString path = writeProject(project("100"));
        AnalysisRun run(QStringLiteral(KDCALC_PATH));
        QVERIFY(run.Start(path));
        QVERIFY(!WaitForRunEnd(run));
        QCOMPARE(run.Outcome(), AnalysisRun::RunOutcome::ExitStatus);
        QVERIFY(run.Message().startsWith("An error occured in running the main program.\r"));
        QVERIFY(run.Message().contains("THE PILE IS LONGER THAN THE SOIL COLUMN"));
        QVERIFY(!QFile::exists(m_dir->filePath("run.klp")));
        // The report beside the project says why.
        QVERIFY(readAll(m_dir->filePath("run.klo")).contains("WARNING - PILE LENGTH IS OVER THE BOTTOM OF THE LAST LAYER."));
    }

    void theFileListNamesTheProjectFilesInFull()
    {
        const QString path = writeProject(project(), QStringLiteral("with blank.kld"));
        QDir::setCurrent(m_dir->path());
        AnalysisRun run(QStringLiteral(FAKE_KDCALC_PATH));
        QVERIFY(run.Start(QStringLiteral("with blank.kld"))); // relative: taken in full
        const QString workDir = run.WorkingDirectory();
        QVERIFY(WaitForRunEnd(run));
        // The outputs are written in the working directory.
        QCOMPARE(readAll(m_log->filePath("names.dat")), FileListText(path, workDir));
        const QString cwd = QString::fromLocal8Bit(readAll(m_log->filePath("cwd.txt")));
        QVERIFY(!cwd.isEmpty());
        QVERIFY(cwd != m_dir->path());
        QVERIFY(!QDir(cwd).exists());
        QVERIFY(!QFile::exists(m_dir->filePath("names.dat")));
    }

    void failuresOfTheProgram_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QStringList>("left"); // the files beside the project afterwards
        QTest::newRow("crash") << QByteArray("crash") << int(AnalysisRun::RunOutcome::Crashed)
                               << "The analysis program stopped abnormally.\rHORIZONTAL BEHAVIOR"
                               << QStringList{"run.kld"};
        QTest::newRow("status") << QByteArray("status") << int(AnalysisRun::RunOutcome::ExitStatus)
                                << "ended with exit status 2.\rHORIZONTAL BEHAVIOR, AT FREQUENCY =       1.00\rFAKE: "
                                   "THE RUN IS REFUSED"
                                << QStringList{"run.kld", "run.klo", "run.klr"};
        QTest::newRow("no output") << QByteArray("silent") << int(AnalysisRun::RunOutcome::NoPlotData)
                                   << "The analysis program wrote no plot data file." << QStringList{"run.kld"};
    }

    void failuresOfTheProgram()
    {
        QFETCH(QByteArray, mode);
        QFETCH(int, outcome);
        QFETCH(QString, detail);
        QFETCH(QStringList, left);
        const QString path = writeProject(project());
        // An old plot data file must not survive as the result of this run.
        QFile old(m_dir->filePath("run.klp"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("1 1\n");
        old.close();

        qputenv("KELDOR_FAKE_MODE", mode);
        AnalysisRun run(QStringLiteral(FAKE_KDCALC_PATH));
        QSignalSpy finished(&run, &AnalysisRun::finished);
        QVERIFY(run.Start(path));
        QVERIFY(!WaitForRunEnd(run));
        QCOMPARE(int(run.Outcome()), outcome);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().at(0).toBool(), false);
        QVERIFY2(run.Message().startsWith("An error occured in running the main program.\r"), qPrintable(run.Message()));
        QVERIFY2(run.Message().contains(detail), qPrintable(run.Message()));
        QVERIFY2(run.Reason().contains("\rProject file: " + path + "\r"), qPrintable(run.Reason()));
        QVERIFY(!QFile::exists(m_dir->filePath("run.klp")));
        // A report that says why the run failed is put beside the project.
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), left);
        if (left.contains("run.klo"))
            QCOMPARE(readAll(m_dir->filePath("run.klo")), QByteArray(" FAKE: THE RUN IS REFUSED\n"));
    }

    void aFloodOfOutputIsTakenInBoundedLines()
    {
        qputenv("KELDOR_FAKE_MODE", "flood");
        AnalysisRun run(QStringLiteral(FAKE_KDCALC_PATH));
        QSignalSpy lines(&run, &AnalysisRun::progress);
        QVERIFY(run.Start(writeProject(project())));
        QVERIFY(!WaitForRunEnd(run));
        QCOMPARE(run.Outcome(), AnalysisRun::RunOutcome::ExitStatus);
        // The frequency line, the 8 MB line cut to its first kilobyte, the last line.
        QCOMPARE(lines.count(), 3);
        const QString cut = lines.at(1).at(0).toString();
        QCOMPARE(cut, QString(AnalysisRun::kMaxLineBytes, u'x') + " ...");
        QCOMPARE(lines.at(2).at(0).toString(), " FAKE: FLOODED");
        // What the failure box shows ends with the program's last line.
        const QStringList tail = run.OutputTail().split(u'\r');
        QCOMPARE(tail.size(), 3);
        QCOMPARE(tail.last(), "FAKE: FLOODED");
        QVERIFY(run.ConsoleText().size() <= AnalysisRun::kMaxConsoleChars);
        QVERIFY(run.Message().endsWith(run.OutputTail()));
    }

    void theShownOutputKeepsTheLastLines()
    {
        // More lines than are shown: the first ones go.
        QTemporaryDir dir;
        const QString script = dir.filePath("many.sh");
        QFile f(script);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\ni=0\nwhile [ $i -lt 100 ]; do echo \" LINE $i\"; i=$((i+1)); done\nexit 1\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        AnalysisRun run(script);
        QVERIFY(run.Start(writeProject(project())));
        QVERIFY(!WaitForRunEnd(run));
        const QStringList tail = run.OutputTail().split(u'\r');
        QCOMPARE(tail.size(), AnalysisRun::kShownConsoleLines);
        QCOMPARE(tail.first(), "LINE 70");
        QCOMPARE(tail.last(), "LINE 99");
    }

    void aPlotDataFileMakesTheRunASuccess()
    {
        qputenv("KELDOR_FAKE_MODE", "ok");
        AnalysisRun run(QStringLiteral(FAKE_KDCALC_PATH));
        QVERIFY(run.Start(writeProject(project())));
        QVERIFY(WaitForRunEnd(run));
        QVERIFY(run.Message().isEmpty());
    }

    void cancelEndsTheProgramAndFails()
    {
        qputenv("KELDOR_FAKE_MODE", "hang");
        AnalysisRun run(QStringLiteral(FAKE_KDCALC_PATH));
        connect(&run, &AnalysisRun::frequencyDone, &run, &AnalysisRun::Cancel);
        QVERIFY(run.Start(writeProject(project())));
        QVERIFY(run.IsRunning());
        QVERIFY(!WaitForRunEnd(run));
        QVERIFY(!run.IsRunning());
        QCOMPARE(run.Outcome(), AnalysisRun::RunOutcome::Cancelled);
        QVERIFY(run.Message().contains("The analysis was cancelled."));
        QVERIFY(run.Message().contains("HORIZONTAL BEHAVIOR"));
        // The part of a report the program had written is not left beside the project.
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"run.kld"});
    }

    // The real program on a long project, cancelled once its horizontal
    // stage has begun: beside the project nothing changes, during the run or
    // after it.
    void cancelKeepsTheEarlierResults_data()
    {
        QTest::addColumn<bool>("earlier");
        QTest::newRow("earlier results") << true;
        QTest::newRow("none") << false;
    }
    void cancelKeepsTheEarlierResults()
    {
        QFETCH(bool, earlier);
        const QString path = writeProject(slowProject());
        if (earlier)
            writeEarlierResults();
        const QStringList before = folderState(m_dir->path());
        AnalysisRun run(QStringLiteral(KDCALC_PATH));
        QStringList whileRunning;
        connect(&run, &AnalysisRun::frequencyDone, &run, [&](int count) {
            if (count != 1)
                return;
            whileRunning = folderState(m_dir->path());
            run.Cancel();
        });
        QVERIFY(run.Start(path));
        const QString workDir = run.WorkingDirectory();
        QVERIFY(!WaitForRunEnd(run));
        QCOMPARE(run.Outcome(), AnalysisRun::RunOutcome::Cancelled);
        QCOMPARE(whileRunning, before);
        QCOMPARE(folderState(m_dir->path()), before);
        QVERIFY(!QDir(workDir).exists());
    }

    // The front end killed in the middle of a run: whatever becomes of the
    // program, the earlier results beside the project stay whole.
    void theEarlierResultsOutliveAKilledFrontEnd()
    {
        const QString path = writeProject(slowProject());
        writeEarlierResults();
        const QStringList before = folderState(m_dir->path());
        QProcess host;
        host.start(QStringLiteral(RUN_HOST_PATH), {QStringLiteral(KDCALC_PATH), path});
        QVERIFY(host.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(host.canReadLine() || host.state() == QProcess::NotRunning, kRunBoundMs);
        const QString workDir = QString::fromLocal8Bit(host.readLine().trimmed());
        QVERIFY2(!workDir.isEmpty(), host.readAll().constData());
        // Nobody is left to remove the run's folder.
        const auto removeWorkDir = qScopeGuard([&] { QDir(workDir).removeRecursively(); });
        host.kill();
        QVERIFY(host.waitForFinished());
        QCOMPARE(folderState(m_dir->path()), before);
        QTRY_VERIFY_WITH_TIMEOUT(runFolderFree(workDir), kRunBoundMs);
        QCOMPARE(folderState(m_dir->path()), before);
    }

    // What would stop the results from being put in place is refused before
    // the program runs, and nothing is changed.
    void resultsThatCannotBeReplacedAreRefusedAtOnce_data()
    {
        QTest::addColumn<QString>("result");  // the file that is refused
        QTest::addColumn<QString>("problem");
        QTest::newRow("link") << "run.klo" << "is a symbolic link";
        QTest::newRow("dangling link") << "run.klp" << "is a symbolic link";
        QTest::newRow("folder") << "run.klr" << "is not a regular file";
        QTest::newRow("the project") << "run.klo" << "is the same file as the project file";
    }
    void resultsThatCannotBeReplacedAreRefusedAtOnce()
    {
        QFETCH(QString, result);
        QFETCH(QString, problem);
        QString path = writeProject(project());
        writeEarlierResults();
        const QString at = m_dir->filePath(result);
        QFile::remove(at);
        const QByteArray name = QFile::encodeName(at);
        if (QTest::currentDataTag() == QByteArray("link"))
            QVERIFY(::symlink("run.kld", name.constData()) == 0);
        else if (QTest::currentDataTag() == QByteArray("dangling link"))
            QVERIFY(::symlink("missing", name.constData()) == 0);
        else if (QTest::currentDataTag() == QByteArray("folder"))
            QVERIFY(QDir(m_dir->path()).mkdir(result));
        else {
            // The project is a link to its own report.
            QVERIFY(QFile::rename(path, at));
            path = m_dir->filePath("run.kld");
            QVERIFY(::symlink("run.klo", QFile::encodeName(path).constData()) == 0);
        }
        const QStringList before = folderState(m_dir->path());
        AnalysisRun run(QStringLiteral(FAKE_KDCALC_PATH));
        QVERIFY(!run.Start(path));
        QCOMPARE(run.Outcome(), AnalysisRun::RunOutcome::NotStarted);
        QCOMPARE(run.Message(), "The analysis is not started: the result file " + at + " " + problem + ".");
        QVERIFY(!QFile::exists(m_log->filePath("names.dat")));
        QCOMPARE(folderState(m_dir->path()), before);
    }

    void aReadOnlyFolderIsRefusedAtOnce_data()
    {
        QTest::addColumn<bool>("earlier");
        QTest::newRow("earlier results") << true;
        QTest::newRow("none") << false;
    }
    void aReadOnlyFolderIsRefusedAtOnce()
    {
        QFETCH(bool, earlier);
        const QString folder = m_dir->filePath("readonly");
        QVERIFY(QDir(m_dir->path()).mkdir("readonly"));
        const QString path = writeProject(project(), "readonly/run.kld");
        if (earlier)
            writeProject("earlier report\r\n", "readonly/run.klo");
        ::chmod(QFile::encodeName(m_dir->path()).constData(), 0755);
        ::chmod(QFile::encodeName(folder).constData(), 0555);
        const QStringList before = folderState(folder);
        QString message;
        const bool refused = AsOrdinaryUser([&] {
            AnalysisRun run(QStringLiteral(FAKE_KDCALC_PATH));
            return !run.Start(path) && run.Outcome() == AnalysisRun::RunOutcome::NotStarted
                   && run.Message() == "The analysis is not started: the results cannot be written in the folder "
                                           + folder + ": Permission denied.";
        });
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        QVERIFY(refused);
        QCOMPARE(folderState(folder), before);
    }

    // A result that cannot be put in place (here its name became a folder
    // during the run) is named, the program's files are kept where the
    // message says, and the other files beside the project stay as they were.
    void aResultThatCannotBePutInPlaceIsNamed()
    {
        const QString path = writeProject(project());
        writeEarlierResults();
        const QString plotData = m_dir->filePath("run.klp");
        AnalysisRun run(QStringLiteral(FAKE_KDCALC_PATH));
        QString workDir;
        connect(&run, &AnalysisRun::frequencyDone, &run, [&](int count) {
            if (count != 1)
                return;
            workDir = run.WorkingDirectory();
            QFile::remove(plotData);
            QDir(m_dir->path()).mkpath("run.klp/inside");
        });
        QVERIFY(run.Start(path));
        const auto removeWorkDir = qScopeGuard([&] {
            if (!workDir.isEmpty())
                QDir(workDir).removeRecursively();
        });
        QVERIFY(!WaitForRunEnd(run));
        QCOMPARE(run.Outcome(), AnalysisRun::RunOutcome::NotPlaced);
        QVERIFY2(run.Reason().startsWith(RunFailedMessage() + "\rProject file: " + path + "\rThe result file "
                                         + plotData + " could not be written: "),
                 qPrintable(run.Reason()));
        QVERIFY2(run.Reason().endsWith("\rThe files of the run were kept in " + workDir + "."), qPrintable(run.Reason()));
        QVERIFY(readAll(QDir(workDir).filePath("run.klp")).startsWith("           1           1\n"));
        QCOMPARE(readAll(m_dir->filePath("run.klo")), QByteArray("earlier report\r\n"));
        QCOMPARE(readAll(m_dir->filePath("run.klr")), QByteArray("earlier run notes\r\n"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList({"run.kld", "run.klo", "run.klp", "run.klr"}));
    }

    void aMissingProgramIsNotStarted()
    {
        const QString path = writeProject(project());
        AnalysisRun run(m_dir->filePath("kdcalc"));
        QVERIFY(!run.Start(path));
        QCOMPARE(run.Outcome(), AnalysisRun::RunOutcome::NotStarted);
        QVERIFY(run.Message().startsWith("An error occurred in running the program\r"));
        QVERIFY(!run.IsRunning());
        QVERIFY(!run.WaitForEnd());
    }

    void aProgramThatIsNotExecutableIsNotStarted()
    {
        const QString fake = writeProject("#!/bin/sh\n", QStringLiteral("kdcalc"));
        QFile::setPermissions(fake, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        AnalysisRun run(fake);
        QVERIFY(!run.Start(writeProject(project())));
        QCOMPARE(run.Outcome(), AnalysisRun::RunOutcome::NotStarted);
    }

    void aProgramThatCannotBeStartedChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("program"); // the file's content; empty: no file
        QTest::addColumn<bool>("executable");
        QTest::newRow("missing") << QByteArray() << true;
        QTest::newRow("not executable") << QByteArray("#!/bin/sh\n") << false;
        // The process start refuses it: an executable file of no known format.
        QTest::newRow("broken binary") << QByteArray("\x7f" "ELF\x02\x01\x01\0\0\0\0\0", 12) << true;
    }

    void aProgramThatCannotBeStartedChangesNothing()
    {
        QFETCH(QByteArray, program);
        QFETCH(bool, executable);
        QTemporaryDir bin;
        const QString programPath = bin.filePath("kdcalc");
        if (!program.isEmpty()) {
            QFile f(programPath);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(program);
            f.close();
            QFile::setPermissions(programPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                   | (executable ? QFileDevice::ExeOwner : QFileDevice::Permissions()));
        }
        const QString path = writeProject(project());
        // The results of an earlier run.
        writeProject("1 1\n", QStringLiteral("run.klp"));
        writeProject("report\n", QStringLiteral("run.klo"));
        writeProject("notes\n", QStringLiteral("run.klr"));
        const QStringList before = QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

        AnalysisRun run(programPath);
        QSignalSpy finished(&run, &AnalysisRun::finished);
        QVERIFY(!run.Start(path));
        QCOMPARE(run.Outcome(), AnalysisRun::RunOutcome::NotStarted);
        QVERIFY2(run.Message().startsWith(StartFailedMessage() + u'\r'), qPrintable(run.Message()));
        QVERIFY(!run.IsRunning());
        QCOMPARE(finished.count(), 0);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
        QCOMPARE(readAll(m_dir->filePath("run.klp")), QByteArray("1 1\n"));
        QCOMPARE(readAll(m_dir->filePath("run.klo")), QByteArray("report\n"));
        QCOMPARE(readAll(m_dir->filePath("run.klr")), QByteArray("notes\n"));
    }

    void aProjectNamedLikeItsResultsIsNotRun()
    {
        for (const char* name : {"p.klp", "p.klo", "p.klr"}) {
            const QString path = writeProject(project(), QString::fromLatin1(name));
            AnalysisRun run(QStringLiteral(FAKE_KDCALC_PATH));
            QVERIFY(!run.Start(path));
            QCOMPARE(run.Outcome(), AnalysisRun::RunOutcome::NotStarted);
            QVERIFY(run.Message().contains("would be overwritten"));
            QCOMPARE(readAll(path), project());
        }
    }

    void aNameTheFileListCannotCarryIsNotRun_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("why");
        QTest::newRow("trailing blank") << "run.kld " << "run.kld " << "it ends with a blank";
        QTest::newRow("line break") << "run\n.kld" << "run?.kld" << "it holds a line break";
        QTest::newRow("tab") << "run\t.kld" << "run?.kld" << "it holds a control character";
    }

    void aNameTheFileListCannotCarryIsNotRun()
    {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        QFETCH(QString, why);
        // Beside it another project whose results share the refused name's.
        writeProject(project(), QStringLiteral("run.kld"));
        const QString otherPlot = writeProject("plot data of run.kld\n", QStringLiteral("run.klp"));
        const QString path = writeProject(project(), name);
        AnalysisRun run(QStringLiteral(FAKE_KDCALC_PATH));
        QVERIFY(!run.Start(path));
        QCOMPARE(run.Outcome(), AnalysisRun::RunOutcome::NotStarted);
        QCOMPARE(run.Message(), "The project file name " + m_dir->filePath(shown)
                                    + " cannot be passed to the analysis program: " + why + ".");
        QVERIFY(!run.IsRunning());
        QVERIFY(!QFile::exists(m_log->filePath("names.dat"))); // the program never ran
        QCOMPARE(readAll(otherPlot), QByteArray("plot data of run.kld\n"));
    }

    void theDefaultProgramLiesBesideThisOne()
    {
        QCOMPARE(AnalysisRun::DefaultProgramPath(), QCoreApplication::applicationDirPath() + "/kdcalc");
    }
};

QTEST_GUILESS_MAIN(AnalysisRunTest)
#include "AnalysisRunTest.moc"
