#include "DataEditModel.h"

#include "NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

struct ExitCase {
    const char* what;
    bool integerOnly;
    Extended minVal;
    Extended maxVal;
    bool hex;
    const char* entry;
    bool valid;
    const char* textAfter;
    const char* message;
};

constexpr Extended kNone = std::numeric_limits<Extended>::quiet_NaN();

} // namespace

TEST(DataEditModel, ExitCheck)
{
    const ExitCase cases[] = {
        {"expression", false, kNone, kNone, false, "2*3", true, "6", ""},
        {"canonical text", false, kNone, kNone, false, "0.50", true, "0.5", ""},
        {"integer only, fraction", true, kNone, kNone, false, "2.5", false, "2.5", "Entry must be an integer."},
        {"integer only, not a number", true, kNone, kNone, false, "abc", false, "abc",
         "Entry must be a valid integer."},
        {"integer only, integral", true, kNone, kNone, false, "10/2", true, "5", ""},
        {"not a number", false, kNone, kNone, false, "abc", false, "abc",
         "Entry could not be evaluated:\rinvalid character(s) in expression"},
        {"blank", false, kNone, kNone, false, "", false, "", "Entry could not be evaluated:\rentry cannot be blank"},
        {"arithmetic fault", false, kNone, kNone, false, "1/0", false, "1/0",
         "Entry could not be evaluated:\rdivision by zero"},
        {"integer only, arithmetic fault", true, kNone, kNone, false, "ln(0)", false, "ln(0)",
         "Entry must be a valid integer."},
        {"below the minimum", false, 0.0L, kNone, false, "-1", false, "0", "Entry must be greater than or equal to 0"},
        {"above the maximum", false, kNone, 10.0L, false, "1e3", false, "10", "Entry must be less than or equal to 10"},
        {"on the bounds", false, 1.0L, 2.0L, false, "2", true, "2", ""},
        {"hex entry", false, kNone, kNone, true, "$10", true, "$0010", ""},
        {"hex above the maximum", false, 0.0L, 255.5L, true, "$1000", false, "$00FF",
         "Entry must be less than or equal to $00FF"},
        {"hex value beyond 64 bits", false, kNone, kNone, true, "1e30", false, "1e30",
         "Entry could not be evaluated:\rinvalid floating point operation"},
    };
    for (const ExitCase& c : cases) {
        SCOPED_TRACE(c.what);
        DataEditModel m;
        m.SetIntegerOnly(c.integerOnly);
        m.SetHex(c.hex);
        if (!std::isnan(c.maxVal))
            m.SetMaxVal(c.maxVal);
        if (!std::isnan(c.minVal))
            m.SetMinVal(c.minVal);
        m.SetText(c.entry);
        const ExitCheckResult r = m.ExitCheck();
        EXPECT_EQ(r.Valid, c.valid);
        EXPECT_EQ(m.IsValid(), c.valid);
        EXPECT_EQ(m.Text(), c.textAfter);
        EXPECT_EQ(r.Message, c.message);
    }
}

TEST(DataEditModel, SubstitutedBoundReadsBackWithinTheBound)
{
    struct Row {
        const char* what;
        Extended minVal;
        Extended maxVal;
        const char* entry;
    };
    // Eighteen digits of these bounds round outside them.
    const Row rows[] = {
        {"a third as minimum", 1.0L / 3.0L, DataEditModel::DefaultMaxVal, "0"},
        {"two thirds as maximum", -DataEditModel::DefaultMaxVal, 2.0L / 3.0L, "1"},
        {"the default maximum", -DataEditModel::DefaultMaxVal, DataEditModel::DefaultMaxVal,
         "1.1897314953572317649E4932"},
        {"the default minimum", -DataEditModel::DefaultMaxVal, DataEditModel::DefaultMaxVal,
         "-1.1897314953572317649E4932"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        DataEditModel m;
        m.SetMaxVal(r.maxVal);
        m.SetMinVal(r.minVal);
        m.SetText(r.entry);
        EXPECT_FALSE(m.ExitCheck().Valid);
        const Extended shown = m.Number();
        EXPECT_GE(shown, m.MinVal());
        EXPECT_LE(shown, m.MaxVal());
        EXPECT_TRUE(m.ExitCheck().Valid) << m.Text().toStdString();
    }
}

TEST(DataEditModel, DefaultBoundsAreExact)
{
    DataEditModel m;
    EXPECT_EQ(m.Text(), "0");
    EXPECT_EQ(m.MaxVal(), DataEditModel::DefaultMaxVal);
    EXPECT_EQ(m.MinVal(), -DataEditModel::DefaultMaxVal);
    // mantissa FFFFFFFFFFFFFFB0, largest finite exponent
    unsigned char bytes[sizeof(Extended)] = {};
    std::memcpy(bytes, &DataEditModel::DefaultMaxVal, sizeof bytes);
    const unsigned char expected[10] = {0xB0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x7F};
    EXPECT_EQ(std::memcmp(bytes, expected, 10), 0);
    EXPECT_EQ(generalNumberText(m.MaxVal(), 18, u'.'), "1.18973149535723176E4932");
}

TEST(DataEditModel, BoundsAndIntegerOnly)
{
    DataEditModel m;
    m.SetIntegerOnly(true);
    EXPECT_EQ(m.MinVal(), -2147483648.0L);
    EXPECT_EQ(m.MaxVal(), 2147483647.0L);

    DataEditModel n;
    n.SetText("5");
    n.SetMinVal(7.0L); // raises the number with it
    EXPECT_EQ(n.Text(), "7");
    n.SetMaxVal(3.0L); // never below the minimum
    EXPECT_EQ(n.MaxVal(), 7.0L);
    n.SetMaxVal(100.0L);
    n.SetMinVal(200.0L); // never above the maximum
    EXPECT_EQ(n.MinVal(), 100.0L);

    DataEditModel loading;
    loading.SetLoading(true);
    loading.SetMinVal(10.0L);
    loading.SetMaxVal(1.0L); // stored as given while loading
    EXPECT_EQ(loading.MinVal(), 10.0L);
    EXPECT_EQ(loading.MaxVal(), 1.0L);
    EXPECT_EQ(loading.Text(), "0");

    DataEditModel invalid;
    invalid.SetText("abc");
    EXPECT_THROW(invalid.SetMinVal(1.0L), Exception);
    EXPECT_EQ(invalid.MinVal(), -DataEditModel::DefaultMaxVal);
}

TEST(DataEditModel, HexNumberText)
{
    EXPECT_EQ(DataEditModel::FormatNumber(true, 255.0L), "$00FF");
    EXPECT_EQ(DataEditModel::FormatNumber(true, 65536.0L), "$10000");
    EXPECT_EQ(DataEditModel::FormatNumber(true, 2.5L), "$0002");
    EXPECT_EQ(DataEditModel::FormatNumber(true, -1.0L), "$FFFFFFFFFFFFFFFF");
    EXPECT_EQ(DataEditModel::FormatNumber(false, 1.0L / 3.0L), "0.333333333333333333");
    DataEditModel m;
    m.SetHex(true);
    m.SetNumber(255.0L);
    EXPECT_EQ(m.Text(), "$00FF");
}

TEST(DataEditModel, UnitsInTheLabel)
{
    struct Row {
        const char* units;
        int system;
        const char* expected;
    };
    const Row rows[] = {
        {"F4/L^3", 1, "lb-sec2/in/in^3"}, {"F4/L^3", 2, "Mg/m^3"},   {"F/L\u00b2", 1, "lbs/in\u00b2"},
        {"F/L\u00b2", 2, "kN/m\u00b2"},   {"L^4", 1, "in^4"},        {"L^4", 2, "m^4"},
        {"F1/L2", 1, "kips/ft"},          {"F2*L1", 2, "kN*mm"},     {"L/F5", 1, "in/sec"},
        {"F/L", 3, "F/L"},                {"F/F", 1, "lbs/lbs"},     {"F1/F", 1, "kips/F"}, // one force kind per text
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.units);
        DataEditModel m;
        m.SetUnitsString(QString::fromUtf8(r.units));
        m.SetUnits(r.system);
        EXPECT_EQ(m.ExpandUnits(), QString::fromUtf8(r.expected));
    }
    DataEditModel m;
    int changes = 0;
    m.OnLabelChanged = [&changes] { ++changes; };
    m.SetCaption("Mass");
    EXPECT_EQ(m.LabelText(), "Mass");
    m.SetUnitsString("F4");
    EXPECT_EQ(m.LabelText(), "Mass (lb-sec2/in)");
    m.SetUnits(0);
    EXPECT_EQ(m.Units(), 1);
    m.SetUnits(7);
    EXPECT_EQ(m.Units(), 3);
    EXPECT_EQ(changes, 4);
}

TEST(DataEditModel, OperatorKeysOverAFullSelection)
{
    for (QChar key : QStringView(u"+-/*^=%!"))
        EXPECT_TRUE(DataEditModel::OperatorGoesToEnd(key, 3, 3));
    EXPECT_FALSE(DataEditModel::OperatorGoesToEnd(u'5', 3, 3));
    EXPECT_FALSE(DataEditModel::OperatorGoesToEnd(u'*', 1, 3));
}
