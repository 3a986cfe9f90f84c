#pragma once

// The one drawing routine of a plot: captions, title, ticks, dotted grid,
// labels, curves with markers and, for prints and bitmaps, the legend box.
// It draws on whatever the painter paints on (the window, a printer page, a
// bitmap) inside the page geometry it is given, with every size taken from
// that geometry's pixels per inch.

#include "PlotLines.h"

#include <QColor>
#include <QFont>

class QPainter;

// The serif face of the plot, 14 pixels high at 96 pixels per inch (bold for
// the X caption and the title).
QFont PlotFont(int ppiY, bool bold);

QColor LineColor(int listedPosition);

void DrawPlot(QPainter& painter, const PlotPage& page, const PlotBounds& view, const PlotContent& content);
