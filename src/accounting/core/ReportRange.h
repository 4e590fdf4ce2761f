#pragma once

#include "core/Translation.h"

#include <string_view>

#include "core/DateTime.h"

// The range of days a history report covers, from its first to its last day,
// both included.
struct DayRange {
    TDateTime First = 0;
    TDateTime Last = 0;
};

// The ranges below are read from texts by the statistics page's rules: every
// date goes through ParseDate, a month is a calendar month, and a period must
// not run backwards. A text
// that does not read throws EConvertError "'%s' is not a valid date" with the
// text as given.

// The warning of the pages for a period whose first day is after its last.
inline constexpr const char* kPeriodOrderText =
    VIMO_TEXT_NOOP("ReportRange", "Первая дата должна быть не больше второй");
// The same in the reader's language.
std::string PeriodOrderText();

// One day, "DD.MM.YYYY".
DayRange DayRangeOf(std::string_view dayText);
// A calendar month, "MM.YYYY".
DayRange MonthRangeOf(std::string_view monthText);
// The calendar month of `day`, first to last day.
DayRange CalendarMonthOf(TDateTime day);
// The days from `firstText` to `lastText`; a first day after the last throws
// Exception with kPeriodOrderText.
DayRange PeriodRangeOf(std::string_view firstText, std::string_view lastText);
