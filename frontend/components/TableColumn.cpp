#include "TableColumn.h"

#include "ColumnTypes.h"
#include "Misc.h"
#include "ValueStream.h"

#include <algorithm>
#include <exception>

namespace {

const QString kFlexLayout2 = QStringLiteral("FLEXCOLUMN2");

std::unique_ptr<TColumn> create(TGridTable* table)
{
    return std::make_unique<TTableColumn>(table);
}

// Whether a clone of templ would, at some depth, clone target again or run
// in a circle: its sub-table columns' templates, and theirs, are followed.
bool clonesBack(const TGridTable* templ, const TGridTable* target, std::vector<const TGridTable*>& path)
{
    if (templ == target || std::find(path.begin(), path.end(), templ) != path.end())
        return true;
    path.push_back(templ);
    for (int c = 0; c < templ->ColumnCount(); ++c) {
        const auto* sub = dynamic_cast<const TTableColumn*>(templ->Columns(c));
        if (!sub)
            continue;
        for (int i = 0; i < sub->Templates.Count(); ++i) {
            const TGridTable* next = sub->Templates.Tables(i);
            if (next && clonesBack(next, target, path))
                return true;
        }
    }
    path.pop_back();
    return false;
}

} // namespace

const ColumnKind TTableColumn::Class = {"TTableColumn", create};

TTableColumn::TTableColumn(TGridTable* table) : TColumn(table) {}

TTableColumn::~TTableColumn()
{
    for (auto& object : m_objects)
        freeObject(object);
}

int TTableColumn::index() const
{
    if (!m_table)
        return -1;
    const int i = m_table->IndexOfColumn(this);
    return i >= 0 ? i : m_table->ColumnCount(); // still being added, at the end
}

void TTableColumn::freeObject(std::unique_ptr<RowObject>& object)
{
    // No window of a freed sub-table stays open.
    if (auto* sub = dynamic_cast<TGridTable*>(object.get()))
        sub->CloseForm();
    object.reset();
}

void TTableColumn::InsertRows(TGridTable* table, int at, int count)
{
    checkInsertAt(at);
    for (int i = 0; i < count; ++i)
        m_objects.insert(m_objects.begin() + at + i, nullptr);
    TColumn::InsertRows(table, at, count);
    // The column is whole before any row is rebuilt, so that a refused
    // template leaves it consistent (that row holds nothing).
    std::exception_ptr failure;
    for (int i = 0; i < count; ++i) {
        try {
            RebuildRow(table, at + i);
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    }
    RenumberFrom(at + count);
    if (failure)
        std::rethrow_exception(failure);
}

void TTableColumn::DeleteRow(int row)
{
    checkRow(row);
    freeObject(m_objects[static_cast<std::size_t>(row)]);
    m_objects.erase(m_objects.begin() + row);
    TColumn::DeleteRow(row);
    RenumberFrom(row);
}

void TTableColumn::RebuildRow(TGridTable* table, int row)
{
    checkRow(row);
    TGridTable* owner = table ? table : m_table;
    int kind = 1;
    if (owner && owner->ColumnCount() > 0 && owner->Columns(0) != this) {
        if (const auto* choice = dynamic_cast<const TEnumColumn*>(owner->Columns(0)); choice && row < choice->RowCount())
            kind = choice->GetInt(row);
    }
    // A choice of 0 or beyond the templates has no template.
    const TGridTable* templ = kind >= 1 && kind <= Templates.Count() ? Templates.Tables(kind - 1) : nullptr;
    auto& slot = m_objects[static_cast<std::size_t>(row)];
    if (templ) {
        std::vector<const TGridTable*> path;
        if (clonesBack(templ, owner, path))
            throw Exception(QStringLiteral("A sub-table cannot be made from a template that holds the table itself."));
        std::unique_ptr<RowObject> clone = TGridTable::CreateClone(owner, row + 1, *templ);
        freeObject(slot);
        slot = std::move(clone);
    } else if (owner && owner->OnInitRow) {
        std::unique_ptr<RowObject> object;
        owner->OnInitRow(*owner, index(), row, kind, object);
        if (owner->OnSetRow)
            owner->OnSetRow(*owner, index(), object.get(), row); // a failure frees the object
        freeObject(slot);
        slot = std::move(object);
    } else {
        freeObject(slot);
    }
    renewCaption(row);
}

QString TTableColumn::ButtonCaption(int row) const
{
    checkRow(row);
    RowObject* object = m_objects[static_cast<std::size_t>(row)].get();
    QString caption;
    if (auto* sub = dynamic_cast<TGridTable*>(object))
        caption = sub->Caption;
    else if (m_table && m_table->OnGetButtonCaption)
        m_table->OnGetButtonCaption(*m_table, index(), row, object, caption);
    return Format(QStringLiteral("%d: %s"), {row + 1, caption});
}

void TTableColumn::renewCaption(int row)
{
    for (CellEditor& e : m_editors)
        if (e.Tag == row)
            e.Caption = ButtonCaption(row);
}

void TTableColumn::RenumberFrom(int row)
{
    for (int r = std::max(0, row); r < static_cast<int>(m_objects.size()); ++r) {
        RowObject* object = m_objects[static_cast<std::size_t>(r)].get();
        if (auto* sub = dynamic_cast<TGridTable*>(object))
            sub->SetCaptionNumber(r + 1);
        else if (object && m_table && m_table->OnSetRow)
            m_table->OnSetRow(*m_table, index(), object, r);
        renewCaption(r);
    }
}

TGridTable* TTableColumn::GetTable(int row) const
{
    RowObject* object = GetObject(row);
    if (!object)
        return nullptr;
    auto* sub = dynamic_cast<TGridTable*>(object);
    if (!sub)
        throw EInvalidCast(QStringLiteral("Invalid class typecast"));
    return sub;
}

RowObject* TTableColumn::GetObject(int row) const
{
    checkRow(row);
    return m_objects[static_cast<std::size_t>(row)].get();
}

bool TTableColumn::IsChanged() const
{
    for (int r = 0; r < static_cast<int>(m_objects.size()); ++r) {
        RowObject* object = m_objects[static_cast<std::size_t>(r)].get();
        if (auto* sub = dynamic_cast<TGridTable*>(object)) {
            if (sub->IsModified())
                return true;
        } else if (object && m_table && m_table->OnGetChanged) {
            bool changed = false;
            m_table->OnGetChanged(*m_table, index(), r, object, changed);
            if (changed)
                return true;
        }
    }
    return false;
}

void TTableColumn::ResetChanged()
{
    for (int r = 0; r < static_cast<int>(m_objects.size()); ++r) {
        RowObject* object = m_objects[static_cast<std::size_t>(r)].get();
        if (auto* sub = dynamic_cast<TGridTable*>(object))
            sub->SetModified(false);
        else if (object && m_table && m_table->OnResetChanged)
            m_table->OnResetChanged(*m_table, index(), r, object);
    }
}

void TTableColumn::CloseForms()
{
    for (int r = 0; r < static_cast<int>(m_objects.size()); ++r) {
        RowObject* object = m_objects[static_cast<std::size_t>(r)].get();
        if (auto* sub = dynamic_cast<TGridTable*>(object))
            sub->CloseForm();
        else if (object && m_table && m_table->OnHide)
            m_table->OnHide(*m_table, index(), r, object);
    }
}

int TTableColumn::Width(const CanvasMetrics& canvas) const
{
    return std::max(TColumn::Width(canvas), 2 * canvas.PixelsPerInch());
}

void TTableColumn::SetUnits(int newUnits)
{
    for (int r = 0; r < static_cast<int>(m_objects.size()); ++r) {
        RowObject* object = m_objects[static_cast<std::size_t>(r)].get();
        if (auto* sub = dynamic_cast<TGridTable*>(object))
            sub->SetUnits(newUnits);
        else if (m_table && m_table->OnSetUnits)
            m_table->OnSetUnits(*m_table, index(), r, object, newUnits);
    }
}

void TTableColumn::WriteData(ValueWriter& writer) const
{
    TColumn::WriteData(writer);
    writer.WriteString(kFlexLayout2);
    writer.WriteListBegin();
    for (int i = 0; i < Templates.Count(); ++i) {
        const TGridTable* t = Templates.Tables(i);
        writer.WriteInteger(t ? t->Identifier() : -1);
    }
    writer.WriteListEnd();
}

void TTableColumn::ReadData(ValueReader& reader)
{
    TColumn::ReadData(reader);
    const QString layout = reader.ReadString();
    if (layout == kFlexLayout2) {
        reader.ReadListBegin();
        while (!reader.EndOfList())
            Templates.AddIdentifier(reader.ReadInteger());
        reader.ReadListEnd();
        return;
    }
    // The older layout: one registry position.
    const int n = reader.ReadInteger();
    const TEnumColumn* choice =
        m_table && m_table->ColumnCount() > 0 ? dynamic_cast<const TEnumColumn*>(m_table->Columns(0)) : nullptr;
    if (!choice) {
        Templates.AddIndex(n);
        return;
    }
    for (int i = 0; i < static_cast<int>(choice->Items().size()); ++i) {
        if (m_table->HardwiredButton)
            Templates.AddIndex(n);
        else
            Templates.AddIdentifier(i + 1);
    }
}

void TTableColumn::CopySettingsFrom(const TColumn& source)
{
    TColumn::CopySettingsFrom(source);
    const auto& s = static_cast<const TTableColumn&>(source);
    for (int i = 0; i < s.Templates.Count(); ++i)
        Templates.AddIndex(s.Templates.RegistryIndex(i));
}

CellEditor* TTableColumn::Editor(int i)
{
    if (i < 0 || i >= EditorCount())
        throw EListError(Format(QStringLiteral("List index out of bounds (%d)"), {i}));
    return &m_editors[static_cast<std::size_t>(i)];
}

void TTableColumn::PlaceEditors(TableWindowHook* parent, int topRow, int count)
{
    if (!m_editors.empty() && m_editorParent && m_editorParent != parent)
        throw Exception(QStringLiteral("Attempt to change parent with controls already allocated"));
    if (!parent)
        throw Exception(QStringLiteral("null parent"));
    if (topRow < 0 || topRow >= RowCount())
        throw Exception(Format(QStringLiteral("ATopRow %d"), {topRow}));
    if (count <= 0 || topRow + count > RowCount())
        throw Exception(Format(QStringLiteral("ACount %d"), {count}));
    m_editorParent = parent;
    m_editors.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        CellEditor& e = m_editors[static_cast<std::size_t>(i)];
        e.Tag = topRow + i;
        e.Visible = false;
        e.Caption = ButtonCaption(e.Tag);
    }
}

void TTableColumn::ReleaseEditors()
{
    m_editorParent = nullptr;
    m_editors.clear();
}

void TTableColumn::ButtonClick(int editor)
{
    const int row = Editor(editor)->Tag;
    RowObject* object = GetObject(row);
    if (auto* sub = dynamic_cast<TGridTable*>(object))
        sub->ShowForm();
    else if (m_table && m_table->OnButtonClick)
        m_table->OnButtonClick(*m_table, index(), row, object);
}
