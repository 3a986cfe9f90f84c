#include "PltData.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Counts the change announcements of a plot.
struct ChangeCounter {
    explicit ChangeCounter(TGraphPlot& plot)
    {
        QObject::connect(&plot, &TGraphPlot::dataChanged, [this] { ++count; });
    }
    int count = 0;
};

// A window stand-in that records what the plot asks of it.
struct WindowLog {
    int created = 0;
    int shown = 0;
    int destroyedHooks = 0;
    int plotGone = 0;
};

class FakeWindow : public PlotWindowHook {
public:
    explicit FakeWindow(WindowLog& log) : m_log(log) { ++m_log.created; }
    ~FakeWindow() override { ++m_log.destroyedHooks; }
    void ShowWindow() override { ++m_log.shown; }
    void PlotDestroyed() override { ++m_log.plotGone; }

private:
    WindowLog& m_log;
};

class PlotWindowSeam : public ::testing::Test {
protected:
    TGraphPlot::WindowFactory factory()
    {
        return [this](TGraphPlot&) { return std::make_unique<FakeWindow>(log); };
    }

    WindowLog log;
};

std::vector<int> pointCounts(const TGraphPlot& plot)
{
    std::vector<int> counts;
    for (int i = 0; i < plot.LineCount(); ++i)
        counts.push_back(plot.Lines(i).Count());
    return counts;
}

} // namespace

TEST(PltData, NewPlotDefaults)
{
    TGraphPlot plot;
    EXPECT_EQ(plot.LineCount(), 0);
    EXPECT_EQ(plot.PointCount(), 0);
    EXPECT_EQ(plot.CurveName, "Curve #");
    EXPECT_TRUE(plot.XOnTop);
    EXPECT_TRUE(plot.ShowLegend);
    EXPECT_EQ(plot.Markers, 1);
    EXPECT_EQ(plot.Units(), 1);
    EXPECT_FALSE(plot.FormCreated());
    EXPECT_FALSE(plot.TitleOnTop);
}

TEST(PltData, LinesAppendedToAnEmptyPlotAreNumberedAndEmpty)
{
    TGraphPlot plot;
    plot.SetLineCount(3);
    ASSERT_EQ(plot.LineCount(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(plot.Lines(i).Number, i + 1);
        EXPECT_EQ(plot.Lines(i).Count(), 0);
        EXPECT_TRUE(plot.Lines(i).Active);
        EXPECT_TRUE(plot.Lines(i).Listed);
        EXPECT_EQ(plot.Lines(i).Owner, &plot);
    }
    plot.SetPointCount(10);
    EXPECT_EQ(pointCounts(plot), std::vector<int>({10, 10, 10}));
    EXPECT_EQ(plot.Point(2, 9).X, 0.0L);
    EXPECT_EQ(plot.Point(2, 9).Y, 0.0L);
}

TEST(PltData, CountsBelowZeroCountAsZero)
{
    TGraphPlot plot;
    plot.SetLineCount(2);
    plot.SetPointCount(4);
    plot.SetPointCount(-1);
    EXPECT_EQ(pointCounts(plot), std::vector<int>({0, 0}));

    plot.SetLineCount(-5);
    EXPECT_EQ(plot.LineCount(), 0);
    EXPECT_EQ(plot.PointCount(), 0);
    plot.SetPointCount(7); // no line: nothing happens
    EXPECT_EQ(plot.LineCount(), 0);
    EXPECT_EQ(plot.PointCount(), 0);
}

TEST(PltData, ANewLineTakesTheNextNumberAndThePointCountOfLineZero)
{
    TGraphPlot plot;
    plot.SetLineCount(3);
    plot.SetPointCount(5);
    plot.Point(0, 4).X = 2.5L;
    plot.SetLineCount(1);
    plot.SetLineCount(2);
    EXPECT_EQ(plot.Lines(1).Number, 2);
    EXPECT_EQ(pointCounts(plot), std::vector<int>({5, 5}));
    EXPECT_EQ(plot.Point(0, 4).X, 2.5L); // the kept line keeps its points
    EXPECT_EQ(plot.Point(1, 4).X, 0.0L);
}

TEST(PltData, PointsAreWrittenInPlace)
{
    TGraphPlot plot;
    plot.SetLineCount(1);
    plot.SetPointCount(2);
    plot.Point(0, 1).X = 3.0L;
    plot.Point(0, 1).Y = -1.25L;
    EXPECT_EQ(plot.Lines(0).Points.Items(1)->X, 3.0L);
    EXPECT_EQ(plot.Lines(0).Points.Items(1)->Y, -1.25L);
    EXPECT_THROW(plot.Point(0, 2), EListError);
    EXPECT_THROW(plot.Point(1, 0), EListError);
    EXPECT_THROW(plot.Point(-1, 0), EListError);
}

TEST(PltData, UnitsAreKeptWithinOneToThree)
{
    const struct {
        int set;
        int stored;
    } rows[] = {{0, 1}, {-3, 1}, {1, 1}, {2, 2}, {3, 3}, {9, 3}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.set);
        TGraphPlot plot;
        plot.SetUnits(row.set);
        EXPECT_EQ(plot.Units(), row.stored);
    }
}

TEST(PltData, LegendTexts)
{
    TGraphPlot plot;
    plot.SetLineCount(3);
    EXPECT_EQ(plot.Lines(0).GetName(), "Curve #1");
    plot.CurveName = "#";
    EXPECT_EQ(plot.Lines(0).GetName(), "#1");
    EXPECT_EQ(plot.Lines(2).GetName(), "#3");

    plot.Names = QStringList({"first", "second"});
    EXPECT_EQ(plot.Lines(1).GetName(), "second");
    EXPECT_EQ(plot.Lines(2).GetName(), "#3"); // beyond the name list
    plot.Lines(1).Name = "typed";
    EXPECT_EQ(plot.Lines(1).GetName(), "typed");
}

TEST(PltData, UnitPlaceholders)
{
    const struct {
        const char* text;
        int units;
        const char* expanded;
    } rows[] = {
        {"F/L", 1, "lbs/in"},
        {"F/L", 2, "kN/m"},
        {"F-L/Radian", 1, "lbs-in/Radian"},
        {"F-L/Radian", 2, "kN-m/Radian"},
        {"F2/L", 1, "tons/in"},
        {"F2/F", 1, "tons/F"}, // only the F2 kind is replaced
        {"F1/L2", 1, "kips/ft"},
        {"F1/L1", 2, "kN/mm"},
        {"L/L", 2, "m/m"},
        {"F/L", 3, "F/L"},
        {"F2-L1", 3, "F2-L1"},
        {"", 1, ""},
        {"Radian", 2, "Radian"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.text) + " / " + std::to_string(row.units));
        EXPECT_EQ(ExpandPlotUnits(QString::fromLatin1(row.text), row.units), QString::fromLatin1(row.expanded));
    }
}

TEST(PltData, AxisCaptions)
{
    TGraphPlot plot;
    plot.XCaption = "Frequency (Hz)";
    plot.YCaption = "Horizontal Stiffness (Real Part)";
    plot.YUnits = "F/L";
    EXPECT_EQ(plot.XAxisCaption(), "Frequency (Hz)");
    EXPECT_EQ(plot.YAxisCaption(), "Horizontal Stiffness (Real Part) (lbs/in)");
    plot.SetUnits(2);
    EXPECT_EQ(plot.YAxisCaption(), "Horizontal Stiffness (Real Part) (kN/m)");
    plot.SetUnits(3);
    EXPECT_EQ(plot.YAxisCaption(), "Horizontal Stiffness (Real Part) (F/L)");
}

TEST(PltData, SeventeenLineColours)
{
    EXPECT_EQ(LineColorCount, 17);
    const struct {
        int k, r, g, b;
    } rows[] = {{0, 0, 0, 0},       {1, 0, 0, 255},      {2, 255, 0, 0},     {3, 0, 128, 0},
                {7, 255, 0, 255},   {11, 0, 255, 0},     {13, 192, 192, 192}, {14, 192, 192, 192},
                {15, 255, 255, 0},  {16, 0, 255, 255}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.k);
        EXPECT_EQ(LineColors[row.k].Red, row.r);
        EXPECT_EQ(LineColors[row.k].Green, row.g);
        EXPECT_EQ(LineColors[row.k].Blue, row.b);
    }
}

TEST(PltData, ChangesAreAnnounced)
{
    TGraphPlot plot;
    ChangeCounter changes(plot);
    plot.SetLineCount(1);
    EXPECT_EQ(changes.count, 1);
    plot.SetLineCount(1); // nothing changes
    plot.SetUnits(1);
    EXPECT_EQ(changes.count, 1);
    plot.SetPointCount(3);
    plot.SetUnits(2);
    EXPECT_EQ(changes.count, 3);
}

TEST(PltData, AnUpdateIsAnnouncedOnceAtItsEnd)
{
    TGraphPlot plot;
    ChangeCounter changes(plot);
    plot.BeginUpdate();
    plot.SetLineCount(1);
    plot.BeginUpdate();
    plot.SetPointCount(4);
    plot.Point(0, 0).Y = 1.0L;
    plot.EndUpdate();
    EXPECT_EQ(changes.count, 0);
    plot.SetUnits(2);
    plot.EndUpdate();
    EXPECT_EQ(changes.count, 1);
    plot.EndUpdate(); // unbalanced: ignored
    EXPECT_EQ(changes.count, 1);

    // Points written in place are announced by the update around them.
    plot.BeginUpdate();
    plot.Point(0, 1).Y = 2.0L;
    plot.EndUpdate();
    EXPECT_EQ(changes.count, 2);
}

TEST(PltData, ShowWithoutAWindowFactoryDoesNothing)
{
    TGraphPlot plot;
    plot.Show();
    EXPECT_FALSE(plot.FormCreated());
}

TEST_F(PlotWindowSeam, FirstShowCreatesTheWindowLaterShowsReuseIt)
{
    TGraphPlot plot;
    plot.SetFormFactory(factory());
    plot.Show();
    EXPECT_TRUE(plot.FormCreated());
    plot.Show();
    EXPECT_EQ(log.created, 1);
    EXPECT_EQ(log.shown, 2);
}

TEST_F(PlotWindowSeam, AClosedWindowIsMadeAgainByTheNextShow)
{
    TGraphPlot plot;
    plot.SetFormFactory(factory());
    plot.Show();
    plot.FormClosed();
    EXPECT_FALSE(plot.FormCreated());
    EXPECT_EQ(log.destroyedHooks, 1);
    plot.Show();
    EXPECT_EQ(log.created, 2);
    EXPECT_TRUE(plot.FormCreated());
}

TEST_F(PlotWindowSeam, DestroyingThePlotTellsAndReleasesItsWindow)
{
    {
        TGraphPlot plot;
        plot.SetFormFactory(factory());
        plot.Show();
    }
    EXPECT_EQ(log.plotGone, 1);
    EXPECT_EQ(log.destroyedHooks, 1);

    {
        TGraphPlot plot; // never shown: nothing to tell
    }
    EXPECT_EQ(log.plotGone, 1);
}

TEST_F(PlotWindowSeam, EachPlotOpensThroughTheFactoryItWasGiven)
{
    // Two owners, two factories: a later owner does not take over the first one's plots.
    WindowLog other;
    TGraphPlot mine;
    TGraphPlot theirs;
    mine.SetFormFactory(factory());
    theirs.SetFormFactory([&other](TGraphPlot&) { return std::make_unique<FakeWindow>(other); });
    mine.Show();
    theirs.Show();
    EXPECT_EQ(log.created, 1);
    EXPECT_EQ(other.created, 1);
    // A factory taken away leaves the open window; only the next one is not made.
    mine.SetFormFactory(nullptr);
    mine.Show();
    EXPECT_EQ(log.shown, 2);
    mine.FormClosed();
    mine.Show();
    EXPECT_FALSE(mine.FormCreated());
}

TEST_F(PlotWindowSeam, AFactoryThatMakesNoWindowLeavesThePlotWithout)
{
    TGraphPlot plot;
    plot.SetFormFactory([](TGraphPlot&) { return std::unique_ptr<PlotWindowHook>(); });
    plot.Show();
    EXPECT_FALSE(plot.FormCreated());
}
