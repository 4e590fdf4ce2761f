#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A date-time is a floating-point number of days in local time: the integer
// part counts days from 30 December 1899, the fraction is the time of day.
// The texts below are formatted and read here, in exactly these forms,
// whatever the machine's locale:
//   date text  DD.MM.YYYY   (10 characters)
//   time text  H:MM:SS      (24-hour clock, hours without a leading zero)
//   clock text HH:MM        (seconds dropped, not rounded)
// Conversions that fail throw EConvertError with the run-time's texts.
using TDateTime = double;

struct CalendarDate {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
bool IsValidDate(int year, int month, int day);

// Throws EConvertError "'%s' is not a valid date" for a day that does not exist.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second);
CalendarDate DecodeDate(TDateTime value);
// Whole seconds since midnight of the value's day, 0..86399.
int SecondsOfDay(TDateTime value);

std::string DateText(TDateTime value);
std::string TimeText(TDateTime value);
std::string ClockText(TDateTime value);

// Reads day, month and year separated by "."; blanks may stand before each
// number, day and month have one or two digits. The whole text must be used
// and name a real date. Throws EConvertError "'%s' is not a valid date".
TDateTime ParseDate(std::string_view text);

TDateTime AddDays(TDateTime value, int32_t days);
TDateTime AddMinutes(TDateTime value, int64_t minutes);

// Where a's day stands relative to b's day: -1 earlier, 0 same day, 1 later.
int CompareDays(TDateTime a, TDateTime b);

// The strict integer conversion: optional leading blanks, an optional sign,
// then decimal digits and nothing else. Throws EConvertError
// "'%s' is not a valid integer value".
int StrToInt(std::string_view text);

int YearOfDateStr(std::string_view dateText);
// Characters 2 to 11 of a session line, read with ParseDate. A line shorter
// than 11 characters throws "'%s' is not a valid date" with what it has.
TDateTime LineDate(std::string_view line);
