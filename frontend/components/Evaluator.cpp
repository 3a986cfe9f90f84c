#include "Evaluator.h"

#include "NumberText.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

const QString kBlank = QStringLiteral("entry cannot be blank");
const QString kParentheses = QStringLiteral("() (parentheses) do not match");
const QString kInvalidExpression = QStringLiteral("invalid expression");
const QString kFactorial = QStringLiteral("! (factoral) applicable to integers only");
const QString kHex = QStringLiteral("invalid use of $ (hex function)");
const QString kInvalidCharacters = QStringLiteral("invalid character(s) in expression");
const QString kDivisionByZero = QStringLiteral("division by zero");
const QString kInvalidOperation = QStringLiteral("invalid floating point operation");
const QString kOverflow = QStringLiteral("floating point overflow");

constexpr char16_t kBinaryMinus = 155;
constexpr char16_t kUnaryMinus = u'~';
constexpr int kWriteBackDigits = 18;

// An arithmetic fault: a well-formed operand whose value does not exist.
// Callers see it as the EAssignError it is; the evaluator itself tells it
// apart from malformed input where an operand is checked but not needed.
class ArithmeticFault : public EAssignError {
public:
    explicit ArithmeticFault(const QString& detail) : EAssignError(evaluationMessage(detail)) {}
};

[[noreturn]] void reject(const QString& detail) { throw EAssignError(evaluationMessage(detail)); }
[[noreturn]] void fault(const QString& detail) { throw ArithmeticFault(detail); }

// A result computed from finite operands must itself be finite.
Extended checked(Extended r)
{
    if (std::isnan(r))
        fault(kInvalidOperation);
    if (std::isinf(r))
        fault(kOverflow);
    return r;
}

bool isOperator(QChar c)
{
    switch (c.unicode()) {
    case u'^': case u'*': case u'/': case u'%': case u'+': case kBinaryMinus:
    case u'=': case u'|': case u'&':
        return true;
    default:
        return false;
    }
}

bool isUnaryContext(QChar c)
{
    return QStringView(u"%&*+/=E^e|~").contains(c) || c.unicode() == kBinaryMinus;
}

using Function = Extended (*)(Extended);

struct NamedFunction {
    const char16_t* name;
    Function apply;
};

Extended logarithmArgument(Extended x)
{
    if (x < 0.0L)
        fault(kInvalidOperation);
    if (x == 0.0L)
        fault(kDivisionByZero);
    return x;
}

Extended int32Result(Extended integral)
{
    if (integral < -2147483648.0L || integral > 2147483647.0L)
        fault(kInvalidOperation);
    return integral;
}

// Longer names stand before the names that begin them.
const NamedFunction kFunctions[] = {
    {u"arctanh", [](Extended x) -> Extended {
         if (std::fabs(x) > 1.0L) fault(kInvalidOperation);
         if (std::fabs(x) == 1.0L) fault(kDivisionByZero);
         return std::atanh(x);
     }},
    {u"arctan", [](Extended x) -> Extended { return std::atan(x); }},
    {u"cotan", [](Extended x) -> Extended {
         const Extended t = std::tan(x);
         if (t == 0.0L) fault(kDivisionByZero);
         return 1.0L / t;
     }},
    {u"tanh", [](Extended x) -> Extended { return std::tanh(x); }},
    {u"tan", [](Extended x) -> Extended { return std::tan(x); }},
    {u"arccosh", [](Extended x) -> Extended {
         if (x < 1.0L) fault(kInvalidOperation);
         return std::acosh(x);
     }},
    {u"arccos", [](Extended x) -> Extended {
         if (std::fabs(x) > 1.0L) fault(kInvalidOperation);
         return std::acos(x);
     }},
    {u"cosh", [](Extended x) -> Extended { return std::cosh(x); }},
    {u"cosec", Csc},
    {u"cos", [](Extended x) -> Extended { return std::cos(x); }},
    {u"sec", Sec},
    {u"arcsinh", [](Extended x) -> Extended { return std::asinh(x); }},
    {u"arcsin", [](Extended x) -> Extended {
         if (std::fabs(x) > 1.0L) fault(kInvalidOperation);
         return std::asin(x);
     }},
    {u"sinh", [](Extended x) -> Extended { return std::sinh(x); }},
    {u"sin", [](Extended x) -> Extended { return std::sin(x); }},
    {u"csc", Csc},
    {u"abs", [](Extended x) -> Extended { return std::fabs(x); }},
    {u"frac", [](Extended x) -> Extended { return x - std::trunc(x); }},
    {u"int", [](Extended x) -> Extended { return std::trunc(x); }},
    {u"ln", [](Extended x) -> Extended { return std::log(logarithmArgument(x)); }},
    {u"round", [](Extended x) -> Extended {
         try {
             return static_cast<Extended>(RoundToInt64(x));
         } catch (const EInvalidOp&) {
             fault(kInvalidOperation);
         }
     }},
    {u"ceil", [](Extended x) -> Extended { return int32Result(std::ceil(x)); }},
    {u"floor", [](Extended x) -> Extended { return int32Result(std::floor(x)); }},
    {u"log", [](Extended x) -> Extended { return std::log10(logarithmArgument(x)); }},
    {u"sqrt", [](Extended x) -> Extended {
         if (x < 0.0L) fault(kInvalidOperation);
         return std::sqrt(x);
     }},
};

bool endsWithFunctionName(const QString& lowerLetters)
{
    for (const NamedFunction& f : kFunctions)
        if (lowerLetters.endsWith(QStringView(f.name)))
            return true;
    return false;
}

// Every run of minus signs keeps the parity of its length: the same as
// deleting the first "--" again and again, in one pass.
QString removeDoubleMinus(const QString& s)
{
    QString r;
    r.reserve(s.size());
    for (qsizetype i = 0; i < s.size();) {
        if (s[i] != u'-') {
            r += s[i++];
            continue;
        }
        qsizetype run = 0;
        while (i < s.size() && s[i] == u'-') {
            ++run;
            ++i;
        }
        if (run % 2)
            r += u'-';
    }
    return r;
}

Extended readHex(QStringView operand)
{
    // "$" and 1 to 8 significant hexadecimal digits, a 32-bit result.
    if (operand.size() < 2)
        reject(kHex);
    std::uint64_t v = 0;
    for (qsizetype i = 1; i < operand.size(); ++i) {
        const int digit = QStringView(u"0123456789abcdef").indexOf(operand[i]);
        if (digit < 0)
            reject(kHex);
        v = v * 16 + static_cast<std::uint64_t>(digit);
        if (v > 0xFFFFFFFFu)
            reject(kHex);
    }
    return static_cast<Extended>(static_cast<std::int32_t>(static_cast<std::uint32_t>(v)));
}

// Power as the platform's math library computes it.
Extended power(Extended base, Extended exponent)
{
    if (exponent == 0.0L)
        return 1.0L;
    if (base == 0.0L) {
        if (exponent > 0.0L)
            return 0.0L;
        fault(kDivisionByZero);
    }
    if (exponent == std::trunc(exponent) && std::fabs(exponent) <= 2147483647.0L) {
        std::int64_t n = static_cast<std::int64_t>(std::fabs(exponent));
        Extended r = 1.0L;
        Extended b = base;
        while (n) {
            if (n & 1)
                r *= b;
            n >>= 1;
            if (n)
                b *= b;
        }
        if (std::isinf(r))
            fault(kOverflow);
        if (exponent < 0.0L) {
            if (r == 0.0L)
                fault(kDivisionByZero);
            r = 1.0L / r;
        }
        return checked(r);
    }
    if (base < 0.0L)
        fault(kInvalidOperation);
    return checked(std::exp(exponent * std::log(base)));
}

class Reducer {
public:
    explicit Reducer(QChar separator) : m_separator(separator) {}

    Extended term(const QString& operand) const { return EvaluateTerm(operand, m_separator); }
    QString text(Extended v) const { return generalNumberText(v, kWriteBackDigits, m_separator); }

    QString reduce(const QString& left, QChar op, const QString& right) const
    {
        switch (op.unicode()) {
        case u'^': {
            const Extended x = term(left);
            return text(power(x, term(right)));
        }
        case u'*': {
            const Extended x = term(left);
            return text(checked(x * term(right)));
        }
        case u'/': {
            const Extended x = term(left);
            const Extended y = term(right);
            if (y == 0.0L)
                fault(x == 0.0L ? kInvalidOperation : kDivisionByZero);
            return text(checked(x / y));
        }
        case u'%': {
            const Extended x = term(left);
            const Extended y = term(right);
            std::int64_t a = 0;
            std::int64_t b = 0;
            try {
                a = TruncToInt64(x);
                b = TruncToInt64(y);
            } catch (const EInvalidOp&) {
                fault(kInvalidOperation);
            }
            if (b == 0)
                fault(kDivisionByZero);
            if (b == -1) // also keeps INT64_MIN % -1 defined
                return QStringLiteral("0");
            return QString::number(a % b);
        }
        case u'&': {
            const Extended x = term(left);
            const Extended y = term(right);
            return (x != 0.0L && y != 0.0L) ? QStringLiteral("1") : QStringLiteral("0");
        }
        case u'+': {
            const Extended x = term(left);
            return text(checked(x + term(right)));
        }
        case kBinaryMinus: {
            const Extended x = term(left);
            return text(checked(x - term(right)));
        }
        case u'|': {
            if (term(left) != 0.0L) {
                // The value is not needed, but the operand must still be one.
                try {
                    term(right);
                } catch (const ArithmeticFault&) {
                } catch (const EAssignError&) {
                    reject(kInvalidExpression);
                }
                return QStringLiteral("1");
            }
            return term(right) != 0.0L ? QStringLiteral("1") : QStringLiteral("0");
        }
        case u'=': {
            const Extended x = term(left);
            return x == term(right) ? QStringLiteral("1") : QStringLiteral("0");
        }
        }
        reject(kInvalidExpression);
    }

private:
    QChar m_separator;
};

bool inPass(int pass, QChar op)
{
    switch (pass) {
    case 1: return op == u'^';
    case 2: return op == u'*' || op == u'/' || op == u'%' || op == u'&';
    case 3: return op == u'+' || op.unicode() == kBinaryMinus || op == u'|';
    default: return op == u'=';
    }
}

// Steps after the parentheses are gone: minus marking, splitting, the four
// reduction passes.
Extended evaluateFlat(QString text, QChar separator)
{
    QString work = text;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'-')
            continue;
        const bool unary = i == 0 || (i <= 7 && IsFunctionName(work.left(i))) || isUnaryContext(work[i - 1]);
        if (unary) {
            work[i] = QChar(kUnaryMinus);
        } else {
            work[i] = QChar(kBinaryMinus);
            text[i] = QChar(kBinaryMinus);
        }
    }

    std::vector<QString> operands;
    std::vector<QChar> operators;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = pos;
        while (end < text.size() && !isOperator(text[end]))
            ++end;
        operands.push_back(text.mid(pos, end - pos));
        if (end < text.size())
            operators.push_back(text[end]);
        pos = end + 1;
    }
    if (operands.size() != operators.size() + 1)
        reject(kInvalidExpression);

    // Each pass reduces left to right, as re-examining the same index after
    // every reduction does, in one sweep.
    const Reducer reducer(separator);
    for (int pass = 1; pass <= 4; ++pass) {
        std::vector<QString> nextOperands{operands[0]};
        std::vector<QChar> nextOperators;
        for (std::size_t i = 0; i < operators.size(); ++i) {
            if (inPass(pass, operators[i])) {
                nextOperands.back() = reducer.reduce(nextOperands.back(), operators[i], operands[i + 1]);
            } else {
                nextOperators.push_back(operators[i]);
                nextOperands.push_back(operands[i + 1]);
            }
        }
        operands = std::move(nextOperands);
        operators = std::move(nextOperators);
    }
    return reducer.term(operands[0]);
}

// True when an operand may begin at pos: at the start, after an operator, a
// minus or a "(", or directly after a function name (sin(2) is sin2).
bool operandMayStartAt(const QString& text, qsizetype pos)
{
    if (pos == 0)
        return true;
    const QChar before = text[pos - 1];
    if (isOperator(before) || before == u'-' || before == u'(')
        return true;
    qsizetype start = pos;
    while (start > 0 && text[start - 1].isLetter())
        --start;
    return start < pos && endsWithFunctionName(text.mid(start, pos - start).toLower());
}

// True when the "E" or "e" at pos closes the mantissa of a decimal number
// that stands as an operand: 1E(-3) is 1E-3, and $1e(3) is no exponent.
bool isExponentMark(const QString& text, qsizetype pos, QChar separator)
{
    if (text[pos] != u'e' && text[pos] != u'E')
        return false;
    qsizetype start = pos;
    bool digits = false;
    while (start > 0 && ((text[start - 1] >= u'0' && text[start - 1] <= u'9') || text[start - 1] == separator)) {
        digits = digits || text[start - 1] != separator;
        --start;
    }
    return digits && operandMayStartAt(text, start);
}

// A group's value is written back into the text: it must stand where an
// operand may, or "2(3)" would silently read as 23. An exponent mark and the
// hexadecimal "$" take a group as their digits: 1E(2+1) is 1E3, $(10) is $10.
// Answers whether the group gives the digits of a "$".
bool checkGroupNeighbours(const QString& text, qsizetype open, qsizetype close, QChar separator)
{
    bool hex = false;
    if (open > 0 && !operandMayStartAt(text, open)) {
        hex = text[open - 1] == u'$' && operandMayStartAt(text, open - 1);
        if (!hex && !isExponentMark(text, open - 1, separator))
            reject(kInvalidExpression);
    }
    if (close + 1 < text.size()) {
        const QChar after = text[close + 1];
        if (!isOperator(after) && after != u'-' && after != u')' && after != u'!')
            reject(kInvalidExpression);
    }
    return hex;
}

} // namespace

QString evaluationMessage(const QString& detail)
{
    return QStringLiteral("Entry could not be evaluated:\r") + detail;
}

Extended Evaluate(const QString& text) { return Evaluate(text, localeDecimalSeparator()); }

Extended Evaluate(const QString& input, QChar separator)
{
    if (input.isEmpty())
        reject(kBlank);
    QString text;
    text.reserve(input.size());
    for (QChar c : input)
        if (c != u' ' && c != u'\t')
            text += c;

    // Innermost groups first. Nothing before the group just replaced holds
    // a ")", so the search goes on from there; the work stays iterative
    // whatever the depth of nesting.
    qsizetype searchFrom = 0;
    for (;;) {
        const qsizetype close = text.indexOf(u')', searchFrom);
        if (close < 0)
            break;
        const qsizetype open = close > 0 ? text.lastIndexOf(u'(', close - 1) : -1;
        if (open < 0)
            reject(kParentheses);
        const bool hexDigits = checkGroupNeighbours(text, open, close, separator);
        const QString inner = text.mid(open + 1, close - open - 1);
        if (inner.isEmpty())
            reject(kBlank);
        const QString value = generalNumberText(evaluateFlat(inner, separator), kWriteBackDigits, separator);
        // A value too large for the hexadecimal range is written with an
        // exponent, whose "E" would read as a digit: $(1E20) is no $1E20.
        if (hexDigits && value.contains(u'E'))
            reject(kHex);
        text.replace(open, close - open + 1, value);
        searchFrom = open;
    }
    return checked(evaluateFlat(text, separator));
}

Extended EvaluateTerm(const QString& operand, QChar separator)
{
    // Prefix functions and factorials are peeled off in a loop and applied
    // afterwards, innermost first, so a long chain cannot exhaust the stack.
    enum class Step { Function, Factorial };
    struct Pending {
        Step step;
        Function apply;
    };
    std::vector<Pending> pending;

    const QString lowered = removeDoubleMinus(operand).toLower();
    QStringView s(lowered);
    Extended value = 0.0L;
    for (;;) {
        if (s == u"pi") {
            value = 3.14159265358979323846264338327950288L;
            break;
        }
        if (s == u"-pi") {
            value = -3.14159265358979323846264338327950288L;
            break;
        }
        if (s == u"e") {
            value = std::exp(1.0L);
            break;
        }
        if (s == u"-e") {
            value = -std::exp(1.0L);
            break;
        }
        const NamedFunction* match = nullptr;
        for (const NamedFunction& f : kFunctions) {
            if (s.startsWith(QStringView(f.name))) {
                match = &f;
                break;
            }
        }
        if (match) {
            pending.push_back({Step::Function, match->apply});
            s = s.mid(QStringView(match->name).size());
            continue;
        }
        if (s.endsWith(u'!')) {
            pending.push_back({Step::Factorial, nullptr});
            s.chop(1);
            continue;
        }
        if (s.startsWith(u'$')) {
            value = readHex(s);
            break;
        }
        if (!parseNumber(s, separator, value))
            reject(kInvalidCharacters);
        break;
    }
    for (auto it = pending.rbegin(); it != pending.rend(); ++it)
        value = checked(it->step == Step::Factorial ? Factorial(value) : it->apply(value));
    return value;
}

bool IsFunctionName(const QString& token)
{
    const QString lower = token.toLower();
    if (lower == u"!" || lower == u"$")
        return true;
    for (const NamedFunction& f : kFunctions)
        if (lower == QStringView(f.name))
            return true;
    return false;
}

Extended Factorial(Extended x)
{
    const Extended sign = x < 0.0L ? -1.0L : 1.0L;
    if (x != std::trunc(x))
        reject(kFactorial);
    Extended n = std::fabs(x);
    Extended r = 1.0L;
    // 1755! is beyond the Extended range, so the loop ends by overflow long
    // before a huge N is counted down.
    while (n >= 1.0L) {
        r *= n;
        if (std::isinf(r))
            fault(kOverflow);
        n -= 1.0L;
    }
    return r * sign;
}

Extended Sec(Extended x)
{
    const Extended c = std::cos(x);
    if (c == 0.0L)
        fault(kDivisionByZero);
    return 1.0L / c;
}

Extended Csc(Extended x)
{
    const Extended s = std::sin(x);
    if (s == 0.0L)
        fault(kDivisionByZero);
    return 1.0L / s;
}
