#include "FortranFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace kd;

namespace {

struct FieldCase {
    const char* descriptor;
    std::string actual;
    const char* expected;
};

} // namespace

TEST(FortranFormat, FieldTable)
{
    const FieldCase cases[] = {
        // Iw
        {"I5 1", fmtI(1, 5), "    1"},
        {"I3 -12", fmtI(-12, 3), "-12"},
        {"I3 1000 overflows", fmtI(1000, 3), "***"},
        // Fw.d: leading zero kept when it fits, dropped only when needed
        {"F8.3 0.3", fmtF(0.3, 8, 3), "   0.300"},
        {"F4.3 0.3 drops zero", fmtF(0.3, 4, 3), ".300"},
        {"F3.3 0.3 too narrow", fmtF(0.3, 3, 3), "***"},
        {"F8.3 12.5", fmtF(12.5, 8, 3), "  12.500"},
        {"F8.3 9999.9994", fmtF(9999.9994, 8, 3), "9999.999"},
        {"F8.3 9999.9996 rounds past width", fmtF(9999.9996, 8, 3), "********"},
        {"F8.3 10000", fmtF(10000.0, 8, 3), "********"},
        {"F8.3 -3.25", fmtF(-3.25, 8, 3), "  -3.250"},
        {"F5.3 -0.25 drops zero", fmtF(-0.25, 5, 3), "-.250"},
        {"F10.2 2.5", fmtF(2.5, 10, 2), "      2.50"},
        {"F10.4 5", fmtF(5.0, 10, 4), "    5.0000"},
        {"F8.2 beta 5%", fmtF(0.05 * 100.0, 8, 2), "    5.00"},
        // a zero display carries no sign
        {"F8.3 -0.0", fmtF(-0.0, 8, 3), "   0.000"},
        {"F8.3 -0.0001", fmtF(-0.0001, 8, 3), "   0.000"},
        // Ew.d
        {"E13.5 12345.6", fmtE(12345.6, 13, 5), "  0.12346E+05"},
        {"E13.5 -1.5e-7", fmtE(-1.5e-7, 13, 5), " -0.15000E-06"},
        {"E13.5 1", fmtE(1.0, 13, 5), "  0.10000E+01"},
        {"E13.5 0", fmtE(0.0, 13, 5), "  0.00000E+00"},
        {"E13.5 -0", fmtE(-0.0, 13, 5), "  0.00000E+00"},
        {"E10.3 1", fmtE(1.0, 10, 3), " 0.100E+01"},
        {"E10.3 -999.96 rounds up", fmtE(-999.96, 10, 3), "-0.100E+04"},
        {"E12.5 2.9e10", fmtE(2.9e10, 12, 5), " 0.29000E+11"},
        {"E14.5 0.99999999", fmtE(0.99999999, 14, 5), "   0.10000E+01"},
        // exponents beyond two digits keep the E
        {"E13.5 1.5e-120", fmtE(1.5e-120, 13, 5), " 0.15000E-119"},
        {"E13.5 -1.5e200", fmtE(-1.5e200, 13, 5), "-0.15000E+201"},
        {"E12.5 -1.5e200 drops zero", fmtE(-1.5e200, 12, 5), "-.15000E+201"},
        {"E11.5 -1.5e200 too narrow", fmtE(-1.5e200, 11, 5), "***********"},
        // kPEw.d
        {"1PE13.5 1234.56", fmtE(1234.56, 13, 5, 1), "  1.23456E+03"},
        {"1PE13.5 -0.5", fmtE(-0.5, 13, 5, 1), " -5.00000E-01"},
        // Aw cuts or pads on the right
        {"A5 abc", fmtA("abc", 5), "abc  "},
        {"A2 abc", fmtA("abc", 2), "ab"},
        {"3X", blanks(3), "   "},
        // result line
        {"result line", resultLine(12.5, {1.0, -2.0}), "  12.500        0.10000E+01 -0.20000E+01"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.descriptor);
        EXPECT_EQ(c.actual, c.expected);
    }
}

TEST(FortranFormat, NonFiniteValuesAreNeverWritten)
{
    const double values[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity()};
    for (double v : values) {
        EXPECT_THROW(fmtF(v, 8, 3), NonFiniteValue);
        EXPECT_THROW(fmtE(v, 13, 5), NonFiniteValue);
        EXPECT_THROW(resultLine(1.0, {v}), NonFiniteValue);
    }
}
