#pragma once

#include <string>
#include <string_view>

// The program's number texts, in the user's number form but never through the
// C library's locale: the Qt application sets that from the environment, and
// its printf/strtod would then write and read the locale's own separators
// behind the caller's back. All texts are UTF-8; conversions that fail throw
// EConvertError with the run-time's texts.

// The separators of the user's number form, UTF-8 (the program takes them from QLocale).
struct NumberSeparators {
    std::string Decimal = ".";
    std::string Group;
};

// The general form: up to 15 significant digits, no trailing zeros, and an
// exponent ("1E-5", "1,5E20") only where the plain form would need more than
// 15 digits. 3.6 gives "3,6" with a comma separator; NaN and the infinities
// give "NAN", "INF" and "-INF".
std::string FloatToStr(double value, std::string_view decimalSeparator);

// Reads blanks, an optional sign, digits with at most one separator (at least
// one digit in all), an optional exponent, blanks. The blanks are the ASCII
// ones (space, tab, line breaks, vertical tab, form feed); other Unicode
// spaces are no blanks here. A text that does not read so, or names a number
// too large for a double, throws EConvertError
// "'%s' is not a valid floating point value".
double StrToFloat(std::string_view text, std::string_view decimalSeparator);

// Reads the tariff field's text as a number: group separators are dropped, an
// empty text or "-" reads as 0, "-" followed by the decimal separator gets a
// "0" in between, and a text without digits in front of the separator is 0.
// The integer part must be a valid integer (see StrToInt): otherwise
// EConvertError "'%s' is not a valid integer value" with that part. The digits
// after the separator form the fraction; anything else there gives
// EConvertError "'%s' is not a valid floating point value" with the whole
// text. An integer part with a "-" sign is negative, also when it is "-0".
double FloatFieldValue(std::string_view text, const NumberSeparators& separators);

// The value with exactly one digit after the decimal separator, rounded half
// away from zero, with the integer digits grouped by three. A value that
// rounds to zero gets no sign; NaN and the infinities show as zero.
std::string FormatOneDecimal(double value, const NumberSeparators& separators);
