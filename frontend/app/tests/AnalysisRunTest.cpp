#include "AnalysisRun.h"

#include "AppTestSupport.h"
#include "DataUnit.h"
#include "InputLimits.h"
#include "RunDirectory.h"
#include "RunFolder.h"
#include "RunWait.h"
#include "WriteFailureLine.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>

#include <optional>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
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

void writeFile(const QString& path, const QByteArray& text)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(text);
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

// No run holds the lock of the folder: the program that ran there has ended
// (or the folder is gone: a later run removed it).
bool runFolderFree(const QString& dir)
{
    const int fd = ::open(QFile::encodeName(QDir(dir).filePath("kdcalc.lock")).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return !QFileInfo::exists(dir);
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

// TMPDIR names `path` while this lives, and is then as it was.
class TmpDirSetting {
public:
    explicit TmpDirSetting(const QString& path) : m_had(qEnvironmentVariableIsSet("TMPDIR")), m_old(qgetenv("TMPDIR"))
    {
        qputenv("TMPDIR", QFile::encodeName(path));
    }
    ~TmpDirSetting()
    {
        if (m_had)
            qputenv("TMPDIR", m_old);
        else
            qunsetenv("TMPDIR");
    }
    TmpDirSetting(const TmpDirSetting&) = delete;
    TmpDirSetting& operator=(const TmpDirSetting&) = delete;

private:
    bool m_had;
    QByteArray m_old;
};

// A tmpfs of the given size mounted on a folder of its own, which is the
// temporary folder (TMPDIR) of the runs while it lasts. Unmounted, and TMPDIR
// as it was, when it goes.
class SmallTempFolder {
public:
    explicit SmallTempFolder(const QByteArray& size)
    {
        if (!m_point.isValid()) {
            m_problem = m_point.errorString();
            return;
        }
        if (::mount("tmpfs", QFile::encodeName(path()).constData(), "tmpfs", 0, ("size=" + size).constData()) != 0) {
            m_problem = QString::fromLocal8Bit(std::strerror(errno));
            return;
        }
        m_mounted = true;
        m_setting.emplace(path());
    }
    ~SmallTempFolder()
    {
        if (!m_mounted)
            return;
        m_setting.reset();
        ::umount2(QFile::encodeName(path()).constData(), MNT_DETACH);
    }
    SmallTempFolder(const SmallTempFolder&) = delete;
    SmallTempFolder& operator=(const SmallTempFolder&) = delete;

    bool mounted() const { return m_mounted; }
    // Why no tmpfs could be mounted.
    QString problem() const { return m_problem; }
    QString path() const { return m_point.path(); }
    // What the folder holds.
    QStringList entries() const
    {
        return QDir(path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    // Fills the file system to its last byte; true when it is full.
    bool fill() const
    {
        const int fd = ::open(QFile::encodeName(QDir(path()).filePath("fill")).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0)
            return false;
        const QByteArray block(4096, 'x');
        int error = 0;
        for (qsizetype left = 1; left > 0;) {
            const ssize_t n = ::write(fd, block.constData(), block.size());
            error = n < 0 ? errno : 0;
            left = n;
        }
        ::close(fd);
        return error == ENOSPC;
    }

private:
    QTemporaryDir m_point;
    QString m_problem;
    bool m_mounted = false;
    std::optional<TmpDirSetting> m_setting;
};

// The temporary folder (TMPDIR) is a new one of its own while this lives.
class OwnTemporaryFolder {
public:
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    TmpDirSetting m_setting{m_dir.path()};
};

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
        // A temporary folder of its own: no run of another test removes the
        // killed run's folder while this one looks at it.
        const OwnTemporaryFolder temp;
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

    // A run removes what runs that no longer go on left behind: their folders
    // under the temporary folder and their staged copies beside the project;
    // never what a run still going uses, another user's, or through a link.
    void leftoversOfEndedRunsAreRemoved_data()
    {
        QTest::addColumn<QString>("where"); // "temp" or "project"
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");  // folder, locked folder, busy folder, file, locked file, link, foreign
        QTest::addColumn<bool>("removed");
        QTest::newRow("folder of an ended run") << "temp" << "keldor-run-a1b2c3" << "folder" << true;
        QTest::newRow("folder of a run going on") << "temp" << "keldor-run-d4e5f6" << "locked folder" << false;
        QTest::newRow("folder the program still runs in") << "temp" << "keldor-run-g7h8i9" << "busy folder" << false;
        QTest::newRow("kept folder") << "temp" << "keldor-kept-j1k2l3" << "folder" << false;
        QTest::newRow("link to a folder") << "temp" << "keldor-run-m4n5o6" << "link" << false;
        QTest::newRow("another user's folder") << "temp" << "keldor-run-p7q8r9" << "foreign folder" << false;
        QTest::newRow("other folder") << "temp" << "keldor-a1b2c3" << "folder" << false;
        QTest::newRow("copy of an ended run") << "project" << ".keldor-1a2b3c4d.klo" << "file" << true;
        QTest::newRow("copy of a run going on") << "project" << ".keldor-5e6f7a8b.klp" << "locked file" << false;
        QTest::newRow("link named like a copy") << "project" << ".keldor-9c0d1e2f.klr" << "link" << false;
        QTest::newRow("another user's copy") << "project" << ".keldor-3a4b5c6d.klo" << "foreign file" << false;
        QTest::newRow("other hidden file") << "project" << ".keldorrc" << "file" << false;
    }
    void leftoversOfEndedRunsAreRemoved()
    {
        QFETCH(QString, where);
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(bool, removed);
        if (kind.startsWith("foreign") && geteuid() != 0)
            QSKIP("only the superuser can give an entry to another user");
        const OwnTemporaryFolder temp;
        const QString folder = where == "temp" ? temp.path() : m_dir->path();
        const QString entry = QDir(folder).filePath(name);
        const QByteArray entryName = QFile::encodeName(entry);
        // What a link names, outside both folders.
        QTemporaryDir outside;
        writeFile(outside.filePath("outside.txt"), "outside\n");
        int lock = -1;
        const auto unlock = qScopeGuard([&] {
            if (lock >= 0)
                ::close(lock);
        });
        if (kind.endsWith("folder")) {
            QVERIFY(QDir(folder).mkpath(name + "/scratch"));
            writeFile(entry + "/scratch/STG.CBM", "scratch\n");
        } else if (kind.endsWith("file")) {
            writeFile(entry, "staged\n");
        } else {
            QVERIFY(::symlink(QFile::encodeName(outside.path()).constData(), entryName.constData()) == 0);
        }
        if (kind.startsWith("locked")) {
            lock = ::open(entryName.constData(), O_RDONLY | O_CLOEXEC);
            QVERIFY(lock >= 0 && ::flock(lock, LOCK_EX) == 0);
        } else if (kind == "busy folder") {
            lock = ::open(QFile::encodeName(entry + "/kdcalc.lock").constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
            QVERIFY(lock >= 0 && ::flock(lock, LOCK_EX) == 0);
        } else if (kind.startsWith("foreign")) {
            QVERIFY(::lchown(entryName.constData(), 65534, 65534) == 0);
        }
        const QString outsideState = folderState(outside.path()).join(u'\n');

        qputenv("KELDOR_FAKE_MODE", "ok");
        AnalysisRun run(QStringLiteral(FAKE_KDCALC_PATH));
        QVERIFY(run.Start(writeProject(project())));
        QVERIFY(WaitForRunEnd(run));
        struct stat st {};
        QCOMPARE(::lstat(entryName.constData(), &st) != 0, removed);
        QCOMPARE(folderState(outside.path()).join(u'\n'), outsideState);
    }

    // Two runs side by side: the second leaves the folder of the first,
    // which goes on in another front end, and the run after the first has
    // ended removes it.
    void aRunLeavesTheFolderOfARunInAnotherFrontEnd()
    {
        const OwnTemporaryFolder temp;
        QProcess host;
        host.start(QStringLiteral(RUN_HOST_PATH), {QStringLiteral(KDCALC_PATH), writeProject(slowProject(), "slow.kld")});
        const auto killHost = qScopeGuard([&] {
            host.kill();
            host.waitForFinished();
        });
        QVERIFY(host.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(host.canReadLine() || host.state() == QProcess::NotRunning, kRunBoundMs);
        const QString other = QString::fromLocal8Bit(host.readLine().trimmed());
        QVERIFY2(other.startsWith(temp.path() + "/keldor-run-"), qPrintable(other));

        qputenv("KELDOR_FAKE_MODE", "ok");
        const QString path = writeProject(project());
        {
            AnalysisRun run(QStringLiteral(FAKE_KDCALC_PATH));
            QVERIFY(run.Start(path));
            QVERIFY(WaitForRunEnd(run));
        }
        QVERIFY(QFileInfo(QDir(other).filePath("names.dat")).isFile());
        QCOMPARE(host.state(), QProcess::Running);

        host.kill();
        QVERIFY(host.waitForFinished());
        // The analysis program ends at its next console line.
        QTRY_VERIFY_WITH_TIMEOUT(runFolderFree(other), kRunBoundMs);
        AnalysisRun run(QStringLiteral(FAKE_KDCALC_PATH));
        QVERIFY(run.Start(path));
        QVERIFY(WaitForRunEnd(run));
        QVERIFY(!QFileInfo::exists(other));
        QCOMPARE(QDir(temp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
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
        // Made read-only by its user: the run would replace it by a new file.
        QTest::newRow("read-only report") << "run.klo" << "is read-only";
        QTest::newRow("read-only plot data") << "run.klp" << "is read-only";
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
        else if (QByteArray(QTest::currentDataTag()).startsWith("read-only")) {
            writeProject("earlier result\r\n", result);
            QVERIFY(::chmod(name.constData(), 0444) == 0);
        } else {
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

    // A result of another user's that this one may not write is refused
    // like one its user made read-only.
    void aResultTheUserMayNotWriteIsRefused_data()
    {
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<int>("reportMode");
        QTest::addColumn<QString>("problem");
        QTest::newRow("may not write it") << 0777 << 0644 << "is read-only";
        // It may write the file, but not replace it: a rename over it fails.
        QTest::newRow("shared folder") << 01777 << 0666 << "belongs to another user in a shared folder";
    }
    void aResultTheUserMayNotWriteIsRefused()
    {
        QFETCH(int, folderMode);
        QFETCH(int, reportMode);
        QFETCH(QString, problem);
        if (geteuid() != 0)
            QSKIP("the test runs the check as an ordinary user beside the superuser's report");
        const QString folder = m_dir->filePath("shared");
        QVERIFY(QDir(m_dir->path()).mkdir("shared"));
        const QString path = writeProject(project(), "shared/run.kld");
        const QString report = writeProject("another user's report\r\n", "shared/run.klo");
        ::chmod(QFile::encodeName(m_dir->path()).constData(), 0755);
        ::chmod(QFile::encodeName(folder).constData(), mode_t(folderMode));
        ::chmod(QFile::encodeName(path).constData(), 0644);
        ::chmod(QFile::encodeName(report).constData(), mode_t(reportMode));
        const auto restore = qScopeGuard([&] { ::chmod(QFile::encodeName(folder).constData(), 0755); });
        const QStringList before = folderState(folder);
        const bool refused = AsOrdinaryUser([&] {
            AnalysisRun run(QStringLiteral(FAKE_KDCALC_PATH));
            return !run.Start(path) && run.Outcome() == AnalysisRun::RunOutcome::NotStarted
                   && run.Message() == "The analysis is not started: the result file " + report + " " + problem + ".";
        });
        QVERIFY(refused);
        QCOMPARE(folderState(folder), before);
    }

    // A result that cannot be put in place (here its name became a folder
    // during the run) is named, and so are the files of this run beside the
    // project; the program's files are kept where the message says, and a
    // plot data file beside the project is of the run of the report there.
    void aResultThatCannotBePutInPlaceIsNamed_data()
    {
        QTest::addColumn<QString>("blocked"); // the result whose name is a folder
        QTest::addColumn<QString>("state");   // what the message says of the files beside the project
        QTest::addColumn<QByteArray>("report");
        QTest::newRow("plot data") << "run.klp" << "The files beside the project are as they were."
                                   << QByteArray("earlier report\r\n");
        QTest::newRow("report") << "run.klo"
                                << "No file beside the project is of this run; the earlier plot data file was removed."
                                << QByteArray();
        QTest::newRow("run notes") << "run.klr"
                                   << "Of this run beside the project: %1/run.klo; the earlier plot data file was "
                                      "removed."
                                   << QByteArray(" FAKE REPORT\n");
    }
    void aResultThatCannotBePutInPlaceIsNamed()
    {
        QFETCH(QString, blocked);
        QFETCH(QString, state);
        QFETCH(QByteArray, report);
        const QString path = writeProject(project());
        writeEarlierResults();
        const QString blockedPath = m_dir->filePath(blocked);
        AnalysisRun run(QStringLiteral(FAKE_KDCALC_PATH));
        connect(&run, &AnalysisRun::frequencyDone, &run, [&](int count) {
            if (count != 1)
                return;
            QFile::remove(blockedPath);
            QDir(m_dir->path()).mkpath(blocked + "/inside");
        });
        QVERIFY(run.Start(path));
        QVERIFY(!WaitForRunEnd(run));
        QCOMPARE(run.Outcome(), AnalysisRun::RunOutcome::NotPlaced);
        const QString keptIn = QStringLiteral("\rThe files of the run were kept in ");
        const QString reason = run.Reason();
        const qsizetype at = reason.lastIndexOf(keptIn);
        QVERIFY2(at > 0 && reason.endsWith(u'.'), qPrintable(reason));
        const QString kept = reason.mid(at + keptIn.size()).chopped(1);
        QVERIFY2(kept.startsWith(QDir::tempPath() + "/keldor-kept-"), qPrintable(kept));
        const auto removeKept = qScopeGuard([&] { QDir(kept).removeRecursively(); });
        QCOMPARE(reason.left(at), RunFailedMessage() + "\rProject file: " + path + "\rThe result file " + blockedPath
                                      + " could not be written: Is a directory.\r" + QString(state).replace("%1", m_dir->path()));
        QVERIFY(readAll(QDir(kept).filePath("run.klp")).startsWith("           1           1\n"));
        // No later run takes the kept folder for a leftover.
        AnalysisRun next(QStringLiteral(FAKE_KDCALC_PATH));
        QVERIFY(next.Start(writeProject(project(), "next.kld")));
        QVERIFY(WaitForRunEnd(next));
        QVERIFY(QFile::exists(QDir(kept).filePath("run.klp")));
        if (blocked != "run.klo")
            QCOMPARE(readAll(m_dir->filePath("run.klo")), report);
        if (blocked != "run.klr")
            QCOMPARE(readAll(m_dir->filePath("run.klr")), QByteArray("earlier run notes\r\n"));
        const bool plotDataKept = blocked == "run.klp";
        QCOMPARE(QFileInfo(m_dir->filePath("run.klp")).isDir(), plotDataKept);
        QStringList entries{"next.kld", "next.klo", "next.klp", "next.klr", "run.kld", "run.klo", "run.klr"};
        if (plotDataKept)
            entries << "run.klp";
        entries.sort();
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), entries);
    }

    // Whenever the placing of results stops (a kill between two of its
    // steps), a plot data file beside the project belongs to the run of the
    // report beside it.
    void aPlotDataFileIsOfTheRunOfTheReportBesideIt_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<int>("steps"); // the earlier plot data file removed, each result renamed
        QTest::newRow("complete run") << QByteArray("ok") << 4;
        // The earlier report and run notes go too.
        QTest::newRow("complete run without report") << QByteArray("plotonly") << 4;
        QTest::newRow("failed run") << QByteArray("status") << 3;
    }
    void aPlotDataFileIsOfTheRunOfTheReportBesideIt()
    {
        QFETCH(QByteArray, mode);
        QFETCH(int, steps);
        const QString path = writeProject(project());
        writeEarlierResults();
        qputenv("KELDOR_FAKE_MODE", mode);
        AnalysisRun run(QStringLiteral(FAKE_KDCALC_PATH));
        QStringList seen;
        connect(&run, &AnalysisRun::resultFileChanged, &run, [&](const QString& changed) {
            const QByteArray report = readAll(m_dir->filePath("run.klo"));
            const bool plotData = QFile::exists(m_dir->filePath("run.klp"));
            const bool newPlotData = readAll(m_dir->filePath("run.klp")).startsWith("           1           1\n");
            const bool newReport = report.startsWith(" FAKE");
            seen << QStringLiteral("%1: report %2, plot data %3")
                        .arg(QFileInfo(changed).fileName(), newReport ? "new" : "earlier",
                             !plotData ? "none" : newPlotData ? "new" : "earlier");
            if (plotData && !report.isEmpty() && newPlotData != newReport)
                seen << "MIXED";
            // No other run puts results in the folder meanwhile.
            const int folder = ::open(QFile::encodeName(m_dir->path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (::flock(folder, LOCK_EX | LOCK_NB) == 0)
                seen << "UNLOCKED";
            ::close(folder);
        });
        QVERIFY(run.Start(path));
        WaitForRunEnd(run);
        QVERIFY2(!seen.contains("MIXED") && !seen.contains("UNLOCKED"), qPrintable(seen.join(u'\n')));
        QCOMPARE(seen.size(), steps);
        QCOMPARE(run.Outcome(), mode == "status" ? AnalysisRun::RunOutcome::ExitStatus : AnalysisRun::RunOutcome::Succeeded);
    }

    // The front end killed while it puts the results in place: the set
    // beside the project is of one run, and the next run removes the staged
    // copies and the run folder it left.
    void aKillWhilePlacingLeavesOneRunsSet_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<int>("killAt"); // the change beside the project at which it is killed
        QTest::addColumn<bool>("newReport");
        QTest::addColumn<bool>("staged"); // copies not yet renamed are left
        QTest::newRow("complete, earlier plot data removed") << QByteArray("ok") << 1 << false << true;
        QTest::newRow("complete, report placed") << QByteArray("ok") << 2 << true << true;
        QTest::newRow("complete, run notes placed") << QByteArray("ok") << 3 << true << true;
        // After a failed run the earlier plot data file goes before any copy is made.
        QTest::newRow("failed, earlier plot data removed") << QByteArray("status") << 1 << false << false;
        QTest::newRow("failed, report placed") << QByteArray("status") << 2 << true << true;
    }
    void aKillWhilePlacingLeavesOneRunsSet()
    {
        QFETCH(QByteArray, mode);
        QFETCH(int, killAt);
        QFETCH(bool, newReport);
        QFETCH(bool, staged);
        const OwnTemporaryFolder temp;
        const QString path = writeProject(project());
        writeEarlierResults();
        qputenv("KELDOR_FAKE_MODE", mode);
        QProcess host;
        host.start(QStringLiteral(RUN_HOST_PATH), {QStringLiteral(FAKE_KDCALC_PATH), path, QString::number(killAt)});
        QVERIFY(host.waitForStarted());
        QVERIFY(host.waitForFinished(kRunBoundMs));
        QCOMPARE(host.exitStatus(), QProcess::CrashExit);
        // No plot data file beside a report of another run.
        QVERIFY(!QFile::exists(m_dir->filePath("run.klp")));
        QCOMPARE(readAll(m_dir->filePath("run.klo")).startsWith(" FAKE"), newReport);
        QCOMPARE(QDir(m_dir->path()).entryList({".keldor-*"}, QDir::Files | QDir::Hidden).isEmpty(), !staged);
        QCOMPARE(QDir(temp.path()).entryList({"keldor-run-*"}, QDir::Dirs).size(), 1);

        qputenv("KELDOR_FAKE_MODE", "ok");
        AnalysisRun next(QStringLiteral(FAKE_KDCALC_PATH));
        QVERIFY(next.Start(path));
        QVERIFY(WaitForRunEnd(next));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList({"run.kld", "run.klo", "run.klp", "run.klr"}));
        QCOMPARE(QDir(temp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }

    // The results go to the folder that was checked at the start: moved
    // during the run, it takes them along, and another folder put under its
    // path is left as it was.
    void theResultsGoToTheFolderCheckedAtTheStart_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::newRow("complete run") << QByteArray("ok");
        QTest::newRow("failed run") << QByteArray("status");
    }
    void theResultsGoToTheFolderCheckedAtTheStart()
    {
        QFETCH(QByteArray, mode);
        QDir base(m_dir->path());
        QVERIFY(base.mkdir("project") && base.mkdir("other"));
        const QString path = writeProject(project(), "project/run.kld");
        writeProject("other report\r\n", "other/run.klo");
        writeProject(" 1 1\r\n other plot data\r\n", "other/run.klp");
        const QStringList other = folderState(base.filePath("other"));
        qputenv("KELDOR_FAKE_MODE", mode);
        AnalysisRun run(QStringLiteral(FAKE_KDCALC_PATH));
        connect(&run, &AnalysisRun::frequencyDone, &run, [&](int count) {
            if (count != 1)
                return;
            QVERIFY(base.rename("project", "moved"));
            QVERIFY(::symlink("other", QFile::encodeName(base.filePath("project")).constData()) == 0);
        });
        QVERIFY(run.Start(path));
        QVERIFY(!WaitForRunEnd(run));
        QCOMPARE(folderState(base.filePath("other")), other);
        QVERIFY(readAll(base.filePath("moved/run.klo")).startsWith(" FAKE"));
        QCOMPARE(QFile::exists(base.filePath("moved/run.klp")), mode == "ok");
        // Even a complete run fails: the plots would read the other folder's
        // plot data file under the project's path.
        QCOMPARE(run.Outcome(), mode == "ok" ? AnalysisRun::RunOutcome::NotPlaced : AnalysisRun::RunOutcome::ExitStatus);
        QVERIFY2(run.Reason().endsWith("\rThe folder of the project was moved during the run: the files of the run are in "
                                       + base.filePath("moved") + "."),
                 qPrintable(run.Reason()));
    }

    // A folder kept after a failed placing is renamed, which needs no room:
    // with no inode left in the temporary folder it is still kept, and no
    // later run removes it.
    void aKeptFolderNeedsNoRoom()
    {
        SmallTempFolder small("64k,nr_inodes=8");
        if (!small.mounted())
            QSKIP(qPrintable("No tmpfs can be mounted here: " + small.problem()));
        QString kept;
        {
            RunDirectory dir;
            QString error;
            QVERIFY2(dir.Make(error), qPrintable(error));
            writeFile(QDir(dir.Path()).filePath("run.klp"), " 1 1\n");
            for (int i = 0; QFile(QDir(small.path()).filePath(QString::number(i))).open(QIODevice::WriteOnly); ++i) {
            }
            kept = dir.Keep();
        }
        QVERIFY2(kept.startsWith(small.path() + "/keldor-kept-"), qPrintable(kept));
        RunDirectory::RemoveLeftovers(small.path());
        QCOMPARE(readAll(QDir(kept).filePath("run.klp")), QByteArray(" 1 1\n"));
    }

    // Another run's removal of leftovers may take a new run folder before
    // its run locks it: a new folder is made.
    void aRunFolderRemovedBeforeItIsLockedIsMadeAgain()
    {
        const OwnTemporaryFolder temp;
        RunDirectory dir;
        QString error;
        QStringList made;
        QVERIFY2(dir.Make(error,
                          [&](const QString& path) {
                              made << path;
                              if (made.size() == 1)
                                  RunDirectory::RemoveLeftovers(temp.path());
                          }),
                 qPrintable(error));
        QCOMPARE(made.size(), 2);
        QCOMPARE(dir.Path(), made[1]);
        QVERIFY(!QFileInfo::exists(made[0]));
        // Locked now: no removal takes it.
        RunDirectory::RemoveLeftovers(temp.path());
        QVERIFY(QFileInfo(dir.Path()).isDir());
    }

    // A temporary folder that cannot take a run folder with its file list:
    // the run is not started, the message names the folder and the system's
    // reason, and nothing beside the project or in that folder changes.
    void aTemporaryFolderThatCannotTakeTheRunIsNamed_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("earlier");
        QTest::newRow("full, earlier results") << "full" << true;
        QTest::newRow("full, none") << "full" << false;
        QTest::newRow("missing") << "missing" << true;
    }
    void aTemporaryFolderThatCannotTakeTheRunIsNamed()
    {
        QFETCH(QString, state);
        QFETCH(bool, earlier);
        const QString path = writeProject(project());
        if (earlier)
            writeEarlierResults();
        const QStringList before = folderState(m_dir->path());
        std::unique_ptr<SmallTempFolder> full;
        QString tempFolder;
        QString expected;
        const bool hadTmpDir = qEnvironmentVariableIsSet("TMPDIR");
        const QByteArray tmpDir = qgetenv("TMPDIR");
        const auto restoreTmpDir = qScopeGuard([&] {
            if (hadTmpDir)
                qputenv("TMPDIR", tmpDir);
            else
                qunsetenv("TMPDIR");
        });
        if (state == "full") {
            full = std::make_unique<SmallTempFolder>("64k");
            if (!full->mounted())
                QSKIP(qPrintable("No tmpfs can be mounted here: " + full->problem()));
            QVERIFY(full->fill());
            tempFolder = full->path();
            expected = "The analysis is not started: the file list names.dat could not be written in the temporary "
                       "folder " + tempFolder + ": No space left on device.";
        } else {
            tempFolder = m_dir->filePath("missing");
            qputenv("TMPDIR", QFile::encodeName(tempFolder));
            expected = "The analysis is not started: no run folder could be made in the temporary folder " + tempFolder
                       + ": No such file or directory.";
        }
        AnalysisRun run(QStringLiteral(KDCALC_PATH));
        QSignalSpy finished(&run, &AnalysisRun::finished);
        QVERIFY(!run.Start(path));
        QCOMPARE(run.Outcome(), AnalysisRun::RunOutcome::NotStarted);
        QCOMPARE(run.Message(), expected);
        QVERIFY(!run.IsRunning());
        QCOMPARE(finished.count(), 0);
        QCOMPARE(folderState(m_dir->path()), before);
        if (full)
            QCOMPARE(full->entries(), QStringList{"fill"});
    }

    // The real program on the example project in a temporary folder too small
    // for its files: it ends for want of room, and the results beside the
    // project stay as they were (or absent); nothing of the run is kept.
    void aRunFolderWithoutRoomKeepsTheEarlierResults_data()
    {
        QTest::addColumn<bool>("earlier");
        QTest::newRow("earlier results") << true;
        QTest::newRow("none") << false;
    }
    void aRunFolderWithoutRoomKeepsTheEarlierResults()
    {
        QFETCH(bool, earlier);
        QFile example(QStringLiteral(EXAMPLE_PROJECT));
        QVERIFY(example.open(QIODevice::ReadOnly));
        const QString path = writeProject(example.readAll());
        if (earlier)
            writeEarlierResults();
        const QStringList before = folderState(m_dir->path());
        SmallTempFolder small("64k");
        if (!small.mounted())
            QSKIP(qPrintable("No tmpfs can be mounted here: " + small.problem()));
        AnalysisRun run(QStringLiteral(KDCALC_PATH));
        QSignalSpy finished(&run, &AnalysisRun::finished);
        QVERIFY(run.Start(path));
        QVERIFY(!WaitForRunEnd(run));
        QCOMPARE(run.Outcome(), AnalysisRun::RunOutcome::RunFolderFailed);
        QCOMPARE(finished.count(), 1);
        // The program ran to the end of its computation and stopped on a full file system.
        QVERIFY2(run.ConsoleText().contains(" COMPUTATION COMPLETED.\n"), qPrintable(run.ConsoleText()));
        QVERIFY2(run.OutputTail().endsWith(": No space left on device"), qPrintable(run.OutputTail()));
        QCOMPARE(run.Reason(), RunFailedMessage() + "\rProject file: " + path + "\rThe temporary folder " + small.path()
                                   + " has no room for the files of the run (No space left on device). The results "
                                     "beside the project were left as they were; make room there, or name another "
                                     "folder in TMPDIR.");
        QCOMPARE(folderState(m_dir->path()), before);
        QCOMPARE(small.entries(), QStringList());
    }

    // A line of the program that says it could not write a file of its own
    // in its working directory is a failure of that folder whatever the
    // reason; the same line naming a file elsewhere is the project's failure.
    void aFileTheRunCannotWriteInItsFolderKeepsTheEarlierResults_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("detail");
        QTest::newRow("scratch file, I/O error")
            << QByteArray::fromStdString(" " + kd::cannotWriteText("STGRPKVV.CBM", "Input/output error"))
            << int(AnalysisRun::RunOutcome::RunFolderFailed)
            << "The files of the run could not be written in the temporary folder " + QDir::tempPath()
                   + ": Input/output error. The results beside the project were left as they were.";
        QTest::newRow("report, no reason") << QByteArray::fromStdString(" " + kd::cannotWriteText("{report}", ""))
                                           << int(AnalysisRun::RunOutcome::RunFolderFailed)
                                           << "The files of the run could not be written in the temporary folder "
                                                  + QDir::tempPath()
                                                  + ". The results beside the project were left as they were.";
        QTest::newRow("lock file, quota") << QByteArray::fromStdString(" " + kd::cannotLockText("Disk quota exceeded"))
                                          << int(AnalysisRun::RunOutcome::RunFolderFailed)
                                          << "The temporary folder " + QDir::tempPath()
                                                 + " has no room for the files of the run (Disk quota exceeded).";
        QTest::newRow("a file elsewhere")
            << QByteArray::fromStdString(" "
                                         + kd::cannotOpenForWritingText("/elsewhere/run.klo", "No space left on device"))
            << int(AnalysisRun::RunOutcome::ExitStatus) << "The analysis program ended with exit status 1.";
    }
    void aFileTheRunCannotWriteInItsFolderKeepsTheEarlierResults()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, outcome);
        QFETCH(QString, detail);
        const QString path = writeProject(project());
        writeEarlierResults();
        const QStringList before = folderState(m_dir->path());
        qputenv("KELDOR_FAKE_MODE", "line");
        qputenv("KELDOR_FAKE_LINE", line);
        AnalysisRun run(QStringLiteral(FAKE_KDCALC_PATH));
        QVERIFY(run.Start(path));
        const QString workDir = run.WorkingDirectory();
        QVERIFY(!WaitForRunEnd(run));
        QCOMPARE(int(run.Outcome()), outcome);
        QVERIFY2(run.Reason().startsWith(RunFailedMessage() + "\rProject file: " + path + "\r" + detail),
                 qPrintable(run.Reason()));
        QVERIFY(run.Message().endsWith(QString::fromLocal8Bit(line.trimmed()).replace("{report}", workDir + "/run.klo")));
        QVERIFY(!QDir(workDir).exists());
        if (outcome == int(AnalysisRun::RunOutcome::RunFolderFailed)) {
            QCOMPARE(folderState(m_dir->path()), before);
        } else {
            // As after any failure of the project: the report says why, no plot data.
            QCOMPARE(readAll(m_dir->filePath("run.klo")), QByteArray(" FAKE: THE RUN IS REFUSED\n"));
            QVERIFY(!QFile::exists(m_dir->filePath("run.klp")));
        }
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
