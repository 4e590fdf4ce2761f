#include "core/DateTime.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "core/Errors.h"

namespace {

constexpr int64_t kMsPerDay = 86'400'000;

// Days from 1 March of year 0 in the proleptic Gregorian calendar; the
// well-known civil-date conversion, exact for every year we meet.
constexpr int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CalendarDate CivilFromDays(int64_t z) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {static_cast<int>(era * 400 + yoe + (month <= 2 ? 1 : 0)), month, day};
}

// Constant, so dates made while other files' globals are initialised are right.
constexpr int64_t kEpochDays = DaysFromCivil(1899, 12, 30);

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// The value in whole milliseconds; the date and the time of day are both
// taken from this one rounding so they always agree.
int64_t TotalMilliseconds(TDateTime value) {
    constexpr double kLimit = 1e15;  // far beyond any date, well inside int64
    const double ms = std::round(value * static_cast<double>(kMsPerDay));
    if (!(ms > -kLimit))
        return static_cast<int64_t>(-kLimit);
    if (!(ms < kLimit))
        return static_cast<int64_t>(kLimit);
    return static_cast<int64_t>(ms);
}

// Reads 1 to `maxDigits` decimal digits after optional blanks.
bool ReadNumber(std::string_view text, std::size_t& pos, int maxDigits, int minDigits, int& value) {
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    const std::size_t start = pos;
    value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' &&
           static_cast<int>(pos - start) < maxDigits) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    const auto digits = static_cast<int>(pos - start);
    return digits >= minDigits && !(pos < text.size() && text[pos] >= '0' && text[pos] <= '9');
}

}  // namespace

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month);
}

TDateTime EncodeDate(int year, int month, int day) {
    if (!IsValidDate(year, month, day)) {
        char text[32];
        std::snprintf(text, sizeof text, "%02d.%02d.%04d", day, month, year);
        throw EConvertError(InvalidDateText(text));
    }
    return static_cast<double>(DaysFromCivil(year, month, day) - kEpochDays);
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second) {
    return EncodeDate(year, month, day) + (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

CalendarDate DecodeDate(TDateTime value) {
    return CivilFromDays(FloorDiv(TotalMilliseconds(value), kMsPerDay) + kEpochDays);
}

int SecondsOfDay(TDateTime value) {
    const int64_t ms = TotalMilliseconds(value);
    return static_cast<int>((ms - FloorDiv(ms, kMsPerDay) * kMsPerDay) / 1000);
}

std::string DateText(TDateTime value) {
    const CalendarDate d = DecodeDate(value);
    char text[32];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", d.Day, d.Month, d.Year);
    return text;
}

std::string TimeText(TDateTime value) {
    const int s = SecondsOfDay(value);
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
    return text;
}

std::string ClockText(TDateTime value) {
    std::string t = TimeText(value);
    if (t.size() == 7) {
        t.insert(t.begin(), '0');
    }
    return t.substr(0, 5);
}

TDateTime ParseDate(std::string_view text) {
    std::size_t pos = 0;
    int day = 0;
    int month = 0;
    int year = 0;
    // Two-digit years are refused rather than guessed into a century.
    const bool ok = ReadNumber(text, pos, 2, 1, day) && pos < text.size() && text[pos++] == '.' &&
                    ReadNumber(text, pos, 2, 1, month) && pos < text.size() && text[pos++] == '.' &&
                    ReadNumber(text, pos, 4, 4, year) && pos == text.size() &&
                    IsValidDate(year, month, day);
    if (!ok) {
        throw EConvertError(InvalidDateText(std::string(text)));
    }
    return EncodeDate(year, month, day);
}

TDateTime AddDays(TDateTime value, int32_t days) {
    return value + days;
}

TDateTime AddMinutes(TDateTime value, int64_t minutes) {
    return (value * 1440.0 + static_cast<double>(minutes)) / 1440.0;
}

int CompareDays(TDateTime a, TDateTime b) {
    if (std::trunc(a) == std::trunc(b))
        return 0;
    return a >= b ? 1 : -1;
}

int StrToInt(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    int64_t value = 0;
    const std::size_t start = pos;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
        if (value > int64_t{std::numeric_limits<int>::max()} + 1)
            break;
    }
    if (negative)
        value = -value;
    if (pos == start || pos != text.size() || value > std::numeric_limits<int>::max() ||
        value < std::numeric_limits<int>::min()) {
        throw EConvertError(InvalidIntegerText(std::string(text)));
    }
    return static_cast<int>(value);
}

int YearOfDateStr(std::string_view dateText) {
    return StrToInt(dateText.size() > 6 ? dateText.substr(6, 4) : std::string_view{});
}

TDateTime LineDate(std::string_view line) {
    return ParseDate(line.size() > 1 ? line.substr(1, 10) : std::string_view{});
}
