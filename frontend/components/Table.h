#pragma once

// The table framework: columns with row handles, the cell handle TData, the
// column-type and table registries, and TGridTable, a table of typed columns
// that all have the same number of rows. Nothing here needs a display: the
// editor window attaches itself through TableWindowHook.

#include "Extended.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QObject;
class TColumn;
class TGridTable;
class ValueReader;
class ValueWriter;

// One cell of a column. The handle does not store its row: every access
// finds it in its column, so inserting or deleting rows renumbers nothing.
class TData {
public:
    explicit TData(TColumn* column) : m_column(column) {}

    TColumn* Column() const { return m_column; }
    Extended GetFloat() const;
    int GetInt() const;
    QString GetText() const;
    void SetFloat(Extended value);
    void SetInt(int value);

private:
    int row() const;

    TColumn* m_column;
};

// Text measurement of the surface a grid is drawn on.
class CanvasMetrics {
public:
    virtual ~CanvasMetrics() = default;
    virtual int TextWidth(const QString& text) const = 0;
    virtual int PixelsPerInch() const = 0;
};

// What the editor window offers the table and its columns. The window
// implements it and calls TGridTable::AttachForm when it is built.
class TableWindowHook {
public:
    virtual ~TableWindowHook() = default;
    virtual void ShowWindow() = 0;
    virtual int FirstShownRow() const = 0;
    virtual int VisibleRows() const = 0;
    virtual void SetCurrentCell(int gridColumn, int gridRow) = 0;
    virtual void SetTitle(const QString& title) = 0;
    // The table is being destroyed; the window must not use it any more.
    virtual void TableDestroyed() = 0;
    // The table's help picture changed: the window shows the new one.
    virtual void HelpPictureChanged() {}
};

// An editor control a column lays over the grid: its row (tag), the item it
// shows and whether the window shows it.
struct CellEditor {
    int Tag = -1;
    int ItemIndex = -1;
    bool Visible = false;
    QString Caption; // of a push button
};

// What a row of a sub-table column holds: a sub-table, or an object the
// application supplies through the table's events.
class RowObject {
public:
    virtual ~RowObject() = default;
};

// A column kind: its name and its virtual constructor.
struct ColumnKind {
    const char* Name;
    std::unique_ptr<TColumn> (*Create)(TGridTable* table);
};

class TColumn {
public:
    using CellEvent = std::function<void(TColumn* column, int row)>;
    using RowGroupEvent = std::function<void(TColumn* column, int& groupSize)>;

    explicit TColumn(TGridTable* table);
    virtual ~TColumn();
    TColumn(const TColumn&) = delete;
    TColumn& operator=(const TColumn&) = delete;

    virtual const ColumnKind& ColumnClass() const = 0;

    virtual void InsertRows(TGridTable* table, int at, int count);
    virtual void DeleteRow(int row);
    int CaptionCount() const { return static_cast<int>(m_captions.size()); }
    virtual QString CaptionLine(int i) const;
    virtual TGridTable* GetTable(int row) const;
    virtual Extended GetFloat(int row) const;
    virtual void SetFloat(int row, Extended value);
    virtual int GetInt(int row) const;
    virtual void SetInt(int row, int value);
    virtual QString GetText(int row) const;
    virtual void SetText(int row, const QString& text);
    virtual bool IsChanged() const { return false; }
    QStringList& Captions() { return m_captions; }
    const QStringList& Captions() const { return m_captions; }
    virtual bool HasEditors() const;
    virtual CellEditor* Editor(int i);
    // Number of editor controls placed (columns that use controls).
    virtual int EditorCount() const { return 0; }
    // The push button editor I was pressed.
    virtual void ButtonClick(int) {}
    int RowGroup() const;
    virtual void CloseForms() {}
    virtual void ResetChanged() {}
    virtual int Width(const CanvasMetrics& canvas) const;
    virtual void SetUnits(int newUnits);
    // The common part: caption lines, Visible, Grouped; kinds append theirs.
    virtual void WriteData(ValueWriter& writer) const;
    virtual bool UsesControls() const { return false; }
    virtual void PlaceEditors(TableWindowHook* parent, int topRow, int count);
    virtual void ReleaseEditors() {}

    // Copy for another table: captions, Visible and the kind's settings,
    // never the values; Grouped stays False.
    std::unique_ptr<TColumn> Clone(TGridTable* newTable) const;
    static std::unique_ptr<TColumn> CreateFromReader(const ColumnKind& kind, TGridTable* table, ValueReader& reader);

    int RowCount() const { return static_cast<int>(m_rows.size()); }
    TData* RowData(int row) const;
    int IndexOfData(const TData* handle) const;
    void CellChanged(int row);

    bool Grouped() const { return m_grouped; }
    void SetGrouped(bool grouped) { m_grouped = grouped; }
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible) { m_visible = visible; }
    TGridTable* Table() const { return m_table; }

    CellEvent OnCellChanged;
    CellEvent OnFocusCell;
    RowGroupEvent OnGetRowGroup;

protected:
    // Reads what WriteData of the kind wrote after the common part.
    virtual void ReadData(ValueReader& reader);
    virtual void CopySettingsFrom(const TColumn& source);
    void checkRow(int row) const;
    // At is a valid place for new rows: 0 to RowCount.
    void checkInsertAt(int at) const;
    // Rows first..last of Row's group (clamped to the rows there are) when
    // Grouped, else Row alone.
    void storeRange(int row, int groupSize, int& first, int& last) const;
    // Inserts rows at the end, a row group at a time, until the column has
    // the table's row count; the last group may be partial.
    void fillToTableRows();
    [[noreturn]] static void wrongType();

    TGridTable* m_table;

private:
    std::vector<std::unique_ptr<TData>> m_rows;
    QStringList m_captions;
    bool m_grouped = false;
    bool m_visible = true;
};

// Column-type registry: the number of each kind in a stored table.
void EnsureColumnTypeRegistry();
void RegisterColumnType(const ColumnKind* kind, int typeId);
void UnregisterColumnType(const ColumnKind* kind);
const ColumnKind* FindColumnClass(int typeId);
int FindColumnTypeId(const ColumnKind* kind);

// Registry of every live table, in order of creation.
TGridTable* TableAt(int index);
int IndexOfTable(const TGridTable* table);
int IndexOfIdentifier(int identifier);
int TableCount();

class TGridTable : public RowObject {
public:
    using WindowFactory = std::function<std::unique_ptr<TableWindowHook>(TGridTable& table)>;

    // A sub-table takes the units of the table that owns it.
    explicit TGridTable(TGridTable* owner = nullptr);
    ~TGridTable() override;
    TGridTable(const TGridTable&) = delete;
    TGridTable& operator=(const TGridTable&) = delete;

    // A sub-table numbered Number, with the columns and limits of Template.
    static std::unique_ptr<TGridTable> CreateClone(TGridTable* owner, int number, const TGridTable& source);

    // How this table's editor window is made, handed over by the table's
    // owner; a sub-table without a factory of its own uses its owner
    // table's. Without one, ShowForm shows nothing.
    void SetFormFactory(WindowFactory factory) { m_formFactory = std::move(factory); }
    const WindowFactory& FormFactory() const;

    TGridTable* Owner() const { return m_owner; }
    QString Caption;
    QString Comments;
    QString TopLeft;
    bool HardwiredButton = false;
    int MaxRows = 0; // 0: no limit
    QObject* FormParent = nullptr;
    std::function<void()> OnResize;

    // Events of the sub-table columns (Col is the column's index) for rows
    // that hold an application object instead of a sub-table.
    std::function<void(TGridTable& sender, int col, int row, RowObject* data)> OnButtonClick;
    std::function<void(TGridTable& sender, int col, int row, RowObject* data, QString& caption)> OnGetButtonCaption;
    std::function<void(TGridTable& sender, int col, int row, RowObject* data, bool& changed)> OnGetChanged;
    std::function<void(TGridTable& sender, int col, int row, RowObject* data)> OnHide;
    // Fills data (null on entry) with the object of a new row of choice enumType.
    std::function<void(TGridTable& sender, int col, int row, int enumType, std::unique_ptr<RowObject>& data)> OnInitRow;
    std::function<void(TGridTable& sender, int col, int row, RowObject* data)> OnResetChanged;
    std::function<void(TGridTable& sender, int col, RowObject* data, int row)> OnSetRow;
    std::function<void(TGridTable& sender, int col, int row, RowObject* data, int units)> OnSetUnits;

    // The picture at the bottom of the editor window, as image file data.
    const QByteArray& HelpPicture() const { return m_helpPicture; }
    void SetHelpPicture(const QByteArray& picture);

    int Identifier() const { return m_identifier; }
    void SetIdentifier(int value);
    int MinRows() const { return m_minRows; }
    void SetMinRows(int value);
    int RowGroup() const { return m_rowGroup; }
    void SetRowGroup(int value);
    int Units() const { return m_units; }
    void SetUnits(int newUnits);
    int CaptionNumber() const { return m_captionNumber; }
    void SetCaptionNumber(int number);
    QString FullNumber() const;
    // While the table is read from its layout, MinRows 0 or less becomes 1.
    bool Loading() const { return m_loading; }
    void SetLoading(bool loading) { m_loading = loading; }

    int ColumnCount() const { return static_cast<int>(m_columns.size()); }
    TColumn* Columns(int i) const;
    int IndexOfColumn(const TColumn* column) const;
    // Takes the column, attaches it and gives it the table's rows.
    TColumn* AddColumn(std::unique_ptr<TColumn> column);
    TData* Cells(int col, int row) const;
    int GetIntCell(int col, int row) const;
    bool CellExists(int col, int row) const;
    int RowCount() const { return m_rowCount; }
    int VisibleColumnCount() const;
    TColumn* VisibleColumn(int n) const;
    int VisibleIndexOf(const TColumn* column) const;
    int HeaderRowCount() const;

    void SetRowCount(int n);
    void AddRowGroup();
    void InsertRowGroup(int row);
    void DeleteRowGroup(int row);

    bool IsModified() const;
    void SetModified(bool flag);
    void ClearModified();

    void ShowForm();
    void CloseForm();
    void ReopenForm();
    bool HasForm() const { return m_form != nullptr; }
    TableWindowHook* Form() const { return m_form.get(); }
    TableWindowHook* EditorParent() const { return m_editorParent; }
    void AttachForm(TableWindowHook* form, std::function<void()> rowsChanged,
                    std::function<void(int col, int row)> cellChanged);
    void ReleaseForm();
    // The window closed itself (its own close handler): it is detached as
    // CloseForm detaches it and its hook freed, but the columns' windows stay.
    void FormClosed();
    void NotifyRowsChanged();
    // Every sub-table column gets one template entry per choice of the
    // first column (one when the first column is not a choice).
    void SyncTemplateLists();

    // The stored column definitions ("Col"): the column count, then for each
    // column its type number and its data.
    void ReadColumns(ValueReader& reader);
    void WriteColumns(ValueWriter& writer) const;
    QByteArray ColData() const;
    void SetColData(const QByteArray& data);

private:
    void attachColumn(TColumn* column);
    void columnCellChanged(TColumn* column, int row);
    void focusCell(TColumn* column, int row);
    // Runs op on every column, all of them even when one fails, so that the
    // columns keep one row count; the first failure is raised afterwards.
    void forEachColumn(const std::function<void(TColumn&)>& op);

    TGridTable* m_owner;
    int m_captionNumber = 0;
    bool m_modified = false;
    int m_identifier = 0;
    int m_minRows = 1;
    int m_rowCount = 0;
    int m_rowGroup = 1;
    int m_units = 1;
    bool m_loading = false;
    QByteArray m_helpPicture;
    std::vector<std::unique_ptr<TColumn>> m_columns;
    WindowFactory m_formFactory;
    std::unique_ptr<TableWindowHook> m_form;
    TableWindowHook* m_editorParent = nullptr;
    std::function<void()> m_formRowsChanged;
    std::function<void(int, int)> m_formCellChanged;
};
