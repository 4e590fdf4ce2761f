#include "Summaries.h"

#include "MoneyTexts.h"
#include "MonthBounds.h"

uint32_t MinutesOfMonth(const TUsageTable& table, int month, int year) {
    return table.MinutesFromPeriod(ParseDate(MonthFirstDayText(month, year)),
                                   ParseDate(MonthLastDayText(month, year)));
}

std::string TrayHintText(const TUsageTable& table, double minuteCost, TDateTime now) {
    const CalendarDate today = SplitDate(now);
    const uint32_t monthMinutes = MinutesOfMonth(table, today.Month, today.Year);
    const uint32_t todayMinutes = table.MinutesFromPeriod(now, now);
    return "День : " + MinToTimeStr(todayMinutes) + " (" + MinToGrivn(todayMinutes, minuteCost) +
           ")\nМес.  : " + MinToTimeStr(monthMinutes) + " (" +
           MinToGrivn(monthMinutes, minuteCost) + ")";
}
