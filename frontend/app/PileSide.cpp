#include "PileSide.h"

#include "DataUnit.h"
#include "NumberText.h"

#include <QPainter>
#include <QPolygon>
#include <QRegion>

#include <algorithm>

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
    painter.setBrush(windowText);
    // The labels stand at the left edge, where the piles of a group at
    // positive coordinates stand too: they come after the piles, and where
    // a line of text lies on a pile (with its outline) the text's box is
    // cleared to the window colour first, so that it can be read. Beside
    // the piles the lines beneath the labels show as before. A region, as
    // the piles of a group stand one upon another in elevation.
    QRegion piles;
    const int outline = std::max(d.PenWidth, 1);
    for (const auto& corners : d.Piles) {
        painter.drawPolygon(corners.data(), static_cast<int>(corners.size()));
        QPolygon pile(static_cast<int>(corners.size()));
        std::copy(corners.begin(), corners.end(), pile.begin());
        piles += pile.boundingRect().adjusted(-outline, -outline, outline, outline);
    }
    const QFontMetrics metrics = painter.fontMetrics();
    for (const SideDrawing::Label& label : d.Labels) {
        // Text positions are the top left of the text.
        const QRect first(label.TopLeft, QSize(metrics.horizontalAdvance(label.Text.First), metrics.height()));
        const QRect second(first.bottomLeft() + QPoint(0, 1),
                           QSize(metrics.horizontalAdvance(label.Text.Second), metrics.height()));
        if (!piles.isEmpty()) {
            painter.save();
            painter.setClipRegion(piles, Qt::IntersectClip);
            painter.fillRect(first, window);
            painter.fillRect(second, window);
            painter.restore();
        }
        painter.drawText(first.topLeft() + QPoint(0, metrics.ascent()), label.Text.First);
        painter.drawText(second.topLeft() + QPoint(0, metrics.ascent()), label.Text.Second);
    }
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
