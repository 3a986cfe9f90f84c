// The table editor window, headless, over the application's own tables.

#include "TableForm.h"

#include "LineEditView.h"

#include "ColumnTypes.h"
#include "DataUnit.h"
#include "TableColumn.h"

#include <QApplication>
#include <QHeaderView>
#include <QBuffer>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTableView>
#include <QTest>

#include <functional>
#include <memory>

class TableFormTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QMdiArea> m_area;
    QStringList m_messages;

    void hand(TGridTable& table)
    {
        table.SetFormFactory(TTableForm::Factory(m_area.get(), [this](QWidget*, const QString& m) { m_messages << m; }));
    }

    TTableForm* open(TGridTable& table)
    {
        hand(table);
        table.ShowForm();
        return TTableForm::FromTable(table);
    }

    std::unique_ptr<TGridTable> piles(int rows)
    {
        auto t = MakePileCoordinateTable();
        t->SetRowCount(rows);
        for (int r = 0; r < rows; ++r)
            t->Cells(0, r)->SetFloat(r);
        return t;
    }

    // Drags the right edge in to as wide as the first columns need, and a
    // little more.
    static void narrowTo(TTableForm& form, int columns)
    {
        QRect r = form.Frame()->geometry();
        for (int k = columns; k < form.Grid()->model()->columnCount(); ++k)
            r.setWidth(r.width() - form.Grid()->columnWidth(k));
        r.setWidth(r.width() + 5);
        form.WMSizing(SizingEdge::Right, r);
        form.ArrangeControls();
    }

    // A click on the arrow that scrolls a horizontal bar one step on.
    static void clickAddArrow(QScrollBar* bar)
    {
        QStyleOptionSlider option;
        option.initFrom(bar);
        option.orientation = Qt::Horizontal;
        option.minimum = bar->minimum();
        option.maximum = bar->maximum();
        option.sliderPosition = bar->sliderPosition();
        option.sliderValue = bar->value();
        option.singleStep = bar->singleStep();
        option.pageStep = bar->pageStep();
        const QRect arrow = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarAddLine, bar);
        QTest::mouseClick(bar, Qt::LeftButton, {}, arrow.center());
    }

private slots:
    void init()
    {
        m_area = std::make_unique<QMdiArea>();
        m_area->resize(1200, 900);
        m_area->show();
        m_area->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_area.get()));
        m_messages.clear();
    }

    void cleanup() { m_area.reset(); }

    void opensWithTenRowsAtMost()
    {
        auto many = piles(25);
        TTableForm* form = open(*many);
        QVERIFY(form);
        QCOMPARE(form->VisibleRows(), 10);
        QCOMPARE(form->Grid()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        // The grid's data area holds exactly the ten rows.
        QTableView* grid = form->Grid();
        QCOMPARE(grid->viewport()->height(), 10 * grid->verticalHeader()->defaultSectionSize());
        QCOMPARE(form->Frame()->windowTitle(), QString("Pile Coordinates "));

        auto few = piles(3);
        form = open(*few);
        QCOMPARE(form->VisibleRows(), 3);
        QCOMPARE(form->Grid()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(form->Grid()->viewport()->height(), 3 * form->Grid()->verticalHeader()->defaultSectionSize());
    }

    void headerBlockAndGroupNumbers()
    {
        auto soil = MakeSoilLayerTable();
        soil->SetRowGroup(2);
        soil->SetRowCount(6);
        TTableForm* form = open(*soil);
        QCOMPARE(form->HeaderRows(), 2);
        QCOMPARE(form->Cells(0, 0), QString("Layer"));
        QCOMPARE(form->Cells(1, 0), QString("Layer "));
        QCOMPARE(form->Cells(1, 1), QString("thickness (in)  "));
        QCOMPARE(form->Cells(3, 1), QString("Velocity (in/sec)  "));
        QCOMPARE(form->Cells(5, 1), QString(" (lb-sec2/in/in^3)  "));
        QStringList groups;
        for (int r = 0; r < 6; ++r)
            groups << form->Cells(0, 2 + r);
        QCOMPARE(groups, QStringList({"1", "1", "2", "2", "3", "3"}));
        QCOMPARE(form->Cells(2, 2), QString("20"));
    }

    void addingRowsGrowsASmallWindow()
    {
        auto t = piles(3);
        TTableForm* form = open(*t);
        const int height = form->Frame()->height();
        const int row = form->Grid()->verticalHeader()->defaultSectionSize();
        QVector<int> shown;
        for (int i = 0; i < 9; ++i) {
            form->BtnAdd()->click();
            shown << form->VisibleRows();
        }
        QCOMPARE(shown, QVector<int>({4, 5, 6, 7, 8, 9, 10, 10, 10}));
        QCOMPARE(t->RowCount(), 12);
        QVERIFY(t->IsModified());
        // Grown by whole rows, with the scroll bar's width once all no longer show.
        QCOMPARE(form->Frame()->height(), height + 7 * row);
        // The new rows are in view.
        QCOMPARE(form->TopRowIndex(), 2);
    }

    void buttonsFollowTheLimits()
    {
        struct Case {
            const char* what;
            int minRows, maxRows, rowGroup, rows;
            bool visible, add, del;
        };
        const Case cases[] = {
            {"no limits to move", 3, 3, 1, 3, false, false, false},
            {"at MaxRows", 1, 4, 1, 4, true, false, true},
            {"at MinRows", 2, 0, 1, 2, true, true, false},
            {"a group would pass MaxRows", 1, 10, 2, 9, true, false, true},
            {"a group would go below MinRows", 2, 0, 2, 3, true, true, false},
        };
        for (const Case& c : cases) {
            auto t = MakePileCoordinateTable();
            t->SetMinRows(c.minRows);
            t->MaxRows = c.maxRows;
            t->SetRowGroup(c.rowGroup);
            t->SetRowCount(c.rows);
            TTableForm* form = open(*t);
            QVERIFY2(form->BtnAdd()->isVisibleTo(form) == c.visible, c.what);
            QVERIFY2(form->BtnDel()->isVisibleTo(form) == c.visible, c.what);
            if (!c.visible)
                continue;
            QVERIFY2(form->BtnAdd()->isEnabled() == c.add, c.what);
            QVERIFY2(form->BtnIns()->isEnabled() == c.add, c.what);
            QVERIFY2(form->BtnDel()->isEnabled() == c.del, c.what);
            // The handlers keep the limits too.
            form->BtnAddClick();
            form->BtnInsClick();
            QVERIFY2(c.maxRows == 0 || t->RowCount() <= c.maxRows, c.what);
            form->BtnDelClick();
            form->BtnDelClick();
            QVERIFY2(t->RowCount() >= c.minRows, c.what);
        }
        // A units change reopens the window, where it was, with the states it needs.
        auto t = MakePileCoordinateTable();
        t->MaxRows = 2;
        t->SetRowCount(2);
        TTableForm* form = open(*t);
        form->Frame()->move(37, 41);
        t->SetUnits(2);
        t->ReopenForm();
        form = TTableForm::FromTable(*t);
        QCOMPARE(form->Frame()->pos(), QPoint(37, 41));
        QVERIFY(!form->BtnAdd()->isEnabled());
        QVERIFY(form->BtnDel()->isEnabled());
        QCOMPARE(form->Cells(1, 1).isEmpty(), false);
        QCOMPARE(form->Cells(1, 0), QString("X-Coord. (m)  "));
    }

    void enterWalksDownThenAcross()
    {
        auto t = piles(3);
        TTableForm* form = open(*t);
        QCOMPARE(form->Col(), 1);
        QCOMPARE(form->Row(), 1);
        QVector<QPair<int, int>> walk;
        for (int i = 0; i < 6; ++i) {
            form->GridKeyPress(Qt::Key_Return);
            walk << qMakePair(form->Col(), form->Row());
        }
        QCOMPARE(walk, (QVector<QPair<int, int>>{{1, 2}, {1, 3}, {2, 1}, {2, 2}, {2, 3}, {1, 1}}));
    }

    void aRefusedEntryKeepsTheCell()
    {
        auto soil = MakeSoilLayerTable();
        soil->SetRowCount(3);
        TTableForm* form = open(*soil);
        QVERIFY(form->SelectCell(2, 2));
        form->SetEditText("2.5");
        QTest::keyClick(form->Grid()->indexWidget(form->Grid()->model()->index(0, 1)), Qt::Key_Down);
        QCOMPARE(m_messages, QStringList({"Entry must be an integer."}));
        QCOMPARE(form->Col(), 2);
        QCOMPARE(form->Row(), 2);
        QCOMPARE(form->EditText(), QString("2.5"));
        QCOMPARE(soil->Cells(1, 0)->GetInt(), 20);

        // Closing is refused while the entry stands, with one message each time.
        QVERIFY(!form->Frame()->close());
        QCOMPARE(m_messages.size(), 2);
        QVERIFY(soil->HasForm());

        // Corrected, the entry is stored, the grid shows the value and the window closes.
        form->SetEditText("3*4");
        QVERIFY(form->SelectCell(2, 3));
        QCOMPARE(soil->Cells(1, 0)->GetInt(), 12);
        QCOMPARE(form->Cells(2, 2), QString("12"));
        QPointer<QWidget> frame = form->Frame();
        QVERIFY(frame->close());
        QVERIFY(!soil->HasForm());
        QCOMPARE(m_messages.size(), 2);
        QTRY_VERIFY(!frame);
    }

    void everyWayOutCommits()
    {
        auto t = piles(3);
        TTableForm* form = open(*t);
        QLineEdit* editor = nullptr;
        auto type = [&](const char* text) {
            editor = qobject_cast<QLineEdit*>(form->Grid()->indexWidget(
                form->Grid()->model()->index(form->Row() - form->HeaderRows(), form->Col() - 1)));
            QVERIFY(editor);
            editor->selectAll();
            QTest::keyClicks(editor, text);
        };
        type("1.5");
        QTest::keyClick(editor, Qt::Key_Down);
        QCOMPARE(double(t->Cells(0, 0)->GetFloat()), 1.5);
        type("2+1");
        QTest::keyClick(editor, Qt::Key_Tab);
        QCOMPARE(double(t->Cells(0, 1)->GetFloat()), 3.0);
        QCOMPARE(form->Cells(1, 2), QString("3"));
        QCOMPARE(QApplication::focusWidget(), form->BtnDel());
        // Back in the grid, the keys go to the current cell's editor again.
        form->Grid()->setFocus();
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("CellEditor"));
        QVERIFY(form->SelectCell(2, 3));
        type("7");
        form->StoreEdits(); // the main window's menus and commands
        QCOMPARE(double(t->Cells(1, 2)->GetFloat()), 7.0);
        editor->clear();
        form->SetEditText("");
        form->StoreEdits();
        QCOMPARE(m_messages, QStringList({"Entry could not be evaluated:\rentry cannot be blank"}));
        QCOMPARE(double(t->Cells(1, 2)->GetFloat()), 7.0);
        type("8");
        // Closing stores too.
        QVERIFY(form->Frame()->close());
        QCOMPARE(double(t->Cells(1, 2)->GetFloat()), 8.0);
    }

    // A cell shows its value to 8 digits; leaving it stores the text only
    // when the user changed it, on every way out of the cell, and only a
    // stored text marks the table modified.
    void onlyAChangedTextIsStored()
    {
        const auto editor = [](TTableForm& form) {
            return form.Grid()->indexWidget(
                form.Grid()->model()->index(form.Row() - form.HeaderRows(), form.Col() - 1));
        };
        struct Path {
            const char* what;
            std::function<void(TTableForm& form, TTableForm& other)> leave;
            bool edits = false; // the way out is an edit of its own
        };
        const Path paths[] = {
            {"a click on another cell", [](TTableForm& f, TTableForm&) { QVERIFY(f.SelectCell(2, 1)); }},
            {"an arrow key", [&](TTableForm& f, TTableForm&) { QTest::keyClick(editor(f), Qt::Key_Down); }},
            {"Tab", [&](TTableForm& f, TTableForm&) { QTest::keyClick(editor(f), Qt::Key_Tab); }},
            {"Enter", [](TTableForm& f, TTableForm&) { f.GridKeyPress(Qt::Key_Return); }},
            {"a command of the main window", [](TTableForm& f, TTableForm&) { QVERIFY(f.StoreEdits()); }},
            {"a button", [](TTableForm& f, TTableForm&) { f.BtnAdd()->click(); }, true},
            {"another window activated",
             [this](TTableForm&, TTableForm& other) {
                 m_area->setActiveSubWindow(static_cast<QMdiSubWindow*>(other.Frame()));
             }},
            {"closing", [](TTableForm& f, TTableForm&) { QVERIFY(f.Frame()->close()); }},
        };
        struct Entry {
            const char* what;
            const char* typed; // null: nothing typed
            Extended stored;
            bool modified;
        };
        const Entry entries[] = {
            {"untouched", nullptr, 1.0L / 3, false},
            {"the shown text typed again", "0.33333333", 1.0L / 3, false},
            {"a new text", "0.5", 0.5L, true},
        };
        for (const Path& path : paths) {
            for (const Entry& entry : entries) {
                const QByteArray what = QByteArray(path.what) + ", " + entry.what;
                auto other = piles(1);
                TTableForm* otherForm = open(*other);
                auto t = piles(3);
                t->Cells(0, 0)->SetFloat(1.0L / 3);
                TTableForm* form = open(*t);
                QCOMPARE(form->Cells(1, 1), QString("0.33333333"));
                if (entry.typed)
                    form->SetEditText(entry.typed);
                path.leave(*form, *otherForm);
                QVERIFY2(t->Cells(0, 0)->GetFloat() == entry.stored, what.constData());
                QVERIFY2(t->IsModified() == (entry.modified || path.edits), what.constData());
                QVERIFY2(!other->IsModified(), what.constData());
            }
        }
        QVERIFY(m_messages.isEmpty());

        // A value outside the column's limits, as a file may hold it, is
        // refused only once the user edits it.
        auto soil = MakeSoilLayerTable();
        soil->SetRowCount(2);
        soil->Cells(1, 0)->SetInt(45);
        TTableForm* form = open(*soil);
        QVERIFY(form->SelectCell(2, 2));
        QVERIFY(form->SelectCell(2, 3));
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(soil->Cells(1, 0)->GetInt(), 45);
        QVERIFY(form->SelectCell(2, 2));
        form->SetEditText("46");
        QVERIFY(!form->SelectCell(2, 3));
        QCOMPARE(m_messages, QStringList({"Entry must be between 1 and 40."}));
    }

    // A value longer than its column shows from its start in the current
    // cell's editor whenever the window puts it there or the user leaves
    // it; with the focus the whole text is selected, so typing replaces it.
    void aLongCellValueShowsItsStart()
    {
        const auto editor = [](TTableForm& form) {
            return qobject_cast<QLineEdit*>(form.Grid()->indexWidget(
                form.Grid()->model()->index(form.Row() - form.HeaderRows(), form.Col() - 1)));
        };
        const Extended value = -0.000123456789L; // shown as -0.00012345679
        struct Case {
            const char* what;
            std::function<void(TTableForm& form, TGridTable& table, TTableForm& other)> act;
            bool focused;  // the editor keeps the keyboard focus
            bool selected; // and its whole text is selected
        };
        const Case cases[] = {
            {"opened", [](TTableForm&, TGridTable&, TTableForm&) {}, true, true},
            {"moved to by a click", [](TTableForm& f, TGridTable&, TTableForm&) { QVERIFY(f.SelectCell(2, 1)); }, true,
             true},
            {"moved to by a key", [&](TTableForm& f, TGridTable&, TTableForm&) { QTest::keyClick(editor(f), Qt::Key_Down); },
             true, true},
            {"refilled", [](TTableForm& f, TGridTable&, TTableForm&) { f.BtnAdd()->click(); }, true, true},
            {"changed by the table",
             [&](TTableForm&, TGridTable& t, TTableForm&) { t.Cells(0, 0)->SetFloat(2 * value); }, true, false},
            {"left for a button",
             [&](TTableForm& f, TGridTable&, TTableForm&) {
                 QTest::keyClick(editor(f), Qt::Key_End);
                 QTest::keyClick(editor(f), Qt::Key_Tab);
             },
             false, false},
            {"left for another window",
             [&](TTableForm& f, TGridTable&, TTableForm& other) {
                 QTest::keyClick(editor(f), Qt::Key_End);
                 m_area->setActiveSubWindow(static_cast<QMdiSubWindow*>(other.Frame()));
             },
             false, false},
        };
        for (const Case& c : cases) {
            auto other = piles(1);
            TTableForm* otherForm = open(*other);
            auto t = piles(3);
            for (int col = 0; col < 2; ++col)
                for (int row = 0; row < 3; ++row)
                    t->Cells(col, row)->SetFloat(value);
            TTableForm* form = open(*t);
            c.act(*form, *t, *otherForm);
            QLineEdit* line = editor(*form);
            QVERIFY2(line, c.what);
            QVERIFY2(line->text().startsWith("-0.000"), c.what);
            QVERIFY2(Overflows(line), c.what);
            QVERIFY2(FirstShownPosition(line) == 0, c.what);
            QVERIFY2(line->hasFocus() == c.focused, c.what);
            QVERIFY2((line->selectedText() == line->text()) == c.selected, c.what);
        }

        // Refilled while another program window is active: the editor takes
        // no focus and shows the start all the same.
        auto t = piles(3);
        t->Cells(0, 0)->SetFloat(value);
        TTableForm* form = open(*t);
        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
        t->AddRowGroup();
        QLineEdit* line = editor(*form);
        QVERIFY(!line->hasFocus());
        QVERIFY(Overflows(line));
        QCOMPARE(FirstShownPosition(line), 0);

        // Typing moves nothing but the cursor.
        t = piles(1);
        form = open(*t);
        line = editor(*form);
        QTest::keyClicks(line, "-0.000123456789123");
        QCOMPARE(line->cursorPosition(), 18);
        QVERIFY(FirstShownPosition(line) > 0);
        QVERIFY(m_messages.isEmpty());
    }

    void clicksAndPageKeysCommitToo()
    {
        auto t = piles(25);
        TTableForm* form = open(*t);
        QTableView* grid = form->Grid();
        form->SetEditText("");
        const QRect target = grid->visualRect(grid->model()->index(3, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, target.center());
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(form->Col(), 1);
        QCOMPARE(form->Row(), 1);
        form->SetEditText("2.75");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, target.center());
        QCOMPARE(form->Col(), 2);
        QCOMPARE(form->Row(), 4);
        QCOMPARE(form->Cells(1, 1), QString("2.75"));
        QWidget* editor = QApplication::focusWidget();
        QCOMPARE(editor->objectName(), QString("CellEditor"));
        QTest::keyClick(editor, Qt::Key_PageDown);
        QCOMPARE(form->Row(), 14);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(form->Row(), 25);
        QCOMPARE(form->TopRowIndex(), 15); // the last rows in view
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(double(t->Cells(0, 0)->GetFloat()), 2.75);
    }

    void aRealMessageBoxOnDeactivation()
    {
        auto a = piles(2);
        auto b = piles(2);
        for (TGridTable* t : {a.get(), b.get()})
            t->SetFormFactory(TTableForm::Factory(m_area.get()));
        a->ShowForm();
        b->ShowForm();
        TTableForm* first = TTableForm::FromTable(*a);
        TTableForm* second = TTableForm::FromTable(*b);
        m_area->setActiveSubWindow(static_cast<QMdiSubWindow*>(first->Frame()));
        int boxes = 0;
        QPointer<QMessageBox> last;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box && box != last) {
                last = box;
                ++boxes;
                box->accept();
            }
        });
        closer.start(10);
        first->SetEditText("");
        m_area->setActiveSubWindow(static_cast<QMdiSubWindow*>(second->Frame()));
        QTest::qWait(100);
        QCOMPARE(boxes, 1);
        QCOMPARE(m_area->activeSubWindow(), first->Frame());
    }

    void deactivationCommitsAndStaysOnARefusal()
    {
        auto a = piles(2);
        auto b = piles(2);
        TTableForm* first = open(*a);
        TTableForm* second = open(*b);
        m_area->setActiveSubWindow(static_cast<QMdiSubWindow*>(first->Frame()));
        first->SetEditText("");
        m_area->setActiveSubWindow(static_cast<QMdiSubWindow*>(second->Frame()));
        QCOMPARE(m_messages, QStringList({"Entry could not be evaluated:\rentry cannot be blank"}));
        QCOMPARE(m_area->activeSubWindow(), first->Frame());
        first->SetEditText("4");
        m_area->setActiveSubWindow(static_cast<QMdiSubWindow*>(second->Frame()));
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(double(a->Cells(0, 0)->GetFloat()), 4.0);
    }

    void insertAndDeleteAtTheCurrentRow()
    {
        auto t = piles(4);
        TTableForm* form = open(*t);
        QVERIFY(form->SelectCell(1, 2)); // row 1
        form->BtnInsClick();
        QCOMPARE(t->RowCount(), 5);
        QCOMPARE(double(t->Cells(0, 1)->GetFloat()), 0.0);
        QCOMPARE(double(t->Cells(0, 2)->GetFloat()), 1.0);
        QCOMPARE(form->VisibleRows(), 5);
        form->BtnDelClick();
        form->BtnDelClick();
        QCOMPARE(t->RowCount(), 3);
        QCOMPARE(form->Cells(1, 2), QString("2"));
    }

    void aTableGoneTakesItsWindow()
    {
        QPointer<QWidget> frame;
        {
            auto t = piles(2);
            frame = open(*t)->Frame();
            QVERIFY(frame);
        }
        QVERIFY(!frame);
        auto t = piles(2);
        frame = open(*t)->Frame();
        t->CloseForm();
        QVERIFY(!frame);
        QVERIFY(!t->HasForm());
    }
    void embeddedInItsParentWithCommentsAndPicture()
    {
        QWidget host;
        host.resize(800, 600);
        host.show();
        auto t = piles(3);
        t->FormParent = &host;
        t->Comments = "Coordinates of the pile heads";
        TTableForm* form = open(*t);
        QCOMPARE(form->parentWidget(), &host);
        QCOMPARE(form->pos(), QPoint(0, 0));
        QCOMPARE(form->Frame(), form);
        QVERIFY(m_area->subWindowList().isEmpty());
        QVERIFY(form->Comments()->isVisibleTo(form));
        QCOMPARE(form->Comments()->text(), QString("Coordinates of the pile heads"));
        const int height = form->height();

        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::red);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        t->SetHelpPicture(png);
        QCOMPARE(form->HelpImage()->size(), QSize(40, 30));
        QCOMPARE(form->height(), height + form->Margin() + 30);
        QCOMPARE(form->HelpImage()->y(), form->Comments()->y() + form->Margin() + form->Comments()->height());
    }

    void aDraggedEdgeSnapsToWholeRows()
    {
        auto t = piles(25);
        TTableForm* form = open(*t);
        QWidget* frame = form->Frame();
        const int row = form->Grid()->verticalHeader()->defaultSectionSize();
        const QRect before = frame->geometry();

        QRect r = before;
        r.setHeight(before.height() - 3 * row - row / 2); // three and a half rows less
        const SizeCandidate chosen = form->WMSizing(SizingEdge::Bottom, r);
        form->ArrangeControls();
        QCOMPARE(chosen.Rows, 6);
        QCOMPARE(form->VisibleRows(), 6);
        QCOMPARE(frame->geometry(), r);
        QCOMPARE(form->Grid()->viewport()->height(), 6 * row);

        // From the top: the bottom stays where it was.
        QRect up = frame->geometry();
        up.setTop(up.top() - 2 * row);
        form->WMSizing(SizingEdge::Top, up);
        QCOMPARE(up.bottom(), frame->geometry().bottom());
        QCOMPARE(form->VisibleRows(), 7);
    }

    // The user drags the bottom edge three and a half rows up: four rows go.
    void draggingTheBottomEdgeSnaps()
    {
        auto t = piles(25);
        TTableForm* form = open(*t);
        auto* frame = static_cast<QMdiSubWindow*>(form->Frame());
        const int row = form->Grid()->verticalHeader()->defaultSectionSize();
        const QRect before = frame->geometry();
        const QPoint grip(frame->width() / 2, frame->height() - 1);
        const QPoint to = grip - QPoint(0, 3 * row + row / 2);
        // The pointer comes to the bottom edge (from inside the window, so
        // that it moves even if it was there already); on a real display its
        // motion arrives later: the press waits until the window shows that
        // the edge sizes it.
        QTest::mouseMove(frame, grip - QPoint(0, row));
        QTest::mouseMove(frame, grip);
        QTRY_COMPARE(frame->cursor().shape(), Qt::SizeVerCursor);
        QTest::mousePress(frame, Qt::LeftButton, {}, grip);
        QTest::mouseMove(frame, to);
        QTest::mouseRelease(frame, Qt::LeftButton, {}, to);
        QCOMPARE(form->VisibleRows(), 6);
        QTRY_COMPARE(frame->geometry(), before.adjusted(0, 0, 0, -4 * row));
        QCOMPARE(form->Grid()->viewport()->height(), 6 * row);
    }

    void aSizeChangedWithTheButtonDownSnaps()
    {
        auto t = piles(25);
        TTableForm* form = open(*t);
        auto* frame = static_cast<QMdiSubWindow*>(form->Frame());
        const int row = form->Grid()->verticalHeader()->defaultSectionSize();
        const QRect before = frame->geometry();
        // The window sized as a drag of its edges sizes it, the mouse button down.
        QTest::mousePress(form->Grid()->viewport(), Qt::LeftButton, {}, QPoint(1, 1));
        QVERIFY(QApplication::mouseButtons() & Qt::LeftButton);
        frame->setGeometry(before.adjusted(0, 0, 0, -(3 * row + row / 2)));
        QTRY_COMPARE(form->VisibleRows(), 6);
        QTRY_COMPARE(frame->geometry(), before.adjusted(0, 0, 0, -4 * row));
        QCOMPARE(form->Grid()->viewport()->height(), 6 * row);

        // From the top: the bottom stays.
        const QRect sized = frame->geometry();
        frame->setGeometry(sized.adjusted(0, -(2 * row + 3), 0, 0));
        QTRY_COMPARE(form->VisibleRows(), 8);
        QTRY_COMPARE(frame->geometry().height(), sized.height() + 2 * row);
        QCOMPARE(frame->geometry().bottom(), sized.bottom());
        QTest::mouseRelease(form->Grid()->viewport(), Qt::LeftButton, {}, QPoint(1, 1));

        // Without the button (a program sizing it) nothing snaps.
        frame->setGeometry(frame->geometry().adjusted(0, 0, 0, -row / 2));
        QTest::qWait(20);
        QCOMPARE(form->VisibleRows(), 8);
    }

    void aNarrowedWindowScrollsItsColumns()
    {
        auto soil = MakeSoilLayerTable();
        soil->SetRowCount(2);
        TTableForm* form = open(*soil);
        QWidget* frame = form->Frame();
        QCOMPARE(form->VisibleCols(), 6);
        QRect r = frame->geometry();
        r.setWidth(r.width() * 2 / 3);
        const SizeCandidate chosen = form->WMSizing(SizingEdge::Right, r);
        form->ArrangeControls();
        QVERIFY(chosen.Cols < 6);
        QCOMPARE(form->VisibleCols(), chosen.Cols);
        QCOMPARE(form->Grid()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(frame->geometry(), r);

        // Walking right past the last shown column brings the next one into view.
        for (int i = 1; i < 6; ++i)
            QVERIFY(form->SelectCell(i + 1, form->Row()));
        QCOMPARE(form->Col(), 6);
        QCOMPARE(form->LeftColIndex(), 6 - chosen.Cols);
        QCOMPARE(form->Grid()->viewport()->width(), [&] {
            int w = 0;
            for (int k = form->LeftColIndex(); k < 6; ++k)
                w += form->Grid()->columnWidth(k);
            return w;
        }());
    }

    // Narrowed to three columns and scrolled to the end with the bar's
    // arrow: the last column ends at the viewport's edge, and the header,
    // the cells and the editors over them agree.
    void scrolledToTheEndShowsTheLastColumnWhole()
    {
        for (const bool subTables : {false, true}) {
            const char* what = subTables ? "with a sub-table column" : "float and integer columns";
            auto soil = MakeSoilLayerTable();
            if (subTables) {
                auto* column = static_cast<TTableColumn*>(soil->AddColumn(std::make_unique<TTableColumn>(soil.get())));
                column->Captions() = QStringList{"Table"};
                soil->SyncTemplateLists();
            }
            soil->SetRowCount(2);
            TTableForm* form = open(*soil);
            QTableView* grid = form->Grid();
            const int cols = grid->model()->columnCount();
            narrowTo(*form, 3);
            QVERIFY2(form->VisibleCols() == 3, what);

            QScrollBar* bar = grid->horizontalScrollBar();
            for (int i = 0; i < cols && bar->value() < bar->maximum(); ++i) {
                clickAddArrow(bar);
            }
            QVERIFY2(bar->value() == cols - 3 && bar->maximum() == cols - 3, what);
            QCOMPARE(form->LeftColIndex(), cols - 3);

            const auto lastColumnAtTheEdge = [&] {
                const int edge = grid->viewport()->width();
                QHeaderView* header = grid->horizontalHeader();
                bool held = header->sectionViewportPosition(cols - 3) == 0
                            && header->sectionViewportPosition(cols - 1) + header->sectionSize(cols - 1) == edge;
                for (int k = cols - 3; k < cols; ++k)
                    held = held && grid->visualRect(grid->model()->index(0, k)).left() == header->sectionViewportPosition(k);
                return held;
            };
            QVERIFY2(lastColumnAtTheEdge(), what);
            // A refill of the grid, the current cell in view, keeps it so.
            QVERIFY2(form->SelectCell(cols - 2, form->HeaderRows()), what);
            form->BtnAdd()->click();
            QVERIFY2(bar->value() == cols - 3, what);
            QVERIFY2(lastColumnAtTheEdge(), what);
            // The grid and its bar lie within the window.
            QVERIFY2(grid->geometry().right() < form->width(), what);
            QVERIFY2(form->Frame()->geometry().contains(form->Frame()->mapFromGlobal(
                         bar->mapToGlobal(bar->rect().bottomRight()))),
                     what);
            if (subTables) {
                int shown = 0;
                for (QPushButton* b : grid->viewport()->findChildren<QPushButton*>()) {
                    if (!b->isVisibleTo(form))
                        continue;
                    ++shown;
                    const int row = b->text().section(':', 0, 0).toInt() - 1;
                    QCOMPARE(b->geometry(), grid->visualRect(grid->model()->index(row, cols - 1)));
                }
                QCOMPARE(shown, 3);
            }
        }
    }

    // The horizontal bar shows where the view is: narrowed to three, four
    // or five columns and scrolled step by step to the end, its range is the
    // columns that are not shown, its value the first column shown and its
    // page (the thumb's length) the columns shown, also after the view has
    // done its own layout.
    void theBarShowsWhereTheViewIs()
    {
        for (int keep = 3; keep <= 5; ++keep) {
            auto soil = MakeSoilLayerTable();
            soil->SetRowCount(2);
            TTableForm* form = open(*soil);
            QTableView* grid = form->Grid();
            QScrollBar* bar = grid->horizontalScrollBar();
            QHeaderView* header = grid->horizontalHeader();
            const int cols = grid->model()->columnCount();
            // The first column the viewport shows and how many it shows
            // whole, against the bar.
            const auto checkBar = [&](const QByteArray& what) {
                QCoreApplication::processEvents();
                const int first = header->logicalIndexAt(0);
                int shown = 0;
                while (first + shown < cols
                       && header->sectionViewportPosition(first + shown) + header->sectionSize(first + shown)
                              <= grid->viewport()->width())
                    ++shown;
                QVERIFY2(header->sectionViewportPosition(first) == 0, what.constData());
                QVERIFY2(shown == form->VisibleCols(), what.constData());
                QVERIFY2(bar->minimum() == 0 && bar->maximum() == cols - shown, what.constData());
                QVERIFY2(bar->value() == first && bar->sliderPosition() == first, what.constData());
                QVERIFY2(bar->pageStep() == shown, what.constData());
            };
            narrowTo(*form, keep);
            const QByteArray columns = QByteArray::number(keep) + " columns";
            for (int step = 0; step < cols; ++step) {
                checkBar(columns + ", step " + QByteArray::number(step));
                if (QTest::currentTestFailed() || form->LeftColIndex() + form->VisibleCols() == cols)
                    break;
                clickAddArrow(bar);
            }
            QCOMPARE(form->LeftColIndex() + form->VisibleCols(), cols);
            // A refill keeps the view and the bar at the end.
            QVERIFY(form->SelectCell(cols, form->HeaderRows()));
            form->BtnAdd()->click();
            checkBar(columns + ", refilled");
            QCOMPARE(form->LeftColIndex() + form->VisibleCols(), cols);
            soil->CloseForm();
        }
    }

    // Scrolled to the end with three columns, then maximised in a workspace
    // that holds four: the shown columns still end with the last one, whole
    // at the viewport's edge, and the bar stands at its end.
    void maximisedAtTheEndShowsTheLastColumnWhole()
    {
        auto soil = MakeSoilLayerTable();
        soil->SetRowCount(2);
        TTableForm* form = open(*soil);
        auto* frame = static_cast<QMdiSubWindow*>(form->Frame());
        QTableView* grid = form->Grid();
        QScrollBar* bar = grid->horizontalScrollBar();
        QHeaderView* header = grid->horizontalHeader();
        const int cols = grid->model()->columnCount();
        narrowTo(*form, 3);
        bar->setValue(bar->maximum());
        QCoreApplication::processEvents();
        QCOMPARE(form->LeftColIndex(), cols - 3);

        // Room for one column more than the window shows, not for two.
        const int extra = m_area->width() - m_area->viewport()->width();
        m_area->resize(form->width() + grid->columnWidth(cols - 4) + grid->columnWidth(cols - 5) / 2 + extra, 900);
        frame->showMaximized();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(form->VisibleCols(), 4);
        QCOMPARE(form->LeftColIndex(), cols - 4);
        QCOMPARE(header->sectionViewportPosition(cols - 4), 0);
        QCOMPARE(header->sectionViewportPosition(cols - 1) + header->sectionSize(cols - 1), grid->viewport()->width());
        QCOMPARE(bar->value(), bar->maximum());
        QCOMPARE(bar->maximum(), cols - 4);
    }

    // Sizes other than a dragged edge: the window arranges itself, its grid
    // with whole rows, its scroll bar and its buttons in view.
    void everySizeKeepsTheGridAndButtonsInView()
    {
        struct Case {
            const char* what;
            std::function<void(QMdiSubWindow& frame, QMdiArea& area)> resize;
            bool ownSize; // the window ends in the size it had
        };
        const Case cases[] = {
            {"maximised", [](QMdiSubWindow& f, QMdiArea&) { f.showMaximized(); }, false},
            {"maximised and restored",
             [](QMdiSubWindow& f, QMdiArea&) {
                 f.showMaximized();
                 QCoreApplication::processEvents();
                 f.showNormal();
             },
             true},
            {"maximised in a workspace that shrinks",
             [](QMdiSubWindow& f, QMdiArea& a) {
                 f.showMaximized();
                 QCoreApplication::processEvents();
                 a.resize(400, 200);
             },
             false},
            {"sized by the program", [](QMdiSubWindow& f, QMdiArea&) { f.resize(200, 150); }, true},
            {"cascaded", [](QMdiSubWindow&, QMdiArea& a) { a.cascadeSubWindows(); }, true},
            {"tiled", [](QMdiSubWindow&, QMdiArea& a) { a.tileSubWindows(); }, true},
        };
        for (const Case& c : cases) {
            m_area->resize(1200, 900);
            auto t = piles(25);
            TTableForm* form = open(*t);
            auto* frame = static_cast<QMdiSubWindow*>(form->Frame());
            const QSize own = frame->size();
            c.resize(*frame, *m_area);
            QCoreApplication::processEvents();

            QTableView* grid = form->Grid();
            const QRect shown = frame->rect();
            const auto inView = [&](QWidget* w) { return shown.contains(QRect(w->mapTo(frame, QPoint(0, 0)), w->size())); };
            QVERIFY2(inView(grid), c.what);
            QVERIFY2(inView(grid->verticalScrollBar()), c.what);
            for (QPushButton* b : {form->BtnAdd(), form->BtnIns(), form->BtnDel()})
                QVERIFY2(inView(b), c.what);
            QVERIFY2(grid->viewport()->height() == form->VisibleRows() * grid->verticalHeader()->defaultSectionSize(),
                     c.what);
            // The last row comes into view at the bar's end.
            grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
            QVERIFY2(form->TopRowIndex() + form->VisibleRows() == t->RowCount(), c.what);
            if (c.ownSize)
                QVERIFY2(frame->size() == own, c.what);
            t->CloseForm();
        }
    }

    void subTablesOpenFromTheirButtons()
    {
        auto templ = MakePileCoordinateTable();
        templ->Caption = "Piles";
        TGridTable groups;
        groups.Caption = "Groups";
        auto choice = std::make_unique<TEnumColumn>(&groups);
        choice->Captions() = QStringList{"Kind"};
        choice->SetItems({"piles", "none"});
        auto* kinds = static_cast<TEnumColumn*>(groups.AddColumn(std::move(choice)));
        auto* subs = static_cast<TTableColumn*>(groups.AddColumn(std::make_unique<TTableColumn>(&groups)));
        subs->Captions() = QStringList{"Table"};
        groups.SyncTemplateLists();
        subs->Templates.Delete(0);
        subs->Templates.InsertTable(0, templ.get());
        groups.SetRowCount(3);
        TTableForm* form = open(groups);

        const auto buttons = form->Grid()->viewport()->findChildren<QPushButton*>();
        const auto combos = form->Grid()->viewport()->findChildren<QComboBox*>();
        QCOMPARE(buttons.size(), 3);
        QCOMPARE(combos.size(), 3);
        QStringList captions;
        for (QPushButton* b : buttons)
            captions << b->text();
        captions.sort();
        QCOMPARE(captions, QStringList({"1: Piles", "2: Piles", "3: Piles"}));

        QPushButton* second = nullptr;
        for (QPushButton* b : buttons)
            if (b->text() == "2: Piles")
                second = b;
        second->click();
        TTableForm* sub = TTableForm::FromTable(*subs->GetTable(1));
        QVERIFY(sub);
        QCOMPARE(sub->Frame()->windowTitle(), QString("Piles  2"));

        // The first row's choice changes: its sub-table goes, the window of
        // the second row's follows its new number.
        QVERIFY(form->SelectCell(1, 1 + 0));
        form->BtnDelClick();
        QCOMPARE(sub->Frame()->windowTitle(), QString("Piles  1"));
        kinds->SetInt(0, 2);
        QVERIFY(!TTableForm::FromTable(*templ));
        QCOMPARE(subs->GetObject(0), nullptr);
        QStringList after;
        for (QPushButton* b : form->Grid()->viewport()->findChildren<QPushButton*>())
            if (b->isVisibleTo(form))
                after << b->text();
        after.sort();
        QCOMPARE(after, QStringList({"1: ", "2: Piles"}));
    }

    // A row's choice taken again changes nothing; another one is an edit.
    void onlyANewChoiceMarksTheTable()
    {
        struct Case {
            const char* what;
            int item; // 0-based; the rows hold the first
            bool modified;
        };
        const Case cases[] = {{"the same choice", 0, false}, {"another choice", 1, true}};
        for (const Case& c : cases) {
            TGridTable t;
            auto length = std::make_unique<TFloatColumn>(&t);
            length->Captions() = QStringList{"Length"};
            t.AddColumn(std::move(length));
            auto kind = std::make_unique<TEnumColumn>(&t);
            kind->Captions() = QStringList{"Kind"};
            kind->SetItems({"fixed", "free"});
            auto* kinds = static_cast<TEnumColumn*>(t.AddColumn(std::move(kind)));
            t.SetRowCount(2);
            TTableForm* form = open(t);
            QComboBox* combo = nullptr;
            for (QComboBox* b : form->Grid()->viewport()->findChildren<QComboBox*>())
                if (b->property("editorIndex").toInt() == 1)
                    combo = b;
            QVERIFY2(combo, c.what);
            // Entering the list makes its row current, as a click on it does.
            combo->setFocus(Qt::MouseFocusReason);
            QTRY_VERIFY2(combo->hasFocus(), c.what);
            QVERIFY2(!t.IsModified(), c.what);
            combo->setCurrentIndex(c.item);
            emit combo->activated(c.item);
            QVERIFY2(kinds->GetInt(1) == c.item + 1, c.what);
            QVERIFY2(t.IsModified() == c.modified, c.what);
            t.CloseForm();
        }
    }

    void aRealMessageBoxComesOnce()
    {
        auto soil = MakeSoilLayerTable();
        soil->SetRowCount(2);
        soil->SetFormFactory(TTableForm::Factory(m_area.get()));
        soil->ShowForm();
        TTableForm* form = TTableForm::FromTable(*soil);
        QVERIFY(form->SelectCell(2, 2));
        int boxes = 0;
        QPointer<QMessageBox> last;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box && box != last) {
                last = box;
                ++boxes;
                QCOMPARE(box->text(), QString("Entry must be an integer."));
                box->accept();
            }
        });
        closer.start(10);
        form->SetEditText("2.5");
        QWidget* editor = form->Grid()->indexWidget(form->Grid()->model()->index(0, 1));
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Down);
        QCOMPARE(boxes, 1);
        QCOMPARE(form->Row(), 2);
        QVERIFY(!form->Frame()->close());
        QCOMPARE(boxes, 2);
        QTest::qWait(50);
        QCOMPARE(boxes, 2); // nothing asks again once the box has gone
        form->SetEditText("4");
        QVERIFY(form->Frame()->close());
        QCOMPARE(soil->Cells(1, 0)->GetInt(), 4);
        QCOMPARE(boxes, 2);
    }
};

QTEST_MAIN(TableFormTest)
#include "TableFormTest.moc"
