#pragma once

#include "core/DateTime.h"
#include "meter/Ledger.h"

#include <cstdint>
#include <string>

// The main page's sum of a run of days: "1 ч. 15 мин." and its money.
struct UseTexts {
    std::string Time;
    std::string Money;
};

// The time and money of the days from `first` to `last`, as the ledger
// prices them.
UseTexts UseTextsOf(const Ledger& books, TDateTime first, TDateTime last);

// The same of a whole month, from its first to its last day as the month
// bounds give them.
UseTexts MonthUseTexts(const Ledger& books, int month, int year);

// The tray icon's two-line hint: today's and this month's time and money, as
// the ledger prices them, for the day of `now`; and a third line while a
// stop at the budget is pending ("Отключение в 14:05").
std::string TrayHintText(const Ledger& books, TDateTime now);
