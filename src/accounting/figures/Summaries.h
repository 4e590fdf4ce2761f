#pragma once

#include "core/DateTime.h"
#include "core/ReportRange.h"
#include "files/UsageTable.h"
#include "meter/ConnectionMeter.h"

#include <cstdint>
#include <string>

// The first and last day of a month, as the month bounds give them.
DayRange MonthRange(int month, int year);

// Minutes of a whole month of the table, from its first to its last day as
// the month bounds give them.
uint32_t MinutesOfMonth(const TUsageTable& table, int month, int year);

// The tray icon's two-line hint: today's and this month's time and money, as
// the meter prices them, for the day of `now`.
std::string TrayHintText(const ConnectionMeter& meter, TDateTime now);
