#pragma once

#include <cstdint>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BillingCycle.h"
#include "Budget.h"
#include "CostStore.h"
#include "FileVersion.h"
#include "PlanSettings.h"
#include "UsageTable.h"

// What a look at "Vimo.toml" found: whether it changed since the last look,
// and the fault of a new version that cannot be taken.
struct PlanReload {
    bool Changed = false;
    std::exception_ptr Error;
};

// The plan of a working folder in force: what "Vimo.toml" says (re-read
// when the file changes) and what "Vimo.db" holds. Without a plan file the
// program's own rules stand: calendar months, minutes x the settings
// record's tariff, no budget; and no new file is made.
class PlanAccount {
  public:
    // ReadOnly never writes a file, for the report command; CountMinute is
    // then not to be called.
    PlanAccount(std::filesystem::path folder, CostStore::Access access);
    ~PlanAccount();

    // Reads "Vimo.toml" again when it changed since the last look. A file
    // that cannot be taken leaves the program's own rules in force; its
    // fault is handed back once for each version of the file.
    PlanReload Reload();

    // The settings in force: none without a usable plan file.
    const std::optional<PlanSettings>& Settings() const { return settings_; }
    // Whether money follows the plan's rates rather than minutes x tariff.
    bool PricesByPlan() const { return settings_ && settings_->Plan; }
    // The billing cycle of `day`: the calendar month without a start day.
    BillingCycle CycleOf(TDateTime day) const;

    // The money of the days from `first` to `last`, in kopecks. Under a plan
    // it is the priced days' sum, the minutes a day holds beyond its priced
    // ones (counted before the plan) at `minuteCost`, rounded half to even
    // once; otherwise minutes x `minuteCost` exactly as the pages always
    // showed it.
    int64_t KopecksOf(const TUsageTable& table, double minuteCost, TDateTime first,
                      TDateTime last) const;

    // The figures of the cycle of `today` in minutes and in kopecks: use and
    // forecast always, the rest where the budget sets a limit for the unit.
    BudgetFigures MinuteFigures(const TUsageTable& table, TDateTime today) const;
    BudgetFigures KopeckFigures(const TUsageTable& table, double minuteCost, TDateTime today) const;
    std::vector<int> FiredAlerts(TDateTime today, BudgetUnit unit) const;

    // A minute the meter has just counted in `table` at `tick`: prices it
    // under a plan, records its price and the alerts it raises in "Vimo.db"
    // in one transaction, and returns the texts of the alerts to show (for
    // each budget the highest threshold crossed). Throws the store's errors;
    // nothing is recorded then.
    std::vector<std::string> CountMinute(const TUsageTable& table, double minuteCost,
                                         TDateTime tick, bool firstOfSession);

  private:
    // The store for reading: none while there is no file, or while the file
    // is the damaged one already reported.
    const CostStore* Store() const;
    // Opens the store; a damaged file is reported once (ECostStoreError)
    // and then left alone, never written, until it is replaced.
    std::unique_ptr<CostStore> OpenStore(CostStore::Access access) const;
    bool StoreKnownDamaged() const;
    // Millikopecks of the days from `first` to `last` under the plan.
    int64_t PlanMillikopecksOf(const TUsageTable& table, double minuteCost, TDateTime first,
                               TDateTime last) const;

    std::filesystem::path folder_;
    CostStore::Access access_;
    std::optional<FileVersion> planVersion_;
    std::optional<PlanSettings> settings_;
    mutable std::unique_ptr<CostStore> store_;
    mutable std::optional<FileVersion> damagedStore_;
};

// The name the store keeps a budget's alerts under: "kopecks", "minutes".
std::string_view BudgetName(BudgetUnit unit);
