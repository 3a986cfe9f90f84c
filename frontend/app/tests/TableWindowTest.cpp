// The main window's table windows, headless: Data menu to project file.

#include "AppTestSupport.h"
#include "Main.h"
#include "TableForm.h"

#include "Table.h"

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

class RecordingDialogs : public UserDialogs {
public:
    Reply AskSaveChanges(QWidget*) override
    {
        ++questions;
        return Reply::No;
    }
    void Inform(QWidget*, const QString& message) override { messages << message; }
    QString ChooseOpenFile(QWidget*, int&) override { return QString(); }
    QString ChooseSaveFile(QWidget*, const QString&, const QString&) override { return savePath; }

    int questions = 0;
    QStringList messages;
    QString savePath;
};

QAction* dataAction(TMainForm& form, const QString& text)
{
    for (QAction* a : form.DataMenu()->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

QByteArray fileText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A Data menu command as the user gives it: the menu opens (which commits
// the active window), then the command runs.
void choose(TMainForm& form, QAction* action)
{
    emit form.DataMenu()->aboutToShow();
    QVERIFY(action);
    action->trigger();
    QCoreApplication::processEvents();
}

// SI, two layers and twelve piles: more rows than a pile window shows.
QByteArray twelvePiles()
{
    QByteArray text = "Twelve piles\r\n2 \r\n2\r\n4 6 150 0.4 1.8 0.05\r\n5 10 250 0.35 1.9 0.03\r\n"
                      "30000000 0.0063617251 0.28274334 0.25 0.3 2.5 0.01\r\n12\r\n12\r\n";
    for (int i = 0; i < 12; ++i)
        text += QByteArray::number(1.5 * (i % 4)) + " " + QByteArray::number(1.5 * (i / 4)) + " \r\n";
    return text + "200 500 200000 0.05\r\n11 0 2\r\n";
}

// The table window in front, and the editor of its current cell.
TTableForm* frontTable(TMainForm& form)
{
    return TTableForm::FromSubWindow(form.MdiArea()->currentSubWindow());
}

QWidget* cellEditor(TTableForm& table)
{
    return table.Grid()->indexWidget(table.Grid()->model()->index(table.Row() - table.HeaderRows(), table.Col() - 1));
}

} // namespace

class TableWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir->path());
    }

    void typedValuesReachTheProjectFile()
    {
        TMainForm form;
        auto dialogs = std::make_unique<RecordingDialogs>();
        RecordingDialogs* d = dialogs.get();
        d->savePath = m_dir->filePath("typed.kld");
        form.SetDialogs(std::move(dialogs));
        form.show();

        dataAction(form, "Soil &Layer Data")->trigger();
        TTableForm* soil = TTableForm::FromTable(form.Tables().D());
        QVERIFY(soil);
        QCOMPARE(TTableForm::FromSubWindow(form.MdiArea()->activeSubWindow()), soil);
        QCOMPARE(soil->Frame()->windowTitle(), QString("Soil Properties "));
        soil->SetEditText("12.5");
        QVERIFY(soil->SelectCell(2, soil->HeaderRows()));
        soil->SetEditText("2.5"); // sublayers: refused, shown once
        QVERIFY(!soil->SelectCell(3, soil->HeaderRows()));
        QCOMPARE(d->messages, QStringList({"Entry must be an integer."}));
        soil->SetEditText("8");
        QVERIFY(soil->SelectCell(3, soil->HeaderRows()));

        dataAction(form, "Pile Group Arrangement")->trigger();
        TTableForm* piles = TTableForm::FromTable(form.Tables().PileCoord());
        QVERIFY(piles);
        QCOMPARE(TTableForm::FromSubWindow(form.MdiArea()->activeSubWindow()), piles);
        piles->BtnAdd()->click();
        QVERIFY(piles->SelectCell(1, piles->HeaderRows() + 1));
        piles->SetEditText("-3.25");
        QVERIFY(form.IsModified());

        // Save commits the active window through its StoreEdits slot.
        QVERIFY(form.FileSaveClick());
        QFile file(d->savePath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.value(3).trimmed(), QByteArray("8 12.5 0 0 0 0"));
        QCOMPARE(lines.value(6).trimmed(), QByteArray("2"));
        QCOMPARE(lines.value(8).trimmed(), QByteArray("-3.25 0"));
        QCOMPARE(d->messages.size(), 1);

        // A change of units reopens the open windows in the new units.
        form.UnitsClick(2);
        soil = TTableForm::FromTable(form.Tables().D());
        QVERIFY(soil);
        QCOMPARE(soil->Cells(1, 1), QString("thickness (m)  "));
        QCOMPARE(soil->Cells(1, soil->HeaderRows()), QString("0.3175"));
    }

    // What the user does with the table windows of a project just opened,
    // then the command that discards it: it asks exactly when the project
    // holds something the file does not.
    void onlyAnEditMarksTheProject_data()
    {
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("modified");
        const auto row = [](const char* name, const char* actions, const char* command, bool modified) {
            QTest::newRow(name) << QString::fromLatin1(actions).split(u' ') << QString::fromLatin1(command)
                                << modified;
        };
        row("soil layers opened", "soil", "new", false);
        row("pile group opened", "piles", "new", false);
        row("cells walked with the keys", "soil walk", "new", false);
        row("scrolled", "piles scroll", "new", false);
        row("an edge dragged", "piles drag", "new", false);
        row("maximised and restored", "piles maximise", "new", false);
        row("the other window activated and back", "soil piles soil", "exit", false);
        row("closed", "soil close", "new", false);
        row("the shown text typed again", "soil retype", "new", false);
        row("a new value", "piles edit", "new", true);
        row("a new value, window closed", "piles edit close", "exit", true);
        // Every value converted: the project is no longer the file's.
        row("units changed", "soil units", "new", true);
        row("saved, closed with the window active", "piles edit save", "exit", false);
        row("saved, cells walked", "soil edit save walk", "new", false);
    }
    void onlyAnEditMarksTheProject()
    {
        QFETCH(QStringList, actions);
        QFETCH(QString, command);
        QFETCH(bool, modified);
        const QString path = m_dir->filePath("twelve.kld");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(twelvePiles());
        file.close();
        TMainForm form;
        auto dialogs = std::make_unique<RecordingDialogs>();
        RecordingDialogs* d = dialogs.get();
        form.SetDialogs(std::move(dialogs));
        form.show();
        form.activateWindow(); // the shortcuts go to the active window
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.OpenFileName(path, true);
        QVERIFY(!form.IsModified());

        for (const QString& action : actions) {
            if (action == "soil" || action == "piles") {
                choose(form, dataAction(form, action == "soil" ? "Soil &Layer Data" : "Pile Group Arrangement"));
                continue;
            }
            TTableForm* table = frontTable(form);
            QVERIFY2(table, qPrintable(action));
            QWidget* frame = table->Frame();
            if (action == "walk") {
                for (Qt::Key key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Return, Qt::Key_Up, Qt::Key_PageDown})
                    QTest::keyClick(cellEditor(*table), key);
                QVERIFY(table->Col() > 1);
            } else if (action == "scroll") {
                QScrollBar* bar = table->Grid()->verticalScrollBar();
                QVERIFY(bar->maximum() > 0);
                bar->setValue(bar->maximum());
                QCOMPARE(table->TopRowIndex(), bar->maximum());
            } else if (action == "drag") {
                // The bottom edge dragged up by three rows.
                QRect r = frame->geometry();
                r.setHeight(r.height() - 3 * table->Grid()->verticalHeader()->defaultSectionSize());
                table->WMSizing(SizingEdge::Bottom, r);
                frame->setGeometry(r);
                table->ArrangeControls();
                QVERIFY(table->VisibleRows() < 10);
            } else if (action == "maximise") {
                frame->showMaximized();
                QTRY_VERIFY(frame->isMaximized());
                QCoreApplication::processEvents();
                frame->showNormal();
                QTRY_VERIFY(!frame->isMaximized());
            } else if (action == "close") {
                QVERIFY(frame->close());
            } else if (action == "retype" || action == "edit") {
                table->SetEditText(action == "edit" ? "7" : table->Cells(table->Col(), table->Row()));
                QTest::keyClick(cellEditor(*table), Qt::Key_Down);
            } else if (action == "units") {
                choose(form, form.UnitsAction(1));
                QCOMPARE(form.ProgramData().Units, 1);
            } else if (action == "save") {
                QTest::keyClick(cellEditor(*table), Qt::Key_S, Qt::ControlModifier);
                QVERIFY(!form.IsModified());
            } else {
                QFAIL(qPrintable("unknown action " + action));
            }
        }
        QCOMPARE(form.IsModified(), modified);

        // File New from its menu, or the main window closed (Alt+F4, File Exit).
        if (command == "new") {
            emit form.FileMenu()->aboutToShow();
            form.FileNewClick();
            QCOMPARE(form.ProgramData().Title, QString("New Pile"));
        } else {
            QVERIFY(form.close());
        }
        QCOMPARE(d->questions, modified ? 1 : 0);
        QVERIFY2(d->messages.isEmpty(), qPrintable(d->messages.join(" | ")));
    }

    // English and back to SI with both table windows open: every value of
    // the saved file is the example's, to the last bit.
    void aUnitsRoundTripKeepsEveryValue()
    {
        const QString path = m_dir->filePath("group.kld");
        QVERIFY(QFile::copy(QStringLiteral(EXAMPLE_PROJECT), path));
        TMainForm form;
        auto dialogs = std::make_unique<RecordingDialogs>();
        RecordingDialogs* d = dialogs.get();
        form.SetDialogs(std::move(dialogs));
        form.show();
        form.OpenFileName(path, true);
        QCOMPARE(form.ProgramData().Units, 2);

        choose(form, dataAction(form, "Pile Group Arrangement"));
        choose(form, dataAction(form, "Soil &Layer Data"));
        QVERIFY(TTableForm::FromTable(form.Tables().PileCoord()));
        TTableForm* soil = TTableForm::FromTable(form.Tables().D());
        QVERIFY(soil);
        choose(form, form.UnitsAction(1));
        soil = TTableForm::FromTable(form.Tables().D());
        QVERIFY(soil);
        QCOMPARE(soil->Cells(1, soil->HeaderRows()), QString("236.22047"));
        // The other window active and back: each deactivation commits.
        choose(form, dataAction(form, "Pile Group Arrangement"));
        choose(form, dataAction(form, "Soil &Layer Data"));
        choose(form, form.UnitsAction(2));
        QVERIFY(form.FileSaveClick());
        QVERIFY2(d->messages.isEmpty(), qPrintable(d->messages.join(" | ")));

        const ProjectRecords saved = ReadProjectRecords(fileText(path));
        const ProjectRecords example = ReadProjectRecords(fileText(QStringLiteral(EXAMPLE_PROJECT)));
        QCOMPARE(saved.Lines.size(), example.Lines.size());
        for (std::size_t i = 0; i < example.Lines.size(); ++i) {
            QCOMPARE(saved.Lines[i].size(), example.Lines[i].size());
            for (std::size_t k = 0; k < example.Lines[i].size(); ++k)
                QVERIFY2(saved.Lines[i][k] == example.Lines[i][k],
                         qPrintable(QString("record %1 value %2: %3 instead of %4")
                                        .arg(i + 2)
                                        .arg(k + 1)
                                        .arg(double(saved.Lines[i][k]), 0, 'g', 17)
                                        .arg(double(example.Lines[i][k]), 0, 'g', 17)));
        }
    }
};

QTEST_MAIN(TableWindowTest)
#include "TableWindowTest.moc"
