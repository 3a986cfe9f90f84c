#pragma once

// Fixed-width fields of the analysis program's text records, in the notation
// of Fortran edit descriptors. All output is locale-independent.
//   fmtI(v, w)          Iw     integer right-aligned in w characters
//   fmtF(v, w, d)       Fw.d   fixed point, d decimals
//   fmtE(v, w, d, k)    kPEw.d exponent form 0.ddddE+xx (k = 0), d.dddddE+xx (k = 1)
//   blanks(n)           nX
//   fmtA(s, w)          Aw     text cut or blank-padded to w characters
// A value that does not fit fills its field with w asterisks. Decisions that
// hold for every file:
//   - F fields carry the leading zero ("   0.300") when it fits, and drop it
//     (".300") only when the field is one character too narrow for it;
//   - a value that shows only zero digits carries no minus sign ("0.000",
//     "0.00000E+00"), whatever the sign of the double;
//   - exponents beyond two digits are written with three ("0.12345E+100"),
//     dropping the mantissa's leading zero if the field needs it; beyond that,
//     asterisks.
// A value that is not finite is never formatted: NonFiniteValue is thrown.

#include <stdexcept>
#include <string>

namespace kd {

class NonFiniteValue : public std::runtime_error {
public:
    NonFiniteValue() : std::runtime_error("value is not finite") {}
};

// A result whose E13.5 text fills its whole field: written, it would run into
// the field before it and the line could not be read back.
class UnseparatedValue : public std::runtime_error {
public:
    UnseparatedValue(double frequency, std::string text)
        : std::runtime_error("value fills its field"), m_frequency(frequency), m_text(std::move(text))
    {
    }
    double frequency() const { return m_frequency; }
    const std::string& text() const { return m_text; }

private:
    double m_frequency;
    std::string m_text;
};

std::string fmtI(long long value, int width);
std::string fmtF(double value, int width, int decimals);
std::string fmtE(double value, int width, int decimals, int scale = 0);
std::string fmtA(const std::string& text, int width);
std::string blanks(int count);

// The result line of the result files: F8.3, 6X, then each value as E13.5.
// Every value keeps at least one blank before it (UnseparatedValue otherwise).
std::string resultLine(double frequency, std::initializer_list<double> values);

} // namespace kd
