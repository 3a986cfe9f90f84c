#pragma once

// Sizes of the table editor window, display-free: the window size for a
// number of shown grid rows and columns, and the snapping of a size the user
// drags to whole rows and columns.

#include <vector>

// The side or corner of the window that the user drags.
enum class SizingEdge { None, Left, Right, Top, TopLeft, TopRight, Bottom, BottomLeft, BottomRight };

// The grid as the window shows it, in pixels of the screen.
struct TableGridMetrics {
    std::vector<int> ColWidths; // every grid column, the fixed ones first
    int FixedCols = 1;
    int FixedRows = 0;
    int RowCount = 0;  // grid rows, the fixed ones included
    int RowHeight = 0; // every grid row, the fixed ones included
    int VisibleCols = 0;
    int VisibleRows = 0;
    int LeftColIndex = 0; // first shown data column
    int TopRowIndex = 0;  // first shown data row
};

// The window around the grid.
struct TableFrameMetrics {
    int FrameWidth = 0;  // window width - client width
    int FrameHeight = 0; // window height - client height
    int Margin = 0;
    int ButtonsBand = 0;  // Margin + button height when the buttons show, else 0
    int CommentsBand = 0; // Margin + label height when the comments show, else 0
    int PictureBand = 0;  // Margin + picture height when there is a picture, else 0
    int ButtonsWidth = 0; // from the left of Add Row to the right of Delete Row
    int GridFrame = 0;    // what the grid's border adds to its cells
    int ScrollBarWidth = 0;  // of a vertical bar
    int ScrollBarHeight = 0; // of a horizontal bar
};

// A window size with the grid columns and rows it shows.
struct SizeCandidate {
    int Width = 0;
    int Height = 0;
    int FirstCol = 0; // data column shown first
    int FirstRow = 0; // data row shown first
    int Cols = 0;     // data columns shown
    int Rows = 0;     // data rows shown
    bool operator==(const SizeCandidate&) const = default;
};

struct SnapRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const SnapRect&) const = default;
};

// Scroll-bar combinations, tried in this order: none, vertical, horizontal, both.
enum class ScrollBars { None = 0, Horizontal = 1, Vertical = 2, Both = 3 };

// How far a candidate of a x b pixels reaches beyond the proposed W x H.
int SnapOvershoot(int a, int b, int w, int h);

// The window size for one scroll-bar combination; raises when the grid has
// fewer than 2 columns ("There must be at least 2 columns in grid").
SizeCandidate SnapCandidate(SizingEdge edge, ScrollBars bars, const TableGridMetrics& grid,
                             const TableFrameMetrics& frame, int w, int h);

// The candidate that overshoots the proposed rectangle least (ties to the
// earlier combination), and the rectangle changed to its size on the
// dragged side.
SizeCandidate SnapSize(SizingEdge edge, SnapRect& rect, const TableGridMetrics& grid, const TableFrameMetrics& frame);

// The client size of the window that shows grid.VisibleCols x
// grid.VisibleRows (the grid's scroll bars where not all of it shows).
void TableClientSize(const TableGridMetrics& grid, const TableFrameMetrics& frame, int& width, int& height);
// Whether the grid needs its bars to show VisibleCols x VisibleRows.
bool NeedsVerticalBar(const TableGridMetrics& grid);
bool NeedsHorizontalBar(const TableGridMetrics& grid);
