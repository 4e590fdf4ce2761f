#include "core/ReportRange.h"

#include <string>

#include "core/Errors.h"

DayRange DayRangeOf(std::string_view dayText) {
    const TDateTime day = ParseDate(dayText);
    return {day, day};
}

DayRange MonthRangeOf(std::string_view monthText) {
    // The month and year are read as the date of the month's first day, so
    // they follow the date reader's rules for blanks and digits. The last day
    // is the calendar's, which is MonthBounds.h's in every year of the table
    // and also right in the years divisible by 100 around it.
    TDateTime first = 0;
    try {
        first = ParseDate("01." + std::string(monthText));
    } catch (const EConvertError&) {
        throw EConvertError(InvalidDateText(std::string(monthText)));
    }
    return CalendarMonthOf(first);
}

DayRange CalendarMonthOf(TDateTime day) {
    const CalendarDate date = DecodeDate(day);
    return {EncodeDate(date.Year, date.Month, 1),
            EncodeDate(date.Year, date.Month, DaysInMonth(date.Year, date.Month))};
}

DayRange PeriodRangeOf(std::string_view firstText, std::string_view lastText) {
    const DayRange range{DayRangeOf(firstText).First, DayRangeOf(lastText).Last};
    if (CompareDays(range.First, range.Last) == 1) {
        throw Exception(PeriodOrderText());
    }
    return range;
}

std::string PeriodOrderText() {
    return TranslateText("ReportRange", kPeriodOrderText);
}
