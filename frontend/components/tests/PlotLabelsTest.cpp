// Where the drawing writes its texts on each surface (window, bitmap, printed
// PDF page): no two texts overlap, labels that would run into each other are
// left out while their ticks stay, the axis end keeps its tick and label, a
// printed page carries the labels of a window of its size, and a bitmap's
// bottom title has a band of its own.

#include "NumberText.h"
#include "PlotPainter.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

using Kind = DrawnText::Kind;

// One curve over 0..20 Hz reaching up to maxY (bounds 0..20 x 0..roundedMaxY).
PlotContent curveUpTo(Extended maxY, const QString& title = QString(), bool titleOnTop = false, bool xOnTop = false)
{
    PlotContent c;
    c.XOnTop = xOnTop;
    c.Markers = 1;
    c.XText = "Frequency (Hz)";
    c.YText = "Horizontal Stiffness (Real Part) (kN/m)";
    c.Title = title;
    c.TitleOnTop = titleOnTop;
    PlotCurve curve;
    curve.Points = {{0, 0.3L * maxY}, {10, maxY}, {20, 0.6L * maxY}};
    c.Curves = {curve};
    c.Legend = {"Curve #1"};
    return c;
}

PlotPage pageOf(const PlotLayout& l, int ppi, bool horizontalYLabels, bool legendBox)
{
    PlotPage page;
    page.PageRect = l.PageRect;
    page.PlotRect = l.PlotRect;
    page.PixelsPerInchX = page.PixelsPerInchY = ppi;
    page.HorizontalYLabels = horizontalYLabels;
    page.WithLegendBox = legendBox;
    return page;
}

struct Drawn {
    QImage image; // null for a printed page
    std::vector<DrawnText> texts;
};

Drawn drawOnImage(QSize size, const PlotPage& page, const PlotBounds& view, const PlotContent& c)
{
    Drawn d;
    d.image = QImage(size, QImage::Format_RGB32);
    d.image.fill(Qt::red);
    QPainter p(&d.image);
    DrawPlot(p, page, view, c, &d.texts);
    return d;
}

// A page printed to a PDF (A4 at 1200 dots per inch unless told) with
// one-inch margins, laid out as the plot window prints; `plotRect` receives
// the plot area.
Drawn drawOnPdf(const QString& path, const PlotBounds& view, const PlotContent& c,
                QPageSize::PageSizeId paper = QPageSize::A4, int dpi = 1200, Edges* plotRect = nullptr)
{
    Drawn d;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setResolution(dpi);
    printer.setPageSize(QPageSize(paper));
    printer.setFullPage(false);
    QPainter p;
    if (!p.begin(&printer))
        return d;
    const QRect paint = printer.pageLayout().paintRectPixels(printer.resolution());
    const int ppi = printer.logicalDpiY();
    const PlotLayout l = PrintLayout(paint.width(), paint.height(), paint.left(), paint.top(), ppi, ppi, {},
                                     c.XOnTop, !c.Title.isEmpty(), c.TitleOnTop);
    DrawPlot(p, pageOf(l, ppi, false, true), view, c, &d.texts);
    p.end();
    if (plotRect)
        *plotRect = l.PlotRect;
    return d;
}

std::vector<DrawnText> ofKind(const std::vector<DrawnText>& texts, Kind kind)
{
    std::vector<DrawnText> out;
    for (const DrawnText& t : texts)
        if (t.What == kind)
            out.push_back(t);
    return out;
}

// The first pair of texts whose boxes overlap, as a message; empty when none
// do. An X label and a Y label are compared by their glyphs: at the plot's
// corner the layout lets their boxes meet.
QString firstOverlap(const std::vector<DrawnText>& texts)
{
    auto tickLabel = [](const DrawnText& t) { return t.What == Kind::XLabel || t.What == Kind::YLabel; };
    for (std::size_t i = 0; i < texts.size(); ++i)
        for (std::size_t j = i + 1; j < texts.size(); ++j) {
            const DrawnText& a = texts[i];
            const DrawnText& b = texts[j];
            const bool byGlyphs = tickLabel(a) && tickLabel(b) && a.What != b.What;
            if (byGlyphs ? a.Ink.intersects(b.Ink) : a.Box.intersects(b.Box))
                return QString("\"%1\" overlaps \"%2\"").arg(a.Text, b.Text);
        }
    return QString();
}

// The label texts of one axis, in the order written.
QStringList labelsOf(const std::vector<DrawnText>& texts, Kind kind)
{
    QStringList out;
    for (const DrawnText& t : ofKind(texts, kind))
        out << t.Text;
    return out;
}

bool hasText(const std::vector<DrawnText>& texts, Kind kind, const QString& text)
{
    for (const DrawnText& t : ofKind(texts, kind))
        if (t.Text == text)
            return true;
    return false;
}

} // namespace

class PlotLabelsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void noTwoTextsOverlap_data()
    {
        QTest::addColumn<QString>("surface");
        QTest::addColumn<bool>("xOnTop");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("titleOnTop");
        QTest::addColumn<double>("maxY");
        for (const char* surface : {"window", "bitmap", "pdf"})
            for (bool xOnTop : {false, true})
                for (int title = 0; title < 3; ++title)
                    // Y up to 4.3E05 gives bounds 0..5E05 and labels every 2E04: denser than
                    // the labels are long on the window and the printed page.
                    for (double maxY : {4.3e5, -7.7e-3}) {
                        const QString name = QString("%1 %2 %3 %4")
                                                 .arg(surface, xOnTop ? "x on top" : "x below",
                                                      title == 0 ? "no title" : title == 1 ? "title on top" : "title below")
                                                 .arg(maxY);
                        QTest::newRow(qPrintable(name)) << QString(surface) << xOnTop
                                                        << (title == 0 ? QString() : QString("Pile group 2 x 2"))
                                                        << (title == 1) << maxY;
                    }
    }

    void noTwoTextsOverlap()
    {
        QFETCH(QString, surface);
        QFETCH(bool, xOnTop);
        QFETCH(QString, title);
        QFETCH(bool, titleOnTop);
        QFETCH(double, maxY);
        const PlotContent c = curveUpTo(maxY, title, titleOnTop, xOnTop);
        const PlotBounds view = maxY > 0 ? PlotBounds{0, 20, 0, 5e5L} : PlotBounds{0, 20, -8e-3L, 0};
        Drawn d;
        if (surface == "window") {
            const QSize size(1100, 900);
            const PlotLayout l = ScreenLayout(size.width(), size.height(), 96, 96, xOnTop, !title.isEmpty(), titleOnTop);
            d = drawOnImage(size, pageOf(l, 96, false, false), view, c);
        } else if (surface == "bitmap") {
            // The Save Attributes defaults: 6 x 4 inches, drawn at 96 pixels per inch.
            const QSize size(576, 384);
            const PlotLayout l =
                BitmapLayout(size.width(), size.height(), 96, 96, xOnTop, !title.isEmpty(), titleOnTop);
            d = drawOnImage(size, pageOf(l, 96, true, true), view, c);
        } else {
            d = drawOnPdf(m_dir.filePath("page.pdf"), view, c);
            QFile pdf(m_dir.filePath("page.pdf"));
            QVERIFY(pdf.open(QIODevice::ReadOnly));
            QCOMPARE(pdf.read(5), QByteArray("%PDF-"));
        }
        QVERIFY(ofKind(d.texts, Kind::XLabel).size() >= 3);
        QVERIFY(ofKind(d.texts, Kind::YLabel).size() >= 2);
        QCOMPARE(ofKind(d.texts, Kind::XCaption).size(), std::size_t(1));
        QCOMPARE(ofKind(d.texts, Kind::Title).size(), std::size_t(title.isEmpty() ? 0 : 1));
        const QString overlap = firstOverlap(d.texts);
        QVERIFY2(overlap.isEmpty(), qPrintable(overlap));
        // The axis end keeps its label.
        QVERIFY(hasText(d.texts, Kind::XLabel, "20"));
    }

    void labelsLeftOutKeepTheirTicks()
    {
        // 900 px high at 96 pixels per inch: 11 major divisions of the height,
        // so 0..5E05 is labelled every 2E04, 33 px apart, closer than a label is long.
        const QSize size(1100, 900);
        const PlotLayout l = ScreenLayout(size.width(), size.height(), 96, 96, false, false, false);
        const PlotPage page = pageOf(l, 96, false, false);
        const PlotBounds view{0, 20, 0, 5e5L};
        const Drawn d = drawOnImage(size, page, view, curveUpTo(4.3e5));
        const auto labels = ofKind(d.texts, Kind::YLabel);
        QVERIFY2(labels.size() < 26 && labels.size() >= 8, qPrintable(QString::number(labels.size())));
        QVERIFY(hasText(d.texts, Kind::YLabel, "0"));
        // Every major division still has its tick mark on the Y axis.
        const PlotMapping map(view, page.PlotRect, false);
        for (int k = 0; k <= 25; ++k) {
            const int py = map.ToScreen(0, k * 2e4L).y();
            QVERIFY2(d.image.pixel(page.PlotRect.Left + 3, py) == qRgb(0, 0, 0), qPrintable(QString::number(k)));
        }
    }

    void theAxisEndHasItsTickAndLabel()
    {
        // 1028 px of plot width: 14 major divisions, minor steps of 0.2 Hz,
        // whose running sum passes 20 by rounding.
        const QSize size(1100, 700);
        const PlotLayout l = ScreenLayout(size.width(), size.height(), 96, 96, false, false, false);
        const PlotPage page = pageOf(l, 96, false, false);
        const Drawn d = drawOnImage(size, page, PlotBounds{0, 20, 0, 5e5L}, curveUpTo(4.3e5));
        const auto labels = ofKind(d.texts, Kind::XLabel);
        QVERIFY(!labels.empty());
        QCOMPARE(labels.back().Text, QString("20"));
        QVERIFY(labels.back().Box.center().x() - page.PlotRect.Right <= 1);
        // The grid line at 20 runs along the frame, and the dotted line at 19
        // lies five minor steps to its left.
        const int x19 = PlotMapping({0, 20, 0, 5e5L}, page.PlotRect, false).ToScreen(19, 0).x();
        bool dotted = false;
        for (int y = page.PlotRect.Top + 1; y < page.PlotRect.Bottom - 10; ++y)
            dotted = dotted || d.image.pixel(x19, y) == qRgb(0, 0, 0);
        QVERIFY(dotted);
    }

    void labelsLeftOutAreEvenlySpaced_data()
    {
        QTest::addColumn<bool>("bitmap");
        QTest::addColumn<bool>("xOnTop");
        QTest::newRow("window") << false << false;
        QTest::newRow("window, x on top") << false << true;
        QTest::newRow("bitmap") << true << false;
    }

    void labelsLeftOutAreEvenlySpaced()
    {
        // Y from 1.1E06 to 2.1E06: labels of two lengths ("1.2E06",
        // "1.25E06", "2E06") left out where they happened to meet gave a gap
        // of several labels beside others crammed together.
        QFETCH(bool, bitmap);
        QFETCH(bool, xOnTop);
        const PlotContent c = curveUpTo(2.1e6, QString(), false, xOnTop);
        const PlotBounds view{0, 20, 1.1e6L, 2.1e6L};
        for (int height = 240; height <= 1000; height += 5) {
            const QSize size(900, height);
            const PlotLayout l = bitmap ? BitmapLayout(size.width(), size.height(), 96, 96, xOnTop)
                                        : ScreenLayout(size.width(), size.height(), 96, 96, xOnTop, false, false);
            const Drawn d = drawOnImage(size, pageOf(l, 96, bitmap, bitmap), view, c);
            const auto labels = ofKind(d.texts, Kind::YLabel);
            QStringList texts;
            std::vector<double> values;
            for (const DrawnText& t : labels) {
                texts << t.Text;
                values.push_back(t.Text.toDouble());
            }
            const QString trace = QString("%1 px: %2").arg(height).arg(texts.join(' '));
            QVERIFY2(values.size() >= 2, qPrintable(trace));
            for (std::size_t i = 2; i < values.size(); ++i)
                QVERIFY2(std::abs((values[i] - values[i - 1]) - (values[1] - values[0])) < 1.0, qPrintable(trace));
            const QString overlap = firstOverlap(d.texts);
            QVERIFY2(overlap.isEmpty(), qPrintable(trace + ": " + overlap));
        }
    }

    void thePageHasTheScreensLabels_data()
    {
        QTest::addColumn<double>("minY");
        QTest::addColumn<double>("maxY");
        QTest::addColumn<int>("paper");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<bool>("xOnTop");
        // The example's first plot (bounds 0..6E05) and a plot from -3E05 to 8E05.
        const std::pair<double, double> ranges[] = {{0.0, 5.12e5}, {-2.9e5, 7.6e5}};
        const std::pair<QPageSize::PageSizeId, int> pages[] = {
            {QPageSize::A4, 1200}, {QPageSize::Letter, 1200}, {QPageSize::A4, 600}, {QPageSize::A4, 300}};
        for (const auto& [minY, maxY] : ranges)
            for (const auto& [paper, dpi] : pages)
                for (bool xOnTop : {false, true})
                    QTest::newRow(qPrintable(QString("Y %1..%2, %3 at %4 dpi, %5")
                                                 .arg(minY)
                                                 .arg(maxY)
                                                 .arg(paper == QPageSize::A4 ? "A4" : "Letter")
                                                 .arg(dpi)
                                                 .arg(xOnTop ? "x on top" : "x below")))
                        << minY << maxY << int(paper) << dpi << xOnTop;
    }

    void thePageHasTheScreensLabels()
    {
        // The printed page and a window whose plot area has the page's size
        // in inches: the same ticks, so the same labels, both ends of both
        // axes among them. The lowest Y label at the corner was left out on
        // the page for meeting the X label there.
        QFETCH(double, minY);
        QFETCH(double, maxY);
        QFETCH(int, paper);
        QFETCH(int, dpi);
        QFETCH(bool, xOnTop);
        PlotContent c = curveUpTo(maxY, QString(), false, xOnTop);
        c.Curves[0].Points[0].Y = minY;
        const PlotBounds view = *ComputeBounds([&c](const auto& visit) {
            for (const PlotPoint& p : c.Curves[0].Points)
                visit(p.X, p.Y);
        });
        Edges printed;
        const Drawn page = drawOnPdf(m_dir.filePath("same.pdf"), view, c, QPageSize::PageSizeId(paper), dpi, &printed);
        auto onScreen = [dpi](int pixels) { return static_cast<int>(std::lround(pixels * 96.0 / dpi)); };
        const QSize size(onScreen(printed.Width()) + 96 / 2 + 96 / 4, onScreen(printed.Height()) + 96 / 2 + 96 / 4);
        const PlotLayout l = ScreenLayout(size.width(), size.height(), 96, 96, xOnTop, false, false);
        const Drawn window = drawOnImage(size, pageOf(l, 96, false, false), view, c);

        const auto pageTicks = ComputeTicks(view, printed, dpi, dpi);
        const auto windowTicks = ComputeTicks(view, l.PlotRect, 96, 96);
        QVERIFY(pageTicks && windowTicks);
        QCOMPARE(pageTicks->X.MinorStep, windowTicks->X.MinorStep);
        QCOMPARE(pageTicks->Y.MinorStep, windowTicks->Y.MinorStep);
        for (Kind kind : {Kind::XLabel, Kind::YLabel}) {
            const QStringList onPage = labelsOf(page.texts, kind);
            QCOMPARE(onPage.join(" "), labelsOf(window.texts, kind).join(" "));
            const bool x = kind == Kind::XLabel;
            QVERIFY(!onPage.isEmpty());
            QCOMPARE(onPage.first(), generalNumberText(x ? view.MinX : view.MinY, 4, localeDecimalSeparator(), 2));
            QCOMPARE(onPage.last(), generalNumberText(x ? view.MaxX : view.MaxY, 4, localeDecimalSeparator(), 2));
        }
        QString overlap = firstOverlap(page.texts);
        QVERIFY2(overlap.isEmpty(), qPrintable(overlap));
        overlap = firstOverlap(window.texts);
        QVERIFY2(overlap.isEmpty(), qPrintable(overlap));

        // The glyph bounds hold what the labels paint: no dark pixel of a
        // label's box lies outside every text's glyphs.
        for (const DrawnText& t : window.texts) {
            if (t.What != Kind::XLabel && t.What != Kind::YLabel)
                continue;
            const QRect box = t.Box & window.image.rect();
            for (int x = box.left(); x <= box.right(); ++x)
                for (int y = box.top(); y <= box.bottom(); ++y) {
                    if (qGray(window.image.pixel(x, y)) >= 160)
                        continue;
                    const bool inGlyphs = std::any_of(window.texts.begin(), window.texts.end(), [x, y](const DrawnText& o) {
                        return o.Ink.adjusted(-1, -1, 1, 1).contains(x, y);
                    });
                    QVERIFY2(inGlyphs, qPrintable(QString("%1 at %2, %3").arg(t.Text).arg(x).arg(y)));
                }
        }
    }

    void aBitmapsBottomTitleHasItsOwnBand()
    {
        const QSize size(576, 384);
        const PlotContent c = curveUpTo(4.3e5, "Pile group 2 x 2", false);
        const PlotLayout l = BitmapLayout(size.width(), size.height(), 96, 96, false, true, false);
        const Drawn d = drawOnImage(size, pageOf(l, 96, true, true), PlotBounds{0, 20, 0, 5e5L}, c);
        const auto caption = ofKind(d.texts, Kind::XCaption);
        const auto title = ofKind(d.texts, Kind::Title);
        QCOMPARE(caption.size(), std::size_t(1));
        QCOMPARE(title.size(), std::size_t(1));
        int labelsBottom = 0;
        for (const DrawnText& t : ofKind(d.texts, Kind::XLabel))
            labelsBottom = std::max(labelsBottom, t.Box.bottom());
        // Labels, then the caption, then the title, each below the one before.
        QVERIFY(labelsBottom < caption[0].Box.top());
        QVERIFY(caption[0].Box.bottom() < title[0].Box.top());
        QVERIFY(title[0].Box.bottom() < size.height());
    }
};

QTEST_MAIN(PlotLabelsTest)
#include "PlotLabelsTest.moc"
