#include <gtest/gtest.h>

#include "plan/Budget.h"

namespace {

TEST(Budget, FiguresOfTodaysCycle) {
    // 14.11.2026-13.12.2026: on 08.12 25 days have passed and 6 are left, today in both.
    const BillingCycle cycle = CycleOf(ParseDate("08.12.2026"), 14);
    const TDateTime today = EncodeDateTime(2026, 12, 8, 15, 0, 0);
    struct Case {
        int64_t used;
        std::optional<int64_t> limit;
        TDateTime today;
        int64_t forecast;
        std::optional<double> percent;
        std::optional<int64_t> allowance;
    };
    const Case cases[] = {
        {4000, 5000, today, 4800, 80.0, 166},
        {5500, 5000, today, 6600, 110.0, 0},
        {4000, std::nullopt, today, 4800, std::nullopt, std::nullopt},
        // The first day: the forecast is a whole cycle at today's pace.
        {7, 100, ParseDate("14.11.2026"), 210, 7.0, 3},
        // Forecasts round halves to even: 1 / 4 x 30 is 7.5, 3 / 4 x 30 is 22.5.
        {1, std::nullopt, ParseDate("17.11.2026"), 8, std::nullopt, std::nullopt},
        {3, std::nullopt, ParseDate("17.11.2026"), 22, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        const BudgetFigures f = FiguresOf(c.used, c.limit, cycle, c.today);
        const std::string label = std::to_string(c.used) + " on " + DateText(c.today);
        EXPECT_EQ(f.Forecast, c.forecast) << label;
        EXPECT_EQ(f.Percent, c.percent) << label;
        EXPECT_EQ(f.AllowancePerDay, c.allowance) << label;
    }
}

TEST(Budget, AlertsFireOnceWhenReached) {
    struct Case {
        std::vector<int> thresholds;
        std::vector<int> fired;
        int64_t used;
        int64_t limit;
        std::vector<int> crossed;
    };
    const Case cases[] = {
        {{80, 100}, {}, 3999, 5000, {}},
        {{80, 100}, {}, 4000, 5000, {80}},
        // Past two thresholds at once: both are recorded, the higher is shown.
        {{80, 100}, {}, 5001, 5000, {80, 100}},
        {{80, 100}, {80}, 4010, 5000, {}},
        {{80, 100}, {80}, 5000, 5000, {100}},
        // 80% of 3 minutes is 2.4: reached with the third minute.
        {{80}, {}, 2, 3, {}},
        {{80}, {}, 3, 3, {80}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CrossedAlerts(c.thresholds, c.fired, c.used, c.limit), c.crossed)
            << c.used << " of " << c.limit;
    }
}

// Megabytes are used in bytes, cut down: whole from 10 MB on, with their
// tenths below, so a small budget's first alert does not read "0 МБ".
TEST(Budget, AlertTexts) {
    const struct {
        BudgetUnit unit;
        int percent;
        int64_t used, limit;
        const char* text;
    } cases[] = {
        {BudgetUnit::Kopecks, 80, 4002, 5000, "Израсходовано 80% бюджета: 40 гр. 2 коп. из 50 гр."},
        {BudgetUnit::Minutes, 100, 1200, 1200,
         "Израсходовано 100% бюджета: 1200 мин. из 1200 мин."},
        {BudgetUnit::Megabytes, 10, 399'999, 3, "Израсходовано 10% бюджета: 0,3 МБ из 3 МБ"},
        {BudgetUnit::Megabytes, 80, 9'999'999, 12, "Израсходовано 80% бюджета: 9,9 МБ из 12 МБ"},
        {BudgetUnit::Megabytes, 80, 10'000'000, 12, "Израсходовано 80% бюджета: 10 МБ из 12 МБ"},
        {BudgetUnit::Megabytes, 80, 2'400'999'999, 3000,
         "Израсходовано 80% бюджета: 2400 МБ из 3000 МБ"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AlertText(c.unit, c.percent, c.used, c.limit), c.text);
    }
}

}  // namespace
