// The tariff field's number texts: reading any text either gives a finite
// value or the designed conversion error, and formatting a value gives a text
// that reads back to the value rounded to one decimal and formats to itself.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzNumberInput.h"
#include "core/Errors.h"
#include "core/NumberText.h"

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::vector<std::string_view> Split(std::string_view text, const std::string& separator) {
    if (separator.empty()) {
        return {text};
    }
    std::vector<std::string_view> parts;
    for (std::size_t at = text.find(separator);; at = text.find(separator)) {
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) {
            return parts;
        }
        text.remove_prefix(at + separator.size());
    }
}

std::string Without(std::string_view text, const std::string& part) {
    std::string result;
    for (const std::string_view piece : Split(text, part)) {
        result += piece;
    }
    return result;
}

// A formatted text: an optional "-", digit groups of three joined by the
// group separator (the first of one to three), the decimal separator and one
// digit.
bool HasOneDecimalForm(std::string_view text, const NumberSeparators& separators) {
    if (text.starts_with('-')) {
        text.remove_prefix(1);
    }
    const std::size_t tailSize = separators.Decimal.size() + 1;
    if (text.size() < tailSize ||
        !text.substr(text.size() - tailSize).starts_with(separators.Decimal) || text.back() < '0' ||
        text.back() > '9') {
        return false;
    }
    const std::vector<std::string_view> groups =
        Split(text.substr(0, text.size() - tailSize), separators.Group);
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const std::string_view group = groups[i];
        const bool sizeOk = i == 0 ? group.size() >= 1 && group.size() <= 3 : group.size() == 3;
        if (!sizeOk || group.find_first_not_of("0123456789") != std::string_view::npos) {
            return false;
        }
    }
    return true;
}

// The formatted text back to a number by plain means: separators out, the
// decimal separator as a point.
double PlainValue(const std::string& formatted, const NumberSeparators& separators) {
    const std::string ungrouped = Without(formatted, separators.Group);
    const std::vector<std::string_view> parts = Split(ungrouped, separators.Decimal);
    FUZZ_CHECK(parts.size() == 2);
    const std::string plain = std::string(parts[0]) + "." + std::string(parts[1]);
    double value = 0;
    FUZZ_CHECK(std::from_chars(plain.data(), plain.data() + plain.size(), value).ec == std::errc());
    return value;
}

void CheckFormat(double value, const NumberSeparators& separators) {
    const std::string formatted = FormatOneDecimal(value, separators);
    FUZZ_CHECK(HasOneDecimalForm(formatted, separators));
    const double tolerance = 0.05 + std::fabs(value) * 1e-14;
    FUZZ_CHECK(std::fabs(PlainValue(formatted, separators) - value) <= tolerance);
    // Formatting what the text reads back to changes nothing.
    if (std::fabs(value) < 2e9) {
        FUZZ_CHECK(FormatOneDecimal(FloatFieldValue(formatted, separators), separators) ==
                   formatted);
    }
}

void CheckRead(const std::string& text, const NumberSeparators& separators) {
    double value = 0;
    try {
        value = FloatFieldValue(text, separators);
    } catch (const EConvertError& error) {
        const std::string message = error.what();
        // The integer part's error names that part; either text may end early
        // at a NUL of the input.
        const bool integerError =
            message.front() == '\'' && (EndsWith(message, "' is not a valid integer value") ||
                                        text.find('\0') != std::string::npos);
        FUZZ_CHECK(message == AsShown(InvalidFloatText(text)) || integerError);
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
