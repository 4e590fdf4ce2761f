#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/DateTime.h"
#include "plan/BillingCycle.h"
#include "plan/Budget.h"
#include "store/CostStore.h"

// The figures of one day in a working folder, as the program's pages and
// budget reckon them, for the report command and anything else that only
// looks: the day, its calendar month and its billing cycle, in minutes, in
// kopecks and in bytes, with the budget's state and the session in
// progress. Building them reads the data files and never writes one.

struct PeriodFigures {
    TDateTime First = 0;
    TDateTime Last = 0;
    int64_t Minutes = 0;
    int64_t Kopecks = 0;
    // The bytes of the days "Vimo.db" holds: 0 without the file or in one
    // from before bytes were kept.
    CostStore::Bytes Bytes;
};

struct DaySummary {
    TDateTime Day = 0;
    int64_t DayMinutes = 0;
    int64_t DayKopecks = 0;
    CostStore::Bytes DayBytes;
    PeriodFigures Month;
    // The cycle's First and Last; its use runs from First up to the day.
    PeriodFigures Cycle;
    int CycleDays = 0;
    int DaysLeft = 0;
    // Use and forecast always; limit, percent and allowance where the budget
    // sets a limit for the unit.
    BudgetFigures CycleMinutes;
    BudgetFigures CycleKopecks;
    // In whole megabytes of 1,000,000 bytes.
    BudgetFigures CycleMegabytes;
    // The provider's figures the cycle's use counts from, when typed in.
    std::optional<ProviderAdjustment> Adjustment;
    // Whether the budget of "Vimo.toml" sets a limit in any unit.
    bool HasBudget = false;
    // The thresholds recorded as fired in the day's cycle, of any budget,
    // ascending, each once.
    std::vector<int> AlertsFired;
};

// The figures of the day of `day` in `folder`. The tariff is the settings
// record's, or the default record's when there is none; the plan is what
// "Vimo.toml" says. Throws the files' errors: EInOutError (a folder that is
// not there is "File not found" naming it; a short table file "Read beyond
// end of file"), EPlanFileError for a faulty plan file, ECostStoreError for
// a damaged "Vimo.db".
DaySummary SummarizeDay(const std::filesystem::path& folder, TDateTime day);

// The session "BegTime.txt" holds. Parts its line lacks are nullopt.
struct SessionInProgress {
    std::optional<std::string> Start;  // "DD.MM.YYYY HH:MM"
    std::optional<uint32_t> Minutes;
    std::optional<std::string> Address;
    // What "Vimo.db" holds for the session: none when it holds nothing.
    std::optional<CostStore::Bytes> Bytes;
    // No Vimo runs in the folder: the line is one a run left when it ended
    // during its session, to be carried into the history by the next one.
    bool LeftOver = false;
};

// None when "BegTime.txt" is missing or its first line is empty. Its line is
// left over when `programRuns` says no Vimo runs in the folder. Throws
// ECostStoreError for a damaged "Vimo.db".
std::optional<SessionInProgress> ReadSessionInProgress(const std::filesystem::path& folder,
                                                       bool programRuns);
