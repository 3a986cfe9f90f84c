#pragma once

// The side view: the soil-pile profile in elevation, with the ground line
// and its hatch, a line at the bottom of every layer, the labels of the
// first eight layers and every pile as a filled rectangle to its length.

#include "GeometryView.h"
#include "SideProfile.h"

class TProgramData;

// The drawing routine of the profile, for the window and the printed page.
void DrawSideView(QPainter& painter, const TViewSurface& surface, const TSideProfile& profile,
                  const TViewBounds& shown, const QColor& window, const QColor& windowText);

class TDlgSideView : public TGeometryView {
    Q_OBJECT

public:
    using TProjectSource = std::function<const TProgramData&()>;
    // Reads the layers of `d`, the piles of `pileCoord` and the pile radius
    // and length of the project `project` gives at each activation.
    TDlgSideView(const TGridTable& d, const TGridTable& pileCoord, TProjectSource project, QWidget* parent = nullptr);

    const TSideProfile& Profile() const { return m_profile; }

protected:
    TViewBounds rebuild(const TViewBounds& previous) override;
    void draw(QPainter& painter, const TViewSurface& surface, const TViewBounds& shown, const QColor& window,
              const QColor& windowText) const override;

private:
    const TGridTable& m_d;
    const TGridTable& m_pileCoord;
    TProjectSource m_project;
    TSideProfile m_profile;
};
