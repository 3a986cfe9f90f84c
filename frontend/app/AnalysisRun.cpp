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

namespace {

// The console text kept for the message: its last lines.
constexpr int kShownConsoleLines = 30;
// More console output than this is not kept (a runaway program).
constexpr qsizetype kMaxConsoleChars = 1 << 20;

QString consoleTail(const QString& console)
{
    QStringList lines;
    for (const QString& line : console.split(u'\n'))
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    if (lines.size() > kShownConsoleLines)
        lines = lines.mid(lines.size() - kShownConsoleLines);
    return lines.join(u'\r');
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

QString TAnalysisRun::DefaultProgramPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("kdcalc"));
}

TAnalysisRun::TAnalysisRun(const QString& programPath, QObject* parent) : QObject(parent), m_programPath(programPath) {}

TAnalysisRun::~TAnalysisRun()
{
    if (m_process) {
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(-1);
    }
    cleanUp();
}

QString TAnalysisRun::WorkingDirectory() const
{
    return m_workDir ? m_workDir->path() : QString();
}

bool TAnalysisRun::IsRunning() const
{
    return m_process != nullptr;
}

void TAnalysisRun::fail(TOutcome outcome, const QString& detail)
{
    m_outcome = outcome;
    m_message = detail;
}

bool TAnalysisRun::Start(const QString& projectPath)
{
    if (m_process)
        return false;
    m_outcome = TOutcome::None;
    m_message.clear();
    m_console.clear();
    m_pending.clear();
    m_frequencyLines = 0;
    m_cancelled = false;

    const QFileInfo program(m_programPath);
    if (!program.isFile() || !program.isExecutable()) {
        fail(TOutcome::NotStarted, StartFailedMessage() + QStringLiteral("\rThe analysis program %1 was not found.")
                                                              .arg(QDir::toNativeSeparators(m_programPath)));
        return false;
    }

    const QString project = QFileInfo(projectPath).absoluteFilePath();
    m_plotDataPath = ChangeFileExt(project, QLatin1String(kd::kPlotDataExtension));
    // A project named like one of its own results would be removed or
    // overwritten by the run.
    for (const char* ext : kd::kOutputExtensions)
        if (ChangeFileExt(project, QString::fromLatin1(ext)) == project) {
            fail(TOutcome::NotStarted,
                 QStringLiteral("The project file %1 would be overwritten by the results of its run: save it under a "
                                "name with the extension .kld.")
                     .arg(QDir::toNativeSeparators(project)));
            return false;
        }
    // An old plot data file must never be taken for the result of this run.
    if (QFileInfo::exists(m_plotDataPath) && !QFile::remove(m_plotDataPath)) {
        fail(TOutcome::NotStarted, QStringLiteral("The old plot data file %1 could not be removed.")
                                       .arg(QDir::toNativeSeparators(m_plotDataPath)));
        return false;
    }

    m_workDir = std::make_unique<QTemporaryDir>(QDir(QDir::tempPath()).filePath(QStringLiteral("keldor-run-XXXXXX")));
    if (!m_workDir->isValid()) {
        const QString error = m_workDir->errorString();
        cleanUp();
        fail(TOutcome::NotStarted, QStringLiteral("No working directory could be made for the analysis program: %1")
                                       .arg(error));
        return false;
    }

    const QString listName = QString::fromLatin1(kd::kFileListName);
    QSaveFile list(QDir(m_workDir->path()).filePath(listName));
    const QByteArray text = FileListText(project);
    if (!list.open(QIODevice::WriteOnly) || list.write(text) != text.size() || !list.commit()) {
        const QString error = list.errorString();
        cleanUp();
        fail(TOutcome::NotStarted, QStringLiteral("The file list %1 could not be written: %2").arg(listName, error));
        return false;
    }

    m_process = new QProcess(this);
    m_process->setProgram(m_programPath);
    m_process->setArguments({});
    m_process->setWorkingDirectory(m_workDir->path());
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->setStandardInputFile(QProcess::nullDevice());
    connect(m_process, &QProcess::readyReadStandardOutput, this, [this] { readOutput(false); });
    connect(m_process, &QProcess::finished, this, &TAnalysisRun::processFinished);
    m_process->start();
    if (!m_process->waitForStarted(-1)) {
        const QString error = m_process->errorString();
        m_process->disconnect(this);
        delete m_process;
        m_process = nullptr;
        cleanUp();
        fail(TOutcome::NotStarted, StartFailedMessage() + u'\r' + error);
        return false;
    }
    return true;
}

void TAnalysisRun::Cancel()
{
    if (!m_process)
        return;
    m_cancelled = true;
    m_process->kill();
}

bool TAnalysisRun::WaitForEnd()
{
    if (m_process) {
        QEventLoop loop;
        connect(this, &TAnalysisRun::finished, &loop, &QEventLoop::quit);
        if (m_process)
            loop.exec();
    }
    return m_outcome == TOutcome::Succeeded;
}

void TAnalysisRun::readOutput(bool flushAll)
{
    if (!m_process)
        return;
    m_pending += m_process->readAllStandardOutput();
    // Output without line ends is taken as lines of at most kMaxConsoleChars,
    // so that it never piles up.
    if ((flushAll || m_pending.size() > kMaxConsoleChars) && !m_pending.isEmpty() && !m_pending.endsWith('\n'))
        m_pending += '\n';
    qsizetype end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        QString line = QString::fromLocal8Bit(m_pending.left(end));
        m_pending.remove(0, end + 1);
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (m_console.size() < kMaxConsoleChars)
            m_console += line + u'\n';
        emit progress(line);
        if (kd::isFrequencyProgressLine(line.toStdString()))
            emit frequencyDone(++m_frequencyLines);
    }
}

void TAnalysisRun::processFinished(int exitCode, QProcess::ExitStatus status)
{
    readOutput(true);
    m_process->deleteLater();
    m_process = nullptr;
    cleanUp();

    const QString printed = consoleTail(m_console);
    const auto detail = [&](const QString& what) {
        return RunFailedMessage() + u'\r' + what + (printed.isEmpty() ? QString() : u'\r' + printed);
    };
    if (m_cancelled)
        fail(TOutcome::Cancelled, detail(QStringLiteral("The analysis was cancelled.")));
    else if (status != QProcess::NormalExit)
        fail(TOutcome::Crashed, detail(QStringLiteral("The analysis program stopped abnormally.")));
    else if (exitCode != 0)
        fail(TOutcome::ExitStatus, detail(QStringLiteral("The analysis program ended with exit status %1.").arg(exitCode)));
    else if (!QFileInfo(m_plotDataPath).isFile())
        fail(TOutcome::NoPlotData, detail(QStringLiteral("The analysis program wrote no plot data file.")));
    else
        m_outcome = TOutcome::Succeeded;
    // What a failed run left behind is never read as its result.
    if (m_outcome != TOutcome::Succeeded)
        QFile::remove(m_plotDataPath);
    emit finished(m_outcome == TOutcome::Succeeded);
}

void TAnalysisRun::cleanUp()
{
    m_workDir.reset();
}
