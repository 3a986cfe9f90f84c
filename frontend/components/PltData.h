#pragma once

// The plot component: the curves of one graph (lines of points), their
// legend texts, axis captions with units placeholders, and the seam through
// which a plot window attaches itself. Nothing here needs a display.

#include "Extended.h"
#include "Misc.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class TGraphPlot;

struct TFloatPoint {
    Extended X = 0.0L;
    Extended Y = 0.0L;
};

// One curve of a plot.
class TLine {
public:
    // Takes the owner's current point count; numbered LineCount + 1 of the
    // owner at the moment of creation (the line is not appended here).
    explicit TLine(TGraphPlot* owner);
    TLine(const TLine&) = delete;
    TLine& operator=(const TLine&) = delete;

    TObjectList<TFloatPoint> Points;
    Extended Number = 0.0L;
    QString Name;
    bool Active = true;
    bool Listed = true;
    TGraphPlot* Owner;

    int Count() const { return Points.Count(); }
    // N below 0 counts as 0; points are dropped from the end or appended at (0, 0).
    void SetCount(int n);
    // Name when set, else the owner's Names entry for this line's index,
    // else CurveName followed by Number.
    QString GetName() const;
};

// The RGB colour of the k-th listed line is LineColors[k % LineColorCount].
struct LineRgb {
    int Red;
    int Green;
    int Blue;
};
inline constexpr int LineColorCount = 17;
extern const LineRgb LineColors[LineColorCount];

// Text with its force (F, F1, F2) and length (L, L1, L2) placeholders named
// for the unit system: 1 English, 2 SI; 3 leaves the text as it is. Only one
// kind of each is replaced: F2 if present, else F1, else F (likewise L).
QString ExpandPlotUnits(const QString& text, int units);

// "Caption (expanded units)", or the caption alone when there are no units.
QString AxisCaptionText(const QString& caption, const QString& unitsText, int units);

// What a plot window offers its plot. The window is made by the factory that
// the plot's owner hands it (TGraphPlot::SetFormFactory); the plot owns the hook until
// the window reports its closing with TGraphPlot::FormClosed.
class PlotWindowHook {
public:
    virtual ~PlotWindowHook() = default;
    // Shows the window, restoring it when minimised.
    virtual void ShowWindow() = 0;
    // The plot is being destroyed; the window must not use it any more.
    virtual void PlotDestroyed() = 0;
};

class TGraphPlot : public QObject {
    Q_OBJECT

public:
    using WindowFactory = std::function<std::unique_ptr<PlotWindowHook>(TGraphPlot& plot)>;
    // Lets the application replace the legend text of line Index.
    using TGetCaptionEvent = std::function<void(int index, QString& text)>;

    explicit TGraphPlot(QObject* owner = nullptr);
    ~TGraphPlot() override;

    // How this plot's window is made, given by the plot's owner (each main
    // window opens its plots in its own workspace); without one, Show does
    // nothing. An open window stays until it closes.
    void SetFormFactory(WindowFactory factory);

    QString CurveName = QStringLiteral("Curve #");
    QString Caption;
    bool ShowLegend = true;
    int Markers = 1;
    QString XCaption;
    QString XUnits;
    bool XOnTop = true;
    QString YCaption;
    QString YUnits;
    TGetCaptionEvent onGetCaption;
    QStringList Names;
    QString Title;
    bool TitleOnTop = false;
    // The folder the window's file dialogs (Save To Disk, and Print where it
    // goes to a PDF file) start in, set by the application: the project's.
    // Empty: the dialogs' own start.
    QString FileFolder;

    int Units() const { return m_units; }
    // Kept within 1..3.
    void SetUnits(int value);

    int LineCount() const { return m_lines.Count(); }
    TLine& Lines(int i) const { return *m_lines.Items(i); }
    int IndexOfLine(const TLine* line) const { return m_lines.IndexOf(line); }
    // Points of line 0; 0 without lines.
    int PointCount() const;
    // Point J of line I, to be read or written in place.
    TFloatPoint& Point(int i, int j) const;
    // N below 0 counts as 0; lines are dropped from the end or appended.
    void SetLineCount(int n);
    // Every line gets max(N, 0) points; nothing without lines.
    void SetPointCount(int n);

    QString XAxisCaption() const { return AxisCaptionText(XCaption, XUnits, m_units); }
    QString YAxisCaption() const { return AxisCaptionText(YCaption, YUnits, m_units); }

    // Creates the window on first use, then shows it.
    void Show();
    bool FormCreated() const { return m_form != nullptr; }
    PlotWindowHook* Form() const { return m_form.get(); }
    // The window is closing: the hook is destroyed here (so it must not be
    // the object whose method calls this) and the next Show makes a new window.
    void FormClosed();

    // Changes made between BeginUpdate and EndUpdate are announced once, by
    // the outermost EndUpdate, which always announces: points are written in
    // place through Point(), so only the writer knows when they changed.
    void BeginUpdate();
    void EndUpdate();
    void Changed();

signals:
    // Lines, points or units changed: an open window recomputes its view.
    void dataChanged();

private:
    TObjectList<TLine> m_lines;
    int m_units = 1;
    int m_updateDepth = 0;
    WindowFactory m_formFactory;
    std::unique_ptr<PlotWindowHook> m_form;
};
