#include "core/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <iterator>

#include "core/DateTime.h"
#include "core/Errors.h"

namespace {

// 15 significant digits are what a double holds reliably. Rounding its longer
// expansion would turn the typed "3,65" (stored as 3.6499999999999999...) into
// "3,6" instead of "3,7".
constexpr int kSignificantDigits = 15;

constexpr std::string_view kBlanks = " \t\n\v\f\r";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsDigit);
}

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string result;
    std::size_t start = 0;
    for (std::size_t at = text.find(from); !from.empty() && at != std::string_view::npos;
         at = text.find(from, start)) {
        result.append(text.substr(start, at - start)).append(to);
        start = at + from.size();
    }
    return result.append(text.substr(start));
}

std::string DecimalDigits(long long value) {
    char buffer[24];
    const auto written = std::to_chars(std::begin(buffer), std::end(buffer), value);
    return std::string(buffer, written.ptr);
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

std::string FloatToStr(double value, std::string_view decimalSeparator) {
    if (std::isnan(value)) {
        return "NAN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "INF" : "-INF";
    }
    char buffer[64];
    const auto written = std::to_chars(std::begin(buffer), std::end(buffer), value,
                                       std::chars_format::general, kSignificantDigits);
    std::string text(buffer, written.ptr);
    // "1e-05" and "1.5e+20" are written "1E-5" and "1,5E20".
    if (const auto e = text.find('e'); e != std::string::npos) {
        std::string exponent = text.substr(e + 1);
        const bool negative = exponent.front() == '-';
        exponent.erase(0, exponent.find_first_not_of("+-0"));
        text = text.substr(0, e) + "E" + (negative ? "-" : "") + exponent;
    }
    return ReplaceAll(text, ".", decimalSeparator);
}

double StrToFloat(std::string_view text, std::string_view decimalSeparator) {
    const auto invalid = [text] { return EConvertError(InvalidFloatText(std::string(text))); };
    const std::string_view trimmed = TrimBlanks(text);
    std::size_t i = 0;
    const auto at = [&](std::string_view choices) {
        return i < trimmed.size() && choices.find(trimmed[i]) != std::string_view::npos;
    };
    // The text rewritten in the form from_chars reads: no "+" in front, a
    // point for the separator.
    std::string plain;
    if (at("+-")) {
        if (trimmed[i] == '-') {
            plain += '-';
        }
        ++i;
    }
    int digits = 0;
    bool separatorSeen = false;
    while (i < trimmed.size()) {
        if (IsDigit(trimmed[i])) {
            plain += trimmed[i++];
            ++digits;
        } else if (!separatorSeen && !decimalSeparator.empty() &&
                   trimmed.substr(i).starts_with(decimalSeparator)) {
            plain += '.';
            separatorSeen = true;
            i += decimalSeparator.size();
        } else {
            break;
        }
    }
    if (digits == 0) {
        throw invalid();
    }
    if (at("eE")) {
        plain += 'e';
        ++i;
        if (at("+-")) {
            plain += trimmed[i++];
        }
        const std::size_t exponentStart = i;
        while (i < trimmed.size() && IsDigit(trimmed[i])) {
            plain += trimmed[i++];
        }
        if (i == exponentStart) {
            throw invalid();
        }
    }
    if (i != trimmed.size()) {
        throw invalid();
    }
    double value = 0;
    const char* last = plain.data() + plain.size();
    const auto [end, error] = std::from_chars(plain.data(), last, value);
    if (error != std::errc() || end != last || !std::isfinite(value)) {
        throw invalid();
    }
    return value;
}

double FloatFieldValue(std::string_view text, const NumberSeparators& separators) {
    std::string number = ReplaceAll(text, separators.Group, "");
    if (number.empty() || number == "-") {
        number = "0";
    }
    const std::string& decimal = separators.Decimal;
    if (!decimal.empty() && number.starts_with("-" + decimal)) {
        number.insert(1, "0");
    }
    const std::size_t separatorAt = decimal.empty() ? std::string::npos : number.find(decimal);
    const std::string_view integerPart = std::string_view(number).substr(0, separatorAt);
    if (integerPart.empty()) {
        return 0.0;
    }
    const int whole = StrToInt(integerPart);
    const std::string_view fraction =
        separatorAt == std::string::npos
            ? std::string_view()
            : std::string_view(number).substr(separatorAt + decimal.size());
    const auto invalid = [text] { return EConvertError(InvalidFloatText(std::string(text))); };
    if (!AllDigits(fraction)) {
        throw invalid();
    }
    // Read as one decimal text, so the result is the double nearest to what
    // was typed ("3,65" is the same 3.65 as in the program's source).
    const std::string plain = DecimalDigits(std::llabs(whole)) + "." + std::string(fraction);
    double magnitude = 0;
    const char* last = plain.data() + plain.size();
    if (std::from_chars(plain.data(), last, magnitude).ec != std::errc()) {
        throw invalid();
    }
    // StrToInt took the integer part, so a "-" in it can only be its sign,
    // which may stand behind leading blanks (" -5").
    const bool negative = integerPart.find('-') != std::string_view::npos;
    return negative ? -magnitude : magnitude;
}

std::string FormatOneDecimal(double value, const NumberSeparators& separators) {
    if (!std::isfinite(value)) {
        value = 0;  // no text stands for it; the field shows zero
    }
    const double magnitude = std::fabs(value);
    const int exponent = magnitude == 0.0 ? 0 : static_cast<int>(std::floor(std::log10(magnitude)));
    const int decimals = std::max(2, kSignificantDigits - 1 - exponent);
    // The longest texts are the largest double's 309 digits with 2 decimals
    // and the smallest one's "0." with 338.
    char buffer[400];
    const auto written = std::to_chars(std::begin(buffer), std::end(buffer), magnitude,
                                       std::chars_format::fixed, decimals);
    const std::string_view fixed(buffer, written.ptr);
    const std::size_t point = fixed.find('.');

    // Tenths as one digit string, rounded at the hundredths, halves up.
    std::string tenths = std::string(fixed.substr(0, point)) + fixed[point + 1];
    if (fixed[point + 2] >= '5') {
        tenths = Increment(tenths);
    }
    const std::string_view integerDigits = std::string_view(tenths).substr(0, tenths.size() - 1);
    const bool zero = tenths.find_first_not_of('0') == std::string::npos;

    std::string result = (value < 0 && !zero) ? "-" : "";
    for (std::size_t i = 0; i < integerDigits.size(); ++i) {
        if (i > 0 && (integerDigits.size() - i) % 3 == 0) {
            result += separators.Group;
        }
        result += integerDigits[i];
    }
    return result + separators.Decimal + tenths.back();
}
