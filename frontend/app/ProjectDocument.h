#pragma once

// The project document beneath the main window: the current project with its
// file name and modified state, the file commands (New, Open, Save, Save As,
// a recent file, a dropped file, the start-up argument), the recent-file list
// and the settings, and the analysis run with the loading of its plot data.
// QtCore only: the main window wires its menus, dialogs and child windows to
// it, and every question goes through UserDialogs.
//
// No exception leaves an operation: a failure is shown in the information
// box and leaves a valid project (the old one, or a new one where the old
// one was already being replaced).

#include "DataUnit.h"
#include "Settings.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;
class AnalysisRun;
class ResultPlots;
class UserDialogs;

class ProjectDocument : public QObject {
    Q_OBJECT

public:
    // Waits until a started run has ended, showing its progress; steps is
    // the number of progress lines expected (0 when unknown). True when the
    // run succeeded. Without a waiter the run is waited for unseen.
    using RunWaiter = std::function<bool(AnalysisRun& run, int steps)>;

    // The tables and plots belong to the main window and outlive the document.
    ProjectDocument(ProjectTables& tables, ResultPlots& plots, QObject* parent = nullptr);
    ~ProjectDocument() override;

    // Where questions and messages go (not owned), and the window they belong to.
    void SetDialogs(UserDialogs* dialogs, QWidget* dialogParent);
    // The analysis program; by default kdcalc beside this program.
    void SetAnalysisProgram(const QString& path) { m_analysisProgram = path; }
    const QString& AnalysisProgram() const { return m_analysisProgram; }
    void SetRunWaiter(RunWaiter waiter) { m_runWaiter = std::move(waiter); }
    const RunWaiter& CurrentRunWaiter() const { return m_runWaiter; }

    TProgramData& ProgramData() const { return *m_programData; }
    ProjectTables& Tables() const { return m_tables; }
    const QString& FileName() const { return m_programData->FileName; }
    // "KELDOR 2.0 - " and the display name of the project file.
    QString Caption() const;
    static QString DisplayName(const QString& path);

    // The document's own flag; false also clears the tables' flags.
    void SetModified(bool flag);
    // The flag, or any table's.
    bool IsModified() const;
    // The project cannot be saved under its own name (it was read incompletely).
    bool SaveAsRequired() const { return m_saveAsRequired; }
    // The last plot data file was read without error.
    bool PlotDataLoaded() const { return m_plotDataLoaded; }
    bool IsRunning() const { return m_running; }
    const QString& WordProcessor() const { return m_settings.WordProcessor; }
    // Written to the settings with the recent files and when the program ends.
    void SetWordProcessor(const QString& path) { m_settings.WordProcessor = path; }
    const RecentFileList& RecentFiles() const { return m_settings.Recent; }
    // The Open dialog's filter as last left (1-based; 2 is the 1.0 layout).
    int OpenFilterIndex() const { return m_openFilterIndex; }

    // Reads the settings and opens the project the first argument names
    // (".kld" added when it has no "."), or starts a new project.
    void StartUp(const QStringList& arguments);
    void FileNew();
    void FileOpen();
    // Saves, or asks for a name first; true when the project was written.
    bool FileSave();
    bool FileSaveAs();
    void OpenRecentFile(int index);
    void OpenFileName(const QString& path, bool layout20);
    void DropFiles(const QStringList& paths);
    // True when the current project may be discarded (asks first when modified).
    bool CheckSave();
    // Before the program closes: asks as CheckSave does, then writes the
    // settings; false keeps the program running.
    bool CloseQuery();
    // Converts the project; true when the units changed (an edit).
    bool SetUnits(int units);
    // Saves, runs the analysis program on the project file and loads its plot data.
    void RunAnalysis();
    bool LoadPlotData(const QString& path, bool showMessage);
    void UpdatePrevFile(const QString& path);
    void UpdateRegistry();

signals:
    // The project is about to be replaced: every window on it closes now,
    // storing its edits into the old project.
    void closingProject();
    void captionChanged(const QString& caption);
    // The units changed: open views reload.
    void unitsChanged();
    // A run failed, or its plot data could not be read: nothing of an
    // earlier run may stay on screen. A cancelled run is no failure here:
    // the earlier results and their plots stay.
    void runFailed();

private:
    void inform(const QString& message);
    // Shows the exception in flight (called inside a catch block).
    void informCurrentException();
    // Runs action; an exception is shown and false returned.
    bool guarded(const std::function<void()>& action);
    void replaceProject(std::unique_ptr<TProgramData> data);
    // The project has another file name (or is another project).
    void fileNameChanged();
    // A new project in place of the current one; a failure keeps the old one.
    void newProject();
    // Reads a project file into a new project and reports a read error;
    // false when the file gave no project and a new one stands instead.
    bool readProject(const QString& path, bool layout20);
    void loadPlotDataIfPresent();
    // Writes the project to path; FileName becomes path only once written.
    bool saveProject(const QString& path);

    ProjectTables& m_tables;
    ResultPlots& m_plots;
    std::unique_ptr<TProgramData> m_programData;
    AppSettings m_settings;
    UserDialogs* m_dialogs = nullptr;
    QWidget* m_dialogParent = nullptr;
    QString m_analysisProgram;
    RunWaiter m_runWaiter;
    bool m_running = false;
    bool m_modified = false;
    bool m_plotDataLoaded = false;
    bool m_saveAsRequired = false;
    // A 1.0 file enters the recent list only once saved in the 2.0 layout.
    bool m_recentPending = false;
    int m_openFilterIndex = 1;
};
