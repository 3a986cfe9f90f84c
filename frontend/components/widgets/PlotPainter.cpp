#include "PlotPainter.h"

#include "Misc.h"
#include "NumberText.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace {

QRect rectOf(const Edges& e) { return QRect(e.Left, e.Top, e.Right - e.Left, e.Bottom - e.Top); }

// Text with its top-left corner at (x, y); rotated a quarter turn
// counter-clockwise, (x, y) is the corner of the unrotated box, so the text
// runs upward from the box's lower-left corner (x, y) to (x + h, y - w).
// Answers the box the text covers.
QRect textAt(QPainter& p, int x, int y, const QString& text, bool rotated)
{
    const QFontMetrics fm = p.fontMetrics();
    const int w = fm.horizontalAdvance(text);
    if (!rotated) {
        p.drawText(QPoint(x, y + fm.ascent()), text);
        return QRect(x, y, w, fm.height());
    }
    p.save();
    p.translate(x, y);
    p.rotate(-90.0);
    p.drawText(QPoint(0, fm.ascent()), text);
    p.restore();
    return QRect(x, y - w, fm.height(), w);
}

QString labelText(Extended v) { return generalNumberText(v, 4, localeDecimalSeparator(), 2); }

class Drawing {
public:
    Drawing(QPainter& p, const PlotPage& page, const PlotBounds& view, const PlotContent& c,
            std::vector<DrawnText>* drawn)
        : m_p(p), m_page(page), m_view(view), m_c(c), m_map(view, page.PlotRect, c.XOnTop),
          m_penWidth(RoundToInt32(page.PixelsPerInchX / 300.0L) + 1), m_drawn(drawn)
    {
    }

    void run()
    {
        const Edges& pr = m_page.PageRect;
        m_p.save();
        m_p.setRenderHint(QPainter::Antialiasing, false);
        m_p.setRenderHint(QPainter::TextAntialiasing, true);
        m_p.setPen(Qt::NoPen);
        m_p.setBrush(Qt::white);
        m_p.drawRect(rectOf(pr));
        m_p.setPen(blackPen(m_penWidth));
        if (pr.Width() >= m_page.PixelsPerInchX && pr.Height() >= m_page.PixelsPerInchY) {
            m_ticks = ComputeTicks(m_view, m_page.PlotRect, m_page.PixelsPerInchX, m_page.PixelsPerInchY);
            drawCaptions();
            if (m_ticks)
                drawGrid();
            drawLines();
            if (m_page.WithLegendBox)
                drawLegendBox();
            m_p.setBrush(Qt::NoBrush);
            m_p.setPen(blackPen(m_penWidth));
            const Edges& r = m_page.PlotRect;
            m_p.drawRect(QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top));
        }
        m_p.restore();
    }

private:
    static QPen blackPen(int width, Qt::PenStyle style = Qt::SolidLine)
    {
        QPen pen(Qt::black, width, style, Qt::SquareCap, Qt::MiterJoin);
        return pen;
    }

    int ppiX() const { return m_page.PixelsPerInchX; }
    int ppiY() const { return m_page.PixelsPerInchY; }

    // Widest Y label, for keeping a horizontal Y caption clear of them.
    int widestYLabel() const
    {
        if (!m_ticks || m_ticks->Y.Last <= m_ticks->Y.First)
            return 0;
        m_p.save();
        m_p.setFont(PlotFont(ppiY(), false));
        const QFontMetrics fm = m_p.fontMetrics();
        m_p.restore();
        int widest = 0;
        for (std::int64_t k = m_ticks->Y.First; k <= m_ticks->Y.Last; ++k)
            if (k % 5 == 0)
                widest = std::max(widest, fm.horizontalAdvance(labelText(k * m_ticks->Y.MinorStep)));
        return widest;
    }

    void drawCaptions()
    {
        const Edges& pr = m_page.PageRect;
        const bool hasTitle = !m_c.Title.isEmpty();
        m_p.setFont(PlotFont(ppiY(), true));
        const QFontMetrics bold = m_p.fontMetrics();
        {
            const int w = bold.horizontalAdvance(m_c.XText);
            const int x = (std::abs(pr.Left + pr.Right) - w) / 2;
            int y;
            if (m_c.XOnTop)
                y = pr.Top + (hasTitle && m_c.TitleOnTop ? ppiY() / 4 : 0);
            else
                y = pr.Bottom - bold.height() - (hasTitle && !m_c.TitleOnTop ? ppiY() / 4 : 0);
            record(DrawnText::Kind::XCaption, m_c.XText, textAt(m_p, x, y, m_c.XText, false));
        }
        if (hasTitle) {
            const int x = (pr.Left + pr.Right - bold.horizontalAdvance(m_c.Title)) / 2;
            const int y = m_c.TitleOnTop ? pr.Top : pr.Bottom - bold.height();
            record(DrawnText::Kind::Title, m_c.Title, textAt(m_p, x, y, m_c.Title, false));
        }
        const QFontMetrics fm = m_p.fontMetrics();
        if (!m_page.HorizontalYLabels) {
            const int y = (pr.Bottom + pr.Top + fm.horizontalAdvance(m_c.YText)) / 2;
            record(DrawnText::Kind::YCaption, m_c.YText, textAt(m_p, pr.Left, y, m_c.YText, true));
            return;
        }
        // Horizontal: the caption fills the band between the page's left edge
        // and the Y labels, in as many lines as it needs, centred on the plot
        // area's height; it never reaches into the labels or the plot area.
        const int bandRight = m_page.PlotRect.Left - ppiX() / 32 - widestYLabel() - ppiX() / 16;
        const int bandWidth = std::max(bandRight - pr.Left, 1);
        const QStringList lines =
            WrapWords(m_c.YText, bandWidth, [&fm](const QString& s) { return fm.horizontalAdvance(s); });
        const int blockHeight = static_cast<int>(lines.size()) * fm.height();
        int y = (m_page.PlotRect.Top + m_page.PlotRect.Bottom - blockHeight) / 2;
        m_p.save();
        m_p.setClipRect(QRect(pr.Left, pr.Top, bandWidth, pr.Bottom - pr.Top), Qt::IntersectClip);
        const QRect band(pr.Left, pr.Top, bandWidth, pr.Bottom - pr.Top);
        for (const QString& line : lines) {
            record(DrawnText::Kind::YCaption, line, textAt(m_p, pr.Left, y, line, false) & band);
            y += fm.height();
        }
        m_p.restore();
    }

    // A tick label waiting for the choice of the labels written on its axis.
    struct TickLabel {
        QString Text;
        int X, Y;
        bool Rotated;
        bool Zero; // the label of 0
        QRect Box;
        QRect Ink; // what its glyphs cover
    };

    TickLabel tickLabel(const QString& text, int x, int y, bool rotated, bool zero) const
    {
        const QFontMetrics fm = m_p.fontMetrics();
        const int w = fm.horizontalAdvance(text);
        const int h = fm.height();
        // Glyph bounds about the baseline origin, placed as textAt draws them.
        const QRect g = fm.tightBoundingRect(text).translated(0, fm.ascent());
        const QRect ink = rotated ? QRect(x + g.top(), y - g.right(), g.height(), g.width()) : g.translated(x, y);
        return {text, x, y, rotated, zero, rotated ? QRect(x, y - w, h, w) : QRect(x, y, w, h), ink};
    }

    // Writes the labels of one axis, evenly thinned where they would run
    // into each other: along the axis each keeps a blank's width from the
    // next. X labels come first; a Y label whose glyphs would come closer
    // than a blank to those of one of them is left out. The glyphs, not the
    // text boxes, decide there: the X label at the Y axis is centred on it,
    // and half a digit is more than the 1/32 inch left beside the Y labels,
    // so at the plot's corner the end labels' boxes meet (at 96 pixels per
    // inch rounding keeps them a pixel apart) while their glyphs stay clear.
    void writeLabels(DrawnText::Kind kind, const std::vector<TickLabel>& labels)
    {
        const bool xLabels = kind == DrawnText::Kind::XLabel;
        const int gap = m_p.fontMetrics().horizontalAdvance(QLatin1Char(' '));
        std::vector<LabelSpan> spans;
        int zero = -1;
        for (const TickLabel& l : labels) {
            if (l.Zero)
                zero = static_cast<int>(spans.size());
            spans.push_back(xLabels ? LabelSpan{l.Box.left(), l.Box.left() + l.Box.width()}
                                    : LabelSpan{l.Box.top(), l.Box.top() + l.Box.height()});
        }
        const std::vector<bool> keep = SpacedLabels(spans, gap, zero);
        for (std::size_t i = 0; i < labels.size(); ++i) {
            if (!keep[i])
                continue;
            const TickLabel& l = labels[i];
            if (!xLabels) {
                const QRect spaced = l.Ink.adjusted(0, -gap, 0, gap);
                if (std::any_of(m_xLabels.begin(), m_xLabels.end(),
                                [&spaced](const QRect& other) { return spaced.intersects(other); }))
                    continue;
            }
            textAt(m_p, l.X, l.Y, l.Text, l.Rotated);
            if (xLabels)
                m_xLabels.push_back(l.Ink);
            record(kind, l.Text, l.Box, l.Ink);
        }
    }

    void drawGrid()
    {
        const Edges& r = m_page.PlotRect;
        m_p.setFont(PlotFont(ppiY(), false));
        const QFontMetrics fm = m_p.fontMetrics();
        const int h = fm.height();
        std::vector<TickLabel> xLabels;
        std::vector<TickLabel> yLabels;
        const AxisTicks& tx = m_ticks->X;
        if (tx.Last > tx.First) {
            for (std::int64_t k = tx.First; k <= tx.Last; ++k) {
                const Extended v = k * tx.MinorStep;
                const int px = m_map.ToScreen(v, m_view.MinY).x();
                if (px < r.Left || px > r.Right)
                    continue;
                if (k % 5 == 0) {
                    m_p.setPen(blackPen(1, Qt::DotLine));
                    m_p.drawLine(px, r.Top, px, r.Bottom);
                    m_p.setPen(blackPen(1));
                    const QString text = labelText(v);
                    const int w = fm.horizontalAdvance(text);
                    const int y = m_c.XOnTop ? r.Top - h - ppiY() / 32 : r.Bottom + ppiY() / 16;
                    xLabels.push_back(tickLabel(text, px - w / 2, y, false, k == 0));
                }
                m_p.setPen(blackPen(1));
                if (m_c.XOnTop)
                    m_p.drawLine(px, r.Top, px, r.Top + ppiY() / 16);
                else
                    m_p.drawLine(px, r.Bottom, px, r.Bottom - ppiY() / 16);
            }
        }
        const AxisTicks& ty = m_ticks->Y;
        if (ty.Last > ty.First) {
            for (std::int64_t k = ty.First; k <= ty.Last; ++k) {
                const Extended v = k * ty.MinorStep;
                const int py = m_map.ToScreen(m_view.MinX, v).y();
                if (py < r.Top || py > r.Bottom)
                    continue;
                if (k % 5 == 0) {
                    m_p.setPen(blackPen(1, Qt::DotLine));
                    m_p.drawLine(r.Left, py, r.Right, py);
                    m_p.setPen(blackPen(1));
                    const QString text = labelText(v);
                    const int w = fm.horizontalAdvance(text);
                    if (m_page.HorizontalYLabels)
                        yLabels.push_back(tickLabel(text, r.Left - w - ppiX() / 32, py - h / 2, false, k == 0));
                    else
                        yLabels.push_back(tickLabel(text, r.Left - h - ppiX() / 32, py + w / 2, true, k == 0));
                }
                m_p.setPen(blackPen(1));
                m_p.drawLine(r.Left, py, r.Left + ppiX() / 16, py);
            }
        }
        m_p.setPen(blackPen(1));
        writeLabels(DrawnText::Kind::XLabel, xLabels);
        writeLabels(DrawnText::Kind::YLabel, yLabels);
        m_p.setPen(blackPen(m_penWidth));
    }

    void marker(int shape, QPoint at)
    {
        const std::vector<QPoint> v = MarkerVertices(shape, at, ppiX(), ppiY());
        m_p.drawPolyline(v.data(), static_cast<int>(v.size()));
    }

    void drawLines()
    {
        if (m_c.Curves.empty() || m_c.Curves[0].Points.size() < 2)
            return;
        m_p.save();
        m_p.setClipRect(rectOf(m_page.PlotRect), Qt::IntersectClip);
        m_p.setBrush(Qt::NoBrush);
        int k = 0;
        for (const PlotCurve& curve : m_c.Curves) {
            if (!curve.Listed)
                continue;
            if (curve.Active) {
                QPen pen(LineColor(k), m_penWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
                m_p.setPen(pen);
                std::optional<QPoint> last;
                for (std::size_t j = 0; j < curve.Points.size(); ++j) {
                    const std::optional<QPoint> at = screenPoint(curve.Points[j]);
                    if (at && last)
                        m_p.drawLine(*last, *at);
                    if (at && m_c.Markers > 0 && j % static_cast<std::size_t>(m_c.Markers) == 0)
                        marker(k, *at);
                    last = at; // a point that cannot be drawn breaks the curve
                }
            }
            ++k;
        }
        m_p.restore();
    }

    std::optional<QPoint> screenPoint(const PlotPoint& d) const
    {
        if (!std::isfinite(d.X) || !std::isfinite(d.Y))
            return std::nullopt;
        try {
            return m_map.ToScreen(d.X, d.Y);
        } catch (const EInvalidOp&) {
            return std::nullopt;
        }
    }

    void drawLegendBox()
    {
        const std::vector<int> listed = [this] {
            std::vector<bool> flags;
            for (const PlotCurve& c : m_c.Curves)
                flags.push_back(c.Listed);
            return ListedCurves(flags);
        }();
        auto activeAt = [&](int p) {
            return p < static_cast<int>(listed.size()) && m_c.Curves[listed[p]].Active;
        };
        const QFont font = PlotFont(ppiY(), false);
        m_p.setFont(font);
        const QFontMetrics fm = m_p.fontMetrics();
        int n = 0;
        int w = 0;
        for (int p = 0; p < m_c.Legend.size(); ++p)
            if (activeAt(p)) {
                ++n;
                w = std::max(w, fm.horizontalAdvance(m_c.Legend[p]));
            }
        const int h = fm.height();
        const LegendBoxGeometry g = LegendBox(m_page.PlotRect, ppiX(), ppiY(), n, w, h);
        m_p.setPen(blackPen(m_penWidth));
        m_p.setBrush(Qt::white);
        m_p.drawRect(QRect(g.Box.Left, g.Box.Top, g.Box.Width(), g.Box.Height()));
        m_p.setBrush(Qt::NoBrush);
        m_p.setFont(font);
        QPoint at = g.FirstEntry;
        for (int p = 0; p < m_c.Legend.size(); ++p) {
            if (!activeAt(p))
                continue;
            m_p.setPen(blackPen(m_penWidth));
            marker(p, QPoint(at.x(), at.y() + h / 2));
            m_p.setPen(LineColor(p));
            record(DrawnText::Kind::Legend, m_c.Legend[p], textAt(m_p, at.x() + ppiX() / 16, at.y(), m_c.Legend[p], false));
            at.ry() += g.EntryStep;
        }
        m_p.setPen(blackPen(m_penWidth));
    }

    void record(DrawnText::Kind kind, const QString& text, const QRect& box, const QRect& ink = QRect())
    {
        if (m_drawn)
            m_drawn->push_back({kind, text, box, ink.isNull() ? box : ink});
    }

    QPainter& m_p;
    const PlotPage& m_page;
    const PlotBounds& m_view;
    const PlotContent& m_c;
    const PlotMapping m_map;
    const int m_penWidth;
    std::optional<PlotTicks> m_ticks;
    std::vector<DrawnText>* m_drawn;
    std::vector<QRect> m_xLabels; // glyph bounds of the X tick labels written
};

} // namespace

QFont PlotFont(int ppiY, bool bold)
{
    QFont f(QStringLiteral("Liberation Serif"));
    f.setStyleHint(QFont::Serif);
    f.setPixelSize(std::max(1, RoundToInt32(14.0L * ppiY / 96.0L)));
    f.setWeight(bold ? QFont::Bold : QFont::Normal);
    return f;
}

QColor LineColor(int listedPosition)
{
    const LineRgb& c = LineColors[LineColorIndex(listedPosition)];
    return QColor(c.Red, c.Green, c.Blue);
}

void DrawPlot(QPainter& painter, const PlotPage& page, const PlotBounds& view, const PlotContent& content,
              std::vector<DrawnText>* drawn)
{
    Drawing(painter, page, view, content, drawn).run();
}
