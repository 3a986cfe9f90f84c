// A refused entry in the active child window stops the command that committed
// it: through the real main window, its data dialogs and table windows.

#include "AppTestSupport.h"
#include "DialogTestSupport.h"

#include "SoilParams.h"
#include "TableForm.h"

#include "Table.h"

#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QSettings>
#include <QTemporaryDir>

namespace {

// A two-layer project in SI units, four frequencies.
const QByteArray kProject = "Refusals\r\n2 \r\n2\r\n4 6 150 0.4 1.8 0.05\r\n5 10 250 0.35 1.9 0.03\r\n"
                            "30000000 0.0063617251 0.28274334 0.25 0.3 2.5 0.01\r\n12\r\n1\r\n0 0 \r\n"
                            "200 500 200000 0.05\r\n4 1 3\r\n";

const QString kIntegerMessage = QStringLiteral("Entry must be an integer.");

// Closes each real message box as soon as it is up, keeping its text.
class BoxCloser {
public:
    BoxCloser()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                Texts << box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        m_timer.start(0);
    }
    void Stop() { m_timer.stop(); }

    QStringList Texts;

private:
    QTimer m_timer;
};

} // namespace

class RefusedEntryTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_settingsDir;
    ScriptedUser* m_user = nullptr;
    QString m_path;  // the open project
    QString m_other; // another project, for Open and a drop

    QString write(const QString& name)
    {
        const QString path = m_dir->filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(kProject);
        return path;
    }

    // The main window with the project open and "2.5" typed into Number of
    // frequencies, which refuses it.
    std::unique_ptr<TMainForm> formWithRefusedFrequencyCount(TfrmSoilParams*& dialog)
    {
        auto form = MakeShownForm(m_user, {m_path});
        ChooseDataItem(*form, QStringLiteral("&Frequency Data"));
        dialog = ActiveChild<TfrmSoilParams>(*form);
        if (dialog)
            TypeInto(dialog->DataEdit1, "2.5");
        return form;
    }

    // The main window with the project open and its standard message boxes,
    // shown and active.
    std::unique_ptr<TMainForm> formWithRealBoxes()
    {
        auto form = std::make_unique<TMainForm>();
        BoundRunWaits(form->Document());
        form->SetArguments({m_path});
        form->SetAnalysisProgram(QStringLiteral(FAKE_KDCALC_PATH));
        form->show();
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get()))
            qWarning("the main window did not become active");
        return form;
    }

    // The fake analysis program writes its working folder into the folder
    // KELDOR_FAKE_LOG names (the test's folder) as soon as it starts.
    bool analysisStarted() const { return QFile::exists(m_dir->filePath("cwd.txt")); }

    // Runs one of the commands that commit the active child first. True
    // only for a save that reports it has written the file.
    bool runCommand(TMainForm& form, const QString& command)
    {
        if (command == "save")
            return form.FileSaveClick();
        if (command == "save as")
            return form.FileSaveAsClick();
        if (command == "new")
            form.FileNewClick();
        else if (command == "open")
            form.FileOpenClick();
        else if (command == "recent file")
            form.MyFilePopupHandler(0);
        else if (command == "drop")
            form.DropFiles({m_other});
        else if (command == "exit")
            form.FileExitClick();
        else
            form.CompRunClick();
        return false;
    }

private slots:
    void init()
    {
        UseFreshFolders(m_dir, m_settingsDir);
        m_path = write("refusals.kld");
        m_other = write("other.kld");
        qputenv("KELDOR_FAKE_LOG", QFile::encodeName(m_dir->path()));
    }

    void cleanup() { qunsetenv("KELDOR_FAKE_LOG"); }

    // Every command that commits the active dialog before it acts does
    // nothing after a refusal: one message for each try, the file as it
    // was, the same project, the dialog in front with the text as typed.
    void aRefusedDialogEntryStopsTheCommand_data()
    {
        QTest::addColumn<QString>("command");
        for (const char* c : {"save", "save as", "new", "open", "recent file", "drop", "exit", "run"})
            QTest::newRow(c) << QString::fromLatin1(c);
    }

    void aRefusedDialogEntryStopsTheCommand()
    {
        QFETCH(QString, command);
        TfrmSoilParams* dialog = nullptr;
        auto form = formWithRefusedFrequencyCount(dialog);
        QVERIFY(dialog);
        form->SetAnalysisProgram(QStringLiteral(FAKE_KDCALC_PATH));
        const QString saveAsPath = m_dir->filePath("renamed.kld");
        m_user->SavePaths = {saveAsPath};
        m_user->OpenPath = m_other;
        m_user->Answer = UserDialogs::Reply::Yes;

        if (command == "recent file") {
            form->UpdatePrevFile(m_other);
            QCOMPARE(form->RecentFiles().Entry(0), m_other);
        }

        // Tried again while the text stands, the command stops again with
        // the message again: the user who closed the box learns why.
        for (int attempt = 1; attempt <= 2; ++attempt) {
            QVERIFY(!runCommand(*form, command));
            QCoreApplication::processEvents();

            QCOMPARE(m_user->Messages, QStringList(QList<QString>(attempt, kIntegerMessage)));
            QCOMPARE(ReadFile(m_path), kProject);
            QVERIFY(!QFile::exists(saveAsPath));
            QVERIFY(!QFile::exists(m_dir->filePath("names.dat"))); // the analysis program never started
            QCOMPARE(form->ProgramData().FileName, m_path);
            QCOMPARE(form->ProgramData().FrequencyCount, 4);
            QVERIFY(form->isVisible());
            QCOMPARE(ActiveChild<TfrmSoilParams>(*form), dialog);
            QCOMPARE(dialog->DataEdit1->text(), "2.5");
            QVERIFY(form->IsModified());
        }
    }

    void aMenuCommandShowsTheMessageOnce_data()
    {
        QTest::addColumn<int>("menuKey");
        QTest::addColumn<int>("itemKey");
        QTest::newRow("File, Save") << int(Qt::Key_F) << int(Qt::Key_S);
        QTest::newRow("File, Exit") << int(Qt::Key_F) << int(Qt::Key_X);
        QTest::newRow("Computation, Run") << int(Qt::Key_C) << int(Qt::Key_R);
        QTest::newRow("Data, Pile Properties") << int(Qt::Key_D) << int(Qt::Key_P);
    }
    // A menu commits when it opens and its command commits again: one
    // message for the two, and one more for the same command chosen again.
    void aMenuCommandShowsTheMessageOnce()
    {
        QFETCH(int, menuKey);
        QFETCH(int, itemKey);
        TfrmSoilParams* dialog = nullptr;
        auto form = formWithRefusedFrequencyCount(dialog);
        QVERIFY(dialog);
        form->SetAnalysisProgram(QStringLiteral(FAKE_KDCALC_PATH));
        for (int attempt = 1; attempt <= 2; ++attempt) {
            QTest::keyClick(dialog->DataEdit1, Qt::Key(menuKey), Qt::AltModifier);
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            QCoreApplication::processEvents(); // the menu is up: a moment passes
            QTest::keyClick(menu, Qt::Key(itemKey));
            QCoreApplication::processEvents();
            QVERIFY(!QApplication::activePopupWidget());
            QCOMPARE(m_user->Messages, QStringList(QList<QString>(attempt, kIntegerMessage)));
            QCOMPARE(ReadFile(m_path), kProject);
            QVERIFY(!QFile::exists(m_dir->filePath("names.dat")));
            QVERIFY(form->isVisible());
            QCOMPARE(ActiveChild<TfrmSoilParams>(*form), dialog);
            QCOMPARE(dialog->DataEdit1->text(), "2.5");
            QCOMPARE(form->ProgramData().FrequencyCount, 4);
        }
    }

    // With the real message box, which runs an event loop of its own and
    // takes the focus while it is up: one box for each command, none from
    // the box itself.
    void theRealBoxIsShownOncePerCommand()
    {
        auto form = formWithRealBoxes();
        ChooseDataItem(*form, QStringLiteral("&Frequency Data"));
        auto* dialog = ActiveChild<TfrmSoilParams>(*form);
        QVERIFY(dialog);
        TypeInto(dialog->DataEdit1, "2.5");

        BoxCloser closer;
        QStringList& boxes = closer.Texts;

        QTest::keyClick(dialog->DataEdit1, Qt::Key_S, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QCOMPARE(boxes, QStringList{kIntegerMessage});
        form->activateWindow(); // the platform here does not give it back after a box
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(dialog->DataEdit1, Qt::Key_F, Qt::AltModifier);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QTest::keyClick(menu, Qt::Key_S);
        QCoreApplication::processEvents();
        QCOMPARE(boxes.size(), 2);
        form->close();
        QCoreApplication::processEvents();
        QCOMPARE(boxes.size(), 3);
        QVERIFY(form->isVisible());
        QCOMPARE(ReadFile(m_path), kProject);
        QCOMPARE(ActiveChild<TfrmSoilParams>(*form), dialog);
        QCOMPARE(dialog->DataEdit1->text(), "2.5");
        QCOMPARE(dialog->focusWidget(), dialog->DataEdit1);
        closer.Stop();
        TypeInto(dialog->DataEdit1, "5");
        QVERIFY(form->FileSaveClick());
        QCOMPARE(boxes.size(), 3);
    }

    // Corrected, the entry is stored and the same command goes ahead.
    void aCorrectedDialogEntryIsSaved()
    {
        TfrmSoilParams* dialog = nullptr;
        auto form = formWithRefusedFrequencyCount(dialog);
        QVERIFY(dialog);
        QVERIFY(!form->FileSaveClick());
        QCoreApplication::processEvents();
        TypeInto(dialog->DataEdit1, "5");
        QVERIFY(form->FileSaveClick());
        QVERIFY(ReadFile(m_path).endsWith("\r\n5 1 3\r\n"));
        QCOMPARE(form->ProgramData().FrequencyCount, 5);
        QVERIFY(!form->IsModified());
        QCOMPARE(m_user->Messages, QStringList{kIntegerMessage});
    }

    // A refused cell of a table window, like a refused dialog entry, is
    // reported by every command it stops, not only by the first.
    void aRefusedCellIsReportedByEveryCommand_data()
    {
        QTest::addColumn<QString>("command");
        for (const char* c : {"save", "new", "exit", "run"})
            QTest::newRow(c) << QString::fromLatin1(c);
    }

    void aRefusedCellIsReportedByEveryCommand()
    {
        QFETCH(QString, command);
        auto form = MakeShownForm(m_user, {m_path});
        form->SetAnalysisProgram(QStringLiteral(FAKE_KDCALC_PATH));
        m_user->Answer = UserDialogs::Reply::Yes;
        ChooseDataItem(*form, QStringLiteral("Soil &Layer Data"));
        TTableForm* soil = TTableForm::FromTable(form->Tables().D());
        QVERIFY(soil);
        QVERIFY(soil->SelectCell(2, soil->HeaderRows()));
        soil->SetEditText("2.5");

        for (int attempt = 1; attempt <= 2; ++attempt) {
            QVERIFY(!runCommand(*form, command));
            QCoreApplication::processEvents();

            QCOMPARE(m_user->Messages, QStringList(QList<QString>(attempt, kIntegerMessage)));
            QCOMPARE(ReadFile(m_path), kProject);
            QVERIFY(!QFile::exists(m_dir->filePath("names.dat")));
            QCOMPARE(form->ProgramData().FileName, m_path);
            QVERIFY(form->isVisible());
            QCOMPARE(TTableForm::FromTable(form->Tables().D()), soil);
            QCOMPARE(soil->EditText(), "2.5");
        }
    }

    // With the real message box, whose own event loop runs while it is up:
    // a refused soil cell and a menu command (which commits when its menu
    // opens and again for the command) show one box, and the same command
    // again one more. The refused text never reaches the table or the file.
    void aRefusedCellShowsOneRealBoxPerMenuCommand_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("menuKey");
        QTest::addColumn<int>("itemKey");
        const struct {
            const char* what;
            int col;
            const char* typed;
            const char* message;
        } entries[] = {
            {"thickness abc", 1, "abc", "Entry could not be evaluated:\ninvalid character(s) in expression"},
            {"sublayers 2.5", 2, "2.5", "Entry must be an integer."},
            {"sublayers 50", 2, "50", "Entry must be between 1 and 40."},
        };
        const struct {
            const char* what;
            Qt::Key menu;
            Qt::Key item;
        } commands[] = {
            {"File, Save", Qt::Key_F, Qt::Key_S},
            {"Computation, Run", Qt::Key_C, Qt::Key_R},
            {"File, Exit", Qt::Key_F, Qt::Key_X},
        };
        for (const auto& e : entries)
            for (const auto& c : commands)
                QTest::addRow("%s, %s", e.what, c.what) << e.col << QString::fromLatin1(e.typed)
                                                         << QString::fromLatin1(e.message) << int(c.menu) << int(c.item);
    }

    void aRefusedCellShowsOneRealBoxPerMenuCommand()
    {
        QFETCH(int, col);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(int, menuKey);
        QFETCH(int, itemKey);
        auto form = formWithRealBoxes();
        ChooseDataItem(*form, QStringLiteral("Soil &Layer Data"));
        TTableForm* soil = TTableForm::FromTable(form->Tables().D());
        QVERIFY(soil);
        QVERIFY(soil->SelectCell(col, soil->HeaderRows()));
        soil->SetEditText(typed);
        TData* cell = form->Tables().D().Cells(col - 1, 0);
        const Extended before = col == 1 ? cell->GetFloat() : Extended(cell->GetInt());
        // A title that only a Save would write: the project as read saves
        // to the same bytes, so a file unchanged would not tell a Save.
        form->ProgramData().Title = QStringLiteral("Held back by the refusal");

        BoxCloser closer;
        for (int attempt = 1; attempt <= 2; ++attempt) {
            form->activateWindow(); // the platform here does not give it back after a box
            QVERIFY(QTest::qWaitForWindowActive(form.get()));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(menuKey), Qt::AltModifier);
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            QTest::keyClick(menu, Qt::Key(itemKey));
            QCoreApplication::processEvents();
            QVERIFY(!QApplication::activePopupWidget());

            QCOMPARE(closer.Texts, QStringList(QList<QString>(attempt, message)));
            QVERIFY(form->isVisible());
            QCOMPARE(TTableForm::FromTable(form->Tables().D()), soil);
            QCOMPARE(soil->EditText(), typed);
            QCOMPARE(col == 1 ? cell->GetFloat() : Extended(cell->GetInt()), before);
            QCOMPARE(ReadFile(m_path), kProject); // not saved
            QVERIFY2(!analysisStarted(), "the analysis program was started");
        }
        closer.Stop();
    }

    // "2.5" in the integer sublayer column of the soil table: Run, chosen
    // from its menu (which commits first), neither saves nor starts the
    // analysis program and shows one message; corrected, Save writes it.
    void aRefusedCellStopsTheRunUntilCorrected()
    {
        auto form = MakeShownForm(m_user, {m_path});
        form->SetAnalysisProgram(QStringLiteral(FAKE_KDCALC_PATH));
        ChooseDataItem(*form, QStringLiteral("Soil &Layer Data"));
        TTableForm* soil = TTableForm::FromTable(form->Tables().D());
        QVERIFY(soil);
        QVERIFY(soil->SelectCell(2, soil->HeaderRows()));
        soil->SetEditText("2.5");

        emit form->ComputationMenu()->aboutToShow();
        form->RunAction()->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(m_user->Messages, QStringList{kIntegerMessage});
        QVERIFY(!QFile::exists(m_dir->filePath("names.dat")));
        QVERIFY(!QFile::exists(m_dir->filePath("cwd.txt")));
        QCOMPARE(ReadFile(m_path), kProject);
        QCOMPARE(soil->Col(), 2);
        QCOMPARE(soil->EditText(), "2.5");
        QVERIFY(!form->PlotDataLoaded());

        soil->SetEditText("8");
        QVERIFY(form->FileSaveClick());
        const QList<QByteArray> lines = ReadFile(m_path).split('\n');
        QCOMPARE(lines.value(3).trimmed(), QByteArray("8 6 150 0.4 1.8 0.05"));
        QCOMPARE(m_user->Messages.size(), 1);

        // The same text typed again later is a new refusal, with its message.
        soil->SetEditText("2.5");
        QVERIFY(!form->FileSaveClick());
        QCOMPARE(m_user->Messages, QStringList({kIntegerMessage, kIntegerMessage}));
        QCOMPARE(ReadFile(m_path).split('\n').value(3).trimmed(), QByteArray("8 6 150 0.4 1.8 0.05"));
    }
};

QTEST_MAIN(RefusedEntryTest)
#include "RefusedEntryTest.moc"
