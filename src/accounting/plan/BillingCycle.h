#pragma once

#include <vector>

#include "core/DateTime.h"

// A billing cycle runs from its start day to the day before the next one.
// Each month's start has the same day number; in a month with fewer days the
// cycle starts on that month's last day. Start day 1 gives the calendar month.
// Days are whole TDateTime values; `startDay` is 1 to 31.
struct BillingCycle {
    TDateTime First = 0;
    TDateTime Last = 0;
    int Days() const { return static_cast<int>(Last - First) + 1; }
    friend bool operator==(const BillingCycle&, const BillingCycle&) = default;
};

// The cycle that holds the day of `day`.
BillingCycle CycleOf(TDateTime day, int startDay);

// The `count` cycles that end with the one of `day`, oldest first.
std::vector<BillingCycle> CyclesUpTo(TDateTime day, int startDay, int count);

// Days of `cycle` up to `today` and from `today` on, each with today itself.
// A day outside the cycle counts as the nearer of its ends.
int ElapsedDays(const BillingCycle& cycle, TDateTime today);
int DaysLeft(const BillingCycle& cycle, TDateTime today);
