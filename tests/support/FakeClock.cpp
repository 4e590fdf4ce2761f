#include "FakeClock.h"

#include <algorithm>

#include "core/DateTime.h"

void FakeClock::Set(int year, int month, int day, int hour, int minute, int second) {
    day_ = EncodeDate(year, month, day);
    seconds_ = int64_t{3600} * hour + int64_t{60} * minute + second;
}

void FakeClock::AdvanceMonths(int months) {
    const CalendarDate date = DecodeDate(day_);
    const int monthIndex = date.Year * 12 + (date.Month - 1) + months;
    const int year = monthIndex / 12;
    const int month = monthIndex % 12 + 1;
    day_ = EncodeDate(year, month, std::min(date.Day, DaysInMonth(year, month)));
}
