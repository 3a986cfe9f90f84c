#pragma once

// References to tables that are resolved only when read: by position in the
// table registry or by Identifier.

#include "Misc.h"

#include <cstdint>

class TGridTable;

struct TIntWrapper {
    bool ByIdentifier = false;
    std::int32_t Value = -1; // -1 names no table
};

class TGridTableList {
public:
    int Count() const { return m_entries.Count(); }
    void InsertIndex(int pos, int index);
    void InsertIdentifier(int pos, int identifier);
    // The table's current registry position; -1 for none or an unregistered one.
    void InsertTable(int pos, const TGridTable* table);
    void AddIndex(int index) { InsertIndex(Count(), index); }
    void AddIdentifier(int identifier) { InsertIdentifier(Count(), identifier); }
    void AddTable(const TGridTable* table) { InsertTable(Count(), table); }
    void Delete(int i) { m_entries.Delete(i); }
    // Entry I as a registry position; the entry itself never changes.
    int RegistryIndex(int i) const;
    // The table entry I names now, or null.
    TGridTable* Tables(int i) const;

private:
    void insert(int pos, bool byIdentifier, int value);

    TObjectList<TIntWrapper> m_entries;
};
