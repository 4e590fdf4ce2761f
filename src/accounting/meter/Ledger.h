#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/DateTime.h"
#include "core/ReportRange.h"
#include "files/PropRecord.h"
#include "files/SessionLog.h"
#include "files/UsageTable.h"
#include "plan/Budget.h"
#include "plan/PlanAccount.h"
#include "store/CostStore.h"

// Which days' figures changed, so a screen rebuilds only those.
struct DayChange {
    // Every day's: the plan or the store changed under all of them.
    bool Every = false;
    // Else the days from First to Last; none when no day's figure changed.
    std::optional<DayRange> Days;
};

// The session the meter has open, as it counts it.
struct MeterSession {
    bool Open = false;
    uint32_t Minutes = 0;
};

// What has been counted, for reading only: the table, the settings record's
// tariff and the plan account, so that every money answer prices by the same
// three. The meter keeps one over its own; the report makes one over what it
// read. It holds references, and lives no longer than what it reads.
class Ledger {
  public:
    // Without `log` and `session` no session is in progress.
    Ledger(const TUsageTable& table, const TPropRecord& prop, const PlanAccount& plan,
           const TSessionLog* log = nullptr, const MeterSession* session = nullptr);

    const TUsageTable& Table() const { return table_; }
    const TPropRecord& Prop() const { return prop_; }
    double MinuteCost() const { return prop_.MinuteCost; }
    const PlanAccount& Plan() const { return plan_; }

    uint32_t MinutesOf(TDateTime first, TDateTime last) const;
    // The money of the days from `first` to `last`, in kopecks: the plan's
    // when one prices minutes, else minutes x the tariff.
    int64_t KopecksOf(TDateTime first, TDateTime last) const;
    CostStore::Bytes BytesOf(TDateTime first, TDateTime last) const;
    // The cycle of `today` in each unit (see PlanAccount).
    BudgetFigures MinuteFigures(TDateTime today) const;
    BudgetFigures KopeckFigures(TDateTime today) const;
    BudgetFigures MegabyteFigures(TDateTime today) const;
    // The stop at the budget and the provider's figures of the cycle of
    // `today` (see PlanAccount).
    std::optional<StopState> StopOf(TDateTime today) const { return plan_.StopOf(today); }
    std::optional<ProviderAdjustment> AdjustmentOf(TDateTime today) const {
        return plan_.AdjustmentOf(today);
    }
    // The money of the connection of `head` after `minutes` (see PlanAccount).
    std::optional<int64_t> SessionKopecks(std::string_view head, uint32_t minutes) const;

    bool SessionOpen() const { return session_ != nullptr && session_->Open; }
    uint32_t SessionMinutes() const { return session_ != nullptr ? session_->Minutes : 0; }
    // The current session's head and address; only while one is open.
    const std::string& SessionHead() const { return log_->SessionHead(); }
    const std::string& SessionAddress() const { return log_->SessionIP(); }

  private:
    const TUsageTable& table_;
    const TPropRecord& prop_;
    const PlanAccount& plan_;
    const TSessionLog* log_;
    const MeterSession* session_;
};
