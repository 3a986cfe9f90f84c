#pragma once

// The main window: a multiple-document window with the project's tables and
// result plots, its menus, the file commands, recent files and settings,
// dropped files, and the analysis run.

#include "DataUnit.h"
#include "ResultPlots.h"
#include "Settings.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>

class QAction;
class QActionGroup;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class TAnalysisRun;

// Every kind of child window that the main window shows at most once.
enum class TChildKind {
    ProjectTitle,
    ControlOptions,
    SuperstructureProperties,
    PileProperties,
    FrequencyData,
    SideView,
    TopView,
};

// What a child window offers the main window. A child widget that has edits
// of its own implements it; others need not. A window that cannot include
// this header (the table editor of the component library) may instead offer
// a slot StoreEdits().
class TChildWindow {
public:
    virtual ~TChildWindow() = default;
    // Stores the window's edits into the project (its deactivation handler).
    virtual void StoreEdits() = 0;
    // Reloads the window from the project and its units (its activation handler).
    virtual void Reload() = 0;
};

// The questions and messages of the main window, so that tests can answer them.
class TUserDialogs {
public:
    enum class TAnswer { Yes, No, Cancel };
    virtual ~TUserDialogs() = default;
    // "Do you want to save any changes?" with Yes, No and Cancel.
    virtual TAnswer AskSaveChanges(QWidget* parent) = 0;
    // An information box with an OK button; a CR in the text starts a new line.
    virtual void Inform(QWidget* parent, const QString& message) = 0;
    // The Open dialog; filterIndex (1-based) comes in as last left and goes
    // out as chosen. An empty result means cancelled.
    virtual QString ChooseOpenFile(QWidget* parent, int& filterIndex) = 0;
    // The Save dialog with its title and preset name; empty means cancelled.
    virtual QString ChooseSaveFile(QWidget* parent, const QString& title, const QString& preset) = 0;
};

// The standard boxes and file dialogs.
std::unique_ptr<TUserDialogs> MakeStandardDialogs();

class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    using TChildFactory = std::function<QWidget*(TMainForm& form)>;
    using TModalFactory = std::function<void(TMainForm& form)>;

    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Where child windows of a kind come from; without a factory the menu
    // command shows nothing.
    void SetChildFactory(TChildKind kind, TChildFactory factory);
    // The About box; without one Help, About shows nothing.
    void SetAboutBox(TModalFactory about) { m_aboutBox = std::move(about); }
    void SetDialogs(std::unique_ptr<TUserDialogs> dialogs);
    TUserDialogs& Dialogs() const { return *m_dialogs; }
    // The analysis program; by default kdcalc beside this program.
    void SetAnalysisProgram(const QString& path) { m_analysisProgram = path; }
    // The start-up arguments (without the program name), read by FormShow.
    void SetArguments(const QStringList& arguments) { m_arguments = arguments; }

    TProgramData& ProgramData() const { return *m_programData; }
    TProjectTables& Tables() { return m_tables; }
    TResultPlots& Plots() { return m_plots; }
    QMdiArea* MdiArea() const { return m_mdi; }
    const QString& WordProcessor() const { return m_settings.WordProcessor; }
    // Written to the settings with the recent files and when the program ends.
    void SetWordProcessor(const QString& path) { m_settings.WordProcessor = path; }
    const TRecentFiles& RecentFiles() const { return m_settings.Recent; }
    bool PlotDataLoaded() const { return m_plotDataLoaded; }
    // The project cannot be saved under its own name (it was read incompletely).
    bool SaveAsRequired() const { return m_saveAsRequired; }

    void SetModified(bool flag);
    bool IsModified() const;

    // Menu commands and their steps, by their handlers' names.
    void FormShow();
    void FileMenuClick();
    void FileNewClick();
    void FileOpenClick();
    // Saves, or asks for a name first; true when the project was written.
    bool FileSaveClick();
    bool FileSaveAsClick();
    void FileExitClick();
    void MyFilePopupHandler(int index);
    void OpenFileName(const QString& path, bool layout20);
    void DropFiles(const QStringList& paths);
    bool CheckSave();
    void UnitsClick(int units);
    void OptionsUnitsClick();
    void ComputationMenuClick();
    void GraphicsMenuClick();
    void ArrangeMenuClick();
    void CompRunClick();
    void CompInputClick();
    void CompKernelClick();
    void CompOutputClick();
    void HelpContentsClick();
    void HelpAboutClick();
    void ShowChild(TChildKind kind);
    void CommitActiveChild();
    void CloseAllChildren();
    void RefreshOpenDialogs();
    bool LoadPlotData(const QString& path, bool showMessage);
    void UpdatePrevFile(const QString& path);
    void UpdateRegistry();

    static QString DisplayName(const QString& path);

    // The menus, for those who look at them (tests, later windows).
    QMenu* FileMenu() const { return m_fileMenu; }
    QMenu* DataMenu() const { return m_dataMenu; }
    QMenu* ComputationMenu() const { return m_computationMenu; }
    QMenu* GraphicsMenu() const { return m_graphicsMenu; }
    QMenu* WindowMenu() const { return m_windowMenu; }
    const std::vector<QAction*>& RecentFileActions() const { return m_recentActions; }
    QAction* RecentSeparator() const { return m_recentSeparator; }
    QAction* UnitsAction(int units) const;
    QAction* RunAction() const { return m_runAction; }
    QAction* EditInputAction() const { return m_editInputAction; }
    QAction* EditNotesAction() const { return m_editNotesAction; }
    QAction* EditOutputAction() const { return m_editOutputAction; }
    const std::vector<QAction*>& WindowListActions() const { return m_windowActions; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createMenus();
    void setCaption();
    void replaceProject(std::unique_ptr<TProgramData> data);
    // Reads a project file into a new project and reports a read error;
    // false when the file gave no project and a new one stands instead.
    bool readProject(const QString& path, bool layout20);
    void loadPlotDataIfPresent();
    // Saves the project; a failure is shown and leaves the project modified.
    bool saveProject();
    void startEditor(const QString& file);
    void arrangeIcons();

    QMdiArea* m_mdi = nullptr;
    TProjectTables m_tables;
    std::unique_ptr<TProgramData> m_programData;
    TResultPlots m_plots;
    TSettings m_settings;
    std::unique_ptr<TUserDialogs> m_dialogs;
    QString m_analysisProgram;
    QStringList m_arguments;
    bool m_shown = false;
    bool m_running = false;
    bool m_modified = false;
    bool m_plotDataLoaded = false;
    bool m_saveAsRequired = false;
    // A 1.0 file enters the recent list only once saved in the 2.0 layout.
    bool m_recentPending = false;
    int m_openFilterIndex = 1;

    std::map<TChildKind, TChildFactory> m_childFactories;
    std::map<TChildKind, QPointer<QMdiSubWindow>> m_children;
    TModalFactory m_aboutBox;

    QMenu* m_fileMenu = nullptr;
    QMenu* m_dataMenu = nullptr;
    QMenu* m_unitsMenu = nullptr;
    QMenu* m_computationMenu = nullptr;
    QMenu* m_graphicsMenu = nullptr;
    QMenu* m_windowMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    std::vector<QAction*> m_recentActions;
    QAction* m_recentSeparator = nullptr;
    QActionGroup* m_unitsGroup = nullptr;
    QAction* m_englishAction = nullptr;
    QAction* m_siAction = nullptr;
    QAction* m_runAction = nullptr;
    QAction* m_editInputAction = nullptr;
    QAction* m_editNotesAction = nullptr;
    QAction* m_editOutputAction = nullptr;
    QAction* m_windowSeparator = nullptr;
    std::vector<QAction*> m_windowActions;
};
