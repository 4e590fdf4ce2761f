#include "report/SummaryWriters.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

TEST(SummaryWriters, ABudgetBreaksOnlyAboveItsLimitMoneyMinutesMegabytesUseBeforeForecast) {
    struct Figures {
        int64_t used, forecast;
        std::optional<int64_t> limit;
    };
    struct Case {
        const char* name;
        Figures kopecks, minutes, megabytes;
        std::optional<std::string> breach;
    };
    const Case cases[] = {
        {"no limits",
         {9000, 9000, std::nullopt},
         {900, 900, std::nullopt},
         {9000, 9000, std::nullopt},
         std::nullopt},
        {"use and forecast at the limits",
         {5000, 5000, 5000},
         {1200, 1200, 1200},
         {3000, 3000, 3000},
         std::nullopt},
        {"money used up",
         {5200, 6000, 5000},
         {10, 10, 1200},
         {3100, 3100, 3000},
         "Бюджет превышен: 52 гр. из 50 гр."},
        {"money's forecast before the minutes' use",
         {4000, 5001, 5000},
         {1300, 1300, 1200},
         {0, 0, std::nullopt},
         "Прогноз превышает бюджет: 50 гр. 1 коп. из 50 гр."},
        {"minutes' forecast before the megabytes' use",
         {100, 100, 5000},
         {600, 1300, 1200},
         {3100, 3100, 3000},
         "Прогноз превышает бюджет: 1300 мин. из 1200 мин."},
        {"megabytes used up",
         {100, 100, 5000},
         {600, 600, 1200},
         {3100, 9000, 3000},
         "Бюджет превышен: 3100 МБ из 3000 МБ"},
        {"megabytes' forecast",
         {100, 100, std::nullopt},
         {600, 600, std::nullopt},
         {2000, 3001, 3000},
         "Прогноз превышает бюджет: 3001 МБ из 3000 МБ"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DaySummary summary;
        summary.CycleKopecks = {c.kopecks.used, c.kopecks.forecast, c.kopecks.limit, {}, {}};
        summary.CycleMinutes = {c.minutes.used, c.minutes.forecast, c.minutes.limit, {}, {}};
        summary.CycleMegabytes = {
            c.megabytes.used, c.megabytes.forecast, c.megabytes.limit, {}, {}};
        EXPECT_EQ(BudgetBreach(summary), c.breach);
    }
}
