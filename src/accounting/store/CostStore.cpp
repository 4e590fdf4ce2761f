#include "store/CostStore.h"

#include "core/DataFiles.h"
#include "core/Translation.h"
#include "files/FileIO.h"
#include "files/FileVersion.h"
#include "files/SessionLineFields.h"

#include <sqlite3.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <iterator>
#include <optional>
#include <system_error>

namespace {

const std::string kFileName(datafiles::kCostStore);

// A failed SQLite call as the program's errors: the system's own failure
// when SQLite had one (a full disk, a refused folder), else the database's
// fault in SQLite's words. The system's error number is looked at only for
// failures of the file itself: SQLite keeps the last one it saw, which
// may belong to an earlier step that it handled.
[[noreturn]] void Fail(sqlite3* db, int code) {
    const int primary = code & 0xff;
    const int systemError = db != nullptr ? sqlite3_system_errno(db) : 0;
    if (primary == SQLITE_FULL) {
        throw EInOutError(EInOutError::kDiskFull, TranslateText("Errors", "Disk full") + ".",
                          kFileName);
    }
    // A file or a mount that refuses writing, also a journal that cannot be
    // rolled back for that reason.
    if (primary == SQLITE_READONLY || primary == SQLITE_PERM) {
        throw EInOutError(EInOutError::kAccessDenied, TranslateText("Errors", "File access denied"),
                          kFileName);
    }
    // A journal that cannot be made beside the file leaves the error of
    // SQLite's last try, to open one that is not there.
    if (primary == SQLITE_CANTOPEN && systemError == ENOENT && db != nullptr) {
        const char* file = sqlite3_db_filename(db, "main");
        if (file != nullptr && *file != '\0' &&
            ::access(std::filesystem::path(file).parent_path().c_str(), W_OK) != 0) {
            throw EInOutError(EInOutError::kAccessDenied,
                              TranslateText("Errors", "File access denied"), kFileName);
        }
    }
    if (systemError != 0 && (primary == SQLITE_IOERR || primary == SQLITE_CANTOPEN)) {
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
    Statement& Bind(int index, std::optional<int64_t> value) {
        Check(db_, value ? sqlite3_bind_int64(statement_, index, *value)
                         : sqlite3_bind_null(statement_, index));
        return *this;
    }
    // True while a row is there to read.
    bool Step() {
        const int code = sqlite3_step(statement_);
        Check(db_, code);
        return code == SQLITE_ROW;
    }
    int64_t Integer(int column) const { return sqlite3_column_int64(statement_, column); }
    std::optional<int64_t> OptionalInteger(int column) const {
        if (sqlite3_column_type(statement_, column) == SQLITE_NULL) {
            return std::nullopt;
        }
        return Integer(column);
    }
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

namespace {

// Whether a plain file stands at the store's name: none is no fault, while a
// link, a folder or a device is named. A link is not followed: SQLite finds a
// file's journal by the name it was opened under, so two names of one file
// would each miss the other's unfinished transaction.
bool StoreFileThere(const std::filesystem::path& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) {
            return false;
        }
        EInOutError error = InOutErrorFromErrno(errno);
        error.File = kFileName;
        throw error;
    }
    if (S_ISREG(st.st_mode)) {
        return true;
    }
    const char* kind = S_ISLNK(st.st_mode)   ? "a link"
                       : S_ISDIR(st.st_mode) ? "a folder"
                                             : "a special file";
    throw ECostStoreError(kFileName + " is " + kind + "; Vimo keeps its store in a plain file");
}

// A file opened read-only whose last transaction was cut short: its journal
// is hot, and only a connection that may write can roll it back.
bool LeftMidTransaction(sqlite3* db) {
    const int code =
        sqlite3_exec(db, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr);
    if (code == SQLITE_READONLY_ROLLBACK) {
        return true;
    }
    Check(db, code);
    return false;
}

void CopyForSnapshot(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code error;
    if (!std::filesystem::copy_file(from, to, error) || error) {
        EInOutError failure = InOutErrorFromErrno(error ? error.value() : EIO);
        failure.File = from.filename().string();
        throw failure;
    }
}

}  // namespace

// A private copy of "Vimo.db" and its hot journal, for a reader that may not
// write the working folder: opened for writing there, the copy is rolled
// back as the file itself will be by the next run of the program.
class CostStore::Snapshot {
  public:
    // None when the journal went, or changed, while the copy was taken: a
    // program started meanwhile rolled it back, and the file reads again.
    static std::unique_ptr<Snapshot> Take(const std::filesystem::path& folder) {
        const std::string name(datafiles::kCostStore);
        const std::filesystem::path journal = folder / (name + "-journal");
        const FileVersion before = CurrentFileVersion(journal);
        if (before.Error != 0) {
            return nullptr;
        }
        std::error_code noTemp;
        const std::filesystem::path temp = std::filesystem::temp_directory_path(noTemp);
        std::string pattern = ((noTemp ? "/tmp" : temp) / "vimo-report.XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            EInOutError error = InOutErrorFromErrno(errno);
            error.File = pattern;
            throw error;
        }
        std::unique_ptr<Snapshot> snapshot(new Snapshot(pattern));
        // The journal first: a rollback running meanwhile only puts back
        // pages that the copied journal holds too, so the copy's own
        // rollback ends in the same state.
        CopyForSnapshot(journal, snapshot->folder_ / (name + "-journal"));
        CopyForSnapshot(folder / name, snapshot->Path());
        if (CurrentFileVersion(journal) != before) {
            return nullptr;
        }
        return snapshot;
    }
    ~Snapshot() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;

    std::filesystem::path Path() const { return folder_ / datafiles::kCostStore; }

  private:
    explicit Snapshot(std::filesystem::path folder) : folder_(std::move(folder)) {}
    std::filesystem::path folder_;
};

std::unique_ptr<CostStore> CostStore::OpenFile(const std::filesystem::path& path, int flags,
                                               std::unique_ptr<Snapshot> snapshot) {
    sqlite3* db = nullptr;
    const int code = sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_NOFOLLOW, nullptr);
    std::unique_ptr<CostStore> store(new CostStore(db, std::move(snapshot)));
    Check(db, code);
    sqlite3_extended_result_codes(db, 1);
    // The running program and a report read side by side: a writer's
    // transaction is a few milliseconds, so waiting a little always ends it.
    sqlite3_busy_timeout(db, 5000);
    return store;
}

std::unique_ptr<CostStore> CostStore::Open(const std::filesystem::path& folder, Access access,
                                           IfMissing missing) {
    const std::filesystem::path path = folder / datafiles::kCostStore;
    if (!StoreFileThere(path) && (access == Access::ReadOnly || missing == IfMissing::GiveNone)) {
        return nullptr;
    }
    if (access == Access::ReadWrite) {
        const int create = missing == IfMissing::Create ? SQLITE_OPEN_CREATE : 0;
        std::unique_ptr<CostStore> store = OpenFile(path, SQLITE_OPEN_READWRITE | create, nullptr);
        store->CreateOrCheckSchema(access);
        return store;
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::unique_ptr<CostStore> store = OpenFile(path, SQLITE_OPEN_READONLY, nullptr);
        if (!LeftMidTransaction(store->db_)) {
            store->CreateOrCheckSchema(access);
            return store;
        }
        store.reset();
        if (std::unique_ptr<Snapshot> snapshot = Snapshot::Take(folder)) {
            const std::filesystem::path copy = snapshot->Path();
            store = OpenFile(copy, SQLITE_OPEN_READWRITE, std::move(snapshot));
            store->CreateOrCheckSchema(access);
            return store;
        }
    }
    throw ECostStoreError(kFileName + ": it kept changing while it was read; try again");
}

CostStore::CostStore(sqlite3* db, std::unique_ptr<Snapshot> snapshot)
    : db_(db), snapshot_(std::move(snapshot)) {}

CostStore::~CostStore() {
    // Closed before its snapshot, if any, is removed.
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
    if (version < 3) {
        Execute(db_,
                "CREATE TABLE session_cost ("
                " head TEXT PRIMARY KEY,"
                " minutes INTEGER NOT NULL,"
                " millikopecks INTEGER NOT NULL"
                ") WITHOUT ROWID;");
    }
    if (version < 4) {
        // Alerts recorded before this was kept were shown then, or lost with
        // a run: neither is shown again.
        Execute(db_, "ALTER TABLE fired_alert ADD COLUMN shown INTEGER NOT NULL DEFAULT 1;");
    }
    Execute(db_,
            "CREATE TABLE budget_stop ("
            " cycle_first TEXT PRIMARY KEY,"
            " phase TEXT NOT NULL,"
            " due INTEGER NOT NULL,"
            " session TEXT NOT NULL"
            ") WITHOUT ROWID;"
            "CREATE TABLE provider_adjustment ("
            " cycle_first TEXT PRIMARY KEY,"
            " at INTEGER NOT NULL,"
            " kopecks INTEGER,"
            " minutes INTEGER,"
            " megabytes INTEGER,"
            " kopecks_difference INTEGER NOT NULL,"
            " minutes_difference INTEGER NOT NULL,"
            " bytes_difference INTEGER NOT NULL"
            ") WITHOUT ROWID;"
            "PRAGMA user_version = 5;");
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
    Record(std::span<const MinuteRecord>(&minute, 1));
}

void CostStore::Record(std::span<const MinuteRecord> minutes) {
    Transaction transaction(db_);
    for (const MinuteRecord& minute : minutes) {
        Add(minute);
    }
    transaction.Commit();
}

void CostStore::Add(const MinuteRecord& minute) {
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
                       "INSERT OR IGNORE INTO fired_alert (cycle_first, budget, percent, shown)"
                       " VALUES (?1, ?2, ?3, ?4)");
        fire.Bind(1, DayKey(minute.CycleFirst))
            .Bind(2, alert.Budget)
            .Bind(3, static_cast<int64_t>(alert.Percent))
            .Bind(4, int64_t{alert.Shown ? 1 : 0})
            .Step();
    }
}

std::vector<CostStore::FiredAlert> CostStore::UnshownAlerts(TDateTime cycleFirst) const {
    std::vector<FiredAlert> unshown;
    if (UserVersion(db_) < 4) {
        return unshown;
    }
    Statement select(db_,
                     "SELECT budget, percent FROM fired_alert WHERE cycle_first = ?1 AND shown = 0"
                     " ORDER BY budget, percent");
    select.Bind(1, DayKey(cycleFirst));
    while (select.Step()) {
        unshown.push_back({std::string(select.Text(0)), static_cast<int>(select.Integer(1))});
    }
    return unshown;
}

void CostStore::AlertShown(TDateTime cycleFirst, std::string_view budget, int percent) {
    Statement update(db_,
                     "UPDATE fired_alert SET shown = 1"
                     " WHERE cycle_first = ?1 AND budget = ?2 AND percent <= ?3 AND shown = 0");
    update.Bind(1, DayKey(cycleFirst)).Bind(2, budget).Bind(3, int64_t{percent}).Step();
}

namespace {

constexpr std::string_view kPhaseNames[] = {"pending", "deferred", "declined", "stopped", "failed"};

// Moments are kept as whole seconds since TDateTime's day 0.
int64_t SecondsOf(TDateTime moment) {
    return std::llround(moment * 86400.0);
}

TDateTime MomentOf(int64_t seconds) {
    return static_cast<TDateTime>(seconds) / 86400.0;
}

}  // namespace

std::optional<StopState> CostStore::StopOf(TDateTime cycleFirst) const {
    if (UserVersion(db_) < 5) {
        return std::nullopt;
    }
    Statement select(db_, "SELECT phase, due, session FROM budget_stop WHERE cycle_first = ?1");
    select.Bind(1, DayKey(cycleFirst));
    if (!select.Step()) {
        return std::nullopt;
    }
    const auto* phase = std::find(std::begin(kPhaseNames), std::end(kPhaseNames), select.Text(0));
    if (phase == std::end(kPhaseNames)) {
        throw ECostStoreError(kFileName + ": unknown stop '" + std::string(select.Text(0)) + "'",
                              true);
    }
    return StopState{cycleFirst, static_cast<StopPhase>(phase - std::begin(kPhaseNames)),
                     MomentOf(select.Integer(1)), std::string(select.Text(2))};
}

void CostStore::SaveStop(const StopState& stop) {
    Statement(db_,
              "INSERT OR REPLACE INTO budget_stop (cycle_first, phase, due, session)"
              " VALUES (?1, ?2, ?3, ?4)")
        .Bind(1, DayKey(stop.CycleFirst))
        .Bind(2, kPhaseNames[static_cast<int>(stop.Phase)])
        .Bind(3, SecondsOf(stop.Due))
        .Bind(4, stop.Session)
        .Step();
}

void CostStore::DropStop(TDateTime cycleFirst) {
    Statement(db_, "DELETE FROM budget_stop WHERE cycle_first = ?1")
        .Bind(1, DayKey(cycleFirst))
        .Step();
}

std::optional<ProviderAdjustment> CostStore::AdjustmentOf(TDateTime cycleFirst) const {
    if (UserVersion(db_) < 5) {
        return std::nullopt;
    }
    Statement select(db_,
                     "SELECT at, kopecks, minutes, megabytes, kopecks_difference,"
                     " minutes_difference, bytes_difference FROM provider_adjustment"
                     " WHERE cycle_first = ?1");
    select.Bind(1, DayKey(cycleFirst));
    if (!select.Step()) {
        return std::nullopt;
    }
    return ProviderAdjustment{cycleFirst,
                              MomentOf(select.Integer(0)),
                              select.OptionalInteger(1),
                              select.OptionalInteger(2),
                              select.OptionalInteger(3),
                              select.Integer(4),
                              select.Integer(5),
                              select.Integer(6)};
}

void CostStore::SaveAdjustment(const ProviderAdjustment& adjustment) {
    Statement(db_,
              "INSERT OR REPLACE INTO provider_adjustment (cycle_first, at, kopecks, minutes,"
              " megabytes, kopecks_difference, minutes_difference, bytes_difference)"
              " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)")
        .Bind(1, DayKey(adjustment.CycleFirst))
        .Bind(2, SecondsOf(adjustment.At))
        .Bind(3, adjustment.Kopecks)
        .Bind(4, adjustment.Minutes)
        .Bind(5, adjustment.Megabytes)
        .Bind(6, adjustment.KopecksDifference)
        .Bind(7, adjustment.MinutesDifference)
        .Bind(8, adjustment.BytesDifference)
        .Step();
}
