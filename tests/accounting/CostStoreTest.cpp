#include "CostStore.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <string>

namespace {

// Runs `sql` on the database file `file`; the text of the first column of
// the last row it gave.
std::string Sql(const std::filesystem::path& file, const std::string& sql) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    std::string last;
    char* error = nullptr;
    sqlite3_exec(
        db, sql.c_str(),
        [](void* out, int, char** values, char**) {
            *static_cast<std::string*>(out) = values[0] != nullptr ? values[0] : "";
            return 0;
        },
        &last, &error);
    EXPECT_EQ(error, nullptr) << error;
    sqlite3_free(error);
    sqlite3_close(db);
    return last;
}

const char* const kLayout1 =
    "CREATE TABLE day_cost (day TEXT PRIMARY KEY, minutes INTEGER NOT NULL,"
    " millikopecks INTEGER NOT NULL) WITHOUT ROWID;"
    "CREATE TABLE fired_alert (cycle_first TEXT NOT NULL, budget TEXT NOT NULL,"
    " percent INTEGER NOT NULL, PRIMARY KEY (cycle_first, budget, percent)) WITHOUT ROWID;"
    "INSERT INTO day_cost VALUES ('2026-12-08', 3, 13000);"
    "PRAGMA user_version = 1;";
const char* const kLayout2Additions =
    "CREATE TABLE day_bytes (day TEXT PRIMARY KEY, received INTEGER NOT NULL,"
    " sent INTEGER NOT NULL) WITHOUT ROWID;"
    "CREATE TABLE session_bytes (head TEXT PRIMARY KEY, received INTEGER NOT NULL,"
    " sent INTEGER NOT NULL) WITHOUT ROWID;"
    "INSERT INTO session_bytes VALUES ('[08.12.2026] 09:05', 700, 70);"
    "PRAGMA user_version = 2;";

}  // namespace

// A file an older version made is read as it is, and the running program
// brings it up to date keeping every row: the connections' money starts
// with the next priced minute.
TEST(CostStore, AnOlderLayoutIsReadAsItIsAndBroughtUpToDateKeepingItsRows) {
    const std::string head = "[08.12.2026] 09:05";
    const TDateTime day = EncodeDate(2026, 12, 8);
    const int32_t dayNumber = static_cast<int32_t>(day);
    const struct {
        std::string schema;
        std::string version;
        std::optional<CostStore::Bytes> bytes;
    } cases[] = {
        {kLayout1, "1", std::nullopt},
        {std::string(kLayout1) + kLayout2Additions, "2", CostStore::Bytes{700, 70}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("layout " + c.version);
        const TempDir dir;
        const auto file = dir / "Vimo.db";
        Sql(file, c.schema);

        const auto reader = CostStore::Open(dir.Path(), CostStore::Access::ReadOnly);
        EXPECT_EQ(reader->SessionCost(head), std::nullopt);
        EXPECT_EQ(reader->SessionBytes(head), c.bytes);
        EXPECT_EQ(Sql(file, "PRAGMA user_version"), c.version);

        {
            const auto store = CostStore::Open(dir.Path(), CostStore::Access::ReadWrite);
            EXPECT_EQ(store->SessionBytes(head), c.bytes);
            CostStore::MinuteRecord minute;
            minute.Day = day;
            minute.Priced = true;
            minute.Millikopecks = 1500;
            minute.BytesMillikopecks = 250;
            minute.Moved = {10, 1};
            minute.BytesRead = true;
            minute.SessionHead = head;
            store->Record(minute);
            EXPECT_EQ(store->SessionCost(head), (CostStore::DayCost{1, 1750}));
            EXPECT_EQ(store->DaysBetween(day, day),
                      (std::map<int32_t, CostStore::DayCost>{{dayNumber, {4, 14750}}}));
            EXPECT_EQ(store->SessionBytes(head),
                      (CostStore::Bytes{c.bytes.value_or(CostStore::Bytes{}).Received + 10,
                                        c.bytes.value_or(CostStore::Bytes{}).Sent + 1}));
        }
        EXPECT_EQ(Sql(file, "PRAGMA user_version"), std::to_string(CostStore::kSchemaVersion));
        EXPECT_EQ(Sql(file, "PRAGMA integrity_check"), "ok");
    }
}
