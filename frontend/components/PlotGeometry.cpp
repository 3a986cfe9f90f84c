#include "PlotGeometry.h"

#include "Misc.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr Extended Pi = 3.14159265358979323846264338327950288L;

// log10(3): a range whose mantissa is below it is rounded to a tenth of its order.
const Extended Log10Of3 = std::log10(3.0L);

// Bounds to the unit of one axis; a zero range is left as it is.
void roundAxis(Extended& minV, Extended& maxV)
{
    const Extended unit = BoundsUnit(maxV - minV);
    minV = unit * static_cast<Extended>(RoundOutward(minV / unit));
    maxV = unit * static_cast<Extended>(RoundOutward(maxV / unit));
}

// A tick this close to an axis end, in minor steps, still lies on the axis:
// a whole number of steps that should reach the end exactly (0..20 in steps
// of 0.4) misses it by rounding, by far less than this.
constexpr Extended TickTolerance = 1e-9L;

// Ticks more than this many steps from 0 are not counted (the step is lost
// against the limit's magnitude); the index is then 0.
constexpr Extended MaxTickSteps = 1e7L;

// The index of the last tick k x step (k counted from 0 toward `limit`) that
// still lies at or inside the limit; 0 when the first step already leaves.
std::int64_t lastIndexInside(Extended limit, Extended step, bool down)
{
    const Extended steps = (down ? -limit : limit) / step;
    if (!(steps >= 1.0L - TickTolerance) || !(steps <= MaxTickSteps))
        return 0;
    const auto index = static_cast<std::int64_t>(std::floor(steps + TickTolerance));
    return down ? -index : index;
}

} // namespace

std::int64_t RoundOutward(Extended x)
{
    return x > 0.0L ? static_cast<std::int64_t>(std::ceil(x)) : static_cast<std::int64_t>(std::floor(x));
}

Extended BoundsUnit(Extended range)
{
    const Extended l = std::log10(range);
    const Extended order = std::floor(l);
    Extended unit = std::pow(10.0L, order);
    if (l - order < Log10Of3)
        unit /= 10.0L;
    return unit;
}

std::optional<PlotBounds> ComputeBounds(const PointVisitor& points)
{
    PlotBounds b; // all 0: the range always contains 0
    points([&b](Extended x, Extended y) {
        if (!std::isfinite(x) || !std::isfinite(y))
            return;
        if (x < b.MinX)
            b.MinX = x;
        else if (x > b.MaxX)
            b.MaxX = x;
        if (y < b.MinY)
            b.MinY = y;
        else if (y > b.MaxY)
            b.MaxY = y;
    });
    if (!(b.MaxY - b.MinY > 0.0L) || !std::isfinite(b.MaxY - b.MinY))
        return std::nullopt;
    roundAxis(b.MinY, b.MaxY);
    if (b.MaxX - b.MinX > 0.0L && std::isfinite(b.MaxX - b.MinX)) {
        roundAxis(b.MinX, b.MaxX);
    } else {
        // Every X is 0: a unit range keeps the mapping and the ticks defined.
        b.MinX = 0.0L;
        b.MaxX = 1.0L;
    }
    return b;
}

PlotLayout ScreenLayout(int clientWidth, int clientHeight, int ppiX, int ppiY, bool xOnTop, bool hasTitle,
                        bool titleOnTop)
{
    PlotLayout l;
    l.PageRect = {0, 0, clientWidth, clientHeight};
    l.PlotRect.Left = ppiX / 2;
    l.PlotRect.Right = clientWidth - ppiX / 4;
    if (xOnTop) {
        l.PlotRect.Top = ppiY / 2;
        l.PlotRect.Bottom = clientHeight - ppiY / 4;
    } else {
        l.PlotRect.Top = ppiY / 4;
        l.PlotRect.Bottom = clientHeight - ppiY / 2;
    }
    if (hasTitle) {
        if (titleOnTop)
            l.PlotRect.Top += ppiY / 4;
        else
            l.PlotRect.Bottom -= ppiY / 4;
    }
    return l;
}

PlotLayout PrintLayout(int printableWidth, int printableHeight, int offX, int offY, int ppiX, int ppiY,
                       const PrintMargins& margins, bool xOnTop, bool hasTitle, bool titleOnTop)
{
    auto toPixels = [](int thousandths, int ppi) {
        return RoundToInt32(static_cast<Extended>(thousandths) * ppi / 1000.0L);
    };
    const int mL = std::max(toPixels(margins.Left, ppiX), offX);
    const int mR = std::max(toPixels(margins.Right, ppiX), offX);
    const int mT = std::max(toPixels(margins.Top, ppiY), offY);
    const int mB = std::max(toPixels(margins.Bottom, ppiY), offY);
    PlotLayout l;
    l.PageRect = {mL - offX, mT - offY, printableWidth + offX - mR, offY + printableHeight - mB};
    l.PlotRect.Left = l.PageRect.Left + ppiX / 2;
    l.PlotRect.Right = l.PageRect.Right;
    if (xOnTop) {
        l.PlotRect.Top = l.PageRect.Top + ppiY / 2;
        l.PlotRect.Bottom = l.PageRect.Bottom;
    } else {
        l.PlotRect.Top = l.PageRect.Top;
        l.PlotRect.Bottom = l.PageRect.Bottom - ppiY / 2;
    }
    if (hasTitle) {
        if (titleOnTop)
            l.PlotRect.Top += ppiY / 4;
        else
            l.PlotRect.Bottom -= ppiY / 2;
    }
    return l;
}

PlotLayout BitmapLayout(int width, int height, int ppiX, int ppiY, bool xOnTop, bool hasTitle, bool titleOnTop)
{
    PlotLayout l;
    l.PageRect = {0, 0, width, height};
    l.PlotRect.Left = (3 * ppiX) / 2;
    l.PlotRect.Right = width - ppiX / 4;
    if (xOnTop) {
        l.PlotRect.Top = (3 * ppiY) / 4;
        l.PlotRect.Bottom = height - ppiY / 4;
    } else {
        l.PlotRect.Top = ppiY / 2;
        l.PlotRect.Bottom = height - ppiY / 2;
    }
    // The title gets a band of its own, as in the window, so that the X
    // caption moved for it stays clear of the X labels.
    if (hasTitle) {
        if (titleOnTop)
            l.PlotRect.Top += ppiY / 4;
        else
            l.PlotRect.Bottom -= ppiY / 4;
    }
    return l;
}

std::optional<BitmapSize> BitmapSizeFor(Extended widthInches, Extended heightInches, Extended pixelsPerInch)
{
    auto side = [pixelsPerInch](Extended inches) -> std::optional<std::int64_t> {
        const Extended v = pixelsPerInch * inches;
        if (!(v >= 0.0L && v <= static_cast<Extended>(MaxBitmapSide) + 1.0L))
            return std::nullopt;
        const std::int64_t r = RoundToInt64(v);
        if (r > MaxBitmapSide)
            return std::nullopt;
        return r;
    };
    const auto w = side(widthInches);
    const auto h = side(heightInches);
    if (!w || !h)
        return std::nullopt;
    return BitmapSize{*w, *h};
}

QPoint PlotMapping::ToScreen(Extended x, Extended y) const
{
    const int px = RoundToInt32((x - m_view.MinX) / (m_view.MaxX - m_view.MinX) * m_rect.Width()) + m_rect.Left;
    const int c = RoundToInt32((y - m_view.MinY) / (m_view.MaxY - m_view.MinY) * m_rect.Height());
    return {px, m_xOnTop ? m_rect.Top + c : m_rect.Bottom - c};
}

PlotPoint PlotMapping::ToData(QPoint p) const
{
    PlotPoint d;
    if (p.x() < m_rect.Left || p.x() > m_rect.Right || m_rect.Width() == 0 || m_rect.Height() == 0)
        return d;
    d.X = m_view.MinX + static_cast<Extended>(p.x() - m_rect.Left) / m_rect.Width() * (m_view.MaxX - m_view.MinX);
    const Extended e = m_xOnTop ? static_cast<Extended>(p.y() - m_rect.Top) / m_rect.Height()
                                : static_cast<Extended>(m_rect.Bottom - p.y()) / m_rect.Height();
    d.Y = m_view.MinY + e * (m_view.MaxY - m_view.MinY);
    return d;
}

Extended MajorStep(Extended raw)
{
    const Extended d = std::pow(10.0L, std::floor(std::log10(raw)));
    const std::int64_t m = static_cast<std::int64_t>(std::trunc(raw / d));
    if (m < 2)
        return d;
    if (m <= 4)
        return 2.0L * d;
    if (m <= 8)
        return 5.0L * d;
    if (m <= 10)
        return 10.0L * d;
    return raw;
}

AxisTicks AxisTickRange(Extended minV, Extended maxV, Extended minorStep)
{
    AxisTicks t;
    t.MinorStep = minorStep;
    t.First = lastIndexInside(minV, minorStep, true);
    t.Last = lastIndexInside(maxV, minorStep, false);
    return t;
}

std::optional<PlotTicks> ComputeTicks(const PlotBounds& view, const Edges& plotRect, int ppiX, int ppiY)
{
    const int nx = (std::abs(plotRect.Width()) * 4) / (ppiX * 3);
    const int ny = (std::abs(plotRect.Height()) * 4) / (ppiY * 3);
    if (nx == 0 || ny == 0)
        return std::nullopt;
    const Extended rawX = (view.MaxX - view.MinX) / nx;
    const Extended rawY = (view.MaxY - view.MinY) / ny;
    if (!(rawX > 0.0L && std::isfinite(rawX) && rawY > 0.0L && std::isfinite(rawY)))
        return std::nullopt;
    PlotTicks t;
    t.X = AxisTickRange(view.MinX, view.MaxX, MajorStep(rawX) / 5.0L);
    t.Y = AxisTickRange(view.MinY, view.MaxY, MajorStep(rawY) / 5.0L);
    return t;
}

std::vector<bool> SpacedLabels(const std::vector<LabelSpan>& spans, int gap, int zeroIndex)
{
    const int n = static_cast<int>(spans.size());
    std::vector<bool> keep(spans.size(), false);
    if (n == 0)
        return keep;
    // Labels lie in axis order, so only neighbours among the kept ones can meet.
    auto apart = [&](int a, int b) {
        return spans[b].Begin - spans[a].End >= gap || spans[a].Begin - spans[b].End >= gap;
    };
    auto fits = [&](int step, int first) {
        for (int i = first; i + step < n; i += step)
            if (!apart(i, i + step))
                return false;
        return true;
    };
    // Where every step-th label best starts, among the ways that keep two
    // labels or more and fit (any one when step is n); -1 when none fits.
    auto bestStart = [&](int step) {
        int best = -1;
        int bestScore = -1;
        for (int first = 0; first < step; ++first) {
            if ((first + step >= n && step < n) || !fits(step, first))
                continue;
            const int ends = int(first == 0) + int((n - 1 - first) % step == 0);
            const bool zero = zeroIndex >= first && (zeroIndex - first) % step == 0;
            const int score = 2 * ends + int(zero);
            if (score > bestScore) {
                best = first;
                bestScore = score;
            }
        }
        return best;
    };
    auto every = [&](int step, int first) {
        for (int i = first; i < n; i += step)
            keep[i] = true;
        return keep;
    };
    // Steps of 1, 2, 5, 10, 20, 50... that keep two labels or more; failing
    // those, the one label that suits best (a step of n, which always fits).
    for (std::int64_t decade = 1; decade < n; decade *= 10)
        for (const std::int64_t m : {1, 2, 5}) {
            const std::int64_t step = m * decade;
            if (step >= n)
                break;
            const int first = bestStart(static_cast<int>(step));
            if (first >= 0)
                return every(static_cast<int>(step), first);
        }
    return every(n, bestStart(n));
}

QPoint ClampInto(QPoint p, const Edges& r)
{
    return {std::clamp(p.x(), r.Left, std::max(r.Left, r.Right)), std::clamp(p.y(), r.Top, std::max(r.Top, r.Bottom))};
}

bool Contains(const Edges& r, QPoint p)
{
    return p.x() >= r.Left && p.x() <= r.Right && p.y() >= r.Top && p.y() <= r.Bottom;
}

namespace {

// One axis of a zoom-in: at least 1/20 of the full range, inside it.
void limitZoom(Extended& minV, Extended& maxV, Extended fullMin, Extended fullMax)
{
    const Extended full = fullMax - fullMin;
    if (full > 20.0L * (maxV - minV)) {
        const Extended c = (minV + maxV) / 2.0L;
        minV = c - full / 40.0L;
        maxV = c + full / 40.0L;
        if (minV < fullMin) {
            maxV += fullMin - minV;
            minV = fullMin;
        }
        if (maxV > fullMax) {
            minV -= maxV - fullMax;
            maxV = fullMax;
        }
    }
}

// A zoom-out that would leave out less than this part of the full range
// shows all of it: a dragged range comes from pixel positions and is never
// exactly half the full range, so doubling it ends a little short of an
// axis end and drops that end's tick and label. It is the smallest part a
// zoom shows.
constexpr Extended FullRangeSnap = 1.0L / 20.0L;

// One axis of a zoom-out around v0.
void zoomOutAxis(Extended& minV, Extended& maxV, Extended fullMin, Extended fullMax, Extended v0)
{
    const Extended full = fullMax - fullMin;
    const Extended w = std::min(maxV - minV, full / 2.0L);
    if (w == full / 2.0L || 2.0L * w > (1.0L - FullRangeSnap) * full) {
        // The full bounds themselves: v0 -/+ w may miss them by round-off.
        minV = fullMin;
        maxV = fullMax;
        return;
    }
    if (v0 < fullMin + w)
        v0 = fullMin + w;
    if (v0 > fullMax - w)
        v0 = fullMax - w;
    minV = v0 - w;
    maxV = v0 + w;
}

} // namespace

std::optional<PlotBounds> ZoomIn(const PlotBounds& view, const PlotBounds& full, const Edges& plotRect, bool xOnTop,
                                 QPoint start, QPoint release)
{
    if (release.x() == start.x() || release.y() == start.y())
        return std::nullopt;
    const PlotMapping map(view, plotRect, xOnTop);
    const PlotPoint a = map.ToData(start);
    const PlotPoint b = map.ToData(ClampInto(release, plotRect));
    PlotBounds v{std::min(a.X, b.X), std::max(a.X, b.X), std::min(a.Y, b.Y), std::max(a.Y, b.Y)};
    limitZoom(v.MinX, v.MaxX, full.MinX, full.MaxX);
    limitZoom(v.MinY, v.MaxY, full.MinY, full.MaxY);
    return v;
}

PlotBounds ZoomOut(const PlotBounds& view, const PlotBounds& full, const Edges& plotRect, bool xOnTop, QPoint at)
{
    const PlotPoint p = PlotMapping(view, plotRect, xOnTop).ToData(at);
    PlotBounds v = view;
    zoomOutAxis(v.MinX, v.MaxX, full.MinX, full.MaxX, p.X);
    zoomOutAxis(v.MinY, v.MaxY, full.MinY, full.MaxY, p.Y);
    return v;
}

std::vector<QPoint> MarkerVertices(int k, QPoint centre, int ppiX, int ppiY)
{
    std::vector<QPoint> v;
    auto add = [&](Extended theta) {
        v.emplace_back(centre.x() + RoundToInt32(std::sin(theta) * ppiX / 32.0L),
                       centre.y() - RoundToInt32(std::cos(theta) * ppiY / 32.0L));
    };
    if (k == 0) {
        for (int i = 0; i <= 3; ++i)
            add(Pi + i * 2.0L * Pi / 3.0L);
    } else if (k == 1) {
        for (int i = 0; i <= 4; ++i)
            add(Pi / 4.0L + i * Pi / 2.0L);
    } else {
        for (int i = 0; i <= k + 1; ++i)
            add(i * 2.0L * Pi / (k + 1));
    }
    return v;
}

LegendBoxGeometry LegendBox(const Edges& plotRect, int ppiX, int ppiY, int n, int w, int h)
{
    LegendBoxGeometry g;
    g.Box = {plotRect.Right - w - (3 * ppiX) / 16, plotRect.Bottom - (ppiY / 32 + h) * n - ppiY / 32, plotRect.Right,
             plotRect.Bottom};
    g.FirstEntry = {g.Box.Left + ppiX / 16, g.Box.Top + ppiY / 32};
    g.EntryStep = ppiY / 32 + h;
    return g;
}

int LegendListWidth(int current, const std::vector<int>& textWidthsWithStar, int screenPpiX)
{
    for (int w : textWidthsWithStar)
        current = std::max(current, w + screenPpiX / 4);
    return current;
}

QStringList WrapWords(const QString& text, int maxWidth, const std::function<int(const QString&)>& measure)
{
    QStringList lines;
    QString line;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (line.isEmpty() || measure(candidate) <= maxWidth) {
            line = candidate;
        } else {
            lines << line;
            line = word;
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}
