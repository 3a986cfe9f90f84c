#include "ColumnTypes.h"

#include "Evaluator.h"
#include "Misc.h"
#include "TableFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

void expectRelative(Extended got, Extended expected)
{
    EXPECT_LE(std::fabs(got - expected), std::fabs(expected) * 1e-18L)
        << static_cast<double>(got) << " vs " << static_cast<double>(expected);
}

} // namespace

TEST(ColumnTypes, UnitsFactors)
{
    struct Row {
        int from;
        int to;
        const char* expr;
        Extended expected;
    };
    const Row rows[] = {
        {1, 2, "F/L", 39.37007874L / 224.8089237L},
        {2, 1, "F/L", 224.8089237L / 39.37007874L},
        {2, 2, "F/L", 1.0L},
        {1, 3, "L", 1.0L},
        {3, 1, "L", 1.0L},
        {2, 1, "L", 39.37007874L},
        {1, 2, "L", 1.0L / 39.37007874L},
        {2, 1, "F4/L^3", 5.7101483L / (39.37007874L * 39.37007874L * 39.37007874L)},
        {2, 1, "L/F5", 39.37007874L},
        {2, 1, "F1", 0.2248089237L},
        {2, 1, "F2", 0.1124044745L},
        {2, 1, "F3", 224.8089237L}, // no F3: a plain F followed by one separator character
        {2, 1, "L1^2", 0.03937007874L * 0.03937007874L},
        {2, 1, "L2", 3.280839895L},
        {2, 1, "F^2", 224.8089237L * 224.8089237L},
        {2, 1, "F*L^2", 224.8089237L * 39.37007874L * 39.37007874L},
        {2, 1, "", 1.0L},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.expr);
        expectRelative(UnitsFactor(r.from, r.to, r.expr), r.expected);
    }
    EXPECT_EQ(UnitsSymbolFactor("F4"), 5.7101483L);
    EXPECT_THROW(UnitsFactor(2, 1, "L^x"), EConvertError);
    EXPECT_THROW(UnitsFactor(2, 1, "L^"), EConvertError);
}

TEST(ColumnTypes, UnitsCaptions)
{
    struct Row {
        const char* expr;
        int units;
        const char* expected;
    };
    const Row rows[] = {
        {"F4/L^3", 1, "lb-sec2/in/in^3"}, {"F4/L^3", 2, "Mg/m^3"}, {"F4/L^3", 3, "M/L^3"},
        {"L/F5", 1, "in/sec"},            {"L/F5", 2, "m/sec"},    {"L/F5", 3, "L/T"},
        {"F1/L2", 1, "kips/ft"},          {"F2*L1", 2, "kN*mm"},   {"F0", 1, "lbs0"}, // the digit of F0 stays
        {"", 1, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.expr);
        EXPECT_EQ(UnitsCaption(r.expr, r.units), r.expected);
    }
    EXPECT_THROW(UnitsCaption("L", 0), EAssertionFailed);

    TGridTable t;
    auto* velocity = addFloat(t, {"Soil", "Velocity"}, "L/F5");
    auto* ratio = addFloat(t, {"Ratio"}, "");
    EXPECT_EQ(velocity->CaptionLine(0), "Soil");
    EXPECT_EQ(velocity->CaptionLine(1), "Velocity (in/sec)  ");
    t.SetUnits(2);
    EXPECT_EQ(velocity->CaptionLine(1), "Velocity (m/sec)  ");
    EXPECT_EQ(ratio->CaptionLine(0), "Ratio");
}

namespace {

enum class Kind { Int, Float, Enum, String };

struct EntryCase {
    const char* what;
    Kind kind;
    bool window;
    const char* entry;
    const char* stored; // the cell's text afterwards, or nullptr when refused
    const char* message;
};

std::string evaluatorMessage(const char* detail)
{
    return evaluationMessage(detail).toStdString();
}

} // namespace

TEST(ColumnTypes, EntriesToStoredValues)
{
    const std::string invalidChars = evaluatorMessage("invalid character(s) in expression");
    const std::string blank = evaluatorMessage("entry cannot be blank");
    const std::string divZero = evaluatorMessage("division by zero");
    const std::string overflow = evaluatorMessage("floating point overflow");
    const EntryCase cases[] = {
        {"int in range", Kind::Int, true, "2*3", "6", ""},
        {"int fraction", Kind::Int, true, "2.5", nullptr, "Entry must be an integer."},
        {"int negative fraction", Kind::Int, true, "-2.5", nullptr, "Entry must be an integer."},
        {"int above the limits", Kind::Int, true, "41", nullptr, "Entry must be between 1 and 40."},
        {"int below the limits", Kind::Int, true, "0", nullptr, "Entry must be between 1 and 40."},
        {"int near an integer above", Kind::Int, true, "3.00000000001", "3", ""},
        {"int near an integer below", Kind::Int, true, "2.99999999999", nullptr, "Entry must be an integer."},
        {"int not a number", Kind::Int, true, "abc", nullptr, invalidChars.c_str()},
        {"int arithmetic fault", Kind::Int, true, "1/0", nullptr, divZero.c_str()},
        {"int no window, fraction", Kind::Int, false, "2.5", "2", ""},
        {"int no window, tie", Kind::Int, false, "3.5", "4", ""},
        {"int no window, limits", Kind::Int, false, "41", "41", ""},
        {"int no window, near below", Kind::Int, false, "2.99999999999", "3", ""},
        {"int no window, beyond 32 bits", Kind::Int, false, "3e10", nullptr,
         "Entry must be between -2147483648 and 2147483647."},
        {"float third", Kind::Float, true, "1/3", "0.33333333", ""},
        {"float plain", Kind::Float, false, "2.5", "2.5", ""},
        {"float letters", Kind::Float, true, "abc", nullptr, invalidChars.c_str()},
        {"float blank", Kind::Float, true, "", nullptr, blank.c_str()},
        {"float overflow", Kind::Float, false, "1e4932*100", nullptr, overflow.c_str()},
        {"enum number", Kind::Enum, true, "2", "2", ""},
        {"enum beyond the items", Kind::Enum, true, "7", "7", ""},
        {"enum zero", Kind::Enum, false, "0", "0", ""},
        {"enum fraction", Kind::Enum, true, "1.5", nullptr, "Value must be an integer."},
        {"enum beyond 32 bits", Kind::Enum, false, "1e10", nullptr, "Value must be an integer."},
        {"string", Kind::String, true, "any text", "any text", ""},
    };
    for (const EntryCase& c : cases) {
        SCOPED_TRACE(c.what);
        TGridTable t;
        t.SetFormFactory([](TGridTable& table) { return std::make_unique<FakeForm>(table); });
        TColumn* column = nullptr;
        switch (c.kind) {
        case Kind::Int: column = addInt(t, {"n"}, 20, 1, 40); break;
        case Kind::Float: column = addFloat(t, {"x"}, "L"); break;
        case Kind::Enum: {
            auto e = std::make_unique<TEnumColumn>(&t);
            e->SetItems({"a", "b"});
            column = t.AddColumn(std::move(e));
            break;
        }
        case Kind::String: column = t.AddColumn(std::make_unique<TStringColumn>(&t)); break;
        }
        t.SetRowCount(1);
        if (c.window)
            t.ShowForm();
        ASSERT_EQ(t.HasForm(), c.window);
        const QString before = column->GetText(0);
        try {
            column->SetText(0, QString::fromUtf8(c.entry));
            ASSERT_NE(c.stored, nullptr) << "accepted";
            EXPECT_EQ(column->GetText(0), c.stored);
        } catch (const EAssignError& e) {
            EXPECT_EQ(c.stored, nullptr);
            EXPECT_EQ(e.Message().toStdString(), c.message);
            EXPECT_EQ(column->GetText(0), before);
        }
    }
}

TEST(ColumnTypes, FloatColumnRefusesValuesThatAreNotFinite)
{
    TGridTable t;
    auto* x = addFloat(t, {"x"}, "L");
    t.SetRowCount(2);
    x->SetFloat(0, 1e4931L);
    x->SetFloat(1, 2.0L);
    EXPECT_THROW(x->SetFloat(1, std::numeric_limits<Extended>::infinity()), EInvalidOp);
    EXPECT_THROW(t.Cells(0, 1)->SetFloat(std::numeric_limits<Extended>::quiet_NaN()), EInvalidOp);
    EXPECT_THROW(x->SetDefaultValue(std::numeric_limits<Extended>::infinity()), EInvalidOp);
    EXPECT_EQ(x->GetFloat(1), 2.0L);
    // A units change that would overflow one cell changes none.
    t.SetUnits(2);
    x->SetFloat(0, 1e4931L * 10.0L);
    EXPECT_THROW(t.SetUnits(1), EInvalidOp);
    EXPECT_EQ(x->GetFloat(1), 2.0L / 39.37007874L);
}

TEST(ColumnTypes, UnitsChangeConvertsValuesNotDefaults)
{
    TGridTable t;
    auto* length = addFloat(t, {"Length"}, "L");
    auto* ratio = addFloat(t, {"Ratio"}, "");
    auto* count = addInt(t, {"n"}, 3, 0, 9);
    length->SetDefaultValue(10.0L);
    t.SetRowCount(3);
    for (int r = 0; r < 3; ++r) {
        length->SetFloat(r, 39.37007874L * (r + 1));
        ratio->SetFloat(r, 0.25L);
    }
    std::vector<int> changed;
    length->OnCellChanged = [&changed](TColumn*, int row) { changed.push_back(row); };
    t.SetUnits(2);
    EXPECT_EQ(changed, std::vector<int>({0, 1, 2}));
    for (int r = 0; r < 3; ++r) {
        SCOPED_TRACE(r);
        expectRelative(length->GetFloat(r), static_cast<Extended>(r + 1));
        EXPECT_EQ(ratio->GetFloat(r), 0.25L);
        EXPECT_EQ(count->GetInt(r), 3);
    }
    EXPECT_EQ(length->DefaultValue(), 10.0L);
    t.SetUnits(1); // and back, up to rounding
    expectRelative(length->GetFloat(2), 3.0L * 39.37007874L);
}

TEST(ColumnTypes, LayerTopsFollowBottoms)
{
    TGridTable t;
    auto* top = addFloat(t, {"Top"}, "L");
    top->TopDepth = true;
    auto* bottom = addFloat(t, {"Bottom"}, "L");
    t.SetRowCount(1);
    bottom->SetFloat(0, 5.0L);
    t.AddRowGroup(); // an appended row starts where the last layer ends
    EXPECT_EQ(top->GetFloat(1), 5.0L);
    bottom->SetFloat(1, 9.0L);
    EXPECT_EQ(top->GetFloat(1), 5.0L);
    t.AddRowGroup();
    EXPECT_EQ(top->GetFloat(2), 9.0L);
    bottom->SetFloat(2, 12.0L);

    // Setting a top moves the bottom above it, setting a bottom the top below.
    top->SetFloat(1, 6.0L);
    EXPECT_EQ(bottom->GetFloat(0), 6.0L);
    bottom->SetFloat(1, 10.0L);
    EXPECT_EQ(top->GetFloat(2), 10.0L);

    // A row inserted between two keeps the chain: top from the row above,
    // bottom from the top of the row below.
    t.InsertRowGroup(1);
    EXPECT_EQ(top->GetFloat(1), 6.0L);
    EXPECT_EQ(bottom->GetFloat(1), 6.0L);
    EXPECT_EQ(top->GetFloat(2), 6.0L);

    // Deleting a middle row joins its neighbours.
    t.DeleteRowGroup(2);
    for (int r = 1; r < t.RowCount(); ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(top->GetFloat(r), bottom->GetFloat(r - 1));
    }
    // A row at the start takes the default.
    t.InsertRowGroup(0);
    EXPECT_EQ(top->GetFloat(0), 0.0L);

    TGridTable wrong;
    auto* lonely = addFloat(wrong, {"Top"}, "L");
    lonely->TopDepth = true;
    addInt(wrong, {"n"}, 0, 0, 1);
    try {
        wrong.SetRowCount(1);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "If column if a topdepth then the next column must be a float column");
    }
}

TEST(ColumnTypes, Widths)
{
    const FakeCanvas canvas; // 10 pixels a character, 96 per inch
    TGridTable t;
    auto* narrow = addInt(t, {}, 0, 0, 1);
    auto* wide = addInt(t, {"Number of ", "sublayers"}, 0, 0, 1);
    auto* choice = static_cast<TEnumColumn*>(t.AddColumn(std::make_unique<TEnumColumn>(&t)));
    auto s = std::make_unique<TStringColumn>(&t);
    s->WidthInches = 1.5L;
    auto* text = t.AddColumn(std::move(s));
    auto* x = addFloat(t, {"x"}, "L2");
    EXPECT_EQ(narrow->CaptionCount(), 0);
    EXPECT_EQ(narrow->TColumn::Width(canvas), 0);
    EXPECT_EQ(narrow->Width(canvas), 48);
    EXPECT_EQ(wide->Width(canvas), 120); // "Number of " and two blanks
    EXPECT_EQ(choice->Width(canvas), 144);
    EXPECT_EQ(text->Width(canvas), 144);
    EXPECT_EQ(x->Width(canvas), 100); // "x (ft)  " with its units, and two blanks more
}

TEST(ColumnTypes, ClonesKeepSettingsNotValues)
{
    TGridTable source;
    auto* f = addFloat(source, {"Depth", "top"}, "L");
    f->TopDepth = true;
    f->SetDefaultValue(2.5L);
    f->SetVisible(false);
    f->SetGrouped(true);
    addFloat(source, {"Bottom"}, "L");
    auto* n = addInt(source, {"n"}, 4, 1, 9);
    auto e = std::make_unique<TEnumColumn>(&source);
    e->SetItems({"a", "b"});
    source.AddColumn(std::move(e));
    auto s = std::make_unique<TStringColumn>(&source);
    s->DefaultText = "x";
    s->WidthInches = 2.0L;
    source.AddColumn(std::move(s));
    source.SetRowCount(3);
    n->SetInt(0, 8);

    TGridTable target;
    for (int i = 0; i < source.ColumnCount(); ++i) {
        std::unique_ptr<TColumn> copy = source.Columns(i)->Clone(&target);
        SCOPED_TRACE(i);
        EXPECT_EQ(&copy->ColumnClass(), &source.Columns(i)->ColumnClass());
        EXPECT_EQ(copy->Captions(), source.Columns(i)->Captions());
        EXPECT_EQ(copy->Visible(), source.Columns(i)->Visible());
        EXPECT_FALSE(copy->Grouped());
        EXPECT_EQ(copy->RowCount(), 0);
        target.AddColumn(std::move(copy));
    }
    auto* f2 = static_cast<TFloatColumn*>(target.Columns(0));
    EXPECT_TRUE(f2->TopDepth);
    EXPECT_EQ(f2->DefaultValue(), 2.5L);
    EXPECT_EQ(f2->UnitsString, "L");
    auto* n2 = static_cast<TIntColumn*>(target.Columns(2));
    EXPECT_EQ(n2->DefaultValue, 4);
    EXPECT_EQ(n2->MaxValue, 9);
    EXPECT_EQ(static_cast<TEnumColumn*>(target.Columns(3))->Items(), QStringList({"a", "b"}));
    EXPECT_EQ(static_cast<TStringColumn*>(target.Columns(4))->DefaultText, "x");
    target.SetRowCount(1);
    EXPECT_EQ(n2->GetInt(0), 4);
    EXPECT_EQ(target.Columns(4)->GetText(0), "x");
}

TEST(ColumnTypes, DropDownEditors)
{
    TGridTable t;
    auto* choice = static_cast<TEnumColumn*>(t.AddColumn(std::make_unique<TEnumColumn>(&t)));
    choice->SetItems({"a", "b", "c"});
    t.SetRowCount(3);
    FakeForm first(t, 0, 2);
    EXPECT_EQ(choice->EditorCount(), 2);
    EXPECT_EQ(choice->Editor(1)->ItemIndex, 0);
    TEnumColumn unplaced(nullptr);
    try {
        unplaced.PlaceEditors(nullptr, 0, 1);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "null parent");
    }
    try {
        FakeForm second(t, 0, 1);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Error attempt to change parent with controls already allocated");
    }
    choice->SetInt(0, 3);
    EXPECT_EQ(choice->Editor(0)->ItemIndex, 2);
    choice->ComboChange(1, 1);
    EXPECT_EQ(choice->GetInt(1), 2);
    choice->Editor(0)->Tag = -1;
    try {
        choice->ComboChange(0, 1);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Unexpected row for combobox");
    }
    EXPECT_THROW(t.AddColumn(std::make_unique<TIntColumn>(&t))->HasEditors(), EAbstractError);
}
