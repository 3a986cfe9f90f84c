#include "Main.h"

#include "DataDialog.h"
#include "PlotWindow.h"
#include "TableForm.h"
#include "Workspace.h"

#include "AnalysisRun.h"
#include "GeometryView.h"
#include "EditorCommand.h"
#include "HelpWindow.h"
#include "TextFileWindow.h"
#include "Misc.h"
#include "OutputNames.h"
#include "Table.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMetaMethod>
#include <QMetaObject>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QScreen>
#include <QStyle>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kWindowListSize = 50;
const QString kSaveQuestion = QStringLiteral("Do you want to save any changes?");
const QString kEditorFailed = QStringLiteral("An error occurred in running the Word Processor");

// A dropped project is only read: the drop is a copy when the source offers
// one, else a link, whatever the source proposed, so that a source offering
// a move never deletes its file. A source that offers neither is refused.
// False then.
bool acceptAsCopyOrLink(QDropEvent* event)
{
    const Qt::DropActions offered = event->possibleActions();
    if (!event->mimeData()->hasUrls() || !(offered & (Qt::CopyAction | Qt::LinkAction))) {
        event->ignore();
        return false;
    }
    event->setDropAction(offered & Qt::CopyAction ? Qt::CopyAction : Qt::LinkAction);
    event->accept();
    return true;
}

// A CR between a heading and its detail is a line break on screen.
QString screenText(const QString& message)
{
    QString text = message;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

// The size of a box whose text shows the longest line of output whole and
// its lines up to kOutputHeight high, within the screen (less the frame the
// window manager draws around the parent's window); beyond that it scrolls.
constexpr int kOutputHeight = 480;

QSize fittedBoxSize(QDialog& box, const QPlainTextEdit& output, const QWidget* parent)
{
    const QFontMetrics metrics(output.font());
    const QStringList lines = output.toPlainText().split(u'\n');
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const int margin = static_cast<int>(std::ceil(output.document()->documentMargin()));
    const int edges = 2 * (output.frameWidth() + margin) + output.cursorWidth();
    const int bar = output.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &output);
    const int fullHeight = static_cast<int>(lines.size()) * metrics.lineSpacing() + edges;
    QSize text(widest + edges + (fullHeight > kOutputHeight ? bar : 0), std::min(fullHeight, kOutputHeight));
    text = text.expandedTo(output.minimumSize());

    // The box as laid out, with the text at this size instead of its own.
    box.layout()->activate();
    QSize size = box.sizeHint() - output.sizeHint().expandedTo(output.minimumSize()) + text;

    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    QSize room = screen ? screen->availableGeometry().size() : size;
    if (parent) {
        const QWidget* window = parent->window();
        room -= window->frameGeometry().size() - window->geometry().size();
    }
    if (size.width() > room.width())
        size.rheight() += bar; // the lines scroll sideways
    return size.boundedTo(room).expandedTo(box.minimumSizeHint());
}

QString exceptionText(const std::exception& e)
{
    if (const auto* known = dynamic_cast<const Exception*>(&e))
        return known->Message();
    return QString::fromLocal8Bit(e.what());
}

class StandardDialogs : public UserDialogs {
public:
    Reply AskSaveChanges(QWidget* parent) override
    {
        const auto answer = QMessageBox::question(parent, QStringLiteral("Confirm"), kSaveQuestion,
                                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Yes)
            return Reply::Yes;
        if (answer == QMessageBox::No)
            return Reply::No;
        return Reply::Cancel;
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

    void InformWithText(QWidget* parent, const QString& message, const QString& text) override
    {
        if (text.isEmpty()) {
            Inform(parent, message);
            return;
        }
        // The text may be long and its lines wide: it scrolls inside a box
        // of bounded size instead of stretching the box beyond the screen.
        QDialog box(parent);
        box.setWindowTitle(QCoreApplication::applicationName());
        auto* layout = new QVBoxLayout(&box);
        auto* heading = new QLabel(screenText(message), &box);
        heading->setWordWrap(true);
        layout->addWidget(heading);
        auto* output = new QPlainTextEdit(&box);
        output->setObjectName(QStringLiteral("OutputText"));
        output->setReadOnly(true);
        output->setLineWrapMode(QPlainTextEdit::NoWrap);
        output->setPlainText(screenText(text));
        output->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        output->setMinimumSize(360, 120);
        // The last lines in view, from their start: the cursor at the end
        // of the last line would scroll the box to that line's right end.
        output->moveCursor(QTextCursor::End);
        output->moveCursor(QTextCursor::StartOfLine);
        // The text takes whatever the box gains.
        layout->addWidget(output, 1);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
        layout->addWidget(buttons);
        box.resize(fittedBoxSize(box, *output, parent));
        box.exec();
    }

    QString ChooseSaveFile(QWidget* parent, const QString& title, const QString& preset) override
    {
        QFileDialog dialog(parent, title);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter(QStringLiteral("Keldor 2.0(*.kld)"));
        dialog.setDefaultSuffix(QStringLiteral("kld"));
        dialog.selectFile(preset);
        // Only a file in an existing folder is accepted.
        for (;;) {
            if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
                return QString();
            const QString path = dialog.selectedFiles().first();
            const QFileInfo info(path);
            if (info.absoluteDir().exists())
                return path;
            Inform(parent,
                   QStringLiteral("The folder %1 does not exist.").arg(QDir::toNativeSeparators(info.absolutePath())));
        }
    }
};

} // namespace

std::unique_ptr<UserDialogs> MakeStandardDialogs()
{
    return std::make_unique<StandardDialogs>();
}

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent), m_plots(this), m_dialogs(MakeStandardDialogs()),
      m_document(std::make_unique<ProjectDocument>(m_tables, m_plots)), m_desktopOpener(DefaultDesktopOpener())
{
    m_document->SetDialogs(m_dialogs.get(), this);
    m_document->SetRunWaiter([this](AnalysisRun& run, int steps) { return waitForRun(run, steps); });
    connect(m_document.get(), &ProjectDocument::closingProject, this, &TMainForm::CloseAllChildren);
    connect(m_document.get(), &ProjectDocument::captionChanged, this, &QWidget::setWindowTitle);
    connect(m_document.get(), &ProjectDocument::unitsChanged, this, &TMainForm::RefreshOpenDialogs);
    connect(m_document.get(), &ProjectDocument::runFailed, this, &TMainForm::closePlotWindows);
    setObjectName(QStringLiteral("MainForm"));
    m_mdi = new QMdiArea(this);
    // The table editor windows open in this window's area; their messages
    // go through its dialogs.
    for (TGridTable* t : m_tables.All())
        t->SetFormFactory(TTableForm::Factory(
            m_mdi, [this](QWidget* parent, const QString& message) { m_dialogs->Inform(parent, message); }));
    m_mdi->setBackground(Qt::white);
    // Every child can be reached: scroll bars when one lies beyond the edge.
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    InstallChildWindowKeys(*m_mdi);
    setCentralWidget(m_mdi);
    setAcceptDrops(true);
    createMenus();
    // The fourteen plots open their windows here, and the active plot window's
    // Plot menu stands before the Window menu.
    m_plots.SetFormFactory(TPlotForm::FormFactory(m_mdi));
    TPlotForm::InstallMenuSwitching(m_mdi, menuBar(), m_windowMenu->menuAction());
    InstallGeometryViews(*this);
    // The Data menu's dialogs, Control Options and the About box.
    InstallDataDialogs(*this);
    setWindowTitle(m_document->Caption());
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

void TMainForm::SetDialogs(std::unique_ptr<UserDialogs> dialogs)
{
    m_dialogs = std::move(dialogs);
    m_document->SetDialogs(m_dialogs.get(), this);
}

void TMainForm::SetChildFactory(ChildKind kind, ChildFactory factory)
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
    for (int i = 0; i < RecentFileList::Size; ++i) {
        QAction* a = m_fileMenu->addAction(QString(), this, [this, i] { MyFilePopupHandler(i); });
        a->setVisible(false);
        m_recentActions.push_back(a);
    }
    m_recentSeparator = m_fileMenu->addSeparator();
    m_recentSeparator->setVisible(false);
    m_fileMenu->addAction(QStringLiteral("E&xit"), this, &TMainForm::FileExitClick);

    m_dataMenu = bar->addMenu(QStringLiteral("&Data"));
    connect(m_dataMenu, &QMenu::aboutToShow, this, &TMainForm::CommitActiveChild);
    m_dataMenu->addAction(QStringLiteral("&Title"), this, [this] { ShowChild(ChildKind::ProjectTitle); });
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
    m_dataMenu->addAction(QStringLiteral("&Pile Properties"), this, [this] { ShowChild(ChildKind::PileProperties); });
    m_dataMenu->addAction(QStringLiteral("Pile Group Arrangement"), this, [this] { m_tables.PileCoord().ShowForm(); });
    m_dataMenu->addAction(QStringLiteral("Soil &Layer Data"), this, [this] { m_tables.D().ShowForm(); });
    m_dataMenu->addAction(QStringLiteral("&Frequency Data"), this, [this] { ShowChild(ChildKind::FrequencyData); });
    m_dataMenu->addAction(QStringLiteral("Superstructure Properties"), this,
                          [this] { ShowChild(ChildKind::SuperstructureProperties); });
    m_dataMenu->addSeparator();
    m_dataMenu->addAction(QStringLiteral("Control &Options..."), this, [this] { ShowChild(ChildKind::ControlOptions); });

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
    for (const ResultPlots::MenuEntry& entry : m_plots.MenuEntries()) {
        if (!entry.Plot) {
            m_graphicsMenu->addSeparator();
            continue;
        }
        TGraphPlot* plot = entry.Plot;
        m_graphicsMenu->addAction(entry.Caption, this, [plot] { plot->Show(); });
    }
    GraphicsMenuClick();

    QMenu* view = bar->addMenu(QStringLiteral("View Geometry"));
    view->addAction(QStringLiteral("Top View"), this, [this] { ShowChild(ChildKind::TopView); });
    view->addAction(QStringLiteral("Side View"), this, [this] { ShowChild(ChildKind::SideView); });

    m_windowMenu = bar->addMenu(QStringLiteral("&Window"));
    connect(m_windowMenu, &QMenu::aboutToShow, this, &TMainForm::ArrangeMenuClick);
    m_windowMenu->addAction(QStringLiteral("&Cascade"), m_mdi, &QMdiArea::cascadeSubWindows);
    m_windowMenu->addAction(QStringLiteral("&Arrange Icons"), this, &TMainForm::arrangeIcons);
    m_windowSeparator = m_windowMenu->addSeparator();
    m_windowSeparator->setVisible(false);
    for (int i = 0; i < kWindowListSize; ++i) {
        QAction* a = m_windowMenu->addAction(QString(), this, [this, i] { ActivateMenuClick(i); });
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
    m_document->SetModified(flag);
}

bool TMainForm::IsModified() const
{
    return m_document->IsModified();
}

QString TMainForm::DisplayName(const QString& path)
{
    return ProjectDocument::DisplayName(path);
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
    m_document->StartUp(m_arguments);
}

// -------------------------------------------------------------- file menu

void TMainForm::FileMenuClick()
{
    CommitActiveChild();
    const RecentFileList& recent = m_document->RecentFiles();
    const int count = recent.Count();
    const QString current = QDir::currentPath();
    for (int i = 0; i < RecentFileList::Size; ++i) {
        QAction* a = m_recentActions[static_cast<std::size_t>(i)];
        a->setVisible(i < count);
        if (i < count)
            a->setText(recent.MenuCaption(i, current));
    }
    m_recentSeparator->setVisible(count > 0);
}

void TMainForm::FileNewClick()
{
    if (CommitActiveChild())
        m_document->FileNew();
}

void TMainForm::FileOpenClick()
{
    if (CommitActiveChild())
        m_document->FileOpen();
}

void TMainForm::OpenFileName(const QString& path, bool layout20)
{
    m_document->OpenFileName(path, layout20);
}

void TMainForm::MyFilePopupHandler(int index)
{
    if (CommitActiveChild())
        m_document->OpenRecentFile(index);
}

void TMainForm::DropFiles(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    if (CommitActiveChild())
        m_document->DropFiles(paths);
}

bool TMainForm::FileSaveClick()
{
    return CommitActiveChild() && m_document->FileSave();
}

bool TMainForm::FileSaveAsClick()
{
    return CommitActiveChild() && m_document->FileSaveAs();
}

void TMainForm::FileExitClick()
{
    close();
}

bool TMainForm::CheckSave()
{
    return m_document->CheckSave();
}

void TMainForm::UpdatePrevFile(const QString& path)
{
    m_document->UpdatePrevFile(path);
}

void TMainForm::UpdateRegistry()
{
    m_document->UpdateRegistry();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (!CommitActiveChild() || !m_document->CloseQuery()) {
        event->ignore();
        return;
    }
    CloseAllChildren();
    event->accept();
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    acceptAsCopyOrLink(event);
}

void TMainForm::dragMoveEvent(QDragMoveEvent* event)
{
    acceptAsCopyOrLink(event);
}

void TMainForm::dropEvent(QDropEvent* event)
{
    if (!acceptAsCopyOrLink(event))
        return;
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    DropFiles(paths);
}

// -------------------------------------------------------------- data menu

void TMainForm::OptionsUnitsClick()
{
    UnitsAction(ProgramData().Units)->setChecked(true);
}

void TMainForm::UnitsClick(int units)
{
    // A change reloads the open views (unitsChanged).
    m_document->SetUnits(units);
    OptionsUnitsClick();
}

void TMainForm::ShowChild(ChildKind kind)
{
    QPointer<QMdiSubWindow>& window = m_children[kind];
    if (!window) {
        const auto factory = m_childFactories.find(kind);
        if (factory == m_childFactories.end() || !factory->second)
            return;
        QWidget* widget = nullptr;
        try {
            widget = factory->second(*this);
        } catch (const std::exception& e) {
            m_dialogs->Inform(this, exceptionText(e));
        }
        if (!widget)
            return;
        // The dialogs keep the size of their fields; the views are sizable.
        const bool view = kind == ChildKind::SideView || kind == ChildKind::TopView;
        window = AddChildWindow(*m_mdi, widget, view ? ChildFrame::Sizable : ChildFrame::FixedSize);
    }
    bringToFront(window);
}

void TMainForm::bringToFront(QMdiSubWindow* window)
{
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    m_mdi->setActiveSubWindow(window);
}

bool TMainForm::CommitActiveChild()
{
    QMdiSubWindow* active = m_mdi->currentSubWindow();
    if (!active)
        return true;
    QWidget* widget = active->widget();
    // Called from menus and event handlers: no exception may leave it. An
    // edit that could not be stored stops the command as a refusal does.
    try {
        if (auto* child = dynamic_cast<ChildWindow*>(widget))
            return child->StoreEdits();
        const int index = widget ? widget->metaObject()->indexOfMethod("StoreEdits()") : -1;
        if (index >= 0) {
            // A slot that returns nothing cannot refuse.
            const QMetaMethod slot = widget->metaObject()->method(index);
            bool stored = true;
            if (slot.returnType() == QMetaType::Bool)
                slot.invoke(widget, Qt::DirectConnection, Q_RETURN_ARG(bool, stored));
            else
                slot.invoke(widget, Qt::DirectConnection);
            return stored;
        }
    } catch (const std::exception& e) {
        m_dialogs->Inform(this, exceptionText(e));
        return false;
    }
    return true;
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
    for (ChildKind kind : {ChildKind::SuperstructureProperties, ChildKind::PileProperties,
                            ChildKind::FrequencyData, ChildKind::ControlOptions, ChildKind::ProjectTitle}) {
        const auto it = m_children.find(kind);
        if (it == m_children.end() || !it->second)
            continue;
        try {
            if (auto* child = dynamic_cast<ChildWindow*>(it->second->widget()))
                child->Reload();
        } catch (const std::exception& e) {
            m_dialogs->Inform(this, exceptionText(e));
        }
    }
    for (TGridTable* t : m_tables.All()) {
        try {
            t->ReopenForm();
        } catch (const std::exception& e) {
            m_dialogs->Inform(this, exceptionText(e));
        }
    }
}

// ------------------------------------------------- computation and graphics

void TMainForm::ComputationMenuClick()
{
    CommitActiveChild();
    const QString project = ProgramData().FileName;
    m_editInputAction->setEnabled(QFileInfo::exists(project));
    m_editNotesAction->setEnabled(QFileInfo::exists(ChangeFileExt(project, QLatin1String(kd::kRunNotesExtension))));
    m_editOutputAction->setEnabled(QFileInfo::exists(ChangeFileExt(project, QLatin1String(kd::kReportExtension))));
    m_runAction->setEnabled(true);
}

void TMainForm::GraphicsMenuClick()
{
    const bool enabled = m_document->PlotDataLoaded()
                         && QFileInfo::exists(ChangeFileExt(ProgramData().FileName, QLatin1String(kd::kPlotDataExtension)));
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

void TMainForm::ActivateMenuClick(int index)
{
    const auto windows = m_mdi->subWindowList();
    if (index >= 0 && index < windows.size())
        bringToFront(windows.at(index));
}

void TMainForm::arrangeIcons()
{
    ArrangeIcons(*m_mdi);
}

bool TMainForm::LoadPlotData(const QString& path, bool showMessage)
{
    return m_document->LoadPlotData(path, showMessage);
}

void TMainForm::CompRunClick()
{
    if (m_document->IsRunning())
        return;
    if (CommitActiveChild())
        m_document->RunAnalysis();
}

bool TMainForm::waitForRun(AnalysisRun& run, int steps)
{
    // The main window takes no input while the analysis runs, but keeps painting.
    QProgressDialog progress(QStringLiteral("Starting the analysis..."), QStringLiteral("Cancel"), 0, 0, this);
    progress.setWindowTitle(QCoreApplication::applicationName());
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    if (steps > 0)
        progress.setMaximum(steps);
    connect(&run, &AnalysisRun::progress, &progress, [&progress](const QString& line) {
        const QString text = line.trimmed();
        // A console line is at most a few hundred characters wide on screen.
        if (!text.isEmpty())
            progress.setLabelText(progress.fontMetrics().elidedText(text, Qt::ElideRight, 600));
    });
    connect(&run, &AnalysisRun::frequencyDone, &progress, [&progress, steps](int count) {
        if (steps > 0)
            progress.setValue(std::min(count, steps));
    });
    // Cancel, closing the dialog and Escape all end the run.
    connect(&progress, &QProgressDialog::canceled, &run, &AnalysisRun::Cancel);
    connect(&progress, &QDialog::rejected, &run, &AnalysisRun::Cancel);
    progress.show();
    const bool succeeded = run.WaitForEnd();
    progress.hide();
    return succeeded;
}

void TMainForm::closePlotWindows()
{
    // No curve of an earlier run stays on screen after a failed one.
    for (QMdiSubWindow* w : m_mdi->subWindowList())
        if (TPlotForm::FromSubWindow(w))
            w->close();
}

void TMainForm::startEditor(const QString& file)
{
    const QString editor = m_document->WordProcessor();
    if (editor.trimmed().isEmpty()) {
        // No editor set: the desktop's program for the file, else our own window.
        OpenWithDesktop(m_desktopOpener, file, this, [this, file] { showTextFile(file); });
        return;
    }
    QString reason;
    if (!StartEditor(editor, file, &reason))
        m_dialogs->Inform(this, kEditorFailed + u'\r'
                                    + QStringLiteral("The text editor \"%1\" could not be started on %2: %3.")
                                          .arg(editor, QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath()),
                                               reason)
                                    + u'\r'
                                    + QStringLiteral("Choose the text editor in Data \u203a Control Options, or leave "
                                                     "the field empty to use the desktop's opener."));
}

void TMainForm::showTextFile(const QString& file)
{
    const QString path = QFileInfo(file).absoluteFilePath();
    for (QMdiSubWindow* w : m_mdi->subWindowList()) {
        auto* shown = qobject_cast<TextFileWindow*>(w->widget());
        if (shown && shown->FilePath() == path) {
            shown->Reload();
            bringToFront(w);
            return;
        }
    }
    auto* window = new TextFileWindow(path, [this](const QString& message) { m_dialogs->Inform(this, message); });
    if (!window->Reload()) {
        delete window;
        return;
    }
    bringToFront(AddChildWindow(*m_mdi, window, ChildFrame::Sizable));
}

void TMainForm::CompInputClick()
{
    startEditor(ProgramData().FileName);
}

void TMainForm::CompKernelClick()
{
    startEditor(ChangeFileExt(ProgramData().FileName, QLatin1String(kd::kRunNotesExtension)));
}

void TMainForm::CompOutputClick()
{
    startEditor(ChangeFileExt(ProgramData().FileName, QLatin1String(kd::kReportExtension)));
}

// -------------------------------------------------------------- help menu

void TMainForm::HelpContentsClick()
{
    if (m_helpWindow) {
        bringToFront(m_helpWindow);
        return;
    }
    const QStringList candidates = m_helpPageLocations.isEmpty()
                                       ? HelpWindow::PageLocations(QCoreApplication::applicationDirPath())
                                       : m_helpPageLocations;
    for (const QString& file : candidates) {
        if (!QFileInfo(file).isFile())
            continue;
        m_helpWindow = AddChildWindow(*m_mdi, new HelpWindow(file), ChildFrame::Sizable);
        bringToFront(m_helpWindow);
        return;
    }
    QStringList places;
    for (const QString& file : candidates)
        places << QDir::toNativeSeparators(file);
    m_dialogs->Inform(this, QStringLiteral("The help page %1 was not found. It was looked for as:\r%2")
                                .arg(HelpWindow::PageName, places.join(u'\r')));
}

void TMainForm::HelpAboutClick()
{
    if (m_aboutBox)
        m_aboutBox(*this);
}
