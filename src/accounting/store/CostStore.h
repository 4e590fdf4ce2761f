#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/DateTime.h"
#include "core/Errors.h"
#include "store/CycleRecords.h"

struct sqlite3;

// "Vimo.db" could not be used: it is damaged, not a database, or was made by
// a newer version. The text names the file and what is wrong with it.
class ECostStoreError : public Exception {
  public:
    // `damaged`: the file is no database of this program's (damaged, or
    // someone else's), as opposed to one a newer version made.
    explicit ECostStoreError(const std::string& message, bool damaged = false)
        : Exception(message), Damaged(damaged) {}
    const char* ClassName() const noexcept override { return "ECostStoreError"; }
    bool Damaged;
};

// What the program keeps beyond its table and session files, in the SQLite
// database "Vimo.db" of the working folder: the money of each day's priced
// minutes and bytes, in whole millikopecks, by day and by connection; the
// bytes each day and each connection moved; and the budget alerts already
// shown in each billing cycle. Every write is one transaction with a full sync, so a power cut
// leaves either the whole minute or none of it.
//
// File steps throw EInOutError (a full disk, a file or folder that refuses
// writing) with "Vimo.db" as the file; a damaged database, a link or anything
// but a plain file at its name throws ECostStoreError.
class CostStore {
  public:
    // 1: priced days and alerts; 2 adds the bytes of days and connections;
    // 3 the priced minutes of connections; 4 whether each alert was shown;
    // 5 the stop at the budget and the provider's figures of each cycle.
    static constexpr int kSchemaVersion = 5;

    enum class Access { ReadOnly, ReadWrite };
    // What opening for writing does when there is no file.
    enum class IfMissing { Create, GiveNone };

    // ReadWrite opens the file for writing, so a transaction that a killed
    // run left unfinished is rolled back at once, and brings its tables up
    // to date; with IfMissing::Create it makes a missing file.
    // ReadOnly never writes a byte of the folder and gives none when there
    // is no file. A transaction left unfinished there cannot be rolled back
    // in place, so it is rolled back in a private copy in the temporary
    // folder, which is read instead and removed with the store.
    static std::unique_ptr<CostStore> Open(const std::filesystem::path& folder, Access access,
                                           IfMissing missing = IfMissing::Create);
    ~CostStore();
    CostStore(const CostStore&) = delete;
    CostStore& operator=(const CostStore&) = delete;

    struct DayCost {
        int64_t Minutes = 0;
        int64_t Millikopecks = 0;
        friend bool operator==(const DayCost&, const DayCost&) = default;
    };
    // The priced days from the day of `first` to the day of `last`, keyed by
    // the whole day number of TDateTime.
    std::map<int32_t, DayCost> DaysBetween(TDateTime first, TDateTime last) const;

    struct Bytes {
        int64_t Received = 0;
        int64_t Sent = 0;
        int64_t Total() const { return Received + Sent; }
        friend bool operator==(const Bytes&, const Bytes&) = default;
    };
    // The bytes of the days from `first` to `last`, summed.
    Bytes BytesBetween(TDateTime first, TDateTime last) const;
    // The bytes of the connection whose history line starts with `head`
    // ("[08.12.2026] 09:05"); none when they were not recorded.
    std::optional<Bytes> SessionBytes(std::string_view head) const;
    // The priced minutes of the connection of `head`, with their money and
    // that of its bytes; none when it has none.
    std::optional<DayCost> SessionCost(std::string_view head) const;
    // The bytes of every connection that started on the days from `first`
    // to `last`, by head; for a listing, which looks up each of its lines.
    std::map<std::string, Bytes, std::less<>> SessionBytesBetween(TDateTime first,
                                                                  TDateTime last) const;

    // The thresholds of `budget` ("kopecks", "minutes") already raised in the
    // cycle starting on `cycleFirst`, ascending.
    std::vector<int> FiredAlerts(TDateTime cycleFirst, std::string_view budget) const;

    struct FiredAlert {
        std::string Budget;
        int Percent = 0;
        // Its notice was shown; an alert is recorded before it is shown, so
        // a run killed in between shows it at the next start.
        bool Shown = false;
        friend bool operator==(const FiredAlert&, const FiredAlert&) = default;
    };
    // The alerts of the cycle starting on `cycleFirst` recorded but not
    // shown, by budget and percent.
    std::vector<FiredAlert> UnshownAlerts(TDateTime cycleFirst) const;
    // Records the notice of `budget`'s alert at `percent` as shown, and those
    // below it in the cycle, which it stands for.
    void AlertShown(TDateTime cycleFirst, std::string_view budget, int percent);
    // One tick, in one transaction: the price of its minute added to its
    // day and to the connection of `SessionHead` when `Priced`, so is the
    // money of its bytes; its bytes added to the day and, when `BytesRead`,
    // to the connection; and the alerts it raised recorded for the cycle.
    struct MinuteRecord {
        TDateTime Day = 0;
        bool Priced = false;
        int64_t Millikopecks = 0;
        int64_t BytesMillikopecks = 0;
        Bytes Moved;
        bool BytesRead = false;
        std::string SessionHead;
        TDateTime CycleFirst = 0;
        std::vector<FiredAlert> Alerts;
    };
    void Record(const MinuteRecord& minute);
    // Several ticks in one transaction: the minutes that waited while the
    // file could not be written, with the newest.
    void Record(std::span<const MinuteRecord> minutes);

    // The stop at the budget in the cycle starting on `cycleFirst`; none
    // while the cycle has none.
    std::optional<StopState> StopOf(TDateTime cycleFirst) const;
    // Replaces the stop of its cycle; DropStop removes it.
    void SaveStop(const StopState& stop);
    void DropStop(TDateTime cycleFirst);
    // The provider's figures of the cycle starting on `cycleFirst`.
    std::optional<ProviderAdjustment> AdjustmentOf(TDateTime cycleFirst) const;
    // Replaces the adjustment of its cycle.
    void SaveAdjustment(const ProviderAdjustment& adjustment);

  private:
    class Snapshot;
    CostStore(sqlite3* db, std::unique_ptr<Snapshot> snapshot);
    static std::unique_ptr<CostStore> OpenFile(const std::filesystem::path& path, int flags,
                                               std::unique_ptr<Snapshot> snapshot);
    void CreateOrCheckSchema(Access access);
    void Add(const MinuteRecord& minute);

    sqlite3* db_;
    // The private copy read in place of a file left mid-transaction.
    std::unique_ptr<Snapshot> snapshot_;
};

// The day of `value` as the database keys it: "2026-12-08".
std::string DayKey(TDateTime value);
