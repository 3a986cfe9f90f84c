// A project made in the window from File New: every value of the example
// project typed into the data dialogs and both table windows, saved,
// compared with the example value by value, run with the real kdcalc, and
// the fourteen plots filled.

#include "AppTestSupport.h"
#include "DialogTestSupport.h"

#include "DataUnit.h"
#include "PltData.h"
#include "SoilParams.h"
#include "Table.h"
#include "TableForm.h"
#include "Title.h"
#include "cPileProperties.h"
#include "ncPileProperties.h"

#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include <cmath>

namespace {

// Types the rows of a table into its window: the first row exists, the
// others are added with the Add button. values[row][col] are the table's
// columns in order.
void typeTable(TTableForm& form, const std::vector<std::vector<QString>>& values)
{
    for (std::size_t row = 0; row < values.size(); ++row) {
        if (row > 0)
            QTest::mouseClick(form.BtnAdd(), Qt::LeftButton);
        for (std::size_t col = 0; col < values[row].size(); ++col) {
            QVERIFY(form.SelectCell(int(col) + 1, form.HeaderRows() + int(row)));
            form.SetEditText(values[row][col]);
        }
    }
    QVERIFY(form.CommitCell());
}

} // namespace

class ProjectInWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedUser* m_user = nullptr;

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir->path());
        QDir::setCurrent(m_dir->path());
    }

    void theExampleProjectIsMadeInTheWindow()
    {
        const QString example = QStringLiteral(EXAMPLE_PROJECT);
        auto form = MakeShownForm(m_user);
        form->FileNewClick();

        ChooseDataItem(*form, "&Title");
        auto* title = ActiveChild<TdlgTitle>(*form);
        QVERIFY(title);
        title->TitleMemo->setFocus();
        title->TitleMemo->selectAll();
        QTest::keyClicks(title->TitleMemo, "Example: 2 x 2 group of bored piles in two soil layers");

        // SI units, before any value goes in.
        emit form->DataMenu()->aboutToShow();
        form->UnitsAction(2)->trigger();
        QCOMPARE(form->ProgramData().Units, 2);

        ChooseDataItem(*form, "Soil &Layer Data");
        TTableForm* soil = TTableForm::FromTable(form->Tables().D());
        QVERIFY(soil);
        // Thickness, sublayers, shear wave velocity, Poisson's ratio, density, damping.
        typeTable(*soil, {{"6", "4", "150", "0.4", "1.8", "0.05"}, {"10", "5", "250", "0.35", "1.9", "0.03"}});

        ChooseDataItem(*form, "&Pile Properties");
        auto* pile = ActiveChild<TfrmCPileProperties>(*form);
        QVERIFY(pile);
        TypeInto(pile->DataEdit1, "0.3");
        TypeInto(pile->DataEdit2, "0.28274334");   // area: pi r^2
        TypeInto(pile->DataEdit3, "0.0063617251"); // inertia: pi r^4 / 4
        TypeInto(pile->DataEdit4, "2.5");
        TypeInto(pile->DataEdit5, "0.25");
        TypeInto(pile->DataEdit6, "0.01");
        TypeInto(pile->DataEdit7, "3e7");
        TypeInto(pile->DataEdit8, "3*4");

        ChooseDataItem(*form, "Pile Group Arrangement");
        TTableForm* piles = TTableForm::FromTable(form->Tables().PileCoord());
        QVERIFY(piles);
        typeTable(*piles, {{"-0.9", "-0.9"}, {"0.9", "-0.9"}, {"-0.9", "0.9"}, {"0.9", "0.9"}});

        ChooseDataItem(*form, "Superstructure Properties");
        auto* structure = ActiveChild<TfrmNCPileProperties>(*form);
        QVERIFY(structure);
        TypeInto(structure->DataEdit1, "200");
        TypeInto(structure->DataEdit2, "500");
        TypeInto(structure->DataEdit3, "2e5");
        TypeInto(structure->DataEdit4, "0.05");

        ChooseDataItem(*form, "&Frequency Data");
        auto* frequencies = ActiveChild<TfrmSoilParams>(*form);
        QVERIFY(frequencies);
        TypeInto(frequencies->DataEdit1, "11");
        TypeInto(frequencies->DataEdit2, "0");
        TypeInto(frequencies->DataEdit3, "2");

        // Save As from the File menu (which commits the frequency window first).
        const QString saved = m_dir->filePath("made.kld");
        m_user->SavePaths.push_back(saved);
        emit form->FileMenu()->aboutToShow();
        QVERIFY(form->FileSaveAsClick());
        QVERIFY2(m_user->Messages.isEmpty(), qPrintable(m_user->Messages.join(" | ")));
        QVERIFY(!form->IsModified());

        const ProjectRecords made = ReadProjectRecords(ReadFile(saved));
        const ProjectRecords wanted = ReadProjectRecords(ReadFile(example));
        QCOMPARE(made.Title, wanted.Title);
        QCOMPARE(made.Lines.size(), wanted.Lines.size());
        for (std::size_t i = 0; i < wanted.Lines.size(); ++i) {
            QCOMPARE(made.Lines[i].size(), wanted.Lines[i].size());
            for (std::size_t k = 0; k < wanted.Lines[i].size(); ++k) {
                const long double a = made.Lines[i][k];
                const long double b = wanted.Lines[i][k];
                // The saved text carries the typed value to 18 digits.
                QVERIFY2(std::fabs(double(a - b)) <= 1e-15 * std::fabs(double(b)),
                         qPrintable(QString("record %1 value %2: %3 instead of %4")
                                        .arg(i + 2)
                                        .arg(k + 1)
                                        .arg(double(a), 0, 'g', 17)
                                        .arg(double(b), 0, 'g', 17)));
            }
        }

        // The real analysis program; every plot holds the eleven frequencies.
        form->CompRunClick();
        QVERIFY2(m_user->Messages.isEmpty(), qPrintable(m_user->Messages.join(" | ")));
        QVERIFY(form->PlotDataLoaded());
        const std::vector<TGraphPlot*> plots = form->Plots().All();
        QCOMPARE(plots.size(), std::size_t(14));
        for (TGraphPlot* plot : plots) {
            QCOMPARE(plot->LineCount(), 1);
            QCOMPARE(plot->PointCount(), 11);
            QCOMPARE(plot->Units(), 2);
            bool someNonZero = false;
            for (int j = 0; j < 11; ++j) {
                QCOMPARE(plot->Point(0, j).X, Extended(2 * j));
                QVERIFY(std::isfinite(plot->Point(0, j).Y));
                someNonZero = someNonZero || plot->Point(0, j).Y != 0;
            }
            QVERIFY2(someNonZero, qPrintable(plot->YAxisCaption()));
        }
    }
};

QTEST_MAIN(ProjectInWindowTest)
#include "ProjectInWindowTest.moc"
