#pragma once

// The top view: the pile group in plan, every pile a filled circle of the
// pile radius at its coordinates, Y pointing up.

#include "GeometryView.h"
#include "PlanGeometry.h"

class TProgramData;

// The drawing routine of the plan, for the window and the printed page.
void DrawTopView(QPainter& painter, const ViewSurface& surface, const std::vector<PileCircle>& circles,
                 const ViewBounds& shown, const QColor& window, const QColor& windowText);

class TDlgTopView : public GeometryView {
    Q_OBJECT

public:
    using ProjectSource = std::function<const TProgramData&()>;
    // Reads the piles of `pileCoord` and the pile radius of the project
    // `project` gives at each activation.
    TDlgTopView(const TGridTable& pileCoord, ProjectSource project, QWidget* parent = nullptr);

    const PlanView& Plan() const { return m_plan; }

protected:
    ViewBounds rebuild(const ViewBounds& previous) override;
    void draw(QPainter& painter, const ViewSurface& surface, const ViewBounds& shown, const QColor& window,
              const QColor& windowText) const override;

private:
    const TGridTable& m_pileCoord;
    ProjectSource m_project;
    PlanView m_plan;
};
