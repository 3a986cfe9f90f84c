#pragma once

// The pile group in plan without a display: one circle per pile read from
// the pile table, the extent they need, where each circle lands on a window
// or a page, and the page's resolution estimates that keep printed circles
// round.

#include "ViewGeometry.h"

#include <QRect>

#include <vector>

class TGridTable;

struct PileCircle {
    Extended X = 0.0L;
    Extended Y = 0.0L;
    Extended Radius = 0.0L;
};

struct PlanView {
    std::vector<PileCircle> Circles;
    ViewBounds ModelBounds{-10.0L, 10.0L, 10.0L, -10.0L}; // MinX, MaxX, Top (largest Y), Bottom
};

// One circle of `pileRadius` per row of `pileCoord` (columns 0 and 1); the
// extent from 0 to the circles' outermost points, no margin; without piles
// it stays `previous`. A cell that cannot be read raises the table's
// exception (EListError, EInvalidCast).
PlanView BuildPlanView(const TGridTable& pileCoord, Extended pileRadius, const ViewBounds& previous);

// The extent of `circles` as above.
ViewBounds PlanModelBounds(const std::vector<PileCircle>& circles, const ViewBounds& previous);

// A page's resolution estimate snapped to a printer resolution: 76-125 gives
// 100, 126-225 150, 226-449 300, 450-899 600, 900 and more 1200, less 75.
int SnapResolution(int estimate);

// The horizontal and vertical estimates of a W x H page: W div 10 and
// H div 8 in landscape, W div 8 and H div 10 in portrait, each snapped.
struct ResolutionEstimates {
    int Horizontal = 0;
    int Vertical = 0;
};
ResolutionEstimates PageResolutions(int pageWidth, int pageHeight, bool landscape);

// The ellipse box of every circle: on screen the mapped corners (X -+ R,
// Y -+ R); on a page the circle's box mapped over the whole page, its centre
// kept and its radii made g = min(width, height) div 2 across and
// Round(g * vertical / horizontal estimate) down, so that circles stay round
// whatever the page's shape. Each box runs from its topLeft() to its
// bottomRight() point (the ellipse's extreme points). Nothing when `shown` cannot be drawn or the
// surface has no area.
std::vector<QRect> LayOutPlanCircles(const std::vector<PileCircle>& circles, const ViewBounds& shown,
                                     const ViewSurface& surface, const ResolutionEstimates& estimates = {});
