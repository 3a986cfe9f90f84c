// Rebuilding and painting the geometry views of a 2000-pile group (the
// largest pile table): one circle or outline a pile, linear in the piles.
// Run by hand: build/bin/geometry_views_bench

#include "DataUnit.h"
#include "PileSide.h"
#include "PileTop.h"
#include "Table.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// A 45 x 45 grid less its last 25 piles, 1.5 apart; ten layers of 3.
struct Project {
    Project()
    {
        TGridTable& piles = tables.PileCoord();
        piles.SetRowCount(kMaxPiles);
        for (int i = 0; i < kMaxPiles; ++i) {
            piles.Cells(0, i)->SetFloat(1.5L * (i % 45));
            piles.Cells(1, i)->SetFloat(1.5L * (i / 45));
        }
        TGridTable& d = tables.D();
        d.SetRowCount(10);
        for (int i = 0; i < 10; ++i)
            d.Cells(0, i)->SetFloat(3);
        data.PileRadius = 0.3L;
        data.PileLength = 25;
    }
    ProjectTables tables;
    TProgramData data;
};

constexpr int kWidth = 610;
constexpr int kHeight = 392;

void TopViewRebuildAndPaint(benchmark::State& state)
{
    Project p;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        const PlanView plan = BuildPlanView(p.tables.PileCoord(), p.data.PileRadius, PlanView().ModelBounds);
        const auto shown = FitAspect(plan.ModelBounds, kWidth, kHeight);
        QPainter painter(&image);
        DrawTopView(painter, {kWidth, kHeight, 96, 96, false}, plan.Circles, *shown, Qt::white, Qt::black);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(TopViewRebuildAndPaint)->Unit(benchmark::kMillisecond);

// The real window: its activation rebuilds, then it paints itself.
void TopViewWindow(benchmark::State& state)
{
    Project p;
    TDlgTopView view(p.tables.PileCoord(), [&]() -> const TProgramData& { return p.data; });
    view.resize(kWidth, kHeight);
    QImage image(view.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        view.FormActivate();
        view.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(TopViewWindow)->Unit(benchmark::kMillisecond);

void SideViewWindow(benchmark::State& state)
{
    Project p;
    TDlgSideView view(p.tables.D(), p.tables.PileCoord(), [&]() -> const TProgramData& { return p.data; });
    view.resize(727, 590);
    QImage image(view.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        view.FormActivate();
        view.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(SideViewWindow)->Unit(benchmark::kMillisecond);

} // namespace
