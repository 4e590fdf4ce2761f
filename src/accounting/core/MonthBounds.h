#pragma once

#include <string>

#include "core/ReportRange.h"

// The first and last day of a month as the pages build them: "01." + month +
// "." + year and "31."/"30."/"29."/"28." + month + "." + year, with month and
// year without leading zeros (01.8.2003, 31.8.2003). February has 29 days in
// years divisible by 4, which is exact for every year the table covers.
std::string MonthFirstDayText(int month, int year);
std::string MonthLastDayText(int month, int year);
// The same month's days, for summing.
DayRange MonthDays(int month, int year);
