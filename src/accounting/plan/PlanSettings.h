#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What "Vimo.toml" says, every part optional: an absent part means the
// program's own behaviour for it (calendar months, no budget, the tariff of
// the settings page, every interface). Money is kept in whole kopecks, or in
// millikopecks (thousandths of a kopeck) where a rate may be fractional.

// The hours of a rate rule, in minutes since midnight: From 0 to 1439, To 0
// to 1440, the end of the day ("24:00"). From > To runs past midnight;
// From == To never occurs.
struct ClockWindow {
    int From = 0;
    int To = 0;
    friend bool operator==(const ClockWindow&, const ClockWindow&) = default;
};

struct RateRule {
    // Bit 0 Monday ... bit 6 Sunday; never 0.
    uint8_t Days = 0;
    // None: the whole day.
    std::optional<ClockWindow> Hours;
    int64_t MillikopecksPerMinute = 0;
    friend bool operator==(const RateRule&, const RateRule&) = default;
};

// [plan]: present means money follows the plan rather than minutes x tariff.
struct PlanTariff {
    int64_t ConnectionFeeKopecks = 0;
    int64_t IncludedMinutes = 0;
    std::optional<int64_t> MillikopecksPerMegabyte;
    // In the file's order: the first that matches a minute prices it.
    std::vector<RateRule> Rates;
    friend bool operator==(const PlanTariff&, const PlanTariff&) = default;
};

// [budget]: the limits of one billing cycle.
struct BudgetSettings {
    std::optional<int64_t> Kopecks;
    std::optional<int64_t> Minutes;
    std::optional<int64_t> Megabytes;
    // Percents of a limit that raise a notification, ascending, no repeats.
    // Without an "alerts" key a budget that sets a limit alerts at 80 and 100;
    // "alerts = []" asks for none.
    std::vector<int> Alerts;
    // The percent of any limit at which the connection is stopped, after a
    // warning and `StopGrace` seconds; none: never.
    std::optional<int> StopAt;
    // None: kDefaultStopGrace.
    std::optional<int> StopGrace;
    int StopGraceSeconds() const { return StopGrace.value_or(kDefaultStopGrace); }
    static constexpr int kDefaultStopGrace = 60;
    friend bool operator==(const BudgetSettings&, const BudgetSettings&) = default;
};

// [counting]: which connections count.
struct CountingSettings {
    std::optional<std::vector<std::string>> Interfaces;
    std::optional<bool> MeteredOnly;
    friend bool operator==(const CountingSettings&, const CountingSettings&) = default;
};

struct PlanSettings {
    // 1 to 31; none is the calendar month.
    std::optional<int> CycleStartDay;
    std::optional<BudgetSettings> Budget;
    std::optional<PlanTariff> Plan;
    std::optional<CountingSettings> Counting;
    friend bool operator==(const PlanSettings&, const PlanSettings&) = default;
};
