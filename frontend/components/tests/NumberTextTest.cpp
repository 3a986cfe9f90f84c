#include "NumberText.h"

#include "Misc.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(NumberText, GeneralTextWithTheProjectFileDigits)
{
    struct Row {
        Extended value;
        const char* expected;
    };
    // Examples of the project file's number text, 8 significant digits.
    const Row rows[] = {
        {1.23456789L, "1.2345679"},
        {0.00001L, "1E-5"},
        {123456789.0L, "1.2345679E8"},
        {2.5L, "2.5"},
        {100.0L, "100"},
        {0.0L, "0"},
        {-0.0L, "0"},
        {0.0005L, "0.0005"},
        {0.0001L, "0.0001"},
        {0.000099999L, "9.9999E-5"},
        {0.05L, "0.05"},
        {12.5L, "12.5"},
        {99999999.0L, "99999999"},
        {99999999.5L, "1E8"},           // the exponent is taken after rounding
        {0.000099999999999L, "0.0001"}, // likewise toward fixed notation
        {4.2e9L, "4.2E9"},
        {2.9e10L, "2.9E10"},
        {-1234.5L, "-1234.5"},
        {1.0L / 3.0L, "0.33333333"},
        {2.0L / 3.0L, "0.66666667"},
        {1.5e20L, "1.5E20"},
        {-2.5e-7L, "-2.5E-7"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.expected);
        EXPECT_EQ(generalNumberText(r.value, 8, u'.'), r.expected);
        EXPECT_EQ(fileNumberText(r.value), r.expected);
    }
}

TEST(NumberText, HalfwayValuesRoundAwayFromZero)
{
    struct Row {
        Extended value;
        int digits;
        const char* expected;
    };
    // Values exactly halfway in binary; just below halfway rounds down.
    const Row rows[] = {
        {2.5L, 1, "3"},        {-2.5L, 1, "-3"},  {0.125L, 2, "0.13"},
        {1.5L, 1, "2"},        {0.5L, 1, "0.5"},  {99999999.5L, 8, "1E8"},
        {12345678.5L, 8, "12345679"}, {std::nextafter(2.5L, 0.0L), 1, "2"},
        {9.5L, 1, "1E1"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.expected);
        EXPECT_EQ(generalNumberText(r.value, r.digits, u'.'), r.expected);
    }
}

TEST(NumberText, EighteenDigitsSeparatorAndExponentWidth)
{
    EXPECT_EQ(generalNumberText(1.0L / 3.0L, 18, u'.'), "0.333333333333333333");
    EXPECT_EQ(generalNumberText(123456789012345678.0L, 18, u'.'), "123456789012345678");
    EXPECT_EQ(generalNumberText(1234567890123456789.0L, 18, u'.'), "1.23456789012345679E18");
    EXPECT_EQ(generalNumberText(2.5L, 8, u','), "2,5");
    EXPECT_EQ(generalNumberText(1.5e-7L, 8, u',', 2), "1,5E-07");
    EXPECT_EQ(generalNumberText(1e100L, 8, u'.', 2), "1E100");
    EXPECT_EQ(generalNumberText(std::numeric_limits<Extended>::max(), 18, u'.'), "1.18973149535723177E4932");
    EXPECT_EQ(generalNumberText(std::numeric_limits<Extended>::denorm_min(), 3, u'.'), "3.65E-4951");
}

TEST(NumberText, NonFiniteValuesHaveNoText)
{
    EXPECT_THROW(generalNumberText(std::numeric_limits<Extended>::infinity(), 8, u'.'), EInvalidOp);
    EXPECT_THROW(generalNumberText(std::numeric_limits<Extended>::quiet_NaN(), 8, u'.'), EInvalidOp);
}

TEST(NumberText, StrictParsing)
{
    struct Row {
        const char* text;
        QChar separator;
        bool ok;
        Extended value;
    };
    const Row rows[] = {
        {"2.5", u'.', true, 2.5L},
        {"-2.5", u'.', true, -2.5L},
        {"+7", u'.', true, 7.0L},
        {"0.100E+01", u'.', true, 1.0L},
        {"2e-3", u'.', true, 0.002L},
        {"5.", u'.', true, 5.0L},
        {".5", u'.', true, 0.5L},
        {"1,5", u',', true, 1.5L},
        {"1e-5000", u'.', true, 0.0L}, // below the range: nearest value
        {"1,5", u'.', false, 0},
        {"1.5", u',', false, 0},
        {"", u'.', false, 0},
        {".", u'.', false, 0},
        {"-", u'.', false, 0},
        {"e5", u'.', false, 0},
        {"1e", u'.', false, 0},
        {"1e+", u'.', false, 0},
        {"12abc", u'.', false, 0},
        {" 12", u'.', false, 0},
        {"12 ", u'.', false, 0},
        {"inf", u'.', false, 0},
        {"nan", u'.', false, 0},
        {"infinity", u'.', false, 0},
        {"0x10", u'.', false, 0},
        {"1e5000", u'.', false, 0}, // beyond the range
        {"\u0661", u'.', false, 0},  // digits of other scripts are not digits here
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        Extended v = -99.0L;
        EXPECT_EQ(parseNumber(QString::fromUtf8(r.text), r.separator, v), r.ok);
        if (r.ok)
            EXPECT_EQ(v, r.value);
        else
            EXPECT_EQ(v, -99.0L);
    }
}

TEST(NumberText, FileTextIgnoresTheLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(localeDecimalSeparator(), QChar(u','));
    EXPECT_EQ(fileNumberText(1.23456789L), "1.2345679");
    Extended v = 0;
    EXPECT_TRUE(parseNumber(u"1.5", u'.', v));
    EXPECT_EQ(v, 1.5L);
    QLocale::setDefault(saved);
}

TEST(NumberText, EveryExtendedReadsBackFromTwentyOneDigits)
{
    const Extended values[] = {1.0L / 3.0L, std::numeric_limits<Extended>::max(), 0.1L, 1e-4000L, -7.123456789012345678901L};
    for (Extended x : values) {
        Extended back = 0;
        ASSERT_TRUE(parseNumber(generalNumberText(x, 21, u'.'), u'.', back));
        EXPECT_EQ(back, x);
    }
}
