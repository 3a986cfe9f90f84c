#include "PlotLines.h"

#include <gtest/gtest.h>

TEST(PlotListingTest, AtMostTwentyListedWhenAWindowOpens)
{
    const std::vector<bool> many(25, true);
    const auto listed = ListingAtOpen(many);
    ASSERT_EQ(listed.size(), 25u);
    for (int i = 0; i < 25; ++i)
        EXPECT_EQ(listed[i], i < 20) << i;
    // Twenty or fewer keep their own flags
    const std::vector<bool> few = {true, false, true};
    EXPECT_EQ(ListingAtOpen(few), few);
    EXPECT_EQ(ListedCurves(few), (std::vector<int>{0, 2}));
}

TEST(PlotListingTest, ColoursRepeatAfterSeventeen)
{
    EXPECT_EQ(LineColorIndex(0), 0);
    EXPECT_EQ(LineColorIndex(16), 16);
    EXPECT_EQ(LineColorIndex(17), 0); // the 18th listed line is black again
}

TEST(PlotListingTest, FlagsToggleAndRoundTrip)
{
    EXPECT_EQ(ToggledFlag(ListedFlag), UnlistedFlag);
    EXPECT_EQ(ToggledFlag(ToggledFlag(ListedFlag)), ListedFlag);
    EXPECT_EQ(ToggledFlag(QString("?")), ListedFlag);
    EXPECT_EQ(ActiveLinesItemText(ListedFlag, "Curve #1"), QString(" yes :    Curve #1"));
    const std::vector<bool> listed = {true, false, false, true};
    EXPECT_EQ(ListedFromFlags(FlagsFromListed(listed)), listed);
}

TEST(PlotContentTest, BoundsLegendAndSnapshotFollowThePlot)
{
    TGraphPlot plot;
    plot.SetLineCount(2);
    plot.SetPointCount(2);
    plot.Point(0, 1) = {100, 47};
    plot.Point(1, 1) = {50, 12};
    plot.Lines(1).Listed = false;
    plot.Lines(0).Active = false;
    plot.YCaption = "Stiffness";
    plot.YUnits = "F/L";
    plot.SetUnits(2);
    const auto b = ComputeBounds(plot);
    ASSERT_TRUE(b.has_value());
    EXPECT_EQ(b->MaxY, 50.0L);
    EXPECT_EQ(b->MaxX, 100.0L);

    plot.onGetCaption = [](int index, QString& text) { text += QString::number(index); };
    EXPECT_EQ(LegendTexts(plot), QStringList{"Curve #10"});

    const PlotContent c = ContentOf(plot, LegendTexts(plot));
    EXPECT_EQ(c.YText, QString("Stiffness (kN/m)"));
    ASSERT_EQ(c.Curves.size(), 2u);
    EXPECT_FALSE(c.Curves[0].Active);
    EXPECT_FALSE(c.Curves[1].Listed);
    EXPECT_EQ(c.Curves[0].Points[1].X, 100.0L);

    plot.SetPointCount(0);
    EXPECT_FALSE(ComputeBounds(plot).has_value());
}
