#include "AnalysisRun.h"

#include "DataUnit.h"
#include "FileListLayout.h"
#include "FileToWrite.h"
#include "OutputNames.h"
#include "ProgressLine.h"
#include "RunDirectory.h"
#include "WriteFailureLine.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString fileName(const QString& path)
{
    return QFileInfo(path).fileName();
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
    return m_workDir ? m_workDir->Path() : QString();
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
    // The results go to this folder, held from now on: a folder moved during
    // the run takes them along, and another one put under its path gets none.
    const QString folder = QFileInfo(project).absolutePath();
    const auto folderRefused = [&](const QString& why) {
        cleanUp();
        fail(RunOutcome::NotStarted,
             QStringLiteral("The analysis is not started: the results cannot be written in the folder %1: %2.")
                 .arg(QDir::toNativeSeparators(folder), why));
        return false;
    };
    QString error;
    if (!m_folder.Open(folder, error))
        return folderRefused(error);
    // What would stop the results from being put in place is refused now,
    // not after a run that may take hours.
    if (const QString problem = m_folder.WriteProblem(); !problem.isEmpty())
        return folderRefused(problem);
    for (const char* ext : kd::kOutputExtensions) {
        const QString result = ChangeFileExt(project, QString::fromLatin1(ext));
        const QString problem = m_folder.ResultProblem(fileName(result), project);
        if (!problem.isEmpty()) {
            cleanUp();
            fail(RunOutcome::NotStarted, QStringLiteral("The analysis is not started: the result file %1 %2.")
                                           .arg(QDir::toNativeSeparators(result), problem));
            return false;
        }
    }
    // What runs that no longer go on left behind: their staged copies beside
    // this project and their folders under the temporary folder.
    const QString tempFolder = RunDirectory::TemporaryFolder();
    m_folder.RemoveLeftovers();
    RunDirectory::RemoveLeftovers(tempFolder);

    m_workDir = std::make_unique<RunDirectory>();
    if (!m_workDir->Make(error)) {
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
        text = FileListText(project, m_workDir->Path());
    } catch (const kd::FileListRefused& e) {
        cleanUp();
        fail(RunOutcome::NotStarted, QFile::decodeName(e.what()));
        return false;
    }

    // Unbuffered, every write and the close checked: a buffered writer can
    // lose its flush on a full file system and still report success, and the
    // program would then read an empty list.
    const QByteArray listPath = QFile::encodeName(QDir(m_workDir->Path()).filePath(QLatin1String(kd::kFileListName)));
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
    m_process->setWorkingDirectory(m_workDir->Path());
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
    return QDir(m_workDir->Path()).filePath(fileName(besideProject));
}

QString AnalysisRun::placeResults(const QStringList& results, bool complete)
{
    const ResultFolder::PlacingLock placing = m_folder.LockPlacing();
    QStringList placed;
    QStringList removed; // what of the earlier results went: "plot data file", "report", "run notes"
    const auto problem = [&](const QString& result, const QString& error) {
        QString text = QStringLiteral("The result file %1 could not be written: %2.\r")
                           .arg(QDir::toNativeSeparators(result), error);
        if (placed.isEmpty() && removed.isEmpty())
            return text + QStringLiteral("The files beside the project are as they were.");
        QStringList names;
        for (const QString& path : placed)
            names << QDir::toNativeSeparators(path);
        text += names.isEmpty() ? QStringLiteral("No file beside the project is of this run")
                                : QStringLiteral("Of this run beside the project: %1").arg(names.join(QStringLiteral(", ")));
        if (removed.isEmpty())
            return text + u'.';
        const QString what = removed.size() == 1 ? removed[0]
                                                 : removed.mid(0, removed.size() - 1).join(QStringLiteral(", "))
                                                       + QStringLiteral(" and ") + removed.last();
        return text + QStringLiteral("; the earlier %1 %2 removed.").arg(what, removed.size() == 1 ? "was" : "were");
    };
    const auto remove = [&](const QString& result, const QString& what) -> int {
        bool gone = false;
        const int error = m_folder.Remove(fileName(result), &gone);
        if (gone) {
            removed << what;
            emit resultFileChanged(result);
        }
        return error;
    };
    const auto removePlotData = [&] { return remove(m_plotDataPath, QStringLiteral("plot data file")); };
    // After a failed run the earlier plot data file goes first, whatever
    // else happens: it must never stand beside the report that says why.
    if (!complete)
        if (const int error = removePlotData())
            return problem(m_plotDataPath, systemError(error));
    // Every copy is made before any name is replaced: a copy that fails
    // leaves the files beside the project as they were.
    std::vector<ResultFolder::StagedCopy> staged;
    for (const QString& result : results) {
        QString error;
        staged.push_back(m_folder.Stage(inRun(result), fileName(result), error));
        if (!staged.back().IsValid())
            return problem(result, error);
    }
    // A plot data file beside the project marks a whole set: the earlier one
    // goes before any result is replaced and the new one comes last, so that
    // it never stands beside another run's report, wherever placing stops.
    if (complete) {
        if (const int error = removePlotData())
            return problem(m_plotDataPath, systemError(error));
        // A result the run did not write goes too: no earlier run's file
        // stays in the set.
        for (const auto& [ext, what] : {std::pair{kd::kReportExtension, "report"}, {kd::kRunNotesExtension, "run notes"}}) {
            const QString result = ChangeFileExt(m_projectPath, QString::fromLatin1(ext));
            if (!results.contains(result))
                if (const int error = remove(result, QString::fromLatin1(what)))
                    return problem(result, systemError(error));
        }
    }
    // A rename replaces the name at once: never a partial file under it, and
    // a link there is replaced, not written through.
    for (std::size_t i = 0; i < staged.size(); ++i) {
        const QString& result = results[static_cast<qsizetype>(i)];
        if (const int error = m_folder.Replace(staged[i], fileName(result)))
            return problem(result, systemError(error));
        placed << result;
        emit resultFileChanged(result);
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
            && (QDir::isRelativePath(unwrittenFile) || unwrittenFile.startsWith(m_workDir->Path() + u'/'))) {
            const QString tempFolder = QDir::toNativeSeparators(QFileInfo(m_workDir->Path()).absolutePath());
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

        // A complete run gives all its results, the plot data file last; a
        // failed one its report and run notes, which say why.
        const bool succeeded = m_outcome == RunOutcome::Succeeded;
        QStringList results;
        for (const char* ext : {kd::kReportExtension, kd::kRunNotesExtension, kd::kPlotDataExtension}) {
            const QString result = ChangeFileExt(m_projectPath, QString::fromLatin1(ext));
            if ((succeeded || result != m_plotDataPath) && QFileInfo::exists(inRun(result)))
                results << result;
        }
        QString problem = placeResults(results, succeeded);
        // The project's path names another folder now: its results are not
        // where the project is looked for, and the plots must not read
        // another folder's plot data file under that path.
        if (problem.isEmpty() && !results.isEmpty() && !m_folder.IsAtPath()) {
            const QString now = m_folder.CurrentPath();
            const QString moved =
                QStringLiteral("The folder of the project was moved during the run: the files of the run are in %1.")
                    .arg(now.isEmpty() ? QStringLiteral("the folder where it was moved")
                                       : QDir::toNativeSeparators(now));
            if (succeeded)
                fail(RunOutcome::NotPlaced, detail(moved));
            else
                m_message += u'\r' + moved;
        }
        if (!problem.isEmpty()) {
            // Nothing the program wrote is lost: its folder stays, and the
            // message says where.
            const QString keptAt = m_workDir->Keep();
            const QString kept =
                problem + (keptAt.isEmpty() ? QStringLiteral("\rThe files of the run are in %1 until the next run.")
                                                  .arg(QDir::toNativeSeparators(m_workDir->Path()))
                                            : QStringLiteral("\rThe files of the run were kept in %1.")
                                                  .arg(QDir::toNativeSeparators(keptAt)));
            if (succeeded)
                fail(RunOutcome::NotPlaced, detail(kept));
            else
                m_message += u'\r' + kept;
        }
    }
    cleanUp();
    emit finished(m_outcome == RunOutcome::Succeeded);
}

void AnalysisRun::cleanUp()
{
    m_workDir.reset();
    m_folder.Close();
}
