#pragma once

#include "DateTime.h"
#include "UsageTable.h"

#include <cstdint>
#include <string>

// Minutes of a whole month of the table, from its first to its last day as
// the month bounds give them.
uint32_t MinutesOfMonth(const TUsageTable& table, int month, int year);

// The tray icon's two-line hint: today's and this month's time and cost at
// `minuteCost` kopecks a minute, for the day of `now`.
std::string TrayHintText(const TUsageTable& table, double minuteCost, TDateTime now);
