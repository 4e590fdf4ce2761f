#include "FakeClock.h"
#include "TempDir.h"
#include "core/Codec1251.h"
#include "core/Errors.h"
#include "files/SessionLineFields.h"
#include "meter/ConnectionMeter.h"
#include "plan/PlanFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>

namespace fs = std::filesystem;
using testing::StrEq;
using testing::ThrowsMessage;

namespace {

const std::string kCrashMarker = "   Аварийное завершение !";
const std::string kLinux = "Linux    ";

std::string Line(const std::string& head, const std::string& end, const std::string& duration,
                 const std::string& address = "10.0.0.2", const std::string& os = kLinux) {
    // Every duration here is six characters ("1 мин."), which 8 blanks pad.
    const std::string ip = address + std::string(15 - address.size(), ' ');
    return head + end + "   время = " + duration + std::string(8, ' ') + os + "   " + ip;
}

// The minutes of one day as the table files in `folder` hold them.
uint16_t CellIn(const fs::path& folder, const CalendarDate& day) {
    TUsageTable table(folder);
    table.LoadTable();
    return table.Cell(day);
}

// A meter on a fake clock in a fresh working folder, started as the program
// starts it.
class MeterTest : public testing::Test {
  protected:
    MeterTest() { clock.Set(2004, 8, 15, 10, 0, 0); }

    ConnectionMeter& Start(const std::string& os = kLinux) {
        meter.emplace(clock, dir.Path(), os);
        meter->LoadTable();
        if (!meter->PropFileExists()) {
            meter->SaveProp(meter->Prop());
        }
        meter->ReadProp();
        return *meter;
    }
    // One minute passes and the tick runs.
    TickResult Tick(bool online, const std::string& address = "10.0.0.2",
                    const std::string& interface = {}) {
        clock.AdvanceMinutes(1);
        return meter->Tick(online, address, interface);
    }
    std::string FileText(const std::string& name) const {
        return FromCp1251(ReadBytes(dir / name));
    }
    uint16_t CellOn(int year, int month, int day) const {
        return CellIn(dir.Path(), {year, month, day});
    }
    // The file a failed tick's error names, "" for none.
    static std::string FailedFile(const TickResult& result) {
        try {
            if (result.Error) {
                std::rethrow_exception(result.Error);
            }
        } catch (const EInOutError& error) {
            return error.File;
        } catch (...) {
        }
        return "";
    }
    static std::string ErrorText(const TickResult& result) {
        if (!result.Error) {
            return "";
        }
        try {
            std::rethrow_exception(result.Error);
        } catch (const std::exception& error) {
            return error.what();
        }
    }

    TempDir dir;
    FakeClock clock;
    std::optional<ConnectionMeter> meter;
};

struct Changes {
    bool opened, closed, counted;
    friend bool operator==(const Changes&, const Changes&) = default;
};

Changes Of(const TickResult& r) {
    return {r.SessionOpened, r.SessionClosed, r.MinuteCounted};
}

std::vector<std::string> Texts(const std::vector<AlertNotice>& alerts) {
    std::vector<std::string> texts;
    for (const AlertNotice& alert : alerts) {
        texts.push_back(alert.Text);
    }
    return texts;
}

}  // namespace

TEST_F(MeterTest, AFirstStartOfflineWritesItsFilesOnceAndThenNothing) {
    Start();
    EXPECT_EQ(ReadBytes(dir / "Table.dat"), std::string(9672, '\0'));
    EXPECT_EQ(ReadBytes(dir / "TableExt.dat"), std::string(62496, '\0'));
    EXPECT_EQ(ReadBytes(dir / "Propert.dat").size(), 24u);
    std::vector<std::pair<fs::path, std::string>> before;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        before.emplace_back(entry.path(), ReadBytes(entry.path()));
    }
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Of(Tick(false)), (Changes{false, false, false}));
    }
    std::vector<std::pair<fs::path, std::string>> after;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        after.emplace_back(entry.path(), ReadBytes(entry.path()));
    }
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(before, after);
    EXPECT_FALSE(meter->SessionOpen());
}

TEST_F(MeterTest, OpensCountsClosesAndOpensAgain) {
    Start();
    EXPECT_EQ(Of(Tick(true)), (Changes{true, false, true}));  // 10:01 opens
    EXPECT_TRUE(meter->SessionOpen());
    EXPECT_EQ(FileText("BegTime.txt"), Line("[15.08.2004] 10:01-", "10:02", "1 мин.") + "\r\n");
    EXPECT_EQ(CellOn(2004, 8, 15), 1);

    EXPECT_EQ(Of(Tick(true)), (Changes{false, false, true}));
    Tick(true);  // 10:03, the third minute
    EXPECT_EQ(meter->SessionMinutes(), 3u);
    EXPECT_EQ(FileText("BegTime.txt"), Line("[15.08.2004] 10:01-", "10:04", "3 мин.") + "\r\n");
    EXPECT_EQ(CellOn(2004, 8, 15), 3);

    EXPECT_EQ(Of(Tick(false)), (Changes{false, true, false}));
    EXPECT_FALSE(meter->SessionOpen());
    EXPECT_EQ(meter->SessionMinutes(), 0u);
    EXPECT_FALSE(fs::exists(dir / "BegTime.txt"));
    EXPECT_EQ(FileText("Static.txt"), Line("[15.08.2004] 10:01-", "10:04", "3 мин.") + "\r\n");

    EXPECT_EQ(Of(Tick(false)), (Changes{false, false, false}));
    EXPECT_EQ(CellOn(2004, 8, 15), 3);

    EXPECT_TRUE(Of(Tick(true, "192.168.100.200")).opened);  // 10:06 opens a new session
    EXPECT_EQ(meter->SessionMinutes(), 1u);
    EXPECT_EQ(FileText("BegTime.txt"),
              Line("[15.08.2004] 10:06-", "10:07", "1 мин.", "192.168.100.200") + "\r\n");
    EXPECT_EQ(CellOn(2004, 8, 15), 4);
}

TEST_F(MeterTest, ASessionAcrossMidnightCountsEachMinuteOnItsOwnDay) {
    clock.Set(2004, 2, 28, 23, 57, 0);
    Start();
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(Tick(true).Error);  // 23:58, 23:59, 00:00 on the 29th (a leap year), 00:01
    }
    EXPECT_EQ(CellOn(2004, 2, 28), 2);
    EXPECT_EQ(CellOn(2004, 2, 29), 2);
    EXPECT_EQ(FileText("BegTime.txt"), Line("[28.02.2004] 23:58-", "00:02", "4 мин.") + "\r\n");
}

TEST_F(MeterTest, ARestartDuringASessionCarriesTheOldLineOverWithTheCrashMarker) {
    Start();
    Tick(true);
    Tick(true);
    const std::string oldLine = Line("[15.08.2004] 10:01-", "10:03", "2 мин.");
    meter.reset();  // killed: nothing is written at exit

    clock.AdvanceMinutes(10);
    Start();
    Tick(false);  // offline: the old file stays untouched
    EXPECT_EQ(FileText("BegTime.txt"), oldLine + "\r\n");
    EXPECT_FALSE(fs::exists(dir / "Static.txt"));

    EXPECT_TRUE(Of(Tick(true, "10.0.0.3")).opened);  // 10:14
    EXPECT_EQ(FileText("Static.txt"), oldLine + kCrashMarker + "\r\n");
    EXPECT_EQ(FileText("BegTime.txt"),
              Line("[15.08.2004] 10:14-", "10:15", "1 мин.", "10.0.0.3") + "\r\n");
    EXPECT_EQ(meter->SessionMinutes(), 1u);
    EXPECT_EQ(CellOn(2004, 8, 15), 3);
}

TEST_F(MeterTest, AFailingFileStepEndsTheTickWithWhatItDidAndTheNextTickRunsNormally) {
    Start();
    Tick(true);
    // A folder where "BegTime.txt" should be makes its rewrite fail.
    fs::remove(dir / "BegTime.txt");
    fs::create_directory(dir / "BegTime.txt");
    const TickResult failed = Tick(true);
    EXPECT_EQ(Of(failed), (Changes{false, false, true}));
    EXPECT_EQ(ErrorText(failed), "File access denied");
    EXPECT_EQ(CellOn(2004, 8, 15), 2);  // counted and saved before the failing step
    EXPECT_EQ(meter->SessionMinutes(), 2u);

    fs::remove(dir / "BegTime.txt");
    EXPECT_FALSE(Tick(true).Error);
    EXPECT_EQ(FileText("BegTime.txt"), Line("[15.08.2004] 10:01-", "10:04", "3 мин.") + "\r\n");
}

// A file that cannot be written (a full disk; here a folder standing in its
// place) neither keeps the tick's other file from being written nor loses a
// minute: the session's line closes with every minute counted, and the table
// catches up at the first tick after the file can be written again.
TEST_F(MeterTest, AFileThatCannotBeWrittenHoldsBackNoOtherAndCatchesUpOnceItCan) {
    const std::string closed = Line("[15.08.2004] 10:01-", "10:05", "4 мин.") + "\r\n";
    for (const std::string blocked : {"Table.dat", "BegTime.txt"}) {
        SCOPED_TRACE(blocked);
        TempDir folder;
        clock.Set(2004, 8, 15, 10, 0, 0);
        meter.emplace(clock, folder.Path(), kLinux);
        meter->LoadTable();
        Tick(true);
        fs::remove(folder / blocked);
        fs::create_directory(folder / blocked);
        for (int minute = 2; minute <= 4; ++minute) {
            const TickResult failed = Tick(true);
            EXPECT_TRUE(failed.MinuteCounted);
            EXPECT_EQ(ErrorText(failed), "File access denied");
            EXPECT_EQ(FailedFile(failed), blocked);
        }
        if (blocked == "Table.dat") {
            EXPECT_EQ(FromCp1251(ReadBytes(folder / "BegTime.txt")),
                      Line("[15.08.2004] 10:01-", "10:05", "4 мин.") + "\r\n");
        } else {
            EXPECT_EQ(CellIn(folder.Path(), {2004, 8, 15}), 4);
        }

        const TickResult closing = Tick(false);
        EXPECT_TRUE(closing.SessionClosed);
        EXPECT_EQ(FromCp1251(ReadBytes(folder / "Static.txt")), closed);
        EXPECT_EQ(FailedFile(closing), blocked == "Table.dat" ? blocked : "");

        fs::remove(folder / blocked);
        EXPECT_FALSE(Tick(false).Error);
        EXPECT_EQ(CellIn(folder.Path(), {2004, 8, 15}), 4);
        EXPECT_EQ(FromCp1251(ReadBytes(folder / "Static.txt")), closed);
    }
}

TEST_F(MeterTest, AFolderMadeAnewUnderTheWorkingFoldersNameIsNeverWrittenInto) {
    Start();
    Tick(true);
    Tick(true);
    fs::remove_all(dir.Path());
    fs::create_directory(dir.Path());
    for (const bool online : {true, false, false, true}) {
        EXPECT_EQ(ErrorText(Tick(online)), "File not found") << online;
    }
    EXPECT_TRUE(fs::is_empty(dir.Path()));
    // The session's third minute is counted; the first offline tick ends the
    // session, whose line is gone, and a new one cannot record its start.
    EXPECT_FALSE(meter->SessionOpen());
    EXPECT_EQ(meter->UsageTable().Cell({2004, 8, 15}), 3);
}

TEST_F(MeterTest, AFailingOpeningLeavesNoSessionAndTheNextTickOpensIt) {
    Start();
    // A left-over line that cannot be carried into the history stops the
    // opening before the session has its start.
    const std::string oldLine = Line("[14.08.2004] 22:00-", "22:01", "1 мин.");
    WriteBytes(dir / "BegTime.txt", ToCp1251(oldLine) + "\r\n");
    fs::create_directory(dir / "Static.txt");
    const TickResult failed = Tick(true);
    EXPECT_EQ(Of(failed), (Changes{false, false, false}));
    EXPECT_EQ(ErrorText(failed), "File access denied");
    EXPECT_FALSE(meter->SessionOpen());
    EXPECT_EQ(CellOn(2004, 8, 15), 0);

    fs::remove(dir / "Static.txt");
    EXPECT_EQ(Of(Tick(true)), (Changes{true, false, true}));
    EXPECT_EQ(FileText("Static.txt"), oldLine + kCrashMarker + "\r\n");
    EXPECT_EQ(FileText("BegTime.txt"), Line("[15.08.2004] 10:02-", "10:03", "1 мин.") + "\r\n");
}

TEST_F(MeterTest, ACurrentSessionFileDeletedByHandIsReportedOnceAndTheSessionCloses) {
    Start();
    Tick(true);
    Tick(true);
    fs::remove(dir / "BegTime.txt");
    const TickResult closing = Tick(false);
    EXPECT_EQ(ErrorText(closing), "File not found");
    EXPECT_TRUE(closing.SessionClosed);
    EXPECT_FALSE(meter->SessionOpen());
    EXPECT_EQ(meter->SessionMinutes(), 0u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(Tick(false).Error);
    }
    EXPECT_FALSE(fs::exists(dir / "Static.txt"));
}

TEST_F(MeterTest, AHistoryThatCannotBeWrittenKeepsTheSessionUntilItCan) {
    Start();
    Tick(true);
    fs::create_directory(dir / "Static.txt");
    const TickResult refused = Tick(false);
    EXPECT_EQ(ErrorText(refused), "File access denied");
    EXPECT_FALSE(refused.SessionClosed);
    EXPECT_TRUE(meter->SessionOpen());
    fs::remove(dir / "Static.txt");
    EXPECT_TRUE(Tick(false).SessionClosed);
    EXPECT_EQ(FileText("Static.txt"), Line("[15.08.2004] 10:01-", "10:02", "1 мин.") + "\r\n");
}

TEST_F(MeterTest, ATableThatCannotBeReadStopsStartUpButTheTicksStillCount) {
    WriteBytes(dir / "Table.dat", std::string(100, '\0'));  // too short
    meter.emplace(clock, dir.Path(), kLinux);
    EXPECT_THAT([this] { meter->LoadTable(); },
                ThrowsMessage<EInOutError>(StrEq("Read beyond end of file")));
    EXPECT_FALSE(Tick(true).Error);
    EXPECT_FALSE(Tick(true).Error);
    EXPECT_EQ(meter->SessionMinutes(), 2u);
    EXPECT_EQ(meter->UsageTable().Cell({2004, 8, 15}), 2);
}

TEST_F(MeterTest, TheSystemLabelGoesIntoTheSessionLines) {
    for (const std::string os : {"Win 2000 ", "Win 9x/Me", "Linux    "}) {
        TempDir folder;
        ConnectionMeter labelled(clock, folder.Path(), os);
        labelled.LoadTable();
        labelled.Tick(true, "10.0.0.2");
        EXPECT_EQ(FromCp1251(ReadBytes(folder / "BegTime.txt")),
                  Line("[15.08.2004] 10:00-", "10:01", "1 мин.", "10.0.0.2", os) + "\r\n");
    }
}

TEST_F(MeterTest, ASavedRecordIsInForceEvenWhenItsFileCannotBeWritten) {
    Start();
    Tick(true);
    Tick(true);
    TPropRecord cheaper = meter->Prop();
    cheaper.MinuteCost = 1.5;
    fs::remove(dir / "Propert.dat");
    fs::create_directory(dir / "Propert.dat");
    EXPECT_THROW(meter->SaveProp(cheaper), EInOutError);
    EXPECT_EQ(meter->Prop().MinuteCost, 1.5);
    // The ledger the pages read follows the meter as it is now.
    const Ledger& books = meter->Books();
    const TDateTime today = EncodeDate(2004, 8, 15);
    EXPECT_EQ(books.KopecksOf(today, today), 3);
    EXPECT_TRUE(books.SessionOpen());
    EXPECT_EQ(books.SessionMinutes(), 2u);
}

// A day's money under the plan in force while its minutes were counted. Each
// session is its count of online ticks, then one offline tick.
TEST_F(MeterTest, EachMinuteIsPricedByThePlanInForceWhenItIsCounted) {
    const std::string everyDay =
        "days = [\"mon\", \"tue\", \"wed\", \"thu\", \"fri\", \"sat\", \"sun\"]\n";
    struct Case {
        const char* name;
        std::optional<std::string> plan;
        CalendarDate day;
        int hour, minute;
        std::vector<int> sessions;
        // Kopecks of the start day and of the day after.
        int64_t kopecks, nextDayKopecks;
        bool storeMade;
    };
    const Case cases[] = {
        {"no plan file: minutes x tariff, no new file",
         std::nullopt,
         {2026, 12, 8},
         10,
         0,
         {5},
         18,
         0,
         false},
        {"a budget alone keeps minutes x tariff",
         "[budget]\nminutes = 1000\n",
         {2026, 12, 8},
         10,
         0,
         {5},
         18,
         0,
         false},
        {"a fee for each session",
         "[plan]\nconnection_fee = 10\n",
         {2026, 12, 8},
         10,
         0,
         {2, 3},
         38,
         0,
         true},
        {"included minutes run out within the session",
         "[plan]\nincluded_minutes = 3\n[[plan.rate]]\n" + everyDay + "kopecks_per_minute = 1.5\n",
         {2026, 12, 8},
         10,
         0,
         {5},
         3,
         0,
         true},
        // Friday's night rate stops at midnight: Saturday's minutes take the
        // tariff of the settings page, 3.6 kopecks.
        {"a Friday night rate across midnight",
         "[plan]\n[[plan.rate]]\ndays = [\"fri\"]\nfrom = \"21:00\"\nto = \"07:00\"\n"
         "kopecks_per_minute = 1.8\n",
         {2026, 12, 11},
         23,
         57,
         {4},
         4,
         7,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TempDir folder;
        clock.Set(c.day.Year, c.day.Month, c.day.Day, c.hour, c.minute);
        if (c.plan) {
            WriteBytes(folder / "Vimo.toml", *c.plan);
        }
        meter.emplace(clock, folder.Path(), kLinux);
        meter->LoadTable();
        meter->SaveProp(meter->Prop());
        meter->ReadProp();
        for (const int minutes : c.sessions) {
            for (int i = 0; i < minutes; ++i) {
                Tick(true);
            }
            Tick(false);
        }
        const TDateTime day = EncodeDate(c.day.Year, c.day.Month, c.day.Day);
        EXPECT_EQ(meter->Books().KopecksOf(day, day), c.kopecks);
        EXPECT_EQ(meter->Books().KopecksOf(day + 1, day + 1), c.nextDayKopecks);
        EXPECT_EQ(fs::exists(folder / "Vimo.db"), c.storeMade);
    }
}

TEST_F(MeterTest, MinutesBeforeThePlanKeepTheTariffAndAChangedPlanNeverRepricesThem) {
    clock.Set(2026, 12, 8, 10, 0);
    Start();
    const TDateTime today = EncodeDate(2026, 12, 8);
    for (int i = 0; i < 3; ++i) {
        Tick(true);
    }
    const std::string beforePlan = SessionKey(meter->SessionLog().SessionHead());
    Tick(false);
    WriteBytes(dir / "Vimo.toml",
               "[plan]\nconnection_fee = 10\n[[plan.rate]]\ndays = [\"tue\"]\n"
               "kopecks_per_minute = 1\n");
    Tick(true);
    Tick(true);
    // 3 x 3.6 before the plan, then a fee and 2 x 1: 22.8 kopecks.
    EXPECT_EQ(meter->Books().KopecksOf(today, today), 23);
    WriteBytes(dir / "Vimo.toml",
               "[plan]\n[[plan.rate]]\ndays = [\"tue\"]\nkopecks_per_minute = 5\n");
    const TickResult changed = Tick(true);
    EXPECT_TRUE(changed.Plan.Changed);
    EXPECT_EQ(meter->Books().KopecksOf(today, today), 28);

    // Each connection keeps what it was priced; one the plan never priced
    // has no figure under it, and a minute it did not price takes the tariff.
    const PlanAccount& plan = meter->Plan();
    const std::string underPlan = SessionKey(meter->SessionLog().SessionHead());
    EXPECT_EQ(plan.SessionKopecks(beforePlan, 3, 3.6), std::nullopt);
    EXPECT_EQ(plan.SessionKopecks(underPlan, 3, 3.6), 17);
    EXPECT_EQ(plan.SessionKopecks(underPlan, 4, 3.6), 21);  // 20.6
}

TEST_F(MeterTest, ABudgetAlertFiresOncePerCycleAlsoAfterARestart) {
    clock.Set(2026, 12, 8, 10, 0);
    WriteBytes(dir / "Vimo.toml", "[budget]\nminutes = 5\nkopecks = 10\n");
    Start();
    std::vector<std::vector<std::string>> alerts;
    for (int i = 0; i < 5; ++i) {
        const std::vector<AlertNotice> notices = Tick(true).Alerts;
        alerts.push_back(Texts(notices));
        // The run ends before it shows the last minute's notice.
        if (i < 4) {
            meter->AlertsShown(notices);
        }
    }
    // 2 minutes at 3.6 kopecks cost 7, below 80% of 10; the third takes
    // the money past both thresholds at once, and only the higher is shown.
    const std::vector<std::vector<std::string>> expected = {
        {},
        {},
        {"Израсходовано 100% бюджета: 11 коп. из 10 коп."},
        {"Израсходовано 80% бюджета: 4 мин. из 5 мин."},
        {"Израсходовано 100% бюджета: 5 мин. из 5 мин."},
    };
    EXPECT_EQ(alerts, expected);
    const TDateTime today = EncodeDate(2026, 12, 8);
    EXPECT_EQ(meter->Plan().FiredAlerts(today, BudgetUnit::Kopecks), (std::vector<int>{80, 100}));

    // The last notice was recorded, but not shown: the next start shows it,
    // once.
    Start().ReloadPlan();
    EXPECT_EQ(Texts(meter->UnshownAlerts()),
              std::vector<std::string>{"Израсходовано 100% бюджета: 5 мин. из 5 мин."});
    meter->AlertsShown(meter->UnshownAlerts());
    Start().ReloadPlan();
    EXPECT_TRUE(meter->UnshownAlerts().empty());
    EXPECT_TRUE(Tick(true).Alerts.empty());
    // A new cycle alerts again.
    clock.AdvanceMonths(1);
    Tick(false);
    Tick(true);
    Tick(true);
    EXPECT_EQ(Texts(Tick(true).Alerts),
              (std::vector<std::string>{"Израсходовано 100% бюджета: 11 коп. из 10 коп."}));
}

TEST_F(MeterTest, AFaultyPlanFileIsReportedOnceAndTheMendedFileTakesOverWithoutARestart) {
    clock.Set(2026, 12, 8, 10, 0);
    Start();
    WriteBytes(dir / "Vimo.toml", "[cycle]\nstart_day = 40\n");
    const TickResult faulty = Tick(true);
    EXPECT_TRUE(faulty.Plan.Changed);
    EXPECT_THAT(
        [&] { std::rethrow_exception(faulty.Plan.Error); },
        ThrowsMessage<EPlanFileError>(StrEq("Vimo.toml, line 2: start_day must be 1 to 31")));
    const TickResult again = Tick(true);
    EXPECT_FALSE(again.Plan.Changed);
    EXPECT_FALSE(again.Plan.Error);
    EXPECT_EQ(meter->Plan().CycleOf(EncodeDate(2026, 12, 8)).First, EncodeDate(2026, 12, 1));

    WriteBytes(dir / "Vimo.toml", "[cycle]\nstart_day = 14\n");
    const TickResult mended = Tick(true);
    EXPECT_TRUE(mended.Plan.Changed);
    EXPECT_FALSE(mended.Plan.Error);
    EXPECT_EQ(meter->Plan().CycleOf(EncodeDate(2026, 12, 8)).First, EncodeDate(2026, 11, 14));
}

// A Vimo.db that cannot be used is reported once for its cause, however many
// minutes it lasts, and the minutes wait: once it is mended they are all
// priced, the connection's fee included. A damaged file is kept aside and a
// new one started, also when the pages read it before the first minute.
TEST_F(MeterTest, AStoreThatCannotBeUsedIsReportedOnceAndItsMinutesWaitForIt) {
    const struct {
        const char* name;
        std::function<void(const fs::path&)> make, mend;
        std::string fault;
    } cases[] = {
        {"damaged",
         [](const fs::path& db) {
             WriteBytes(db, std::string(4096, 'x'));
             WriteBytes(db.string() + ".damaged", "an earlier one");
         },
         [](const fs::path& db) {
             EXPECT_EQ(ReadBytes(db.string() + ".damaged-2"), std::string(4096, 'x'));
             EXPECT_EQ(ReadBytes(db.string() + ".damaged"), "an earlier one");
         },
         "Vimo.db: file is not a database; it is kept as Vimo.db.damaged-2 and a new Vimo.db is "
         "started"},
        {"link", [](const fs::path& db) { fs::create_symlink("elsewhere.db", db); },
         [](const fs::path& db) { fs::remove(db); },
         "Vimo.db is a link; Vimo keeps its store in a plain file"},
        {"folder", [](const fs::path& db) { fs::create_directory(db); },
         [](const fs::path& db) { fs::remove(db); },
         "Vimo.db is a folder; Vimo keeps its store in a plain file"},
    };
    const TDateTime today = EncodeDate(2026, 12, 8);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TempDir folder;
        clock.Set(2026, 12, 8, 10, 0);
        WriteBytes(folder / "Vimo.toml", "[plan]\nconnection_fee = 10\n");
        c.make(folder / "Vimo.db");
        ConnectionMeter& meter = this->meter.emplace(clock, folder.Path(), kLinux);
        meter.LoadTable();
        meter.SaveProp(meter.Prop());
        meter.ReadProp();
        meter.ReloadPlan();
        // The pages read the money before the first minute.
        meter.Books().KopecksOf(today, today);
        std::vector<std::string> faults;
        const auto collect = [&faults](std::exception_ptr fault) {
            if (fault) {
                try {
                    std::rethrow_exception(fault);
                } catch (const std::exception& error) {
                    faults.push_back(error.what());
                }
            }
        };
        collect(meter.StoreFault());
        for (int minute = 0; minute < 3; ++minute) {
            collect(Tick(true).StoreFault);
            meter.Books().KopecksOf(today, today);
            collect(meter.StoreFault());
        }
        EXPECT_EQ(faults, std::vector<std::string>{c.fault});
        c.mend(folder / "Vimo.db");
        collect(Tick(true).StoreFault);
        EXPECT_EQ(faults.size(), 1u);
        // The fee and four minutes at the tariff: 10 + 4 x 3.6.
        EXPECT_EQ(meter.Books().KopecksOf(today, today), 24);
    }
}

TEST_F(MeterTest, AVimoDbMovedAwayWhileRunningIsFollowedByANewOne) {
    clock.Set(2026, 12, 8, 10, 0);
    WriteBytes(dir / "Vimo.toml", "[plan]\nconnection_fee = 10\n");
    Start();
    Tick(true);
    fs::rename(dir / "Vimo.db", dir / "Vimo.db.mine");
    EXPECT_FALSE(Tick(true).StoreFault);
    const TDateTime today = EncodeDate(2026, 12, 8);
    const auto store = CostStore::Open(dir.Path(), CostStore::Access::ReadOnly);
    ASSERT_TRUE(store);
    EXPECT_EQ(store->DaysBetween(today, today).at(static_cast<int32_t>(today)).Minutes, 1);
}

// Byte counters the test sets; an interface not set is gone.
class FakeCounters final : public ByteCounters {
  public:
    std::optional<ByteReading> Read(const std::string& interface) const override {
        const auto found = readings.find(interface);
        return found == readings.end() ? std::nullopt : std::optional(found->second);
    }
    std::map<std::string, ByteReading> readings;
};

// Each step sets the counters of "usb0", optionally tells the meter the
// watcher has just seen the connection, and runs one tick.
TEST_F(MeterTest, AConnectionsBytesCountFromWhenItIsSeenAndACounterGoingBackCountsFromZero) {
    struct Step {
        bool seen;
        bool online;
        std::optional<ByteReading> counters;  // none: the interface is gone
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        CostStore::Bytes day;
    };
    const Case cases[] = {
        {"from the moment it is seen, with what moved before the first tick",
         {{true, false, ByteReading{1000, 100}},
          {false, true, ByteReading{1500, 300}},
          {false, true, ByteReading{4500, 400}}},
         {3500, 300}},
        {"the interface made anew: its new count, never a jump",
         {{true, true, ByteReading{900'000, 9'000}}, {false, true, ByteReading{1000, 50}}},
         {1000, 50}},
        {"the last bytes of a connection that ends",
         {{true, true, ByteReading{0, 0}}, {false, false, ByteReading{700, 70}}},
         {700, 70}},
        {"an interface that is gone counts nothing, and back, counts from zero",
         {{true, true, ByteReading{10, 10}},
          {false, true, std::nullopt},
          {false, true, ByteReading{50, 20}},
          {false, true, ByteReading{80, 30}}},
         {80, 30}},
    };
    clock.Set(2026, 12, 8, 10, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TempDir folder;
        FakeCounters counters;
        meter.emplace(clock, folder.Path(), kLinux, &counters);
        meter->LoadTable();
        meter->SaveProp(meter->Prop());
        std::string head;
        for (const Step& step : c.steps) {
            counters.readings.erase("usb0");
            if (step.counters) {
                counters.readings["usb0"] = *step.counters;
            }
            if (step.seen) {
                meter->ConnectionSeen("usb0");
            }
            EXPECT_EQ(ErrorText(Tick(step.online, "10.0.0.2", "usb0")), "");
            if (head.empty()) {
                head = SessionKey(meter->SessionLog().SessionHead());
            }
        }
        const TDateTime today = EncodeDate(2026, 12, 8);
        EXPECT_EQ(meter->Plan().BytesOf(today, today), c.day);
        const auto store = CostStore::Open(folder.Path(), CostStore::Access::ReadOnly);
        ASSERT_TRUE(store);
        EXPECT_EQ(store->SessionBytes(head), c.day) << head;
    }
}

TEST_F(MeterTest, BytesArePricedAndTheirBudgetAlertsLikeTheOthers) {
    clock.Set(2026, 12, 8, 10, 0);
    WriteBytes(dir / "Vimo.toml",
               "[plan]\nkopecks_per_mb = 12.5\n[[plan.rate]]\ndays = [\"tue\"]\n"
               "kopecks_per_minute = 0\n[budget]\nmegabytes = 10\n");
    FakeCounters counters;
    meter.emplace(clock, dir.Path(), kLinux, &counters);
    meter->LoadTable();
    meter->SaveProp(meter->Prop());
    meter->ReadProp();
    counters.readings["usb0"] = {0, 0};
    meter->ConnectionSeen("usb0");
    counters.readings["usb0"] = {6'000'000, 1'999'999};
    EXPECT_TRUE(Tick(true, "10.0.0.2", "usb0").Alerts.empty());
    counters.readings["usb0"] = {7'000'000, 2'000'000};
    EXPECT_EQ(Texts(Tick(true, "10.0.0.2", "usb0").Alerts),
              std::vector<std::string>{"Израсходовано 80% бюджета: 9,0 МБ из 10 МБ"});
    const TDateTime today = EncodeDate(2026, 12, 8);
    // 9 MB at 12.5 kopecks: 112.5, to even.
    EXPECT_EQ(meter->Books().KopecksOf(today, today), 112);
    EXPECT_EQ(meter->Plan().MegabyteFigures(today).Used, 9);
}
