#pragma once

#include <QString>

// The run-time's conversions between floating-point numbers and texts, with
// the decimal separator given (the user's, in the program).

// The general form: up to 15 significant digits, no trailing zeros, and an
// exponent ("1E-5", "1,5E20") only where the plain form would need more than
// 15 digits. 3.6 gives "3,6" with a comma separator.
QString FloatToStr(double value, const QString& decimalSeparator);

// Reads blanks, an optional sign, digits with at most one separator (at least
// one digit in all), an optional exponent, blanks. A text that does not read
// so, or names a number too large for a double, throws EConvertError
// "'%s' is not a valid floating point value".
double StrToFloat(const QString& text, const QString& decimalSeparator);
