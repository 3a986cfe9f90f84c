#include "PileTop.h"

#include "DataUnit.h"

#include <QPainter>

void DrawTopView(QPainter& painter, const ViewSurface& surface, const std::vector<PileCircle>& circles,
                 const ViewBounds& shown, const QColor& window, const QColor& windowText)
{
    const int W = surface.Width;
    const int H = surface.Height;
    if (W <= 0 || H <= 0)
        return;
    painter.save();
    ResolutionEstimates estimates;
    if (surface.Page) {
        painter.setPen(QPen(Qt::black, RoundPixel(12.0L * surface.PixelsPerInchX / 600.0L), Qt::SolidLine));
        painter.fillRect(QRect(QPoint(RoundPixel(0.1L * W), RoundPixel(0.1L * H)),
                               QPoint(RoundPixel(0.9L * W), RoundPixel(0.9L * H))),
                         window);
        estimates = PageResolutions(W, H, W >= H);
    } else {
        painter.setPen(QPen(windowText, 1, Qt::SolidLine));
    }
    if (GetNoDraw(shown)) {
        painter.restore();
        return;
    }
    painter.fillRect(QRect(0, 0, W, H), window);
    painter.setBrush(windowText);
    for (const QRect& box : LayOutPlanCircles(circles, shown, surface, estimates))
        painter.drawEllipse(QRectF(QPointF(box.topLeft()), QPointF(box.bottomRight())));
    painter.restore();
}

TDlgTopView::TDlgTopView(const TGridTable& pileCoord, ProjectSource project, QWidget* parent)
    : GeometryView(QStringLiteral("Top View"), QStringLiteral("Y"), QSize(610, 392), QRect(449, 0, 41, 25),
                    PlanView().ModelBounds, parent),
      m_pileCoord(pileCoord), m_project(std::move(project))
{
    setObjectName(QStringLiteral("DlgTopView"));
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setAutoFillBackground(true);
}

ViewBounds TDlgTopView::rebuild(const ViewBounds& previous)
{
    m_plan = BuildPlanView(m_pileCoord, m_project().PileRadius, previous);
    return m_plan.ModelBounds;
}

void TDlgTopView::draw(QPainter& painter, const ViewSurface& surface, const ViewBounds& shown, const QColor& window,
                       const QColor& windowText) const
{
    DrawTopView(painter, surface, m_plan.Circles, shown, window, windowText);
}
