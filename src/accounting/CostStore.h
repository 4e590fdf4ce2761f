#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "DateTime.h"
#include "Errors.h"

struct sqlite3;

// "Vimo.db" could not be used: it is damaged, not a database, or was made by
// a newer version. The text names the file and what is wrong with it.
class ECostStoreError : public Exception {
  public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "ECostStoreError"; }
};

// What the plan adds to the design's files, kept in the SQLite database
// "Vimo.db" of the working folder: the money of each day's priced minutes,
// in whole millikopecks, and the budget alerts already shown in each billing
// cycle. Every write is one transaction with a full sync, so a power cut
// leaves either the whole minute or none of it.
//
// File steps throw EInOutError (a full disk, a folder that refuses the file)
// with "Vimo.db" as the file; a damaged database throws ECostStoreError.
class CostStore {
  public:
    static constexpr int kSchemaVersion = 1;

    enum class Access { ReadOnly, ReadWrite };

    // ReadWrite creates the file and its tables when they are missing.
    // ReadOnly never writes a byte and gives none when there is no file.
    static std::unique_ptr<CostStore> Open(const std::filesystem::path& folder, Access access);
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

    // The thresholds of `budget` ("kopecks", "minutes") already raised in the
    // cycle starting on `cycleFirst`, ascending.
    std::vector<int> FiredAlerts(TDateTime cycleFirst, std::string_view budget) const;

    struct FiredAlert {
        std::string Budget;
        int Percent = 0;
    };
    // One counted minute, in one transaction: its price added to its day
    // when `priced`, and the alerts it raised recorded for the cycle.
    struct MinuteRecord {
        TDateTime Day = 0;
        bool Priced = false;
        int64_t Millikopecks = 0;
        TDateTime CycleFirst = 0;
        std::vector<FiredAlert> Alerts;
    };
    void Record(const MinuteRecord& minute);

  private:
    explicit CostStore(sqlite3* db);
    void CreateOrCheckSchema(Access access);

    sqlite3* db_;
};

// The day of `value` as the database keys it: "2026-12-08".
std::string DayKey(TDateTime value);
