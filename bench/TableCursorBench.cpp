// The cursor moves in the editor window of a pile table of 2000 rows: each
// move commits the cell left and rewrites every data cell of the shown
// columns, then the window repaints.

#include "DataUnit.h"
#include "Table.h"
#include "TableForm.h"

#include <QApplication>
#include <QMdiArea>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void CursorMoveIn2000Piles(benchmark::State& state)
{
    QMdiArea area;
    area.resize(1000, 800);
    area.show();
    auto piles = MakePileCoordinateTable();
    piles->SetRowCount(kMaxPiles);
    for (int r = 0; r < kMaxPiles; ++r) {
        piles->Cells(0, r)->SetFloat(1.5L * r);
        piles->Cells(1, r)->SetFloat(-0.25L * r);
    }
    piles->SetFormFactory(TTableForm::Factory(&area, [](QWidget*, const QString&) {}));
    piles->ShowForm();
    TTableForm* form = TTableForm::FromTable(*piles);
    if (!form) {
        state.SkipWithError(piles->HasForm() ? "window of another kind" : "no window made");
        return;
    }
    QApplication::processEvents();
    int row = form->HeaderRows();
    for (auto _ : state) {
        row = row == form->HeaderRows() ? form->HeaderRows() + 1 : form->HeaderRows();
        form->SetEditText(QStringLiteral("12.5"));
        if (!form->SelectCell(1, row))
            state.SkipWithError("the move was refused");
        QApplication::processEvents();
    }
    state.SetLabel("2000 rows x 2 columns");
}

BENCHMARK(CursorMoveIn2000Piles)->Unit(benchmark::kMillisecond);

} // namespace
