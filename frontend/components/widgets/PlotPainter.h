#pragma once

// The one drawing routine of a plot: captions, title, ticks, dotted grid,
// labels, curves with markers and, for prints and bitmaps, the legend box.
// It draws on whatever the painter paints on (the window, a printer page, a
// bitmap) inside the page geometry it is given, with every size taken from
// that geometry's pixels per inch.

#include "PlotLines.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <vector>

class QPainter;

// The serif face of the plot, 14 pixels high at 96 pixels per inch (bold for
// the X caption and the title).
QFont PlotFont(int ppiY, bool bold);

QColor LineColor(int listedPosition);

// A text the drawing wrote and the box it covers on the surface (for a
// rotated text, the box of the turned text).
struct DrawnText {
    enum class Kind { XLabel, YLabel, XCaption, YCaption, Title, Legend };
    Kind What;
    QString Text;
    QRect Box;
    QRect Ink; // tick labels: the bounds of the glyphs; other texts: Box
};

// Tick labels are measured with the painter's own font metrics. Where the
// labels of an axis would overlap (or come closer than a blank along it),
// only every second, fifth, tenth... is written, keeping the axis's end
// labels where that can be (SpacedLabels); ticks and grid lines all stay.
// A Y label whose glyphs would come within a blank (along the Y axis) of
// an X label's glyphs is left out.
// With `drawn`, every text written is recorded there.
void DrawPlot(QPainter& painter, const PlotPage& page, const PlotBounds& view, const PlotContent& content,
              std::vector<DrawnText>* drawn = nullptr);
