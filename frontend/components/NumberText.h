#pragma once

// The one text form of numbers in the front end, and the one strict reader
// of number texts. Both take the decimal separator as a parameter: the
// locale's on screen, always "." in files.

#include "Extended.h"

#include <QChar>
#include <QString>
#include <QStringView>

// General number text with `digits` significant digits (1 to 21): the value
// rounded (halves away from zero), trailing zeros dropped, no separator when
// no decimals remain. Fixed notation when the rounded value is 0 or at least
// 0.0001 in magnitude with at most `digits` digits before the separator;
// otherwise d.dddE[-]x with at least `minExponentDigits` exponent digits.
// A value that is not finite raises EInvalidOp.
QString generalNumberText(Extended value, int digits, QChar separator, int minExponentDigits = 1);

// The number text of the project file: 8 significant digits and ".".
QString fileNumberText(Extended value);

// The locale's decimal separator, for texts the user sees and types.
QChar localeDecimalSeparator();

// Reads [sign] digits [separator digits] [e|E [sign] digits] and nothing
// else: no blanks, "inf", "nan", hexadecimal or partial numbers. At least one
// mantissa digit is needed. A value beyond the Extended range is refused;
// one below it reads as the nearest representable value.
bool parseNumber(QStringView text, QChar separator, Extended& value);
