#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// Texts of durations and sums of money, as the pages, the tray hint and the
// session lines show them. The sums are in the reader's language. Minutes are 32-bit so long
// periods show their real length.

// "45 мин.", "2 час.", "1 ч. 15 мин.", as the history lines in the data files
// write them, in Russian whatever the language of the screen.
std::string MinToTimeStr(uint32_t minutes);
// The same duration as the screen shows it, in the reader's language.
std::string TimeText(uint32_t minutes);

// "осталось 12 дн.": the days left of a cycle, in the reader's language, whose
// plural forms a catalogue may write out in full.
std::string DaysLeftText(int days);

// Kopecks for `minutes` at `minuteCost` kopecks a minute, rounded to the
// nearest whole kopeck with halves to even. A negative tariff gives a
// negative sum; a tariff that is not a finite number counts as 0.
int64_t MinutesToKopecks(uint32_t minutes, double minuteCost);

// "18 коп.", "5 гр.", "9 гр. 72 коп."; a negative sum gets a leading "-".
std::string MinToMoney(uint32_t minutes, double minuteCost);
// The same text for a sum already in kopecks.
std::string KopecksToMoney(int64_t kopecks);

// "9,72 гр.", "0,05 гр."; a negative sum gets a leading "-".
std::string MinToGrivn(uint32_t minutes, double minuteCost);
std::string KopecksToGrivn(int64_t kopecks);

// "," in Russian: the decimal separator of the texts above, in the reader's
// language.
std::string DecimalSeparatorText();

// "1234,5": megabytes of 1,000,000 bytes with their tenths, cut rather than
// rounded, as budgets count whole megabytes.
std::string MegabyteNumber(int64_t bytes);

// The twelve month names, January first, in Russian.
extern const std::array<std::string_view, 12> MonthNames;
// The name of a month from 1 to 12 in the reader's language.
std::string MonthName(int month);
