// Every kind of child window keeps a usable size when the workspace arranges
// them: a data dialog, both geometry views, a table window and a plot window,
// through the main window's menus. The children without a maximise button
// keep their frame and size beside a maximised child, the views open
// maximised beside one, the workspace scrolls to a child beyond its edge,
// Arrange Icons lays the icons in rows, and the keys of the workspace close
// and switch its children.

#include "DialogTestSupport.h"

#include "PlotWindow.h"
#include "TableForm.h"

#include "Table.h"

#include <QScrollBar>
#include <QSettings>
#include <QStyle>
#include <QTemporaryDir>

#include <algorithm>
#include <map>

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

// The main window at this size; a window manager may resize it later than asked.
std::unique_ptr<TMainForm> formOfSize(ScriptedUser*& user, QSize size)
{
    auto form = MakeShownForm(user);
    form->resize(size);
    if (!QTest::qWaitFor([&] { return form->size() == size; }))
        qWarning("the main window was not resized");
    return form;
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

    void aChildWithoutMaximiseKeepsItsFrameBesideAMaximisedOne_data()
    {
        QTest::addColumn<QString>("maximised");
        QTest::addColumn<QString>("item"); // of the Data menu
        for (const char* maximised : {"plot", "help"})
            for (const char* item : {"&Frequency Data", "Control &Options...", "Soil &Layer Data"})
                QTest::addRow("%s maximised, then %s", maximised, item) << QString(maximised) << QString(item);
    }
    void aChildWithoutMaximiseKeepsItsFrameBesideAMaximisedOne()
    {
        QFETCH(QString, maximised);
        QFETCH(QString, item);
        // Its own size, where nothing else is open.
        QSize own;
        {
            auto alone = MakeShownForm(m_user);
            alone->resize(1000, 750);
            ChooseDataItem(*alone, item);
            QVERIFY(alone->MdiArea()->currentSubWindow());
            own = alone->MdiArea()->currentSubWindow()->size();
        }
        auto form = MakeShownForm(m_user);
        form->resize(1000, 750);
        if (maximised == "plot") {
            fill(form->Plots().pltSkin);
            form->Plots().pltSkin.Show(); // a plot opens maximised
        } else {
            form->HelpContentsClick();
            form->MdiArea()->currentSubWindow()->showMaximized();
        }
        QMdiSubWindow* big = form->MdiArea()->currentSubWindow();
        QVERIFY(big && big->isMaximized());
        ChooseDataItem(*form, item);
        QMdiSubWindow* sub = form->MdiArea()->currentSubWindow();
        QVERIFY(sub && sub != big);
        QCoreApplication::processEvents();
        const QString state = describe(sub);
        QVERIFY2(!sub->isMaximized(), qPrintable(state));
        QVERIFY2(!(sub->windowFlags() & Qt::WindowMaximizeButtonHint), qPrintable(state));
        QCOMPARE(sub->size(), own);
        QVERIFY2(sub->contentsMargins().top() > 0, qPrintable(state)); // with its title bar
        // Only the active child is maximised: the one behind is restored,
        // and the caption names no child.
        QVERIFY(!big->isMaximized());
        QCOMPARE(form->windowTitle(), "KELDOR 2.0 - NewPile");

        // Minimised: an icon wide enough for its buttons and some title, then back.
        sub->showMinimized();
        QCoreApplication::processEvents();
        const int titleBar = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
        QVERIFY2(sub->width() >= 100 && sub->height() >= titleBar, qPrintable(describe(sub)));
        QVERIFY2(form->MdiArea()->viewport()->rect().contains(sub->geometry()), qPrintable(describe(sub)));
        form->ArrangeMenuClick();
        form->WindowListActions()[size_t(form->MdiArea()->subWindowList().indexOf(sub))]->trigger();
        QCoreApplication::processEvents();
        QVERIFY(!sub->isMinimized() && !sub->isMaximized());
        QCOMPARE(sub->size(), own);
    }

    void closingAMaximisedChildLeavesTheNextAtItsOwnSize()
    {
        auto form = MakeShownForm(m_user);
        form->resize(1000, 750);
        ChooseDataItem(*form, QStringLiteral("&Frequency Data"));
        QMdiSubWindow* dialog = form->MdiArea()->currentSubWindow();
        const QSize own = dialog->size();
        fill(form->Plots().pltSkin);
        form->Plots().pltSkin.Show();
        QMdiSubWindow* plot = form->MdiArea()->currentSubWindow();
        QVERIFY(plot != dialog && plot->isMaximized());
        plot->close();
        QCoreApplication::processEvents();
        QCOMPARE(form->MdiArea()->currentSubWindow(), dialog);
        QVERIFY2(!dialog->isMaximized(), qPrintable(describe(dialog)));
        QCOMPARE(dialog->size(), own);
    }

    void aViewOpensMaximisedBesideAMaximisedChildAndAtItsOwnSizeAlone_data()
    {
        QTest::addColumn<ChildKind>("view");
        QTest::addColumn<QSize>("initial"); // the frame's
        QTest::addColumn<QString>("maximised"); // the child open before it
        for (const char* maximised : {"nothing", "plot", "help"}) {
            QTest::addRow("side view, %s maximised", maximised)
                << ChildKind::SideView << QSize(727, 590) << QString(maximised);
            QTest::addRow("top view, %s maximised", maximised)
                << ChildKind::TopView << QSize(610, 392) << QString(maximised);
        }
    }
    void aViewOpensMaximisedBesideAMaximisedChildAndAtItsOwnSizeAlone()
    {
        QFETCH(ChildKind, view);
        QFETCH(QSize, initial);
        QFETCH(QString, maximised);
        auto form = formOfSize(m_user, QSize(1000, 750));
        QMdiArea* area = form->MdiArea();
        QMdiSubWindow* big = nullptr;
        if (maximised == "plot") {
            fill(form->Plots().pltSkin);
            form->Plots().pltSkin.Show(); // a plot opens maximised
            big = area->currentSubWindow();
        } else if (maximised == "help") {
            form->HelpContentsClick();
            big = area->currentSubWindow();
            QVERIFY(big);
            big->showMaximized();
        }
        QVERIFY(!big || big->isMaximized());
        form->ShowChild(view);
        QMdiSubWindow* frame = area->currentSubWindow();
        QVERIFY(frame && frame != big);
        QWidget* contents = frame->widget();
        if (big) {
            // As every resizable child: maximised over the whole workspace,
            // with the child behind restored.
            QVERIFY2(frame->isMaximized(), qPrintable(describe(frame)));
            QTRY_COMPARE(frame->geometry(), area->viewport()->rect());
            QCOMPARE(contents->geometry(), frame->rect());
            QVERIFY(!big->isMaximized());
            QVERIFY2(form->windowTitle().endsWith(" - [" + frame->windowTitle() + "]"), qPrintable(form->windowTitle()));
            frame->showNormal();
        }
        // Its own size, alone or once restored, with its title bar.
        QTRY_COMPARE(frame->size(), initial);
        QVERIFY(!frame->isMaximized());
        QVERIFY2(frame->contentsMargins().top() > 0, qPrintable(describe(frame)));
        QCOMPARE(contents->size(), frame->contentsRect().size());
        // The frame keeps the view's minimum, its title bar and borders besides.
        frame->resize(1, 1);
        const QSize least = contents->minimumSizeHint();
        QVERIFY2(contents->width() >= least.width() && contents->height() >= least.height(), qPrintable(describe(frame)));
    }

    void theWorkspaceScrollsToAChildBeyondItsEdge_data()
    {
        // Where the child lies on each axis: -1 wholly before the start, 0
        // inside, 1 wholly beyond the end, 2 half beyond the end.
        QTest::addColumn<int>("across");
        QTest::addColumn<int>("down");
        QTest::newRow("inside") << 0 << 0;
        QTest::newRow("beyond the right edge") << 1 << 0;
        QTest::newRow("beyond the bottom edge") << 0 << 1;
        QTest::newRow("half beyond the right edge") << 2 << 0;
        QTest::newRow("half beyond the bottom edge") << 0 << 2;
        QTest::newRow("beyond the bottom right corner") << 1 << 1;
        QTest::newRow("beyond the top left corner") << -1 << -1;
    }
    void theWorkspaceScrollsToAChildBeyondItsEdge()
    {
        QFETCH(int, across);
        QFETCH(int, down);
        auto form = formOfSize(m_user, QSize(600, 400));
        ChooseDataItem(*form, QStringLiteral("&Title"));
        QMdiArea* area = form->MdiArea();
        QMdiSubWindow* sub = area->currentSubWindow();
        QVERIFY(sub);
        QScrollBar* hbar = area->horizontalScrollBar();
        QScrollBar* vbar = area->verticalScrollBar();
        const QSize room = area->viewport()->size();
        // Small enough to be seen whole beside the scroll bars.
        QVERIFY2(sub->width() < room.width() - 40 && sub->height() < room.height() - 40, qPrintable(describe(sub)));
        const auto at = [](int where, int size, int extent) {
            switch (where) {
            case -1: return -size - 20;
            case 1: return extent + 20;
            case 2: return extent - size / 2;
            default: return 10;
            }
        };
        const QPoint place(at(across, sub->width(), room.width()), at(down, sub->height(), room.height()));
        sub->move(place);
        QTRY_COMPARE(hbar->isVisible(), across != 0);
        QTRY_COMPARE(vbar->isVisible(), down != 0);
        if (across == 0 && down == 0)
            return;
        // None once the child is back inside.
        sub->move(10, 10);
        QTRY_VERIFY(!hbar->isVisible() && !vbar->isVisible());
        sub->move(place);
        QTRY_VERIFY(hbar->isVisible() || vbar->isVisible());
        // Scrolled as far as the bars go towards it, the child is wholly in view.
        if (across != 0)
            hbar->setValue(across < 0 ? hbar->minimum() : hbar->maximum());
        if (down != 0)
            vbar->setValue(down < 0 ? vbar->minimum() : vbar->maximum());
        QTRY_VERIFY2(area->viewport()->rect().contains(sub->geometry()), qPrintable(describe(sub)));
    }

    void arrangeIconsFillsRowsFromTheBottomLeft_data()
    {
        QTest::addColumn<QSize>("mainWindow");
        QTest::newRow("small main window") << QSize(600, 400);
        QTest::newRow("wide main window") << QSize(1100, 500);
    }
    void arrangeIconsFillsRowsFromTheBottomLeft()
    {
        QFETCH(QSize, mainWindow);
        auto form = formOfSize(m_user, mainWindow);
        // Fourteen children of every kind: the five data dialogs, both table
        // windows, both views, help and four plots.
        for (const char* item : {"&Title", "&Pile Properties", "Pile Group Arrangement", "Soil &Layer Data",
                                 "&Frequency Data", "Superstructure Properties", "Control &Options..."})
            ChooseDataItem(*form, QString(item));
        form->ShowChild(ChildKind::SideView);
        form->ShowChild(ChildKind::TopView);
        form->HelpContentsClick();
        ResultPlots& plots = form->Plots();
        for (TGraphPlot* plot : {&plots.pltSkin, &plots.pltTip, &plots.pltTotal, &plots.pltAxial}) {
            fill(*plot);
            plot->Show();
        }
        QMdiArea* area = form->MdiArea();
        const auto children = area->subWindowList();
        QCOMPARE(children.size(), 14);
        for (QMdiSubWindow* sub : children)
            sub->showMinimized();
        QCoreApplication::processEvents();
        // Piled up, as icons left where they were before the workspace changed.
        for (QMdiSubWindow* sub : children)
            sub->move(0, 0);
        emit form->WindowMenu()->aboutToShow();
        QAction* arrange = MenuItem(form->WindowMenu(), QStringLiteral("&Arrange Icons"));
        QVERIFY(arrange);
        arrange->trigger();
        QCoreApplication::processEvents();

        const QRect workspace = area->viewport()->rect();
        QString layout = QStringLiteral("workspace %1 x %2").arg(workspace.width()).arg(workspace.height());
        for (QMdiSubWindow* sub : children)
            layout += "\n" + describe(sub) + QStringLiteral(" at %1, %2").arg(sub->x()).arg(sub->y());
        // The rows by their bottom edge, from the bottom of the workspace up.
        std::map<int, QList<QRect>, std::greater<int>> rows;
        for (int i = 0; i < children.size(); ++i) {
            const QRect icon = children[i]->geometry();
            QVERIFY2(children[i]->isMinimized(), qPrintable(layout));
            QVERIFY2(workspace.contains(icon), qPrintable(layout));
            for (int j = 0; j < i; ++j)
                QVERIFY2(!icon.intersects(children[j]->geometry()), qPrintable(layout));
            rows[icon.bottom()] << icon;
        }
        int bottom = workspace.bottom();
        const QList<QRect>* below = nullptr;
        for (auto& [rowBottom, row] : rows) {
            // Each row lies on the one below it and runs from the left edge
            // without gaps; a row is begun only when the one below is full.
            QCOMPARE(rowBottom, bottom);
            std::sort(row.begin(), row.end(), [](const QRect& a, const QRect& b) { return a.left() < b.left(); });
            QCOMPARE(row.front().left(), 0);
            for (int i = 1; i < row.size(); ++i)
                QCOMPARE(row[i].left(), row[i - 1].right() + 1);
            if (below)
                QVERIFY2(below->back().right() + 1 + row.front().width() > workspace.width(), qPrintable(layout));
            int top = rowBottom;
            for (const QRect& icon : row)
                top = std::min(top, icon.top());
            bottom = top - 1;
            below = &row;
        }
        QVERIFY2(rows.size() > 1, qPrintable(layout));
    }

    void theWorkspaceKeysCloseAndSwitchChildren_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Ctrl+F6") << int(Qt::Key_F6);
        QTest::newRow("Ctrl+Tab") << int(Qt::Key_Tab);
    }
    void theWorkspaceKeysCloseAndSwitchChildren()
    {
        QFETCH(int, key);
        auto form = MakeShownForm(m_user);
        ChooseDataItem(*form, QStringLiteral("&Frequency Data"));
        ChooseDataItem(*form, QStringLiteral("Superstructure Properties"));
        QMdiArea* area = form->MdiArea();
        QCOMPARE(area->subWindowList().size(), 2);
        QMdiSubWindow* first = area->subWindowList().at(0);
        QMdiSubWindow* second = area->subWindowList().at(1);
        QCOMPARE(area->currentSubWindow(), second);
        // Keys pressed in the active child, or elsewhere in the main window.
        const auto press = [&](int k, QWidget* where = nullptr) {
            QWidget* focus = where ? where : QApplication::focusWidget();
            QVERIFY(focus);
            QTest::keyClick(focus, Qt::Key(k), Qt::ControlModifier);
            QTest::keyRelease(focus, Qt::Key_Control);
            QCoreApplication::processEvents();
        };
        press(key);
        QCOMPARE(area->currentSubWindow(), first);
        press(key);
        QCOMPARE(area->currentSubWindow(), second);
        // Ctrl+F4 closes the active child, and only that one, whatever
        // the desktop binds to the frame's own Close.
        press(Qt::Key_F4);
        QTRY_COMPARE(area->subWindowList().size(), 1);
        QCOMPARE(area->subWindowList().at(0), first);
        QCOMPARE(area->currentSubWindow(), first);
        form->setFocus();
        press(Qt::Key_F4, form.get());
        QTRY_VERIFY(area->subWindowList().isEmpty());
    }
};

QTEST_MAIN(ChildWindowSizesTest)
#include "ChildWindowSizesTest.moc"
