#include "UnitsCatalogue.h"

// ------------------------------------------------------------------ TCategory

void TCategory::AddUnit(const QString& symbol, const QString& name, Extended factor)
{
    if (IndexOfSymbol(symbol) >= 0)
        throw eNameError(symbol + QStringLiteral(" already exists. A unit's symbol must be unique."));
    m_units.Add(new TUnit(symbol, name, factor));
    if (m_units.Count() == 1)
        SetBase(0);
}

void TCategory::SetBase(int index)
{
    if (index != -1) {
        TUnit& base = Unit(index); // checks the index before anything changes
        const Extended divisor = base.Factor;
        for (int i = 0; i < UnitCount(); ++i)
            if (i != index)
                Unit(i).Factor /= divisor;
        base.Factor = 1.0L;
    }
    m_baseIndex = index;
}

void TCategory::DeleteUnit(int index)
{
    Unit(index); // an index outside the list changes nothing (EListError)
    if (index == m_baseIndex)
        SetBase(-1);
    const bool last = index == UnitCount() - 1;
    const auto follow = [&](int& selection) {
        if (selection > index || (selection == index && last && UnitCount() > 1))
            --selection;
    };
    if (m_baseIndex > index)
        --m_baseIndex;
    follow(Selection1);
    follow(Selection2);
    m_units.Delete(index);
}

int TCategory::IndexOfSymbol(const QString& symbol) const
{
    for (int i = 0; i < UnitCount(); ++i)
        if (Unit(i).Symbol == symbol)
            return i;
    return -1;
}

// ---------------------------------------------------------------- TCategories

TCategory& TCategories::AddCategory(const QString& name)
{
    for (int i = 0; i < CategoryCount(); ++i)
        if (m_categories.Items(i)->Name == name)
            throw eNameError(name + QStringLiteral(" already exists."));
    auto* category = new TCategory(name);
    category->Flag = true;
    m_categories.Add(category);
    return *category;
}

TCategory& TCategories::GetCategory(int index) const
{
    if (index < 0 || index >= CategoryCount())
        throw Exception(QStringLiteral("%1 Out of Range 0-%2").arg(index).arg(CategoryCount()));
    return *m_categories.Items(index);
}

// ------------------------------------------------------------------ catalogue

namespace {

struct UnitEntry {
    const char* Symbol;
    const char* Name;
    Extended Factor; // in the first unit of the category
};

// Adds the units, sets the base (which rescales every factor to it), deletes
// the temporary first unit where there is one, and selects the base.
void addCategory(TCategories& categories, const char* name, std::initializer_list<UnitEntry> units,
                 const char* base, const char* placeholder = nullptr)
{
    TCategory& c = categories.AddCategory(QString::fromLatin1(name));
    for (const UnitEntry& u : units)
        c.AddUnit(QString::fromLatin1(u.Symbol), QString::fromLatin1(u.Name), u.Factor);
    c.SetBase(c.IndexOfSymbol(QString::fromLatin1(base)));
    c.Selection1 = c.Selection2 = c.BaseIndex();
    if (placeholder)
        c.DeleteUnit(c.IndexOfSymbol(QString::fromLatin1(placeholder)));
}

} // namespace

std::unique_ptr<TCategories> BuildCategories()
{
    auto c = std::make_unique<TCategories>();
    addCategory(*c, "Length",
                {{"mm", "millimeters", 1.0L},
                 {"cm", "centimeters", 10.0L},
                 {"m", "meters", 1000.0L},
                 {"km", "kilometers", 1000000.0L},
                 {"in", "inches", 25.4L},
                 {"ft", "feet", 304.8L},
                 {"yd", "yards", 914.4L},
                 {"f", "fathoms", 1828.8L},
                 {"mi", "miles, statute", 1609344.0L},
                 {"nmi", "nautical miles, U.S.", 1852000.0L},
                 {"league", "leagues, statute", 4828032.0L},
                 {"au", "astronomical units", 149597890000000.0L}},
                "m");
    addCategory(*c, "Time",
                {{"PH s", "seconds", 1.0L},
                 {"ns", "nanoseconds", 1E-9L},
                 {"ms", "milliseconds", 0.001L},
                 {"s", "seconds", 1.0L},
                 {"mn", "minutes", 60.0L},
                 {"hr", "hours", 3600.0L},
                 {"day", "days", 86400.0L},
                 {"wk", "weeks", 604800.0L},
                 {"mth", "months", 2629800.0L},
                 {"yr", "years", 31557600.0L},
                 {"dec", "decades", 315576000.0L},
                 {"cen", "centuries", 3155760000.0L},
                 {"mnm", "millenia", 31557600000.0L},
                 {"eon", "eons", 3.15576E16L}},
                "s", "PH s");
    addCategory(*c, "Force",
                {{"N", "newtons", 1.0L},
                 {"kN", "kilonewtons", 1000.0L},
                 {"amu", "atomic mass units", 1.6284334591E-26L},
                 {"mg", "milligrams", 9.80665E-6L},
                 {"g", "grams force", 0.00980665L},
                 {"kg", "kilograms force", 9.80665L},
                 {"tn", "metric tons", 9806.65L},
                 {"oz", "ounces force", 0.27801670371042366L},
                 {"lb", "pounds force", 4.4482672593667786L},
                 {"kip", "kilopounds", 4448.2672593667785L},
                 {"ton", "U.S. Tons force, short", 8896.5345187335571L}},
                "N");
    // Factor 1 and no offsets: the category converts nothing.
    addCategory(*c, "Temperature",
                {{"C", "Celsius", 1.0L}, {"F", "Fahrenheit", 1.0L}, {"K", "Kelvin", 1.0L}, {"R", "Rankine", 1.0L}},
                "C");
    addCategory(*c, "Angle",
                {{"PH rev", "place holder", 1.0L},
                 {"rad", "radians", 0.15915494309189534L},
                 {"sec", "seconds", 7.7160493827160494E-7L},
                 {"min", "minutes", 4.6296296296296296E-5L},
                 {"gr", "grades", 0.0025L},
                 {"deg", "degrees", 0.0027777777777777778L},
                 {"quad", "quadrants", 0.25L},
                 {"rev", "revolutions", 1.0L}},
                "deg", "PH rev");
    addCategory(*c, "Computer Bits",
                {{"b", "bits", 1.0L},
                 {"Kb", "kilobits", 1024.0L},
                 {"Mb", "megabits", 1048576.0L},
                 {"Gb", "gigabits", 1073741824.0L},
                 {"Tb", "terabits", 1099511627776.0L},
                 {"B", "bytes", 8.0L},
                 {"KB", "kilobytes", 8192.0L},
                 {"MB", "megabytes", 8388608.0L},
                 {"GB", "gigabytes", 8589934592.0L},
                 {"TB", "terabytes", 8796093022208.0L}},
                "B");
    return c;
}

const TCategories& Categories()
{
    static const std::unique_ptr<TCategories> catalogue = BuildCategories();
    return *catalogue;
}
