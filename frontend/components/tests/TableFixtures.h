#pragma once

// Column helpers, the application's two tables and a stand-in for the
// editor window.

#include "ColumnTypes.h"
#include "DataUnit.h"

#include <memory>

inline TFloatColumn* addFloat(TGridTable& t, const QStringList& captions, const QString& units)
{
    auto c = std::make_unique<TFloatColumn>(&t);
    c->Captions() = captions;
    c->UnitsString = units;
    return static_cast<TFloatColumn*>(t.AddColumn(std::move(c)));
}

inline TIntColumn* addInt(TGridTable& t, const QStringList& captions, int defaultValue, int minValue, int maxValue)
{
    auto c = std::make_unique<TIntColumn>(&t);
    c->Captions() = captions;
    c->DefaultValue = defaultValue;
    c->MinValue = minValue;
    c->MaxValue = maxValue;
    return static_cast<TIntColumn*>(t.AddColumn(std::move(c)));
}

// The application's two tables, from its own definitions, with MinRows rows.
inline std::unique_ptr<TGridTable> makeSoilLayers()
{
    auto t = MakeSoilLayerTable();
    t->SetRowCount(t->MinRows());
    return t;
}

inline std::unique_ptr<TGridTable> makePileCoordinates()
{
    auto t = MakePileCoordinateTable();
    t->SetRowCount(t->MinRows());
    return t;
}

class FakeForm : public TableWindowHook {
public:
    explicit FakeForm(TGridTable& table, int firstRow = 0, int rows = 3)
        : m_table(table), m_firstRow(firstRow), m_rows(rows)
    {
        table.AttachForm(
            this, [this] { ++rowsChanged; }, [this](int col, int row) { cellsChanged.push_back({col, row}); });
    }
    ~FakeForm() override
    {
        if (!tableGone)
            m_table.ReleaseForm();
    }

    void ShowWindow() override { ++shown; }
    int FirstShownRow() const override { return m_firstRow; }
    int VisibleRows() const override { return m_rows; }
    void SetCurrentCell(int col, int row) override { currentCell = {col, row}; }
    void SetTitle(const QString& t) override { title = t; }
    void TableDestroyed() override
    {
        tableGone = true;
        if (notifyGone)
            *notifyGone = true;
    }

    int shown = 0;
    int rowsChanged = 0;
    std::vector<std::pair<int, int>> cellsChanged;
    std::pair<int, int> currentCell{-1, -1};
    QString title;
    bool tableGone = false;
    bool* notifyGone = nullptr;

private:
    TGridTable& m_table;
    int m_firstRow;
    int m_rows;
};

// A canvas where every character is 10 pixels wide, at 96 pixels per inch.
class FakeCanvas : public CanvasMetrics {
public:
    int TextWidth(const QString& text) const override { return 10 * static_cast<int>(text.size()); }
    int PixelsPerInch() const override { return 96; }
};
