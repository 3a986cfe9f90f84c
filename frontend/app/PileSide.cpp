#include "PileSide.h"

#include "DataUnit.h"
#include "NumberText.h"

#include <QPainter>
#include <QPolygon>

void DrawSideView(QPainter& painter, const ViewSurface& surface, const SideProfile& profile,
                  const ViewBounds& shown, const QColor& window, const QColor& windowText)
{
    const SideDrawing d = LayOutSideProfile(profile, shown, surface, localeDecimalSeparator());
    if (d.Background.isEmpty())
        return;
    painter.save();
    painter.fillRect(d.Background, window);
    if (GetNoDraw(shown)) {
        painter.restore();
        return;
    }
    painter.setPen(QPen(windowText, d.PenWidth, Qt::SolidLine));
    painter.drawLines(d.Lines.data(), static_cast<int>(d.Lines.size()));
    painter.drawLines(d.Hatch.data(), static_cast<int>(d.Hatch.size()));
    const QFontMetrics metrics = painter.fontMetrics();
    for (const SideDrawing::Label& label : d.Labels) {
        // Text positions are the top left of the text.
        const QPoint first = label.TopLeft + QPoint(0, metrics.ascent());
        painter.drawText(first, label.Text.First);
        painter.drawText(first + QPoint(0, metrics.height()), label.Text.Second);
    }
    painter.setBrush(windowText);
    for (const auto& corners : d.Piles)
        painter.drawPolygon(corners.data(), static_cast<int>(corners.size()));
    painter.restore();
}

TDlgSideView::TDlgSideView(const TGridTable& d, const TGridTable& pileCoord, ProjectSource project, QWidget* parent)
    : GeometryView(QStringLiteral("Side View"), QStringLiteral("Depth"), QSize(727, 590), QRect(527, 0, 57, 25),
                    SideProfile().ModelBounds, parent),
      m_d(d), m_pileCoord(pileCoord), m_project(std::move(project))
{
    setObjectName(QStringLiteral("DlgSideView"));
}

ViewBounds TDlgSideView::rebuild(const ViewBounds& previous)
{
    const TProgramData& data = m_project();
    m_profile = BuildSideProfile(m_d, m_pileCoord, data.PileRadius, data.PileLength, previous);
    return m_profile.ModelBounds;
}

void TDlgSideView::draw(QPainter& painter, const ViewSurface& surface, const ViewBounds& shown, const QColor& window,
                        const QColor& windowText) const
{
    DrawSideView(painter, surface, m_profile, shown, window, windowText);
}
