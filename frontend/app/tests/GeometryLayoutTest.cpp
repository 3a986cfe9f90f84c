// The side and top views without a display: extents, aspect fit, mapping
// and its inverse, texts, and where the layers, piles and circles land.

#include "PlanGeometry.h"
#include "SideProfile.h"

#include "ColumnTypes.h"
#include "DataUnit.h"
#include "Misc.h"
#include "Table.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <vector>

namespace {

struct Pile {
    Extended X;
    Extended Y;
};

// The project's two tables holding `thicknesses` (velocity 100 n, Poisson's
// ratio 0.3 for layer n) and `piles`.
class Project {
public:
    Project(const std::vector<Extended>& thicknesses, const std::vector<Pile>& piles)
    {
        TGridTable& d = tables.D();
        d.SetRowCount(static_cast<int>(thicknesses.size()));
        for (int i = 0; i < d.RowCount(); ++i) {
            d.Cells(0, i)->SetFloat(thicknesses[static_cast<std::size_t>(i)]);
            d.Cells(2, i)->SetFloat(100.0L * (i + 1));
            d.Cells(3, i)->SetFloat(0.3L);
        }
        TGridTable& p = tables.PileCoord();
        p.SetRowCount(static_cast<int>(piles.size()));
        for (int i = 0; i < p.RowCount(); ++i) {
            p.Cells(0, i)->SetFloat(piles[static_cast<std::size_t>(i)].X);
            p.Cells(1, i)->SetFloat(piles[static_cast<std::size_t>(i)].Y);
        }
    }
    SideProfile side(Extended radius, Extended length, const ViewBounds& previous = SideProfile().ModelBounds) const
    {
        return BuildSideProfile(tables.D(), tables.PileCoord(), radius, length, previous);
    }
    PlanView plan(Extended radius, const ViewBounds& previous = PlanView().ModelBounds) const
    {
        return BuildPlanView(tables.PileCoord(), radius, previous);
    }

    ProjectTables tables;
};

void expectBounds(const ViewBounds& b, Extended minX, Extended maxX, Extended yTop, Extended yBottom)
{
    constexpr Extended tol = 1e-15L;
    EXPECT_NEAR(static_cast<double>(b.MinX), static_cast<double>(minX), tol);
    EXPECT_NEAR(static_cast<double>(b.MaxX), static_cast<double>(maxX), tol);
    EXPECT_NEAR(static_cast<double>(b.YAtTop), static_cast<double>(yTop), tol);
    EXPECT_NEAR(static_cast<double>(b.YAtBottom), static_cast<double>(yBottom), tol);
}

// ---------------------------------------------------------------- extents

TEST(SideProfileBounds, ExtentOfPilesAndSoilColumn)
{
    struct Case {
        const char* name;
        std::vector<Extended> layers;
        std::vector<Pile> piles;
        Extended radius, length;
        Extended minX, maxX, maxDepth;
    };
    const Case cases[] = {
        // The soil column (10) is deeper than the pile (8).
        {"three layers", {2, 3, 5}, {{0, 0}}, 0.5L, 8, -0.525L, 0.525L, 10.5L},
        {"single pile at 0", {1}, {{0, 0}}, 0.5L, 0.5L, -0.525L, 0.525L, 1.05L},
        // The pile is deeper than the soil column.
        {"long pile", {2, 3}, {{0, 0}}, 0.5L, 20, -0.525L, 0.525L, 21},
        // Positive coordinates only: the extent still starts at 0.
        {"positive piles", {4}, {{0, 2}, {0, 6}}, 0.5L, 3, 0, 6.5L * 1.05L, 4.2L},
        {"negative piles", {4}, {{0, -2}, {0, -6}}, 0.5L, 3, -6.5L * 1.05L, 0, 4.2L},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SideProfile p = Project(c.layers, c.piles).side(c.radius, c.length);
        EXPECT_EQ(p.Shapes.size(), c.piles.size());
        expectBounds(p.ModelBounds, c.minX, c.maxX, 0, c.maxDepth);
    }
}

TEST(SideProfileBounds, PileOutlinesRunFromTheGroundToThePileLength)
{
    const SideProfile p = Project({10}, {{7, 3}}).side(0.25L, 8);
    ASSERT_EQ(p.Shapes.size(), 1u);
    const PileShape& s = p.Shapes[0];
    // The side view shows the Y coordinate across.
    EXPECT_EQ(s.TopLeft.X, 2.75L);
    EXPECT_EQ(s.TopRight.X, 3.25L);
    EXPECT_EQ(s.BottomLeft.X, 2.75L);
    EXPECT_EQ(s.BottomRight.X, 3.25L);
    EXPECT_EQ(s.TopLeft.Y, 0.0L);
    EXPECT_EQ(s.BottomRight.Y, 8.0L);
}

TEST(SideProfileBounds, WithoutLayersOrPilesTheExtentStaysAsItWas)
{
    const ViewBounds previous{-3, 4, 0, 7};
    Project noPiles({2}, {});
    EXPECT_EQ(noPiles.side(0.5L, 8, previous).ModelBounds, previous);
    Project noLayers({}, {{0, 1}});
    const SideProfile p = noLayers.side(0.5L, 8, previous);
    EXPECT_TRUE(p.Shapes.empty()); // no piles are shown without soil
    EXPECT_EQ(p.ModelBounds, previous);
}

TEST(PlanViewBounds, ExtentOfTheCirclesAlwaysHoldsTheOrigin)
{
    struct Case {
        const char* name;
        std::vector<Pile> piles;
        Extended radius;
        Extended minX, maxX, top, bottom;
    };
    const Case cases[] = {
        {"four piles", {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}}, 0.25L, -1.25L, 1.25L, 1.25L, -1.25L},
        {"one pile at (3, 4)", {{3, 4}}, 0.5L, 0, 3.5L, 4.5L, 0},
        {"one pile at (-3, -4)", {{-3, -4}}, 0.5L, -3.5L, 0, 0, -4.5L},
        {"radius 0 at the origin", {{0, 0}}, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PlanView v = Project({1}, c.piles).plan(c.radius);
        EXPECT_EQ(v.Circles.size(), c.piles.size());
        expectBounds(v.ModelBounds, c.minX, c.maxX, c.top, c.bottom);
    }
    const ViewBounds previous{-1, 2, 3, -4};
    EXPECT_EQ(Project({1}, {}).plan(1, previous).ModelBounds, previous);
}

TEST(GeometryViews, AnEmptyExtentIsNotDrawn)
{
    const ViewBounds zeroX = Project({1}, {{0, 0}}).plan(0).ModelBounds;
    EXPECT_TRUE(GetNoDraw(zeroX));
    EXPECT_TRUE(GetNoDraw(Project({}, {}).side(0, 0, ViewBounds{0, 0, 0, 1}).ModelBounds));
    EXPECT_FALSE(GetNoDraw(Project({1}, {{0, 0}}).plan(0.5L).ModelBounds));
    // A radius near the top of the number range gives an extent that is
    // not a finite number: nothing is drawn, nothing divides by it.
    EXPECT_TRUE(GetNoDraw(Project({1}, {{0, 0}}).side(LDBL_MAX / 2, 1).ModelBounds));
    EXPECT_TRUE(GetNoDraw(ViewBounds{-INFINITY, 1, 0, 1}));
    EXPECT_TRUE(GetNoDraw(ViewBounds{0, NAN, 0, 1}));
}

TEST(GeometryViews, ACellThatCannotBeReadRaisesTheTablesException)
{
    // A pile table without its Y column, and one whose Y column holds text.
    TGridTable oneColumn;
    oneColumn.AddColumn(std::make_unique<TFloatColumn>(&oneColumn));
    oneColumn.SetRowCount(2);
    TGridTable textColumns;
    textColumns.AddColumn(std::make_unique<TStringColumn>(&textColumns));
    textColumns.AddColumn(std::make_unique<TStringColumn>(&textColumns));
    textColumns.SetRowCount(1);
    Project soil({1}, {});
    const ViewBounds previous = SideProfile().ModelBounds;
    EXPECT_THROW(BuildSideProfile(soil.tables.D(), oneColumn, 1, 1, previous), EListError);
    EXPECT_THROW(BuildSideProfile(soil.tables.D(), textColumns, 1, 1, previous), EInvalidCast);
    EXPECT_THROW(BuildPlanView(oneColumn, 1, previous), EListError);
    EXPECT_THROW(BuildPlanView(textColumns, 1, previous), EInvalidCast);
}

// ------------------------------------------------------- fit and mapping

TEST(GeometryViews, AspectFitGivesEqualScalesOnBothAxes)
{
    struct Case {
        const char* name;
        ViewBounds model;
        int width, height;
        ViewBounds shown;
    };
    const Case cases[] = {
        // a = (400/200) / (2/2) = 2: X widened.
        {"wide window", {-1, 1, 0, 2}, 400, 200, {-2, 2, 0, 2}},
        // a = (200/400) / (2/2) = 0.5: the depths divided by a.
        {"tall window", {-1, 1, 0, 2}, 200, 400, {-1, 1, 0, 4}},
        {"already fitting", {-1, 1, 0, 2}, 300, 300, {-1, 1, 0, 2}},
        // Y up: Top and Bottom both divided.
        {"plan, tall window", {-1, 1, 1, -1}, 100, 200, {-1, 1, 2, -2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto shown = FitAspect(c.model, c.width, c.height);
        ASSERT_TRUE(shown);
        expectBounds(*shown, c.shown.MinX, c.shown.MaxX, c.shown.YAtTop, c.shown.YAtBottom);
        EXPECT_NEAR(static_cast<double>(shown->RangeX() / c.width), static_cast<double>(shown->RangeY() / c.height),
                    1e-15);
    }
}

TEST(GeometryViews, NoFitForAnEmptyViewOrASurfaceWithoutArea)
{
    const ViewBounds model{-1, 1, 0, 2};
    EXPECT_FALSE(FitAspect(model, 0, 300));
    EXPECT_FALSE(FitAspect(model, 300, 0));
    EXPECT_FALSE(FitAspect(model, -5, 300));
    EXPECT_FALSE(FitAspect({0, 0, 0, 2}, 300, 300));
    // A ratio whose fit overflows the number range is no fit either.
    EXPECT_FALSE(FitAspect({-1e-4900L, 1e-4900L, 0, 1e4900L}, 3000, 2));
    EXPECT_FALSE(PixelToModel(model, 0, 10, 0, 0));
    EXPECT_FALSE(PixelToModel(model, 10, 0, 0, 0));
}

TEST(GeometryViews, PixelsAndBackAreInverse)
{
    const ViewBounds depthDown{-4, 4, 0, 6};
    const ViewBounds yUp{-4, 4, 3, -3};
    // The middle of the window reads the middle of the shown bounds.
    auto p = PixelToModel(depthDown, 800, 600, 400, 300);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->X, 0.0L);
    EXPECT_EQ(p->Y, 3.0L);
    p = PixelToModel(yUp, 800, 600, 400, 300);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Y, 0.0L);
    // Moving up increases Y in plan and decreases the depth in elevation.
    EXPECT_GT(PixelToModel(yUp, 800, 600, 400, 100)->Y, PixelToModel(yUp, 800, 600, 400, 101)->Y);
    EXPECT_LT(PixelToModel(depthDown, 800, 600, 400, 100)->Y, PixelToModel(depthDown, 800, 600, 400, 101)->Y);
    for (int px : {0, 1, 399, 799}) {
        SCOPED_TRACE(px);
        const auto m = PixelToModel(yUp, 800, 600, px, px / 2);
        EXPECT_EQ(MapToPixel(m->X, yUp.MinX, yUp.MaxX, 800), px);
        EXPECT_EQ(MapToPixel(m->Y, yUp.YAtTop, yUp.YAtBottom, 600), px / 2);
    }
}

TEST(GeometryViews, PixelRoundingAndLimits)
{
    struct Case {
        Extended value;
        int pixel;
    };
    const Case cases[] = {
        {2.5L, 2},   {3.5L, 4},  {-2.5L, -2}, {2.4999L, 2}, {2.5001L, 3}, // halves to even
        {1e30L, kPixelLimit}, {-1e30L, -kPixelLimit}, {INFINITY, kPixelLimit}, {NAN, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<double>(c.value));
        EXPECT_EQ(RoundPixel(c.value), c.pixel);
    }
}

// ------------------------------------------------------------------ texts

TEST(GeometryViews, OneDecimalText)
{
    struct Case {
        Extended value;
        QChar separator;
        const char* text;
    };
    const Case cases[] = {
        {0, u'.', "0.0"},
        {0.04L, u'.', "0.0"},
        {-0.04L, u'.', "0.0"}, // rounds to zero: no sign
        {-0.06L, u'.', "-0.1"},
        {12.34L, u',', "12,3"},
        {-12.36L, u'.', "-12.4"},
        {0.96L, u'.', "1.0"},
        {999999.94L, u'.', "999999.9"},
        {999999.96L, u',', "1E6"}, // seven digits before the separator
        {1234567.8L, u',', "1,234568E6"},
        {-98765432.0L, u'.', "-9.876543E7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FixedOneDecimalText(c.value, c.separator), QString::fromLatin1(c.text));
    }
}

TEST(SideProfileTexts, LayerLabels)
{
    const SideProfile p = Project({2, 3, 5}, {{0, 0}}).side(0.5L, 8);
    const SideDrawing d = LayOutSideProfile(p, p.ModelBounds, {700, 500, 96, 96, false}, u'.');
    ASSERT_EQ(d.Labels.size(), 3u);
    const char* first[] = {"depth= 0 - 2; Layer 1", "depth= 2 - 5; Layer 2", "depth= 5 - 10; Layer 3"};
    const char* second[] = {"Shear Wave Velocity= 100; Poissons Ratio= 0.3",
                            "Shear Wave Velocity= 200; Poissons Ratio= 0.3",
                            "Shear Wave Velocity= 300; Poissons Ratio= 0.3"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(d.Labels[i].Text.First, QString::fromLatin1(first[i]));
        EXPECT_EQ(d.Labels[i].Text.Second, QString::fromLatin1(second[i]));
    }
    // 15 significant digits and the separator given.
    const LayerLabelText l = LayerLabel(4, 0.1L + 0.2L, 1.0L / 3.0L, {1, 123456789012345678.0L, 0.25L}, u',');
    EXPECT_EQ(l.First, "depth= 0,3 - 0,333333333333333; Layer 4");
    EXPECT_EQ(l.Second, "Shear Wave Velocity= 1,23456789012346E17; Poissons Ratio= 0,25");
}

// ----------------------------------------------------------------- layout

TEST(SideProfileLayout, LayerLinesWhereTheMappingPutsThem)
{
    const SideProfile p = Project({2, 3, 5}, {{0, 0}}).side(0.5L, 8);
    const ViewBounds shown{-1, 1, 0, 10.5L};
    const SideDrawing d = LayOutSideProfile(p, shown, {700, 1050, 96, 96, false}, u'.');
    // The ground, then the bottoms at 2, 5 and 10: 100 pixels a unit.
    ASSERT_EQ(d.Lines.size(), 4u);
    const int rows[] = {0, 200, 500, 1000};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(d.Lines[i], QLine(0, rows[i], 700, rows[i]));
    // Labels just below each layer's top, at d - 0.95 t.
    EXPECT_EQ(d.Labels[0].TopLeft, QPoint(0, 10));
    EXPECT_EQ(d.Labels[1].TopLeft, QPoint(0, 215));
    EXPECT_EQ(d.Labels[2].TopLeft, QPoint(0, 525));
    ASSERT_EQ(d.Hatch.size(), 20u);
    EXPECT_EQ(d.Hatch.front(), QLine(120, 0, 135, 5));
    EXPECT_EQ(d.Hatch.back(), QLine(500, 0, 515, 5));
    // The pile from -0.5 to 0.5 across and 0 to 8 down.
    ASSERT_EQ(d.Piles.size(), 1u);
    const std::array<QPoint, 4> pile{QPoint(175, 0), QPoint(525, 0), QPoint(525, 800), QPoint(175, 800)};
    EXPECT_EQ(d.Piles[0], pile);
}

TEST(SideProfileLayout, TenLayersGiveTenLinesAndEightLabels)
{
    const SideProfile p = Project(std::vector<Extended>(10, 1.0L), {{0, 0}}).side(0.5L, 8);
    const SideDrawing d = LayOutSideProfile(p, *FitAspect(p.ModelBounds, 600, 400), {600, 400, 96, 96, false}, u'.');
    EXPECT_EQ(d.Lines.size(), 11u); // the ground and ten bottoms
    ASSERT_EQ(d.Labels.size(), 8u);
    EXPECT_EQ(d.Labels.back().Text.First, "depth= 7 - 8; Layer 8");
}

TEST(SideProfileLayout, PrintedPage)
{
    const SideProfile p = Project({2, 3, 5}, {{0, 0}}).side(0.5L, 8);
    const ViewBounds shown{-1, 1, 0, 10};
    // A 600 pixels-per-inch page, 6000 x 4000: the profile from 10 % to 90 %
    // of the height, the lines from 10 % to 90 % of the width.
    const SideDrawing d = LayOutSideProfile(p, shown, {6000, 4000, 600, 600, true}, u'.');
    EXPECT_EQ(d.Background, QRect(QPoint(600, 400), QPoint(5400, 3600)));
    EXPECT_EQ(d.PenWidth, 12);
    ASSERT_EQ(d.Lines.size(), 4u);
    EXPECT_EQ(d.Lines[0], QLine(600, 400, 5400, 400));   // ground
    EXPECT_EQ(d.Lines[3], QLine(600, 3600, 5400, 3600)); // depth 10
    EXPECT_EQ(d.Lines[1].y1(), 1040);                    // depth 2: 2/10 * 3200 + 400
    ASSERT_EQ(d.Hatch.size(), 10u);
    EXPECT_EQ(d.Hatch.front(), QLine(1050, 400, 1110, 470));
    EXPECT_EQ(d.Labels[0].TopLeft.x(), 600); // 15 % of the page height
    // Piles across the full page width.
    EXPECT_EQ(d.Piles[0][0], QPoint(1500, 400));
    EXPECT_EQ(d.Piles[0][2], QPoint(4500, 2960));
    // At 1200 pixels per inch the figures given in pixels double.
    const SideDrawing fine = LayOutSideProfile(p, shown, {6000, 4000, 1200, 1200, true}, u'.');
    EXPECT_EQ(fine.PenWidth, 24);
    EXPECT_EQ(fine.Hatch.front(), QLine(1100, 400, 1160, 540));
}

TEST(SideProfileLayout, TheFirstLabelStandsBelowTheGroundHatch)
{
    // A first layer thin against the depth: 0.05 of its thickness below the
    // ground is less than the hatch's depth, which ran through the label.
    const SideProfile p = Project({0.5L, 9.5L}, {{0, 0}}).side(0.5L, 8);
    const ViewBounds shown{-1, 1, 0, 10};
    struct Case {
        const char* what;
        ViewSurface surface;
    };
    const Case cases[] = {
        {"window", {700, 1000, 96, 96, false}},
        {"page at 600 pixels per inch", {6000, 4000, 600, 600, true}},
        {"page at 1200 pixels per inch", {12000, 8000, 1200, 1200, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const SideDrawing d = LayOutSideProfile(p, shown, c.surface, u'.');
        ASSERT_FALSE(d.Hatch.empty());
        ASSERT_EQ(d.Labels.size(), 2u);
        int lowest = 0; // the hatch's lowest row, with half its pen's width
        for (const QLine& stroke : d.Hatch)
            lowest = std::max({lowest, stroke.y1(), stroke.y2()});
        lowest += (std::max(d.PenWidth, 1) + 1) / 2;
        EXPECT_GT(d.Labels[0].TopLeft.y(), lowest);
        // The second layer's label keeps its place just below its top.
        const Extended span = c.surface.Page ? 0.8L * c.surface.Height : c.surface.Height;
        const Extended offset = c.surface.Page ? 0.1L * c.surface.Height : 0.0L;
        EXPECT_EQ(d.Labels[1].TopLeft.y(), MapToPixel(0.5L + 0.05L * 9.5L, 0, 10, span, offset));
    }
}

TEST(SideProfileLayout, NothingOnASurfaceWithoutArea)
{
    const SideProfile p = Project({2}, {{0, 0}}).side(0.5L, 8);
    for (const ViewSurface s : {ViewSurface{0, 300}, ViewSurface{300, 0}, ViewSurface{0, 0, 600, 600, true}}) {
        const SideDrawing d = LayOutSideProfile(p, p.ModelBounds, s, u'.');
        EXPECT_TRUE(d.Background.isNull());
        EXPECT_TRUE(d.Lines.empty());
        EXPECT_TRUE(d.Piles.empty());
    }
    // An empty view gets its background only.
    const SideDrawing blank = LayOutSideProfile(p, ViewBounds{0, 0, 0, 1}, {300, 300}, u'.');
    EXPECT_FALSE(blank.Background.isEmpty());
    EXPECT_TRUE(blank.Lines.empty());
}

TEST(PlanLayout, ResolutionSnapping)
{
    struct Case {
        int estimate, snapped;
    };
    const Case cases[] = {{0, 75},    {75, 75},   {76, 100},  {125, 100}, {126, 150},  {225, 150},
                          {226, 300}, {449, 300}, {450, 600}, {899, 600}, {900, 1200}, {100000, 1200}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.estimate);
        EXPECT_EQ(SnapResolution(c.estimate), c.snapped);
    }
    // 6600 x 5100 in landscape: 660 and 637, both 600.
    const ResolutionEstimates landscape = PageResolutions(6600, 5100, true);
    EXPECT_EQ(landscape.Horizontal, 600);
    EXPECT_EQ(landscape.Vertical, 600);
    // In portrait the divisors swap: 5100 div 8 = 637, 6600 div 10 = 660.
    const ResolutionEstimates portrait = PageResolutions(5100, 6600, false);
    EXPECT_EQ(portrait.Horizontal, 600);
    EXPECT_EQ(portrait.Vertical, 600);
    const ResolutionEstimates mixed = PageResolutions(3000, 4000, true); // 300 and 500
    EXPECT_EQ(mixed.Horizontal, 300);
    EXPECT_EQ(mixed.Vertical, 600);
}

TEST(PlanLayout, CirclesOnScreenAndOnThePage)
{
    const PlanView v = Project({1}, {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}}).plan(0.25L);
    const ViewBounds shown = *FitAspect(v.ModelBounds, 500, 250); // X -2.5..2.5, Y 1.25..-1.25
    const std::vector<QRect> boxes = LayOutPlanCircles(v.Circles, shown, {500, 250});
    ASSERT_EQ(boxes.size(), 4u);
    // The first pile (-1, -1) lies lower left: Y points up.
    EXPECT_EQ(boxes[0].topLeft(), QPoint(125, 200));
    EXPECT_EQ(boxes[0].bottomRight(), QPoint(175, 250));
    EXPECT_EQ(boxes[3].topLeft(), QPoint(325, 0));
    for (const QRect& b : boxes) // round: as wide as high
        EXPECT_EQ(b.right() - b.left(), b.bottom() - b.top());

    // On a page twice as wide as the window the boxes stretch; the printed
    // circle keeps the smaller half-axis both ways when the estimates agree
    // and follows their ratio when they do not.
    const ViewSurface page{2000, 500, 600, 600, true};
    const std::vector<QRect> equal = LayOutPlanCircles(v.Circles, shown, page, {600, 600});
    // The box 500..700 x 400..500: centre (600, 450), g = 50.
    EXPECT_EQ(equal[0].topLeft(), QPoint(550, 400));
    EXPECT_EQ(equal[0].bottomRight(), QPoint(650, 500));
    const std::vector<QRect> unequal = LayOutPlanCircles(v.Circles, shown, page, {600, 300});
    EXPECT_EQ(unequal[0].topLeft(), QPoint(550, 425)); // vertical radius Round(50 * 300 / 600)
    EXPECT_EQ(unequal[0].bottomRight(), QPoint(650, 475));
    EXPECT_TRUE(LayOutPlanCircles(v.Circles, shown, {0, 250}).empty());
    EXPECT_TRUE(LayOutPlanCircles(v.Circles, ViewBounds{0, 0, 1, 0}, {500, 250}).empty());
}

} // namespace
