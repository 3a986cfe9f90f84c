#pragma once

// What a drawing of one plot needs to know of it, as a plain snapshot, and
// the rules the plot window and its dialogs share about listed curves: the
// first twenty listed at first, colours by position among the listed curves,
// the flag texts of the Active Plots list.

#include "PlotGeometry.h"
#include "PltData.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

struct PlotCurve {
    std::vector<PlotPoint> Points;
    bool Active = true; // drawn
    bool Listed = true; // has a legend entry and a Plot menu item
};

struct PlotContent {
    QString XText; // axis captions with their expanded units
    QString YText;
    QString Title;
    bool TitleOnTop = false;
    bool XOnTop = true;
    int Markers = 1;
    std::vector<PlotCurve> Curves;
    QStringList Legend; // entry p belongs to the p-th listed curve
};

// The curve at listed position p takes colour LineColors[LineColorIndex(p)].
int LineColorIndex(int listedPosition);

// At most this many curves are listed when a window opens.
constexpr int MaxListedAtOpen = 20;
// Listing of a new window: with more than twenty curves the first twenty are
// listed and the rest not; otherwise each keeps its own flag.
std::vector<bool> ListingAtOpen(const std::vector<bool>& listed);

// Indices of the listed curves, in curve order (legend position -> curve).
std::vector<int> ListedCurves(const std::vector<bool>& listed);

// Flags of the Active Plots list.
extern const QString ListedFlag;   // " yes : "
extern const QString UnlistedFlag; // " no  : "
QString ToggledFlag(const QString& flag);
QString ActiveLinesItemText(const QString& flag, const QString& name);
std::vector<bool> ListedFromFlags(const QStringList& flags);
QStringList FlagsFromListed(const std::vector<bool>& listed);

// Message for an empty legend text.
extern const QString EmptyLegendNameMessage;

// The bounds of a new view over every point of every line of the plot.
std::optional<PlotBounds> ComputeBounds(const TGraphPlot& plot);

// Legend texts of the listed lines, in line order, as a window builds them:
// each line's legend text, which the plot's onGetCaption may replace.
QStringList LegendTexts(const TGraphPlot& plot);

// Snapshot of the plot for one drawing, with the window's legend entries.
PlotContent ContentOf(const TGraphPlot& plot, const QStringList& legend);
