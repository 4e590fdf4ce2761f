#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "figures/DaySummary.h"

// vimo-report's summary of a day, written from DaySummary.

// The figures as one line of JSON (UTF-8, no spaces):
//   {"date", "today": {minutes, kopecks, rx_bytes, tx_bytes},
//    "month": {first, last, minutes, kopecks, rx_bytes, tx_bytes},
//    "cycle": {first, last, days, days_left, minutes, kopecks,
//              forecast_minutes, forecast_kopecks, rx_bytes, tx_bytes},
//    "budget": null | {kopecks, minutes, percent_kopecks, percent_minutes,
//                      allowance_kopecks_per_day, allowance_minutes_per_day,
//                      alerts_fired, megabytes, percent_megabytes,
//                      allowance_megabytes_per_day},
//    "session": null | {start, minutes, address, left_over, rx_bytes,
//                       tx_bytes}}
// Dates are DD.MM.YYYY; money is whole kopecks; bytes are received (rx) and
// sent (tx), null for a session "Vimo.db" holds nothing of; a budget value
// is null for a unit the budget sets no limit for; percents are rounded to
// one decimal.
void WriteSummaryJson(std::ostream& out, const DaySummary& summary,
                      const std::optional<SessionInProgress>& session);

// The figures as a few lines of Russian text, money and durations as the
// pages write them, bytes as megabytes with their tenths.
void WriteSummaryText(std::ostream& out, const DaySummary& summary,
                      const std::optional<SessionInProgress>& session);

// The first budget the cycle breaks, money, then minutes, then megabytes,
// its use before its forecast; only a figure above the limit breaks it:
//   "Бюджет превышен: 52 гр. из 50 гр."
//   "Прогноз превышает бюджет: 1300 мин. из 1200 мин."
//   "Бюджет превышен: 3100 МБ из 3000 МБ"
// None while the cycle is within every budget, or without a budget.
std::optional<std::string> BudgetBreach(const DaySummary& summary);
