// The side and top views as windows, headless: opened from the main window,
// rebuilt on every activation, drawn into images, read by the mouse and
// printed to a PDF file.

#include "DialogTestSupport.h"
#include "GeometryView.h"
#include "PileSide.h"
#include "PileTop.h"
#include "DataDialog.h"
#include "TableForm.h"

#include "ColumnTypes.h"
#include "NumberText.h"
#include "Table.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <vector>

namespace {

class SilentDialogs : public UserDialogs {
public:
    Reply AskSaveChanges(QWidget*) override { return Reply::No; }
    void Inform(QWidget*, const QString& message) override { messages << message; }
    QString ChooseOpenFile(QWidget*, int&) override { return QString(); }
    QString ChooseSaveFile(QWidget*, const QString&, const QString&) override { return QString(); }
    QStringList messages;
};

struct Pile {
    Extended X;
    Extended Y;
};

void setLayers(ProjectTables& t, const std::vector<Extended>& thicknesses)
{
    t.D().SetRowCount(static_cast<int>(thicknesses.size()));
    for (int i = 0; i < t.D().RowCount(); ++i)
        t.D().Cells(0, i)->SetFloat(thicknesses[static_cast<std::size_t>(i)]);
}

void setPiles(ProjectTables& t, const std::vector<Pile>& piles)
{
    t.PileCoord().SetRowCount(static_cast<int>(piles.size()));
    for (int i = 0; i < t.PileCoord().RowCount(); ++i) {
        t.PileCoord().Cells(0, i)->SetFloat(piles[static_cast<std::size_t>(i)].X);
        t.PileCoord().Cells(1, i)->SetFloat(piles[static_cast<std::size_t>(i)].Y);
    }
}

bool isDark(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

void moveMouse(QWidget* w, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

} // namespace

class GeometryViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TMainForm> makeForm()
    {
        auto form = std::make_unique<TMainForm>();
        auto dialogs = std::make_unique<SilentDialogs>();
        m_dialogs = dialogs.get();
        form->SetDialogs(std::move(dialogs));
        form->resize(1200, 900);
        form->show();
        return form;
    }

    // Three layers (2, 3 and 5 deep) and one pile of radius 0.5 and length 8 at 0.
    std::unique_ptr<TMainForm> makeFormWithOnePile()
    {
        auto form = makeForm();
        setLayers(form->Tables(), {2, 3, 5});
        setPiles(form->Tables(), {{0, 0}});
        form->ProgramData().PileRadius = 0.5L;
        form->ProgramData().PileLength = 8;
        return form;
    }

    // Activates a child window as a click does; a view rebuilds once the
    // activation has been handled.
    static void activate(QMdiArea* area, QWidget* child)
    {
        area->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(child->parentWidget()));
        QCoreApplication::processEvents();
    }

    template <class View>
    View* open(TMainForm& form, ChildKind kind)
    {
        form.ShowChild(kind);
        QCoreApplication::processEvents();
        QMdiSubWindow* active = form.MdiArea()->activeSubWindow();
        return active ? qobject_cast<View*>(active->widget()) : nullptr;
    }

    std::unique_ptr<QTemporaryDir> m_settingsDir;
    SilentDialogs* m_dialogs = nullptr;

private slots:
    void initTestCase()
    {
        m_settingsDir = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settingsDir->path());
        // The file dialogs keep their last folder in Qt's own settings file:
        // this test's, not the user's nor another test's running beside it.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir->path());
    }

    void viewsOpenFromTheMenuAndRebuildOnEveryActivation()
    {
        auto form = makeFormWithOnePile();

        auto* side = open<TDlgSideView>(*form, ChildKind::SideView);
        QVERIFY(side);
        QCOMPARE(side->windowTitle(), "Side View");
        QCOMPARE(side->PrintButton()->text(), "Print");
        QCOMPARE(side->parentWidget()->size(), QSize(727, 590));
        QCOMPARE(side->Profile().Layers.size(), 3u);
        QCOMPARE(side->ModelBounds().YAtBottom, 10.5L);
        QVERIFY(side->ShownBounds());

        auto* top = open<TDlgTopView>(*form, ChildKind::TopView);
        QVERIFY(top);
        QCOMPARE(top->windowTitle(), "Top View");
        QCOMPARE(top->parentWidget()->size(), QSize(610, 392));
        QCOMPARE(top->Plan().Circles.size(), 1u);

        // Typing while another window is active, then switching back.
        setLayers(form->Tables(), {2, 3, 5, 10});
        setPiles(form->Tables(), {{0, 0}, {4, 2}});
        QCOMPARE(side->Profile().Layers.size(), 3u);
        QCOMPARE(open<TDlgSideView>(*form, ChildKind::SideView), side); // one side view
        QCOMPARE(side->Profile().Layers.size(), 4u);
        QCOMPARE(side->Profile().Shapes.size(), 2u);
        QCOMPARE(side->ModelBounds().YAtBottom, 21.0L);
        activate(form->MdiArea(), top);
        QCOMPARE(top->Plan().Circles.size(), 2u);
        QCOMPARE(top->ModelBounds().MaxX, 4.5L);

        // Minimised and restored: nothing fails, and the view draws again.
        auto* sideFrame = qobject_cast<QMdiSubWindow*>(side->parentWidget());
        sideFrame->showMinimized();
        side->repaint();
        moveMouse(side, QPoint(0, 0));
        sideFrame->showNormal();
        form->MdiArea()->setActiveSubWindow(sideFrame);
        QTRY_VERIFY(side->ShownBounds());
        QVERIFY(!GetNoDraw(*side->ShownBounds()));

        // Closing and opening again starts from the current table.
        QPointer<TDlgTopView> old = top;
        top->parentWidget()->close();
        QTRY_VERIFY(!old);
        setPiles(form->Tables(), {{-1, 0}, {1, 0}, {3, 0}});
        top = open<TDlgTopView>(*form, ChildKind::TopView);
        QVERIFY(top);
        QCOMPARE(top->Plan().Circles.size(), 3u);
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void printsFileDialogStartsInTheProjectsFolder()
    {
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("A printer is installed: Print opens the print dialog, not a file dialog.");
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("first") && QDir(dir.path()).mkpath("second")
                && QDir(dir.path()).mkpath("elsewhere"));
        auto form = makeFormWithOnePile();
        auto* side = open<TDlgSideView>(*form, ChildKind::SideView);
        auto* top = open<TDlgTopView>(*form, ChildKind::TopView);
        QVERIFY(side && top);
        const auto canonical = [&dir](const char* folder) { return QFileInfo(dir.filePath(folder)).canonicalFilePath(); };
        // Where the next Print's file dialog starts; the user may go to
        // another folder in it, and cancels.
        auto startOfPrint = [](GeometryView* view, const QString& goTo = QString()) {
            QString started;
            QTimer::singleShot(0, [&started, &goTo] {
                QFileDialog* d = nullptr;
                QTRY_VERIFY((d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) != nullptr);
                started = QFileInfo(d->directory().absolutePath()).canonicalFilePath();
                if (!goTo.isEmpty())
                    d->setDirectory(goTo);
                d->reject();
            });
            view->Button1Click();
            return started;
        };
        for (GeometryView* view : {static_cast<GeometryView*>(side), static_cast<GeometryView*>(top)}) {
            // The folder is asked for at each Print: a project saved elsewhere meanwhile prints there.
            form->ProgramData().FileName = dir.filePath("first/p.kld");
            QCOMPARE(startOfPrint(view), canonical("first"));
            form->ProgramData().FileName = dir.filePath("second/p.kld");
            QCOMPARE(startOfPrint(view, dir.filePath("elsewhere")), canonical("second"));
            // A project never saved: the dialog starts where the last file
            // dialog was left, not in the folder of the project before.
            form->ProgramData().FileName = DefaultProjectFileName();
            QCOMPARE(startOfPrint(view), canonical("elsewhere"));
        }
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    // A view rebuilds from what the window it was activated from has stored,
    // whichever of the two was opened first.
    void aViewShowsTheEditsOfTheWindowItWasActivatedFrom_data()
    {
        QTest::addColumn<int>("view");
        QTest::addColumn<bool>("viewFirst");
        QTest::addColumn<bool>("inTable");
        QTest::addColumn<int>("place");  // the dialog's field, or the table's column
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("bound"); // the model bound the edit moves
        const int side = int(ChildKind::SideView);
        const int top = int(ChildKind::TopView);
        for (const bool viewFirst : {true, false}) {
            const char* order = viewFirst ? "view first" : "view last";
            // Pile Length 20 takes the side view to 20 x 1.05.
            QTest::addRow("side, pile length, %s", order) << side << viewFirst << false << 7 << "20" << 21.0;
            // Pile radius 2 at the origin: the top view's extent to 2.
            QTest::addRow("top, pile radius, %s", order) << top << viewFirst << false << 0 << "2" << 2.0;
            // The pile's Y-Coord. 3, radius 0.5: the side view's right edge at 3.5 x 1.05.
            QTest::addRow("side, pile table, %s", order) << side << viewFirst << true << 2 << "3" << 3.675;
            // The pile's X-Coord. 4: the top view's right edge at 4.5.
            QTest::addRow("top, pile table, %s", order) << top << viewFirst << true << 1 << "4" << 4.5;
        }
    }

    void aViewShowsTheEditsOfTheWindowItWasActivatedFrom()
    {
        QFETCH(int, view);
        QFETCH(bool, viewFirst);
        QFETCH(bool, inTable);
        QFETCH(int, place);
        QFETCH(QString, text);
        QFETCH(double, bound);
        auto form = makeForm();
        setLayers(form->Tables(), {2, 3, 5});
        setPiles(form->Tables(), {{0, 0}});
        form->ProgramData().PileRadius = 0.5L;
        form->ProgramData().PileLength = 12;
        const auto kind = ChildKind(view);
        const auto openData = [&] {
            if (inTable)
                form->Tables().PileCoord().ShowForm();
            else
                form->ShowChild(ChildKind::PileProperties);
            QCoreApplication::processEvents();
        };
        if (viewFirst) {
            open<GeometryView>(*form, kind);
            openData();
        } else {
            openData();
            open<GeometryView>(*form, kind);
            openData(); // back to the data window
        }
        QMdiSubWindow* dataFrame = form->MdiArea()->currentSubWindow();
        QVERIFY(dataFrame);
        if (inTable) {
            TTableForm* table = TTableForm::FromSubWindow(dataFrame);
            QVERIFY(table);
            QVERIFY(table->SelectCell(place, table->HeaderRows()));
            table->SetEditText(text);
        } else {
            auto* dialog = ActiveChild<NumberDialog>(*form);
            QVERIFY(dialog);
            TypeInto(dialog->Fields().at(std::size_t(place)), text);
        }

        GeometryView* shown = nullptr;
        for (QMdiSubWindow* w : form->MdiArea()->subWindowList())
            if (auto* v = qobject_cast<GeometryView*>(w->widget()))
                shown = v;
        QVERIFY(shown);
        activate(form->MdiArea(), shown);
        const Extended got = kind == ChildKind::SideView && !inTable ? shown->ModelBounds().YAtBottom
                                                                    : shown->ModelBounds().MaxX;
        QVERIFY2(std::fabs(got - Extended(bound)) < 1e-9L, qPrintable(QString::number(double(got))));
        QVERIFY2(m_dialogs->messages.isEmpty(), qPrintable(m_dialogs->messages.join(" | ")));
    }

    void aViewWithoutExtentDrawsAgainOnceTheDataGiveItOne()
    {
        auto form = makeForm();
        setLayers(form->Tables(), {0});
        setPiles(form->Tables(), {{0, 0}});
        form->ProgramData().PileRadius = 0;
        form->ProgramData().PileLength = 0;
        auto* side = open<TDlgSideView>(*form, ChildKind::SideView);
        auto* top = open<TDlgTopView>(*form, ChildKind::TopView);
        QVERIFY(side && top);
        QVERIFY(GetNoDraw(top->ModelBounds()));
        QVERIFY(!top->ShownBounds());
        // Nothing is drawn and the mouse reads nothing.
        moveMouse(top, QPoint(10, 10));
        QCOMPARE(top->windowTitle(), "Top View");
        const QImage blank = top->grab().toImage();
        QVERIFY(!isDark(blank, blank.width() / 2, blank.height() / 2));

        form->ProgramData().PileRadius = 0.5L;
        form->ProgramData().PileLength = 5;
        setLayers(form->Tables(), {6});
        open<TDlgSideView>(*form, ChildKind::SideView);
        QVERIFY(side->ShownBounds());
        open<TDlgTopView>(*form, ChildKind::TopView);
        QVERIFY(top->ShownBounds());
        const QImage drawn = top->grab().toImage();
        QVERIFY(isDark(drawn, drawn.width() / 2, drawn.height() / 2)); // the pile at the origin
    }

    void aTableErrorIsShownOnceAndClosesTheView()
    {
        struct Case {
            const char* name;
            bool textColumns;
            QString message;
        };
        const Case cases[] = {
            {"missing column", false, GeometryView::SectionsMessage()},
            {"text column", true, QStringLiteral("Data of wrong type")},
        };
        for (const Case& c : cases) {
            QMdiArea area;
            area.resize(800, 600);
            area.show();
            ProjectTables project;
            TProgramData data;
            TGridTable piles;
            if (c.textColumns) {
                piles.AddColumn(std::make_unique<TStringColumn>(&piles));
                piles.AddColumn(std::make_unique<TStringColumn>(&piles));
            } else {
                piles.AddColumn(std::make_unique<TFloatColumn>(&piles));
            }
            piles.SetRowCount(3); // three rows, one message
            for (int kind = 0; kind < 2; ++kind) {
                GeometryView* view = kind == 0 ? static_cast<GeometryView*>(new TDlgSideView(
                                                      project.D(), piles, [&]() -> const TProgramData& { return data; }))
                                                : new TDlgTopView(piles, [&]() -> const TProgramData& { return data; });
                QStringList messages;
                view->SetMessageHandler([&](const QString& m) { messages << m; });
                view->FollowActivations(&area);
                QPointer<QMdiSubWindow> frame = area.addSubWindow(view);
                frame->setAttribute(Qt::WA_DeleteOnClose);
                frame->show();
                QCoreApplication::processEvents();
                if (!view->Closed())
                    activate(&area, view);
                QCOMPARE(messages, QStringList{c.message});
                QVERIFY(view->Closed());
                QTRY_VERIFY(!frame);
            }
        }
    }

    void theMouseReadsTheShownBounds()
    {
        auto form = makeForm();
        setLayers(form->Tables(), {2, 3, 5});
        setPiles(form->Tables(), {{-1, 1}, {1, -1}});
        form->ProgramData().PileRadius = 0.25L;
        form->ProgramData().PileLength = 8;
        const QChar sep = localeDecimalSeparator();

        auto* side = open<TDlgSideView>(*form, ChildKind::SideView);
        QVERIFY(side && side->ShownBounds());
        const ViewBounds s = *side->ShownBounds();
        moveMouse(side, QPoint(side->width() / 2, side->height() / 2));
        const auto mid = PixelToModel(s, side->width(), side->height(), side->width() / 2, side->height() / 2);
        QCOMPARE(side->windowTitle(), "Side View X: " + FixedOneDecimalText(mid->X, sep)
                                          + " Depth: " + FixedOneDecimalText(mid->Y, sep));
        // The middle of the shown bounds, to the read-out's one decimal.
        QVERIFY(std::fabs(mid->X - (s.MinX + s.MaxX) / 2) < 0.05L * s.RangeX() / side->width() * 20);
        QVERIFY(std::fabs(mid->Y - (s.YAtTop + s.YAtBottom) / 2) < 0.05L);

        auto* top = open<TDlgTopView>(*form, ChildKind::TopView);
        QVERIFY(top && top->ShownBounds());
        const auto readY = [&](int py) {
            moveMouse(top, QPoint(top->width() / 2, py));
            const QString title = top->windowTitle();
            Extended y = 0;
            const QString text = title.mid(title.lastIndexOf(QStringLiteral("Y: ")) + 3);
            [&] { QVERIFY2(parseNumber(text, sep, y), qPrintable(title)); }();
            return y;
        };
        const Extended lower = readY(top->height() - 10);
        const Extended middle = readY(top->height() / 2);
        const Extended upper = readY(10);
        QVERIFY(lower < middle);
        QVERIFY(middle < upper); // moving up increases Y
        QVERIFY(std::fabs(middle) <= 0.05L);
    }

    void aClientAreaWithoutWidthOrHeightDrawsNothing()
    {
        ProjectTables project;
        setLayers(project, {2, 3});
        setPiles(project, {{0, 0}, {2, 1}});
        TProgramData data;
        data.PileRadius = 0.5L;
        data.PileLength = 4;
        TDlgSideView side(project.D(), project.PileCoord(), [&]() -> const TProgramData& { return data; });
        TDlgTopView top(project.PileCoord(), [&]() -> const TProgramData& { return data; });
        for (GeometryView* view : {static_cast<GeometryView*>(&side), static_cast<GeometryView*>(&top)}) {
            view->show();
            view->FormActivate();
            QVERIFY(view->ShownBounds());
            const QString title = view->windowTitle();
            for (const QSize size : {QSize(300, 0), QSize(0, 300)}) {
                view->resize(size);
                view->FormActivate();
                QVERIFY(!view->ShownBounds());
                view->repaint();
                moveMouse(view, QPoint(0, 0));
                QCOMPARE(view->windowTitle(), title);
            }
            view->resize(400, 300);
            QVERIFY(view->ShownBounds());
            QVERIFY(!GetNoDraw(*view->ShownBounds()));
        }
    }

    void layersAndPilesAreDrawnWhereTheMappingPutsThem()
    {
        ProjectTables project;
        setLayers(project, {2, 3, 5});
        setPiles(project, {{0, 0}});
        const SideProfile profile = BuildSideProfile(project.D(), project.PileCoord(), 0.5L, 8,
                                                      SideProfile().ModelBounds);
        // 100 pixels a unit: lines at rows 200, 500 and 1000, the pile from
        // x 175 to 525 down to row 800.
        QImage image(700, 1050, QImage::Format_RGB32);
        image.fill(Qt::red);
        {
            QPainter painter(&image);
            DrawSideView(painter, {700, 1050, 96, 96, false}, profile, {-1, 1, 0, 10.5L}, Qt::white, Qt::black);
        }
        QVERIFY(!isDark(image, 650, 100) && qRed(image.pixel(650, 100)) == 255 && qGreen(image.pixel(650, 100)) == 255);
        for (int row : {200, 500, 1000}) {
            QVERIFY2(isDark(image, 650, row), qPrintable(QString::number(row)));
            QVERIFY(!isDark(image, 650, row + 3));
        }
        QVERIFY(isDark(image, 350, 700));  // inside the pile
        QVERIFY(!isDark(image, 600, 700)); // beside it
        QVERIFY(isDark(image, 525, 700));  // its right edge
        QVERIFY(!isDark(image, 350, 830)); // below its tip
        QVERIFY(isDark(image, 127, 2));    // the hatch under the ground line
    }

    void layerLabelsStayReadableOverThePiles_data()
    {
        QTest::addColumn<bool>("page");
        QTest::newRow("window") << false;
        QTest::newRow("printed page") << true;
    }

    void layerLabelsStayReadableOverThePiles()
    {
        // A 2 x 2 group at positive coordinates: its first piles stand at
        // the left edge, where the labels stand, two in each place. Every
        // pixel of a label's text that lies on a pile reads as it does with
        // no pile there.
        QFETCH(bool, page);
        ProjectTables project;
        setLayers(project, {4, 6});
        setPiles(project, {{0.5L, 0.5L}, {2.5L, 0.5L}, {0.5L, 2.5L}, {2.5L, 2.5L}});
        SideProfile profile = BuildSideProfile(project.D(), project.PileCoord(), 0.5L, 8, SideProfile().ModelBounds);
        const ViewSurface surface = page ? ViewSurface{1100, 850, 100, 100, true} : ViewSurface{727, 590, 96, 96, false};
        const auto shown = FitAspect(profile.ModelBounds, surface.Width, surface.Height);
        QVERIFY(shown);
        auto draw = [&](const SideProfile& p) {
            QImage image(surface.Width, surface.Height, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            DrawSideView(painter, surface, p, *shown, Qt::white, Qt::black);
            return image;
        };
        const QImage withPiles = draw(profile);
        const SideDrawing layout = LayOutSideProfile(profile, *shown, surface, localeDecimalSeparator());
        profile.Shapes.clear();
        const QImage withoutPiles = draw(profile);

        QImage probe(1, 1, QImage::Format_RGB32);
        const QFontMetrics metrics = QPainter(&probe).fontMetrics();
        QCOMPARE(layout.Labels.size(), std::size_t(2));
        int textOnPiles = 0;
        for (const SideDrawing::Label& label : layout.Labels) {
            const QRect first(label.TopLeft, QSize(metrics.horizontalAdvance(label.Text.First), metrics.height()));
            const QRect second = QRect(first.bottomLeft() + QPoint(0, 1),
                                       QSize(metrics.horizontalAdvance(label.Text.Second), metrics.height()));
            for (const auto& pile : layout.Piles) {
                const QRect inside = QRect(pile[0], pile[2]).adjusted(2, 2, -2, -2);
                for (const QRect& text : {first & inside, second & inside})
                    for (int x = text.left(); x <= text.right(); ++x)
                        for (int y = text.top(); y <= text.bottom(); ++y) {
                            QVERIFY2(withPiles.pixel(x, y) == withoutPiles.pixel(x, y),
                                     qPrintable(QStringLiteral("%1 at %2, %3").arg(label.Text.First).arg(x).arg(y)));
                            textOnPiles += isDark(withoutPiles, x, y);
                        }
                // The pile itself is still drawn below the labels.
                QVERIFY(isDark(withPiles, inside.center().x(), inside.bottom()));
            }
        }
        QVERIFY(textOnPiles > 20);
    }

    void circlesAreDrawnRound()
    {
        ProjectTables project;
        setPiles(project, {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}});
        const PlanView plan = BuildPlanView(project.PileCoord(), 0.25L, PlanView().ModelBounds);
        const QSize size(600, 300);
        const auto shown = FitAspect(plan.ModelBounds, size.width(), size.height());
        QVERIFY(shown);
        QImage image(size, QImage::Format_RGB32);
        {
            QPainter painter(&image);
            DrawTopView(painter, {size.width(), size.height(), 96, 96, false}, plan.Circles, *shown, Qt::white,
                        Qt::black);
        }
        for (const PileCircle& c : plan.Circles) {
            const int cx = MapToPixel(c.X, shown->MinX, shown->MaxX, size.width());
            const int cy = MapToPixel(c.Y, shown->YAtTop, shown->YAtBottom, size.height());
            QVERIFY(isDark(image, cx, cy));
            int across = 0, down = 0;
            for (int x = 0; x < size.width(); ++x)
                across += isDark(image, x, cy) && std::abs(x - cx) < 100;
            for (int y = 0; y < size.height(); ++y)
                down += isDark(image, cx, y) && std::abs(y - cy) < 100;
            QVERIFY2(std::abs(across - down) <= 1, qPrintable(QStringLiteral("%1 %2").arg(across).arg(down)));
            const double diameter = static_cast<double>(0.5L / shown->RangeX() * size.width());
            QVERIFY(std::abs(across - diameter) <= 2);
        }
        QVERIFY(!isDark(image, size.width() / 2, size.height() / 2)); // between the piles
    }

    void printingGivesOneLandscapePageTitledAsTheProfile()
    {
        QTemporaryDir dir;
        ProjectTables project;
        setLayers(project, {2, 3, 5});
        setPiles(project, {{-1, 1}, {1, -1}});
        TProgramData data;
        data.PileRadius = 0.25L;
        data.PileLength = 8;
        TDlgSideView side(project.D(), project.PileCoord(), [&]() -> const TProgramData& { return data; });
        TDlgTopView top(project.PileCoord(), [&]() -> const TProgramData& { return data; });
        int n = 0;
        for (GeometryView* view : {static_cast<GeometryView*>(&side), static_cast<GeometryView*>(&top)}) {
            QStringList messages;
            view->SetMessageHandler([&](const QString& m) { messages << m; });
            view->show();
            view->FormActivate();
            const QString path = dir.filePath(QStringLiteral("view%1.pdf").arg(n++));
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            QVERIFY(view->PrintOn(printer));
            QVERIFY(messages.isEmpty());
            QFile pdf(path);
            QVERIFY(pdf.open(QIODevice::ReadOnly));
            const QByteArray bytes = pdf.readAll();
            QVERIFY(bytes.startsWith("%PDF-"));
            QCOMPARE(bytes.count("/Type /Page\n"), 1);
            const QRegularExpressionMatch box =
                QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]")).match(QString::fromLatin1(bytes));
            QVERIFY(box.hasMatch());
            QVERIFY(box.captured(1).toDouble() > box.captured(2).toDouble()); // landscape
            QVERIFY(bytes.contains(titleEntry()));

            // A file that cannot be written is reported, never success.
            QPrinter broken(QPrinter::HighResolution);
            broken.setOutputFormat(QPrinter::PdfFormat);
            broken.setOutputFileName(dir.filePath(QStringLiteral("missing/view.pdf")));
            QVERIFY(!view->PrintOn(broken));
            QCOMPARE(messages.size(), 1);
            QVERIFY(messages[0].startsWith("The profile could not be printed on "));
        }
    }

private:
    // The document title as the PDF writer stores it: UTF-16 with its byte-order mark.
    static QByteArray titleEntry()
    {
        QByteArray entry("/Title (\xfe\xff");
        for (QChar ch : QStringLiteral("Soil-Pile Profile")) {
            entry += static_cast<char>(ch.unicode() >> 8);
            entry += static_cast<char>(ch.unicode() & 0xff);
        }
        return entry + ')';
    }
};

QTEST_MAIN(GeometryViewTest)
#include "GeometryViewTest.moc"
