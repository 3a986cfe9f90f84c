#include "ProjectDocument.h"

#include "AnalysisRun.h"
#include "InputLimits.h"
#include "Misc.h"
#include "OutputNames.h"
#include "ProgressLine.h"
#include "ResultPlots.h"
#include "UserDialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>

#include <algorithm>
#include <exception>
#include <new>

namespace {

const QString kCaptionPrefix = QStringLiteral("KELDOR 2.0 - ");

} // namespace

ProjectDocument::ProjectDocument(ProjectTables& tables, ResultPlots& plots, QObject* parent)
    : QObject(parent), m_tables(tables), m_plots(plots), m_programData(TProgramData::Create(tables)),
      m_analysisProgram(AnalysisRun::DefaultProgramPath())
{
    fileNameChanged();
}

ProjectDocument::~ProjectDocument() = default;

void ProjectDocument::SetDialogs(UserDialogs* dialogs, QWidget* dialogParent)
{
    m_dialogs = dialogs;
    m_dialogParent = dialogParent;
}

// ------------------------------------------------------------------- state

QString ProjectDocument::DisplayName(const QString& path)
{
    const qsizetype cut = std::max({path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'), path.lastIndexOf(u':')});
    QString name = path.mid(cut + 1);
    // The first letter is raised while the name still has its extension, so
    // that a.b.kld gives A and x.txt gives X.txt.
    if (name.size() > 1)
        name[0] = name[0].toUpper();
    const qsizetype lastDot = name.lastIndexOf(u'.');
    if (lastDot >= 0 && name.mid(lastDot).compare(QLatin1String(kd::kProjectExtension), Qt::CaseInsensitive) == 0)
        name.truncate(name.indexOf(u'.'));
    return name;
}

QString ProjectDocument::Caption() const
{
    return kCaptionPrefix + DisplayName(FileName());
}

void ProjectDocument::SetModified(bool flag)
{
    m_modified = flag;
    if (!flag)
        m_tables.ClearModified();
}

bool ProjectDocument::IsModified() const
{
    return m_modified || m_tables.IsModified();
}

void ProjectDocument::inform(const QString& message)
{
    if (m_dialogs)
        m_dialogs->Inform(m_dialogParent, message);
}

void ProjectDocument::informCurrentException()
{
    try {
        throw;
    } catch (const Exception& e) {
        inform(e.Message());
    } catch (const std::bad_alloc&) {
        inform(QStringLiteral("Out of memory"));
    } catch (const std::exception& e) {
        inform(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        inform(QStringLiteral("An unexpected error occurred."));
    }
}

bool ProjectDocument::guarded(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (...) {
        informCurrentException();
        return false;
    }
}

void ProjectDocument::replaceProject(std::unique_ptr<TProgramData> data)
{
    // The new project is built before the old one goes: the windows closed
    // while it was built stored their edits into the old one.
    m_programData = std::move(data);
    SetModified(false);
    fileNameChanged();
}

void ProjectDocument::fileNameChanged()
{
    // The plots' file dialogs start in the project's folder.
    m_plots.SetFileFolder(ProjectFolder(FileName()));
    emit captionChanged(Caption());
}

void ProjectDocument::newProject()
{
    m_saveAsRequired = false;
    m_recentPending = false;
    try {
        replaceProject(TProgramData::Create(m_tables));
    } catch (...) {
        informCurrentException();
    }
}

bool ProjectDocument::readProject(const QString& path, bool layout20)
{
    QString readError;
    std::unique_ptr<TProgramData> data;
    try {
        data = TProgramData::CreateFromFile(path, layout20, m_tables, readError);
    } catch (...) {
        // Not a reading error: the opening ends with a new project.
        informCurrentException();
        newProject();
        return false;
    }
    replaceProject(std::move(data));
    m_saveAsRequired = !readError.isEmpty();
    m_recentPending = false;
    if (!readError.isEmpty())
        inform(readError);
    return true;
}

void ProjectDocument::loadPlotDataIfPresent()
{
    const QString plotData = ChangeFileExt(FileName(), QLatin1String(kd::kPlotDataExtension));
    if (QFileInfo::exists(plotData))
        m_plotDataLoaded = LoadPlotData(plotData, false);
}

// ---------------------------------------------------------------- start-up

void ProjectDocument::StartUp(const QStringList& arguments)
{
    guarded([&] {
        m_settings = ReadSettings();
        if (!arguments.isEmpty()) {
            QString path = arguments.first();
            if (!QFileInfo(path).fileName().contains(u'.'))
                path += QLatin1String(kd::kProjectExtension);
            // The run changes the current directory: the name must not depend on it.
            path = QFileInfo(path).absoluteFilePath();
            if (QFileInfo(path).isFile()) {
                emit closingProject();
                if (readProject(path, true))
                    loadPlotDataIfPresent();
                return;
            }
        }
        emit closingProject();
        newProject();
    });
}

// ---------------------------------------------------------- file commands

void ProjectDocument::FileNew()
{
    guarded([&] {
        if (!CheckSave())
            return;
        emit closingProject();
        newProject();
    });
}

void ProjectDocument::FileOpen()
{
    guarded([&] {
        if (!CheckSave() || !m_dialogs)
            return;
        int filterIndex = m_openFilterIndex;
        const QString path = m_dialogs->ChooseOpenFile(m_dialogParent, filterIndex);
        if (path.isEmpty())
            return;
        m_openFilterIndex = filterIndex;
        OpenFileName(path, filterIndex != 2);
    });
}

void ProjectDocument::OpenFileName(const QString& path, bool layout20)
{
    guarded([&] {
        const QString absolute = QFileInfo(path).absoluteFilePath();
        QDir::setCurrent(QFileInfo(absolute).absolutePath());
        emit closingProject();
        if (!readProject(absolute, layout20))
            return;
        loadPlotDataIfPresent();
        if (layout20)
            UpdatePrevFile(FileName());
        else
            m_recentPending = true;
    });
}

void ProjectDocument::OpenRecentFile(int index)
{
    guarded([&] {
        const QString path = m_settings.Recent.Entry(index);
        if (path.isEmpty())
            return;
        if (CheckSave())
            OpenFileName(path, true);
    });
}

void ProjectDocument::DropFiles(const QStringList& paths)
{
    guarded([&] {
        if (paths.isEmpty() || !CheckSave())
            return;
        const QString path = QFileInfo(paths.first()).absoluteFilePath();
        QDir::setCurrent(QFileInfo(path).absolutePath());
        emit closingProject();
        if (readProject(path, true))
            loadPlotDataIfPresent();
    });
}

bool ProjectDocument::saveProject(const QString& path)
{
    try {
        m_programData->SaveTo(path, m_tables);
    } catch (...) {
        informCurrentException();
        return false;
    }
    if (m_programData->FileName != path) {
        m_programData->FileName = path;
        fileNameChanged();
    }
    SetModified(false);
    m_saveAsRequired = false;
    if (m_recentPending) {
        m_recentPending = false;
        UpdatePrevFile(FileName());
    }
    return true;
}

bool ProjectDocument::FileSave()
{
    bool saved = false;
    guarded([&] {
        if (FileName() == DefaultProjectFileName() || m_saveAsRequired)
            saved = FileSaveAs();
        else
            saved = saveProject(FileName());
    });
    return saved;
}

bool ProjectDocument::FileSaveAs()
{
    bool saved = false;
    guarded([&] {
        if (!m_dialogs)
            return;
        const QString title = QStringLiteral("Save ") + DisplayName(FileName()) + QStringLiteral(" As");
        const QString path = m_dialogs->ChooseSaveFile(m_dialogParent, title, FileName());
        if (path.isEmpty())
            return;
        saved = saveProject(QFileInfo(path).absoluteFilePath());
    });
    return saved;
}

bool ProjectDocument::CheckSave()
{
    if (!IsModified())
        return true;
    if (!m_dialogs)
        return false;
    switch (m_dialogs->AskSaveChanges(m_dialogParent)) {
    case UserDialogs::Reply::Cancel:
        return false;
    case UserDialogs::Reply::No:
        return true;
    case UserDialogs::Reply::Yes:
        break;
    }
    return FileSave();
}

bool ProjectDocument::CloseQuery()
{
    // A run in progress owns the project's files until it ends.
    if (m_running)
        return false;
    bool mayClose = false;
    guarded([&] {
        if (!CheckSave())
            return;
        UpdateRegistry();
        mayClose = true;
    });
    return mayClose;
}

void ProjectDocument::UpdatePrevFile(const QString& path)
{
    if (!m_settings.Recent.Update(path))
        return;
    UpdateRegistry();
}

void ProjectDocument::UpdateRegistry()
{
    WriteSettings(m_settings);
}

// ------------------------------------------------------------------ units

bool ProjectDocument::SetUnits(int units)
{
    const int before = m_programData->Units;
    guarded([&] {
        try {
            m_programData->SetUnits(units, m_tables);
        } catch (const EInvalidOp&) {
            inform(QStringLiteral("The units were not changed: a value of the project lies beyond the range of the "
                                  "other units system."));
        }
    });
    if (m_programData->Units == before)
        return false;
    // The converted values are what a save writes: the change is an edit.
    m_modified = true;
    emit unitsChanged();
    return true;
}

// -------------------------------------------------------------------- run

bool ProjectDocument::LoadPlotData(const QString& path, bool showMessage)
{
    try {
        m_plots.Load(path);
    } catch (const EInOutError& e) {
        if (showMessage) // the reader names the file and the record that is wrong
            inform(RunFailedMessage() + u'\r' + e.Message());
        return false;
    } catch (...) {
        if (showMessage)
            informCurrentException();
        return false;
    }
    return true;
}

void ProjectDocument::RunAnalysis()
{
    if (m_running)
        return;
    guarded([&] {
        if (!FileSave())
            return;
        const QString programDir = QCoreApplication::applicationDirPath();
        if (!QDir::setCurrent(programDir)) {
            inform(QStringLiteral("The program directory %1 could not be made the current directory.")
                       .arg(QDir::toNativeSeparators(programDir)));
            return;
        }

        AnalysisRun run(m_analysisProgram);
        m_running = true;
        const auto done = qScopeGuard([this] { m_running = false; });
        // A run that cannot start has changed nothing: only its message is shown.
        if (!run.Start(FileName())) {
            inform(run.Message());
            return;
        }
        // Two progress lines per frequency (both stages); kdcalc refuses more
        // than kMaxFrequencies frequencies.
        const int steps = kd::kProgressLinesPerFrequency * std::clamp(m_programData->FrequencyCount, 0, kd::kMaxFrequencies);
        const bool succeeded = m_runWaiter ? m_runWaiter(run, steps) : run.WaitForEnd();
        // A cancelled run left the earlier results as they were: their plots stay.
        if (run.Outcome() == AnalysisRun::RunOutcome::Cancelled) {
            inform(run.Reason());
            return;
        }
        // A run whose own folder failed it left the earlier results whole
        // beside the project: their plots stay too.
        if (run.Outcome() == AnalysisRun::RunOutcome::RunFolderFailed) {
            if (m_dialogs)
                m_dialogs->InformWithText(m_dialogParent, run.Reason(), run.OutputTail());
            return;
        }
        if (!succeeded) {
            m_plotDataLoaded = false;
            emit runFailed();
            if (m_dialogs)
                m_dialogs->InformWithText(m_dialogParent, run.Reason(), run.OutputTail());
            return;
        }
        m_plotDataLoaded = LoadPlotData(run.PlotDataPath(), true);
        // The plots still hold the earlier run's curves.
        if (!m_plotDataLoaded)
            emit runFailed();
    });
}
