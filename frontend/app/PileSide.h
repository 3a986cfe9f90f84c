#pragma once

// The side view: the soil-pile profile in elevation, with the ground line
// and its hatch, a line at the bottom of every layer, the labels of the
// first eight layers and every pile as a filled rectangle to its length.

#include "GeometryView.h"
#include "SideProfile.h"

class TProgramData;

// The drawing routine of the profile, for the window and the printed page.
void DrawSideView(QPainter& painter, const ViewSurface& surface, const SideProfile& profile,
                  const ViewBounds& shown, const QColor& window, const QColor& windowText);

class TDlgSideView : public GeometryView {
    Q_OBJECT

public:
    using ProjectSource = std::function<const TProgramData&()>;
    // Reads the layers of `d`, the piles of `pileCoord` and the pile radius
    // and length of the project `project` gives at each activation.
    TDlgSideView(const TGridTable& d, const TGridTable& pileCoord, ProjectSource project, QWidget* parent = nullptr);

    const SideProfile& Profile() const { return m_profile; }

protected:
    ViewBounds rebuild(const ViewBounds& previous) override;
    void draw(QPainter& painter, const ViewSurface& surface, const ViewBounds& shown, const QColor& window,
              const QColor& windowText) const override;

private:
    const TGridTable& m_d;
    const TGridTable& m_pileCoord;
    ProjectSource m_project;
    SideProfile m_profile;
};
