#include "Main.h"

#include "DataDialog.h"
#include "PlotWindow.h"
#include "TableForm.h"

#include "AnalysisRun.h"
#include "EditorCommand.h"
#include "Misc.h"
#include "Table.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMetaObject>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QUrl>

#include <algorithm>

namespace {

constexpr int kWindowListSize = 50;
const QString kCaptionPrefix = QStringLiteral("KELDOR 2.0 - ");
const QString kSaveQuestion = QStringLiteral("Do you want to save any changes?");
const QString kEditorFailed = QStringLiteral("An error occurred in running the Word Processor");

// A CR between a heading and its detail is a line break on screen.
QString screenText(const QString& message)
{
    QString text = message;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

class TStandardDialogs : public TUserDialogs {
public:
    TAnswer AskSaveChanges(QWidget* parent) override
    {
        const auto answer = QMessageBox::question(parent, QStringLiteral("Confirm"), kSaveQuestion,
                                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Yes)
            return TAnswer::Yes;
        if (answer == QMessageBox::No)
            return TAnswer::No;
        return TAnswer::Cancel;
    }

    void Inform(QWidget* parent, const QString& message) override
    {
        QMessageBox::information(parent, QCoreApplication::applicationName(), screenText(message), QMessageBox::Ok);
    }

    QString ChooseOpenFile(QWidget* parent, int& filterIndex) override
    {
        const QStringList filters = {QStringLiteral("Keldor 2.0(*.kld)"), QStringLiteral("Keldor 1.0(*.kld)"),
                                     QStringLiteral("All Files(*)")};
        QFileDialog dialog(parent, QStringLiteral("Open"));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(std::clamp(filterIndex, 1, 3) - 1));
        dialog.setDefaultSuffix(QStringLiteral("kld"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
        if (filterIndex < 1)
            filterIndex = 1;
        return dialog.selectedFiles().first();
    }

    QString ChooseSaveFile(QWidget* parent, const QString& title, const QString& preset) override
    {
        QFileDialog dialog(parent, title);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter(QStringLiteral("Keldor 2.0(*.kld)"));
        dialog.setDefaultSuffix(QStringLiteral("kld"));
        dialog.selectFile(preset);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().first();
    }
};

} // namespace

std::unique_ptr<TUserDialogs> MakeStandardDialogs()
{
    return std::make_unique<TStandardDialogs>();
}

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent), m_plots(this), m_dialogs(MakeStandardDialogs()),
      m_analysisProgram(TAnalysisRun::DefaultProgramPath())
{
    setObjectName(QStringLiteral("MainForm"));
    m_mdi = new QMdiArea(this);
    // The table editor windows open in this window's area; their messages
    // go through its dialogs.
    for (TGridTable* t : m_tables.All())
        t->SetFormFactory(TTableForm::Factory(
            m_mdi, [this](QWidget* parent, const QString& message) { m_dialogs->Inform(parent, message); }));
    m_mdi->setBackground(Qt::white);
    setCentralWidget(m_mdi);
    setAcceptDrops(true);
    createMenus();
    // The fourteen plots open their windows here, and the active plot window's
    // Plot menu stands before the Window menu.
    TPlotForm::InstallFormFactory(m_mdi);
    TPlotForm::InstallMenuSwitching(m_mdi, menuBar(), m_windowMenu->menuAction());
    m_programData = TProgramData::Create(m_tables);
    setCaption();
    // The Data menu's dialogs, Control Options and the About box.
    InstallDataDialogs(*this);
}

TMainForm::~TMainForm()
{
    // Child windows go first: they may still refer to the tables and plots.
    for (TGridTable* t : m_tables.All())
        t->CloseForm();
    m_mdi->closeAllSubWindows();
    for (QMdiSubWindow* w : m_mdi->subWindowList())
        delete w;
}

void TMainForm::SetDialogs(std::unique_ptr<TUserDialogs> dialogs)
{
    m_dialogs = std::move(dialogs);
}

void TMainForm::SetChildFactory(TChildKind kind, TChildFactory factory)
{
    m_childFactories[kind] = std::move(factory);
}

QAction* TMainForm::UnitsAction(int units) const
{
    return units == 2 ? m_siAction : m_englishAction;
}

void TMainForm::createMenus()
{
    QMenuBar* bar = menuBar();

    m_fileMenu = bar->addMenu(QStringLiteral("&File"));
    connect(m_fileMenu, &QMenu::aboutToShow, this, &TMainForm::FileMenuClick);
    QAction* newAction = m_fileMenu->addAction(QStringLiteral("&New"), this, &TMainForm::FileNewClick);
    newAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    QAction* openAction = m_fileMenu->addAction(QStringLiteral("&Open..."), this, &TMainForm::FileOpenClick);
    openAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    QAction* saveAction = m_fileMenu->addAction(QStringLiteral("&Save"), this, [this] { FileSaveClick(); });
    saveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_fileMenu->addAction(QStringLiteral("Save &As..."), this, [this] { FileSaveAsClick(); });
    m_fileMenu->addSeparator();
    for (int i = 0; i < TRecentFiles::Size; ++i) {
        QAction* a = m_fileMenu->addAction(QString(), this, [this, i] { MyFilePopupHandler(i); });
        a->setVisible(false);
        m_recentActions.push_back(a);
    }
    m_recentSeparator = m_fileMenu->addSeparator();
    m_recentSeparator->setVisible(false);
    m_fileMenu->addAction(QStringLiteral("E&xit"), this, &TMainForm::FileExitClick);

    m_dataMenu = bar->addMenu(QStringLiteral("&Data"));
    connect(m_dataMenu, &QMenu::aboutToShow, this, &TMainForm::CommitActiveChild);
    m_dataMenu->addAction(QStringLiteral("&Title"), this, [this] { ShowChild(TChildKind::ProjectTitle); });
    m_unitsMenu = m_dataMenu->addMenu(QStringLiteral("&Units"));
    connect(m_unitsMenu, &QMenu::aboutToShow, this, &TMainForm::OptionsUnitsClick);
    m_unitsGroup = new QActionGroup(this);
    m_unitsGroup->setExclusive(true);
    m_englishAction = m_unitsMenu->addAction(QStringLiteral("&English Units (lbs, lb-sec2/in, in)"), this,
                                             [this] { UnitsClick(1); });
    m_siAction = m_unitsMenu->addAction(QStringLiteral("&SI Units (kN, Mg, m)"), this, [this] { UnitsClick(2); });
    for (QAction* a : {m_englishAction, m_siAction}) {
        a->setCheckable(true);
        m_unitsGroup->addAction(a);
    }
    m_dataMenu->addAction(QStringLiteral("&Pile Properties"), this, [this] { ShowChild(TChildKind::PileProperties); });
    m_dataMenu->addAction(QStringLiteral("Pile Group Arrangement"), this, [this] { m_tables.PileCoord().ShowForm(); });
    m_dataMenu->addAction(QStringLiteral("Soil &Layer Data"), this, [this] { m_tables.D().ShowForm(); });
    m_dataMenu->addAction(QStringLiteral("&Frequency Data"), this, [this] { ShowChild(TChildKind::FrequencyData); });
    m_dataMenu->addAction(QStringLiteral("Superstructure Properties"), this,
                          [this] { ShowChild(TChildKind::SuperstructureProperties); });
    m_dataMenu->addSeparator();
    m_dataMenu->addAction(QStringLiteral("Control &Options..."), this, [this] { ShowChild(TChildKind::ControlOptions); });

    m_computationMenu = bar->addMenu(QStringLiteral("&Computation"));
    connect(m_computationMenu, &QMenu::aboutToShow, this, &TMainForm::ComputationMenuClick);
    m_runAction = m_computationMenu->addAction(QStringLiteral("&Run Analysis"), this, &TMainForm::CompRunClick);
    m_computationMenu->addSeparator();
    m_editInputAction = m_computationMenu->addAction(QStringLiteral("Edit I&nput Text"), this, &TMainForm::CompInputClick);
    m_editNotesAction =
        m_computationMenu->addAction(QStringLiteral("Edit &Processor-Run Notes"), this, &TMainForm::CompKernelClick);
    m_editOutputAction =
        m_computationMenu->addAction(QStringLiteral("Edit &Output Text"), this, &TMainForm::CompOutputClick);

    m_graphicsMenu = bar->addMenu(QStringLiteral("&Graphics"));
    connect(m_graphicsMenu, &QMenu::aboutToShow, this, &TMainForm::GraphicsMenuClick);
    for (const TResultPlots::MenuEntry& entry : m_plots.MenuEntries()) {
        if (!entry.Plot) {
            m_graphicsMenu->addSeparator();
            continue;
        }
        TGraphPlot* plot = entry.Plot;
        m_graphicsMenu->addAction(entry.Caption, this, [plot] { plot->Show(); });
    }
    GraphicsMenuClick();

    QMenu* view = bar->addMenu(QStringLiteral("View Geometry"));
    view->addAction(QStringLiteral("Top View"), this, [this] { ShowChild(TChildKind::TopView); });
    view->addAction(QStringLiteral("Side View"), this, [this] { ShowChild(TChildKind::SideView); });

    m_windowMenu = bar->addMenu(QStringLiteral("&Window"));
    connect(m_windowMenu, &QMenu::aboutToShow, this, &TMainForm::ArrangeMenuClick);
    m_windowMenu->addAction(QStringLiteral("&Cascade"), m_mdi, &QMdiArea::cascadeSubWindows);
    m_windowMenu->addAction(QStringLiteral("&Arrange Icons"), this, &TMainForm::arrangeIcons);
    m_windowSeparator = m_windowMenu->addSeparator();
    m_windowSeparator->setVisible(false);
    for (int i = 0; i < kWindowListSize; ++i) {
        QAction* a = m_windowMenu->addAction(QString(), this, [this, i] {
            const auto windows = m_mdi->subWindowList();
            if (i < windows.size())
                m_mdi->setActiveSubWindow(windows.at(i));
        });
        a->setVisible(false);
        m_windowActions.push_back(a);
    }

    m_helpMenu = bar->addMenu(QStringLiteral("&Help"));
    connect(m_helpMenu, &QMenu::aboutToShow, this, &TMainForm::CommitActiveChild);
    m_helpMenu->addAction(QStringLiteral("&Contents"), this, &TMainForm::HelpContentsClick);
    m_helpMenu->addSeparator();
    m_helpMenu->addAction(QStringLiteral("&About..."), this, &TMainForm::HelpAboutClick);
}

// ------------------------------------------------------------------- state

void TMainForm::SetModified(bool flag)
{
    m_modified = flag;
    if (!flag)
        m_tables.ClearModified();
}

bool TMainForm::IsModified() const
{
    return m_modified || m_tables.IsModified();
}

QString TMainForm::DisplayName(const QString& path)
{
    const qsizetype cut = std::max({path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'), path.lastIndexOf(u':')});
    QString name = path.mid(cut + 1);
    // The first letter is raised while the name still has its extension, so
    // that a.b.kld gives A and x.txt gives X.txt.
    if (name.size() > 1)
        name[0] = name[0].toUpper();
    const qsizetype lastDot = name.lastIndexOf(u'.');
    if (lastDot >= 0 && name.mid(lastDot).compare(QStringLiteral(".kld"), Qt::CaseInsensitive) == 0)
        name.truncate(name.indexOf(u'.'));
    return name;
}

void TMainForm::setCaption()
{
    setWindowTitle(kCaptionPrefix + DisplayName(m_programData->FileName));
}

void TMainForm::replaceProject(std::unique_ptr<TProgramData> data)
{
    m_programData = std::move(data);
    SetModified(false);
    setCaption();
}

// ---------------------------------------------------------------- start-up

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TMainForm::FormShow()
{
    m_settings = ReadSettings();
    if (!m_arguments.isEmpty()) {
        QString path = m_arguments.first();
        if (!QFileInfo(path).fileName().contains(u'.'))
            path += QStringLiteral(".kld");
        // The run changes the current directory: the name must not depend on it.
        path = QFileInfo(path).absoluteFilePath();
        if (QFileInfo(path).isFile()) {
            CloseAllChildren();
            if (readProject(path, true))
                loadPlotDataIfPresent();
            return;
        }
    }
    CloseAllChildren();
    replaceProject(TProgramData::Create(m_tables));
}

bool TMainForm::readProject(const QString& path, bool layout20)
{
    QString readError;
    std::unique_ptr<TProgramData> data;
    try {
        data = TProgramData::CreateFromFile(path, layout20, m_tables, readError);
    } catch (const Exception& e) {
        // Not a reading error: the opening ends with a new project.
        replaceProject(TProgramData::Create(m_tables));
        m_saveAsRequired = false;
        m_recentPending = false;
        m_dialogs->Inform(this, e.Message());
        return false;
    }
    replaceProject(std::move(data));
    m_saveAsRequired = !readError.isEmpty();
    m_recentPending = false;
    if (!readError.isEmpty())
        m_dialogs->Inform(this, readError);
    return true;
}

void TMainForm::loadPlotDataIfPresent()
{
    const QString plotData = ChangeFileExt(m_programData->FileName, QStringLiteral(".klp"));
    if (QFileInfo::exists(plotData))
        m_plotDataLoaded = LoadPlotData(plotData, false);
}

// -------------------------------------------------------------- file menu

void TMainForm::FileMenuClick()
{
    CommitActiveChild();
    const int count = m_settings.Recent.Count();
    const QString current = QDir::currentPath();
    for (int i = 0; i < TRecentFiles::Size; ++i) {
        QAction* a = m_recentActions[static_cast<std::size_t>(i)];
        a->setVisible(i < count);
        if (i < count)
            a->setText(m_settings.Recent.MenuCaption(i, current));
    }
    m_recentSeparator->setVisible(count > 0);
}

void TMainForm::FileNewClick()
{
    CommitActiveChild();
    if (!CheckSave())
        return;
    CloseAllChildren();
    replaceProject(TProgramData::Create(m_tables));
    m_saveAsRequired = false;
    m_recentPending = false;
}

void TMainForm::FileOpenClick()
{
    CommitActiveChild();
    if (!CheckSave())
        return;
    int filterIndex = m_openFilterIndex;
    const QString path = m_dialogs->ChooseOpenFile(this, filterIndex);
    if (path.isEmpty())
        return;
    m_openFilterIndex = filterIndex;
    OpenFileName(path, filterIndex != 2);
}

void TMainForm::OpenFileName(const QString& path, bool layout20)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QDir::setCurrent(QFileInfo(absolute).absolutePath());
    CloseAllChildren();
    if (!readProject(absolute, layout20))
        return;
    loadPlotDataIfPresent();
    if (layout20)
        UpdatePrevFile(m_programData->FileName);
    else
        m_recentPending = true;
}

void TMainForm::MyFilePopupHandler(int index)
{
    CommitActiveChild();
    const QString path = m_settings.Recent.Entry(index);
    if (path.isEmpty())
        return;
    if (CheckSave())
        OpenFileName(path, true);
}

void TMainForm::DropFiles(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    CommitActiveChild();
    if (!CheckSave())
        return;
    const QString path = QFileInfo(paths.first()).absoluteFilePath();
    QDir::setCurrent(QFileInfo(path).absolutePath());
    CloseAllChildren();
    if (readProject(path, true))
        loadPlotDataIfPresent();
}

bool TMainForm::saveProject()
{
    try {
        m_programData->Save(m_tables);
    } catch (const Exception& e) {
        m_dialogs->Inform(this, e.Message());
        return false;
    }
    SetModified(false);
    m_saveAsRequired = false;
    if (m_recentPending) {
        m_recentPending = false;
        UpdatePrevFile(m_programData->FileName);
    }
    return true;
}

bool TMainForm::FileSaveClick()
{
    CommitActiveChild();
    if (m_programData->FileName == DefaultProjectFileName() || m_saveAsRequired)
        return FileSaveAsClick();
    return saveProject();
}

bool TMainForm::FileSaveAsClick()
{
    CommitActiveChild();
    const QString title = QStringLiteral("Save ") + DisplayName(m_programData->FileName) + QStringLiteral(" As");
    QString path = m_dialogs->ChooseSaveFile(this, title, m_programData->FileName);
    if (path.isEmpty())
        return false;
    m_programData->FileName = QFileInfo(path).absoluteFilePath();
    setCaption();
    return saveProject();
}

void TMainForm::FileExitClick()
{
    close();
}

bool TMainForm::CheckSave()
{
    if (!IsModified())
        return true;
    switch (m_dialogs->AskSaveChanges(this)) {
    case TUserDialogs::TAnswer::Cancel:
        return false;
    case TUserDialogs::TAnswer::No:
        return true;
    case TUserDialogs::TAnswer::Yes:
        break;
    }
    return FileSaveClick();
}

void TMainForm::UpdatePrevFile(const QString& path)
{
    if (!m_settings.Recent.Update(path))
        return;
    UpdateRegistry();
}

void TMainForm::UpdateRegistry()
{
    WriteSettings(m_settings);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    CommitActiveChild();
    if (!CheckSave()) {
        event->ignore();
        return;
    }
    UpdateRegistry();
    CloseAllChildren();
    event->accept();
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    event->acceptProposedAction();
    DropFiles(paths);
}

// -------------------------------------------------------------- data menu

void TMainForm::OptionsUnitsClick()
{
    UnitsAction(m_programData->Units)->setChecked(true);
}

void TMainForm::UnitsClick(int units)
{
    const int before = m_programData->Units;
    try {
        m_programData->SetUnits(units, m_tables);
    } catch (const Exception& e) {
        m_dialogs->Inform(this, e.Message());
    }
    if (m_programData->Units != before) {
        // The converted values are what a save writes: the change is an edit.
        m_modified = true;
        RefreshOpenDialogs();
    }
    OptionsUnitsClick();
}

void TMainForm::ShowChild(TChildKind kind)
{
    QPointer<QMdiSubWindow>& window = m_children[kind];
    if (!window) {
        const auto factory = m_childFactories.find(kind);
        if (factory == m_childFactories.end() || !factory->second)
            return;
        QWidget* widget = factory->second(*this);
        if (!widget)
            return;
        window = m_mdi->addSubWindow(widget);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->show();
    m_mdi->setActiveSubWindow(window);
}

void TMainForm::CommitActiveChild()
{
    QMdiSubWindow* active = m_mdi->currentSubWindow();
    if (!active)
        return;
    QWidget* widget = active->widget();
    if (auto* child = dynamic_cast<TChildWindow*>(widget))
        child->StoreEdits();
    else if (widget && widget->metaObject()->indexOfMethod("StoreEdits()") >= 0)
        QMetaObject::invokeMethod(widget, "StoreEdits", Qt::DirectConnection);
}

void TMainForm::CloseAllChildren()
{
    for (TGridTable* t : m_tables.All())
        t->CloseForm();
    m_mdi->closeAllSubWindows();
    // A window that refused to close is removed without storing, so that it
    // never writes values of this project into the next one.
    for (QMdiSubWindow* w : m_mdi->subWindowList())
        delete w;
}

void TMainForm::RefreshOpenDialogs()
{
    for (TChildKind kind : {TChildKind::SuperstructureProperties, TChildKind::PileProperties,
                            TChildKind::FrequencyData, TChildKind::ControlOptions, TChildKind::ProjectTitle}) {
        const auto it = m_children.find(kind);
        if (it == m_children.end() || !it->second)
            continue;
        if (auto* child = dynamic_cast<TChildWindow*>(it->second->widget()))
            child->Reload();
    }
    for (TGridTable* t : m_tables.All())
        t->ReopenForm();
}

// ------------------------------------------------- computation and graphics

void TMainForm::ComputationMenuClick()
{
    CommitActiveChild();
    const QString project = m_programData->FileName;
    m_editInputAction->setEnabled(QFileInfo::exists(project));
    m_editNotesAction->setEnabled(QFileInfo::exists(ChangeFileExt(project, QStringLiteral(".klr"))));
    m_editOutputAction->setEnabled(QFileInfo::exists(ChangeFileExt(project, QStringLiteral(".klo"))));
    m_runAction->setEnabled(true);
}

void TMainForm::GraphicsMenuClick()
{
    const bool enabled = m_plotDataLoaded && m_programData
                         && QFileInfo::exists(ChangeFileExt(m_programData->FileName, QStringLiteral(".klp")));
    for (QAction* a : m_graphicsMenu->actions())
        if (!a->isSeparator())
            a->setEnabled(enabled);
}

void TMainForm::ArrangeMenuClick()
{
    const auto windows = m_mdi->subWindowList();
    for (int i = 0; i < kWindowListSize; ++i) {
        QAction* a = m_windowActions[static_cast<std::size_t>(i)];
        a->setVisible(i < windows.size());
        if (i < windows.size())
            a->setText(windows.at(i)->windowTitle());
    }
    m_windowSeparator->setVisible(!windows.isEmpty());
}

void TMainForm::arrangeIcons()
{
    int x = 0;
    for (QMdiSubWindow* w : m_mdi->subWindowList()) {
        if (!w->isMinimized())
            continue;
        w->move(x, m_mdi->viewport()->height() - w->height());
        x += w->width();
    }
}

bool TMainForm::LoadPlotData(const QString& path, bool showMessage)
{
    try {
        m_plots.Load(path);
    } catch (const EInOutError&) {
        if (showMessage)
            m_dialogs->Inform(this, RunFailedMessage());
        return false;
    }
    return true;
}

void TMainForm::CompRunClick()
{
    if (m_running)
        return;
    CommitActiveChild();
    if (!FileSaveClick())
        return;
    if (!QDir::setCurrent(QCoreApplication::applicationDirPath())) {
        m_dialogs->Inform(this, QStringLiteral("The program directory %1 could not be made the current directory.")
                                    .arg(QDir::toNativeSeparators(QCoreApplication::applicationDirPath())));
        return;
    }

    TAnalysisRun run(m_analysisProgram);
    m_running = true;
    const auto done = qScopeGuard([this] { m_running = false; });
    if (!run.Start(m_programData->FileName)) {
        if (!QFileInfo::exists(run.PlotDataPath()))
            m_plotDataLoaded = false;
        m_dialogs->Inform(this, run.Message());
        return;
    }

    // The main window takes no input while the analysis runs, but keeps painting.
    QProgressDialog progress(QStringLiteral("Starting the analysis..."), QStringLiteral("Cancel"), 0, 0, this);
    progress.setWindowTitle(QCoreApplication::applicationName());
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    // Two progress lines per frequency (both stages); kdcalc refuses more
    // than 100 frequencies.
    const int steps = 2 * std::clamp(m_programData->FrequencyCount, 0, 100);
    if (steps > 0)
        progress.setMaximum(steps);
    connect(&run, &TAnalysisRun::progress, &progress, [&progress](const QString& line) {
        if (!line.trimmed().isEmpty())
            progress.setLabelText(line.trimmed());
    });
    connect(&run, &TAnalysisRun::frequencyDone, &progress, [&progress, steps](int count) {
        if (steps > 0)
            progress.setValue(std::min(count, steps));
    });
    // Cancel, closing the dialog and Escape all end the run.
    connect(&progress, &QProgressDialog::canceled, &run, &TAnalysisRun::Cancel);
    connect(&progress, &QDialog::rejected, &run, &TAnalysisRun::Cancel);
    progress.show();
    const bool succeeded = run.WaitForEnd();
    progress.hide();

    if (!succeeded) {
        // No curve of an earlier run stays on screen after a failed one.
        m_plotDataLoaded = false;
        for (QMdiSubWindow* w : m_mdi->subWindowList())
            if (TPlotForm::FromSubWindow(w))
                w->close();
        m_dialogs->Inform(this, run.Message());
        return;
    }
    m_plotDataLoaded = LoadPlotData(run.PlotDataPath(), true);
}

void TMainForm::startEditor(const QString& file)
{
    if (!StartEditor(m_settings.WordProcessor, file))
        m_dialogs->Inform(this, kEditorFailed);
}

void TMainForm::CompInputClick()
{
    startEditor(m_programData->FileName);
}

void TMainForm::CompKernelClick()
{
    startEditor(ChangeFileExt(m_programData->FileName, QStringLiteral(".klr")));
}

void TMainForm::CompOutputClick()
{
    startEditor(ChangeFileExt(m_programData->FileName, QStringLiteral(".klo")));
}

// -------------------------------------------------------------- help menu

void TMainForm::HelpContentsClick()
{
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QStringList candidates = {
        programDir.filePath(QStringLiteral("KELDORHELP.html")),
        programDir.filePath(QStringLiteral("../share/doc/keldor/KELDORHELP.html")),
    };
    for (const QString& file : candidates)
        if (QFileInfo(file).isFile() && QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath())))
            return;
    m_dialogs->Inform(this, QStringLiteral("The help document KELDORHELP.html is not installed."));
}

void TMainForm::HelpAboutClick()
{
    if (m_aboutBox)
        m_aboutBox(*this);
}
