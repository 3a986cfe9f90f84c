#pragma once

// The main window: a multiple-document window with the project's tables and
// result plots and its menus. The file commands, recent files and settings,
// dropped files and the analysis run belong to its project document
// (ProjectDocument); the window wires its menus, dialogs and child windows
// to it, and its commands keep their handlers' names.

#include "DataUnit.h"
#include "ProjectDocument.h"
#include "ResultPlots.h"
#include "Settings.h"
#include "UserDialogs.h"

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
class AnalysisRun;

// Every kind of child window that the main window shows at most once.
enum class ChildKind {
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
// a slot bool StoreEdits().
class ChildWindow {
public:
    virtual ~ChildWindow() = default;
    // Stores the window's edits into the project (its deactivation handler);
    // false when the window refused an entry (it has shown its message).
    virtual bool StoreEdits() = 0;
    // Reloads the window from the project and its units (its activation handler).
    virtual void Reload() = 0;
};

// The standard boxes and file dialogs.
std::unique_ptr<UserDialogs> MakeStandardDialogs();

class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    using ChildFactory = std::function<QWidget*(TMainForm& form)>;
    using ModalFactory = std::function<void(TMainForm& form)>;

    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Where child windows of a kind come from; without a factory the menu
    // command shows nothing.
    void SetChildFactory(ChildKind kind, ChildFactory factory);
    // The About box; without one Help, About shows nothing.
    void SetAboutBox(ModalFactory about) { m_aboutBox = std::move(about); }
    void SetDialogs(std::unique_ptr<UserDialogs> dialogs);
    UserDialogs& Dialogs() const { return *m_dialogs; }
    // The analysis program; by default kdcalc beside this program.
    void SetAnalysisProgram(const QString& path) { m_document->SetAnalysisProgram(path); }
    // The start-up arguments (without the program name), read by FormShow.
    void SetArguments(const QStringList& arguments) { m_arguments = arguments; }
    // The program the text commands start first, on the file, when no text
    // editor is set; by default the desktop's opener (xdg-open). When it
    // cannot start or ends with a non-zero status (no program for the file)
    // the file shows in the program's own text window.
    void SetDesktopOpener(const QString& program) { m_desktopOpener = program; }
    const QString& DesktopOpener() const { return m_desktopOpener; }
    // Where Help, Contents looks for the help page, in order; by default
    // beside this program, then where the installation puts it.
    void SetHelpPageLocations(const QStringList& paths) { m_helpPageLocations = paths; }

    ProjectDocument& Document() const { return *m_document; }
    TProgramData& ProgramData() const { return m_document->ProgramData(); }
    ProjectTables& Tables() { return m_tables; }
    ResultPlots& Plots() { return m_plots; }
    QMdiArea* MdiArea() const { return m_mdi; }
    const QString& WordProcessor() const { return m_document->WordProcessor(); }
    // Written to the settings with the recent files and when the program ends.
    void SetWordProcessor(const QString& path) { m_document->SetWordProcessor(path); }
    const RecentFileList& RecentFiles() const { return m_document->RecentFiles(); }
    bool PlotDataLoaded() const { return m_document->PlotDataLoaded(); }
    // The project cannot be saved under its own name (it was read incompletely).
    bool SaveAsRequired() const { return m_document->SaveAsRequired(); }

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
    // The Window menu's list item: restores the child window when it is
    // minimised and activates it.
    void ActivateMenuClick(int index);
    void CompRunClick();
    void CompInputClick();
    void CompKernelClick();
    void CompOutputClick();
    void HelpContentsClick();
    void HelpAboutClick();
    void ShowChild(ChildKind kind);
    // Stores the active child's edits; false when it refused an entry, and
    // then the command that asked stops (nothing saved, run or discarded).
    bool CommitActiveChild();
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
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createMenus();
    void startEditor(const QString& file);
    // Shows the file in the program's own read-only text window (one per file).
    void showTextFile(const QString& file);
    // Shows a child window in front, restored when it was minimised.
    void bringToFront(QMdiSubWindow* window);
    void arrangeIcons();
    // Shows the run's progress until it has ended; Cancel ends it.
    bool waitForRun(AnalysisRun& run, int steps);
    void closePlotWindows();

    QMdiArea* m_mdi = nullptr;
    ProjectTables m_tables;
    ResultPlots m_plots;
    std::unique_ptr<UserDialogs> m_dialogs;
    std::unique_ptr<ProjectDocument> m_document;
    QStringList m_arguments;
    bool m_shown = false;

    std::map<ChildKind, ChildFactory> m_childFactories;
    std::map<ChildKind, QPointer<QMdiSubWindow>> m_children;
    ModalFactory m_aboutBox;
    QString m_desktopOpener;
    QStringList m_helpPageLocations;
    QPointer<QMdiSubWindow> m_helpWindow;

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
