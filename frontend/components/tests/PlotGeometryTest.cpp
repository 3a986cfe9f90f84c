#include "PlotGeometry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

namespace {

using Points = std::vector<std::pair<Extended, Extended>>;

PointVisitor visitorOf(const Points& points)
{
    return [points](const std::function<void(Extended, Extended)>& visit) {
        for (const auto& [x, y] : points)
            visit(x, y);
    };
}

} // namespace

TEST(PlotBoundsTest, RangesContainZeroAndRoundOutwardToTheirUnit)
{
    struct Row {
        const char* what;
        Points points;
        PlotBounds expected;
    };
    const std::vector<Row> rows = {
        {"12..47 rounds to tens", {{0, 12}, {100, 47}}, {0, 100, 0, 50}},
        {"7.2e6: unit 1e6", {{1, 1}, {10, 7.2e6L}}, {0, 10, 0, 8e6L}},
        {"2.43: under three units, a tenth", {{0.5L, 2.43L}, {4, 1}}, {0, 4, 0, 2.5L}},
        {"negative values round downward", {{-37, -3.7L}, {-1, -1}}, {-40, 0, -4, 0}},
        {"both signs", {{-2, -1.5L}, {8, 2.5L}}, {-2, 8, -2, 3}},
        {"every X 0: a unit X range", {{0, 1}, {0, 5}}, {0, 1, 0, 5}},
        {"points that are not finite are left out", {{1, 2}, {HUGE_VALL, 4}, {2, -HUGE_VALL}}, {0, 1, 0, 2}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const auto b = ComputeBounds(visitorOf(row.points));
        ASSERT_TRUE(b.has_value());
        EXPECT_DOUBLE_EQ(static_cast<double>(b->MinX), static_cast<double>(row.expected.MinX));
        EXPECT_DOUBLE_EQ(static_cast<double>(b->MaxX), static_cast<double>(row.expected.MaxX));
        EXPECT_DOUBLE_EQ(static_cast<double>(b->MinY), static_cast<double>(row.expected.MinY));
        EXPECT_DOUBLE_EQ(static_cast<double>(b->MaxY), static_cast<double>(row.expected.MaxY));
    }
}

TEST(PlotBoundsTest, NoYRangeGivesNoBounds)
{
    EXPECT_FALSE(ComputeBounds(visitorOf({})).has_value());
    EXPECT_FALSE(ComputeBounds(visitorOf({{1, 0}, {5, 0}})).has_value());
    EXPECT_FALSE(ComputeBounds(visitorOf({{0, 0}})).has_value());
}

TEST(PlotBoundsTest, RoundOutwardGoesAwayFromTheRange)
{
    EXPECT_EQ(RoundOutward(4.7L), 5);
    EXPECT_EQ(RoundOutward(5.0L), 5);
    EXPECT_EQ(RoundOutward(-4.7L), -5);
    EXPECT_EQ(RoundOutward(0.0L), 0);
}

TEST(PlotTicksTest, SevenHundredPixelsAtNinetySixOverZeroToHundred)
{
    const auto t = ComputeTicks({0, 100, 0, 50}, {48, 24, 748, 552}, 96, 96);
    ASSERT_TRUE(t.has_value());
    EXPECT_DOUBLE_EQ(static_cast<double>(t->X.MinorStep), 2.0); // raw 11.1, m = 1: major 10
    EXPECT_EQ(t->X.First, 0);
    EXPECT_EQ(t->X.Last, 50);
    // 528 px high: ny = 7, raw 7.14, major 5, minor 1
    EXPECT_DOUBLE_EQ(static_cast<double>(t->Y.MinorStep), 1.0);
    EXPECT_EQ(t->Y.Last, 50);
}

TEST(PlotTicksTest, MajorStepIsOneTwoFiveOrTenTimesItsPower)
{
    const std::vector<std::pair<Extended, Extended>> rows = {
        {11.1L, 10}, {1, 1}, {25, 20}, {4.99L, 2}, {0.06L, 0.05L}, {850, 500}, {9.5L, 10}, {0.95L, 1}};
    for (const auto& [raw, major] : rows) {
        SCOPED_TRACE(static_cast<double>(raw));
        EXPECT_NEAR(static_cast<double>(MajorStep(raw)), static_cast<double>(major), 1e-12);
    }
}

TEST(PlotTicksTest, TickIndicesStayInsideTheView)
{
    struct Row {
        Extended minV, maxV, step;
        std::int64_t first, last;
    };
    const std::vector<Row> rows = {
        {-3, 7, 1, -3, 7},
        {-2.5L, 2.5L, 1, -2, 2},
        {2, 5, 1, 0, 5},     // a positive minimum after zooming: index 0
        {-9, -4, 1, -9, 0},  // a negative maximum: index 0
        {0, 0.5L, 1, 0, 0},  // the first step leaves at once
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(static_cast<double>(r.minV));
        const AxisTicks t = AxisTickRange(r.minV, r.maxV, r.step);
        EXPECT_EQ(t.First, r.first);
        EXPECT_EQ(t.Last, r.last);
    }
}

TEST(PlotTicksTest, ATickOnTheAxisEndIsCountedThoughTheStepIsInexact)
{
    // Steps that are no binary fractions: a running sum of them misses the
    // end (0..20 Hz in steps of 0.2 gave 99 ticks, no "20").
    struct Row {
        Extended minV, maxV, step;
        std::int64_t first, last;
    };
    const std::vector<Row> rows = {
        {0, 20, 0.2L, 0, 100},
        {-20, 0, 0.2L, -100, 0},
        {0, 2, 0.1L, 0, 20},
        {0, 0.02L, 0.0004L, 0, 50},
        {-0.01L, 0.01L, 0.0002L, -50, 50},
        {0, 20 - 1e-7L, 0.2L, 0, 99}, // half a millionth of a step short: not on the axis
        {0, 1e9L, 1e-3L, 0, 0},       // more than ten million steps: none counted
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(static_cast<double>(r.maxV));
        const AxisTicks t = AxisTickRange(r.minV, r.maxV, r.step);
        EXPECT_EQ(t.First, r.first);
        EXPECT_EQ(t.Last, r.last);
    }
}

namespace {

// n labels of `width` pixels, `pitch` apart, from 0 on.
std::vector<LabelSpan> evenLabels(int n, int width, int pitch)
{
    std::vector<LabelSpan> spans;
    for (int i = 0; i < n; ++i)
        spans.push_back({i * pitch, i * pitch + width});
    return spans;
}

std::vector<int> keptOf(const std::vector<bool>& keep)
{
    std::vector<int> kept;
    for (int i = 0; i < static_cast<int>(keep.size()); ++i)
        if (keep[i])
            kept.push_back(i);
    return kept;
}

} // namespace

TEST(PlotLabelSpacingTest, EveryKthLabelForTheSmallestStepThatFits)
{
    // Gap 4 pixels between labels throughout.
    struct Row {
        const char* what;
        std::vector<LabelSpan> spans;
        int zero;
        std::vector<int> kept;
    };
    // Y labels from 1.1E06 to 2.1E06 every 5E04, going up the axis: the
    // short ones ("2E06") fitted between long ones, so labels were left out
    // unevenly.
    std::vector<LabelSpan> mixed;
    for (int i = 0; i < 21; ++i) {
        const int centre = 600 - 25 * i;
        const int half = i % 2 == 0 ? 18 : 21; // "1.2E06" and "1.25E06"
        const int w = i == 18 ? 14 : half;     // "2E06"
        mixed.push_back({centre - w, centre + w});
    }
    const std::vector<Row> rows = {
        {"nothing", {}, -1, {}},
        {"one label", evenLabels(1, 30, 0), 0, {0}},
        {"labels apart: all", evenLabels(6, 20, 24), 0, {0, 1, 2, 3, 4, 5}},
        {"one pixel short of the gap", evenLabels(5, 20, 23), 0, {0, 2, 4}},
        {"every second keeps both ends", evenLabels(11, 30, 20), 0, {0, 2, 4, 6, 8, 10}},
        {"an even count keeps the end with 0", evenLabels(26, 30, 20), 0, {0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24}},
        {"0 at the far end", evenLabels(26, 30, 20), 25, {1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23, 25}},
        {"no third: every fifth", evenLabels(11, 50, 20), 0, {0, 5, 10}},
        {"both ends before 0", evenLabels(11, 50, 20), 4, {0, 5, 10}},
        {"0 inside, one end either way", evenLabels(12, 30, 20), 4, {0, 2, 4, 6, 8, 10}},
        {"the axis runs the other way", mixed, -1, {0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20}},
        {"more than a step of ten", evenLabels(40, 150, 10), 0, {0, 20}},
        {"wider than the whole axis", evenLabels(3, 100, 10), 2, {2}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const std::vector<bool> keep = SpacedLabels(r.spans, 4, r.zero);
        ASSERT_EQ(keep.size(), r.spans.size());
        EXPECT_EQ(keptOf(keep), r.kept);
    }
}

TEST(PlotTicksTest, PlotAreaUnderThreeQuartersOfAnInchFails)
{
    EXPECT_FALSE(ComputeTicks({0, 1, 0, 1}, {0, 0, 71, 500}, 96, 96).has_value());
    EXPECT_FALSE(ComputeTicks({0, 1, 0, 1}, {0, 0, 500, 71}, 96, 96).has_value());
    EXPECT_TRUE(ComputeTicks({0, 1, 0, 1}, {0, 0, 72, 72}, 96, 96).has_value());
}

TEST(PlotMappingTest, CornersAndInverse)
{
    // 512 px over 0..512: every quotient below is exact in binary
    const Edges r{50, 20, 562, 220};
    const PlotBounds v{0, 512, -10, 10};
    for (bool xOnTop : {false, true}) {
        SCOPED_TRACE(xOnTop);
        const PlotMapping m(v, r, xOnTop);
        EXPECT_EQ(m.ToScreen(0, -10), QPoint(50, xOnTop ? 20 : 220));
        EXPECT_EQ(m.ToScreen(512, 10), QPoint(562, xOnTop ? 220 : 20));
        EXPECT_EQ(m.ToScreen(256, 0), QPoint(306, 120));
        // ties go to the even neighbour
        EXPECT_EQ(m.ToScreen(2.5L, 0).x(), 52);
        EXPECT_EQ(m.ToScreen(3.5L, 0).x(), 54);
        const PlotPoint d = m.ToData(QPoint(178, xOnTop ? 70 : 170));
        EXPECT_DOUBLE_EQ(static_cast<double>(d.X), 128.0);
        EXPECT_DOUBLE_EQ(static_cast<double>(d.Y), -5.0);
        const PlotPoint outside = m.ToData(QPoint(563, 100));
        EXPECT_EQ(outside.X, 0.0L);
        EXPECT_EQ(outside.Y, 0.0L);
    }
}

void expectBounds(const PlotBounds& a, const PlotBounds& b)
{
    EXPECT_NEAR(static_cast<double>(a.MinX), static_cast<double>(b.MinX), 1e-9);
    EXPECT_NEAR(static_cast<double>(a.MaxX), static_cast<double>(b.MaxX), 1e-9);
    EXPECT_NEAR(static_cast<double>(a.MinY), static_cast<double>(b.MinY), 1e-9);
    EXPECT_NEAR(static_cast<double>(a.MaxY), static_cast<double>(b.MaxY), 1e-9);
}

class PlotZoomTest : public ::testing::Test {
protected:
    // 1000 px over 0..1000: one pixel per unit on both axes.
    const Edges rect{0, 0, 1000, 1000};
    const PlotBounds full{0, 1000, 0, 1000};
};

TEST_F(PlotZoomTest, DragWithoutWidthOrHeightChangesNothing)
{
    EXPECT_FALSE(ZoomIn(full, full, rect, false, {100, 100}, {100, 400}).has_value());
    EXPECT_FALSE(ZoomIn(full, full, rect, false, {100, 100}, {400, 100}).has_value());
}

TEST_F(PlotZoomTest, DragBecomesTheViewSmallerToLarger)
{
    const auto v = ZoomIn(full, full, rect, false, {600, 100}, {200, 700});
    ASSERT_TRUE(v.has_value());
    expectBounds(*v, {200, 600, 300, 900});
}

TEST_F(PlotZoomTest, ReleaseOutsideIsClampedToThePlotArea)
{
    const auto v = ZoomIn(full, full, rect, true, {500, 500}, {1400, -50});
    ASSERT_TRUE(v.has_value());
    expectBounds(*v, {500, 1000, 0, 500});
}

TEST_F(PlotZoomTest, TinyDragWidensToOneTwentiethAndStaysInside)
{
    struct Row {
        const char* what;
        QPoint start, end;
        PlotBounds expected;
    };
    const std::vector<Row> rows = {
        {"centre", {495, 195}, {505, 805}, {475, 525, 195, 805}},
        {"near the left edge", {2, 195}, {12, 805}, {0, 50, 195, 805}},
        {"near the right edge", {990, 195}, {1000, 805}, {950, 1000, 195, 805}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const auto v = ZoomIn(full, full, rect, true, r.start, r.end);
        ASSERT_TRUE(v.has_value());
        expectBounds(*v, r.expected);
    }
}

TEST_F(PlotZoomTest, RightClickDoublesTheViewWithinTheFullRange)
{
    const PlotBounds view{400, 500, 400, 500};
    const Edges r{0, 0, 100, 100}; // one pixel per unit of the view
    expectBounds(ZoomOut(view, full, r, true, {50, 50}), {350, 550, 350, 550});
    // Near the left edge of the full range, a view over half of it: the full range
    const PlotBounds wide{0, 600, 0, 600};
    EXPECT_EQ(ZoomOut(wide, full, rect, true, {10, 500}), full); // exactly
}

TEST(PlotZoomOutTest, AViewNearlyAsWideAsTheFullRangeBecomesExactlyIt)
{
    // 980 x 528 pixels; the click near the lower left corner. A drag over
    // about half the plot doubled ended short of the axis end, whose tick
    // and label ("20") went with it.
    const Edges rect{48, 24, 1028, 552};
    const QPoint nearLeft(60, 540);
    struct Row {
        const char* what;
        PlotBounds view, full, expected;
        bool exact;
    };
    const std::vector<Row> rows = {
        {"a dragged 49 % doubled", {0, 9.8L, 0, 2.1e6L}, {0, 20, 0, 2.1e6L}, {0, 20, 0, 2.1e6L}, true},
        {"both axes nearly half", {3.1L, 12.95L, 1.2e6L, 2.2e6L}, {0, 20, 0, 2.1e6L}, {0, 20, 0, 2.1e6L}, true},
        {"bounds that are no binary fractions", {-0.3L, -0.0499L, -0.3L, -0.05L}, {-0.3L, 0.2L, -0.3L, 0.2L},
         {-0.3L, 0.2L, -0.3L, 0.2L}, true},
        {"45 % is still doubled", {0, 9, 0, 0.9e6L}, {0, 20, 0, 2e6L}, {0, 18, 0, 1.8e6L}, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const PlotBounds v = ZoomOut(r.view, r.full, rect, false, nearLeft);
        if (r.exact)
            EXPECT_EQ(v, r.expected);
        else
            expectBounds(v, r.expected);
        // The view's end ticks are those of the full range.
        const auto ticks = ComputeTicks(v, rect, 96, 96);
        const auto fullTicks = ComputeTicks(r.full, rect, 96, 96);
        ASSERT_TRUE(ticks && fullTicks);
        EXPECT_EQ(ticks->X.Last == fullTicks->X.Last, r.exact);
    }
}

TEST(PlotMarkerTest, ShapesAreClosedAndOneThirtySecondOfAnInchAcross)
{
    const QPoint c(100, 100);
    // k = 0: a triangle with a corner straight down
    const auto t = MarkerVertices(0, c, 96, 96);
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t.front(), t.back());
    EXPECT_EQ(t[0], QPoint(100, 103));
    // cos of the upper corners is 1/2: 1.5 px at 96 ppi is a tie that the
    // rounding of the angle decides, so the two may differ by a pixel
    EXPECT_LE(std::abs(t[1].y() - t[2].y()), 1);
    EXPECT_EQ(t[1].x() - 100, 100 - t[2].x());
    EXPECT_LT(t[1].y(), 100);
    // k = 1: a square with sides parallel to the axes
    const auto s = MarkerVertices(1, c, 96, 96);
    ASSERT_EQ(s.size(), 5u);
    EXPECT_EQ(s.front(), s.back());
    EXPECT_EQ(s[0], QPoint(102, 98));
    EXPECT_EQ(s[1], QPoint(102, 102));
    EXPECT_EQ(s[2], QPoint(98, 102));
    EXPECT_EQ(s[3], QPoint(98, 98));
    // k = 3: a diamond with a corner straight up
    const auto d = MarkerVertices(3, c, 96, 96);
    const std::vector<QPoint> diamond = {{100, 97}, {103, 100}, {100, 103}, {97, 100}, {100, 97}};
    EXPECT_EQ(d, diamond);
    // k = 4: a pentagon; sizes follow each axis's resolution
    const auto p = MarkerVertices(4, c, 96, 192);
    ASSERT_EQ(p.size(), 6u);
    EXPECT_EQ(p[0], QPoint(100, 94));
}

TEST(PlotLegendBoxTest, BoxSitsInTheLowerRightCornerOfThePlotArea)
{
    const Edges plot{48, 24, 700, 500};
    const LegendBoxGeometry g = LegendBox(plot, 96, 96, 2, 60, 16);
    EXPECT_EQ(g.Box, (Edges{622, 459, 700, 500}));
    EXPECT_EQ(g.FirstEntry, QPoint(628, 462));
    EXPECT_EQ(g.EntryStep, 19);
    // No active entry: the box is still drawn, 1/32 inch high
    EXPECT_EQ(LegendBox(plot, 96, 96, 0, 0, 16).Box.Height(), 3);
}

TEST(PlotLegendBoxTest, ListWidensToTheWidestTextNeverNarrows)
{
    EXPECT_EQ(LegendListWidth(10, {50, 70, 30}, 96), 94);
    EXPECT_EQ(LegendListWidth(200, {50}, 96), 200);
}

TEST(PlotLayoutTest, WindowPrinterAndBitmap)
{
    EXPECT_EQ(ScreenLayout(800, 600, 96, 96, false, false, false).PlotRect, (Edges{48, 24, 776, 552}));
    EXPECT_EQ(ScreenLayout(800, 600, 96, 96, true, false, false).PlotRect, (Edges{48, 48, 776, 576}));
    EXPECT_EQ(ScreenLayout(800, 600, 96, 96, false, true, false).PlotRect.Bottom, 528);
    EXPECT_EQ(ScreenLayout(800, 600, 96, 96, false, true, true).PlotRect.Top, 48);

    // Letter paper at 600 dpi, 0.25 inch unprintable edges, one-inch margins
    const PlotLayout p = PrintLayout(4800, 6300, 150, 150, 600, 600, {}, false, false, false);
    EXPECT_EQ(p.PageRect, (Edges{450, 450, 4350, 5850}));
    EXPECT_EQ(p.PlotRect, (Edges{750, 450, 4350, 5550}));
    // Margins under the unprintable edges use the edges
    const PlotLayout e = PrintLayout(4800, 6300, 150, 150, 600, 600, {100, 100, 100, 100}, true, true, false);
    EXPECT_EQ(e.PageRect, (Edges{0, 0, 4800, 6300}));
    EXPECT_EQ(e.PlotRect, (Edges{300, 300, 4800, 6000}));

    EXPECT_EQ(BitmapLayout(432, 288, 96, 96, false).PlotRect, (Edges{144, 48, 408, 240}));
    EXPECT_EQ(BitmapLayout(432, 288, 96, 96, true).PlotRect, (Edges{144, 72, 408, 264}));
    // A title takes a quarter inch on its side.
    EXPECT_EQ(BitmapLayout(432, 288, 96, 96, false, true, false).PlotRect, (Edges{144, 48, 408, 216}));
    EXPECT_EQ(BitmapLayout(432, 288, 96, 96, true, true, true).PlotRect, (Edges{144, 96, 408, 264}));
}

TEST(PlotBitmapSizeTest, RoundedToEvenAndAtMostTenThousandPixels)
{
    struct Row {
        Extended w, h, ppi;
        bool ok;
        std::int64_t width, height;
    };
    const std::vector<Row> rows = {
        {6, 4, 72, true, 432, 288},       // the dialog's defaults
        {2.5L, 2.5L, 11, true, 28, 28},   // 27.5 -> 28
        {2.5L, 2.5L, 13, true, 32, 32},   // 32.5 -> 32
        {100, 2, 100, true, 10000, 200},
        {100.01L, 2, 100, false, 0, 0},
        {2, 1e4000L, 72, false, 0, 0},    // a huge entry is refused, not overflowed
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(static_cast<double>(r.w * r.ppi));
        const auto s = BitmapSizeFor(r.w, r.h, r.ppi);
        ASSERT_EQ(s.has_value(), r.ok);
        if (r.ok) {
            EXPECT_EQ(s->Width, r.width);
            EXPECT_EQ(s->Height, r.height);
        }
    }
}

TEST(PlotCaptionWrapTest, WordsFillLinesUpToTheWidth)
{
    const auto measure = [](const QString& s) { return static_cast<int>(s.size()) * 10; };
    EXPECT_EQ(WrapWords("Stiffness of the group (lbs/in)", 120, measure),
              (QStringList{"Stiffness of", "the group", "(lbs/in)"}));
    EXPECT_EQ(WrapWords("Incomprehensible", 50, measure), QStringList{"Incomprehensible"});
    EXPECT_TRUE(WrapWords("", 50, measure).isEmpty());
}
