// The tariff field's number texts: reading any text either gives a finite
// value or the designed conversion error, and formatting a value gives a text
// that reads back to the value rounded to one decimal and formats to itself.
#include <QString>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "Errors.h"
#include "FloatNumberText.h"
#include "FuzzCheck.h"
#include "FuzzNumberInput.h"

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// A formatted text: an optional "-", digit groups of three joined by the
// group separator (the first of one to three), the decimal separator and one
// digit.
bool HasOneDecimalForm(const QString& text, const NumberSeparators& separators) {
    QString rest = text;
    if (rest.startsWith(QLatin1Char('-'))) {
        rest.remove(0, 1);
    }
    const QString tail = rest.right(separators.Decimal.size() + 1);
    if (!tail.startsWith(separators.Decimal) || !tail.back().isDigit()) {
        return false;
    }
    const QString integer = rest.left(rest.size() - tail.size());
    const QStringList groups =
        separators.Group.isEmpty() ? QStringList{integer} : integer.split(separators.Group);
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const QString& group = groups[i];
        const bool sizeOk = i == 0 ? group.size() >= 1 && group.size() <= 3 : group.size() == 3;
        if (!sizeOk) {
            return false;
        }
        for (const QChar c : group) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
                return false;
            }
        }
    }
    return true;
}

// The formatted text back to a number by plain means: separators out, the
// decimal separator as a point.
double PlainValue(const QString& formatted, const NumberSeparators& separators) {
    QString plain = formatted;
    if (!separators.Group.isEmpty()) {
        plain.remove(separators.Group);
    }
    plain.replace(separators.Decimal, QStringLiteral("."));
    return std::strtod(plain.toStdString().c_str(), nullptr);
}

void CheckFormat(double value, const NumberSeparators& separators) {
    const QString formatted = FormatOneDecimal(value, separators);
    FUZZ_CHECK(HasOneDecimalForm(formatted, separators));
    const double tolerance = 0.05 + std::fabs(value) * 1e-14;
    FUZZ_CHECK(std::fabs(PlainValue(formatted, separators) - value) <= tolerance);
    // Formatting what the text reads back to changes nothing.
    if (std::fabs(value) < 2e9) {
        FUZZ_CHECK(FormatOneDecimal(FloatFieldValue(formatted, separators), separators) ==
                   formatted);
    }
}

void CheckRead(const QString& text, const NumberSeparators& separators) {
    double value = 0;
    try {
        value = FloatFieldValue(text, separators);
    } catch (const EConvertError& error) {
        const std::string message = error.what();
        // The integer part's error names that part; either text may end early
        // at a NUL of the input.
        const bool integerError =
            message.front() == '\'' &&
            (EndsWith(message, "' is not a valid integer value") || text.contains(QChar(u'\0')));
        FUZZ_CHECK(message == AsShown(InvalidFloatText(text.toStdString())) || integerError);
        return;
    }
    FUZZ_CHECK(std::isfinite(value));
    CheckFormat(value, separators);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const FuzzNumberInput input = DecodeNumberInput(data, size);
    CheckRead(input.Text, input.Separators);
    // The same bytes as a double, for values no text of the field reaches.
    if (size >= 2 + sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data + 2, sizeof value);
        if (std::isfinite(value)) {
            CheckFormat(value, input.Separators);
        }
    }
    return 0;
}
