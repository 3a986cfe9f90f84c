#include "PageSetupModel.h"

#include <gtest/gtest.h>

TEST(PageSetupOptionsTest, NewlyAddedMemberOfEachPairWins)
{
    PageSetupData d;
    d.SetOptions({poDefaultMinMargins, poThousandthsOfInches});
    EXPECT_EQ(d.Options(), (TPageOptions{poDefaultMinMargins, poThousandthsOfInches}));
    EXPECT_EQ(d.RequestFlags(), 4u);

    PageSetupData e;
    e.SetOptions({poHundredthsOfMillimeters}); // neither minimum-margins member
    e.SetOptions({poMinMargins, poDefaultMinMargins});
    EXPECT_EQ(e.Options(), (TPageOptions{poDefaultMinMargins}));
    e.SetOptions({poMinMargins});
    EXPECT_EQ(e.Options(), (TPageOptions{poMinMargins}));
    EXPECT_EQ(e.RequestFlags(), 1u);

    // Both units new at once: hundredths of millimetres win
    PageSetupData f;
    f.SetOptions({});
    f.SetOptions({poThousandthsOfInches, poHundredthsOfMillimeters});
    EXPECT_EQ(f.Options(), (TPageOptions{poHundredthsOfMillimeters}));
}

TEST(PageSetupOptionsTest, RequestFlagsAreTheOrOfTheMembers)
{
    PageSetupData d;
    EXPECT_EQ(d.RequestFlags(), 8u); // default: default minimum margins, hundredths of mm
    d.SetOptions({poDefaultMinMargins, poHundredthsOfMillimeters, poDisableMargins, poMargins, poDisableOrientation,
                  poDisablePaper, poDisablePrinter});
    EXPECT_EQ(d.RequestFlags(), 8u | 16u | 2u | 256u | 512u | 32u);
}

TEST(PageSetupMarginsTest, MarginsStayAtLeastTheirMinimum)
{
    PageSetupData d;
    d.SetMinMarginLeft(500);
    EXPECT_EQ(d.MinMarginLeft(), 0); // the margin is still 0
    d.SetMarginLeft(1000);
    d.SetMinMarginLeft(500);
    d.SetMarginLeft(200);
    EXPECT_EQ(d.MarginLeft(), 500);
    d.SetMarginLeft(300);
    EXPECT_EQ(d.MarginLeft(), 500);

    PageSetupData e;
    e.SetMarginTop(300);
    e.SetMinMarginTop(800);
    EXPECT_EQ(e.MinMarginTop(), 300);
    e.SetMarginRight(40);
    e.SetMinMarginRight(10);
    e.SetMarginRight(5);
    EXPECT_EQ(e.MarginRight(), 10);
    e.SetMarginBottom(7);
    e.SetMinMarginBottom(9);
    EXPECT_EQ(e.MinMarginBottom(), 7);
}

TEST(PageSetupPlacementTest, CentredAcrossAndAThirdDown)
{
    EXPECT_EQ(CenterWindowPos(400, 300, 1024, 768), QPoint(312, 156));
    EXPECT_EQ(CenterWindowPos(1025, 769, 1024, 768), QPoint(0, 0)); // -0.5 and -0.33 truncate toward zero
}
