#pragma once

// The column kinds of the table framework and the units expressions with
// which float columns convert their values between English and SI units and
// label their captions.

#include "Table.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

// Factor by which values of dimension Expr are multiplied when a table goes
// from units system From to To (1 English, 2 SI, 3 generic).
Extended UnitsFactor(int fromUnits, int toUnits, const QString& expr);
// English value per SI value of one side of a units expression.
Extended UnitsSymbolFactor(const QString& s);
// Expr with its symbols replaced by the unit names of system Units.
QString UnitsCaption(const QString& expr, int units);

// Values are 1-based item numbers of Items; the window shows each visible
// row as a drop-down list.
class TEnumColumn : public TColumn {
public:
    static const ColumnKind Class;
    explicit TEnumColumn(TGridTable* table);
    const ColumnKind& ColumnClass() const override { return Class; }

    const QStringList& Items() const { return m_items; }
    void SetItems(const QStringList& items);
    std::function<void(TColumn*)> OnItemsChanged;

    void InsertRows(TGridTable* table, int at, int count) override;
    void DeleteRow(int row) override;
    int GetInt(int row) const override;
    void SetInt(int row, int value) override;
    QString GetText(int row) const override;
    void SetText(int row, const QString& text) override;
    int Width(const CanvasMetrics& canvas) const override;
    void WriteData(ValueWriter& writer) const override;
    bool UsesControls() const override { return true; }
    bool HasEditors() const override { return m_editorParent != nullptr; }
    CellEditor* Editor(int i) override;
    int EditorCount() const override { return static_cast<int>(m_editors.size()); }
    void PlaceEditors(TableWindowHook* parent, int topRow, int count) override;
    void ReleaseEditors() override;
    // The user chose item ItemIndex (0-based) in editor I.
    void ComboChange(int editor, int itemIndex);
    // Editor I took the focus.
    void ComboEnter(int editor);

protected:
    void ReadData(ValueReader& reader) override;
    void CopySettingsFrom(const TColumn& source) override;

private:
    QStringList m_items;
    std::vector<std::int32_t> m_values;
    std::vector<CellEditor> m_editors;
    TableWindowHook* m_editorParent = nullptr;
};

class TIntColumn : public TColumn {
public:
    static const ColumnKind Class;
    explicit TIntColumn(TGridTable* table);
    const ColumnKind& ColumnClass() const override { return Class; }

    int DefaultValue = 0;
    int MinValue = -2147483647 - 1;
    int MaxValue = 2147483647;

    void InsertRows(TGridTable* table, int at, int count) override;
    void DeleteRow(int row) override;
    int GetInt(int row) const override;
    void SetInt(int row, int value) override;
    QString GetText(int row) const override;
    // With an editor window the entry must be integral and within
    // MinValue..MaxValue; without one it is stored rounded.
    void SetText(int row, const QString& text) override;
    int Width(const CanvasMetrics& canvas) const override;
    void WriteData(ValueWriter& writer) const override;

protected:
    void ReadData(ValueReader& reader) override;
    void CopySettingsFrom(const TColumn& source) override;

private:
    std::vector<std::int32_t> m_values;
};

class TFloatColumn : public TColumn {
public:
    static const ColumnKind Class;
    explicit TFloatColumn(TGridTable* table);
    const ColumnKind& ColumnClass() const override { return Class; }

    QString UnitsString;
    // This column holds layer tops, the next one their bottoms.
    bool TopDepth = false;
    Extended DefaultValue() const { return m_defaultValue; }
    void SetDefaultValue(Extended value);
    bool IsBottomOfTopDepth() const;

    void InsertRows(TGridTable* table, int at, int count) override;
    void DeleteRow(int row) override;
    QString CaptionLine(int i) const override;
    Extended GetFloat(int row) const override;
    // Refuses a value that is not finite (EInvalidOp).
    void SetFloat(int row, Extended value) override;
    QString GetText(int row) const override;
    void SetText(int row, const QString& text) override;
    int Width(const CanvasMetrics& canvas) const override;
    void SetUnits(int newUnits) override;
    void WriteData(ValueWriter& writer) const override;

protected:
    void ReadData(ValueReader& reader) override;
    void CopySettingsFrom(const TColumn& source) override;

private:
    TFloatColumn* neighbour(int offset) const;
    void storeLinked(int row, Extended value);

    Extended m_defaultValue = 0.0L;
    std::vector<Extended> m_values;
};

class TStringColumn : public TColumn {
public:
    static const ColumnKind Class;
    explicit TStringColumn(TGridTable* table);
    const ColumnKind& ColumnClass() const override { return Class; }

    QString DefaultText;
    Extended WidthInches = 1.0L;

    void InsertRows(TGridTable* table, int at, int count) override;
    void DeleteRow(int row) override;
    QString GetText(int row) const override;
    void SetText(int row, const QString& text) override;
    int Width(const CanvasMetrics& canvas) const override;
    void WriteData(ValueWriter& writer) const override;

protected:
    void ReadData(ValueReader& reader) override;
    void CopySettingsFrom(const TColumn& source) override;

private:
    QStringList m_values;
};
