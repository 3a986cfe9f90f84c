#include "ResultPlots.h"

#include "Misc.h"
#include "WordRead.h"

namespace {

void describe(TGraphPlot& plot, const char* caption, const char* yCaption, const char* yUnits)
{
    plot.Caption = QString::fromLatin1(caption);
    plot.YCaption = QString::fromLatin1(yCaption ? yCaption : caption);
    plot.YUnits = QString::fromLatin1(yUnits);
    plot.XCaption = QStringLiteral("Frequency (Hz)");
    plot.XOnTop = false;
    plot.CurveName = QStringLiteral("Curve #");
    plot.ShowLegend = true;
    plot.Markers = 1;
}

TPlotRecord readRecord(TWordReader& reader)
{
    TPlotRecord r;
    r.Frequency = reader.ReadFloat();
    r.One = reader.ReadFloat();
    r.Re = reader.ReadFloat();
    r.Im = reader.ReadFloat();
    return r;
}

void setCurve(TGraphPlot& plot, const std::vector<TPlotRecord>& records, Extended TPlotRecord::*part)
{
    for (std::size_t j = 0; j < records.size(); ++j) {
        TFloatPoint& p = plot.Point(0, static_cast<int>(j));
        p.X = records[j].Frequency;
        p.Y = records[j].*part;
    }
}

} // namespace

TPlotDataFile ReadPlotDataFile(const QString& path)
{
    TWordReader reader(path);
    TPlotDataFile data;
    data.Count = reader.ReadInteger();
    if (data.Count < 0 || data.Count > kMaxPlotFrequencies)
        throw EInOutError(QStringLiteral("Error on Line %1 Item %2\rA frequency count from 0 to %3 was expected but not found.")
                              .arg(reader.LineIndex() + 1)
                              .arg(reader.WordIndex())
                              .arg(kMaxPlotFrequencies));
    data.Units = reader.ReadInteger();
    if (data.Units != 1 && data.Units != 2)
        throw EInOutError(QStringLiteral("Error on Line %1 Item %2\rThe units 1 or 2 were expected but not found.")
                              .arg(reader.LineIndex() + 1)
                              .arg(reader.WordIndex()));
    const int n = data.Count;
    for (int j = 0; j < n; ++j) {
        data.SingleHorizontal.push_back(readRecord(reader));
        data.GroupHorizontal.push_back(readRecord(reader));
    }
    for (int j = 0; j < n; ++j)
        data.HorizontalFactor.push_back(readRecord(reader));
    for (int j = 0; j < n; ++j) {
        data.SingleVertical.push_back(readRecord(reader));
        data.GroupVertical.push_back(readRecord(reader));
        data.GroupRockingFromX.push_back(readRecord(reader));
        data.GroupRockingFromY.push_back(readRecord(reader));
    }
    for (int j = 0; j < n; ++j) {
        data.RockingFactor.push_back(readRecord(reader));
        data.VerticalFactor.push_back(readRecord(reader));
    }
    return data;
}

TResultPlots::TResultPlots(QObject* owner)
{
    for (TGraphPlot* plot : All())
        plot->setParent(owner);
    describe(pltSkin, "Horizontal Stiffness of Group Piles (Real Part)", "Horizontal Stiffness (Real Part)", "F/L");
    describe(pltHortGroupImg, "Horizontal Stiffness of Group Piles (Imaginary Part)",
             "Horizontal Stiffness (Imaginary Part)", "F/L");
    describe(pltTotal, "Vertical Stiffness of Group Piles", "Vertical Stiffness (Real Part)", "F/L");
    describe(pltVertGroupIMG, "Vertical Stiffness of Group Piles", "Vertical Stiffness (Imaginary Part)", "F/L");
    describe(pltAxial, "Rocking Stiffness (X-Dir., Real Part)", nullptr, "F-L/Radian");
    describe(pltMomXImg, "Rocking Stiffness (X-Dir., Imaginary Part)", nullptr, "F-L/Radian");
    describe(pltLoad, "Rocking Stiffness (Y-Dir., Real Part)", nullptr, "F-L/Radian");
    describe(pltMomYIMG, "Rocking Stiffness (Y-Dir., Imaginary Part)", nullptr, "F-L/Radian");
    describe(pltHorizs, "Horizontal Stiffness of Single Pile (Real Part)", nullptr, "F/L");
    describe(pltHorizsIMG, "Horizontal Stiffness of Single Pile (Imaginary Part)", nullptr, "F/L");
    describe(pltCombine, "Axial Stiffness of Single Pile (Real Part)", "Vertical Stiffness of Single Pile (Real Part)",
             "F/L");
    pltCombine.CurveName = QStringLiteral("#");
    describe(pltVertStiffSigImg, "Axial Stiffness of Single Pile (Imaginary Part)",
             "Vertical Stiffness of Single Pile (Imaginary Part)", "F/L");
    describe(pltTip, "Group Factor on Horizontal Stiffness", nullptr, "");
    describe(pltVfactor, "Group Factor on Vertical Stiffness", nullptr, "");
}

std::vector<TResultPlots::MenuEntry> TResultPlots::MenuEntries()
{
    return {
        {QStringLiteral("&Horizontal Stiffness of Group Piles (Real Part)"), &pltSkin},
        {QStringLiteral("Horizontal Stiffness of Group Piles (Imaginary Part)"), &pltHortGroupImg},
        {QStringLiteral("&Vertical Stiffness of Group Piles (Real Part)"), &pltTotal},
        {QStringLiteral("Vertical Stiffness of Group Piles (Imaginary Part)"), &pltVertGroupIMG},
        {QStringLiteral("Rocking Stiffness of Group Piles (X-Dir., Real Part)"), &pltAxial},
        {QStringLiteral("Rocking Stiffness of Group Piles (X-Dir., Imaginary Part)"), &pltMomXImg},
        {QStringLiteral("&Rocking Stiffness of Group Piles (Y-Dir., Real Part)"), &pltLoad},
        {QStringLiteral("Rocking Stiffness of Group Piles (Y-Dir., Imaginary Part)"), &pltMomYIMG},
        {QString(), nullptr},
        {QStringLiteral("Horizontal Stiffness of Single Pile (Real Part)"), &pltHorizs},
        {QStringLiteral("Horizontal Stiffness of Single Pile (Imaginary Part)"), &pltHorizsIMG},
        {QStringLiteral("Vertical Stiffness of Single Pile (Real Part)"), &pltCombine},
        {QStringLiteral("Vertical Stiffness of Single Pile (Imaginary Part)"), &pltVertStiffSigImg},
        {QString(), nullptr},
        {QStringLiteral("Group Reduction Factor on Horizontal Stiffness"), &pltTip},
        {QStringLiteral("Group Reduction Factor on Vertical Stiffness"), &pltVfactor},
    };
}

std::vector<TGraphPlot*> TResultPlots::All()
{
    std::vector<TGraphPlot*> plots;
    for (const MenuEntry& e : MenuEntries())
        if (e.Plot)
            plots.push_back(e.Plot);
    return plots;
}

void TResultPlots::SetFormFactory(const TGraphPlot::TFormFactory& factory)
{
    for (TGraphPlot* plot : All())
        plot->SetFormFactory(factory);
}

void TResultPlots::Assign(const TPlotDataFile& data)
{
    struct Curve {
        TGraphPlot* plot;
        const std::vector<TPlotRecord>* records;
        Extended TPlotRecord::*part;
    };
    // The rocking stiffness formed with the x coordinates (DKGRX) is the
    // rotation about the y axis: it goes to the plots captioned "Y-Dir.".
    const Curve curves[] = {
        {&pltHorizs, &data.SingleHorizontal, &TPlotRecord::Re},
        {&pltHorizsIMG, &data.SingleHorizontal, &TPlotRecord::Im},
        {&pltSkin, &data.GroupHorizontal, &TPlotRecord::Re},
        {&pltHortGroupImg, &data.GroupHorizontal, &TPlotRecord::Im},
        {&pltTip, &data.HorizontalFactor, &TPlotRecord::Re},
        {&pltCombine, &data.SingleVertical, &TPlotRecord::Re},
        {&pltVertStiffSigImg, &data.SingleVertical, &TPlotRecord::Im},
        {&pltTotal, &data.GroupVertical, &TPlotRecord::Re},
        {&pltVertGroupIMG, &data.GroupVertical, &TPlotRecord::Im},
        {&pltLoad, &data.GroupRockingFromX, &TPlotRecord::Re},
        {&pltMomYIMG, &data.GroupRockingFromX, &TPlotRecord::Im},
        {&pltAxial, &data.GroupRockingFromY, &TPlotRecord::Re},
        {&pltMomXImg, &data.GroupRockingFromY, &TPlotRecord::Im},
        {&pltVfactor, &data.VerticalFactor, &TPlotRecord::Re},
    };
    for (const Curve& c : curves) {
        c.plot->BeginUpdate();
        c.plot->SetLineCount(1);
        c.plot->SetPointCount(data.Count);
        setCurve(*c.plot, *c.records, c.part);
        c.plot->SetUnits(data.Units);
        c.plot->EndUpdate();
    }
}

void TResultPlots::Load(const QString& path)
{
    Assign(ReadPlotDataFile(path));
}
