#pragma once

// The top view: the pile group in plan, every pile a filled circle of the
// pile radius at its coordinates, Y pointing up.

#include "GeometryView.h"
#include "PlanGeometry.h"

class TProgramData;

// The drawing routine of the plan, for the window and the printed page.
void DrawTopView(QPainter& painter, const TViewSurface& surface, const std::vector<PileCircle>& circles,
                 const TViewBounds& shown, const QColor& window, const QColor& windowText);

class TDlgTopView : public TGeometryView {
    Q_OBJECT

public:
    using TProjectSource = std::function<const TProgramData&()>;
    // Reads the piles of `pileCoord` and the pile radius of the project
    // `project` gives at each activation.
    TDlgTopView(const TGridTable& pileCoord, TProjectSource project, QWidget* parent = nullptr);

    const TPlanView& Plan() const { return m_plan; }

protected:
    TViewBounds rebuild(const TViewBounds& previous) override;
    void draw(QPainter& painter, const TViewSurface& surface, const TViewBounds& shown, const QColor& window,
              const QColor& windowText) const override;

private:
    const TGridTable& m_pileCoord;
    TProjectSource m_project;
    TPlanView m_plan;
};
