#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "plan/BillingCycle.h"

// The figures of one budget unit (kopecks or minutes) for today's cycle.
struct BudgetFigures {
    // With today.
    int64_t Used = 0;
    // At the cycle's end, at the pace so far: Used / elapsed days (today
    // included) x the cycle's days, rounded half to even.
    int64_t Forecast = 0;
    // The rest only when the budget sets a limit for the unit.
    std::optional<int64_t> Limit;
    std::optional<double> Percent;
    // What is left / the days left (today included), rounded down, never
    // below 0.
    std::optional<int64_t> AllowancePerDay;
};

BudgetFigures FiguresOf(int64_t used, std::optional<int64_t> limit, const BillingCycle& cycle,
                        TDateTime today);

// The alert thresholds (percents of `limit`) that a use of `used` has
// reached and that are not among `fired` yet in the cycle, ascending: all are
// to be recorded, the last (highest) is the one to show. A threshold the use
// had passed unrecorded (the budget was set mid-cycle, or recording a minute
// failed) fires with the next minute counted.
std::vector<int> CrossedAlerts(std::span<const int> thresholds, std::span<const int> fired,
                               int64_t used, int64_t limit);

enum class BudgetUnit { Kopecks, Minutes, Megabytes };

// An amount in a budget's unit: money as the pages write it ("40 гр."),
// minutes as plain minutes ("1200 мин.") and megabytes as "2400 МБ".
std::string BudgetAmountText(BudgetUnit unit, int64_t amount);

// "Израсходовано 80% бюджета: 40 гр. из 50 гр.": the threshold, then the use
// and the limit, money as the pages write it, minutes as plain minutes
// ("1200 мин.") and megabytes as "2400 МБ", the unit the budget is set in.
// `used` is in kopecks, minutes or, for megabytes, bytes (MegabytesUsedText).
std::string AlertText(BudgetUnit unit, int percent, int64_t used, int64_t limit);

// Bytes as megabytes of 1,000,000, cut down: whole ones from 10 MB on
// ("2400 МБ"), below that with their tenths ("0,3 МБ"), so a small budget's
// first alerts do not read "0 МБ".
std::string MegabytesUsedText(int64_t bytes);
