#include "TableFormGeometry.h"

#include "Misc.h"

#include <gtest/gtest.h>

namespace {

// Two header rows over 25 data rows of 24 pixels; a group-number column of
// 32 and four data columns of 100 pixels; buttons 251 pixels wide.
TableGridMetrics grid(int visibleCols = 4, int visibleRows = 10, int left = 0, int top = 0)
{
    TableGridMetrics g;
    g.ColWidths = {32, 100, 100, 100, 100};
    g.FixedCols = 1;
    g.FixedRows = 2;
    g.RowCount = 27;
    g.RowHeight = 24;
    g.VisibleCols = visibleCols;
    g.VisibleRows = visibleRows;
    g.LeftColIndex = left;
    g.TopRowIndex = top;
    return g;
}

TableFrameMetrics frame()
{
    TableFrameMetrics f;
    f.FrameWidth = 8;
    f.FrameHeight = 30;
    f.Margin = 4;
    f.ButtonsBand = 25;
    f.ButtonsWidth = 251;
    f.GridFrame = 4;
    f.ScrollBarWidth = 16;
    f.ScrollBarHeight = 16;
    return f;
}

} // namespace

TEST(TableFormGeometry, Overshoot)
{
    EXPECT_EQ(SnapOvershoot(10, 10, 20, 20), 0);
    EXPECT_EQ(SnapOvershoot(30, 10, 20, 20), 200);  // too wide: (30 - 20) x 20
    EXPECT_EQ(SnapOvershoot(10, 25, 20, 20), 100);  // too high: (25 - 20) x 20
    EXPECT_EQ(SnapOvershoot(30, 25, 20, 20), 350);  // both: 750 - 400
}

// The proposed rectangle (right and bottom exclusive) and the dragged edge
// against the rectangle and the rows and columns the window takes.
TEST(TableFormGeometry, SnapsToWholeRowsAndColumns)
{
    struct Case {
        const char* what;
        TableGridMetrics grid;
        SizingEdge edge;
        SnapRect proposed;
        SnapRect rect;
        SizeCandidate chosen;
    };
    const Case cases[] = {
        {"narrow from the right: both bars, two columns", grid(), SizingEdge::Right, {100, 50, 400, 450},
         {100, 50, 368, 421}, {268, 371, 0, 0, 2, 10}},
        {"low from the bottom: three rows, every column", grid(), SizingEdge::Bottom, {0, 0, 500, 200},
         {0, 0, 468, 187}, {468, 187, 0, 0, 4, 3}},
        {"from the top left near the end: the rows move up", grid(4, 10, 0, 23), SizingEdge::TopLeft,
         {100, 100, 700, 400}, {232, 117, 700, 400}, {468, 283, 0, 18, 4, 7}},
        {"from the left: columns taken leftwards too", grid(2, 10, 2, 0), SizingEdge::Left, {0, 0, 330, 800},
         {62, 0, 330, 371}, {268, 371, 2, 0, 2, 10}},
        {"room for everything: no bars, the first candidate", grid(), SizingEdge::BottomRight, {0, 0, 1000, 1000},
         {0, 0, 452, 715}, {452, 715, 0, 0, 4, 25}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SnapRect r = c.proposed;
        const SizeCandidate chosen = SnapSize(c.edge, r, c.grid, frame());
        EXPECT_EQ(r, c.rect);
        EXPECT_EQ(chosen, c.chosen);

        // The window arranged for the chosen rows and columns has that size.
        TableGridMetrics shown = c.grid;
        shown.VisibleCols = chosen.Cols;
        shown.VisibleRows = chosen.Rows;
        shown.LeftColIndex = chosen.FirstCol;
        shown.TopRowIndex = chosen.FirstRow;
        int width = 0;
        int height = 0;
        TableClientSize(shown, frame(), width, height);
        EXPECT_EQ(width + frame().FrameWidth, chosen.Width);
        EXPECT_EQ(height + frame().FrameHeight, chosen.Height);
    }
}

TEST(TableFormGeometry, AGridNeedsTwoColumns)
{
    TableGridMetrics g = grid();
    g.ColWidths = {32};
    try {
        SnapCandidate(SizingEdge::Right, ScrollBars::None, g, frame(), 100, 100);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "There must be at least 2 columns in grid");
    }
}
