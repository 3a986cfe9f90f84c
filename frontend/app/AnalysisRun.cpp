#include "AnalysisRun.h"

#include "DataUnit.h"
#include "FileListLayout.h"
#include "FileToWrite.h"
#include "OutputNames.h"
#include "ProgressLine.h"
#include "WriteFailureLine.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The hidden names beside the project under which results are written
// before they are renamed into place.
const QString kStagedPrefix = QStringLiteral(".keldor-");

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Why the run must not replace the result file at path beside the project
// (empty: it may). The program never sees these names, so the front end
// refuses what the program refuses for its outputs.
QString resultFileProblem(const QString& path, const QString& projectPath)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QString(); // not there: it will be created
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("is a symbolic link");
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("is not a regular file");
    struct stat project {};
    if (::stat(QFile::encodeName(projectPath).constData(), &project) == 0 && project.st_dev == st.st_dev
        && project.st_ino == st.st_ino)
        return QStringLiteral("is the same file as the project file");
    return QString();
}

// Writes a copy of `from` beside `to` under a new hidden name, made by this
// call alone (so never through a link), with the permissions of the regular
// file it is to replace, or those of a new file. Returns the name, or empty
// with `error` set; on failure nothing is left.
QString stageBeside(const QString& from, const QString& to, QString& error)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) {
        error = in.errorString();
        return QString();
    }
    const QFileInfo target(to);
    QByteArray name;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        // Short whatever the result's name: the folder check at the start
        // made a name of this length.
        const QString random = QString::number(QRandomGenerator::global()->generate(), 16);
        name = QFile::encodeName(target.dir().filePath(kStagedPrefix + random + u'.' + target.suffix()));
        fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            error = systemError(errno);
            return QString();
        }
    }
    if (fd < 0) {
        error = systemError(EEXIST);
        return QString();
    }
    struct stat old {};
    if (::lstat(QFile::encodeName(to).constData(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(fd, old.st_mode & 0777);
    int failed = 0;
    while (failed == 0 && !in.atEnd()) {
        const QByteArray piece = in.read(1 << 20);
        if (piece.isEmpty()) {
            error = in.errorString();
            failed = -1;
            break;
        }
        failed = kd::writeWhole(fd, piece.constData(), static_cast<std::size_t>(piece.size()));
    }
    // Whole on disk before its name can stand for the result.
    if (failed == 0 && ::fsync(fd) != 0)
        failed = errno;
    if (::close(fd) != 0 && failed == 0)
        failed = errno;
    if (failed != 0) {
        if (failed > 0)
            error = systemError(failed);
        ::unlink(name.constData());
        return QString();
    }
    return QFile::decodeName(name);
}

} // namespace


QString RunFailedMessage()
{
    return QStringLiteral("An error occured in running the main program.");
}

QString StartFailedMessage()
{
    return QStringLiteral("An error occurred in running the program");
}

QString CancelledMessage()
{
    return QStringLiteral("The analysis was cancelled.");
}

QString AnalysisRun::DefaultProgramPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("kdcalc"));
}

AnalysisRun::AnalysisRun(const QString& programPath, QObject* parent) : QObject(parent), m_programPath(programPath) {}

AnalysisRun::~AnalysisRun()
{
    if (m_process) {
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(-1);
    }
    cleanUp();
}

QString AnalysisRun::WorkingDirectory() const
{
    return m_workDir ? m_workDir->path() : QString();
}

bool AnalysisRun::IsRunning() const
{
    return m_process != nullptr;
}

void AnalysisRun::fail(RunOutcome outcome, const QString& detail)
{
    m_outcome = outcome;
    m_message = detail;
}

bool AnalysisRun::Start(const QString& projectPath)
{
    if (m_process)
        return false;
    m_outcome = RunOutcome::None;
    m_message.clear();
    m_console.clear();
    m_line.clear();
    m_lineCut = false;
    m_tail.clear();
    m_exited = false;
    m_frequencyLines = 0;
    m_cancelled = false;

    const QFileInfo program(m_programPath);
    if (!program.isFile() || !program.isExecutable()) {
        fail(RunOutcome::NotStarted, StartFailedMessage() + QStringLiteral("\rThe analysis program %1 was not found.")
                                                              .arg(QDir::toNativeSeparators(m_programPath)));
        return false;
    }

    const QString project = QFileInfo(projectPath).absoluteFilePath();
    m_projectPath = project;
    m_plotDataPath = ChangeFileExt(project, QLatin1String(kd::kPlotDataExtension));
    if (const auto problem = kd::fileListProblem(QFile::encodeName(project).toStdString())) {
        fail(RunOutcome::NotStarted, QFile::decodeName(problem->c_str()));
        return false;
    }
    // A project named like one of its own results would be removed or
    // overwritten by the run.
    for (const char* ext : kd::kOutputExtensions)
        if (ChangeFileExt(project, QString::fromLatin1(ext)) == project) {
            fail(RunOutcome::NotStarted,
                 QStringLiteral("The project file %1 would be overwritten by the results of its run: save it under a "
                                "name with the extension .kld.")
                     .arg(QDir::toNativeSeparators(project)));
            return false;
        }
    // What would stop the results from being put in place is refused now,
    // not after a run that may take hours.
    for (const char* ext : kd::kOutputExtensions) {
        const QString result = ChangeFileExt(project, QString::fromLatin1(ext));
        const QString problem = resultFileProblem(result, project);
        if (!problem.isEmpty()) {
            fail(RunOutcome::NotStarted, QStringLiteral("The analysis is not started: the result file %1 %2.")
                                           .arg(QDir::toNativeSeparators(result), problem));
            return false;
        }
    }
    {
        const QString folder = QFileInfo(project).absolutePath();
        QTemporaryFile probe(QDir(folder).filePath(kStagedPrefix + QStringLiteral("XXXXXXXX.klo")));
        if (!probe.open()) {
            fail(RunOutcome::NotStarted,
                 QStringLiteral("The analysis is not started: the results cannot be written in the folder %1: %2.")
                     .arg(QDir::toNativeSeparators(folder), probe.errorString()));
            return false;
        }
    }

    // Qt gives no temporary folder for a TMPDIR that does not resolve: the
    // run folder is then tried there, never in the current directory, and
    // the message names it.
    QString tempFolder = QDir::tempPath();
    if (tempFolder.isEmpty())
        tempFolder = QDir::cleanPath(qEnvironmentVariable("TMPDIR"));
    m_workDir = std::make_unique<QTemporaryDir>(QDir(tempFolder).filePath(QStringLiteral("keldor-run-XXXXXX")));
    if (!m_workDir->isValid()) {
        const QString error = m_workDir->errorString();
        cleanUp();
        fail(RunOutcome::NotStarted,
             QStringLiteral("The analysis is not started: no run folder could be made in the temporary folder %1: %2.")
                 .arg(QDir::toNativeSeparators(tempFolder), error));
        return false;
    }
    // The program writes its outputs in the working directory; they are put
    // beside the project once it has ended, other than by Cancel.
    QByteArray text;
    try {
        text = FileListText(project, m_workDir->path());
    } catch (const kd::FileListRefused& e) {
        cleanUp();
        fail(RunOutcome::NotStarted, QFile::decodeName(e.what()));
        return false;
    }

    // Unbuffered, every write and the close checked: a buffered writer can
    // lose its flush on a full file system and still report success, and the
    // program would then read an empty list.
    const QByteArray listPath = QFile::encodeName(QDir(m_workDir->path()).filePath(QLatin1String(kd::kFileListName)));
    int listError = 0;
    const int listFd = ::open(listPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (listFd < 0) {
        listError = errno;
    } else {
        listError = kd::writeWhole(listFd, text.constData(), static_cast<std::size_t>(text.size()));
        if (::close(listFd) != 0 && listError == 0)
            listError = errno;
    }
    if (listError != 0) {
        cleanUp();
        fail(RunOutcome::NotStarted,
             QStringLiteral("The analysis is not started: the file list %1 could not be written in the temporary "
                            "folder %2: %3.")
                 .arg(QLatin1String(kd::kFileListName), QDir::toNativeSeparators(tempFolder), systemError(listError)));
        return false;
    }

    m_process = new QProcess(this);
    m_process->setProgram(m_programPath);
    m_process->setArguments({});
    m_process->setWorkingDirectory(m_workDir->path());
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->setStandardInputFile(QProcess::nullDevice());
    connect(m_process, &QProcess::readyReadStandardOutput, this, &AnalysisRun::readOutput);
    connect(m_process, &QProcess::finished, this, &AnalysisRun::processFinished);
    m_process->start();
    if (!m_process->waitForStarted(-1)) {
        const QString error = m_process->errorString();
        m_process->disconnect(this);
        delete m_process;
        m_process = nullptr;
        cleanUp();
        fail(RunOutcome::NotStarted,
             StartFailedMessage() + u'\r' + QDir::toNativeSeparators(m_programPath) + QStringLiteral(": ") + error);
        return false;
    }
    return true;
}

QString AnalysisRun::inRun(const QString& besideProject) const
{
    return QDir(m_workDir->path()).filePath(QFileInfo(besideProject).fileName());
}

QString AnalysisRun::placeResults(const QStringList& results) const
{
    // Every copy is made before any name is replaced: a copy that fails
    // leaves the files beside the project as they were.
    QStringList staged;
    const auto discard = [&](qsizetype from) {
        for (qsizetype i = from; i < staged.size(); ++i)
            QFile::remove(staged[i]);
    };
    const auto problem = [](const QString& result, const QString& error) {
        return QStringLiteral("The result file %1 could not be written: %2.")
            .arg(QDir::toNativeSeparators(result), error);
    };
    for (const QString& result : results) {
        QString error;
        const QString copy = stageBeside(inRun(result), result, error);
        if (copy.isEmpty()) {
            discard(0);
            return problem(result, error);
        }
        staged << copy;
    }
    // A rename replaces the name at once: never a partial file under it, and
    // a link there is replaced, not written through.
    for (qsizetype i = 0; i < results.size(); ++i)
        if (std::rename(QFile::encodeName(staged[i]).constData(), QFile::encodeName(results[i]).constData()) != 0) {
            const int error = errno;
            discard(i);
            return problem(results[i], systemError(error));
        }
    return QString();
}

void AnalysisRun::Cancel()
{
    if (!m_process)
        return;
    m_cancelled = true;
    m_process->kill();
}

bool AnalysisRun::WaitForEnd()
{
    if (m_process) {
        QEventLoop loop;
        connect(this, &AnalysisRun::finished, &loop, &QEventLoop::quit);
        if (m_process)
            loop.exec();
    }
    return m_outcome == RunOutcome::Succeeded;
}

QString AnalysisRun::Message() const
{
    const QString tail = OutputTail();
    return m_message.isEmpty() || tail.isEmpty() ? m_message : m_message + u'\r' + tail;
}

QString AnalysisRun::OutputTail() const
{
    QStringList lines;
    for (const QString& line : m_tail)
        lines << line;
    return lines.join(u'\r');
}

void AnalysisRun::scheduleRead()
{
    if (m_readScheduled)
        return;
    m_readScheduled = true;
    QMetaObject::invokeMethod(this, &AnalysisRun::readOutput, Qt::QueuedConnection);
}

void AnalysisRun::readOutput()
{
    m_readScheduled = false;
    if (!m_process)
        return;
    // A progress handler may run the event loop (a modal progress dialog
    // does): a call from there waits for its turn, so that lines keep their order.
    if (m_reading) {
        scheduleRead();
        return;
    }
    m_reading = true;
    const QByteArray piece = m_process->read(kReadChunk);
    takeBytes(piece.constData(), piece.size());
    m_reading = false;
    if (m_process->bytesAvailable() > 0)
        scheduleRead();
    else if (m_exited)
        finish();
}

void AnalysisRun::takeBytes(const char* data, qsizetype size)
{
    qsizetype pos = 0;
    while (pos < size) {
        const auto* found =
            static_cast<const char*>(std::memchr(data + pos, '\n', static_cast<std::size_t>(size - pos)));
        const qsizetype end = found ? found - data : size;
        // Only the first kMaxLineBytes of a line are kept; the rest is passed over.
        const qsizetype room = kMaxLineBytes - m_line.size();
        const qsizetype take = std::min(end - pos, std::max<qsizetype>(room, 0));
        m_line.append(data + pos, take);
        if (take < end - pos)
            m_lineCut = true;
        if (!found)
            break;
        endLine();
        pos = end + 1;
    }
}

void AnalysisRun::endLine()
{
    QString line = QString::fromLocal8Bit(m_line);
    m_line.clear();
    if (line.endsWith(u'\r'))
        line.chop(1);
    if (m_lineCut)
        line += QStringLiteral(" ...");
    m_lineCut = false;

    m_console += line + u'\n';
    // The console text keeps its end: a runaway program's last lines are what tell.
    if (m_console.size() > kMaxConsoleChars)
        m_console.remove(0, m_console.size() - kMaxConsoleChars / 2);
    if (!line.trimmed().isEmpty()) {
        m_tail.push_back(line.trimmed());
        if (m_tail.size() > static_cast<std::size_t>(kShownConsoleLines))
            m_tail.pop_front();
    }
    emit progress(line);
    if (kd::isFrequencyProgressLine(line.toStdString()))
        emit frequencyDone(++m_frequencyLines);
}

void AnalysisRun::processFinished(int exitCode, QProcess::ExitStatus status)
{
    m_exited = true;
    m_exitCode = exitCode;
    m_exitStatus = status;
    // The output still buffered is taken piece by piece before the run ends.
    if (!m_readScheduled)
        readOutput();
}

void AnalysisRun::finish()
{
    if (!m_line.isEmpty() || m_lineCut)
        endLine();
    m_process->deleteLater();
    m_process = nullptr;

    const auto detail = [&](const QString& what) {
        return RunFailedMessage() + QStringLiteral("\rProject file: ") + QDir::toNativeSeparators(m_projectPath)
               + u'\r' + what;
    };
    if (m_cancelled) {
        // Nothing of the run reaches the project's folder.
        fail(RunOutcome::Cancelled, CancelledMessage());
    } else {
        if (m_exitStatus != QProcess::NormalExit)
            fail(RunOutcome::Crashed, detail(QStringLiteral("The analysis program stopped abnormally.")));
        else if (m_exitCode != 0)
            fail(RunOutcome::ExitStatus,
                 detail(QStringLiteral("The analysis program ended with exit status %1.").arg(m_exitCode)));
        else if (!QFileInfo(inRun(m_plotDataPath)).isFile())
            fail(RunOutcome::NoPlotData, detail(QStringLiteral("The analysis program wrote no plot data file.")));
        else
            m_outcome = RunOutcome::Succeeded;

        // The program writes nothing but into its working directory: when its
        // last line says it could not write a file there (a name without a
        // folder is there too) or its lock file, the fault is that folder's,
        // not the project's. Nothing of the run is placed or removed; the
        // message names the temporary folder, as the run folder goes.
        const auto unwritten = m_outcome == RunOutcome::ExitStatus && !m_tail.empty()
                                   ? kd::parseWriteFailureLine(m_tail.back().toStdString())
                                   : std::nullopt;
        const QString unwrittenFile = unwritten ? QFile::decodeName(unwritten->file.c_str()) : QString();
        if (!unwrittenFile.isEmpty()
            && (QDir::isRelativePath(unwrittenFile) || unwrittenFile.startsWith(m_workDir->path() + u'/'))) {
            const QString tempFolder = QDir::toNativeSeparators(QFileInfo(m_workDir->path()).absolutePath());
            const QString reason = QString::fromLocal8Bit(unwritten->reason.c_str());
            fail(RunOutcome::RunFolderFailed,
                 detail(kd::isNoRoomReason(unwritten->reason)
                            ? QStringLiteral("The temporary folder %1 has no room for the files of the run (%2). The "
                                             "results beside the project were left as they were; make room there, or "
                                             "name another folder in TMPDIR.")
                                  .arg(tempFolder, reason)
                            : QStringLiteral("The files of the run could not be written in the temporary folder "
                                             "%1%2. The results beside the project were left as they were.")
                                  .arg(tempFolder, reason.isEmpty() ? QString() : QStringLiteral(": ") + reason)));
            cleanUp();
            emit finished(false);
            return;
        }

        // A complete run gives all its results, the plot data file first; a
        // failed one its report and run notes, which say why.
        const bool succeeded = m_outcome == RunOutcome::Succeeded;
        QStringList results;
        for (const char* ext : {kd::kPlotDataExtension, kd::kReportExtension, kd::kRunNotesExtension}) {
            const QString result = ChangeFileExt(m_projectPath, QString::fromLatin1(ext));
            if ((succeeded || result != m_plotDataPath) && QFileInfo::exists(inRun(result)))
                results << result;
        }
        const QString problem = placeResults(results);
        if (!problem.isEmpty()) {
            // Nothing the program wrote is lost: its folder stays, and the
            // message says where.
            m_workDir->setAutoRemove(false);
            const QString kept = problem + QStringLiteral("\rThe files of the run were kept in %1.")
                                               .arg(QDir::toNativeSeparators(m_workDir->path()));
            if (succeeded)
                fail(RunOutcome::NotPlaced, detail(kept));
            else
                m_message += u'\r' + kept;
        }
        // An earlier run's plot data file must never pass for the result of
        // a failed one.
        if (!succeeded)
            QFile::remove(m_plotDataPath);
    }
    cleanUp();
    emit finished(m_outcome == RunOutcome::Succeeded);
}

void AnalysisRun::cleanUp()
{
    m_workDir.reset();
}
