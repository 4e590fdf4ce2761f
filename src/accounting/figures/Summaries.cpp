#include "figures/Summaries.h"

#include "core/MoneyTexts.h"
#include "core/MonthBounds.h"

DayRange MonthRange(int month, int year) {
    return {ParseDate(MonthFirstDayText(month, year)), ParseDate(MonthLastDayText(month, year))};
}

uint32_t MinutesOfMonth(const TUsageTable& table, int month, int year) {
    const DayRange range = MonthRange(month, year);
    return table.MinutesFromPeriod(range.First, range.Last);
}

std::string TrayHintText(const ConnectionMeter& meter, TDateTime now) {
    const CalendarDate today = SplitDate(now);
    const DayRange month = MonthRange(today.Month, today.Year);
    const TUsageTable& table = meter.UsageTable();
    const uint32_t monthMinutes = table.MinutesFromPeriod(month.First, month.Last);
    const uint32_t todayMinutes = table.MinutesFromPeriod(now, now);
    return "День : " + MinToTimeStr(todayMinutes) + " (" +
           KopecksToGrivn(meter.KopecksOf(now, now)) + ")\nМес.  : " + MinToTimeStr(monthMinutes) +
           " (" + KopecksToGrivn(meter.KopecksOf(month.First, month.Last)) + ")";
}
