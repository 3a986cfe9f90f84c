// The plot windows inside the real main window: where the legend of each
// window goes, what Cascade leaves of them, and which workspace a plot opens
// its window in when two main windows exist.

#include "Main.h"
#include "PlotWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// One curve rising from (0, 12) to (20, 47), so that the plot has a Y range.
void fill(TGraphPlot& plot)
{
    plot.BeginUpdate();
    plot.SetLineCount(1);
    plot.SetPointCount(3);
    plot.Point(0, 0) = {0, 12};
    plot.Point(0, 1) = {10, 30};
    plot.Point(0, 2) = {20, 47};
    plot.EndUpdate();
}

// Keeps the main window's messages.
class KeptMessages : public UserDialogs {
public:
    explicit KeptMessages(QStringList& messages) : m_messages(messages) {}
    Reply AskSaveChanges(QWidget*) override { return Reply::Cancel; }
    void Inform(QWidget*, const QString& message) override { m_messages << message; }
    QString ChooseOpenFile(QWidget*, int&) override { return QString(); }
    QString ChooseSaveFile(QWidget*, const QString&, const QString&) override { return QString(); }

private:
    QStringList& m_messages;
};

TPlotForm* formOf(TGraphPlot& plot, QMdiArea* area)
{
    for (QMdiSubWindow* w : area->subWindowList())
        if (TPlotForm* f = TPlotForm::FromSubWindow(w); f && f->Plot() == &plot)
            return f;
    return nullptr;
}

} // namespace

class PlotWindowsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_settingsDir;

    std::unique_ptr<TMainForm> makeForm()
    {
        auto form = std::make_unique<TMainForm>();
        form->resize(1000, 750);
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            return nullptr;
        for (TGraphPlot* p : form->Plots().All())
            fill(*p);
        return form;
    }

    // The legend list's right and bottom edges lie on the plot area's.
    static void verifyLegendAtLowerRight(TPlotForm* form)
    {
        QVERIFY(form != nullptr);
        const QListWidget* legend = form->Legend();
        QVERIFY(legend->isVisible());
        const Edges r = form->PlotRect();
        QCOMPARE(legend->x() + legend->width(), r.Right);
        QCOMPARE(legend->y() + legend->height(), r.Bottom);
        QVERIFY(legend->x() > r.Left && legend->y() > r.Top);
    }

private slots:
    void init()
    {
        m_settingsDir = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settingsDir->path());
    }

    void everyWindowPutsItsLegendAtThePlotAreasLowerRight()
    {
        auto main = makeForm();
        QVERIFY(main);
        QMdiArea* area = main->MdiArea();
        QVERIFY(area->subWindowList().isEmpty());
        ResultPlots& plots = main->Plots();
        for (TGraphPlot* plot : {&plots.pltSkin, &plots.pltTip}) {
            plot->Show();
            TPlotForm* form = formOf(*plot, area);
            QVERIFY(form != nullptr);
            QVERIFY(QTest::qWaitForWindowExposed(form));
            QApplication::processEvents();
            verifyLegendAtLowerRight(form);
            if (QTest::currentTestFailed())
                return;
        }
    }

    void cascadeKeepsEveryPlotWindowUsable()
    {
        auto main = makeForm();
        QVERIFY(main);
        QMdiArea* area = main->MdiArea();
        ResultPlots& plots = main->Plots();
        for (TGraphPlot* plot : {&plots.pltSkin, &plots.pltTip, &plots.pltTotal})
            plot->Show();
        QCOMPARE(area->subWindowList().size(), 3);
        area->cascadeSubWindows();
        QApplication::processEvents();
        for (QMdiSubWindow* sub : area->subWindowList()) {
            TPlotForm* form = TPlotForm::FromSubWindow(sub);
            QVERIFY(form != nullptr);
            const QSize minimum = form->minimumSize();
            QVERIFY2(minimum.width() >= 2 * form->logicalDpiX() && minimum.height() >= 2 * form->logicalDpiY(),
                     "a plot window is at least two inches each way");
            QVERIFY(form->width() >= minimum.width());
            QVERIFY(form->height() >= minimum.height());
            QVERIFY(!sub->isMaximized());
            // Restoring from a maximised state keeps it usable, too.
            sub->showMaximized();
            sub->showNormal();
            QVERIFY(form->width() >= minimum.width());
            QVERIFY(form->height() >= minimum.height());
        }
    }

    void aDamagedPlotDataFileIsNamedWithItsRecord()
    {
        auto main = makeForm();
        QVERIFY(main);
        QStringList messages;
        main->SetDialogs(std::make_unique<KeptMessages>(messages));
        QTemporaryDir dir;
        const QString path = dir.filePath("damaged.klp");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("1 2\n 0.150E+01 0.100E+01 0.200E+03 0.100E+01 \n");
        file.close();
        QVERIFY(!main->LoadPlotData(path, true));
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].startsWith("An error occured in running the main program.\r"), qPrintable(messages[0]));
        QVERIFY2(messages[0].contains(QDir::toNativeSeparators(path) + " ends after record 2"), qPrintable(messages[0]));
        // Without the message flag nothing is shown.
        QVERIFY(!main->LoadPlotData(path, false));
        QCOMPARE(messages.size(), 1);
    }

    void eachMainWindowOpensItsOwnPlots()
    {
        auto first = makeForm();
        auto second = makeForm();
        QVERIFY(first && second);
        first->Plots().pltSkin.Show();
        second->Plots().pltSkin.Show();
        QVERIFY(formOf(first->Plots().pltSkin, first->MdiArea()) != nullptr);
        QVERIFY(formOf(second->Plots().pltSkin, second->MdiArea()) != nullptr);
        QCOMPARE(first->MdiArea()->subWindowList().size(), 1);
        QCOMPARE(second->MdiArea()->subWindowList().size(), 1);
        // The first main window goes; the second one's plots still open there.
        first.reset();
        second->Plots().pltTip.Show();
        QCOMPARE(second->MdiArea()->subWindowList().size(), 2);
    }
};

QTEST_MAIN(PlotWindowsTest)
#include "PlotWindowsTest.moc"
