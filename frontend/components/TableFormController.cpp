#include "TableFormController.h"

#include "Table.h"

#include <memory>

void TGridTableList::insert(int pos, bool byIdentifier, int value)
{
    auto entry = std::make_unique<TIntWrapper>();
    entry->ByIdentifier = byIdentifier;
    entry->Value = value;
    m_entries.Insert(pos, entry.get()); // raises before taking it on a bad position
    entry.release();
}

void TGridTableList::InsertIndex(int pos, int index) { insert(pos, false, index); }
void TGridTableList::InsertIdentifier(int pos, int identifier) { insert(pos, true, identifier); }
void TGridTableList::InsertTable(int pos, const TGridTable* table) { insert(pos, false, IndexOfTable(table)); }

int TGridTableList::RegistryIndex(int i) const
{
    const TIntWrapper* entry = m_entries.Items(i);
    return entry->ByIdentifier ? IndexOfIdentifier(entry->Value) : entry->Value;
}

TGridTable* TGridTableList::Tables(int i) const
{
    return TableAt(RegistryIndex(i));
}
