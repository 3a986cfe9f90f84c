#include "Table.h"

#include "ColumnTypes.h"
#include "Misc.h"
#include "TableFixtures.h"
#include "ValueStream.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

// The pile-coordinate table's "Col" data, byte for byte.
const char* const kPileCoordinatesCol =
    "0202"                       // two columns
    "0202"                       // type 2: float column
    "0106" "08" "582d436f6f72642e" "00" // caption list: "X-Coord."
    "09" "08"                    // visible, not grouped
    "08"                         // no top depth
    "060c" "464c4f4154434f4c554d4e32" // "FLOATCOLUMN2"
    "0601" "4c"                  // units "L"
    "0500000000000000000000"     // default 0.0
    "0202"
    "0106" "08" "592d436f6f72642e" "00"
    "09" "08" "08"
    "060c" "464c4f4154434f4c554d4e32"
    "0601" "4c"
    "0500000000000000000000";

std::string loadError(const QByteArray& data)
{
    TGridTable t;
    try {
        t.SetColData(data);
    } catch (const Exception& e) {
        return e.Message().toStdString();
    }
    return "no error";
}

} // namespace

TEST(Table, ColumnTypeRegistry)
{
    EXPECT_EQ(FindColumnClass(0), &TEnumColumn::Class);
    EXPECT_EQ(FindColumnClass(1), &TIntColumn::Class);
    EXPECT_EQ(FindColumnClass(2), &TFloatColumn::Class);
    EXPECT_EQ(FindColumnClass(4), &TStringColumn::Class);
    EXPECT_EQ(FindColumnClass(5), nullptr);
    EXPECT_EQ(FindColumnClass(-1), nullptr);
    const ColumnKind unregistered = {"TOther", nullptr};
    EXPECT_EQ(FindColumnTypeId(&unregistered), -1);
    RegisterColumnType(&unregistered, 9);
    RegisterColumnType(&unregistered, 10);
    EXPECT_EQ(FindColumnClass(10), &unregistered);
    UnregisterColumnType(&unregistered);
    EXPECT_EQ(FindColumnTypeId(&unregistered), -1);
    EXPECT_EQ(FindColumnTypeId(&TStringColumn::Class), 4);
}

TEST(Table, RegistryAndIdentifiers)
{
    auto a = std::make_unique<TGridTable>();
    auto b = std::make_unique<TGridTable>();
    EXPECT_EQ(TableAt(TableCount()), nullptr);
    EXPECT_EQ(TableAt(-1), nullptr);
    EXPECT_EQ(IndexOfIdentifier(-1), -1);
    EXPECT_EQ(IndexOfTable(nullptr), -1);
    EXPECT_EQ(TableAt(IndexOfTable(b.get())), b.get());

    const int idA = a->Identifier();
    const int idB = b->Identifier();
    b->SetIdentifier(idA); // the first table takes the second's old value
    EXPECT_EQ(b->Identifier(), idA);
    EXPECT_EQ(a->Identifier(), idB);
    b->SetIdentifier(-4); // ignored
    EXPECT_EQ(b->Identifier(), idA);

    // An identifier given explicitly is never handed out by the counter.
    a->SetIdentifier(idB + 50);
    auto c = std::make_unique<TGridTable>();
    EXPECT_NE(c->Identifier(), idB + 50);
    EXPECT_EQ(TableAt(IndexOfIdentifier(idB + 50)), a.get());

    const int before = TableCount();
    c.reset();
    EXPECT_EQ(TableCount(), before - 1);
}

TEST(Table, NewTablesTakeTheNextFreeIdentifier)
{
    // Identifiers set explicitly on living tables, relative to the counter's
    // next value N unless absolute, and what the next two new tables take.
    struct Set {
        int value;
        bool absolute = false;
    };
    struct Row {
        const char* what;
        std::vector<Set> set;
        std::vector<int> taken; // relative to N
    };
    const Row rows[] = {
        {"nothing set", {}, {0, 1}},
        {"an identifier further on moves no counter", {{5}}, {0, 1}},
        {"the counter's next identifier is passed over", {{0}}, {1, 2}},
        {"a run of held identifiers is passed over", {{1}, {0}, {2}}, {3, 4}},
        {"the largest identifier exhausts nothing", {{INT_MAX, true}}, {0, 1}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<std::unique_ptr<TGridTable>> held;
        for (std::size_t i = 0; i < row.set.size(); ++i)
            held.push_back(std::make_unique<TGridTable>());
        // The counter's next value, from a table that goes at once.
        const int next = std::make_unique<TGridTable>()->Identifier() + 1;
        for (std::size_t i = 0; i < row.set.size(); ++i)
            held[i]->SetIdentifier(row.set[i].absolute ? row.set[i].value : next + row.set[i].value);
        std::vector<std::unique_ptr<TGridTable>> made;
        for (int expected : row.taken) {
            made.push_back(std::make_unique<TGridTable>());
            EXPECT_EQ(made.back()->Identifier(), next + expected);
        }
    }
}

TEST(Table, RowCounts)
{
    auto t = makeSoilLayers();
    EXPECT_EQ(t->RowCount(), 1);
    EXPECT_EQ(t->GetIntCell(1, 0), 20);
    t->SetRowCount(5);
    for (int r = 0; r < 5; ++r)
        t->Cells(0, r)->SetFloat(r);
    t->SetRowCount(3);
    EXPECT_EQ(t->RowCount(), 3);
    EXPECT_EQ(t->Cells(0, 2)->GetFloat(), 2.0L);
    t->SetRowCount(-5);
    EXPECT_EQ(t->RowCount(), 0);
    for (int c = 0; c < t->ColumnCount(); ++c)
        EXPECT_EQ(t->Columns(c)->RowCount(), 0);
    EXPECT_FALSE(t->CellExists(0, 0));
    EXPECT_THROW(t->Cells(0, 0), EListError);
}

TEST(Table, RowGroups)
{
    TGridTable t;
    t.SetRowGroup(2);
    auto* values = addInt(t, {"n"}, 0, 0, 100);
    auto* grouped = addFloat(t, {"g"}, "");
    grouped->SetGrouped(true);
    t.SetRowCount(6);
    for (int r = 0; r < 6; ++r)
        values->SetInt(r, r);

    t.DeleteRowGroup(3); // rows 2 and 3 go
    EXPECT_EQ(t.RowCount(), 4);
    EXPECT_EQ(values->GetText(2), "4");
    t.InsertRowGroup(3); // two rows at 2
    EXPECT_EQ(t.RowCount(), 6);
    EXPECT_EQ(values->GetInt(2), 0);
    EXPECT_EQ(values->GetInt(3), 0);
    EXPECT_EQ(values->GetInt(4), 4);

    grouped->SetFloat(3, 7.5L); // the whole group of row 3
    EXPECT_EQ(grouped->GetFloat(2), 7.5L);
    EXPECT_EQ(grouped->GetFloat(3), 7.5L);
    EXPECT_EQ(grouped->GetFloat(4), 0.0L);

    // A row count that is not a multiple of the group: every column ends there.
    t.SetRowCount(5);
    for (int c = 0; c < t.ColumnCount(); ++c)
        EXPECT_EQ(t.Columns(c)->RowCount(), 5);
    t.SetRowCount(9);
    for (int c = 0; c < t.ColumnCount(); ++c)
        EXPECT_EQ(t.Columns(c)->RowCount(), 9);
    grouped->SetFloat(8, 1.0L); // the last, partial group
    EXPECT_EQ(grouped->GetFloat(8), 1.0L);
    t.DeleteRowGroup(8);
    EXPECT_EQ(t.RowCount(), 8);
    for (int c = 0; c < t.ColumnCount(); ++c)
        EXPECT_EQ(t.Columns(c)->RowCount(), 8);

    t.AddRowGroup(); // MaxRows binds only the window's buttons
    EXPECT_EQ(t.RowCount(), 10);
    auto* late = addFloat(t, {"late"}, "");
    EXPECT_EQ(late->RowCount(), 10);
    t.SetRowGroup(0);
    EXPECT_EQ(t.RowGroup(), 1);
    EXPECT_THROW(t.DeleteRowGroup(10), EListError);
    EXPECT_THROW(t.InsertRowGroup(11), EListError);
}

TEST(Table, CellHandles)
{
    auto t = makeSoilLayers();
    TData* handle = t->Cells(1, 0);
    EXPECT_EQ(handle->GetInt(), 20);
    t->InsertRowGroup(0);
    EXPECT_EQ(t->Columns(1)->IndexOfData(handle), 1); // the handle moved with its row
    try {
        handle->SetFloat(2.5L);
        FAIL() << "no error";
    } catch (const EInvalidCast& e) {
        EXPECT_EQ(e.Message(), "Data of wrong type");
    }
    EXPECT_EQ(handle->GetInt(), 20);
    EXPECT_THROW(t->Cells(0, 0)->GetInt(), EInvalidCast);
    t->Cells(0, 0)->SetFloat(1.25L);
    EXPECT_EQ(t->Cells(0, 0)->GetText(), "1.25");
}

TEST(Table, ColGoldenBytes)
{
    auto piles = makePileCoordinates();
    EXPECT_EQ(piles->ColData().toHex(), QByteArray(kPileCoordinatesCol));

    TGridTable read;
    read.SetRowCount(2);
    read.SetColData(QByteArray::fromHex(kPileCoordinatesCol));
    ASSERT_EQ(read.ColumnCount(), 2);
    auto* x = dynamic_cast<TFloatColumn*>(read.Columns(0));
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->Captions(), QStringList({"X-Coord."}));
    EXPECT_EQ(x->UnitsString, "L");
    EXPECT_EQ(x->RowCount(), 2);
    EXPECT_EQ(read.ColData(), piles->ColData());
}

TEST(Table, ColRoundTripOfEveryKind)
{
    auto soil = makeSoilLayers();
    // sublayers: default 20, limits 1 and 40 as one-byte integers
    EXPECT_TRUE(soil->ColData().toHex().contains("0201" "0106" "0a4e756d626572206f6620"));
    EXPECT_TRUE(soil->ColData().toHex().contains("0908" "0214" "0201" "0228"));

    TGridTable all;
    addFloat(all, {"Top"}, "L")->TopDepth = true;
    addFloat(all, {"Bottom"}, "L")->SetDefaultValue(-1.5L);
    auto e = std::make_unique<TEnumColumn>(&all);
    e->SetItems({"Pile", "Shaft"});
    e->SetVisible(false);
    all.AddColumn(std::move(e));
    auto s = std::make_unique<TStringColumn>(&all);
    s->DefaultText = "none";
    s->WidthInches = 1.5L;
    s->Captions() = QStringList{QString(300, u'c')};
    s->SetGrouped(true);
    all.AddColumn(std::move(s));

    for (const TGridTable* source : {soil.get(), &all}) {
        TGridTable copy;
        copy.SetColData(source->ColData());
        EXPECT_EQ(copy.ColData(), source->ColData());
        EXPECT_EQ(copy.ColumnCount(), source->ColumnCount());
    }
    TGridTable copy;
    copy.SetColData(all.ColData());
    EXPECT_EQ(static_cast<TEnumColumn*>(copy.Columns(2))->Items(), QStringList({"Pile", "Shaft"}));
    EXPECT_FALSE(copy.Columns(2)->Visible());
    EXPECT_TRUE(copy.Columns(3)->Grouped());
    EXPECT_EQ(static_cast<TStringColumn*>(copy.Columns(3))->WidthInches, 1.5L);
    EXPECT_EQ(static_cast<TFloatColumn*>(copy.Columns(1))->DefaultValue(), -1.5L);
    EXPECT_TRUE(static_cast<TFloatColumn*>(copy.Columns(0))->TopDepth);
}

TEST(Table, ColReadingErrors)
{
    struct Row {
        const char* what;
        const char* bytes;
        const char* message;
    };
    const Row rows[] = {
        {"no data", "", "Error reading column count"},
        {"count not an integer", "0600", "Error reading column count"},
        {"negative count", "02ff", "Error reading column count"},
        {"unknown kind", "0201" "0207", "Error occured when creating column 0: Error Column Class not defined"},
        {"sub-table kind without its data", "0201" "0203", "Error occured when creating column 0: Stream read error"},
        {"cut short", "0201" "0201" "01", "Error occured when creating column 0: Stream read error"},
        {"second column bad", "0202" "0204" "0100" "0908" "0600" "0500000000000000000000" "0206",
         "Error occured when creating column 1: Error Column Class not defined"},
        {"wrong value", "0201" "0201" "0100" "0808" "0600", "Error occured when creating column 0: Invalid property value"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(loadError(QByteArray::fromHex(r.bytes)), r.message);
    }
    // The older float layout: the units string alone, default 0.
    TGridTable old;
    old.SetColData(QByteArray::fromHex("0201" "0202" "0106014c00" "0908" "08" "06014c"));
    ASSERT_EQ(old.ColumnCount(), 1);
    EXPECT_EQ(static_cast<TFloatColumn*>(old.Columns(0))->UnitsString, "L");
}

TEST(Table, UnitsAndModifiedState)
{
    auto soil = makeSoilLayers();
    FakeForm* form = nullptr;
    soil->SetFormFactory([&form](TGridTable& t) {
        auto f = std::make_unique<FakeForm>(t);
        form = f.get();
        return f;
    });
    soil->Cells(0, 0)->SetFloat(39.37007874L);
    soil->ShowForm();
    ASSERT_TRUE(soil->HasForm());
    soil->SetUnits(1); // the units in force: nothing changes, no refill
    EXPECT_EQ(form->rowsChanged, 0);
    soil->SetUnits(2);
    EXPECT_EQ(form->rowsChanged, 1);
    EXPECT_EQ(soil->Units(), 2);
    EXPECT_NEAR(static_cast<double>(soil->Cells(0, 0)->GetFloat()), 1.0, 1e-15);
    EXPECT_EQ(soil->Columns(0)->CaptionLine(1), "thickness (m)  ");
    EXPECT_THROW(soil->SetUnits(4), EAssertionFailed);

    EXPECT_FALSE(soil->IsModified());
    soil->SetModified(true);
    EXPECT_TRUE(soil->IsModified());
    soil->SetModified(false);
    EXPECT_FALSE(soil->IsModified());
}

TEST(Table, LimitsAndVisibleColumns)
{
    auto soil = makeSoilLayers();
    try {
        soil->SetMinRows(0);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Value must be greater than 0");
    }
    EXPECT_EQ(soil->MinRows(), 1);
    soil->SetLoading(true);
    soil->SetMinRows(-3);
    EXPECT_EQ(soil->MinRows(), 1);
    soil->SetLoading(false);

    soil->Columns(0)->SetVisible(false);
    EXPECT_EQ(soil->VisibleColumnCount(), 5);
    EXPECT_EQ(soil->VisibleColumn(0), soil->Columns(1));
    EXPECT_EQ(soil->VisibleIndexOf(soil->Columns(0)), -1);
    EXPECT_EQ(soil->HeaderRowCount(), 2);
    try {
        soil->VisibleColumn(5);
        FAIL() << "no error";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "Index out of bounds");
    }
}

TEST(Table, EditorWindowSeam)
{
    int made = 0;
    FakeForm* form = nullptr;
    const TGridTable::WindowFactory factory = [&](TGridTable& t) {
        ++made;
        auto f = std::make_unique<FakeForm>(t, 1, 2);
        form = f.get();
        return f;
    };

    TGridTable hidden;
    hidden.SetFormFactory(factory);
    addFloat(hidden, {"x"}, "")->SetVisible(false);
    hidden.ShowForm(); // no visible column: no window
    EXPECT_EQ(made, 0);
    EXPECT_FALSE(hidden.HasForm());

    TGridTable t;
    t.SetFormFactory(factory);
    t.Caption = "Groups";
    auto* choice = static_cast<TEnumColumn*>(t.AddColumn(std::make_unique<TEnumColumn>(&t)));
    choice->SetItems({"a", "b", "c"});
    auto* value = addFloat(t, {"Value", "x"}, "");
    t.SetRowCount(4);
    t.ShowForm();
    t.ShowForm(); // shown again, not made again
    EXPECT_EQ(made, 1);
    EXPECT_EQ(form->shown, 2);
    ASSERT_TRUE(choice->HasEditors());
    ASSERT_EQ(choice->EditorCount(), 2);
    EXPECT_EQ(choice->Editor(0)->Tag, 1);

    value->SetFloat(3, 2.0L);
    ASSERT_FALSE(form->cellsChanged.empty());
    EXPECT_EQ(form->cellsChanged.back(), std::make_pair(1, 3));

    choice->ComboChange(1, 2); // editor 1 shows row 2
    EXPECT_EQ(choice->GetInt(2), 3);
    choice->ComboEnter(1);
    EXPECT_EQ(form->currentCell, std::make_pair(1, 2 + 2)); // visible column 0 + 1, row + two header rows
    choice->SetInt(1, 2);
    EXPECT_EQ(choice->Editor(0)->ItemIndex, 1);

    t.SetCaptionNumber(4);
    EXPECT_EQ(form->title, "Groups  4");

    t.ReopenForm();
    EXPECT_EQ(made, 2);
    t.CloseForm();
    EXPECT_FALSE(t.HasForm());
    EXPECT_FALSE(choice->HasEditors());

    bool gone = false;
    {
        auto owned = std::make_unique<TGridTable>();
        owned->SetFormFactory(factory);
        owned->AddColumn(std::make_unique<TIntColumn>(owned.get()));
        owned->ShowForm();
        form->notifyGone = &gone;
    } // the window learns of the table's end before it is freed with it
    EXPECT_TRUE(gone);
}

TEST(Table, SubTables)
{
    TGridTable owner;
    owner.SetUnits(2);
    TGridTable templ;
    templ.Caption = "Template";
    templ.SetMinRows(3);
    templ.MaxRows = 7;
    addFloat(templ, {"Depth"}, "L")->SetGrouped(true);
    addInt(templ, {"Count"}, 5, 0, 9);
    templ.SetRowCount(1);

    auto sub = TGridTable::CreateClone(&owner, 2, templ);
    EXPECT_EQ(sub->Units(), 2);
    EXPECT_EQ(sub->Caption, "Template");
    EXPECT_EQ(sub->RowCount(), 3);
    EXPECT_EQ(sub->MaxRows, 7);
    ASSERT_EQ(sub->ColumnCount(), 2);
    EXPECT_FALSE(sub->Columns(0)->Grouped()); // a copy is never grouped
    EXPECT_EQ(sub->Columns(1)->GetText(2), "5");
    EXPECT_EQ(sub->FullNumber(), " 2");

    auto inner = TGridTable::CreateClone(sub.get(), 3, templ);
    EXPECT_EQ(inner->FullNumber(), " 2 3");
    EXPECT_EQ(owner.FullNumber(), "");
}
