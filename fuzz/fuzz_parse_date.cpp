// ParseDate and LineDate against an independent reading of the date text.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "core/DateTime.h"
#include "core/Errors.h"

namespace {

// Blanks, then `minDigits` to `maxDigits` digits, and nothing else.
std::optional<int> ReadField(std::string_view field, std::size_t minDigits, std::size_t maxDigits) {
    const std::size_t first = field.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view digits = field.substr(first);
    if (digits.size() < minDigits || digits.size() > maxDigits) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

// The date text read the plain way: three fields split at ".", day and month
// of one or two digits, a four-digit year, each after optional blanks.
std::optional<CalendarDate> ReferenceDate(std::string_view text) {
    const std::size_t firstDot = text.find('.');
    if (firstDot == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t secondDot = text.find('.', firstDot + 1);
    if (secondDot == std::string_view::npos) {
        return std::nullopt;
    }
    const auto day = ReadField(text.substr(0, firstDot), 1, 2);
    const auto month = ReadField(text.substr(firstDot + 1, secondDot - firstDot - 1), 1, 2);
    const auto year = ReadField(text.substr(secondDot + 1), 4, 4);
    if (!day || !month || !year || !IsValidDate(*year, *month, *day)) {
        return std::nullopt;
    }
    return CalendarDate{*year, *month, *day};
}

// The value or the error text of ParseDate; any other exception escapes and
// fails the run.
struct Outcome {
    std::optional<TDateTime> Value;
    std::string Error;
};

template <typename Read>
Outcome Capture(Read read) {
    try {
        return {read(), {}};
    } catch (const EConvertError& error) {
        return {std::nullopt, error.what()};
    }
}

void CheckParseDate(std::string_view text) {
    const Outcome parsed = Capture([&] { return ParseDate(text); });
    const std::optional<CalendarDate> expected = ReferenceDate(text);
    FUZZ_CHECK(parsed.Value.has_value() == expected.has_value());
    if (parsed.Value) {
        FUZZ_CHECK(DecodeDate(*parsed.Value) == *expected);
        FUZZ_CHECK(SecondsOfDay(*parsed.Value) == 0);
        FUZZ_CHECK(ParseDate(DateText(*parsed.Value)) == *parsed.Value);
    } else {
        FUZZ_CHECK(parsed.Error == AsShown(InvalidDateText(std::string(text))));
    }
}

// A session line's date is characters 2 to 11, read exactly as ParseDate
// reads them, with the same error text.
void CheckLineDate(std::string_view line) {
    const Outcome fromLine = Capture([&] { return LineDate(line); });
    const std::string_view field = line.size() > 1 ? line.substr(1, 10) : std::string_view{};
    const Outcome fromField = Capture([&] { return ParseDate(field); });
    FUZZ_CHECK(fromLine.Value == fromField.Value);
    FUZZ_CHECK(fromLine.Error == fromField.Error);
}

// Any day of years 1 to 9999 written by DateText reads back as that day.
void CheckDateTextRoundTrip(const uint8_t* data, std::size_t size) {
    if (size < 4) {
        return;
    }
    const uint32_t raw = static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
                         static_cast<uint32_t>(data[2]) << 16 |
                         static_cast<uint32_t>(data[3]) << 24;
    const TDateTime first = EncodeDate(1, 1, 1);
    const TDateTime last = EncodeDate(9999, 12, 31);
    const TDateTime day =
        first + static_cast<double>(raw % static_cast<uint32_t>(last - first + 1));
    const std::string text = DateText(day);
    FUZZ_CHECK(text.size() == 10);
    FUZZ_CHECK(ParseDate(text) == day);
    FUZZ_CHECK(LineDate("[" + text + "] 00:00-") == day);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckParseDate(text);
    CheckLineDate(text);
    CheckDateTextRoundTrip(data, size);
    return 0;
}
