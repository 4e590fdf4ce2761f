#include "plan/BillingCycle.h"

#include <algorithm>

namespace {

TDateTime Encode(const CalendarDate& date) {
    return EncodeDate(date.Year, date.Month, date.Day);
}

// The whole day of a date-time, as DecodeDate reads it.
TDateTime DayOf(TDateTime value) {
    return Encode(DecodeDate(value));
}

CalendarDate StartIn(int year, int month, int startDay) {
    return {year, month, std::min(startDay, DaysInMonth(year, month))};
}

CalendarDate StartInNeighbour(const CalendarDate& start, int months, int startDay) {
    const int index = start.Year * 12 + (start.Month - 1) + months;
    return StartIn(index / 12, index % 12 + 1, startDay);
}

int Clamped(const BillingCycle& cycle, double days) {
    return std::clamp(static_cast<int>(days), 1, cycle.Days());
}

}  // namespace

BillingCycle CycleOf(TDateTime day, int startDay) {
    const CalendarDate date = DecodeDate(day);
    CalendarDate start = StartIn(date.Year, date.Month, startDay);
    if (date.Day < start.Day) {
        start = StartInNeighbour(start, -1, startDay);
    }
    return {Encode(start), Encode(StartInNeighbour(start, 1, startDay)) - 1};
}

std::vector<BillingCycle> CyclesUpTo(TDateTime day, int startDay, int count) {
    std::vector<BillingCycle> cycles;
    for (BillingCycle cycle = CycleOf(day, startDay); static_cast<int>(cycles.size()) < count;
         cycle = CycleOf(cycle.First - 1, startDay)) {
        cycles.push_back(cycle);
    }
    std::reverse(cycles.begin(), cycles.end());
    return cycles;
}

int ElapsedDays(const BillingCycle& cycle, TDateTime today) {
    return Clamped(cycle, DayOf(today) - cycle.First + 1);
}

int DaysLeft(const BillingCycle& cycle, TDateTime today) {
    return Clamped(cycle, cycle.Last - DayOf(today) + 1);
}
