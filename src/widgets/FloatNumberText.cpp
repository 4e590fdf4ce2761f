#include "FloatNumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "DateTime.h"
#include "Errors.h"

namespace {

// 15 significant digits are what a double holds reliably. Rounding its longer
// expansion would turn the typed "3,65" (stored as 3.6499999999999999...) into
// "3,6" instead of "3,7".
constexpr int kSignificantDigits = 15;

bool AllDigits(const QString& text) {
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

// Adds one to a string of decimal digits.
std::string Increment(std::string digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return digits;
        }
        *it = '0';
    }
    return "1" + digits;
}

}  // namespace

NumberSeparators NumberSeparators::Of(const QLocale& locale) {
    return NumberSeparators{locale.decimalPoint(), locale.groupSeparator()};
}

double FloatFieldValue(const QString& text, const NumberSeparators& separators) {
    QString number = text;
    if (!separators.Group.isEmpty()) {
        number.remove(separators.Group);
    }
    if (number.isEmpty() || number == QLatin1String("-")) {
        number = QStringLiteral("0");
    }
    if (number.startsWith(QLatin1Char('-') + separators.Decimal)) {
        number.insert(1, QLatin1Char('0'));
    }
    const qsizetype separatorAt = number.indexOf(separators.Decimal);
    const QString integerPart = separatorAt < 0 ? number : number.left(separatorAt);
    if (integerPart.isEmpty()) {
        return 0.0;
    }
    const int whole = StrToInt(integerPart.toStdString());
    const QString fraction =
        separatorAt < 0 ? QString() : number.mid(separatorAt + separators.Decimal.size());
    if (!AllDigits(fraction)) {
        throw EConvertError(InvalidFloatText(text.toStdString()));
    }
    const std::string plain = std::to_string(std::abs(static_cast<long long>(whole))) + "." +
                              fraction.toStdString() + "0";
    const double magnitude = std::strtod(plain.c_str(), nullptr);
    return number.startsWith(QLatin1Char('-')) ? -magnitude : magnitude;
}

QString FormatOneDecimal(double value, const NumberSeparators& separators) {
    if (!std::isfinite(value)) {
        value = 0;  // no text stands for it; the field shows zero
    }
    const double magnitude = std::fabs(value);
    const int exponent = magnitude == 0.0 ? 0 : static_cast<int>(std::floor(std::log10(magnitude)));
    const int decimals = std::max(2, kSignificantDigits - 1 - exponent);
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, magnitude);
    const std::string fixed = buffer;
    const std::size_t point = fixed.find('.');

    // Tenths as one digit string, rounded at the hundredths, halves up.
    std::string tenths = fixed.substr(0, point) + fixed[point + 1];
    if (fixed[point + 2] >= '5') {
        tenths = Increment(tenths);
    }
    const std::string integerDigits = tenths.substr(0, tenths.size() - 1);
    const bool zero = tenths.find_first_not_of('0') == std::string::npos;

    QString grouped;
    for (std::size_t i = 0; i < integerDigits.size(); ++i) {
        if (i > 0 && (integerDigits.size() - i) % 3 == 0) {
            grouped += separators.Group;
        }
        grouped += QLatin1Char(integerDigits[i]);
    }
    QString result = (value < 0 && !zero) ? QStringLiteral("-") : QString();
    return result + grouped + separators.Decimal + QLatin1Char(tenths.back());
}
