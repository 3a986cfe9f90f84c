// The main window's table windows, headless: Data menu to project file.

#include "AppTestSupport.h"
#include "Main.h"
#include "TableForm.h"

#include "Table.h"

#include <QAction>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

class RecordingDialogs : public UserDialogs {
public:
    Reply AskSaveChanges(QWidget*) override { return Reply::No; }
    void Inform(QWidget*, const QString& message) override { messages << message; }
    QString ChooseOpenFile(QWidget*, int&) override { return QString(); }
    QString ChooseSaveFile(QWidget*, const QString&, const QString&) override { return savePath; }

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
