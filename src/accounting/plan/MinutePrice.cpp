#include "plan/MinutePrice.h"

#include <algorithm>

namespace {

// 30 December 1899, day 0, was a Saturday.
constexpr int kWeekdayOfDayZero = 5;

}  // namespace

int WeekdayOf(TDateTime value) {
    const CalendarDate date = DecodeDate(value);
    const auto day = static_cast<int64_t>(EncodeDate(date.Year, date.Month, date.Day));
    return static_cast<int>(((day + kWeekdayOfDayZero) % 7 + 7) % 7);
}

bool RateCovers(const RateRule& rule, int weekday, int minuteOfDay) {
    if ((rule.Days & (1u << weekday)) == 0) {
        return false;
    }
    if (!rule.Hours) {
        return true;
    }
    const auto [from, to] = *rule.Hours;
    return from < to ? minuteOfDay >= from && minuteOfDay < to
                     : minuteOfDay >= from || minuteOfDay < to;
}

int64_t PriceMinute(const PlanTariff& plan, int64_t fallbackMillikopecks,
                    const CountedMinute& minute) {
    const int64_t fee = minute.FirstOfSession ? plan.ConnectionFeeKopecks * 1000 : 0;
    if (minute.CycleMinutesBefore < plan.IncludedMinutes) {
        return fee;
    }
    const int weekday = WeekdayOf(minute.Tick);
    const int minuteOfDay = SecondsOfDay(minute.Tick) / 60;
    const auto rule = std::find_if(plan.Rates.begin(), plan.Rates.end(), [&](const RateRule& r) {
        return RateCovers(r, weekday, minuteOfDay);
    });
    return fee + (rule != plan.Rates.end() ? rule->MillikopecksPerMinute : fallbackMillikopecks);
}
