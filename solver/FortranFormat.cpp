#include "FortranFormat.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace kd {

namespace {

std::string fitField(const std::string& text, int width)
{
    if (static_cast<int>(text.size()) > width)
        return std::string(static_cast<std::size_t>(width), '*');
    return std::string(static_cast<std::size_t>(width) - text.size(), ' ') + text;
}

bool allZeroDigits(const std::string& digits)
{
    for (char c : digits)
        if (c >= '1' && c <= '9')
            return false;
    return true;
}

void requireFinite(double value)
{
    if (!std::isfinite(value))
        throw NonFiniteValue();
}

// Correctly rounded decimal digits of |value| with `significant` digits and the
// decimal exponent of the first digit: |value| ~ 0.d1d2... * 10^(exponent).
void significantDigits(double value, int significant, std::string& digits, int& exponent)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific,
                                   significant - 1);
    const std::string text(buf, res.ptr);
    const auto e = text.find('e');
    digits.clear();
    for (std::size_t i = 0; i < e; ++i)
        if (text[i] != '.')
            digits += text[i];
    exponent = std::atoi(text.c_str() + e + 1) + 1;
    if (value == 0.0)
        exponent = 0;
}

} // namespace

std::string blanks(int count) { return std::string(static_cast<std::size_t>(count > 0 ? count : 0), ' '); }

std::string fmtI(long long value, int width) { return fitField(std::to_string(value), width); }

std::string fmtA(const std::string& text, int width)
{
    std::string out = text.substr(0, static_cast<std::size_t>(width));
    out.resize(static_cast<std::size_t>(width), ' ');
    return out;
}

std::string fmtF(double value, int width, int decimals)
{
    requireFinite(value);
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed, decimals);
    std::string body(buf, res.ptr);
    if (decimals == 0)
        body += '.';
    const bool negative = std::signbit(value) && !allZeroDigits(body);
    std::string text = (negative ? "-" : "") + body;
    if (static_cast<int>(text.size()) > width) {
        // The leading zero of a value below 1 is optional; drop it before giving up.
        const std::size_t zero = negative ? 1 : 0;
        if (text.compare(zero, 2, "0.") == 0)
            text.erase(zero, 1);
    }
    return fitField(text, width);
}

std::string fmtE(double value, int width, int decimals, int scale)
{
    requireFinite(value);
    // Ew.d shows d significant digits as 0.ddd; with a scale k >= 1 the point
    // moves k places right and d + 1 significant digits are shown.
    const int significant = scale >= 1 ? decimals + 1 : decimals;
    std::string digits;
    int exponent = 0;
    significantDigits(value, significant, digits, exponent);

    std::string mantissa;
    if (scale >= 1) {
        mantissa = digits.substr(0, static_cast<std::size_t>(scale)) + "." + digits.substr(static_cast<std::size_t>(scale));
        exponent -= scale;
    } else {
        mantissa = "0." + digits;
    }
    if (value == 0.0)
        exponent = 0;

    const int magnitude = std::abs(exponent);
    if (magnitude > 999)
        return std::string(static_cast<std::size_t>(width), '*');
    std::string expText = std::to_string(magnitude);
    if (expText.size() < 2)
        expText.insert(0, 2 - expText.size(), '0');
    expText = std::string("E") + (exponent < 0 ? "-" : "+") + expText;

    const bool negative = std::signbit(value) && !allZeroDigits(digits);
    std::string text = (negative ? "-" : "") + mantissa + expText;
    if (static_cast<int>(text.size()) > width && scale < 1) {
        const std::size_t zero = negative ? 1 : 0;
        text.erase(zero, 1);
    }
    return fitField(text, width);
}

std::string resultLine(double frequency, std::initializer_list<double> values)
{
    std::string out = fmtF(frequency, 8, 3) + blanks(6);
    for (double v : values) {
        const std::string field = fmtE(v, 13, 5);
        if (field[0] != ' ')
            throw UnseparatedValue(frequency, field);
        out += field;
    }
    return out;
}

} // namespace kd
