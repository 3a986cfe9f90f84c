#include "TableColumn.h"

#include "ColumnTypes.h"
#include "Misc.h"
#include "TableFixtures.h"
#include "ValueStream.h"

#include <gtest/gtest.h>

namespace {

// A table whose first column chooses the template of its sub-table column.
struct Chooser {
    TGridTable table;
    TEnumColumn* choice = nullptr;
    TTableColumn* subs = nullptr;

    explicit Chooser(const QStringList& items = {"piles", "layers"})
    {
        table.Caption = "Groups";
        auto c = std::make_unique<TEnumColumn>(&table);
        c->SetItems(items);
        choice = static_cast<TEnumColumn*>(table.AddColumn(std::move(c)));
        subs = static_cast<TTableColumn*>(table.AddColumn(std::make_unique<TTableColumn>(&table)));
        table.SyncTemplateLists();
    }
};

// A window stand-in that records, when it goes, whether its table still lives.
struct Windows {
    std::vector<FakeForm*> open;
    TGridTable::WindowFactory factory()
    {
        return [this](TGridTable& t) {
            auto f = std::make_unique<FakeForm>(t);
            open.push_back(f.get());
            return f;
        };
    }
};

std::unique_ptr<TGridTable> pileTemplate()
{
    auto t = MakePileCoordinateTable();
    t->Caption = "Piles";
    t->SetMinRows(2);
    return t;
}

// An object the application keeps in a row.
struct Note : RowObject {
    explicit Note(int k) : kind(k) {}
    int kind;
    int row = -1;
    bool changed = false;
};

} // namespace

TEST(TableColumn, RegisteredAsKindThree)
{
    EXPECT_EQ(FindColumnClass(3), &TTableColumn::Class);
    EXPECT_EQ(FindColumnTypeId(&TTableColumn::Class), 3);
}

TEST(TableColumn, SubTablesFollowTheirRows)
{
    auto templ = pileTemplate();
    Chooser c;
    Windows windows;
    c.table.SetFormFactory(windows.factory());
    EXPECT_EQ(c.subs->Templates.Count(), 2); // one entry per choice
    c.subs->Templates.Delete(0);
    c.subs->Templates.InsertTable(0, templ.get());
    c.table.SetRowCount(5);

    for (int r = 0; r < 5; ++r) {
        TGridTable* sub = c.subs->GetTable(r);
        ASSERT_NE(sub, nullptr);
        EXPECT_EQ(sub->CaptionNumber(), r + 1);
        EXPECT_EQ(sub->RowCount(), 2); // the template's MinRows
        EXPECT_EQ(sub->Owner(), &c.table);
    }
    // Every sub-table's window open; the owner's factory makes them.
    for (int r = 0; r < 5; ++r)
        c.subs->GetTable(r)->ShowForm();
    ASSERT_EQ(windows.open.size(), 5u);
    TGridTable* third = c.subs->GetTable(2);

    bool secondGone = false;
    windows.open[1]->notifyGone = &secondGone;
    c.table.DeleteRowGroup(1);
    EXPECT_FALSE(secondGone); // its window was closed before the table was freed
    EXPECT_EQ(c.subs->GetTable(1), third);
    std::vector<int> numbers;
    for (int r = 0; r < 4; ++r)
        numbers.push_back(c.subs->GetTable(r)->CaptionNumber());
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(windows.open[2]->title, "Piles  2");
    EXPECT_EQ(windows.open[4]->title, "Piles  4");

    // A change in any one sub-table is a change of the table; reset clears all.
    EXPECT_FALSE(c.table.IsModified());
    c.subs->GetTable(3)->SetModified(true);
    EXPECT_TRUE(c.table.IsModified());
    c.table.SetModified(false);
    EXPECT_FALSE(c.subs->GetTable(3)->IsModified());
    EXPECT_FALSE(c.table.IsModified());

    // Units reach the sub-tables.
    c.subs->GetTable(0)->Cells(0, 0)->SetFloat(39.37007874L);
    c.table.SetUnits(2);
    EXPECT_EQ(c.subs->GetTable(0)->Units(), 2);
    EXPECT_NEAR(static_cast<double>(c.subs->GetTable(0)->Cells(0, 0)->GetFloat()), 1.0, 1e-15);

    // A new choice gives the row what that choice names: here nothing.
    c.choice->SetInt(0, 2);
    EXPECT_EQ(c.subs->GetTable(0), nullptr);
    EXPECT_EQ(c.subs->ButtonCaption(0), "1: ");
    EXPECT_EQ(c.subs->ButtonCaption(1), "2: Piles");
}

TEST(TableColumn, ChoicesWithoutATemplateHoldNothing)
{
    auto templ = pileTemplate();
    Chooser c;
    c.subs->Templates.Delete(0);
    c.subs->Templates.InsertTable(0, templ.get());
    c.table.SetRowCount(3);
    for (int choice : {0, 3, -7, 2}) {
        SCOPED_TRACE(choice);
        c.choice->SetInt(1, choice);
        EXPECT_EQ(c.subs->GetObject(1), nullptr);
    }
    c.choice->SetInt(1, 1);
    EXPECT_NE(c.subs->GetTable(1), nullptr);
    // A table without a choice column takes the single template for every row.
    TGridTable plain;
    auto* subs = static_cast<TTableColumn*>(plain.AddColumn(std::make_unique<TTableColumn>(&plain)));
    subs->Templates.AddTable(templ.get());
    plain.SetRowCount(2);
    EXPECT_NE(subs->GetTable(1), nullptr);
    EXPECT_EQ(subs->GetText(0), "");
}

TEST(TableColumn, TemplatesThatCloneBackAreRefused)
{
    // The table itself as its own template.
    Chooser self({"one"});
    self.subs->Templates.Delete(0);
    self.subs->Templates.AddTable(&self.table);
    try {
        self.table.SetRowCount(2);
        FAIL() << "no refusal";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "A sub-table cannot be made from a template that holds the table itself.");
    }
    // Nothing cloned, and every column still has the table's rows.
    EXPECT_EQ(self.subs->RowCount(), 2);
    EXPECT_EQ(self.choice->RowCount(), 2);
    EXPECT_EQ(self.subs->GetObject(0), nullptr);

    // Two templates that name each other.
    TGridTable a;
    TGridTable b;
    auto* aSubs = static_cast<TTableColumn*>(a.AddColumn(std::make_unique<TTableColumn>(&a)));
    auto* bSubs = static_cast<TTableColumn*>(b.AddColumn(std::make_unique<TTableColumn>(&b)));
    aSubs->Templates.AddTable(&b);
    bSubs->Templates.AddTable(&a);
    const int tables = TableCount();
    EXPECT_THROW(a.SetRowCount(1), Exception);
    EXPECT_EQ(TableCount(), tables);
    EXPECT_EQ(aSubs->GetObject(0), nullptr);
}

TEST(TableColumn, ApplicationObjectsThroughTheEvents)
{
    Chooser c;
    std::vector<std::string> log;
    c.table.OnInitRow = [&](TGridTable&, int col, int row, int kind, std::unique_ptr<RowObject>& data) {
        EXPECT_EQ(col, 1);
        EXPECT_EQ(data, nullptr);
        data = std::make_unique<Note>(kind);
        log.push_back("init " + std::to_string(row));
    };
    c.table.OnSetRow = [&](TGridTable&, int, RowObject* data, int row) { static_cast<Note*>(data)->row = row; };
    c.table.OnGetButtonCaption = [](TGridTable&, int, int, RowObject* data, QString& caption) {
        caption = data ? QString("kind %1").arg(static_cast<Note*>(data)->kind) : QString("none");
    };
    c.table.OnGetChanged = [](TGridTable&, int, int, RowObject* data, bool& changed) {
        changed = static_cast<Note*>(data)->changed;
    };
    c.table.OnResetChanged = [](TGridTable&, int, int, RowObject* data) { static_cast<Note*>(data)->changed = false; };
    c.table.OnButtonClick = [&](TGridTable&, int, int row, RowObject*) {
        log.push_back("click " + std::to_string(row));
    };
    c.table.SetRowCount(3);
    c.choice->SetInt(2, 2);
    EXPECT_EQ(static_cast<Note*>(c.subs->GetObject(2))->kind, 2);
    EXPECT_THROW(c.subs->GetTable(2), EInvalidCast);

    FakeForm form(c.table, 1, 2);
    ASSERT_EQ(c.subs->EditorCount(), 2);
    EXPECT_EQ(c.subs->Editor(1)->Caption, "3: kind 2");
    c.subs->ButtonClick(1);
    c.table.DeleteRowGroup(0);
    EXPECT_EQ(static_cast<Note*>(c.subs->GetObject(1))->row, 1); // renumbered
    static_cast<Note*>(c.subs->GetObject(1))->changed = true;
    EXPECT_TRUE(c.table.IsModified());
    c.table.SetModified(false);
    EXPECT_FALSE(c.table.IsModified());
    EXPECT_EQ(log, (std::vector<std::string>{"init 0", "init 1", "init 2", "init 2", "click 2"}));
}

TEST(TableColumn, EditorPlacement)
{
    Chooser c;
    c.table.SetRowCount(4);
    TGridTable other;
    FakeForm form(other); // any hook will do as a parent
    struct Case {
        TableWindowHook* parent;
        int top, count;
        const char* message;
    };
    const Case cases[] = {
        {nullptr, 0, 1, "null parent"},  {&form, -1, 1, "ATopRow -1"}, {&form, 4, 1, "ATopRow 4"},
        {&form, 1, 0, "ACount 0"},       {&form, 1, 4, "ACount 4"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.message);
        try {
            c.subs->PlaceEditors(k.parent, k.top, k.count);
            ADD_FAILURE() << "placed";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), k.message);
        }
        EXPECT_FALSE(c.subs->HasEditors());
    }
    c.subs->PlaceEditors(&form, 1, 3);
    ASSERT_EQ(c.subs->EditorCount(), 3);
    EXPECT_EQ(c.subs->Editor(0)->Tag, 1);
    EXPECT_EQ(c.subs->Editor(2)->Caption, "4: ");
    FakeForm another(other);
    try {
        c.subs->PlaceEditors(&another, 0, 1);
        ADD_FAILURE() << "placed";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Attempt to change parent with controls already allocated");
    }
    c.subs->ReleaseEditors();
    EXPECT_FALSE(c.subs->HasEditors());
}

TEST(TableColumn, StoredTemplateLists)
{
    auto templ = pileTemplate();
    ValueWriter writer;
    {
        Chooser c;
        c.subs->Captions() = QStringList{"Group"};
        c.subs->Templates.Delete(0);
        c.subs->Templates.InsertTable(0, templ.get());
        c.table.WriteColumns(writer);
    }
    TGridTable back;
    back.SetColData(writer.Data());
    ASSERT_EQ(back.ColumnCount(), 2);
    auto* subs = dynamic_cast<TTableColumn*>(back.Columns(1));
    ASSERT_NE(subs, nullptr);
    EXPECT_EQ(subs->Captions(), QStringList{"Group"});
    ASSERT_EQ(subs->Templates.Count(), 2);
    EXPECT_EQ(subs->Templates.Tables(0), templ.get());
    EXPECT_EQ(subs->Templates.RegistryIndex(1), -1); // the stored -1
    EXPECT_EQ(subs->Templates.Tables(1), nullptr);
    // And the same bytes again.
    ValueWriter again;
    back.WriteColumns(again);
    EXPECT_EQ(again.Data().toHex(), writer.Data().toHex());

    // The older layout names one registry position: for each choice when the
    // table's button is hard-wired, else the identifiers 1, 2, ... in order.
    const QByteArray enumColumn = QByteArray::fromHex("0200" "0100" "0908" "01" "0601" "61" "0601" "62" "00");
    const QByteArray oldSubs = QByteArray::fromHex("0203" "0100" "0908" "0600" "0205");
    for (bool hardwired : {true, false}) {
        SCOPED_TRACE(hardwired);
        TGridTable t;
        t.HardwiredButton = hardwired;
        t.SetColData(QByteArray::fromHex("0202") + enumColumn + oldSubs);
        auto* s = static_cast<TTableColumn*>(t.Columns(1));
        ASSERT_EQ(s->Templates.Count(), 2);
        EXPECT_EQ(s->Templates.RegistryIndex(0), hardwired ? 5 : IndexOfIdentifier(1));
        EXPECT_EQ(s->Templates.RegistryIndex(1), hardwired ? 5 : IndexOfIdentifier(2));
    }
    TGridTable alone;
    alone.SetColData(QByteArray::fromHex("0201") + oldSubs);
    EXPECT_EQ(static_cast<TTableColumn*>(alone.Columns(0))->Templates.RegistryIndex(0), 5);
}

TEST(TableColumn, ClonesKeepTheTemplatesByPosition)
{
    auto templ = pileTemplate();
    TGridTable t;
    auto* subs = static_cast<TTableColumn*>(t.AddColumn(std::make_unique<TTableColumn>(&t)));
    subs->Captions() = QStringList{"Sub"};
    subs->Templates.AddIdentifier(templ->Identifier());
    TGridTable other;
    std::unique_ptr<TColumn> copy = subs->Clone(&other);
    auto* c = static_cast<TTableColumn*>(copy.get());
    ASSERT_EQ(c->Templates.Count(), 1);
    EXPECT_EQ(c->Templates.RegistryIndex(0), IndexOfTable(templ.get()));
    EXPECT_EQ(c->Captions(), QStringList{"Sub"});
    FakeCanvas canvas;
    EXPECT_EQ(subs->Width(canvas), 192); // two inches at least
}
