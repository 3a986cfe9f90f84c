// Every kind of child window keeps a usable size when the workspace arranges
// them: a data dialog, both geometry views, a table window and a plot window,
// through the main window's menus.

#include "DialogTestSupport.h"

#include "PlotWindow.h"
#include "TableForm.h"

#include "Table.h"

#include <QSettings>
#include <QTemporaryDir>

namespace {

// One curve, so that the plot window has something to draw.
void fill(TGraphPlot& plot)
{
    plot.BeginUpdate();
    plot.SetLineCount(1);
    plot.SetPointCount(2);
    plot.Point(0, 0) = {0, 1};
    plot.Point(0, 1) = {10, 2};
    plot.EndUpdate();
}

// The least size of a child's contents: its own minimum or the one its frame
// keeps for it.
QSize leastContents(const QMdiSubWindow* sub)
{
    const QMargins m = sub->contentsMargins();
    const QSize frame = sub->minimumSize() - QSize(m.left() + m.right(), m.top() + m.bottom());
    return sub->widget()->minimumSize().expandedTo(frame);
}

QString describe(const QMdiSubWindow* sub)
{
    const QWidget* w = sub->widget();
    return QStringLiteral("%1: window %2 x %3, contents %4 x %5, least contents %6 x %7")
        .arg(sub->windowTitle())
        .arg(sub->width())
        .arg(sub->height())
        .arg(w->width())
        .arg(w->height())
        .arg(leastContents(sub).width())
        .arg(leastContents(sub).height());
}

} // namespace

class ChildWindowSizesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_settingsDir;
    ScriptedUser* m_user = nullptr;

    // The main window with one child window of each kind open.
    std::unique_ptr<TMainForm> formWithEveryKind(QSize size = QSize(1000, 750))
    {
        auto form = MakeShownForm(m_user);
        form->resize(size);
        ChooseDataItem(*form, QStringLiteral("&Pile Properties"));
        ChooseDataItem(*form, QStringLiteral("Soil &Layer Data"));
        form->ShowChild(ChildKind::SideView);
        form->ShowChild(ChildKind::TopView);
        fill(form->Plots().pltSkin);
        form->Plots().pltSkin.Show();
        QCoreApplication::processEvents();
        return form;
    }

private slots:
    void init()
    {
        m_settingsDir = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settingsDir->path());
    }

    void everyChildWindowHasASizeHintAndAMinimum()
    {
        auto form = formWithEveryKind();
        const auto windows = form->MdiArea()->subWindowList();
        QCOMPARE(windows.size(), 5);
        for (QMdiSubWindow* sub : windows) {
            const QWidget* w = sub->widget();
            const QSize minimum = leastContents(sub);
            QVERIFY2(minimum.width() >= 100 && minimum.height() >= 60, qPrintable(describe(sub)));
            QVERIFY2(w->sizeHint().width() >= minimum.width() && w->sizeHint().height() >= minimum.height(),
                     qPrintable(describe(sub)));
            // Opened at its own size, never below its minimum.
            QVERIFY2(w->width() >= minimum.width() && w->height() >= minimum.height(), qPrintable(describe(sub)));
        }
    }

    void cascadeAndTileKeepEveryChildWindowUsable_data()
    {
        QTest::addColumn<bool>("tile");
        QTest::addColumn<QSize>("mainWindow");
        QTest::newRow("cascade") << false << QSize(1000, 750);
        QTest::newRow("tile") << true << QSize(1000, 750);
        // Tiles smaller than the windows' minimums.
        QTest::newRow("tile, small workspace") << true << QSize(640, 420);
    }

    void cascadeAndTileKeepEveryChildWindowUsable()
    {
        QFETCH(bool, tile);
        QFETCH(QSize, mainWindow);
        auto form = formWithEveryKind(mainWindow);
        if (tile) {
            form->MdiArea()->tileSubWindows();
        } else {
            emit form->WindowMenu()->aboutToShow();
            QAction* cascade = MenuItem(form->WindowMenu(), QStringLiteral("&Cascade"));
            QVERIFY(cascade);
            cascade->trigger();
        }
        QCoreApplication::processEvents();
        const auto windows = form->MdiArea()->subWindowList();
        QCOMPARE(windows.size(), 5);
        for (QMdiSubWindow* sub : windows) {
            const QWidget* w = sub->widget();
            const QSize minimum = leastContents(sub);
            QVERIFY2(!sub->isMinimized() && !sub->isShaded(), qPrintable(describe(sub)));
            QVERIFY2(w->width() >= minimum.width() && w->height() >= minimum.height(), qPrintable(describe(sub)));
            QVERIFY2(w->width() >= 100 && w->height() >= 60, qPrintable(describe(sub)));
        }
    }
};

QTEST_MAIN(ChildWindowSizesTest)
#include "ChildWindowSizesTest.moc"
