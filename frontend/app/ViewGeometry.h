#pragma once

// What the side view and the top view share and what needs no display: the
// extent of a drawing in model units, its fit to the surface's aspect ratio
// (equal scales on both axes), the mapping to pixels and back, and the
// one-decimal number text of the mouse read-out.

#include "Extended.h"

#include <QChar>
#include <QString>

#include <optional>

// An extent in model units. YAtTop is the model Y at the surface's top edge
// and YAtBottom the one at its bottom edge: the side view's depth grows
// downward (YAtTop < YAtBottom), the top view's Y grows upward.
struct ViewBounds {
    Extended MinX = 0.0L;
    Extended MaxX = 0.0L;
    Extended YAtTop = 0.0L;
    Extended YAtBottom = 0.0L;

    Extended RangeX() const { return MaxX - MinX; }
    Extended RangeY() const;
    bool operator==(const ViewBounds&) const = default;
};

// True when the extent cannot be drawn: a zero range on either axis, or a
// bound or range that is not a finite number.
bool GetNoDraw(const ViewBounds& bounds);

// The bounds widened to a surface of width x height pixels so that both axes
// have the same scale: with a = (width / height) / (RangeX / RangeY), the X
// bounds are multiplied by a when a >= 1, otherwise the Y bounds are divided
// by it. None when the bounds cannot be drawn, the surface has no width or
// height, or the result is not finite.
std::optional<ViewBounds> FitAspect(const ViewBounds& model, int width, int height);

// Round((value - from) / (to - from) * span + offset), halves to even,
// clamped to +-kPixelLimit (a NaN gives 0) so that a pixel coordinate is
// always a finite integer a painter can take.
inline constexpr int kPixelLimit = 1 << 22;
int MapToPixel(Extended value, Extended from, Extended to, Extended span, Extended offset = 0.0L);
// Rounds to the nearest integer (halves to even), clamped as above.
int RoundPixel(Extended value);

// A surface to draw on: its size in pixels and its pixels per inch. A page
// uses the printed layout (the profile between 10 % and 90 % of the page
// height, a thicker hatch), a window the screen layout.
struct ViewSurface {
    int Width = 0;
    int Height = 0;
    int PixelsPerInchX = 96;
    int PixelsPerInchY = 96;
    bool Page = false;
};

// A pixel of a width x height surface showing `shown`, mapped back to model
// units: X = px / width * RangeX + MinX, Y = py / height * (YAtBottom -
// YAtTop) + YAtTop. None when the surface has no width or height.
struct ModelPoint {
    Extended X = 0.0L;
    Extended Y = 0.0L;
};
std::optional<ModelPoint> PixelToModel(const ViewBounds& shown, int width, int height, int px, int py);

// The value rounded to one decimal (a tie of the binary value to even), a
// "-" when the rounded value is below zero, at least one digit before the
// separator; with more than 6 digits before the separator scientific
// notation instead: up to 7 significant digits, "E", the exponent.
QString FixedOneDecimalText(Extended value, QChar separator);
