#pragma once

// The sub-table column: each row owns an object instead of a value, either
// a sub-table cloned from the template that the row's first-column choice
// selects, or an object the application supplies through the table's
// events. The editor window shows a push button on each shown row; pressing
// it opens the sub-table's own window or raises the table's OnButtonClick.

#include "Table.h"
#include "TableFormController.h"

#include <memory>
#include <vector>

class TTableColumn : public TColumn {
public:
    static const ColumnKind Class;
    explicit TTableColumn(TGridTable* table);
    ~TTableColumn() override;
    const ColumnKind& ColumnClass() const override { return Class; }

    // One entry per choice of the table's first column (one when the first
    // column is not a choice); entry k - 1 is the template of choice k.
    TGridTableList Templates;

    void InsertRows(TGridTable* table, int at, int count) override;
    void DeleteRow(int row) override;
    // The row's sub-table, null for an empty row; EInvalidCast for a row
    // that holds another object.
    TGridTable* GetTable(int row) const override;
    RowObject* GetObject(int row) const;
    bool IsChanged() const override;
    void ResetChanged() override;
    void CloseForms() override;
    int Width(const CanvasMetrics& canvas) const override;
    void SetUnits(int newUnits) override;
    void WriteData(ValueWriter& writer) const override;
    bool UsesControls() const override { return true; }
    bool HasEditors() const override { return m_editorParent != nullptr; }
    CellEditor* Editor(int i) override;
    int EditorCount() const override { return static_cast<int>(m_editors.size()); }
    void PlaceEditors(TableWindowHook* parent, int topRow, int count) override;
    void ReleaseEditors() override;
    void ButtonClick(int editor) override;

    // Gives the row the object its first-column choice asks for: a clone of
    // the choice's template, or the application's object. A template that
    // is the table itself or clones back to it is refused (nothing cloned).
    void RebuildRow(TGridTable* table, int row);
    // "n: caption" of the row's button.
    QString ButtonCaption(int row) const;
    // The rows from Row on take their numbers again (after rows moved).
    void RenumberFrom(int row);

protected:
    void ReadData(ValueReader& reader) override;
    void CopySettingsFrom(const TColumn& source) override;

private:
    int index() const;
    void renewCaption(int row);
    // Frees the row's object, closing a sub-table's window first.
    void freeObject(std::unique_ptr<RowObject>& object);

    std::vector<std::unique_ptr<RowObject>> m_objects;
    std::vector<CellEditor> m_editors;
    TableWindowHook* m_editorParent = nullptr;
};
