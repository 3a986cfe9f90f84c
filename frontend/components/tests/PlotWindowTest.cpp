#include "Caption.h"
#include "ChangeActiveLines.h"
#include "ChangeLineNames.h"
#include "PlotPainter.h"
#include "PlotWindow.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

// Y from 12 to 47 over X from 0 to 100: bounds 0..100 x 0..50.
void fill(TGraphPlot& plot, int lines = 1)
{
    plot.BeginUpdate();
    plot.SetLineCount(lines);
    plot.SetPointCount(2);
    for (int i = 0; i < lines; ++i) {
        plot.Point(i, 0) = {0, 12};
        plot.Point(i, 1) = {100, 47};
    }
    plot.EndUpdate();
}

// Runs `action` on the modal dialog of type D that the next call opens.
template <class D>
void onNextDialog(std::function<void(D*)> action)
{
    QTimer::singleShot(0, [action] {
        D* dialog = nullptr;
        QTRY_VERIFY((dialog = qobject_cast<D*>(QApplication::activeModalWidget())) != nullptr);
        action(dialog);
    });
}

} // namespace

class PlotWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The file dialogs keep their last folder in Qt's own settings file:
        // this test's, not the user's nor another test's running beside it.
        m_qtSettings = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_qtSettings->path());
    }

    void init()
    {
        m_plot = std::make_unique<TGraphPlot>();
        m_plot->Caption = "Group";
        m_plot->XOnTop = false;
        m_messages.clear();
    }
    void cleanup()
    {
        m_plot.reset(); // takes an open window with it
    }

    void zeroYRangeMakesNoWindow()
    {
        m_plot->SetFormFactory([](TGraphPlot& p) { return TPlotForm::Create(p, nullptr); });
        m_plot->SetLineCount(1);
        m_plot->SetPointCount(3); // every point at (0, 0)
        m_plot->Show();
        QVERIFY(!m_plot->FormCreated());
        QVERIFY(findForm() == nullptr);
    }

    void zeroXRangeOpensAWindowThatDraws()
    {
        m_plot->SetLineCount(1);
        m_plot->SetPointCount(3);
        m_plot->Point(0, 1) = {0, 5};
        m_plot->Point(0, 2) = {0, -2};
        TPlotForm* form = open();
        QVERIFY(form != nullptr);
        QCOMPARE(form->FullBounds(), (PlotBounds{0, 1, -2, 5}));
        QVERIFY(!form->grab().isNull());
    }

    void dragZoomsToTheRectangle()
    {
        TPlotForm* form = open();
        const Edges r = form->PlotRect();
        QCOMPARE(form->FullBounds(), (PlotBounds{0, 100, 0, 50}));
        // From a quarter to three quarters across, and the lower half.
        const QPoint start(r.Left + r.Width() / 4, r.Top + r.Height() / 2);
        const QPoint end(r.Left + 3 * r.Width() / 4, r.Bottom);
        const auto expected = ZoomIn(form->ViewBounds(), form->FullBounds(), r, false, start, end);
        QVERIFY(expected.has_value());
        QTest::mousePress(form, Qt::LeftButton, Qt::NoModifier, start);
        QTest::mouseMove(form, (start + end) / 2);
        QTest::mouseMove(form, end);
        QTest::mouseRelease(form, Qt::LeftButton, Qt::NoModifier, end);
        QCOMPARE(form->ViewBounds(), *expected);
        QVERIFY(form->ViewBounds().MaxX - form->ViewBounds().MinX < 60);
        QVERIFY(form->ViewBounds().MinY == 0);
        // The caption reads out the point under the mouse.
        QVERIFY(form->windowTitle().startsWith("Group X: "));
        // A right click far left shows the full X range again.
        QTest::mouseClick(form, Qt::RightButton, Qt::NoModifier, QPoint(r.Left + 1, r.Top + 1));
        QCOMPARE(form->ViewBounds().MinX, 0.0L);
        QCOMPARE(form->ViewBounds().MaxX, 100.0L);
    }

    void zoomAndBackShowsTheFullRangeWithItsEndLabel()
    {
        // 0..20 Hz; a drag over 49 % of the plot's width and a right click
        // ended at 19.6 Hz, without the tick and label of 20.
        m_plot->BeginUpdate();
        m_plot->SetLineCount(1);
        m_plot->SetPointCount(100);
        for (int j = 0; j < 100; ++j)
            m_plot->Point(0, j) = {0.2L * (j + 1), 1.1e6L + 1e4L * j};
        m_plot->EndUpdate();
        TPlotForm* form = open();
        setMessages(form);
        const Edges r = form->PlotRect();
        const QPoint start(r.Left, r.Top + 10);
        const QPoint end(r.Left + r.Width() * 49 / 100, r.Bottom);
        QTest::mousePress(form, Qt::LeftButton, Qt::NoModifier, start);
        QTest::mouseMove(form, end);
        QTest::mouseRelease(form, Qt::LeftButton, Qt::NoModifier, end);
        QVERIFY(form->ViewBounds().MaxX < 10);
        QTest::mouseClick(form, Qt::RightButton, Qt::NoModifier, QPoint(r.Left + 5, r.Bottom - 5));
        QCOMPARE(form->ViewBounds(), form->FullBounds());
        QCOMPARE(form->FullBounds().MaxX, 20.0L);

        // The window's picture ends with the label of 20.
        const PlotContent content = ContentOf(*m_plot, form->LegendEntries());
        ::PlotPage page;
        page.PageRect = {0, 0, form->width(), form->height()};
        page.PlotRect = r;
        page.PixelsPerInchX = form->logicalDpiX();
        page.PixelsPerInchY = form->logicalDpiY();
        QImage window(form->size(), QImage::Format_RGB32);
        std::vector<DrawnText> texts;
        {
            QPainter p(&window);
            DrawPlot(p, page, form->ViewBounds(), content, &texts);
        }
        QString lastXLabel;
        for (const DrawnText& t : texts)
            if (t.What == DrawnText::Kind::XLabel)
                lastXLabel = t.Text;
        QCOMPARE(lastXLabel, QString("20"));

        // The saved bitmap is the picture of the full range.
        QTemporaryDir dir;
        QImage bitmap(432, 288, QImage::Format_RGB32);
        QVERIFY(form->SaveBitmap(dir.filePath("plot.bmp"), bitmap, 72));
        const PlotLayout l = BitmapLayout(432, 288, page.PixelsPerInchX, page.PixelsPerInchY, false);
        page.PageRect = l.PageRect;
        page.PlotRect = l.PlotRect;
        page.HorizontalYLabels = true;
        page.WithLegendBox = true;
        QImage full(432, 288, QImage::Format_RGB32);
        {
            QPainter p(&full);
            DrawPlot(p, page, form->FullBounds(), content);
        }
        QCOMPARE(QImage(dir.filePath("plot.bmp")).convertToFormat(QImage::Format_RGB32), full);
        QVERIFY(m_messages.isEmpty());
    }

    void dragWithoutWidthDoesNotZoom()
    {
        TPlotForm* form = open();
        const Edges r = form->PlotRect();
        const QPoint start(r.Left + 50, r.Top + 50);
        QTest::mousePress(form, Qt::LeftButton, Qt::NoModifier, start);
        QTest::mouseRelease(form, Qt::LeftButton, Qt::NoModifier, start + QPoint(0, 80));
        QCOMPARE(form->ViewBounds(), form->FullBounds());
    }

    void newDataReachesAnOpenWindow()
    {
        TPlotForm* form = open();
        QCOMPARE(form->LegendEntries(), QStringList{"Curve #1"});
        m_plot->BeginUpdate();
        m_plot->SetLineCount(2);
        m_plot->SetPointCount(2);
        m_plot->Point(1, 1) = {400, 730};
        m_plot->EndUpdate();
        QCOMPARE(form->FullBounds(), (PlotBounds{0, 400, 0, 800}));
        QCOMPARE(form->ViewBounds(), form->FullBounds());
        QCOMPARE(form->LegendEntries(), (QStringList{"Curve #1", "Curve #2"}));
        QCOMPARE(form->PlotMenu()->actions().size(), 9 + 2);
        QCOMPARE(form->PlotMenu()->actions().at(10)->text(), QString("Curve #2"));
        // Data without a Y range close the window; the next Show opens a new one.
        m_plot->SetPointCount(0);
        m_plot->Changed();
        QVERIFY(!m_plot->FormCreated());
        fill(*m_plot);
        m_plot->Show();
        QVERIFY(m_plot->FormCreated());
    }

    void moreThanTwentyCurvesListTheFirstTwenty()
    {
        fill(*m_plot, 25);
        TPlotForm* form = open();
        QCOMPARE(form->LegendEntries().size(), 20);
        QVERIFY(!m_plot->Lines(20).Listed);
        // Active Graphs can list them all, or none.
        onNextDialog<TfrmActiveLines>([](TfrmActiveLines* d) {
            d->ActivateButton->click();
            d->btnOK->click();
        });
        form->ActiveGraphsClick();
        QCOMPARE(form->LegendEntries().size(), 25);
        onNextDialog<TfrmActiveLines>([](TfrmActiveLines* d) {
            d->DesactivateButton->click();
            d->btnOK->click();
        });
        form->ActiveGraphsClick();
        QVERIFY(form->LegendEntries().isEmpty());
        QCOMPARE(form->Legend()->count(), 0);
        QCOMPARE(form->PlotMenu()->actions().size(), 9);
    }

    void legendStaysInsideTheClientAreaAfterActiveGraphs()
    {
        fill(*m_plot, 25);
        TPlotForm* form = open();
        QListWidget* legend = form->Legend();
        const int itemHeight = 16 * form->logicalDpiY() / 96;
        auto inside = [form, legend] {
            return QRect(QPoint(0, 0), form->size()).contains(legend->geometry());
        };
        auto where = [form, legend] {
            const QRect g = legend->geometry();
            return QString("legend %1,%2 %3x%4 in %5x%6")
                .arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height())
                .arg(form->width()).arg(form->height())
                .toUtf8();
        };
        auto listAll = [form] {
            onNextDialog<TfrmActiveLines>([](TfrmActiveLines* d) {
                d->ActivateButton->click();
                d->btnOK->click();
            });
            form->ActiveGraphsClick();
        };
        auto corner = [form, legend] {
            return QPoint(legend->x() + legend->width(), legend->y() + legend->height())
                == QPoint(form->PlotRect().Right, form->PlotRect().Bottom);
        };
        QVERIFY(corner());

        // Twenty entries grow to 25 from the plot area's lower right corner.
        listAll();
        QCOMPARE(legend->height(), 25 * itemHeight + 3);
        QVERIFY2(corner(), where().constData());
        // A window too small for it: the legend is cut to the client area and scrolls.
        form->resize(300, 200);
        QVERIFY2(inside(), where().constData());
        QCOMPARE(legend->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
        QCOMPARE(legend->count(), 25);
        // One entry: it shrinks; a long name: it widens, within the window.
        onNextDialog<TfrmActiveLines>([](TfrmActiveLines* d) {
            d->DesactivateButton->click();
            d->lbLines->item(0)->setSelected(true);
            d->ActivateDesactivateButton->click();
            d->btnOK->click();
        });
        form->ActiveGraphsClick();
        QCOMPARE(legend->height(), itemHeight + 3);
        QVERIFY2(inside(), where().constData());
        m_plot->Lines(0).Name = "A name far longer than the window is wide, for the first curve";
        listAll();
        QVERIFY2(inside(), where().constData());
        QCOMPARE(legend->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
        // Room again: the whole legend shows, without scroll bars.
        form->resize(800, 600);
        QVERIFY2(inside(), where().constData());
        QCOMPARE(legend->height(), 25 * itemHeight + 3);
        QVERIFY(legend->width() > 300);
        QCOMPARE(legend->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(legend->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    }

    void editLegendRenamesOnOkOnly()
    {
        fill(*m_plot, 2);
        TPlotForm* form = open();
        auto rename = [](bool ok) {
            return [ok](TfrmLineNames* d) {
                d->lbLines->setCurrentRow(1);
                d->edLine->setText("Pile 2");
                QTest::keyClick(d->edLine, Qt::Key_Return);
                (ok ? d->btnOK : d->btnCancel)->click();
            };
        };
        onNextDialog<TfrmLineNames>(rename(false));
        form->mLineNameClick();
        QVERIFY(m_plot->Lines(1).Name.isEmpty());
        QCOMPARE(form->LegendEntries().at(1), QString("Curve #2"));
        onNextDialog<TfrmLineNames>(rename(true));
        form->mLineNameClick();
        QCOMPARE(m_plot->Lines(1).Name, QString("Pile 2"));
        QCOMPARE(m_plot->Lines(0).Name, QString("Curve #1"));
        QCOMPARE(form->LegendEntries(), (QStringList{"Curve #1", "Pile 2"}));
        QCOMPARE(form->Legend()->item(1)->text(), QString("Pile 2 *"));
        QCOMPARE(form->PlotMenu()->actions().at(10)->text(), QString("Pile 2"));
    }

    void graphTitleClosedByItsCloseBoxStillApplies()
    {
        TPlotForm* form = open();
        onNextDialog<TfrmGraphCaption>([](TfrmGraphCaption* d) {
            QVERIFY(d->rbBottom->isChecked());
            d->edtCaption->setText("Pile group");
            d->rbTop->setChecked(true);
            d->close();
        });
        form->PlotCaptionClick();
        QCOMPARE(m_plot->Title, QString("Pile group"));
        QVERIFY(m_plot->TitleOnTop);
        QCOMPARE(form->PlotRect().Top, 96 / 4 + 96 / 4);
    }

    void legendDoubleClickTogglesTheCurve()
    {
        TPlotForm* form = open();
        QListWidget* legend = form->Legend();
        QVERIFY(legend->isVisible());
        QCOMPARE(legend->item(0)->text(), QString("Curve #1 *"));
        const QPoint at = legend->visualItemRect(legend->item(0)).center();
        QTest::mouseDClick(legend->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QVERIFY(!m_plot->Lines(0).Active);
        QCOMPARE(legend->item(0)->text(), QString("Curve #1"));
    }

    void savedBitmapReloadsAtItsSize()
    {
        TPlotForm* form = open();
        setMessages(form);
        QTemporaryDir dir;
        const QString path = dir.filePath("plot.bmp");
        QImage bitmap(432, 288, QImage::Format_RGB32);
        QVERIFY(form->SaveBitmap(path, bitmap, 72));
        QImageReader reader(path);
        QCOMPARE(reader.format(), QByteArray("bmp"));
        QCOMPARE(reader.size(), QSize(432, 288));
        QVERIFY(m_messages.isEmpty());
        // A file that cannot be written says so.
        QImage again(432, 288, QImage::Format_RGB32);
        QVERIFY(!form->SaveBitmap(dir.filePath("missing/plot.bmp"), again, 72));
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages[0].startsWith("The bitmap could not be written"));
    }

    void printingToAFileGivesAPdf()
    {
        TPlotForm* form = open();
        setMessages(form);
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("plot.pdf"));
        QVERIFY(form->PrintOn(printer));
        QFile pdf(dir.filePath("plot.pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5) == "%PDF-");
        QVERIFY(m_messages.isEmpty());
        // A printer that cannot start is reported, and the window still draws.
        QPrinter broken(QPrinter::HighResolution);
        broken.setOutputFormat(QPrinter::PdfFormat);
        broken.setOutputFileName(dir.filePath("missing/plot.pdf"));
        QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
        QVERIFY(!form->PrintOn(broken));
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages[0].startsWith("The graph could not be printed"));
        QVERIFY(!form->grab().isNull());
    }

    void fileDialogsStartInThePlotsFolder_data()
    {
        QTest::addColumn<bool>("print");
        QTest::addColumn<bool>("withFolder");
        for (bool print : {false, true})
            for (bool withFolder : {true, false})
                QTest::newRow(qPrintable(QString("%1, %2").arg(print ? "Print" : "Save To Disk",
                                                                 withFolder ? "plot's folder" : "no folder")))
                    << print << withFolder;
    }

    void fileDialogsStartInThePlotsFolder()
    {
        QFETCH(bool, print);
        QFETCH(bool, withFolder);
        if (print && !QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("A printer is installed: Print opens the print dialog, not a file dialog.");
        QTemporaryDir dir;
        QTemporaryDir elsewhere;
        const auto canonical = [](const QString& path) { return QFileInfo(path).canonicalFilePath(); };
        m_plot->FileFolder = dir.path();
        TPlotForm* form = open();
        QVERIFY(form != nullptr);
        // Where the command's file dialog starts; the user may go to another
        // folder in it before cancelling.
        const auto start = [&](const QString& goTo) {
            QString started;
            onNextDialog<QFileDialog>([&started, &goTo, &canonical](QFileDialog* d) {
                started = canonical(d->directory().absolutePath());
                if (!goTo.isEmpty())
                    d->setDirectory(goTo);
                d->reject();
            });
            if (print)
                form->PlotPrintClick();
            else
                form->PlotSaveClick();
            return started;
        };
        if (withFolder) {
            QCOMPARE(start(QString()), canonical(dir.path()));
            return;
        }
        // In the plot's folder the user goes elsewhere and cancels; then the
        // plot has no folder (a project never saved): the dialog starts where
        // the last file dialog was left, not in the plot's former folder.
        QCOMPARE(start(elsewhere.path()), canonical(dir.path()));
        m_plot->FileFolder.clear();
        QCOMPARE(start(QString()), canonical(elsewhere.path()));
    }

    void mdiWindowComesAndGoesWithThePlot()
    {
        QMdiArea area;
        area.resize(900, 700);
        area.show();
        m_plot->SetFormFactory(TPlotForm::FormFactory(&area));
        fill(*m_plot);
        m_plot->Show();
        QVERIFY(m_plot->FormCreated());
        QCOMPARE(area.subWindowList().size(), 1);
        QMdiSubWindow* sub = area.subWindowList().constFirst();
        QVERIFY(sub->isMaximized());
        TPlotForm* form = TPlotForm::FromSubWindow(sub);
        QVERIFY(form != nullptr);
        QCOMPARE(form->PlotMenu()->title(), QString("&Plot"));
        // A second Show only shows the same window.
        m_plot->Show();
        QCOMPARE(area.subWindowList().size(), 1);
        // Closing the window lets the next Show make a fresh one.
        sub->close();
        QTRY_COMPARE(area.subWindowList().size(), 0);
        QVERIFY(!m_plot->FormCreated());
        m_plot->Show();
        QCOMPARE(area.subWindowList().size(), 1);
        // The plot takes its window with it.
        m_plot.reset();
        QTRY_COMPARE(area.subWindowList().size(), 0);
    }

    void plotMenuStandsInTheBarWhileItsWindowIsActive()
    {
        QMdiArea area;
        QMenuBar bar;
        QAction* help = bar.addMenu("&Help")->menuAction();
        TPlotForm::InstallMenuSwitching(&area, &bar, help);
        m_plot->SetFormFactory(TPlotForm::FormFactory(&area));
        area.resize(900, 700);
        area.show();
        auto titles = [&bar] {
            QStringList t;
            for (QAction* a : bar.actions())
                t << a->text();
            return t;
        };
        fill(*m_plot);
        m_plot->Show();
        QTRY_COMPARE(titles(), (QStringList{"&Plot", "&Help"}));
        // Another window takes the menu out.
        QWidget* other = new QWidget;
        area.addSubWindow(other)->show();
        area.setActiveSubWindow(area.subWindowList().constLast());
        QTRY_COMPARE(titles(), QStringList{"&Help"});
        m_plot->Show();
        QTRY_COMPARE(titles(), (QStringList{"&Plot", "&Help"}));
        m_plot.reset(); // the window and its menu go
        QTRY_COMPARE(titles(), QStringList{"&Help"});
    }

    void plotMenuHoldsItsItemsInOrder()
    {
        TPlotForm* form = open();
        QStringList texts;
        for (QAction* a : form->PlotMenu()->actions())
            texts << (a->isSeparator() ? QString("-") : a->text());
        QCOMPARE(texts, (QStringList{"Show &Legend", "Show &Markers", "&Print...", "P&age Setup", "&Save To Disk...",
                                     "&Graph Title", "&Edit Legend", "&Active Graphs", "-", "Curve #1"}));
        // Markers every 3 points checks its item; 0 checks "Never".
        m_plot->Markers = 3;
        emit form->PlotMarkers->aboutToShow();
        for (QAction* a : form->PlotMarkers->actions())
            if (!a->isSeparator())
                QCOMPARE(a->isChecked(), a->data().toInt() == 3);
        m_plot->Markers = 4;
        emit form->PlotMarkers->aboutToShow();
        for (QAction* a : form->PlotMarkers->actions())
            QVERIFY(!a->isChecked());
    }

private:
    // The plot's window, 800 x 600, shown and exposed. It is sized before it
    // is shown: sized after, it can still get the window manager's late
    // answer to the size it was shown at once it is exposed and painted (and
    // its legend's place fixed), and be sized back to that for a moment.
    TPlotForm* open()
    {
        if (m_plot->LineCount() == 0)
            fill(*m_plot);
        m_plot->SetFormFactory([](TGraphPlot& p) {
            auto window = TPlotForm::Create(p, nullptr);
            if (TPlotForm* form = findForm())
                form->resize(800, 600);
            return window;
        });
        m_plot->Show();
        TPlotForm* form = findForm();
        if (!form || !QTest::qWaitForWindowExposed(form)
            || !QTest::qWaitFor([form] { return form->size() == QSize(800, 600); }))
            return nullptr;
        return form;
    }

    static TPlotForm* findForm()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* f = qobject_cast<TPlotForm*>(w); f && f->Plot())
                return f;
        return nullptr;
    }

    void setMessages(TPlotForm* form)
    {
        form->SetMessageHandler([this](const QString& m) { m_messages << m; });
    }

    std::unique_ptr<QTemporaryDir> m_qtSettings;
    std::unique_ptr<TGraphPlot> m_plot;
    QStringList m_messages;
};

QTEST_MAIN(PlotWindowTest)
#include "PlotWindowTest.moc"
