#include "figures/Summaries.h"

#include "core/MoneyTexts.h"
#include "core/MonthBounds.h"
#include "core/Translation.h"

UseTexts UseTextsOf(const Ledger& books, TDateTime first, TDateTime last) {
    return {TimeText(books.MinutesOf(first, last)), KopecksToMoney(books.KopecksOf(first, last))};
}

UseTexts MonthUseTexts(const Ledger& books, int month, int year) {
    const DayRange range = MonthDays(month, year);
    return UseTextsOf(books, range.First, range.Last);
}

std::string TrayHintText(const Ledger& books, TDateTime now) {
    const CalendarDate today = SplitDate(now);
    const DayRange month = MonthDays(today.Month, today.Year);
    std::string tip =
        FillText(TranslateText("TrayTip", "День : %1 (%2)\nМес.  : %3 (%4)"),
                 {TimeText(books.MinutesOf(now, now)), KopecksToGrivn(books.KopecksOf(now, now)),
                  TimeText(books.MinutesOf(month.First, month.Last)),
                  KopecksToGrivn(books.KopecksOf(month.First, month.Last))});
    // A stop that is coming is worth the one line more.
    if (const std::optional<StopState> stop = books.StopOf(now);
        stop && stop->Phase == StopPhase::Pending) {
        tip += "\n" + StopStateText(*stop, now);
    }
    return tip;
}
