#include "TableFormGeometry.h"

#include "Misc.h"

#include <algorithm>

namespace {

int colWidth(const TableGridMetrics& grid, int col)
{
    return col >= 0 && col < static_cast<int>(grid.ColWidths.size()) ? grid.ColWidths[static_cast<std::size_t>(col)] : 0;
}

int fixedWidth(const TableGridMetrics& grid)
{
    int width = 0;
    for (int c = 0; c < grid.FixedCols; ++c)
        width += colWidth(grid, c);
    return width;
}

// The fixed columns and the VisibleCols data columns from LeftColIndex on.
int shownWidth(const TableGridMetrics& grid)
{
    int width = fixedWidth(grid);
    for (int k = 0; k < grid.VisibleCols; ++k)
        width += colWidth(grid, grid.FixedCols + grid.LeftColIndex + k);
    return width;
}

bool hasTop(SizingEdge edge)
{
    return edge == SizingEdge::Top || edge == SizingEdge::TopLeft || edge == SizingEdge::TopRight;
}

bool hasLeft(SizingEdge edge)
{
    return edge == SizingEdge::Left || edge == SizingEdge::TopLeft || edge == SizingEdge::BottomLeft;
}

} // namespace

int SnapOvershoot(int a, int b, int w, int h)
{
    if (w < a && h < b)
        return a * b - w * h;
    if (w < a)
        return (a - w) * h;
    if (h < b)
        return (b - h) * w;
    return 0;
}

SizeCandidate SnapCandidate(SizingEdge edge, ScrollBars bars, const TableGridMetrics& grid,
                             const TableFrameMetrics& frame, int w, int h)
{
    const int colCount = static_cast<int>(grid.ColWidths.size());
    if (colCount < 2)
        throw Exception(QStringLiteral("There must be at least 2 columns in grid"));
    const bool vertical = bars == ScrollBars::Vertical || bars == ScrollBars::Both;
    const bool horizontal = bars == ScrollBars::Horizontal || bars == ScrollBars::Both;
    SizeCandidate c;

    // Width.
    const int base = frame.FrameWidth + 2 * frame.Margin;
    const int minimum = base + frame.ButtonsWidth;
    int width = base + frame.GridFrame + (vertical ? frame.ScrollBarWidth : 0);
    if (!horizontal) {
        for (int col = 0; col < colCount; ++col)
            width += colWidth(grid, col);
        c.FirstCol = 0;
        c.Cols = colCount - grid.FixedCols;
    } else if (edge == SizingEdge::Top || edge == SizingEdge::Bottom) {
        width += shownWidth(grid);
        c.FirstCol = grid.LeftColIndex;
        c.Cols = grid.VisibleCols;
    } else {
        width += fixedWidth(grid);
        c.FirstCol = grid.LeftColIndex;
        c.Cols = 0;
        // Rightwards from the first shown column while the next one fits.
        int col = grid.LeftColIndex + grid.FixedCols;
        while (col < colCount) {
            width += colWidth(grid, col);
            ++c.Cols;
            ++col;
            if (!(col < colCount && (width < minimum || width + colWidth(grid, col) < w)))
                break;
        }
        // Then leftwards while there is room.
        for (col = grid.LeftColIndex + grid.FixedCols - 1; col >= grid.FixedCols; --col) {
            if (width >= minimum && width + colWidth(grid, col) >= w)
                break;
            width += colWidth(grid, col);
            ++c.Cols;
            --c.FirstCol;
        }
    }
    c.Width = std::max(width, minimum);

    // Height: the window is as high as the rows it shows.
    const int r0 = grid.RowHeight;
    const int heightBase = frame.ButtonsBand + frame.FrameHeight + 2 * frame.Margin + frame.CommentsBand
                           + frame.PictureBand + frame.GridFrame + (horizontal ? frame.ScrollBarHeight : 0);
    const int dataRows = grid.RowCount - grid.FixedRows;
    if (!vertical) {
        c.Height = heightBase + r0 * grid.RowCount;
        c.FirstRow = 0;
        c.Rows = dataRows;
    } else if (edge == SizingEdge::Left || edge == SizingEdge::Right) {
        c.Height = heightBase + r0 * (grid.FixedRows + grid.VisibleRows);
        c.FirstRow = grid.TopRowIndex;
        c.Rows = grid.VisibleRows;
    } else {
        c.Height = heightBase + r0 * (grid.FixedRows + 1);
        c.FirstRow = grid.TopRowIndex;
        c.Rows = 1;
        for (int row = 1; row < dataRows; ++row)
            if (c.Height + r0 < h) {
                c.Height += r0;
                ++c.Rows;
            }
        while (c.FirstRow > 0 && grid.FixedRows + c.FirstRow + c.Rows > grid.RowCount)
            --c.FirstRow;
    }
    return c;
}

SizeCandidate SnapSize(SizingEdge edge, SnapRect& rect, const TableGridMetrics& grid, const TableFrameMetrics& frame)
{
    const int w = rect.Right - rect.Left;
    const int h = rect.Bottom - rect.Top;
    SizeCandidate best;
    int bestScore = 0;
    bool first = true;
    for (ScrollBars bars : {ScrollBars::None, ScrollBars::Vertical, ScrollBars::Horizontal, ScrollBars::Both}) {
        const SizeCandidate c = SnapCandidate(edge, bars, grid, frame, w, h);
        const int score = SnapOvershoot(c.Width, c.Height, w, h);
        if (first || score < bestScore) {
            best = c;
            bestScore = score;
            first = false;
        }
    }
    if (hasTop(edge))
        rect.Top = rect.Bottom - best.Height;
    else
        rect.Bottom = rect.Top + best.Height;
    if (hasLeft(edge))
        rect.Left = rect.Right - best.Width;
    else
        rect.Right = rect.Left + best.Width;
    return best;
}

bool NeedsVerticalBar(const TableGridMetrics& grid)
{
    return grid.FixedRows + grid.VisibleRows < grid.RowCount;
}

bool NeedsHorizontalBar(const TableGridMetrics& grid)
{
    return grid.FixedCols + grid.VisibleCols < static_cast<int>(grid.ColWidths.size());
}

void TableClientSize(const TableGridMetrics& grid, const TableFrameMetrics& frame, int& width, int& height)
{
    const int gridWidth = frame.GridFrame + shownWidth(grid) + (NeedsVerticalBar(grid) ? frame.ScrollBarWidth : 0);
    width = std::max(frame.Margin + gridWidth, frame.Margin + frame.ButtonsWidth) + frame.Margin;
    const int gridHeight = frame.GridFrame + grid.RowHeight * (grid.FixedRows + grid.VisibleRows)
                           + (NeedsHorizontalBar(grid) ? frame.ScrollBarHeight : 0);
    height = frame.Margin + gridHeight + frame.Margin + frame.ButtonsBand + frame.CommentsBand + frame.PictureBand;
}
