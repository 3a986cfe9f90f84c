#include "UnitsCatalogue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

template <class E, class F>
QString messageOf(F&& f)
{
    try {
        f();
    } catch (const E& e) {
        return e.Message();
    }
    return QStringLiteral("<nothing raised>");
}

TEST(UnitsCatalogue, NamesAreUniqueAndIndicesChecked)
{
    const auto c = BuildCategories();
    EXPECT_EQ(c->CategoryCount(), 6);
    TCategory& length = c->GetCategory(0);
    EXPECT_EQ(messageOf<eNameError>([&] { length.AddUnit("m", "meters again", 1); }),
              "m already exists. A unit's symbol must be unique.");
    EXPECT_EQ(length.UnitCount(), 12); // nothing added
    // Symbols are compared exactly: "M" is another unit.
    length.AddUnit("M", "mega", 1e6L);
    EXPECT_EQ(length.UnitCount(), 13);
    EXPECT_EQ(messageOf<eNameError>([&] { c->AddCategory("Time"); }), "Time already exists.");
    EXPECT_EQ(c->CategoryCount(), 6);
    EXPECT_EQ(messageOf<Exception>([&] { c->GetCategory(6); }), "6 Out of Range 0-6");
    EXPECT_EQ(messageOf<Exception>([&] { c->GetCategory(-1); }), "-1 Out of Range 0-6");
}

TEST(UnitsCatalogue, EveryUnitAfterTheBuild)
{
    struct Row {
        const char* category;
        int base;
        std::vector<std::pair<const char*, Extended>> units; // symbol and exact factor in base units
    };
    const std::vector<Row> rows = {
        {"Length",
         2,
         {{"mm", 0.001L},
          {"cm", 0.01L},
          {"m", 1},
          {"km", 1000},
          {"in", 0.0254L},
          {"ft", 0.3048L},
          {"yd", 0.9144L},
          {"f", 1.8288L},
          {"mi", 1609.344L},
          {"nmi", 1852},
          {"league", 4828.032L},
          {"au", 149597890000.0L}}},
        {"Time",
         2,
         {{"ns", 1e-9L},
          {"ms", 0.001L},
          {"s", 1},
          {"mn", 60},
          {"hr", 3600},
          {"day", 86400},
          {"wk", 604800},
          {"mth", 2629800},
          {"yr", 31557600},
          {"dec", 315576000},
          {"cen", 3155760000.0L},
          {"mnm", 31557600000.0L},
          {"eon", 3.15576E16L}}},
        {"Force",
         0,
         {{"N", 1},
          {"kN", 1000},
          {"amu", 1.6284334591E-26L},
          {"mg", 9.80665E-6L},
          {"g", 0.00980665L},
          {"kg", 9.80665L},
          {"tn", 9806.65L},
          {"oz", 0.27801670371042366L},
          {"lb", 4.4482672593667786L},
          {"kip", 4448.2672593667785L},
          {"ton", 8896.5345187335571L}}},
        {"Temperature", 0, {{"C", 1}, {"F", 1}, {"K", 1}, {"R", 1}}},
        {"Angle",
         4,
         {{"rad", 57.295779513082320877L},
          {"sec", 1.0L / 3600},
          {"min", 1.0L / 60},
          {"gr", 0.9L},
          {"deg", 1},
          {"quad", 90},
          {"rev", 360}}},
        {"Computer Bits",
         5,
         {{"b", 0.125L},
          {"Kb", 128},
          {"Mb", 131072},
          {"Gb", 134217728},
          {"Tb", 137438953472.0L},
          {"B", 1},
          {"KB", 1024},
          {"MB", 1048576},
          {"GB", 1073741824},
          {"TB", 1099511627776.0L}}},
    };
    const auto c = BuildCategories();
    ASSERT_EQ(c->CategoryCount(), static_cast<int>(rows.size()));
    for (int i = 0; i < c->CategoryCount(); ++i) {
        const Row& row = rows[static_cast<std::size_t>(i)];
        const TCategory& cat = c->GetCategory(i);
        SCOPED_TRACE(row.category);
        EXPECT_EQ(cat.Name, row.category);
        EXPECT_EQ(cat.BaseIndex(), row.base);
        EXPECT_EQ(cat.Selection1, row.base);
        EXPECT_EQ(cat.Selection2, row.base);
        EXPECT_TRUE(cat.Flag);
        EXPECT_EQ(cat.Value, 1.0L);
        EXPECT_EQ(cat.Unit(cat.BaseIndex()).Factor, 1.0L); // the base exactly
        ASSERT_EQ(cat.UnitCount(), static_cast<int>(row.units.size()));
        for (int u = 0; u < cat.UnitCount(); ++u) {
            const auto& [symbol, factor] = row.units[static_cast<std::size_t>(u)];
            SCOPED_TRACE(symbol);
            EXPECT_EQ(cat.Unit(u).Symbol, symbol);
            // The given factors carry 17 digits: a few parts in 1e17 apart
            // from the exact ones after the rescaling.
            EXPECT_NEAR(static_cast<double>(cat.Unit(u).Factor / factor), 1.0, 2e-16);
        }
    }
    EXPECT_EQ(c->GetCategory(1).Unit(0).Name, "nanoseconds"); // the placeholder is gone
    EXPECT_EQ(c->GetCategory(0).Unit(8).Name, "miles, statute");
    EXPECT_EQ(&Categories(), &Categories()); // one catalogue for the program
    EXPECT_EQ(Categories().CategoryCount(), 6);
}

TEST(UnitsCatalogue, BaseAndSelectionsFollowDeletions)
{
    struct Case {
        const char* name;
        int base, selection, deleted;
        int baseAfter, selectionAfter;
    };
    // Three units a, b, c.
    const Case cases[] = {
        {"below both", 2, 2, 0, 1, 1},
        {"above both", 0, 1, 2, 0, 1},
        {"the base", 1, 1, 1, -1, 1}, // a selection on a unit that is not last stays
        {"selected last unit", 0, 2, 2, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TCategory cat("Test");
        cat.AddUnit("a", "a", 1);
        cat.AddUnit("b", "b", 10);
        cat.AddUnit("c", "c", 100);
        cat.SetBase(c.base);
        cat.Selection1 = cat.Selection2 = c.selection;
        const Extended before = cat.Unit(c.deleted == 0 ? 1 : 0).Factor;
        cat.DeleteUnit(c.deleted);
        EXPECT_EQ(cat.UnitCount(), 2);
        EXPECT_EQ(cat.BaseIndex(), c.baseAfter);
        EXPECT_EQ(cat.Selection1, c.selectionAfter);
        EXPECT_EQ(cat.Selection2, c.selectionAfter);
        // Deleting never rescales the factors.
        EXPECT_EQ(cat.Unit(0).Factor, before);
    }
    // The only unit, selected: the selection stays at 0.
    TCategory single("One");
    single.AddUnit("x", "x", 5);
    EXPECT_EQ(single.BaseIndex(), 0);
    EXPECT_EQ(single.Unit(0).Factor, 1.0L);
    single.Selection1 = 0;
    single.DeleteUnit(0);
    EXPECT_EQ(single.UnitCount(), 0);
    EXPECT_EQ(single.BaseIndex(), -1);
    EXPECT_EQ(single.Selection1, 0);
    // An index outside the list changes nothing.
    TCategory two("Two");
    two.AddUnit("x", "x", 1);
    two.AddUnit("y", "y", 2);
    two.Selection1 = 1;
    EXPECT_THROW(two.DeleteUnit(-1), EListError);
    EXPECT_THROW(two.DeleteUnit(2), EListError);
    EXPECT_THROW(two.SetBase(5), EListError);
    EXPECT_EQ(two.UnitCount(), 2);
    EXPECT_EQ(two.Selection1, 1);
    EXPECT_EQ(two.BaseIndex(), 0);
    EXPECT_EQ(two.Unit(1).Factor, 2.0L);
}

} // namespace
