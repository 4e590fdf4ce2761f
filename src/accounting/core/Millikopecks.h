#pragma once

#include <cstdint>
#include <span>

// Money of the plan is kept exactly, in whole millikopecks (thousandths of a
// kopeck): minutes are priced and summed as integers, and a range of days is
// rounded to kopecks once, as a whole, so no drift builds up over a cycle.

// numerator / denominator rounded to the nearest whole number, halves to the
// even one; `denominator` is positive.
int64_t DivideRoundingHalfToEven(int64_t numerator, int64_t denominator);

// The settings record's tariff (kopecks a minute, a double) in millikopecks.
// The decimal rounded is the tariff's 15 significant digits, the number the
// settings page shows, so a typed 0.5015 gives 502: the binary double just
// below it would round to 501. Halves go to the even one. A tariff that is not
// a number counts as 0; one of a million hryvnias a minute or more counts as
// exactly that.
int64_t MillikopecksOfTariff(double kopecksPerMinute);

int64_t KopecksOfMillikopecks(int64_t millikopecks);
// The money of a run of days: their millikopecks summed, then rounded.
int64_t KopecksOfDays(std::span<const int64_t> dayMillikopecks);
