// The main window's table windows, headless: Data menu to project file.

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
};

QTEST_MAIN(TableWindowTest)
#include "TableWindowTest.moc"
