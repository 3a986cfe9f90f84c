#pragma once

// The soil-pile profile in elevation without a display: the layers and pile
// outlines read from the tables, the extent they need, the label texts, and
// where every line, stroke, label and pile lands on a window or a page.

#include "ViewGeometry.h"

#include <QLine>
#include <QRect>
#include <QPoint>
#include <QString>

#include <array>
#include <vector>

class TGridTable;

// One pile in elevation, X across, Y depth (growing downward).
struct PileShape {
    ModelPoint TopLeft;
    ModelPoint TopRight;
    ModelPoint BottomLeft;
    ModelPoint BottomRight;
};

struct SoilLayer {
    Extended Thickness = 0.0L;
    Extended ShearWaveVelocity = 0.0L;
    Extended PoissonsRatio = 0.0L;
};

struct SideProfile {
    std::vector<SoilLayer> Layers;
    std::vector<PileShape> Shapes;
    ViewBounds ModelBounds{-10.0L, 10.0L, 0.0L, 10.0L};
};

// The profile of the current data: the layers of `d` (columns 0, 2 and 3)
// and one outline per row of `pileCoord` (its "Y-Coord.", column 1), each
// 2 pileRadius wide from the ground down to pileLength. Without layers no
// pile is shown. The extent runs from 0 to the outermost edges and to the
// deeper of the longest pile and the soil column, each bound then
// multiplied by 1.05; without piles it stays `previous`. A cell that cannot
// be read raises the table's exception (EListError for a missing column or
// row, EInvalidCast for one of the wrong kind).
SideProfile BuildSideProfile(const TGridTable& d, const TGridTable& pileCoord, Extended pileRadius,
                              Extended pileLength, const ViewBounds& previous);

// The extent of `shapes` over a soil column `soilDepth` deep, as above.
ViewBounds SideModelBounds(const std::vector<PileShape>& shapes, Extended soilDepth, const ViewBounds& previous);

// "depth= <top> - <bottom>; Layer <n>" and "Shear Wave Velocity= <v>;
// Poissons Ratio= <nu>", numbers as 15-digit general number text (a value
// that is not finite as "INF", "-INF" or "NAN").
struct LayerLabelText {
    QString First;
    QString Second;
};
LayerLabelText LayerLabel(int number, Extended top, Extended bottom, const SoilLayer& layer, QChar separator);

// Only the first eight layers are labelled.
inline constexpr int kLabelledLayers = 8;

// Everything the side view draws, in pixels of the surface.
struct SideDrawing {
    QRect Background;      // filled with the window colour
    std::vector<QLine> Lines; // the ground line, then every layer's bottom
    std::vector<QLine> Hatch;
    struct Label {
        QPoint TopLeft; // of the first line; the second stands one text height below
        LayerLabelText Text;
    };
    std::vector<Label> Labels;
    std::vector<std::array<QPoint, 4>> Piles; // top left, top right, bottom right, bottom left
    int PenWidth = 0;                         // 0: the thinnest line of the surface
};

// Lays out the profile over `shown` on `surface`. Nothing when the surface
// has no area; only the background when `shown` cannot be drawn. Each label
// stands just below its layer's top, the first one below the ground hatch.
SideDrawing LayOutSideProfile(const SideProfile& profile, const ViewBounds& shown, const ViewSurface& surface,
                               QChar separator);
