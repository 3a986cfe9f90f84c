#include "AnalysisRun.h"

#include "DataUnit.h"
#include "FileListLayout.h"
#include "OutputNames.h"
#include "ProgressLine.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <algorithm>
#include <cstdio>
#include <cstring>


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
    // Refused before anything is removed: the outputs of a name the list
    // cannot carry may be those of another project.
    QByteArray text;
    try {
        text = FileListText(project);
    } catch (const kd::FileListRefused& e) {
        fail(RunOutcome::NotStarted, QFile::decodeName(e.what()));
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
    m_workDir = std::make_unique<QTemporaryDir>(QDir(QDir::tempPath()).filePath(QStringLiteral("keldor-run-XXXXXX")));
    if (!m_workDir->isValid()) {
        const QString error = m_workDir->errorString();
        cleanUp();
        fail(RunOutcome::NotStarted, QStringLiteral("No working directory could be made for the analysis program: %1")
                                       .arg(error));
        return false;
    }

    const QString listName = QString::fromLatin1(kd::kFileListName);
    QSaveFile list(QDir(m_workDir->path()).filePath(listName));
    if (!list.open(QIODevice::WriteOnly) || list.write(text) != text.size() || !list.commit()) {
        const QString error = list.errorString();
        cleanUp();
        fail(RunOutcome::NotStarted, QStringLiteral("The file list %1 could not be written: %2")
                                       .arg(QDir::toNativeSeparators(list.fileName()), error));
        return false;
    }

    // An old plot data file must never be taken for the result of this run.
    QString setAside;
    if (!setOldPlotDataAside(setAside)) {
        cleanUp();
        fail(RunOutcome::NotStarted, QStringLiteral("The old plot data file %1 could not be removed.")
                                       .arg(QDir::toNativeSeparators(m_plotDataPath)));
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
        // Nothing ran: the old plot data file goes back where it was.
        if (!setAside.isEmpty() && std::rename(QFile::encodeName(setAside).constData(),
                                               QFile::encodeName(m_plotDataPath).constData()) != 0)
            m_message += QStringLiteral("\rThe old plot data file %1 was kept as %2.")
                             .arg(QDir::toNativeSeparators(m_plotDataPath), QDir::toNativeSeparators(setAside));
        return false;
    }
    if (!setAside.isEmpty())
        QFile::remove(setAside);
    return true;
}

bool AnalysisRun::setOldPlotDataAside(QString& setAside) const
{
    setAside.clear();
    if (!QFileInfo::exists(m_plotDataPath))
        return true;
    // Renamed beside itself (a rename keeps the file as it is), onto a free
    // name reserved by a temporary file that the rename replaces.
    const QFileInfo old(m_plotDataPath);
    QTemporaryFile reserved(old.dir().filePath(QStringLiteral(".") + old.fileName() + QStringLiteral(".XXXXXX")));
    reserved.setAutoRemove(false);
    if (!reserved.open())
        return false;
    const QString name = reserved.fileName();
    reserved.close();
    if (std::rename(QFile::encodeName(m_plotDataPath).constData(), QFile::encodeName(name).constData()) != 0) {
        QFile::remove(name);
        return false;
    }
    setAside = name;
    return true;
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
    cleanUp();

    const auto detail = [&](const QString& what) {
        return RunFailedMessage() + QStringLiteral("\rProject file: ") + QDir::toNativeSeparators(m_projectPath)
               + u'\r' + what;
    };
    if (m_cancelled)
        fail(RunOutcome::Cancelled, CancelledMessage());
    else if (m_exitStatus != QProcess::NormalExit)
        fail(RunOutcome::Crashed, detail(QStringLiteral("The analysis program stopped abnormally.")));
    else if (m_exitCode != 0)
        fail(RunOutcome::ExitStatus,
             detail(QStringLiteral("The analysis program ended with exit status %1.").arg(m_exitCode)));
    else if (!QFileInfo(m_plotDataPath).isFile())
        fail(RunOutcome::NoPlotData, detail(QStringLiteral("The analysis program wrote no plot data file.")));
    else
        m_outcome = RunOutcome::Succeeded;
    // What a failed run left behind is never read as its result.
    if (m_outcome != RunOutcome::Succeeded)
        QFile::remove(m_plotDataPath);
    emit finished(m_outcome == RunOutcome::Succeeded);
}

void AnalysisRun::cleanUp()
{
    m_workDir.reset();
}
