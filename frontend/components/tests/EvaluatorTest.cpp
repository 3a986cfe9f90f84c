#include "Evaluator.h"

#include "NumberText.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const QString kHeading = QStringLiteral("Entry could not be evaluated:\r");

struct Case {
    const char* expression;
    const char* expected; // 18-digit text of the result, or the message detail
    bool refused;
};

std::string outcome(const QString& expression, QChar separator)
{
    try {
        return generalNumberText(Evaluate(expression, separator), 18, u'.').toStdString();
    } catch (const EAssignError& e) {
        if (!e.Message().startsWith(kHeading))
            return "bad heading: " + e.Message().toStdString();
        return "refused: " + e.Message().mid(kHeading.size()).toStdString();
    }
}

void runCases(const std::vector<Case>& cases, QChar separator)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expression);
        const std::string expected = c.refused ? std::string("refused: ") + c.expected : c.expected;
        EXPECT_EQ(outcome(QString::fromUtf8(c.expression), separator), expected);
    }
}

} // namespace

TEST(Evaluator, ValuesWithPointSeparator)
{
    runCases({
                 {"2 * 3 ^ 2", "18", false},
                 {"2^3^2", "64", false},      // left-associative
                 {"2-3-4", "-5", false},
                 {"-2^2", "4", false},        // the minus belongs to the operand
                 {"2^-1", "0.5", false},
                 {"3--2", "5", false},
                 {"--3", "3", false},
                 {"-(-3)", "3", false},
                 {"2e-3", "0.002", false},
                 {"1E3", "1000", false},
                 {"1E-3", "0.001", false},
                 // an exponent and "$" take a group as their digits
                 {"1E(-3)", "0.001", false},
                 {"2e(3)", "2000", false},
                 {"1E(2+1)", "1000", false},
                 {"-2.5e(1)", "-25", false},
                 {"sqrt1e(2)", "10", false},
                 {"$(10)", "16", false},
                 {"sin$(0)", "0", false},
                 {"7%3", "1", false},
                 {"-7%3", "-1", false},
                 {"7.9%2.1", "1", false},
                 {"7%-1", "0", false},
                 {"1&0", "0", false},
                 {"0&1", "0", false},
                 {"2&3", "1", false},
                 {"0|5", "1", false},
                 {"0|0", "0", false},
                 {"1|5", "1", false},
                 {"1+1=2", "1", false},       // "=" is the last pass
                 {"2=3", "0", false},
                 {"0.1+0.2=0.3", "1", false}, // intermediate results carry 18 digits
                 {"1/3*3", "0.999999999999999999", false},
                 {"1/3", "0.333333333333333333", false},
                 {"(1+2)*(3+4)", "21", false},
                 {"((2))", "2", false},
                 {"\t1 +\t2 ", "3", false},
                 {"PI", "3.14159265358979324", false},
                 {"-e", "-2.71828182845904524", false},
                 {"e", "2.71828182845904524", false},
                 {"sin(1)", "0.841470984807896507", false},
                 {"cosec(1)", "1.18839510577812122", false},
                 {"SQRT(16)", "4", false},
                 {"sqrt(16)", "4", false},
                 {"abs(-2)", "2", false},
                 {"ln(1)", "0", false},
                 {"log(1000)", "3", false},
                 {"3!", "6", false},
                 {"0!", "1", false},
                 {"-3!", "-6", false},
                 {"(3)!", "6", false},
                 {"3!!", "720", false},
                 {"$ff", "255", false},
                 {"$FF", "255", false},
                 {"$FFFFFFFF", "-1", false}, // a 32-bit result
                 {"$ff+1", "256", false},
                 {"round(2.5)", "2", false},
                 {"round(3.5)", "4", false},
                 {"floor(-1.5)", "-2", false},
                 {"ceil(1.2)", "2", false},
                 {"int(-1.7)", "-1", false},
                 {"frac(-1.25)", "-0.25", false},
                 {"2^0.5*2^0.5", "2", false},
                 {"(-2)^3", "-8", false},
                 {"0^0", "1", false},
                 {"1e4931*10", "1E4932", false},
             },
             u'.');
}

TEST(Evaluator, Refusals)
{
    runCases({
                 {"", "entry cannot be blank", true},
                 {"   ", "invalid expression", true},
                 {"()", "entry cannot be blank", true},
                 {"2)", "() (parentheses) do not match", true},
                 {"(2", "invalid character(s) in expression", true},
                 {"2+", "invalid expression", true},
                 {"+2", "invalid character(s) in expression", true},
                 {"abc", "invalid character(s) in expression", true},
                 {"inf", "invalid character(s) in expression", true},
                 {"nan", "invalid character(s) in expression", true},
                 {"0x10", "invalid character(s) in expression", true},
                 {"1.5.2", "invalid character(s) in expression", true},
                 {"2.5!", "! (factoral) applicable to integers only", true},
                 {"$", "invalid use of $ (hex function)", true},
                 {"$zz", "invalid use of $ (hex function)", true},
                 {"$100000000", "invalid use of $ (hex function)", true},
                 // a group directly beside an operand or another group
                 {"2(3)", "invalid expression", true},
                 {"(2)(3)", "invalid expression", true},
                 {"2(-3)", "invalid expression", true},
                 {"(2)3", "invalid expression", true},
                 {"pi(2)", "invalid expression", true},
                 {"e(2)", "invalid expression", true},
                 {"x2e(3)", "invalid expression", true},
                 {"$1e(3)", "invalid expression", true}, // hexadecimal digits, no exponent
                 {"2$(3)", "invalid expression", true},
                 {"1E+(3)", "invalid character(s) in expression", true}, // "+" splits as in 1E+3
                 {"$(A)", "invalid character(s) in expression", true},
                 {"$(-1)", "invalid use of $ (hex function)", true},
                 {"$(1E20)", "invalid use of $ (hex function)", true}, // not read as $1E20
                 // garbage after a short-circuit operator
                 {"1|abc", "invalid expression", true},
                 {"1|", "invalid expression", true},
                 {"1|2|x", "invalid expression", true},
                 {"0|abc", "invalid character(s) in expression", true},
             },
             u'.');
}

TEST(Evaluator, ArithmeticFaultsAreRefusals)
{
    runCases({
                 {"1/0", "division by zero", true},
                 {"0/0", "invalid floating point operation", true},
                 {"ln(0)", "division by zero", true},
                 {"ln(-1)", "invalid floating point operation", true},
                 {"log(0)", "division by zero", true},
                 {"sqrt(-1)", "invalid floating point operation", true},
                 {"arcsin(2)", "invalid floating point operation", true},
                 {"arctanh(1)", "division by zero", true},
                 {"csc(0)", "division by zero", true},
                 {"cotan(0)", "division by zero", true},
                 {"(-8)^(1/3)", "invalid floating point operation", true},
                 {"0^(-1)", "division by zero", true},
                 {"10^5000", "floating point overflow", true},
                 {"10^(-5000)", "floating point overflow", true},
                 {"1e4932*1e4932", "floating point overflow", true},
                 {"1e4932+1e4932", "floating point overflow", true},
                 {"1e4932/1e-10", "floating point overflow", true},
                 {"cosh(20000)", "floating point overflow", true},
                 {"2^100000.5", "floating point overflow", true},
                 {"1755!", "floating point overflow", true},
                 {"1e30!", "floating point overflow", true}, // ends without counting down
                 {"7%0", "division by zero", true},
                 {"7%0.5", "division by zero", true},
                 {"1e30%7", "invalid floating point operation", true},
                 {"round(1e30)", "invalid floating point operation", true},
                 {"ceil(3e9)", "invalid floating point operation", true},
                 {"1|1/0", "division by zero", true}, // "/" is reduced before "|"
             },
             u'.');
    // A short circuit does not need the value of a well-formed right operand.
    EXPECT_EQ(Evaluate("1|ln(0)", u'.'), 1.0L);
}

TEST(Evaluator, LocaleSeparator)
{
    runCases({
                 {"1,5*2", "3", false},
                 {"1/4+0,5", "0.75", false},
                 {"(1/3)*3", "0.999999999999999999", false}, // write-back uses ","
                 {"1,5E(2)", "150", false},
                 {"1.5", "invalid character(s) in expression", true},
             },
             u',');
}

TEST(Evaluator, FunctionsMatchTheLibrary)
{
    // Function values are not re-rounded: the last operand is read as it stands.
    // The arguments are volatile so that the reference is the run-time library
    // too, not the compiler's own constant folding.
    volatile Extended half = 0.5L, one = 1.0L, two = 2.0L;
    EXPECT_EQ(Evaluate("sin(-1)", u'.'), std::sin(-one));
    EXPECT_EQ(Evaluate("sin3!", u'.'), std::sin(6.0L * one)); // functions bind looser than "!"
    EXPECT_EQ(Evaluate("arctanh(0.5)", u'.'), std::atanh(half));
    EXPECT_EQ(Evaluate("arccosh(2)", u'.'), std::acosh(two));
    EXPECT_EQ(Evaluate("cosh(1)", u'.'), std::cosh(one));
    EXPECT_EQ(Evaluate("sec(1)", u'.'), 1.0L / std::cos(one));
    EXPECT_EQ(Evaluate("pi", u'.'), 3.14159265358979323846264338327950288L);
    EXPECT_TRUE(IsFunctionName("ArcTanh"));
    EXPECT_TRUE(IsFunctionName("$"));
    EXPECT_TRUE(IsFunctionName("!"));
    EXPECT_FALSE(IsFunctionName("pi"));
    EXPECT_FALSE(IsFunctionName("sinx"));
}

TEST(Evaluator, DeepNestingAndLongInputStayIterative)
{
    const int depth = 20000;
    EXPECT_EQ(Evaluate(QString(depth, u'(') + "7" + QString(depth, u')'), u'.'), 7.0L);

    QString sum = "1";
    for (int i = 1; i < 100000; ++i)
        sum += "+1";
    EXPECT_EQ(Evaluate(sum, u'.'), 100000.0L);

    QString chain;
    for (int i = 0; i < 50000; ++i)
        chain += "sin";
    EXPECT_EQ(Evaluate(chain + "0", u'.'), 0.0L);
    EXPECT_EQ(Evaluate(QString(100001, u'-') + "2", u'.'), -2.0L);
    EXPECT_THROW(Evaluate("3" + QString(3000, u'!'), u'.'), EAssignError);
}
