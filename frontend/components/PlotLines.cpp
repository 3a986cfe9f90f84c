#include "PlotLines.h"

const QString ListedFlag = QStringLiteral(" yes : ");
const QString UnlistedFlag = QStringLiteral(" no  : ");
const QString EmptyLegendNameMessage = QStringLiteral("The line must have a name!");

int LineColorIndex(int listedPosition) { return listedPosition % LineColorCount; }

std::vector<bool> ListingAtOpen(const std::vector<bool>& listed)
{
    if (static_cast<int>(listed.size()) <= MaxListedAtOpen)
        return listed;
    std::vector<bool> result(listed.size(), false);
    for (int i = 0; i < MaxListedAtOpen; ++i)
        result[i] = true;
    return result;
}

std::vector<int> ListedCurves(const std::vector<bool>& listed)
{
    std::vector<int> result;
    for (int i = 0; i < static_cast<int>(listed.size()); ++i)
        if (listed[i])
            result.push_back(i);
    return result;
}

QString ToggledFlag(const QString& flag) { return flag == ListedFlag ? UnlistedFlag : ListedFlag; }

QString ActiveLinesItemText(const QString& flag, const QString& name) { return flag + QStringLiteral("   ") + name; }

std::vector<bool> ListedFromFlags(const QStringList& flags)
{
    std::vector<bool> result;
    result.reserve(flags.size());
    for (const QString& f : flags)
        result.push_back(f == ListedFlag);
    return result;
}

QStringList FlagsFromListed(const std::vector<bool>& listed)
{
    QStringList result;
    for (bool l : listed)
        result << (l ? ListedFlag : UnlistedFlag);
    return result;
}

std::optional<PlotBounds> ComputeBounds(const TGraphPlot& plot)
{
    return ComputeBounds([&plot](const std::function<void(Extended, Extended)>& visit) {
        for (int i = 0; i < plot.LineCount(); ++i) {
            const TLine& line = plot.Lines(i);
            for (int j = 0; j < line.Count(); ++j) {
                const TFloatPoint* p = line.Points.Items(j);
                visit(p->X, p->Y);
            }
        }
    });
}

QStringList LegendTexts(const TGraphPlot& plot)
{
    QStringList texts;
    for (int i = 0; i < plot.LineCount(); ++i) {
        if (!plot.Lines(i).Listed)
            continue;
        QString text = plot.Lines(i).GetName();
        if (plot.onGetCaption)
            plot.onGetCaption(i, text);
        texts << text;
    }
    return texts;
}

PlotContent ContentOf(const TGraphPlot& plot, const QStringList& legend)
{
    PlotContent c;
    c.XText = plot.XAxisCaption();
    c.YText = plot.YAxisCaption();
    c.Title = plot.Title;
    c.TitleOnTop = plot.TitleOnTop;
    c.XOnTop = plot.XOnTop;
    c.Markers = plot.Markers;
    c.Legend = legend;
    c.Curves.reserve(plot.LineCount());
    for (int i = 0; i < plot.LineCount(); ++i) {
        const TLine& line = plot.Lines(i);
        PlotCurve curve;
        curve.Active = line.Active;
        curve.Listed = line.Listed;
        curve.Points.reserve(line.Count());
        for (int j = 0; j < line.Count(); ++j)
            curve.Points.push_back({line.Points.Items(j)->X, line.Points.Items(j)->Y});
        c.Curves.push_back(std::move(curve));
    }
    return c;
}
