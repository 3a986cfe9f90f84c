#pragma once

// A general catalogue of units of measure: named categories (length, time,
// force, ...), each a list of units with a conversion factor relative to the
// category's base unit. The program builds one catalogue at start-up
// (Categories) and frees it at exit. The front end's English/SI switching
// does not read it: it has fixed factor tables of its own.

#include "Extended.h"
#include "Misc.h"

#include <QString>

#include <memory>

// A unit name or category name that is already taken.
class eNameError : public Exception {
public:
    using Exception::Exception;
};

class TUnit {
public:
    TUnit(const QString& symbol, const QString& name, Extended factor)
        : Symbol(symbol), Name(name), Factor(factor) {}

    QString Symbol; // unique within its category, compared exactly
    QString Name;
    Extended Factor; // base units in one such unit, once a base is set
    bool Flag1 = true;
    bool Flag2 = false;
};

class TCategory {
public:
    explicit TCategory(const QString& name) : Name(name) {}

    QString Name;

    // Appends a unit; the first one becomes the base. A symbol the category
    // already has raises eNameError.
    void AddUnit(const QString& symbol, const QString& name, Extended factor);
    // Rescales every factor to unit `index` (factor 1); -1 sets no base and
    // leaves the factors as they are.
    void SetBase(int index);
    // Removes unit `index`; deleting the base leaves the category without
    // one. The base and the selections keep pointing at the same units.
    void DeleteUnit(int index);

    TUnit& Unit(int index) const { return *m_units.Items(index); }
    int UnitCount() const { return m_units.Count(); }
    int IndexOfSymbol(const QString& symbol) const;

    int BaseIndex() const { return m_baseIndex; }
    int Selection1 = -1;
    bool Flag = false;
    int Selection2 = -1;
    Extended Value = 1.0L;

private:
    TObjectList<TUnit> m_units;
    int m_baseIndex = -1;
};

class TCategories {
public:
    // Appends an empty category; a name already taken raises eNameError.
    TCategory& AddCategory(const QString& name);
    // The category at `index`; outside 0..count-1 an Exception with the
    // text "<index> Out of Range 0-<count>".
    TCategory& GetCategory(int index) const;
    int CategoryCount() const { return m_categories.Count(); }

private:
    TObjectList<TCategory> m_categories;
};

// A catalogue with the program's six categories: Length, Time, Force,
// Temperature, Angle and Computer Bits.
std::unique_ptr<TCategories> BuildCategories();

// The program's catalogue, built on the first call (start-up calls it) and
// freed at exit.
const TCategories& Categories();
