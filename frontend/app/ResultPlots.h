#pragma once

// The fourteen result plots of the main window and the plot data file that
// the analysis program leaves for them.

#include "Extended.h"
#include "PltData.h"

#include <QString>

#include <vector>

// One data record: frequency, a constant 1.0, real and imaginary part.
struct PlotRecord {
    Extended Frequency = 0.0L;
    Extended One = 0.0L;
    Extended Re = 0.0L;
    Extended Im = 0.0L;
};

// A plot data file read whole: each list holds one record per frequency.
struct ParsedPlotData {
    int Count = 0;
    int Units = 1;
    std::vector<PlotRecord> SingleHorizontal;  // block 1, first record
    std::vector<PlotRecord> GroupHorizontal;   // block 1, second record
    std::vector<PlotRecord> HorizontalFactor;  // block 2
    std::vector<PlotRecord> SingleVertical;    // block 3, first
    std::vector<PlotRecord> GroupVertical;     // block 3, second
    std::vector<PlotRecord> GroupRockingFromX; // block 3, third (DKGRX)
    std::vector<PlotRecord> GroupRockingFromY; // block 3, fourth (DKGRY)
    std::vector<PlotRecord> RockingFactor;     // block 4, first
    std::vector<PlotRecord> VerticalFactor;    // block 4, second
};

// Reads the whole file or raises EInOutError naming the file and the record
// that is wrong. The layout is checked in full: record 1 holds a count of 0 to
// 100 frequencies and units 1 or 2; then exactly 9 records per frequency,
// each of four finite numbers, the second 1.0, and the nine records of one
// frequency agree on it (within the rounding of their fields).
ParsedPlotData ReadPlotDataFile(const QString& path);

class ResultPlots {
public:
    // The plots take owner as their QObject parent, so that a plot window
    // can find the window that holds them; they are still destroyed with
    // this object.
    explicit ResultPlots(QObject* owner = nullptr);

    TGraphPlot pltSkin;
    TGraphPlot pltTip;
    TGraphPlot pltTotal;
    TGraphPlot pltAxial;
    TGraphPlot pltLoad;
    TGraphPlot pltCombine;
    TGraphPlot pltVfactor;
    TGraphPlot pltHorizs;
    TGraphPlot pltHortGroupImg;
    TGraphPlot pltHorizsIMG;
    TGraphPlot pltVertGroupIMG;
    TGraphPlot pltVertStiffSigImg;
    TGraphPlot pltMomXImg;
    TGraphPlot pltMomYIMG;

    // A Graphics menu item: its caption and plot; a null plot is a separator.
    struct MenuEntry {
        QString Caption;
        TGraphPlot* Plot;
    };
    std::vector<MenuEntry> MenuEntries();
    std::vector<TGraphPlot*> All();
    // How every one of the fourteen opens its window.
    void SetFormFactory(const TGraphPlot::WindowFactory& factory);
    // Where the file dialogs of every one of the fourteen start.
    void SetFileFolder(const QString& folder);

    // Gives every plot one curve with the file's points and units. Each
    // plot announces its change once.
    void Assign(const ParsedPlotData& data);
    // Reads the file, then assigns it: a file that cannot be read whole
    // changes no plot (EInOutError).
    void Load(const QString& path);
};
