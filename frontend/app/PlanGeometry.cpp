#include "PlanGeometry.h"

#include "Table.h"

#include <algorithm>
#include <cstdlib>

ViewBounds PlanModelBounds(const std::vector<PileCircle>& circles, const ViewBounds& previous)
{
    if (circles.empty())
        return previous;
    ViewBounds b; // from 0: the extent always holds the origin
    for (const PileCircle& c : circles) {
        b.MinX = std::min(b.MinX, c.X - c.Radius);
        b.YAtBottom = std::min(b.YAtBottom, c.Y - c.Radius);
        b.MaxX = std::max(b.MaxX, c.X + c.Radius);
        b.YAtTop = std::max(b.YAtTop, c.Y + c.Radius);
    }
    return b;
}

PlanView BuildPlanView(const TGridTable& pileCoord, Extended pileRadius, const ViewBounds& previous)
{
    PlanView v;
    v.Circles.reserve(static_cast<std::size_t>(std::max(0, pileCoord.RowCount())));
    for (int row = 0; row < pileCoord.RowCount(); ++row)
        v.Circles.push_back({pileCoord.Cells(0, row)->GetFloat(), pileCoord.Cells(1, row)->GetFloat(), pileRadius});
    v.ModelBounds = PlanModelBounds(v.Circles, previous);
    return v;
}

int SnapResolution(int estimate)
{
    if (estimate >= 900)
        return 1200;
    if (estimate >= 450)
        return 600;
    if (estimate >= 226)
        return 300;
    if (estimate >= 126)
        return 150;
    if (estimate >= 76)
        return 100;
    return 75;
}

ResolutionEstimates PageResolutions(int pageWidth, int pageHeight, bool landscape)
{
    if (landscape)
        return {SnapResolution(pageWidth / 10), SnapResolution(pageHeight / 8)};
    return {SnapResolution(pageWidth / 8), SnapResolution(pageHeight / 10)};
}

std::vector<QRect> LayOutPlanCircles(const std::vector<PileCircle>& circles, const ViewBounds& shown,
                                     const ViewSurface& s, const ResolutionEstimates& estimates)
{
    std::vector<QRect> boxes;
    if (s.Width <= 0 || s.Height <= 0 || GetNoDraw(shown))
        return boxes;
    const auto px = [&](Extended x) { return MapToPixel(x, shown.MinX, shown.MaxX, s.Width); };
    const auto py = [&](Extended y) { return MapToPixel(y, shown.YAtTop, shown.YAtBottom, s.Height); };
    boxes.reserve(circles.size());
    for (const PileCircle& c : circles) {
        const int left = px(c.X - c.Radius);
        const int right = px(c.X + c.Radius);
        const int top = py(c.Y + c.Radius);
        const int bottom = py(c.Y - c.Radius);
        if (!s.Page || estimates.Horizontal <= 0) {
            boxes.push_back(QRect(QPoint(std::min(left, right), std::min(top, bottom)),
                                  QPoint(std::max(left, right), std::max(top, bottom))));
            continue;
        }
        const int cx = (left + right) / 2;
        const int cy = (top + bottom) / 2;
        const int g = std::min(std::abs(right - left), std::abs(bottom - top)) / 2;
        const int vertical = RoundPixel(static_cast<Extended>(g) * estimates.Vertical / estimates.Horizontal);
        boxes.push_back(QRect(QPoint(cx - g, cy - vertical), QPoint(cx + g, cy + vertical)));
    }
    return boxes;
}
