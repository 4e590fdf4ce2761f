#include "TempDir.h"
#include "store/CostStore.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace {

// A child process begins a transaction on `file` that changes its one day
// and spills its pages into the file before the commit, then dies: the
// file is left torn, with a hot journal beside it, as a power cut leaves it.
void DieMidTransaction(const std::filesystem::path& file) {
    const pid_t child = fork();
    if (child == 0) {
        sqlite3* db = nullptr;
        sqlite3_open(file.c_str(), &db);
        sqlite3_exec(db,
                     "PRAGMA cache_size = 1; BEGIN;"
                     "UPDATE day_cost SET minutes = 999, millikopecks = 999;"
                     "CREATE TABLE filler (x);"
                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500)"
                     " INSERT INTO filler SELECT randomblob(2000) FROM n;",
                     nullptr, nullptr, nullptr);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
}

// Runs `sql` on the database `file`; the first column of the last row.
std::string Sql(const std::filesystem::path& file, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    std::string last = "(error)";
    sqlite3_exec(
        db, sql.c_str(),
        [](void* out, int, char** values, char**) {
            *static_cast<std::string*>(out) = values[0] != nullptr ? values[0] : "";
            return 0;
        },
        &last, nullptr);
    sqlite3_close(db);
    return last;
}

}  // namespace

// A file an older version made is read as it is, and the running program
// brings it up to date keeping its rows; a connection's money starts with
// its next priced minute.
TEST(CostStore, AnOlderLayoutIsReadAsItIsAndBroughtUpToDateKeepingItsRows) {
    const std::string layout1 =
        "CREATE TABLE day_cost (day TEXT PRIMARY KEY, minutes INTEGER, millikopecks INTEGER);"
        "CREATE TABLE fired_alert (cycle_first TEXT, budget TEXT, percent INTEGER);"
        "INSERT INTO day_cost VALUES ('2026-12-08', 3, 13000);"
        "INSERT INTO fired_alert VALUES ('2026-12-01', 'kopecks', 80); PRAGMA user_version = 1;";
    const std::string layout2 =
        layout1 +
        "CREATE TABLE day_bytes (day TEXT PRIMARY KEY, received INTEGER, sent INTEGER);"
        "CREATE TABLE session_bytes (head TEXT PRIMARY KEY, received INTEGER, sent INTEGER);"
        "INSERT INTO session_bytes VALUES ('[08.12.2026] 09:05', 700, 70);"
        "PRAGMA user_version = 2;";
    const std::string layout4 =
        layout2 +
        "CREATE TABLE session_cost (head TEXT PRIMARY KEY, minutes INTEGER, millikopecks INTEGER);"
        "ALTER TABLE fired_alert ADD COLUMN shown INTEGER NOT NULL DEFAULT 1;"
        "PRAGMA user_version = 4;";
    const std::string head = "[08.12.2026] 09:05";
    const TDateTime day = EncodeDate(2026, 12, 8);
    const struct {
        std::string schema, version;
        std::optional<CostStore::Bytes> bytes;
    } cases[] = {{layout1, "1", std::nullopt},
                 {layout2, "2", CostStore::Bytes{700, 70}},
                 {layout4, "4", CostStore::Bytes{700, 70}}};
    for (const auto& c : cases) {
        SCOPED_TRACE("layout " + c.version);
        const TempDir dir;
        Sql(dir / "Vimo.db", c.schema);
        EXPECT_EQ(CostStore::Open(dir.Path(), CostStore::Access::ReadOnly)->SessionBytes(head),
                  c.bytes);
        EXPECT_EQ(Sql(dir / "Vimo.db", "PRAGMA user_version"), c.version);

        const auto store = CostStore::Open(dir.Path(), CostStore::Access::ReadWrite);
        EXPECT_EQ(store->SessionCost(head), std::nullopt);
        CostStore::MinuteRecord minute;
        minute.Day = day;
        minute.Priced = true;
        minute.Millikopecks = 1500;
        minute.BytesMillikopecks = 250;
        minute.SessionHead = head;
        store->Record(minute);
        EXPECT_EQ(store->SessionCost(head), (CostStore::DayCost{1, 1750}));
        EXPECT_EQ(store->DaysBetween(day, day).at(static_cast<int32_t>(day)),
                  (CostStore::DayCost{4, 14750}));
        EXPECT_EQ(store->SessionBytes(head), c.bytes);
        // An alert of an older layout was shown then, or lost with its run.
        const TDateTime cycle = EncodeDate(2026, 12, 1);
        EXPECT_EQ(store->FiredAlerts(cycle, "kopecks"), std::vector<int>{80});
        EXPECT_TRUE(store->UnshownAlerts(cycle).empty());
        EXPECT_EQ(Sql(dir / "Vimo.db", "PRAGMA user_version"), "5");
    }
}

// A run killed inside a transaction leaves the file torn and its journal hot.
// The report reads it as the last commit left it, without writing a byte of
// the folder; the program rolls it back in place before it reads.
TEST(CostStore, ATransactionCutShortReadsAsItsLastCommitAndIsRolledBackByTheProgram) {
    const TempDir dir;
    const TDateTime day = EncodeDate(2026, 12, 8);
    CostStore::MinuteRecord minute;
    minute.Day = day;
    minute.Priced = true;
    minute.Millikopecks = 1500;
    CostStore::Open(dir.Path(), CostStore::Access::ReadWrite)->Record(minute);
    DieMidTransaction(dir / "Vimo.db");
    ASSERT_TRUE(std::filesystem::exists(dir / "Vimo.db-journal"));
    const std::string torn = ReadBytes(dir / "Vimo.db");
    const std::string journal = ReadBytes(dir / "Vimo.db-journal");
    const std::map<int32_t, CostStore::DayCost> committed = {
        {static_cast<int32_t>(day), {1, 1500}}};

    EXPECT_EQ(CostStore::Open(dir.Path(), CostStore::Access::ReadOnly)->DaysBetween(day, day),
              committed);
    EXPECT_EQ(ReadBytes(dir / "Vimo.db"), torn);
    EXPECT_EQ(ReadBytes(dir / "Vimo.db-journal"), journal);

    const auto store =
        CostStore::Open(dir.Path(), CostStore::Access::ReadWrite, CostStore::IfMissing::GiveNone);
    EXPECT_EQ(store->DaysBetween(day, day), committed);
    EXPECT_FALSE(std::filesystem::exists(dir / "Vimo.db-journal"));
    EXPECT_EQ(Sql(dir / "Vimo.db", "PRAGMA integrity_check"), "ok");
}
