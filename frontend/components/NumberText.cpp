#include "NumberText.h"

#include "Misc.h"

#include <QLocale>

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace {

struct RoundedDigits {
    std::string digits; // significant digits, no trailing zeros, at least one
    int exponent;       // the value is d.ddd x 10^exponent
};

// Digits printed beyond the ones kept: far more than any Extended needs for
// its distance to a rounding boundary, so a 5 followed by zeros here is an
// exact halfway case.
constexpr int kGuardDigits = 90;

RoundedDigits roundDigits(Extended magnitude, int count)
{
    char buf[160];
    std::snprintf(buf, sizeof buf, "%.*Le", kGuardDigits, magnitude);
    std::string all;
    const char* p = buf;
    for (; *p && *p != 'e' && *p != 'E'; ++p)
        if (*p >= '0' && *p <= '9') // skips the separator, whatever the C locale makes it
            all += *p;
    int exponent = *p ? std::atoi(p + 1) : 0;

    std::string kept = all.substr(0, count);
    if (all[count] >= '5') {
        int i = count - 1;
        while (i >= 0 && kept[i] == '9')
            kept[i--] = '0';
        if (i >= 0) {
            ++kept[i];
        } else { // 9.99..9 rounded up to 10.0..0
            kept.insert(kept.begin(), '1');
            kept.pop_back();
            ++exponent;
        }
    }
    while (kept.size() > 1 && kept.back() == '0')
        kept.pop_back();
    return {kept, exponent};
}

} // namespace

QString generalNumberText(Extended value, int digits, QChar separator, int minExponentDigits)
{
    if (!std::isfinite(value))
        throw EInvalidOp();
    Check(digits >= 1 && digits <= 21, QStringLiteral("number text needs 1 to 21 digits"));
    if (value == 0.0L)
        return QStringLiteral("0");

    const RoundedDigits r = roundDigits(std::fabs(value), digits);
    const QString d = QString::fromLatin1(r.digits.data(), static_cast<qsizetype>(r.digits.size()));
    const int before = r.exponent + 1; // digits in front of the separator

    QString out;
    if (std::signbit(value))
        out += u'-';
    if (before >= -3 && before <= digits) {
        if (before <= 0) {
            out += u'0';
            out += separator;
            out += QString(-before, u'0');
            out += d;
        } else {
            QString integral = d.left(before);
            integral += QString(before - integral.size(), u'0');
            out += integral;
            if (d.size() > before) {
                out += separator;
                out += d.mid(before);
            }
        }
    } else {
        out += d[0];
        if (d.size() > 1) {
            out += separator;
            out += d.mid(1);
        }
        out += u'E';
        if (r.exponent < 0)
            out += u'-';
        QString e = QString::number(std::abs(r.exponent));
        if (e.size() < minExponentDigits)
            e.prepend(QString(minExponentDigits - e.size(), u'0'));
        out += e;
    }
    return out;
}

QString fileNumberText(Extended value) { return generalNumberText(value, 8, u'.'); }

QChar localeDecimalSeparator()
{
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QChar(u'.') : point[0];
}

bool parseNumber(QStringView text, QChar separator, Extended& value)
{
    const auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    std::string ascii;
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ascii += static_cast<char>(text[i++].unicode());
    int mantissaDigits = 0;
    while (i < n && isDigit(text[i])) {
        ascii += static_cast<char>(text[i++].unicode());
        ++mantissaDigits;
    }
    if (i < n && text[i] == separator) {
        ascii += '.';
        ++i;
        while (i < n && isDigit(text[i])) {
            ascii += static_cast<char>(text[i++].unicode());
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ascii += 'e';
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            ascii += static_cast<char>(text[i++].unicode());
        int exponentDigits = 0;
        while (i < n && isDigit(text[i])) {
            ascii += static_cast<char>(text[i++].unicode());
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return false;
    }
    if (i != n)
        return false;

    // The C locale's reader, whatever locale the program runs in.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    char* end = nullptr;
    const Extended v = strtold_l(ascii.c_str(), &end, cLocale);
    if (end != ascii.c_str() + ascii.size() || !std::isfinite(v))
        return false;
    value = v;
    return true;
}
