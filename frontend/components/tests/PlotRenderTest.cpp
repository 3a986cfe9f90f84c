#include "PlotPainter.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTest>

namespace {

const QRgb Blue = qRgb(0, 0, 255);

// 800 x 600 at 96 pixels per inch, the window's layout: plot area 48..776 x 24..552.
PlotPage windowPage()
{
    PlotPage page;
    const PlotLayout l = ScreenLayout(800, 600, 96, 96, false, false, false);
    page.PageRect = l.PageRect;
    page.PlotRect = l.PlotRect;
    return page;
}

// Line 0 falls from (0, 50) to (100, 0) and is not active; line 1, listed
// second and so blue, rises from (0, 0) to (100, 50).
PlotContent twoCurves()
{
    PlotContent c;
    c.XOnTop = false;
    c.Markers = 0;
    c.XText = "Frequency (Hz)";
    c.YText = "Stiffness (lbs/in)";
    PlotCurve down;
    down.Points = {{0, 50}, {100, 0}};
    down.Active = false;
    PlotCurve up;
    up.Points = {{0, 0}, {100, 50}};
    c.Curves = {down, up};
    c.Legend = {"down", "up"};
    return c;
}

QImage render(const PlotPage& page, const PlotBounds& view, const PlotContent& c, QSize size = {800, 600})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red); // anything the drawing leaves out shows
    QPainter p(&image);
    DrawPlot(p, page, view, c);
    return image;
}

bool near(const QImage& image, QPoint at, QRgb colour, int radius = 1)
{
    for (int dx = -radius; dx <= radius; ++dx)
        for (int dy = -radius; dy <= radius; ++dy)
            if (image.pixel(at.x() + dx, at.y() + dy) == colour)
                return true;
    return false;
}

bool allWhite(const QImage& image, const QRect& r)
{
    for (int x = r.left(); x <= r.right(); ++x)
        for (int y = r.top(); y <= r.bottom(); ++y)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                return false;
    return true;
}

} // namespace

class PlotRenderTest : public QObject {
    Q_OBJECT

private slots:
    void frameAndCurveWhereTheMappingPutsThem()
    {
        const PlotPage page = windowPage();
        const PlotBounds view{0, 100, 0, 50};
        const QImage image = render(page, view, twoCurves());
        // The frame runs along the plot area's edges.
        for (QPoint p : {QPoint(48, 300), QPoint(776, 300), QPoint(400, 24), QPoint(400, 552)})
            QCOMPARE(image.pixel(p), qRgb(0, 0, 0));
        // x = 33 lies on no grid line; the active curve is there, the inactive one is not.
        const PlotMapping map(view, page.PlotRect, false);
        const QPoint onUp = map.ToScreen(33, 16.5L);
        const QPoint onDown = map.ToScreen(33, 33.5L);
        QCOMPARE(onUp, QPoint(288, 378));
        QVERIFY(near(image, onUp, Blue));
        QVERIFY(allWhite(image, QRect(onDown - QPoint(3, 3), QSize(7, 7))));
        // The page is painted white wherever nothing is drawn.
        QCOMPARE(image.pixel(2, 2), qRgb(255, 255, 255));
    }

    void zoomedCurveIsClippedToThePlotArea()
    {
        const PlotPage page = windowPage();
        const QImage image = render(page, {40, 60, 20, 30}, twoCurves());
        int inside = 0, outside = 0;
        const Edges& r = page.PlotRect;
        for (int x = 0; x < image.width(); ++x)
            for (int y = 0; y < image.height(); ++y)
                if (image.pixel(x, y) == Blue)
                    ++(x >= r.Left && x <= r.Right && y >= r.Top && y <= r.Bottom ? inside : outside);
        QVERIFY(inside > 500);
        QCOMPARE(outside, 0);
    }

    void surfaceUnderAnInchShowsOnlyWhite()
    {
        PlotPage page;
        page.PageRect = {0, 0, 90, 90};
        page.PlotRect = {48, 24, 66, 42};
        const QImage image = render(page, {0, 100, 0, 50}, twoCurves(), {90, 90});
        QVERIFY(allWhite(image, image.rect()));
    }

    void legendBoxListsTheActiveCurves()
    {
        PlotPage page = windowPage();
        page.WithLegendBox = true;
        const QImage image = render(page, {0, 100, 0, 50}, twoCurves());
        const int h = QFontMetrics(PlotFont(96, false), const_cast<QImage*>(&image)).height();
        const LegendBoxGeometry g = LegendBox(page.PlotRect, 96, 96, 1, 0, h);
        // Its top edge, one entry high, with the active curve's text in blue.
        QCOMPARE(image.pixel(page.PlotRect.Right - 3, g.Box.Top), qRgb(0, 0, 0));
        bool blueText = false;
        for (int x = g.FirstEntry.x(); x < page.PlotRect.Right; ++x)
            for (int y = g.Box.Top + 1; y < page.PlotRect.Bottom; ++y)
                blueText = blueText || (qBlue(image.pixel(x, y)) > 200 && qRed(image.pixel(x, y)) < 100);
        QVERIFY(blueText);
    }

    void horizontalYLabelsStayLeftOfThePlotArea()
    {
        PlotPage page;
        const PlotLayout l = BitmapLayout(432, 288, 96, 96, false);
        page.PageRect = l.PageRect;
        page.PlotRect = l.PlotRect;
        page.HorizontalYLabels = true;
        PlotContent c = twoCurves();
        c.YText = "Horizontal stiffness of the group (lbs/in)";
        const QImage image = render(page, {0, 100, -5000, 5000}, c, {432, 288});
        const Edges& r = page.PlotRect;
        // Nothing in the two columns next to the plot area, along its height.
        QVERIFY(allWhite(image, QRect(r.Left - 2, r.Top, 2, r.Bottom - r.Top + 1)));
        // Caption and labels are drawn on the left.
        int dark = 0;
        for (int x = 0; x < r.Left - 2; ++x)
            for (int y = r.Top; y <= r.Bottom; ++y)
                if (qGray(image.pixel(x, y)) < 128)
                    ++dark;
        QVERIFY(dark > 100);
    }
};

QTEST_MAIN(PlotRenderTest)
#include "PlotRenderTest.moc"
