#include "SideProfile.h"

#include "NumberText.h"
#include "Table.h"

#include <algorithm>
#include <cmath>

ViewBounds SideModelBounds(const std::vector<PileShape>& shapes, Extended soilDepth, const ViewBounds& previous)
{
    if (shapes.empty())
        return previous;
    ViewBounds b; // from 0: the extent always holds the ground point above the origin
    for (const PileShape& s : shapes) {
        b.MinX = std::min({b.MinX, s.TopLeft.X, s.BottomLeft.X});
        b.MaxX = std::max({b.MaxX, s.TopRight.X, s.BottomRight.X});
        b.YAtTop = std::min({b.YAtTop, s.TopLeft.Y, s.TopRight.Y});
        b.YAtBottom = std::max({b.YAtBottom, s.BottomLeft.Y, s.BottomRight.Y});
    }
    if (soilDepth > b.YAtBottom)
        b.YAtBottom = soilDepth;
    // 5 % more away from zero on every side.
    b.MinX *= 1.05L;
    b.MaxX *= 1.05L;
    b.YAtTop *= 1.05L;
    b.YAtBottom *= 1.05L;
    return b;
}

SideProfile BuildSideProfile(const TGridTable& d, const TGridTable& pileCoord, Extended pileRadius,
                              Extended pileLength, const ViewBounds& previous)
{
    SideProfile p;
    p.ModelBounds = previous;
    Extended soilDepth = 0.0L;
    for (int row = 0; row < d.RowCount(); ++row) {
        SoilLayer layer;
        layer.Thickness = d.Cells(0, row)->GetFloat();
        layer.ShearWaveVelocity = d.Cells(2, row)->GetFloat();
        layer.PoissonsRatio = d.Cells(3, row)->GetFloat();
        soilDepth += layer.Thickness;
        p.Layers.push_back(layer);
    }
    if (p.Layers.empty())
        return p;
    const Extended w = 2.0L * pileRadius;
    p.Shapes.reserve(static_cast<std::size_t>(pileCoord.RowCount()));
    for (int row = 0; row < pileCoord.RowCount(); ++row) {
        const Extended c = pileCoord.Cells(1, row)->GetFloat();
        p.Shapes.push_back({{c - w / 2.0L, 0.0L}, {c + w / 2.0L, 0.0L}, {c - w / 2.0L, pileLength},
                            {c + w / 2.0L, pileLength}});
    }
    p.ModelBounds = SideModelBounds(p.Shapes, soilDepth, previous);
    return p;
}

LayerLabelText LayerLabel(int number, Extended top, Extended bottom, const SoilLayer& layer, QChar separator)
{
    const auto text = [separator](Extended v) {
        if (std::isnan(v))
            return QStringLiteral("NAN");
        if (std::isinf(v))
            return v > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
        return generalNumberText(v, 15, separator);
    };
    return {QStringLiteral("depth= ") + text(top) + QStringLiteral(" - ") + text(bottom) + QStringLiteral("; Layer ")
                + QString::number(number),
            QStringLiteral("Shear Wave Velocity= ") + text(layer.ShearWaveVelocity) + QStringLiteral("; Poissons Ratio= ")
                + text(layer.PoissonsRatio)};
}

namespace {

// The screen layout's figures are pixels at 96 per inch, the page's at 600
// per inch; both scale with the surface's resolution.
Extended screenScale(int ppi) { return ppi / 96.0L; }
Extended pageScale(int ppi) { return ppi / 600.0L; }

} // namespace

SideDrawing LayOutSideProfile(const SideProfile& profile, const ViewBounds& shown, const ViewSurface& s,
                               QChar separator)
{
    SideDrawing out;
    const int W = s.Width;
    const int H = s.Height;
    if (W <= 0 || H <= 0)
        return out;
    if (s.Page) {
        out.Background = QRect(QPoint(RoundPixel(0.1L * W), RoundPixel(0.1L * H)),
                               QPoint(RoundPixel(0.9L * W), RoundPixel(0.9L * H)));
        out.PenWidth = RoundPixel(12.0L * pageScale(s.PixelsPerInchX));
    } else {
        out.Background = QRect(0, 0, W, H);
    }
    if (GetNoDraw(shown))
        return out;

    // Depth to pixel row: the whole height on screen, 10 % to 90 % of a page.
    const Extended ySpan = s.Page ? H * 0.8L : static_cast<Extended>(H);
    const Extended yOffset = s.Page ? H * 0.1L : 0.0L;
    const auto py = [&](Extended depth) { return MapToPixel(depth, shown.YAtTop, shown.YAtBottom, ySpan, yOffset); };
    const auto px = [&](Extended x) { return MapToPixel(x, shown.MinX, shown.MaxX, W); };
    const int lineLeft = s.Page ? RoundPixel(0.1L * W) : 0;
    const int lineRight = s.Page ? RoundPixel(0.9L * W) : W;
    const int labelX = s.Page ? RoundPixel(0.15L * H) : 0;

    Extended d = 0.0L;
    for (std::size_t i = 0; i < profile.Layers.size(); ++i) {
        const Extended thickness = profile.Layers[i].Thickness;
        d = i == 0 ? thickness : d + thickness;
        int labelY = py(d - 0.95L * thickness); // just below the layer's top
        if (i == 0) {
            const int ground = py(0.0L);
            out.Lines.emplace_back(lineLeft, ground, lineRight, ground);
            if (s.Page) {
                const Extended k = pageScale(s.PixelsPerInchX);
                const Extended ky = pageScale(s.PixelsPerInchY);
                for (int stroke = 1; stroke <= 10; ++stroke)
                    out.Hatch.emplace_back(RoundPixel(0.25L * H) + RoundPixel(50.0L * stroke * k), ground,
                                           RoundPixel(0.265L * H) + RoundPixel(50.0L * stroke * k),
                                           ground + RoundPixel(70.0L * ky));
            } else {
                const Extended k = screenScale(s.PixelsPerInchX);
                const Extended ky = screenScale(s.PixelsPerInchY);
                for (int stroke = 1; stroke <= 20; ++stroke)
                    out.Hatch.emplace_back(RoundPixel((20.0L * stroke + 100.0L) * k), ground,
                                           RoundPixel((20.0L * stroke + 115.0L) * k), ground + RoundPixel(5.0L * ky));
            }
            // The first layer's label starts below the hatch and the ground
            // line (and their pen's half width), so that neither runs through it.
            const int hatchBottom = out.Hatch.front().y2() + (std::max(out.PenWidth, 1) + 1) / 2;
            labelY = std::max(labelY, hatchBottom + 1);
        }
        const int bottom = py(d);
        out.Lines.emplace_back(lineLeft, bottom, lineRight, bottom);
        if (static_cast<int>(i) < kLabelledLayers)
            out.Labels.push_back({QPoint(labelX, labelY),
                                  LayerLabel(static_cast<int>(i) + 1, d - thickness, d, profile.Layers[i], separator)});
    }

    out.Piles.reserve(profile.Shapes.size());
    for (const PileShape& p : profile.Shapes)
        out.Piles.push_back({QPoint(px(p.TopLeft.X), py(p.TopLeft.Y)), QPoint(px(p.TopRight.X), py(p.TopRight.Y)),
                             QPoint(px(p.BottomRight.X), py(p.BottomRight.Y)),
                             QPoint(px(p.BottomLeft.X), py(p.BottomLeft.Y))});
    return out;
}
