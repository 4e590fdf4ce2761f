#pragma once

#include <QLocale>
#include <QString>

// The separators of a locale's number form, as the tariff field uses them.
struct NumberSeparators {
    QString Decimal;
    QString Group;

    static NumberSeparators Of(const QLocale& locale);
};

// Reads the tariff field's text as a number: thousands separators are
// dropped, an empty text or "-" reads as 0, "-" followed by the separator gets
// a "0" in between, and a text without digits in front of the separator is 0.
// The integer part must be a valid integer: otherwise EConvertError
// "'%s' is not a valid integer value" with that part. The digits after the
// separator form the fraction; anything else there gives EConvertError
// "'%s' is not a valid floating point value" with the whole text. A text that
// starts with "-" is negative, also when its integer part is "-0".
double FloatFieldValue(const QString& text, const NumberSeparators& separators);

// The value with exactly one digit after the decimal separator, rounded half
// away from zero, with the integer digits grouped by three. A value that
// rounds to zero gets no sign.
QString FormatOneDecimal(double value, const NumberSeparators& separators);
