#pragma once

// The plot window: draws the curves of one TGraphPlot, zooms by dragging a
// rectangle (left button) and out by a right click, reads the data point
// under the mouse into its caption, lets the user move the legend, toggle
// and rename curves, set a title, print and save the graph as a bitmap.
//
// The main window hands its plots a window factory (FormFactory) for its own
// workspace and then calls TGraphPlot::Show. Qt does not merge menus: while a plot window
// is active the main window puts PlotMenu() into its menu bar and takes it
// out again when another window becomes active.

#include "PageSet.h"
#include "PlotLines.h"
#include "PltData.h"

#include <QPoint>
#include <QPrinter>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QActionGroup;
class QImage;
class QListWidget;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMenuBar;

class TPlotForm : public QWidget {
    Q_OBJECT

public:
    // The window of `plot`, as the plot's window hook, or none when the
    // plot's Y values span no range: no window is made then. With an area
    // the window becomes one of its sub-windows.
    static std::unique_ptr<PlotWindowHook> Create(TGraphPlot& plot, QMdiArea* area);
    // A factory that opens plot windows in `area` (none when the area is
    // gone), for TGraphPlot::SetFormFactory.
    static TGraphPlot::WindowFactory FormFactory(QMdiArea* area);
    // Puts the Plot menu of the active plot window into `bar`, before
    // `before` (at the end when null), and takes it out when another window
    // becomes active or none is.
    static void InstallMenuSwitching(QMdiArea* area, QMenuBar* bar, QAction* before);
    // The plot window inside an MDI sub-window, if it is one.
    static TPlotForm* FromSubWindow(QMdiSubWindow* window);

    ~TPlotForm() override;

    // Six by four inches, and never below three by two inches, so that
    // Cascade and Tile leave the graph readable.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The "&Plot" menu, for the main window's menu bar.
    QMenu* PlotMenu() const { return m_plotMenu; }

    TGraphPlot* Plot() const { return m_plot; }
    const PlotBounds& ViewBounds() const { return m_view; }
    const PlotBounds& FullBounds() const { return m_full; }
    Edges PlotRect() const { return m_layout.PlotRect; }
    QListWidget* Legend() const { return m_legend; }
    const QStringList& LegendEntries() const { return m_legendTexts; }
    TPageSetupDialog* PageSetupDialog() const { return m_pageSetup; }
    QPrinter& Printer() { return m_printer; }

    // Prints one page on `printer`; a failure is reported and answers false.
    bool PrintOn(QPrinter& printer);
    // Draws the graph into `bitmap` (sized by the Save Attributes dialog) at
    // the screen's resolution and writes it to `path` as a Windows bitmap
    // recording `pixelsPerInch`; a failure is reported and answers false.
    bool SaveBitmap(const QString& path, QImage& bitmap, int pixelsPerInch);

    // Where messages go; an information box unless replaced.
    using MessageHandler = std::function<void(const QString& message)>;
    void SetMessageHandler(MessageHandler handler) { m_message = std::move(handler); }

    static QString MemoryMessage(); // "There is not enough memory to complete this task."

    QAction* PlotLegend = nullptr;
    QMenu* PlotMarkers = nullptr;
    QAction* PlotPrint = nullptr;
    QAction* PlotPage = nullptr;
    QAction* PlotSave = nullptr;
    QAction* PlotCaption = nullptr;
    QAction* mLineName = nullptr;
    QAction* ActiveGraphs = nullptr;

public slots:
    void PlotLegendClick();
    void PlotPrintClick();
    void PlotPageClick();
    void PlotSaveClick();
    void PlotCaptionClick();
    void mLineNameClick();
    void ActiveGraphsClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The names of the plot's curves and whether each is listed in the legend.
    void curveNamesAndListing(QStringList& names, std::vector<bool>& listed) const;
    friend class PlotFormHook;
    TPlotForm(TGraphPlot& plot, const PlotBounds& bounds);

    void buildMenu();
    void PlotMenuClick();
    void PlotMarkersClick();
    // Listing, legend entries and per-line items from the plot, as at opening.
    void buildFromPlot();
    // Legend entries and per-line items for the listed lines, with `texts`
    // (one per listed line).
    void setEntries(const QStringList& texts);
    void refreshLegendItems();
    // The legend's own size for its entries (widening only unless allowed
    // to narrow), shown as far as the client area holds it.
    void sizeLegend(bool allowNarrowing);
    // After its entries changed: sized again, and kept in the plot area's
    // lower right corner when it was there.
    void resizeLegend();
    void fitLegendSize();
    void placeLegendInCorner();
    bool legendInCorner() const;
    void layOut(bool placeLegend);
    // Moves the legend, sized by fitLegendSize, into the client area.
    void keepLegendInside();
    void ToggleLine(int line);
    void dataChanged();
    void detachPlot() { m_plot = nullptr; }
    PlotContent content() const;
    void message(const QString& text);

    TGraphPlot* m_plot;
    PlotBounds m_full;
    PlotBounds m_view;
    PlotLayout m_layout;
    int m_ppiX = 96;
    int m_ppiY = 96;
    QStringList m_legendTexts;     // one per listed line
    std::vector<int> m_legendLines; // line index of each legend entry
    std::vector<QAction*> m_lineItems;
    QSize m_legendSize; // for every entry; the legend shows what the client area holds of it

    bool m_zooming = false;
    QPoint m_zoomStart;
    QPoint m_zoomCorner;
    bool m_legendPlaced = false; // at the plot area's lower right until first painted or dragged
    bool m_legendDragging = false;
    QPoint m_legendGrab;

    QMenu* m_plotMenu = nullptr;
    QActionGroup* m_markGroup = nullptr;
    QAction* m_lineSeparator = nullptr;
    QListWidget* m_legend = nullptr;
    TPageSetupDialog* m_pageSetup = nullptr;
    QPrinter m_printer{QPrinter::HighResolution};
    MessageHandler m_message;
};
