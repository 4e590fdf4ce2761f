#include "FakeClock.h"
#include "TempDir.h"
#include "core/Codec1251.h"
#include "figures/OverviewFigures.h"
#include "files/PropRecord.h"
#include "meter/ConnectionMeter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <optional>
#include <tuple>

namespace fs = std::filesystem;

namespace {

const std::string kLinux = "Linux    ";

TDateTime Day(int year, int month, int day) {
    return EncodeDate(year, month, day);
}

// Byte counters that move 500,000 bytes in and 100,000 out every time the
// test says a minute passed.
class MovingCounters final : public ByteCounters {
  public:
    std::optional<ByteReading> Read(const std::string&) const override { return reading; }
    void Minute() {
        reading.Received += 500'000;
        reading.Sent += 100'000;
    }
    ByteReading reading;
};

// A meter in `folder` at 3.6 kopecks a minute that has counted sessions of
// the given minutes, each on its own day from 10:00, and then one more of
// `open` minutes on 08.12.2026 from 12:00 that is still in progress. The
// clock stands at that session's last tick.
struct CountedFolder {
    CountedFolder(const fs::path& folder, const std::vector<std::pair<CalendarDate, int>>& days,
                  int open)
        : meter(clock, folder, kLinux, &counters) {
        clock.Set(2026, 11, 1, 9, 0);
        meter.LoadTable();
        meter.SaveProp(TPropRecord{3.6, false, false, "01.11.2026"});
        meter.ReloadPlan();
        for (const auto& [day, minutes] : days) {
            clock.Set(day.Year, day.Month, day.Day, 10, 0);
            Session(minutes);
            clock.AdvanceMinutes(1);
            meter.Tick(false, "");
        }
        clock.Set(2026, 12, 8, 12, 0);
        Session(open);
    }
    void Session(int minutes) {
        meter.ConnectionSeen("usb0");
        for (int i = 0; i < minutes; ++i) {
            clock.AdvanceMinutes(1);
            counters.Minute();
            meter.Tick(true, "10.0.0.7", "usb0");
        }
    }

    FakeClock clock;
    MovingCounters counters;
    ConnectionMeter meter;
};

}  // namespace

TEST(OverviewBand, IsRedFromTheLimitAmberFromTheFirstAlertBelowItGreenUnder) {
    struct Case {
        int64_t used, limit;
        std::vector<int> alerts;
        BarBand band;
    };
    const Case cases[] = {
        {39, 50, {80, 100}, BarBand::Green},
        {40, 50, {80, 100}, BarBand::Amber},
        {49, 50, {80, 100}, BarBand::Amber},
        {50, 50, {80, 100}, BarBand::Red},
        {75, 50, {80, 100}, BarBand::Red},
        {24, 50, {50, 90}, BarBand::Green},
        {25, 50, {50, 90}, BarBand::Amber},
        {49, 50, {}, BarBand::Green},
        {50, 50, {}, BarBand::Red},
        {99, 100, {100, 120}, BarBand::Green},
        {100, 100, {100, 120}, BarBand::Red},
        {-5, 50, {80}, BarBand::Green},
        // 80 % of 3 is 2.4: 2 is below it, 3 the limit.
        {2, 3, {80}, BarBand::Green},
        {3, 3, {80}, BarBand::Red},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BandOf(c.used, c.limit, c.alerts), c.band)
            << c.used << " of " << c.limit << ", first alert "
            << (c.alerts.empty() ? 0 : c.alerts.front());
    }
}

TEST(OverviewVerdict, SaysWithinOverByTheForecastOrAlreadyOver) {
    struct Case {
        BudgetUnit unit;
        int64_t used, forecast, limit;
        const char* text;
    };
    const Case cases[] = {
        {BudgetUnit::Kopecks, 4000, 4800, 5000, "в пределах бюджета"},
        {BudgetUnit::Kopecks, 4000, 5000, 5000, "в пределах бюджета"},
        {BudgetUnit::Kopecks, 4000, 6200, 5000, "превысит на 12 гр."},
        {BudgetUnit::Kopecks, 5000, 6000, 5000, "превысит на 10 гр."},
        {BudgetUnit::Kopecks, 5250, 6000, 5000, "превышен на 2 гр. 50 коп."},
        {BudgetUnit::Minutes, 900, 1300, 1200, "превысит на 100 мин."},
        {BudgetUnit::Megabytes, 3100, 3500, 3000, "превышен на 100 МБ"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VerdictText(c.unit, c.used, c.forecast, c.limit), c.text)
            << c.used << ", forecast " << c.forecast << ", limit " << c.limit;
    }
}

// 13.11 (5 minutes), 14.11 (4) and 08.12 (3) closed, and 2 minutes of a
// session on 08.12 in progress: every minute moves 600,000 bytes.
TEST(OverviewFigures, BuildsTheSessionTheCycleItsBudgetsAndTheChartsOfTheMeter) {
    const std::string everyDay =
        "days = [\"mon\", \"tue\", \"wed\", \"thu\", \"fri\", \"sat\", \"sun\"]\n";
    struct Line {
        std::string used, forecast, verdict, allowance;
        std::optional<BarBand> band;
        int bar;
        bool over;
    };
    struct Case {
        const char* name;
        std::optional<std::string> plan;
        BillingCycle cycle;
        std::string cycleText;
        std::optional<int64_t> sessionKopecks;
        Line money, minutes, megabytes;
        // Today's bar and the cycle's, in minutes and kopecks.
        int64_t todayMinutes, todayKopecks;
        std::string firstCycleLabel;
        int64_t cycleMinutes, cycleKopecks, previousCycleMinutes;
    };
    const Case cases[] = {
        {"no plan: the calendar month at the tariff, no budget",
         std::nullopt,
         {Day(2026, 12, 1), Day(2026, 12, 31)},
         "Цикл с 01.12.2026 по 31.12.2026, осталось 24 дн.",
         7,  // 2 minutes at 3.6
         // 5 minutes x 3.6 = 18; at the pace of 8 days, 31: 69.75.
         {"18 коп.", "Прогноз на конец цикла: 70 коп.", "", "", std::nullopt, 0, false},
         {"5 мин.", "Прогноз на конец цикла: 19 мин.", "", "", std::nullopt, 0, false},
         {"3 МБ", "Прогноз на конец цикла: 12 МБ", "", "", std::nullopt, 0, false},
         5,
         18,
         "01.01.26",
         5,
         18,
         9},
        // Each session costs 10 and a kopeck a minute. 25 of the cycle's 30
        // days have passed, 6 are left.
        {"a plan from the 14th with a budget in every unit",
         "[cycle]\nstart_day = 14\n[budget]\nkopecks = 100\nminutes = 10\nmegabytes = 5\n"
         "alerts = [50, 100]\n[plan]\nconnection_fee = 10\n[[plan.rate]]\n" +
             everyDay + "kopecks_per_minute = 1\n",
         {Day(2026, 11, 14), Day(2026, 12, 13)},
         "Цикл с 14.11.2026 по 13.12.2026, осталось 6 дн.",
         12,  // its fee and 2 minutes
         {"39 коп. из 1 гр.", "Прогноз на конец цикла: 47 коп.", "в пределах бюджета",
          "В день можно 10 коп.", BarBand::Green, 39, false},
         {"9 мин. из 10 мин.", "Прогноз на конец цикла: 11 мин.", "превысит на 1 мин.",
          "В день можно 0 мин.", BarBand::Amber, 90, true},
         {"5 МБ из 5 МБ", "Прогноз на конец цикла: 6 МБ", "превысит на 1 МБ", "В день можно 0 МБ",
          BarBand::Red, 100, true},
         5,
         25,
         "14.12.25",
         9,
         39,
         5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TempDir folder;
        if (c.plan) {
            WriteBytes(folder / "Vimo.toml", *c.plan);
        }
        CountedFolder counted(folder.Path(),
                              {{{2026, 11, 13}, 5}, {{2026, 11, 14}, 4}, {{2026, 12, 8}, 3}}, 2);

        const OverviewFigures f = BuildOverview(counted.meter.Books(), counted.clock.Now());

        EXPECT_EQ(f.Today, Day(2026, 12, 8));
        ASSERT_TRUE(f.Session);
        EXPECT_EQ(f.Session->Since, "08.12.2026 12:01");
        EXPECT_EQ(f.Session->Minutes, 2u);
        EXPECT_EQ(f.Session->Duration, "2 мин.");
        EXPECT_EQ(f.Session->Kopecks, c.sessionKopecks);
        EXPECT_EQ(f.Session->Bytes, (CostStore::Bytes{1'000'000, 200'000}));
        EXPECT_EQ(f.Session->Address, "10.0.0.7");
        EXPECT_EQ(f.PricedByPlan, c.plan.has_value());

        EXPECT_EQ(f.Cycle, c.cycle);
        EXPECT_EQ(f.CycleText, c.cycleText);
        EXPECT_EQ(f.HasBudget, c.plan.has_value());
        ASSERT_EQ(f.Budgets.size(), 3u);
        const Line* expected[] = {&c.money, &c.minutes, &c.megabytes};
        const char* titles[] = {"Деньги", "Время", "Трафик"};
        for (std::size_t i = 0; i < 3; ++i) {
            SCOPED_TRACE(titles[i]);
            const BudgetLine& line = f.Budgets[i];
            EXPECT_EQ(line.Title, titles[i]);
            EXPECT_EQ(line.UsedText, expected[i]->used);
            EXPECT_EQ(line.ForecastText, expected[i]->forecast);
            EXPECT_EQ(line.Verdict, expected[i]->verdict);
            EXPECT_EQ(line.AllowanceText, expected[i]->allowance);
            EXPECT_EQ(line.Band, expected[i]->band);
            EXPECT_EQ(line.BarValue, expected[i]->bar);
            EXPECT_EQ(line.Over, expected[i]->over);
        }

        // A bar for every day of the cycle, today's marked.
        ASSERT_EQ(f.Days.size(), static_cast<std::size_t>(c.cycle.Days()));
        EXPECT_EQ(f.Days.front().Label, DateText(c.cycle.First).substr(0, 5));
        EXPECT_EQ(f.Days.back().Label, DateText(c.cycle.Last).substr(0, 5));
        std::vector<std::string> marked;
        for (const PeriodUse& day : f.Days) {
            if (day.Current) {
                marked.push_back(day.Label);
            }
        }
        EXPECT_EQ(marked, std::vector<std::string>{"08.12"});
        const PeriodUse& today = f.Days[static_cast<std::size_t>(Day(2026, 12, 8) - c.cycle.First)];
        EXPECT_EQ(today.Minutes, c.todayMinutes);
        EXPECT_EQ(today.Kopecks, c.todayKopecks);
        EXPECT_EQ(today.Bytes, 3'000'000);
        EXPECT_DOUBLE_EQ(ChartValue(today, ChartUnit::Minutes),
                         static_cast<double>(c.todayMinutes));
        EXPECT_DOUBLE_EQ(ChartValue(today, ChartUnit::Money),
                         static_cast<double>(c.todayKopecks) / 100);
        EXPECT_DOUBLE_EQ(ChartValue(today, ChartUnit::Megabytes), 3.0);
        EXPECT_EQ(f.Days[static_cast<std::size_t>(Day(2026, 12, 9) - c.cycle.First)].Minutes, 0);

        // Twelve cycles, oldest first, this one last and marked.
        ASSERT_EQ(f.Cycles.size(), 12u);
        EXPECT_EQ(f.Cycles.front().Label, c.firstCycleLabel);
        EXPECT_EQ(f.Cycles.back().First, c.cycle.First);
        EXPECT_EQ(f.Cycles.back().Last, c.cycle.Last);
        EXPECT_TRUE(f.Cycles.back().Current);
        EXPECT_FALSE(f.Cycles[10].Current);
        EXPECT_EQ(f.Cycles.back().Minutes, c.cycleMinutes);
        EXPECT_EQ(f.Cycles.back().Kopecks, c.cycleKopecks);
        EXPECT_EQ(f.Cycles[10].Minutes, c.previousCycleMinutes);
    }
}

TEST(OverviewFigures, HasNoSessionWhileOfflineAndNoBudgetLinesWithoutLimits) {
    const TempDir folder;
    CountedFolder counted(folder.Path(), {{{2026, 12, 8}, 3}}, 0);
    const OverviewFigures f = BuildOverview(counted.meter.Books(), counted.clock.Now());
    EXPECT_FALSE(f.Session);
    EXPECT_FALSE(f.HasBudget);
    for (const BudgetLine& line : f.Budgets) {
        EXPECT_FALSE(line.Band);
        EXPECT_FALSE(line.Figures.Limit);
    }
}

// The history's rows: the parts of each line, its money by minutes x tariff
// unless a plan prices money, its bytes from "Vimo.db", a crash as such.
TEST(OverviewHistory, RowsGiveEachLinesPartsMoneyAndBytes) {
    struct Case {
        const char* name;
        bool plan;
        std::vector<std::optional<int64_t>> kopecks;
    };
    const Case cases[] = {
        {"minutes x tariff", false, {18, std::nullopt, 14}},
        // The fee and 5 x 3.6; the crashed line was never priced.
        {"under a plan, what it priced", true, {28, std::nullopt, std::nullopt}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TempDir folder;
        if (c.plan) {
            WriteBytes(folder / "Vimo.toml", "[plan]\nconnection_fee = 10\n");
        }
        CountedFolder counted(folder.Path(), {{{2026, 12, 7}, 4}, {{2026, 12, 8}, 5}}, 0);
        const std::string crashed =
            "[06.12.2026] 09:00-09:04   время = 4 мин.        Linux       10.0.0.9       " +
            std::string(TSessionLog::kCrashMarker);
        std::vector<std::string> lines = ReadLastLines(folder / "Static.txt", 20);
        ASSERT_EQ(lines.size(), 2u);
        lines.push_back("damaged");
        lines.push_back(crashed);

        const std::vector<HistoryRow> rows = HistoryRows(counted.meter.Books(), lines);

        ASSERT_EQ(rows.size(), 4u);
        EXPECT_EQ(rows[0].Start, "08.12.2026 10:01");
        EXPECT_EQ(rows[0].Fields.EndTime, "10:06");
        EXPECT_EQ(rows[0].Fields.Minutes, 5u);
        EXPECT_EQ(rows[0].Fields.Address, "10.0.0.7");
        EXPECT_EQ(rows[0].Kopecks, c.kopecks[0]);
        EXPECT_EQ(rows[0].Bytes, (CostStore::Bytes{2'500'000, 500'000}));
        EXPECT_FALSE(rows[0].Fields.Crashed);
        EXPECT_EQ(rows[1].Start, "07.12.2026 10:01");
        EXPECT_EQ(rows[1].Bytes, (CostStore::Bytes{2'000'000, 400'000}));
        EXPECT_EQ(rows[2].Start, "damaged");
        EXPECT_EQ(rows[2].Kopecks, std::nullopt);
        EXPECT_EQ(rows[2].Bytes, std::nullopt);
        EXPECT_EQ(rows[3].Start, "06.12.2026 09:00");
        EXPECT_TRUE(rows[3].Fields.Crashed);
        EXPECT_EQ(rows[3].Kopecks, c.kopecks[2]);
        EXPECT_EQ(rows[3].Bytes, std::nullopt);  // recorded before bytes were kept
    }
}

TEST(OverviewHistory, ReadsTheLastLinesNewestFirstFromTheFilesEnd) {
    std::string hundred;
    for (int i = 1; i <= 100; ++i) {
        hundred += "line " + std::to_string(i) + std::string(70, '.') + "\r\n";
    }
    const std::string longLine(10'000, 'x');
    struct Case {
        const char* name;
        std::optional<std::string> file;  // none: missing
        std::size_t count;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"no history", std::nullopt, 20, {}},
        {"an empty one", "", 20, {}},
        {"fewer than asked", "a\r\nb\r\n", 20, {"b", "a"}},
        {"every line end, the last without one", "a\r\nb\nc\rd", 3, {"d", "c", "b"}},
        {"blank lines skipped", "a\r\n\r\n\r\nb\r\n\r\n", 5, {"b", "a"}},
        {"Windows-1251 into UTF-8", "\xC0\xE2\xE0\xF0\xE8\xFF\r\n", 1, {"Авария"}},
        {"more lines than the first piece holds", hundred, 60, {}},
        {"a line longer than the first piece",
         "first\r\n" + longLine + "\r\nlast\r\n",
         2,
         {"last", longLine}},
        {"none asked", "a\r\n", 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TempDir folder;
        if (c.file) {
            WriteBytes(folder / "Static.txt", *c.file);
        }
        std::vector<std::string> expected = c.lines;
        if (c.file == hundred) {
            for (int i = 100; i > 40; --i) {
                expected.push_back("line " + std::to_string(i) + std::string(70, '.'));
            }
        }
        EXPECT_EQ(ReadLastLines(folder / "Static.txt", c.count), expected);
    }
}

TEST(OverviewHistory, TheTailIsReadAgainOnlyWhenTheHistoryChanged) {
    const TempDir folder;
    const fs::path history = folder / "Static.txt";
    HistoryTail tail(history, 2);
    EXPECT_TRUE(tail.Update());  // never read: reads, finding no file
    EXPECT_TRUE(tail.Lines().empty());
    EXPECT_FALSE(tail.Update());

    WriteBytes(history, "a\r\nb\r\n");
    EXPECT_TRUE(tail.Update());
    EXPECT_EQ(tail.Lines(), (std::vector<std::string>{"b", "a"}));
    EXPECT_FALSE(tail.Update());

    WriteBytes(history, "a\r\nb\r\nc\r\n");
    EXPECT_TRUE(tail.Update());
    EXPECT_EQ(tail.Lines(), (std::vector<std::string>{"c", "b"}));
}

TEST(OverviewFigures, FollowingATickRebuildsOnlyTheChangedDaysAndEqualsAFullBuild) {
    const std::string plan =
        "[cycle]\nstart_day = 14\n[budget]\nkopecks = 100\n[plan]\nconnection_fee = 10\n"
        "[[plan.rate]]\ndays = [\"mon\", \"tue\", \"wed\", \"thu\", \"fri\", \"sat\", \"sun\"]\n"
        "kopecks_per_minute = 1\n";
    struct Case {
        const char* name;
        // Done to the meter after the figures were built; then one tick.
        std::function<void(CountedFolder&, const fs::path&)> before;
        bool online;
        // What the tick says changed: every day, or today's, or none.
        bool every;
        bool today;
    };
    const Case cases[] = {
        {"a minute online", [](CountedFolder&, const fs::path&) {}, true, false, true},
        {"an offline minute after the session",
         [](CountedFolder& c, const fs::path&) {
             c.clock.AdvanceMinutes(1);
             c.meter.Tick(false, "");
         },
         false, false, false},
        {"the session closes, recording its bytes", [](CountedFolder&, const fs::path&) {}, false,
         false, true},
        {"past midnight", [](CountedFolder& c, const fs::path&) { c.clock.Set(2026, 12, 9, 0, 0); },
         true, false, true},
        {"a new tariff",
         [](CountedFolder& c, const fs::path&) {
             c.meter.SaveProp(TPropRecord{5.0, false, false, "01.11.2026"});
         },
         true, false, true},
        {"the plan file changed",
         [&plan](CountedFolder&, const fs::path& folder) {
             WriteBytes(folder / "Vimo.toml", "[cycle]\nstart_day = 14\n[budget]\nkopecks = 100\n");
         },
         true, true, false},
    };
    const auto bars = [](const OverviewFigures& f) {
        std::vector<std::tuple<std::string, int64_t, int64_t, int64_t>> all;
        for (const std::vector<PeriodUse>* uses : {&f.Days, &f.Cycles}) {
            for (const PeriodUse& use : *uses) {
                all.emplace_back(use.Label, use.Minutes, use.Kopecks, use.Bytes);
            }
        }
        for (const BudgetLine& line : f.Budgets) {
            all.emplace_back(line.UsedText, line.Figures.Used, line.Figures.Forecast, 0);
        }
        return all;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TempDir folder;
        WriteBytes(folder / "Vimo.toml", plan);
        CountedFolder counted(folder.Path(), {{{2026, 11, 14}, 4}, {{2026, 12, 8}, 3}}, 2);
        OverviewFigures followed = BuildOverview(counted.meter.Books(), counted.clock.Now());

        c.before(counted, folder.Path());
        counted.clock.AdvanceMinutes(1);
        counted.counters.Minute();
        const TickResult tick = counted.meter.Tick(c.online, "10.0.0.7", "usb0");
        FollowTick(followed, counted.meter.Books(), counted.clock.Now(), tick.Changed);

        EXPECT_EQ(tick.Changed.Every, c.every);
        ASSERT_EQ(tick.Changed.Days.has_value(), c.today);
        if (c.today) {
            const TDateTime today = std::floor(counted.clock.Now());
            EXPECT_EQ(tick.Changed.Days->First, today);
            EXPECT_EQ(tick.Changed.Days->Last, today);
        }
        EXPECT_EQ(bars(followed), bars(BuildOverview(counted.meter.Books(), counted.clock.Now())));
    }
}
