#include "FakeClock.h"
#include "TempDir.h"
#include "figures/DaySummary.h"
#include "meter/ConnectionMeter.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>

namespace fs = std::filesystem;

namespace {

// Every file of a folder with a digest of its bytes.
std::map<std::string, std::size_t> FolderState(const fs::path& folder) {
    std::map<std::string, std::size_t> state;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        state[entry.path().filename().string()] = std::hash<std::string>{}(ReadBytes(entry.path()));
    }
    return state;
}

// Runs the meter in `folder` for sessions of the given minutes, each on its
// own day from 10:00.
void CountSessions(const fs::path& folder, const std::vector<std::pair<CalendarDate, int>>& days) {
    FakeClock clock;
    ConnectionMeter meter(clock, folder, "Linux    ");
    clock.Set(2026, 11, 1, 9, 0);
    meter.LoadTable();
    if (!meter.PropFileExists()) {
        meter.SaveProp(meter.Prop());
    }
    meter.ReadProp();
    for (const auto& day : days) {
        clock.Set(day.first.Year, day.first.Month, day.first.Day, 10, 0);
        for (int i = 0; i < day.second; ++i) {
            clock.AdvanceMinutes(1);
            meter.Tick(true, "10.0.0.1");
        }
        clock.AdvanceMinutes(1);
        meter.Tick(false, "");
    }
}

TDateTime Day(int year, int month, int day) {
    return EncodeDate(year, month, day);
}

}  // namespace

TEST(DaySummary, GivesThePagesFiguresOfTheDayItsMonthAndCycleAndWritesNothing) {
    const std::string everyDay =
        "days = [\"mon\", \"tue\", \"wed\", \"thu\", \"fri\", \"sat\", \"sun\"]\n";
    struct Use {
        int64_t minutes, kopecks;
    };
    struct Case {
        const char* name;
        std::optional<std::string> plan;
        std::vector<std::string> removed;
        Use day, month;
        BillingCycle cycle;
        int daysLeft;
        Use cycleUse, forecast;
        // None: no budget.
        std::optional<double> percentMinutes;
        std::vector<int> alertsFired;
    };
    const Case cases[] = {
        {"no plan, no settings file, no old table: the calendar month at 3.6",
         std::nullopt,
         {"Propert.dat", "Table.dat"},
         {3, 11},
         {5, 18},
         {Day(2026, 12, 1), Day(2026, 12, 31)},
         24,
         {3, 11},
         {12, 43},
         std::nullopt,
         {}},
        // Each session costs 10 and a kopeck a minute. The 80% alert of the
        // minutes fired on the 9th, in the same cycle.
        {"a plan with a budget, priced in Vimo.db",
         "[cycle]\nstart_day = 14\n[budget]\nkopecks = 100\nminutes = 10\n"
         "[plan]\nconnection_fee = 10\n[[plan.rate]]\n" +
             everyDay + "kopecks_per_minute = 1\n",
         {},
         {3, 13},
         {5, 25},
         {Day(2026, 11, 14), Day(2026, 12, 13)},
         6,
         {7, 27},
         {8, 32},
         70.0,
         {80}},
        {"a budget that sets no limit is none",
         "[budget]\nalerts = [50]\n",
         {},
         {3, 11},
         {5, 18},
         {Day(2026, 12, 1), Day(2026, 12, 31)},
         24,
         {3, 11},
         {12, 43},
         std::nullopt,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TempDir folder;
        if (c.plan) {
            WriteBytes(folder / "Vimo.toml", *c.plan);
        }
        CountSessions(
            folder.Path(),
            {{{2026, 11, 13}, 5}, {{2026, 11, 14}, 4}, {{2026, 12, 8}, 3}, {{2026, 12, 9}, 2}});
        for (const std::string& name : c.removed) {
            fs::remove(folder / name);
        }
        const auto before = FolderState(folder.Path());

        const DaySummary s = SummarizeDay(folder.Path(), Day(2026, 12, 8) + 0.75);

        EXPECT_EQ(FolderState(folder.Path()), before);
        EXPECT_EQ(s.Day, Day(2026, 12, 8));
        EXPECT_EQ(s.DayMinutes, c.day.minutes);
        EXPECT_EQ(s.DayKopecks, c.day.kopecks);
        EXPECT_EQ(s.Month.First, Day(2026, 12, 1));
        EXPECT_EQ(s.Month.Last, Day(2026, 12, 31));
        EXPECT_EQ(s.Month.Minutes, c.month.minutes);
        EXPECT_EQ(s.Month.Kopecks, c.month.kopecks);
        EXPECT_EQ(s.Cycle.First, c.cycle.First);
        EXPECT_EQ(s.Cycle.Last, c.cycle.Last);
        EXPECT_EQ(s.CycleDays, c.cycle.Days());
        EXPECT_EQ(s.DaysLeft, c.daysLeft);
        EXPECT_EQ(s.Cycle.Minutes, c.cycleUse.minutes);
        EXPECT_EQ(s.Cycle.Kopecks, c.cycleUse.kopecks);
        EXPECT_EQ(s.CycleMinutes.Forecast, c.forecast.minutes);
        EXPECT_EQ(s.CycleKopecks.Forecast, c.forecast.kopecks);
        EXPECT_EQ(s.HasBudget, c.percentMinutes.has_value());
        EXPECT_EQ(s.CycleMinutes.Percent, c.percentMinutes);
        EXPECT_EQ(s.AlertsFired, c.alertsFired);
    }
}
