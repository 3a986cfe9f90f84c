#include "AppTestSupport.h"
#include "Main.h"
#include "PlotWindow.h"

#include "AnalysisRun.h"
#include "HelpWindow.h"
#include "InputLimits.h"
#include "RunFolder.h"
#include "RunWait.h"
#include "Table.h"
#include "TextFileWindow.h"
#include "WordRead.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QDesktopServices>

#include <array>
#include <deque>

namespace {

// Answers the main window's questions from a script and keeps its messages.
class ScriptedDialogs : public UserDialogs {
public:
    Reply AskSaveChanges(QWidget*) override
    {
        ++questions;
        return answer;
    }
    void Inform(QWidget*, const QString& message) override { messages << message; }
    QString ChooseOpenFile(QWidget*, int& filterIndex) override
    {
        lastFilterIn = filterIndex;
        filterIndex = openFilter;
        return openPath;
    }
    QString ChooseSaveFile(QWidget*, const QString& title, const QString& preset) override
    {
        saveTitles << title;
        savePresets << preset;
        if (savePaths.empty())
            return QString();
        const QString p = savePaths.front();
        savePaths.pop_front();
        return p;
    }

    Reply answer = Reply::Cancel;
    int questions = 0;
    QStringList messages;
    QString openPath;
    int openFilter = 1;
    int lastFilterIn = 0;
    std::deque<QString> savePaths;
    QStringList saveTitles;
    QStringList savePresets;
};

// A child window that counts what the main window asks of it.
class CountingChild : public QWidget, public ChildWindow {
public:
    CountingChild(int& stored, int& reloaded) : m_stored(stored), m_reloaded(reloaded) {}
    bool StoreEdits() override
    {
        ++m_stored;
        return true;
    }
    void Reload() override { ++m_reloaded; }

private:
    int& m_stored;
    int& m_reloaded;
};

// Two layers 16 m deep, SI; piles along x only, so that the rocking stiffness
// formed with the x coordinates differs from the one formed with y.
QByteArray project(const char* pileLength = "12", const char* title = "Along x")
{
    return QByteArray(title) + "\r\n2 \r\n2\r\n4 6 150 0.4 1.8 0.05\r\n5 10 250 0.35 1.9 0.03\r\n"
           + "30000000 0.0063617251 0.28274334 0.25 0.3 2.5 0.01\r\n" + pileLength
           + "\r\n2\r\n-1.5 0 \r\n1.5 0 \r\n200 500 200000 0.05\r\n4 1 3\r\n";
}

// The old layout: a grid of 2 x 1 piles 3 apart.
QByteArray gridProject()
{
    return "Grid\r\n2 \r\n1\r\n20 16 150 0.4 1.8 0.05\r\n30000000 0.0063617251 0.28274334 0.25 0.3 2.5 0.01\r\n"
           "12\r\n2 3 1 0\r\n200 500 200000 0.05\r\n4 1 3\r\n";
}

// Takes the URLs the program hands to the desktop.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE void open(const QUrl& url) { urls << url; }
    QList<QUrl> urls;
};

// A child window of the component library's kind: it offers a slot.
class SlotChild : public QWidget {
    Q_OBJECT
public:
    explicit SlotChild(int& stored) : m_stored(stored) {}
    Q_INVOKABLE void StoreEdits() { ++m_stored; }

private:
    int& m_stored;
};

// A window whose entry is invalid: it refuses to close.
class RefusingChild : public QWidget {
protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool graphicsEnabled(TMainForm& form)
{
    form.GraphicsMenuClick();
    bool all = true;
    bool any = false;
    for (QAction* a : form.GraphicsMenu()->actions()) {
        if (a->isSeparator())
            continue;
        all = all && a->isEnabled();
        any = any || a->isEnabled();
    }
    return all && any;
}

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT

private:
    QString write(const QByteArray& text, const QString& name) { return WriteTestFile(*m_dir, text, name); }

    std::unique_ptr<TMainForm> makeForm(const QStringList& arguments = {})
    {
        auto form = std::make_unique<TMainForm>();
        auto dialogs = std::make_unique<ScriptedDialogs>();
        m_dialogs = dialogs.get();
        form->SetDialogs(std::move(dialogs));
        BoundRunWaits(form->Document());
        form->SetArguments(arguments);
        form->show();
        return form;
    }

    // Opens path through the Open dialog with the given filter entry.
    void openThroughDialog(TMainForm& form, const QString& path, int filter = 1)
    {
        m_dialogs->openPath = path;
        m_dialogs->openFilter = filter;
        form.FileOpenClick();
    }

    // Cancels the run once its progress dialog shows the first frequency:
    // by the Cancel button ("button") or by Escape ("escape").
    void cancelOnceStarted(TMainForm& form, QTimer& timer, const QString& by, bool& sawDialog)
    {
        connect(&timer, &QTimer::timeout, &form, [&form, by, &sawDialog] {
            auto* dialog = form.findChild<QProgressDialog*>();
            if (sawDialog || !dialog || !dialog->isVisible() || !dialog->labelText().contains("AT FREQUENCY"))
                return;
            sawDialog = true;
            if (by == "escape")
                QTest::keyClick(dialog, Qt::Key_Escape);
            else if (auto* button = dialog->findChild<QPushButton*>())
                button->click();
        });
        timer.start(20);
    }

    QSettings storedSettings() const
    {
        return QSettings(m_settingsDir->filePath("Varnoth/KELDOR.ini"), QSettings::IniFormat);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_settingsDir;
    ScriptedDialogs* m_dialogs = nullptr;

private slots:
    void init()
    {
        UseFreshFolders(m_dir, m_settingsDir);
        qunsetenv("KELDOR_FAKE_MODE");
    }

    void aNewWindowShowsANewProject()
    {
        auto form = makeForm();
        QCOMPARE(form->windowTitle(), "KELDOR 2.0 - NewPile");
        QCOMPARE(form->ProgramData().FileName, "NewPile.kld");
        QVERIFY(!form->IsModified());
        QVERIFY(form->WordProcessor().isEmpty());
        form->FileMenuClick();
        for (QAction* a : form->RecentFileActions())
            QVERIFY(!a->isVisible());
        QVERIFY(!form->RecentSeparator()->isVisible());
        QVERIFY(!graphicsEnabled(*form));
        const QStringList menus = [&] {
            QStringList titles;
            for (QAction* a : form->menuBar()->actions())
                titles << a->text();
            return titles;
        }();
        QCOMPARE(menus, QStringList({"&File", "&Data", "&Computation", "&Graphics", "View Geometry", "&Window", "&Help"}));
        QCOMPARE(form->GraphicsMenu()->actions().size(), 16);
        form->ComputationMenuClick();
        QVERIFY(!form->EditInputAction()->isEnabled());
        QVERIFY(!form->EditOutputAction()->isEnabled());
        QVERIFY(form->RunAction()->isEnabled());
    }

    void displayNames_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("full path") << "C:\\work\\pile.kld" << "Pile";
        QTest::newRow("unix path") << "/home/u/pile.KLD" << "Pile";
        QTest::newRow("default") << "NewPile.kld" << "NewPile";
        QTest::newRow("two dots") << "a.b.kld" << "A";
        QTest::newRow("other extension") << "x.txt" << "X.txt";
        QTest::newRow("one letter") << "q.kld" << "Q";
        QTest::newRow("a name of one letter") << "/p/q" << "q";
    }
    void displayNames()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(TMainForm::DisplayName(path), name);
    }

    void checkSave_data()
    {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<bool>("named");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("nameGiven");
        QTest::addColumn<bool>("result");
        QTest::addColumn<bool>("written");
        using A = UserDialogs::Reply;
        QTest::newRow("unmodified") << false << false << int(A::Cancel) << false << true << false;
        QTest::newRow("cancel") << true << true << int(A::Cancel) << false << false << false;
        QTest::newRow("no") << true << true << int(A::No) << false << true << false;
        QTest::newRow("yes, named") << true << true << int(A::Yes) << false << true << true;
        QTest::newRow("yes, new, name given") << true << false << int(A::Yes) << true << true << true;
        QTest::newRow("yes, new, Save As cancelled") << true << false << int(A::Yes) << false << false << false;
    }
    void checkSave()
    {
        QFETCH(bool, modified);
        QFETCH(bool, named);
        QFETCH(int, answer);
        QFETCH(bool, nameGiven);
        QFETCH(bool, result);
        QFETCH(bool, written);
        auto form = makeForm();
        const QString path = m_dir->filePath("asked.kld");
        if (named)
            form->ProgramData().FileName = path;
        if (nameGiven)
            m_dialogs->savePaths.push_back(path);
        form->SetModified(modified);
        m_dialogs->answer = UserDialogs::Reply(answer);
        QCOMPARE(form->CheckSave(), result);
        QCOMPARE(m_dialogs->questions, modified ? 1 : 0);
        QCOMPARE(QFile::exists(path), written);
        QCOMPARE(form->IsModified(), modified && !written);
    }

    void aTableEditCountsAsModified()
    {
        auto form = makeForm();
        form->Tables().PileCoord().SetModified(true);
        QVERIFY(form->IsModified());
        form->SetModified(false);
        QVERIFY(!form->IsModified());
    }

    void savingANewProjectAsksForANameOnce()
    {
        auto form = makeForm();
        const QString path = m_dir->filePath("first.kld");
        m_dialogs->savePaths.push_back(path);
        QVERIFY(form->FileSaveClick());
        QCOMPARE(m_dialogs->saveTitles, QStringList({"Save NewPile As"}));
        QCOMPARE(m_dialogs->savePresets, QStringList({"NewPile.kld"}));
        QCOMPARE(form->ProgramData().FileName, path);
        QCOMPARE(form->windowTitle(), "KELDOR 2.0 - First");
        QVERIFY(readAll(path).startsWith("New Pile\r\n1 \r\n"));
        form->SetModified(true);
        QVERIFY(form->FileSaveClick());
        QCOMPARE(m_dialogs->saveTitles.size(), 1);
        QVERIFY(!form->IsModified());
        // Save As does not enter the recent list.
        QCOMPARE(form->RecentFiles().Count(), 0);
    }

    void aFailedSaveKeepsTheProjectModified()
    {
        auto form = makeForm();
        m_dialogs->savePaths.push_back(m_dir->filePath("no/such/folder/p.kld"));
        form->SetModified(true);
        QVERIFY(!form->FileSaveClick());
        QVERIFY(form->IsModified());
        QCOMPARE(m_dialogs->messages.size(), 1);
        // A failing save inside the question ends the operation that asked.
        m_dialogs->answer = UserDialogs::Reply::Yes;
        QVERIFY(!form->CheckSave());
    }

    void recentFilesKeepTheirOrderAndCaptions()
    {
        auto form = makeForm();
        const QString a = write(project("12", "A"), "a.kld");
        const QString b = write(project("12", "B"), "sub/b.kld");
        openThroughDialog(*form, a);
        openThroughDialog(*form, b);
        QCOMPARE(form->ProgramData().Title, "B");
        QCOMPARE(form->windowTitle(), "KELDOR 2.0 - B");
        QCOMPARE(QDir::currentPath(), QFileInfo(b).absolutePath());
        QCOMPARE(storedSettings().value("2.0/File1").toString(), b);
        QCOMPARE(storedSettings().value("2.0/File2").toString(), a);

        form->FileMenuClick();
        QVERIFY(form->RecentFileActions()[0]->isVisible());
        QCOMPARE(form->RecentFileActions()[0]->text(), "1 b.kld");
        QCOMPARE(form->RecentFileActions()[1]->text(), "2 " + a);
        QVERIFY(!form->RecentFileActions()[2]->isVisible());
        QVERIFY(form->RecentSeparator()->isVisible());

        // The same file again changes nothing and writes nothing.
        QFile::remove(m_settingsDir->filePath("Varnoth/KELDOR.ini"));
        openThroughDialog(*form, b);
        QVERIFY(!QFile::exists(m_settingsDir->filePath("Varnoth/KELDOR.ini")));
        QCOMPARE(form->RecentFiles().Entry(0), b);
        QCOMPARE(form->RecentFiles().Count(), 2);

        // A recent item opens its file.
        form->MyFilePopupHandler(1);
        QCOMPARE(form->ProgramData().Title, "A");
        QCOMPARE(form->RecentFiles().Entry(0), a);
    }

    void theRecentListSurvivesARestart()
    {
        const QString a = write(project(), "a.kld");
        {
            auto form = makeForm();
            openThroughDialog(*form, a);
            form->close();
        }
        auto form = makeForm();
        QCOMPARE(form->RecentFiles().Entry(0), a);
        QCOMPARE(form->RecentFiles().Count(), 1);
    }

    void anOldLayoutFileIsListedOnlyOnceSaved()
    {
        auto form = makeForm();
        const QString grid = write(gridProject(), "grid.kld");
        openThroughDialog(*form, grid, 2);
        QVERIFY(m_dialogs->messages.isEmpty());
        QCOMPARE(form->Tables().PileCoord().RowCount(), 2);
        QCOMPARE(form->Tables().PileCoord().Cells(0, 1)->GetFloat(), 3.0L);
        QCOMPARE(form->RecentFiles().Count(), 0);

        // The Open dialog remembers the layout it was left with.
        openThroughDialog(*form, QString(), 2);
        QCOMPARE(m_dialogs->lastFilterIn, 2);

        QVERIFY(form->FileSaveClick()); // writes the 2.0 layout over it
        QCOMPARE(form->RecentFiles().Entry(0), grid);
        QVERIFY(readAll(grid).contains("\r\n12\r\n2\r\n0 0 \r\n3 0 \r\n"));

        // The recent entry reads the file in the 2.0 layout, whatever the Open dialog was left with.
        form->FileNewClick();
        form->MyFilePopupHandler(0);
        QVERIFY(m_dialogs->messages.isEmpty());
        QCOMPARE(form->ProgramData().Title, "Grid");
        QCOMPARE(form->Tables().PileCoord().RowCount(), 2);
        QCOMPARE(form->ProgramData().FrequencyCount, 4);
    }

    void anIncompleteFileIsNeverOverwritten()
    {
        auto form = makeForm();
        QByteArray text = project();
        text.truncate(text.indexOf("200 500"));
        const QString damaged = write(text, "damaged.kld");
        openThroughDialog(*form, damaged);
        QCOMPARE(m_dialogs->messages, QStringList({"This file either invalid or incomplete."}));
        QCOMPARE(form->ProgramData().FileName, damaged);
        QCOMPARE(form->Tables().PileCoord().RowCount(), 2);
        QCOMPARE(form->ProgramData().FrequencyCount, 0);
        QVERIFY(form->SaveAsRequired());
        QVERIFY(!form->IsModified());

        // Save and Run ask for a name; cancelled, nothing is written or run.
        QVERIFY(!form->FileSaveClick());
        form->CompRunClick();
        QCOMPARE(m_dialogs->saveTitles, QStringList({"Save Damaged As", "Save Damaged As"}));
        QCOMPARE(m_dialogs->savePresets.first(), damaged);
        QCOMPARE(readAll(damaged), text);
        QVERIFY(!QFile::exists(m_dir->filePath("damaged.klo")));

        // Saved under another name, the project saves normally again.
        const QString repaired = m_dir->filePath("repaired.kld");
        m_dialogs->savePaths.push_back(repaired);
        QVERIFY(form->FileSaveClick());
        QVERIFY(!form->SaveAsRequired());
        QVERIFY(QFile::exists(repaired));
        QVERIFY(form->FileSaveClick());
        QCOMPARE(m_dialogs->saveTitles.size(), 3);
        QCOMPARE(readAll(damaged), text);
    }

    void aDroppedFileOpensTheFirstOnly()
    {
        auto form = makeForm();
        const QString a = write(project("12", "Dropped"), "drop/a.kld");
        const QString b = write(project("12", "Second"), "b.kld");
        write("1 1\r\n", "drop/a.klp"); // unreadable plot data: no message on a drop
        form->SetModified(true);
        m_dialogs->answer = UserDialogs::Reply::Cancel;

        auto drop = [&] {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b)});
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(form.get(), &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(form.get(), &event);
            QVERIFY(event.isAccepted());
        };
        drop();
        QCOMPARE(m_dialogs->questions, 1);
        QCOMPARE(form->ProgramData().Title, "New Pile");

        m_dialogs->answer = UserDialogs::Reply::No;
        drop();
        QCOMPARE(form->ProgramData().Title, "Dropped");
        QCOMPARE(form->ProgramData().FileName, a);
        QCOMPARE(form->windowTitle(), "KELDOR 2.0 - A");
        QCOMPARE(QDir::currentPath(), QFileInfo(a).absolutePath());
        QVERIFY(!form->IsModified());
        QCOMPARE(form->RecentFiles().Count(), 0);
        QVERIFY(m_dialogs->messages.isEmpty());
        QVERIFY(!form->PlotDataLoaded());
    }

    void aDropIsACopyElseALink_data()
    {
        QTest::addColumn<int>("offered");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("taken"); // the action the source is told; 0: refused
        // Shift held over a source that offers copy and move proposes a move.
        QTest::newRow("copy or move, Shift held")
            << int(Qt::CopyAction | Qt::MoveAction) << int(Qt::ShiftModifier) << int(Qt::CopyAction);
        QTest::newRow("copy or move") << int(Qt::CopyAction | Qt::MoveAction) << int(Qt::NoModifier)
                                      << int(Qt::CopyAction);
        QTest::newRow("copy or link, Ctrl+Shift held") << int(Qt::CopyAction | Qt::LinkAction)
                                                       << int(Qt::ControlModifier | Qt::ShiftModifier)
                                                       << int(Qt::CopyAction);
        // A file manager with Ctrl+Shift held offers a link only; a link
        // never deletes the source's file.
        QTest::newRow("a link only") << int(Qt::LinkAction) << int(Qt::ControlModifier | Qt::ShiftModifier)
                                     << int(Qt::LinkAction);
        QTest::newRow("a move or a link") << int(Qt::MoveAction | Qt::LinkAction) << int(Qt::ShiftModifier)
                                          << int(Qt::LinkAction);
        // Neither: the drop is refused rather than taken as a move.
        QTest::newRow("a move only") << int(Qt::MoveAction) << int(Qt::NoModifier) << 0;
    }
    void aDropIsACopyElseALink()
    {
        QFETCH(int, offered);
        QFETCH(int, modifiers);
        QFETCH(int, taken);
        auto form = makeForm();
        const QString path = write(project("12", "Dropped"), "drop/m.kld");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        const auto actions = Qt::DropActions(offered);
        const auto keys = Qt::KeyboardModifiers(modifiers);
        QDragEnterEvent enter(QPoint(5, 5), actions, &data, Qt::LeftButton, keys);
        QDragMoveEvent move(QPoint(6, 6), actions, &data, Qt::LeftButton, keys);
        QDropEvent drop(QPointF(6, 6), actions, &data, Qt::LeftButton, keys);
        for (QDropEvent* event : {static_cast<QDropEvent*>(&enter), static_cast<QDropEvent*>(&move), &drop}) {
            QApplication::sendEvent(form.get(), event);
            QCOMPARE(event->isAccepted(), taken != 0);
            // The source is told that the file was copied or linked: it keeps it.
            if (taken)
                QCOMPARE(int(event->dropAction()), taken);
        }
        QCOMPARE(form->ProgramData().Title, taken ? "Dropped" : "New Pile");
        QVERIFY(QFile::exists(path));
    }

    void unitsConvertAndCountAsAnEdit()
    {
        auto form = makeForm();
        form->ProgramData().PileLength = 39.37007874L;
        form->Tables().D().Cells(0, 0)->SetFloat(78.74015748L);
        form->UnitsClick(2);
        QCOMPARE(form->ProgramData().Units, 2);
        QVERIFY(qAbs(double(form->ProgramData().PileLength) - 1.0) < 1e-15);
        QVERIFY(qAbs(double(form->Tables().D().Cells(0, 0)->GetFloat()) - 2.0) < 1e-15);
        QVERIFY(form->IsModified());
        QVERIFY(form->UnitsAction(2)->isChecked());
        form->SetModified(false);
        form->UnitsClick(2); // the units in force: nothing changes
        QVERIFY(!form->IsModified());
        form->UnitsClick(1);
        QVERIFY(qAbs(double(form->ProgramData().PileLength) - 39.37007874) < 1e-13);
        form->OptionsUnitsClick();
        QVERIFY(form->UnitsAction(1)->isChecked());
        QVERIFY(!form->UnitsAction(2)->isChecked());
    }

    void childWindowsStoreTheirEditsBeforeAProjectIsDropped()
    {
        auto form = makeForm();
        QPointer<CountingChild> child;
        int made = 0;
        int stored = 0;
        int reloaded = 0;
        form->SetChildFactory(ChildKind::ProjectTitle, [&](TMainForm&) {
            ++made;
            child = new CountingChild(stored, reloaded);
            child->setWindowTitle("Project Title");
            return child.data();
        });
        form->ShowChild(ChildKind::ProjectTitle);
        form->ShowChild(ChildKind::ProjectTitle); // single instance: brought to the front
        QCOMPARE(made, 1);
        QVERIFY(child);
        form->ArrangeMenuClick();
        QVERIFY(form->WindowListActions()[0]->isVisible());
        QCOMPARE(form->WindowListActions()[0]->text(), "Project Title");
        QVERIFY(!form->WindowListActions()[1]->isVisible());

        form->UnitsClick(2);
        QCOMPARE(reloaded, 1);

        // Ctrl+N commits the child, asks, and the new project closes it.
        form->SetModified(true);
        m_dialogs->answer = UserDialogs::Reply::No;
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QCOMPARE(stored, 0);
        QTest::keyClick(form.get(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(stored, 1);
        QCOMPARE(m_dialogs->questions, 1);
        QTRY_VERIFY(!child);
        QCOMPARE(form->ProgramData().Units, 1);
        QVERIFY(form->MdiArea()->subWindowList().isEmpty());

        // A window that offers a StoreEdits slot is committed as well.
        int slotStored = 0;
        form->SetChildFactory(ChildKind::ControlOptions, [&](TMainForm&) { return new SlotChild(slotStored); });
        form->ShowChild(ChildKind::ControlOptions);
        form->CommitActiveChild();
        QCOMPARE(slotStored, 1);
        form->CloseAllChildren();
        QVERIFY(form->MdiArea()->subWindowList().isEmpty());

        // A window that refuses to close is removed without storing anything.
        QPointer<QWidget> refusing;
        form->SetChildFactory(ChildKind::FrequencyData, [&](TMainForm&) {
            refusing = new RefusingChild;
            return refusing.data();
        });
        form->ShowChild(ChildKind::FrequencyData);
        QVERIFY(refusing);
        form->FileNewClick();
        QVERIFY(!refusing);
        QVERIFY(form->MdiArea()->subWindowList().isEmpty());

        // Later windows find the main window through the plots and tables.
        QCOMPARE(form->Plots().pltVfactor.parent(), form.get());
        QVERIFY(form->Tables().D().FormFactory());
        QVERIFY(form->Tables().PileCoord().FormFactory());

        // Menu items whose windows come later lead nowhere harmful.
        form->SetChildFactory(ChildKind::SideView, nullptr);
        form->ShowChild(ChildKind::SideView);
        form->Plots().pltSkin.Show();
        // The About box is modal: it is closed as soon as it shows.
        QTimer::singleShot(0, form.get(), [] {
            if (QWidget* box = QApplication::activeModalWidget())
                box->close();
        });
        form->HelpAboutClick();
        QVERIFY(form->MdiArea()->subWindowList().isEmpty());
    }

    void editorAndHelpFailuresAreReported()
    {
        {
            QDir().mkpath(m_settingsDir->filePath("Varnoth"));
            QSettings raw(m_settingsDir->filePath("Varnoth/KELDOR.ini"), QSettings::IniFormat);
            raw.setValue("2.0/Word Processor", "/no/such/editor");
        }
        auto form = makeForm();
        QCOMPARE(form->WordProcessor(), "/no/such/editor");
        // The desktop's opener and the text window are for an empty setting
        // only (stand-ins here, so that no program starts).
        FakeOpener desktop(0);
        form->SetDesktopOpener(desktop.Program);
        UrlRecorder opener;
        QDesktopServices::setUrlHandler("file", &opener, "open");
        const QString report = write("report\n", "p.klo");
        form->ProgramData().FileName = m_dir->filePath("p.kld");
        form->CompOutputClick();
        QCOMPARE(m_dialogs->messages,
                 QStringList({"An error occurred in running the Word Processor\rThe text editor \"/no/such/editor\" "
                              "could not be started on "
                              + report
                              + ": No such file or directory.\rChoose the text editor in Data \u203a Control Options, "
                                "or leave the field empty to use the desktop's opener."}));
        QVERIFY(form->MdiArea()->subWindowList().isEmpty());
        // Help opens the page beside the program in the program's own window.
        form->HelpContentsClick();
        QDesktopServices::unsetUrlHandler("file");
        QVERIFY(opener.urls.isEmpty());
        QVERIFY(desktop.Opened().isEmpty());
        QCOMPARE(m_dialogs->messages.size(), 1);
        const QString page = QDir(QCoreApplication::applicationDirPath()).filePath("KELDORHELP.html");
        QVERIFY(form->MdiArea()->currentSubWindow());
        auto* help = qobject_cast<HelpWindow*>(form->MdiArea()->currentSubWindow()->widget());
        QVERIFY(help);
        QCOMPARE(help->Browser->source(), QUrl::fromLocalFile(page));
    }

    void withoutAnEditorTheDesktopsOpenerComesFirst()
    {
        auto form = makeForm();
        QVERIFY(form->WordProcessor().isEmpty());
        QCOMPARE(form->DesktopOpener(), "xdg-open");
        // One that finds a program for the file: nothing more to do.
        FakeOpener opener(0);
        form->SetDesktopOpener(opener.Program);
        form->ProgramData().FileName = write(project(), "e.kld");
        form->CompInputClick();
        QTRY_VERIFY(opener.Gone());
        QCoreApplication::processEvents();
        QCOMPARE(opener.Opened(), QStringList({m_dir->filePath("e.kld")}));
        QVERIFY(form->MdiArea()->subWindowList().isEmpty());
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void theWindowMenuRestoresAMinimisedChild_data()
    {
        QTest::addColumn<bool>("fromTheList");
        QTest::newRow("its item in the Window menu's list") << true;
        QTest::newRow("its Data menu command again") << false;
    }
    void theWindowMenuRestoresAMinimisedChild()
    {
        QFETCH(bool, fromTheList);
        auto form = makeForm();
        int stored = 0;
        int reloaded = 0;
        for (const auto& [kind, title] : {std::pair(ChildKind::ProjectTitle, "Project Title"),
                                          std::pair(ChildKind::FrequencyData, "Frequency Data")})
            form->SetChildFactory(kind, [&, title = QString(title)](TMainForm&) {
                auto* child = new CountingChild(stored, reloaded);
                child->setWindowTitle(title);
                return child;
            });
        form->ShowChild(ChildKind::ProjectTitle);
        QMdiSubWindow* minimised = form->MdiArea()->currentSubWindow();
        QVERIFY(minimised);
        form->ShowChild(ChildKind::FrequencyData);
        QMdiSubWindow* other = form->MdiArea()->currentSubWindow();
        minimised->showMinimized();
        form->MdiArea()->setActiveSubWindow(other);
        QVERIFY(minimised->isMinimized());
        QCOMPARE(form->MdiArea()->currentSubWindow(), other);
        if (fromTheList) {
            form->ArrangeMenuClick();
            const auto at = form->MdiArea()->subWindowList().indexOf(minimised);
            QAction* item = form->WindowListActions()[size_t(at)];
            QVERIFY(item->isVisible());
            QCOMPARE(item->text(), "Project Title");
            item->trigger();
        } else {
            form->ShowChild(ChildKind::ProjectTitle);
        }
        QVERIFY(!minimised->isMinimized());
        QVERIFY(minimised->isVisible());
        QCOMPARE(form->MdiArea()->currentSubWindow(), minimised);
    }

    void theStandardBoxesShowTheTexts()
    {
        auto dialogs = MakeStandardDialogs();
        QWidget parent;
        QString shown;
        QStringList buttons;
        auto answerWith = [&](QMessageBox::StandardButton which) {
            QTimer::singleShot(0, [&, which] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box)
                    return;
                shown = box->text();
                buttons.clear();
                for (QAbstractButton* b : box->buttons())
                    buttons << b->text();
                box->button(which)->click();
            });
        };
        answerWith(QMessageBox::Ok);
        dialogs->Inform(&parent, "An error occured in running the main program.\rDetail line");
        QCOMPARE(shown, "An error occured in running the main program.\nDetail line");

        answerWith(QMessageBox::No);
        QCOMPARE(dialogs->AskSaveChanges(&parent), UserDialogs::Reply::No);
        QCOMPARE(shown, "Do you want to save any changes?");
        QCOMPARE(buttons.size(), 3);
        answerWith(QMessageBox::Cancel);
        QCOMPARE(dialogs->AskSaveChanges(&parent), UserDialogs::Reply::Cancel);
        answerWith(QMessageBox::Yes);
        QCOMPARE(dialogs->AskSaveChanges(&parent), UserDialogs::Reply::Yes);
    }

    void closingAsksFirst()
    {
        auto form = makeForm();
        form->SetModified(true);
        m_dialogs->answer = UserDialogs::Reply::Cancel;
        QVERIFY(!form->close());
        QVERIFY(form->isVisible());
        m_dialogs->answer = UserDialogs::Reply::No;
        QVERIFY(form->close());
        QCOMPARE(m_dialogs->questions, 2);
        QVERIFY(storedSettings().contains("2.0/Word Processor"));
        QVERIFY(storedSettings().contains("2.0/File10"));
    }

    void aStartUpArgumentIsTakenInFull()
    {
        const QString path = write(project("12", "Started"), "start/proj.kld");
        QDir::setCurrent(QFileInfo(path).absolutePath());
        auto form = makeForm({"proj"});
        QCOMPARE(form->ProgramData().Title, "Started");
        QCOMPARE(form->ProgramData().FileName, path);
        QCOMPARE(form->windowTitle(), "KELDOR 2.0 - Proj");
        QCOMPARE(form->RecentFiles().Count(), 0);
        QVERIFY(!form->IsModified());

        auto missing = makeForm({"nothing.dat"});
        QCOMPARE(missing->ProgramData().FileName, "NewPile.kld");
    }

    void aRunFillsTheFourteenPlots()
    {
        QCOMPARE(AnalysisRun::DefaultProgramPath(), QStringLiteral(KDCALC_PATH));
        const QString path = write(project(), "run/group.kld");
        auto form = makeForm({path});
        form->SetModified(true);
        form->CompRunClick();
        QVERIFY2(m_dialogs->messages.isEmpty(), qPrintable(m_dialogs->messages.join(" | ")));
        QVERIFY(form->PlotDataLoaded());
        QVERIFY(graphicsEnabled(*form));
        QVERIFY(!form->IsModified());
        QCOMPARE(QDir::currentPath(), QCoreApplication::applicationDirPath());
        QVERIFY(!QFile::exists(QDir(QCoreApplication::applicationDirPath()).filePath("names.dat")));
        form->ComputationMenuClick();
        QVERIFY(form->EditInputAction()->isEnabled());
        QVERIFY(form->EditNotesAction()->isEnabled());
        QVERIFY(form->EditOutputAction()->isEnabled());
        // No editor and no opener: the report in the text window, byte for byte.
        form->SetDesktopOpener(m_dir->filePath("no-such-opener"));
        form->EditOutputAction()->trigger();
        QVERIFY(form->MdiArea()->currentSubWindow());
        auto* shown = qobject_cast<TextFileWindow*>(form->MdiArea()->currentSubWindow()->widget());
        QVERIFY(shown);
        QCOMPARE(form->MdiArea()->currentSubWindow()->windowTitle(), "group.klo");
        const QByteArray report = readAll(m_dir->filePath("run/group.klo"));
        QVERIFY(report.size() > 1000);
        QCOMPARE(shown->Text->toPlainText().toUtf8(), report);
        form->CloseAllChildren();

        // The plot data file, read token by token: 4 frequencies, SI.
        TWordReader reader(m_dir->filePath("run/group.klp"));
        QCOMPARE(reader.ReadInteger(), 4);
        QCOMPARE(reader.ReadInteger(), 2);
        std::vector<std::array<Extended, 4>> records;
        while (!reader.AtEnd()) {
            try {
                records.push_back({reader.ReadFloat(), reader.ReadFloat(), reader.ReadFloat(), reader.ReadFloat()});
            } catch (const EInOutError&) {
                break;
            }
        }
        QCOMPARE(records.size(), size_t(36));
        const auto record = [&](int block, int j, int r) -> const std::array<Extended, 4>& {
            // Blocks of 2, 1, 4 and 2 records per frequency, each block over all 4 frequencies.
            const int per[] = {2, 1, 4, 2};
            int start = 0;
            for (int b = 0; b < block; ++b)
                start += 4 * per[b];
            return records[size_t(start + j * per[block] + r)];
        };
        ResultPlots& plots = form->Plots();
        const struct {
            TGraphPlot* plot;
            int block, r, part;
        } rows[] = {
            {&plots.pltHorizs, 0, 0, 2},       {&plots.pltHorizsIMG, 0, 0, 3},      {&plots.pltSkin, 0, 1, 2},
            {&plots.pltHortGroupImg, 0, 1, 3}, {&plots.pltTip, 1, 0, 2},            {&plots.pltCombine, 2, 0, 2},
            {&plots.pltVertStiffSigImg, 2, 0, 3}, {&plots.pltTotal, 2, 1, 2},       {&plots.pltVertGroupIMG, 2, 1, 3},
            {&plots.pltLoad, 2, 2, 2},         {&plots.pltMomYIMG, 2, 2, 3},        {&plots.pltAxial, 2, 3, 2},
            {&plots.pltMomXImg, 2, 3, 3},      {&plots.pltVfactor, 3, 1, 2},
        };
        for (const auto& row : rows) {
            QCOMPARE(row.plot->LineCount(), 1);
            QCOMPARE(row.plot->PointCount(), 4);
            QCOMPARE(row.plot->Units(), 2);
            for (int j = 0; j < 4; ++j) {
                QCOMPARE(row.plot->Point(0, j).X, record(row.block, j, row.r)[0]);
                QCOMPARE(row.plot->Point(0, j).Y, record(row.block, j, row.r)[size_t(row.part)]);
            }
        }
        // Frequencies 1, 4, 7, 10 Hz.
        QCOMPARE(plots.pltSkin.Point(0, 3).X, 10.0L);
        // Piles along x: rotation about y (from the x coordinates) is the stiffer one.
        QVERIFY(plots.pltLoad.Point(0, 0).Y > 2 * plots.pltAxial.Point(0, 0).Y);
        QCOMPARE(plots.pltLoad.YAxisCaption(), "Rocking Stiffness (Y-Dir., Real Part) (kN-m/Radian)");
        QCOMPARE(plots.pltSkin.YAxisCaption(), "Horizontal Stiffness (Real Part) (kN/m)");
        // Group of two: the group stiffness lies between one and two single piles.
        QVERIFY(plots.pltSkin.Point(0, 0).Y > plots.pltHorizs.Point(0, 0).Y);
        QVERIFY(plots.pltSkin.Point(0, 0).Y < 2 * plots.pltHorizs.Point(0, 0).Y);

        // A Graphics item opens its plot window as a child; while it is active
        // its Plot menu stands in the menu bar, before the Window menu.
        QAction* first = nullptr;
        for (QAction* a : form->GraphicsMenu()->actions())
            if (!a->isSeparator() && !first)
                first = a;
        QVERIFY(first);
        first->trigger();
        QCoreApplication::processEvents();
        QMdiSubWindow* sub = form->MdiArea()->activeSubWindow();
        QVERIFY(sub);
        QVERIFY(TPlotForm::FromSubWindow(sub));
        const QList<QAction*> bar = form->menuBar()->actions();
        const int plotAt = bar.indexOf(TPlotForm::FromSubWindow(sub)->PlotMenu()->menuAction());
        QVERIFY(plotAt >= 0);
        QCOMPARE(bar.indexOf(form->WindowMenu()->menuAction()), plotAt + 1);
        sub->close();
        QCoreApplication::processEvents();
        QCOMPARE(form->menuBar()->actions().indexOf(form->WindowMenu()->menuAction()), plotAt);

        // Reopened, the project loads its plot data silently.
        form->FileNewClick();
        openThroughDialog(*form, path);
        QVERIFY(form->PlotDataLoaded());
        QVERIFY(graphicsEnabled(*form));
    }

    void aFailingRunLeavesGraphicsDisabled()
    {
        const QString good = write(project(), "good.kld");
        auto form = makeForm({good});
        form->CompRunClick();
        QVERIFY(form->PlotDataLoaded());
        const Extended before = form->Plots().pltSkin.Point(0, 0).Y;
        // A plot window open on the good run's curves is closed by a failed
        // run of the same project: no old curves stay on screen.
        form->Plots().pltSkin.Show();
        QCoreApplication::processEvents();
        QCOMPARE(form->MdiArea()->subWindowList().size(), 1);
        form->ProgramData().PileLength = 100.0L;
        form->SetModified(true);
        form->CompRunClick();
        QCoreApplication::processEvents();
        QVERIFY(form->MdiArea()->subWindowList().isEmpty());
        QVERIFY(!graphicsEnabled(*form));
        m_dialogs->messages.clear();

        const QString tooLong = write(project("100"), "toolong.kld");
        openThroughDialog(*form, tooLong);
        form->CompRunClick();
        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY(m_dialogs->messages[0].startsWith("An error occured in running the main program.\r"));
        QVERIFY(m_dialogs->messages[0].contains("THE PILE IS LONGER THAN THE SOIL COLUMN"));
        QVERIFY(!form->PlotDataLoaded());
        QVERIFY(!graphicsEnabled(*form));
        QCOMPARE(form->Plots().pltSkin.Point(0, 0).Y, before);
    }

    // A run whose program cannot be started shows its message and changes
    // nothing else: the results on disk, the plots and their windows stay.
    void aProgramThatCannotStartLeavesTheResultsAsTheyWere_data()
    {
        QTest::addColumn<QByteArray>("program"); // the file's content; empty: no file
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("broken binary") << QByteArray("\x7f" "ELF\x02\x01\x01\0\0\0\0\0", 12);
    }
    void aProgramThatCannotStartLeavesTheResultsAsTheyWere()
    {
        QFETCH(QByteArray, program);
        const QString path = write(project(), "good.kld");
        auto form = makeForm({path});
        form->CompRunClick();
        QVERIFY(form->PlotDataLoaded());
        const QString plotData = m_dir->filePath("good.klp");
        const QByteArray results = readAll(plotData);
        const Extended before = form->Plots().pltSkin.Point(0, 0).Y;
        form->Plots().pltSkin.Show();
        QCoreApplication::processEvents();
        QCOMPARE(form->MdiArea()->subWindowList().size(), 1);

        const QString broken = write(program, "bin/kdcalc");
        if (program.isEmpty())
            QFile::remove(broken);
        else
            QFile::setPermissions(broken, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        form->SetAnalysisProgram(broken);
        form->CompRunClick();
        QCoreApplication::processEvents();
        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY2(m_dialogs->messages[0].startsWith(StartFailedMessage() + u'\r'), qPrintable(m_dialogs->messages[0]));
        QCOMPARE(readAll(plotData), results);
        QCOMPARE(form->MdiArea()->subWindowList().size(), 1);
        QVERIFY(form->PlotDataLoaded());
        QVERIFY(graphicsEnabled(*form));
        QCOMPARE(form->Plots().pltSkin.Point(0, 0).Y, before);
    }

    void fakeFailures_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<QString>("cancelBy");
        QTest::addColumn<QString>("message"); // what the message holds; for a cancel, the whole of it
        QTest::newRow("crash") << QByteArray("crash") << "" << "The analysis program stopped abnormally.";
        QTest::newRow("no output") << QByteArray("silent") << "" << "The analysis program wrote no plot data file.";
        QTest::newRow("unreadable plot data") << QByteArray("badplot") << "" << "";
        QTest::newRow("cancel") << QByteArray("hang") << "button" << "The analysis was cancelled.";
        QTest::newRow("escape") << QByteArray("hang") << "escape" << "The analysis was cancelled.";
    }
    void fakeFailures()
    {
        QFETCH(QByteArray, mode);
        QFETCH(QString, cancelBy);
        QFETCH(QString, message);
        const bool cancelled = !cancelBy.isEmpty();
        const QString path = write(project(), "fake.kld");
        // An earlier run's plot data: loaded at start-up, its curves shown.
        QByteArray earlier = "1 1\r\n";
        for (int r = 1; r <= 9; ++r)
            earlier += " 1.0 1.0 " + QByteArray::number(r) + " 0\r\n";
        write(earlier, "fake.klp");
        auto form = makeForm({path});
        QVERIFY(form->PlotDataLoaded());
        form->Plots().pltSkin.Show();
        QCoreApplication::processEvents();
        QCOMPARE(form->MdiArea()->subWindowList().size(), 1);
        form->SetAnalysisProgram(QStringLiteral(FAKE_KDCALC_PATH));
        qputenv("KELDOR_FAKE_MODE", mode);
        bool sawDialog = false;
        QTimer cancel;
        if (cancelled)
            cancelOnceStarted(*form, cancel, cancelBy, sawDialog);
        form->CompRunClick();
        QCoreApplication::processEvents();
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(sawDialog, cancelled);
        if (cancelled) {
            QCOMPARE(m_dialogs->messages[0], message);
            // The earlier results stay, on disk and on screen; the part of a
            // report the program had written is not left.
            QCOMPARE(readAll(m_dir->filePath("fake.klp")), earlier);
            QVERIFY(!QFile::exists(m_dir->filePath("fake.klo")));
            QVERIFY(form->PlotDataLoaded());
            QVERIFY(graphicsEnabled(*form));
            QCOMPARE(form->MdiArea()->subWindowList().size(), 1);
            return;
        }
        QVERIFY(m_dialogs->messages[0].startsWith("An error occured in running the main program."));
        QVERIFY(m_dialogs->messages[0].contains(message));
        QVERIFY(!form->PlotDataLoaded());
        QVERIFY(!graphicsEnabled(*form));
        // With the Graphics menu disabled no window shows the earlier curves.
        QVERIFY(form->MdiArea()->subWindowList().isEmpty());
        // No plot data is left that could pass for a result, except the
        // unreadable file of a run that ended well.
        QCOMPARE(QFile::exists(m_dir->filePath("fake.klp")), mode == "badplot");
    }

    // The real analysis program on a long project, cancelled in its
    // horizontal stage: the results of the earlier run stay byte for byte,
    // and so do their plots.
    void aCancelledRunKeepsTheEarlierResults()
    {
        const QString path = write(QByteArray::fromStdString(kdtest::slowProjectText(3)), "slow/group.kld");
        auto form = makeForm({path});
        form->CompRunClick();
        QVERIFY2(m_dialogs->messages.isEmpty(), qPrintable(m_dialogs->messages.join(" | ")));
        QVERIFY(form->PlotDataLoaded());
        const QDir folder(m_dir->filePath("slow"));
        const QStringList names = folder.entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(names, QStringList({"group.kld", "group.klo", "group.klp", "group.klr"}));
        QByteArrayList results;
        for (const QString& name : names.mid(1))
            results << readAll(folder.filePath(name));
        form->Plots().pltSkin.Show();
        QCoreApplication::processEvents();
        const Extended before = form->Plots().pltSkin.Point(0, 2).Y;

        form->ProgramData().FrequencyCount = kd::kMaxFrequencies;
        form->SetModified(true);
        bool sawDialog = false;
        QTimer cancel;
        cancelOnceStarted(*form, cancel, QStringLiteral("button"), sawDialog);
        form->CompRunClick();
        QCoreApplication::processEvents();
        QVERIFY(sawDialog);
        QCOMPARE(m_dialogs->messages, QStringList({"The analysis was cancelled."}));
        QVERIFY(readAll(path).contains(QByteArray::number(kd::kMaxFrequencies) + " 0 1\r\n")); // saved before the run
        QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden), names);
        for (qsizetype i = 0; i < results.size(); ++i)
            QCOMPARE(readAll(folder.filePath(names[i + 1])), results[i]);
        QCOMPARE(form->MdiArea()->subWindowList().size(), 1);
        QVERIFY(form->PlotDataLoaded());
        QVERIFY(graphicsEnabled(*form));
        QCOMPARE(form->Plots().pltSkin.PointCount(), 3);
        QCOMPARE(form->Plots().pltSkin.Point(0, 2).Y, before);
    }
};

QTEST_MAIN(MainFormTest)
#include "MainFormTest.moc"
