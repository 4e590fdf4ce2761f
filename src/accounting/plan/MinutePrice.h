#pragma once

#include <cstdint>

#include "core/DateTime.h"
#include "plan/PlanSettings.h"

// The weekday of the day of `value`: 0 Monday ... 6 Sunday.
int WeekdayOf(TDateTime value);

// Whether `rule` prices a minute of `weekday` (0 Monday) at `minuteOfDay`
// (0..1439). Hours cover [From, To), to the day's last minute when To is
// 1440 ("24:00"), past midnight when From > To; the weekday is always the
// minute's own, so a Friday 21:00-07:00 rule covers Friday's late evening
// and Friday's early morning, never Saturday's.
bool RateCovers(const RateRule& rule, int weekday, int minuteOfDay);

// A minute as the meter counts it.
struct CountedMinute {
    // Local date and time of the tick that counts it.
    TDateTime Tick = 0;
    bool FirstOfSession = false;
    // Minutes the billing cycle had counted before this one.
    int64_t CycleMinutesBefore = 0;
};

// Millikopecks of one minute under `plan`: the rate of the first rule that
// covers the tick, else `fallbackMillikopecks` (the settings page's tariff);
// nothing while the cycle is within its included minutes. The session's
// first minute adds the connection fee, within the included minutes too.
int64_t PriceMinute(const PlanTariff& plan, int64_t fallbackMillikopecks,
                    const CountedMinute& minute);
