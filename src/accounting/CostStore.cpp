#include "CostStore.h"

#include "DataFiles.h"
#include "FileIO.h"
#include "SessionLineFields.h"

#include <sqlite3.h>

#include <cerrno>
#include <charconv>
#include <optional>
#include <system_error>

namespace {

const std::string kFileName(datafiles::kCostStore);

// A failed SQLite call as the program's errors: the system's own failure
// when SQLite had one (a full disk, a refused folder), else the database's
// fault in SQLite's words.
[[noreturn]] void Fail(sqlite3* db, int code) {
    const int primary = code & 0xff;
    const int systemError = db != nullptr ? sqlite3_system_errno(db) : 0;
    if (primary == SQLITE_FULL) {
        throw EInOutError(EInOutError::kDiskFull, "Disk full.", kFileName);
    }
    if (systemError != 0 && primary != SQLITE_CORRUPT && primary != SQLITE_NOTADB) {
        EInOutError error = InOutErrorFromErrno(systemError);
        error.File = kFileName;
        throw error;
    }
    const char* reason = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    throw ECostStoreError(kFileName + ": " + reason,
                          primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB);
}

void Check(sqlite3* db, int code) {
    if (code != SQLITE_OK && code != SQLITE_DONE && code != SQLITE_ROW) {
        Fail(db, code);
    }
}

// One prepared statement, finalised on every path.
class Statement {
  public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        Check(db_, sqlite3_prepare_v2(db_, sql, -1, &statement_, nullptr));
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int index, std::string_view text) {
        Check(db_, sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                                     SQLITE_TRANSIENT));
        return *this;
    }
    Statement& Bind(int index, int64_t value) {
        Check(db_, sqlite3_bind_int64(statement_, index, value));
        return *this;
    }
    // True while a row is there to read.
    bool Step() {
        const int code = sqlite3_step(statement_);
        Check(db_, code);
        return code == SQLITE_ROW;
    }
    int64_t Integer(int column) const { return sqlite3_column_int64(statement_, column); }
    std::string_view Text(int column) const {
        const auto* bytes = sqlite3_column_text(statement_, column);
        return bytes == nullptr
                   ? std::string_view()
                   : std::string_view(
                         reinterpret_cast<const char*>(bytes),
                         static_cast<size_t>(sqlite3_column_bytes(statement_, column)));
    }

  private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};

void Execute(sqlite3* db, const char* sql) {
    Check(db, sqlite3_exec(db, sql, nullptr, nullptr, nullptr));
}

int64_t UserVersion(sqlite3* db) {
    Statement version(db, "PRAGMA user_version");
    return version.Step() ? version.Integer(0) : 0;
}

bool HasTables(sqlite3* db) {
    Statement tables(db, "SELECT count(*) FROM sqlite_schema WHERE type = 'table'");
    return tables.Step() && tables.Integer(0) > 0;
}

// "2026-12-08" back to its whole day number; none for any other text.
std::optional<int32_t> DayOfKey(std::string_view key) {
    int year = 0, month = 0, day = 0;
    if (key.size() != 10 || key[4] != '-' || key[7] != '-') {
        return std::nullopt;
    }
    const auto number = [&key](size_t from, size_t length, int& out) {
        const char* first = key.data() + from;
        const auto [end, error] = std::from_chars(first, first + length, out);
        return error == std::errc() && end == first + length;
    };
    if (!number(0, 4, year) || !number(5, 2, month) || !number(8, 2, day) ||
        !IsValidDate(year, month, day)) {
        return std::nullopt;
    }
    return static_cast<int32_t>(EncodeDate(year, month, day));
}

// Rolls back a transaction that did not reach its commit.
class Transaction {
  public:
    explicit Transaction(sqlite3* db) : db_(db) { Execute(db_, "BEGIN IMMEDIATE"); }
    ~Transaction() {
        if (!committed_) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        }
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit() {
        Execute(db_, "COMMIT");
        committed_ = true;
    }

  private:
    sqlite3* db_;
    bool committed_ = false;
};

}  // namespace

std::string DayKey(TDateTime value) {
    const CalendarDate date = DecodeDate(value);
    char text[16];
    auto put = [](char* at, int number, int width) {
        char* end = at + width;
        for (char* p = end - 1; p >= at; --p) {
            *p = static_cast<char>('0' + number % 10);
            number /= 10;
        }
    };
    put(text, date.Year, 4);
    text[4] = '-';
    put(text + 5, date.Month, 2);
    text[7] = '-';
    put(text + 8, date.Day, 2);
    return std::string(text, 10);
}

std::unique_ptr<CostStore> CostStore::Open(const std::filesystem::path& folder, Access access) {
    const std::filesystem::path path = folder / datafiles::kCostStore;
    std::error_code lookError;
    if (access == Access::ReadOnly && !std::filesystem::exists(path, lookError)) {
        if (lookError) {
            EInOutError error = InOutErrorFromErrno(lookError.value());
            error.File = kFileName;
            throw error;
        }
        return nullptr;
    }
    const int flags = access == Access::ReadOnly ? SQLITE_OPEN_READONLY
                                                 : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    sqlite3* db = nullptr;
    const int code = sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_NOFOLLOW, nullptr);
    std::unique_ptr<CostStore> store(new CostStore(db));
    Check(db, code);
    sqlite3_extended_result_codes(db, 1);
    // The running program and a report read side by side: a writer's
    // transaction is a few milliseconds, so waiting a little always ends it.
    sqlite3_busy_timeout(db, 5000);
    store->CreateOrCheckSchema(access);
    return store;
}

CostStore::CostStore(sqlite3* db) : db_(db) {}

CostStore::~CostStore() {
    sqlite3_close_v2(db_);
}

void CostStore::CreateOrCheckSchema(Access access) {
    const int64_t version = UserVersion(db_);
    if (version > kSchemaVersion) {
        throw ECostStoreError(kFileName + ": made by a newer version of Vimo (schema " +
                              std::to_string(version) + ")");
    }
    // Version 0 is a file that is new, or one this program did not make.
    if (version == 0 && HasTables(db_)) {
        throw ECostStoreError(kFileName + ": not a file of Vimo", true);
    }
    if (access == Access::ReadOnly) {
        // An older layout is read as far as it goes; the running program
        // brings it up to date.
        return;
    }
    Execute(db_, "PRAGMA synchronous = FULL");
    if (version == kSchemaVersion) {
        return;
    }
    Transaction schema(db_);
    if (version < 1) {
        Execute(db_,
                "CREATE TABLE day_cost ("
                " day TEXT PRIMARY KEY,"
                " minutes INTEGER NOT NULL,"
                " millikopecks INTEGER NOT NULL"
                ") WITHOUT ROWID;"
                "CREATE TABLE fired_alert ("
                " cycle_first TEXT NOT NULL,"
                " budget TEXT NOT NULL,"
                " percent INTEGER NOT NULL,"
                " PRIMARY KEY (cycle_first, budget, percent)"
                ") WITHOUT ROWID;");
    }
    if (version < 2) {
        Execute(db_,
                "CREATE TABLE day_bytes ("
                " day TEXT PRIMARY KEY,"
                " received INTEGER NOT NULL,"
                " sent INTEGER NOT NULL"
                ") WITHOUT ROWID;"
                "CREATE TABLE session_bytes ("
                " head TEXT PRIMARY KEY,"
                " received INTEGER NOT NULL,"
                " sent INTEGER NOT NULL"
                ") WITHOUT ROWID;");
    }
    Execute(db_,
            "CREATE TABLE session_cost ("
            " head TEXT PRIMARY KEY,"
            " minutes INTEGER NOT NULL,"
            " millikopecks INTEGER NOT NULL"
            ") WITHOUT ROWID;"
            "PRAGMA user_version = 3;");
    schema.Commit();
}

CostStore::Bytes CostStore::BytesBetween(TDateTime first, TDateTime last) const {
    if (UserVersion(db_) < 2) {
        return {};
    }
    Statement select(db_,
                     "SELECT coalesce(sum(received), 0), coalesce(sum(sent), 0) FROM day_bytes"
                     " WHERE day BETWEEN ?1 AND ?2");
    select.Bind(1, DayKey(first)).Bind(2, DayKey(last));
    select.Step();
    return {select.Integer(0), select.Integer(1)};
}

std::optional<CostStore::Bytes> CostStore::SessionBytes(std::string_view head) const {
    if (UserVersion(db_) < 2) {
        return std::nullopt;
    }
    Statement select(db_, "SELECT received, sent FROM session_bytes WHERE head = ?1");
    select.Bind(1, head);
    if (!select.Step()) {
        return std::nullopt;
    }
    return Bytes{select.Integer(0), select.Integer(1)};
}

std::optional<CostStore::DayCost> CostStore::SessionCost(std::string_view head) const {
    if (UserVersion(db_) < 3) {
        return std::nullopt;
    }
    Statement select(db_, "SELECT minutes, millikopecks FROM session_cost WHERE head = ?1");
    select.Bind(1, head);
    if (!select.Step()) {
        return std::nullopt;
    }
    return DayCost{select.Integer(0), select.Integer(1)};
}

std::map<std::string, CostStore::Bytes, std::less<>> CostStore::SessionBytesBetween(
    TDateTime first, TDateTime last) const {
    std::map<std::string, Bytes, std::less<>> sessions;
    if (UserVersion(db_) < 2) {
        return sessions;
    }
    // A head's "DD.MM.YYYY" does not sort by date, so the dates are compared
    // here over every row: one a connection, a few thousand in years.
    const int32_t firstDay = static_cast<int32_t>(first);
    const int32_t lastDay = static_cast<int32_t>(last);
    Statement select(db_, "SELECT head, received, sent FROM session_bytes");
    while (select.Step()) {
        const std::string_view head = select.Text(0);
        const std::optional<int32_t> day = SessionKeyDay(head);
        if (day && *day >= firstDay && *day <= lastDay) {
            sessions.emplace(head, Bytes{select.Integer(1), select.Integer(2)});
        }
    }
    return sessions;
}

std::map<int32_t, CostStore::DayCost> CostStore::DaysBetween(TDateTime first,
                                                             TDateTime last) const {
    std::map<int32_t, DayCost> days;
    if (UserVersion(db_) == 0) {
        return days;
    }
    Statement select(db_,
                     "SELECT day, minutes, millikopecks FROM day_cost"
                     " WHERE day BETWEEN ?1 AND ?2");
    select.Bind(1, DayKey(first)).Bind(2, DayKey(last));
    while (select.Step()) {
        if (const auto day = DayOfKey(select.Text(0))) {
            days[*day] = {select.Integer(1), select.Integer(2)};
        }
    }
    return days;
}

std::vector<int> CostStore::FiredAlerts(TDateTime cycleFirst, std::string_view budget) const {
    std::vector<int> fired;
    if (UserVersion(db_) == 0) {
        return fired;
    }
    Statement select(db_,
                     "SELECT percent FROM fired_alert WHERE cycle_first = ?1 AND budget = ?2"
                     " ORDER BY percent");
    select.Bind(1, DayKey(cycleFirst)).Bind(2, budget);
    while (select.Step()) {
        fired.push_back(static_cast<int>(select.Integer(0)));
    }
    return fired;
}

void CostStore::Record(const MinuteRecord& minute) {
    Transaction transaction(db_);
    const std::string day = DayKey(minute.Day);
    const bool priced = minute.Priced || minute.BytesMillikopecks != 0;
    const int64_t pricedMinutes = minute.Priced ? 1 : 0;
    const int64_t millikopecks =
        (minute.Priced ? minute.Millikopecks : 0) + minute.BytesMillikopecks;
    if (priced) {
        Statement add(db_,
                      "INSERT INTO day_cost (day, minutes, millikopecks) VALUES (?1, ?2, ?3)"
                      " ON CONFLICT (day) DO UPDATE SET minutes = minutes + excluded.minutes,"
                      " millikopecks = millikopecks + excluded.millikopecks");
        add.Bind(1, day).Bind(2, pricedMinutes).Bind(3, millikopecks).Step();
    }
    if (priced && !minute.SessionHead.empty()) {
        Statement addSession(
            db_,
            "INSERT INTO session_cost (head, minutes, millikopecks) VALUES (?1, ?2, ?3)"
            " ON CONFLICT (head) DO UPDATE SET minutes = minutes + excluded.minutes,"
            " millikopecks = millikopecks + excluded.millikopecks");
        addSession.Bind(1, minute.SessionHead).Bind(2, pricedMinutes).Bind(3, millikopecks).Step();
    }
    if (minute.Moved.Total() != 0) {
        Statement addDay(db_,
                         "INSERT INTO day_bytes (day, received, sent) VALUES (?1, ?2, ?3)"
                         " ON CONFLICT (day) DO UPDATE SET received = received + excluded.received,"
                         " sent = sent + excluded.sent");
        addDay.Bind(1, day).Bind(2, minute.Moved.Received).Bind(3, minute.Moved.Sent).Step();
    }
    if (minute.BytesRead && !minute.SessionHead.empty()) {
        // A connection is recorded from its first tick on, also with no
        // bytes yet, so its report says 0 rather than unknown.
        Statement addSession(
            db_,
            "INSERT INTO session_bytes (head, received, sent) VALUES (?1, ?2, ?3)"
            " ON CONFLICT (head) DO UPDATE SET received = received + excluded.received,"
            " sent = sent + excluded.sent");
        addSession.Bind(1, minute.SessionHead)
            .Bind(2, minute.Moved.Received)
            .Bind(3, minute.Moved.Sent)
            .Step();
    }
    for (const FiredAlert& alert : minute.Alerts) {
        Statement fire(db_,
                       "INSERT OR IGNORE INTO fired_alert (cycle_first, budget, percent)"
                       " VALUES (?1, ?2, ?3)");
        fire.Bind(1, DayKey(minute.CycleFirst))
            .Bind(2, alert.Budget)
            .Bind(3, static_cast<int64_t>(alert.Percent))
            .Step();
    }
    transaction.Commit();
}
