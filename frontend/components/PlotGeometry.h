#pragma once

// The display-free geometry of the plot window: data bounds, tick choice,
// the mapping between data and device pixels, zooming, marker shapes, the
// legend box and the page layouts of the window, the printer and a bitmap.
// Every length is in device pixels of the surface drawn on and derives from
// its pixels per inch; "div" is integer division truncating toward zero and
// Round goes to the even neighbour on a tie.

#include "Extended.h"

#include <QPoint>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

struct PlotPoint {
    Extended X = 0.0L;
    Extended Y = 0.0L;
};

struct PlotBounds {
    Extended MinX = 0.0L;
    Extended MaxX = 0.0L;
    Extended MinY = 0.0L;
    Extended MaxY = 0.0L;
    bool operator==(const PlotBounds&) const = default;
};

// Ceil(x) for x > 0, Floor(x) otherwise.
std::int64_t RoundOutward(Extended x);

// The rounding unit of a range: 10^Floor(log10(range)), a tenth of that when
// the range is under three units of its order of magnitude.
Extended BoundsUnit(Extended range);

// Visits every point of every curve, in any order.
using PointVisitor = std::function<void(const std::function<void(Extended x, Extended y)>&)>;

// The data range shown by a new window: it always contains 0 and is rounded
// outward to the unit of each axis. No value when the Y values span no range
// (no points, or every Y equal to 0): such a plot gets no window. An X range
// of zero becomes 0 .. 1. Values that are not finite are left out.
std::optional<PlotBounds> ComputeBounds(const PointVisitor& points);

// A rectangle by its edge coordinates, as the drawing uses them (QRect's
// right() is one less than its left + width).
struct Edges {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const Edges&) const = default;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
};

// Page rectangle (the whole surface) and plot area of one drawing.
struct PlotLayout {
    Edges PageRect;
    Edges PlotRect;
};

// One drawing's geometry, the resolution its sizes derive from, and how it
// is decorated.
struct PlotPage {
    Edges PageRect;
    Edges PlotRect;
    int PixelsPerInchX = 96;
    int PixelsPerInchY = 96;
    bool HorizontalYLabels = false; // saved bitmaps: Y labels and caption written horizontally
    bool WithLegendBox = false;     // printing and saving: the legend is drawn into the picture
};

// The window: client area w x h.
PlotLayout ScreenLayout(int clientWidth, int clientHeight, int ppiX, int ppiY, bool xOnTop, bool hasTitle,
                        bool titleOnTop);

// Margins of the page-setup dialog in thousandths of an inch.
struct PrintMargins {
    int Left = 1000, Top = 1000, Right = 1000, Bottom = 1000;
};

// The printed page, in the printable area's own coordinates: offX/offY are
// the unprintable left and top edges; a margin smaller than them uses them.
PlotLayout PrintLayout(int printableWidth, int printableHeight, int offX, int offY, int ppiX, int ppiY,
                       const PrintMargins& margins, bool xOnTop, bool hasTitle, bool titleOnTop);

// A saved bitmap of w x h pixels drawn at the screen's resolution; a title
// takes a quarter inch from the plot area on its side, as in the window.
PlotLayout BitmapLayout(int width, int height, int ppiX, int ppiY, bool xOnTop, bool hasTitle = false,
                        bool titleOnTop = false);

// Bitmap size from the Save Attributes fields: Round(ppi x inches).
struct BitmapSize {
    std::int64_t Width = 0;
    std::int64_t Height = 0;
};
// Largest side of a saved bitmap, in pixels.
constexpr std::int64_t MaxBitmapSide = 10000;
// No value when a side would exceed MaxBitmapSide.
std::optional<BitmapSize> BitmapSizeFor(Extended widthInches, Extended heightInches, Extended pixelsPerInch);

// Data to device pixels over a view and a plot area.
class PlotMapping {
public:
    PlotMapping(const PlotBounds& view, const Edges& plotRect, bool xOnTop)
        : m_view(view), m_rect(plotRect), m_xOnTop(xOnTop)
    {
    }
    // Raises EInvalidOp when a coordinate falls outside the integer range.
    QPoint ToScreen(Extended x, Extended y) const;
    // Inverse of ToScreen; (0, 0) when px lies outside Left..Right.
    PlotPoint ToData(QPoint p) const;

private:
    PlotBounds m_view;
    Edges m_rect;
    bool m_xOnTop;
};

struct AxisTicks {
    Extended MinorStep = 0.0L;
    std::int64_t First = 0; // tick k lies at k x MinorStep
    std::int64_t Last = 0;
};

// Major step for a raw step: 1, 2, 5 or 10 times its power of ten.
Extended MajorStep(Extended raw);

// Tick index range of one axis: the ticks k x minorStep from 0 out to each
// end, a tick within a billionth of a step beyond an end counted as on it;
// First/Last are 0 when the first step from 0 already leaves the range.
AxisTicks AxisTickRange(Extended minV, Extended maxV, Extended minorStep);

struct PlotTicks {
    AxisTicks X;
    AxisTicks Y;
};

// One major division for about every three quarters of an inch; no value when
// the plot area is too small for one on either axis.
std::optional<PlotTicks> ComputeTicks(const PlotBounds& view, const Edges& plotRect, int ppiX, int ppiY);

// A tick label's extent along its axis, in pixels: from Begin up to, not
// including, End.
struct LabelSpan {
    int Begin = 0;
    int End = 0;
};

// Which tick labels of one axis are written, given in axis order: every
// s-th label for the smallest s of 1, 2, 5, 10, 20, 50... with which no two
// written labels come closer than `gap` pixels. Of the s ways to take every
// s-th label, the one that keeps more of the two end labels wins, then the
// one that keeps label `zeroIndex` (the label of 0, or -1), then the one
// that starts earlier. When no step keeps two labels apart, the single
// label written is chosen the same way.
std::vector<bool> SpacedLabels(const std::vector<LabelSpan>& spans, int gap, int zeroIndex);

// Left-button drag released at `release` (unclamped); no value when the
// drag has no width or no height. The view is kept to at least 1/20 of the
// full range on each axis and inside it.
std::optional<PlotBounds> ZoomIn(const PlotBounds& view, const PlotBounds& full, const Edges& plotRect, bool xOnTop,
                                 QPoint start, QPoint release);

// Right click at `at`: doubles the view around the data point there, never
// beyond the full range; a view that would leave out less than 1/20 of the
// full range of an axis shows exactly its full range.
PlotBounds ZoomOut(const PlotBounds& view, const PlotBounds& full, const Edges& plotRect, bool xOnTop, QPoint at);

QPoint ClampInto(QPoint p, const Edges& r);
bool Contains(const Edges& r, QPoint p); // edges included

// Vertices of marker shape k around (px, py), closed (last = first): k = 0 a
// triangle pointing down, k = 1 a square, k >= 2 a regular polygon of k + 1
// corners with a corner straight up; 1/32 inch from centre to corner.
std::vector<QPoint> MarkerVertices(int k, QPoint centre, int ppiX, int ppiY);

// The legend box of a print or a bitmap: n active entries, the widest text
// w and the text height h.
struct LegendBoxGeometry {
    Edges Box;
    QPoint FirstEntry; // the first entry's marker column (x) and its top (y)
    int EntryStep = 0; // vertical distance between entries
};
LegendBoxGeometry LegendBox(const Edges& plotRect, int ppiX, int ppiY, int n, int w, int h);

// Width of the on-screen legend list: at least `current`, wide enough for
// every text (measured with its " *") plus a quarter inch.
int LegendListWidth(int current, const std::vector<int>& textWidthsWithStar, int screenPpiX);

// Splits text at blanks into lines no wider than maxWidth by `measure`; a
// single word wider than that stays on a line of its own.
QStringList WrapWords(const QString& text, int maxWidth, const std::function<int(const QString&)>& measure);
