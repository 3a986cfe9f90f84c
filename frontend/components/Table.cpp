#include "Table.h"

#include "ColumnTypes.h"
#include "TableColumn.h"
#include "Misc.h"
#include "ValueStream.h"

#include <QScopeGuard>

#include <algorithm>
#include <exception>
#include <climits>

// ---------------------------------------------------------------- registries

namespace {

struct TColumnTypeStorage {
    const ColumnKind* ColumnClass;
    int TypeId;
};

std::unique_ptr<std::vector<TColumnTypeStorage>>& columnTypes()
{
    static std::unique_ptr<std::vector<TColumnTypeStorage>> registry;
    return registry;
}

std::vector<TGridTable*>& tableRegistry()
{
    static std::vector<TGridTable*> tables;
    return tables;
}

int& nextIdentifier()
{
    static int next = 0;
    return next;
}

// The counter's next identifier that no living table holds. Past the largest
// identifier the counter starts again at 0: identifiers are never negative.
int takeFreeIdentifier()
{
    int& next = nextIdentifier();
    for (;;) {
        const int candidate = next;
        next = candidate == INT_MAX ? 0 : candidate + 1;
        if (IndexOfIdentifier(candidate) < 0)
            return candidate;
    }
}

[[noreturn]] void listIndexError(int index)
{
    throw EListError(Format(QStringLiteral("List index out of bounds (%d)"), {index}));
}

} // namespace

void EnsureColumnTypeRegistry()
{
    auto& registry = columnTypes();
    if (registry)
        return;
    registry = std::make_unique<std::vector<TColumnTypeStorage>>();
    registry->push_back({&TEnumColumn::Class, 0});
    registry->push_back({&TIntColumn::Class, 1});
    registry->push_back({&TFloatColumn::Class, 2});
    registry->push_back({&TTableColumn::Class, 3});
    registry->push_back({&TStringColumn::Class, 4});
}

void RegisterColumnType(const ColumnKind* kind, int typeId)
{
    EnsureColumnTypeRegistry();
    columnTypes()->push_back({kind, typeId});
}

void UnregisterColumnType(const ColumnKind* kind)
{
    EnsureColumnTypeRegistry();
    auto& entries = *columnTypes();
    for (auto i = entries.size(); i-- > 0;)
        if (entries[i].ColumnClass == kind)
            entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(i));
}

const ColumnKind* FindColumnClass(int typeId)
{
    EnsureColumnTypeRegistry();
    for (const TColumnTypeStorage& e : *columnTypes())
        if (e.TypeId == typeId)
            return e.ColumnClass;
    return nullptr;
}

int FindColumnTypeId(const ColumnKind* kind)
{
    EnsureColumnTypeRegistry();
    for (const TColumnTypeStorage& e : *columnTypes())
        if (e.ColumnClass == kind)
            return e.TypeId;
    return -1;
}

TGridTable* TableAt(int index)
{
    const auto& tables = tableRegistry();
    if (index < 0 || index >= static_cast<int>(tables.size()))
        return nullptr;
    return tables[static_cast<std::size_t>(index)];
}

int IndexOfTable(const TGridTable* table)
{
    if (!table)
        return -1;
    const auto& tables = tableRegistry();
    const auto it = std::find(tables.begin(), tables.end(), table);
    return it == tables.end() ? -1 : static_cast<int>(it - tables.begin());
}

int IndexOfIdentifier(int identifier)
{
    if (identifier < 0)
        return -1;
    const auto& tables = tableRegistry();
    for (std::size_t i = 0; i < tables.size(); ++i)
        if (tables[i]->Identifier() == identifier)
            return static_cast<int>(i);
    return -1;
}

int TableCount()
{
    return static_cast<int>(tableRegistry().size());
}

// ---------------------------------------------------------------- TData

int TData::row() const
{
    return m_column->IndexOfData(this);
}

Extended TData::GetFloat() const { return m_column->GetFloat(row()); }
int TData::GetInt() const { return m_column->GetInt(row()); }
QString TData::GetText() const { return m_column->GetText(row()); }
void TData::SetFloat(Extended value) { m_column->SetFloat(row(), value); }
void TData::SetInt(int value) { m_column->SetInt(row(), value); }

// ---------------------------------------------------------------- TColumn

TColumn::TColumn(TGridTable* table) : m_table(table) {}

TColumn::~TColumn() = default;

void TColumn::wrongType()
{
    throw EInvalidCast(QStringLiteral("Data of wrong type"));
}

void TColumn::checkRow(int row) const
{
    if (row < 0 || row >= RowCount())
        listIndexError(row);
}

void TColumn::checkInsertAt(int at) const
{
    if (at < 0 || at > RowCount())
        listIndexError(at);
}

void TColumn::InsertRows(TGridTable*, int at, int count)
{
    checkInsertAt(at);
    for (int i = 0; i < count; ++i)
        m_rows.insert(m_rows.begin() + at + i, std::make_unique<TData>(this));
}

void TColumn::DeleteRow(int row)
{
    checkRow(row);
    m_rows.erase(m_rows.begin() + row);
}

QString TColumn::CaptionLine(int i) const
{
    if (i < 0 || i >= CaptionCount())
        listIndexError(i);
    return m_captions[i];
}

TGridTable* TColumn::GetTable(int) const { wrongType(); }
Extended TColumn::GetFloat(int) const { wrongType(); }
void TColumn::SetFloat(int, Extended) { wrongType(); }
int TColumn::GetInt(int) const { wrongType(); }
void TColumn::SetInt(int, int) { wrongType(); }
QString TColumn::GetText(int) const { return QString(); }
void TColumn::SetText(int, const QString&) {}

bool TColumn::HasEditors() const
{
    throw EAbstractError(QStringLiteral("Abstract Error"));
}

CellEditor* TColumn::Editor(int)
{
    throw EAbstractError(QStringLiteral("Abstract Error"));
}

int TColumn::RowGroup() const
{
    int group = 1;
    if (OnGetRowGroup)
        OnGetRowGroup(const_cast<TColumn*>(this), group);
    return group;
}

int TColumn::Width(const CanvasMetrics& canvas) const
{
    int widest = 0;
    for (int i = 0; i < CaptionCount(); ++i)
        widest = std::max(widest, canvas.TextWidth(CaptionLine(i) + QStringLiteral("  ")));
    return widest;
}

void TColumn::SetUnits(int) {}

void TColumn::WriteData(ValueWriter& writer) const
{
    writer.WriteListBegin();
    for (const QString& line : m_captions)
        writer.WriteString(line);
    writer.WriteListEnd();
    writer.WriteBoolean(m_visible);
    writer.WriteBoolean(m_grouped);
}

void TColumn::ReadData(ValueReader& reader)
{
    m_captions.clear();
    reader.ReadListBegin();
    while (!reader.EndOfList())
        m_captions.append(reader.ReadString());
    reader.ReadListEnd();
    m_visible = reader.ReadBoolean();
    m_grouped = reader.ReadBoolean();
}

void TColumn::PlaceEditors(TableWindowHook*, int, int) {}

void TColumn::CopySettingsFrom(const TColumn& source)
{
    m_visible = source.m_visible;
    m_captions = source.m_captions;
}

std::unique_ptr<TColumn> TColumn::Clone(TGridTable* newTable) const
{
    std::unique_ptr<TColumn> copy = ColumnClass().Create(newTable);
    copy->CopySettingsFrom(*this);
    return copy;
}

std::unique_ptr<TColumn> TColumn::CreateFromReader(const ColumnKind& kind, TGridTable* table, ValueReader& reader)
{
    std::unique_ptr<TColumn> column = kind.Create(table);
    column->ReadData(reader);
    return column;
}

TData* TColumn::RowData(int row) const
{
    checkRow(row);
    return m_rows[static_cast<std::size_t>(row)].get();
}

int TColumn::IndexOfData(const TData* handle) const
{
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].get() == handle)
            return static_cast<int>(i);
    return -1;
}

void TColumn::CellChanged(int row)
{
    if (OnCellChanged)
        OnCellChanged(this, row);
}

void TColumn::storeRange(int row, int groupSize, int& first, int& last) const
{
    checkRow(row);
    if (!m_grouped || groupSize <= 1) {
        first = last = row;
        return;
    }
    first = groupSize * (row / groupSize);
    last = std::min(first + groupSize - 1, RowCount() - 1);
}

void TColumn::fillToTableRows()
{
    if (!m_table)
        return;
    while (RowCount() < m_table->RowCount())
        InsertRows(m_table, RowCount(), std::min(m_table->RowGroup(), m_table->RowCount() - RowCount()));
}

// ---------------------------------------------------------------- TGridTable

TGridTable::TGridTable(TGridTable* owner) : m_owner(owner)
{
    m_units = owner ? owner->Units() : 1;
    m_identifier = takeFreeIdentifier();
    tableRegistry().push_back(this);
}

TGridTable::~TGridTable()
{
    if (m_form)
        m_form->TableDestroyed();
    m_formRowsChanged = nullptr;
    m_formCellChanged = nullptr;
    SetRowCount(0);
    m_columns.clear();
    auto& tables = tableRegistry();
    tables.erase(std::remove(tables.begin(), tables.end(), this), tables.end());
    m_form.reset();
}

std::unique_ptr<TGridTable> TGridTable::CreateClone(TGridTable* owner, int number, const TGridTable& source)
{
    auto table = std::make_unique<TGridTable>(owner);
    table->Caption = source.Caption;
    table->Comments = source.Comments;
    table->TopLeft = source.TopLeft;
    table->SetRowCount(0);
    table->m_minRows = source.m_minRows;
    table->MaxRows = source.MaxRows;
    for (const auto& column : source.m_columns)
        table->AddColumn(column->Clone(table.get()));
    table->SetCaptionNumber(number);
    table->SetRowCount(table->m_minRows);
    table->NotifyRowsChanged();
    return table;
}

const TGridTable::WindowFactory& TGridTable::FormFactory() const
{
    const TGridTable* t = this;
    while (!t->m_formFactory && t->m_owner)
        t = t->m_owner;
    return t->m_formFactory;
}

void TGridTable::SetIdentifier(int value)
{
    if (value < 0)
        return;
    // Identifiers stay unique by swapping with the table that holds value.
    for (TGridTable* t : tableRegistry())
        if (t != this && t->m_identifier == value)
            t->m_identifier = m_identifier;
    m_identifier = value;
    // The counter stays: older stored sub-table columns name their templates
    // by the identifiers 1, 2, ... that tables made later take from it. A new
    // table passes over the identifiers set here instead.
}

void TGridTable::SetHelpPicture(const QByteArray& picture)
{
    m_helpPicture = picture;
    if (m_form)
        m_form->HelpPictureChanged();
}

void TGridTable::SetMinRows(int value)
{
    if (value <= 0) {
        if (!m_loading)
            throw Exception(QStringLiteral("Value must be greater than 0"));
        value = 1;
    }
    m_minRows = value;
}

void TGridTable::SetRowGroup(int value)
{
    m_rowGroup = std::max(1, value);
}

void TGridTable::SetUnits(int newUnits)
{
    if (newUnits == m_units)
        return;
    Check(newUnits >= 1 && newUnits <= 3, QStringLiteral("Units must be 1, 2 or 3"));
    for (const auto& column : m_columns)
        column->SetUnits(newUnits); // while Units still holds the old system
    m_units = newUnits;
    NotifyRowsChanged();
}

void TGridTable::SetCaptionNumber(int number)
{
    m_captionNumber = number;
    if (m_form)
        m_form->SetTitle(Caption + QStringLiteral(" ") + FullNumber());
}

QString TGridTable::FullNumber() const
{
    QString number = m_owner ? m_owner->FullNumber() : QString();
    if (m_captionNumber != 0)
        number += QStringLiteral(" ") + QString::number(m_captionNumber);
    return number;
}

TColumn* TGridTable::Columns(int i) const
{
    if (i < 0 || i >= ColumnCount())
        listIndexError(i);
    return m_columns[static_cast<std::size_t>(i)].get();
}

int TGridTable::IndexOfColumn(const TColumn* column) const
{
    for (std::size_t i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].get() == column)
            return static_cast<int>(i);
    return -1;
}

TColumn* TGridTable::AddColumn(std::unique_ptr<TColumn> column)
{
    Check(column && column->Table() == this, QStringLiteral("A column must be made for the table that takes it"));
    // Attached before it joins the list, so that a column whose rows cannot
    // be made is freed and the table stays as it was.
    attachColumn(column.get());
    m_columns.push_back(std::move(column));
    return m_columns.back().get();
}

void TGridTable::attachColumn(TColumn* column)
{
    column->OnCellChanged = [this](TColumn* c, int row) { columnCellChanged(c, row); };
    column->OnFocusCell = [this](TColumn* c, int row) { focusCell(c, row); };
    column->OnGetRowGroup = [this](TColumn*, int& group) { group = m_rowGroup; };
    if (auto* choice = dynamic_cast<TEnumColumn*>(column))
        choice->OnItemsChanged = [this](TColumn* c) {
            if (!m_columns.empty() && m_columns.front().get() == c)
                SyncTemplateLists();
        };
    while (column->RowCount() < m_rowCount)
        column->InsertRows(this, column->RowCount(), std::min(m_rowGroup, m_rowCount - column->RowCount()));
    if (m_form && column->UsesControls())
        column->PlaceEditors(m_editorParent, m_form->FirstShownRow(), m_form->VisibleRows());
}

TData* TGridTable::Cells(int col, int row) const
{
    return Columns(col)->RowData(row);
}

int TGridTable::GetIntCell(int col, int row) const
{
    return Columns(col)->GetInt(row);
}

bool TGridTable::CellExists(int col, int row) const
{
    return col >= 0 && col < ColumnCount() && row >= 0 && row < Columns(col)->RowCount();
}

int TGridTable::VisibleColumnCount() const
{
    return static_cast<int>(std::count_if(m_columns.begin(), m_columns.end(), [](const auto& c) { return c->Visible(); }));
}

TColumn* TGridTable::VisibleColumn(int n) const
{
    int seen = 0;
    for (const auto& c : m_columns)
        if (c->Visible() && seen++ == n)
            return c.get();
    throw EListError(QStringLiteral("Index out of bounds"));
}

int TGridTable::VisibleIndexOf(const TColumn* column) const
{
    int index = 0;
    for (const auto& c : m_columns) {
        if (c.get() == column)
            return c->Visible() ? index : -1;
        if (c->Visible())
            ++index;
    }
    return -1;
}

int TGridTable::HeaderRowCount() const
{
    int rows = 0;
    for (const auto& c : m_columns)
        if (c->Visible())
            rows = std::max(rows, c->CaptionCount());
    return rows;
}

void TGridTable::forEachColumn(const std::function<void(TColumn&)>& op)
{
    std::exception_ptr failure;
    for (const auto& c : m_columns) {
        try {
            op(*c);
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}

void TGridTable::SetRowCount(int n)
{
    m_rowCount = std::max(0, n);
    // Rows are added a group at a time, but no column ends beyond the row
    // count: the last group may be partial.
    forEachColumn([this](TColumn& c) {
        while (c.RowCount() > m_rowCount)
            c.DeleteRow(c.RowCount() - 1);
        // A column that made its rows but refused one row's content goes on.
        std::exception_ptr failure;
        while (c.RowCount() < m_rowCount) {
            const int before = c.RowCount();
            try {
                c.InsertRows(this, c.RowCount(), std::min(m_rowGroup, m_rowCount - c.RowCount()));
            } catch (...) {
                if (c.RowCount() == before)
                    throw;
                if (!failure)
                    failure = std::current_exception();
            }
        }
        if (failure)
            std::rethrow_exception(failure);
    });
}

void TGridTable::AddRowGroup()
{
    m_rowCount += m_rowGroup;
    const auto notify = qScopeGuard([this] { NotifyRowsChanged(); });
    forEachColumn([this](TColumn& c) { c.InsertRows(this, c.RowCount(), m_rowGroup); });
}

void TGridTable::InsertRowGroup(int row)
{
    if (row < 0 || row > m_rowCount)
        listIndexError(row);
    const int start = m_rowGroup * (row / m_rowGroup);
    m_rowCount += m_rowGroup;
    const auto notify = qScopeGuard([this] { NotifyRowsChanged(); });
    forEachColumn([this, start](TColumn& c) { c.InsertRows(this, start, m_rowGroup); });
}

void TGridTable::DeleteRowGroup(int row)
{
    if (row < 0 || row >= m_rowCount)
        listIndexError(row);
    const int start = m_rowGroup * (row / m_rowGroup);
    const int count = std::min(m_rowGroup, m_rowCount - start); // a partial last group
    m_rowCount -= count;
    for (const auto& c : m_columns)
        for (int i = 0; i < count; ++i)
            c->DeleteRow(start);
    NotifyRowsChanged();
}

bool TGridTable::IsModified() const
{
    if (m_modified)
        return true;
    return std::any_of(m_columns.begin(), m_columns.end(), [](const auto& c) { return c->IsChanged(); });
}

void TGridTable::SetModified(bool flag)
{
    if (flag)
        m_modified = true;
    else
        ClearModified();
}

void TGridTable::ClearModified()
{
    m_modified = false;
    for (const auto& c : m_columns)
        c->ResetChanged();
}

void TGridTable::columnCellChanged(TColumn* column, int row)
{
    // A new choice in the first column gives the row a new sub-table.
    if (!m_columns.empty() && m_columns.front().get() == column && dynamic_cast<TEnumColumn*>(column)) {
        for (const auto& c : m_columns)
            if (auto* sub = dynamic_cast<TTableColumn*>(c.get())) {
                if (row < sub->RowCount())
                    sub->RebuildRow(this, row);
                break;
            }
    }
    if (m_formCellChanged)
        m_formCellChanged(IndexOfColumn(column), row);
}

void TGridTable::focusCell(TColumn* column, int row)
{
    if (m_form)
        m_form->SetCurrentCell(VisibleIndexOf(column) + 1, row + HeaderRowCount());
}

void TGridTable::ShowForm()
{
    if (VisibleColumnCount() == 0)
        return;
    if (!m_form) {
        const WindowFactory& factory = FormFactory();
        if (!factory)
            return;
        m_form = factory(*this);
        if (!m_form)
            return;
    }
    m_form->ShowWindow();
}

void TGridTable::CloseForm()
{
    if (!m_form)
        return;
    FormClosed();
    for (const auto& c : m_columns)
        c->CloseForms();
}

void TGridTable::FormClosed()
{
    if (!m_form)
        return;
    ReleaseForm();
    m_formRowsChanged = nullptr;
    m_formCellChanged = nullptr;
    m_form.reset();
}

void TGridTable::ReopenForm()
{
    if (!m_form)
        return;
    CloseForm();
    ShowForm();
}

void TGridTable::AttachForm(TableWindowHook* form, std::function<void()> rowsChanged,
                            std::function<void(int, int)> cellChanged)
{
    // The window is taken only once every column could place its editors on
    // it; otherwise the editors placed here go again and nothing refers to it.
    std::vector<TColumn*> placed;
    try {
        for (const auto& c : m_columns) {
            if (!c->UsesControls())
                continue;
            c->PlaceEditors(form, form->FirstShownRow(), form->VisibleRows());
            placed.push_back(c.get());
        }
    } catch (...) {
        for (TColumn* c : placed)
            c->ReleaseEditors();
        throw;
    }
    m_editorParent = form;
    m_formRowsChanged = std::move(rowsChanged);
    m_formCellChanged = std::move(cellChanged);
}

void TGridTable::ReleaseForm()
{
    for (const auto& c : m_columns)
        if (c->UsesControls())
            c->ReleaseEditors();
    m_editorParent = nullptr;
}

void TGridTable::NotifyRowsChanged()
{
    if (m_formRowsChanged)
        m_formRowsChanged();
}

void TGridTable::ReadColumns(ValueReader& reader)
{
    int count = 0;
    try {
        count = reader.ReadInteger();
    } catch (const std::exception&) {
        throw Exception(QStringLiteral("Error reading column count"));
    }
    if (count < 0)
        throw Exception(QStringLiteral("Error reading column count"));
    for (int i = 0; i < count; ++i) {
        try {
            const int typeId = reader.ReadInteger();
            const ColumnKind* kind = FindColumnClass(typeId);
            if (!kind)
                throw Exception(QStringLiteral("Error Column Class not defined"));
            AddColumn(TColumn::CreateFromReader(*kind, this, reader));
        } catch (const Exception& e) {
            throw Exception(Format(QStringLiteral("Error occured when creating column %d: %s"), {i, e.Message()}));
        }
        SyncTemplateLists();
    }
    NotifyRowsChanged();
}

void TGridTable::SyncTemplateLists()
{
    if (m_columns.empty())
        return;
    const auto* choice = dynamic_cast<const TEnumColumn*>(m_columns.front().get());
    const int k = choice ? static_cast<int>(choice->Items().size()) : 1;
    for (const auto& c : m_columns) {
        auto* sub = dynamic_cast<TTableColumn*>(c.get());
        if (!sub)
            continue;
        while (sub->Templates.Count() < k)
            sub->Templates.AddTable(nullptr);
        while (sub->Templates.Count() > k)
            sub->Templates.Delete(sub->Templates.Count() - 1);
    }
}

void TGridTable::WriteColumns(ValueWriter& writer) const
{
    writer.WriteInteger(ColumnCount());
    for (const auto& c : m_columns) {
        writer.WriteInteger(FindColumnTypeId(&c->ColumnClass()));
        c->WriteData(writer);
    }
}

QByteArray TGridTable::ColData() const
{
    ValueWriter writer;
    WriteColumns(writer);
    return writer.Data();
}

void TGridTable::SetColData(const QByteArray& data)
{
    ValueReader reader(data);
    ReadColumns(reader);
}
