#pragma once

#include <cstdint>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/FileVersion.h"
#include "files/UsageTable.h"
#include "plan/BillingCycle.h"
#include "plan/Budget.h"
#include "plan/BudgetStop.h"
#include "plan/PlanSettings.h"
#include "store/CostStore.h"

// A budget alert to be shown: its threshold, in the cycle starting on
// `CycleFirst`, with the text of the notice.
struct AlertNotice {
    BudgetUnit Unit = BudgetUnit::Kopecks;
    int Percent = 0;
    TDateTime CycleFirst = 0;
    std::string Text;
    friend bool operator==(const AlertNotice&, const AlertNotice&) = default;
};

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
//
// A read-only account (the report command) throws the store's errors from
// every figure. The program's account never does: a store that cannot be
// used (read-only, locked, a full disk, damaged, a link) leaves the figures
// without it until the next tick tries again, the minutes wait in memory
// until they can be recorded, and its fault is handed out once for each
// cause (StoreFault), so a fault that lasts is not reported every minute.
class PlanAccount {
  public:
    // ReadOnly never writes a file, for the report command; RecordTick is
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
    // The use is the provider's figure plus what was counted since, once
    // the cycle has an adjustment.
    BudgetFigures MinuteFigures(const TUsageTable& table, TDateTime today) const;
    BudgetFigures KopeckFigures(const TUsageTable& table, double minuteCost, TDateTime today) const;
    std::vector<int> FiredAlerts(TDateTime today, BudgetUnit unit) const;

    // The bytes of the days from `first` to `last`.
    CostStore::Bytes BytesOf(TDateTime first, TDateTime last) const;
    // The cycle's megabytes (whole, 1,000,000 bytes each) as figures.
    BudgetFigures MegabyteFigures(TDateTime today) const;
    // The bytes of the connection whose history line starts with `head`
    // ("[08.12.2026] 09:05"); none when "Vimo.db" holds none of them.
    std::optional<CostStore::Bytes> SessionBytes(std::string_view head) const;
    // The money of the connection of `head` after `minutes`, in kopecks:
    // minutes x `minuteCost` unless a plan prices minutes; under one, what
    // "Vimo.db" priced of it, its minutes beyond those at `minuteCost` (as
    // a day's are), and none when it priced nothing of it.
    std::optional<int64_t> SessionKopecks(std::string_view head, uint32_t minutes,
                                          double minuteCost) const;

    // What one tick used.
    struct TickUse {
        TDateTime Tick = 0;
        // A minute was counted (the table holds it already).
        bool MinuteCounted = false;
        bool FirstOfSession = false;
        // The bytes the connection moved since the last tick, when byte
        // counters are read.
        CostStore::Bytes Moved;
        bool BytesRead = false;
        // The connection's history head ("[08.12.2026] 09:05").
        std::string SessionHead;
    };
    // Records a tick in "Vimo.db" in one transaction, with the ticks that
    // could not be recorded before: the price of its minute under a plan,
    // its bytes with their price, and the alerts it raises. Returns the
    // alerts to show (for each budget the highest threshold crossed), also
    // when recording failed; no alert is reckoned while the store cannot be
    // read, as its figures would lack the priced days.
    std::vector<AlertNotice> RecordTick(const TUsageTable& table, double minuteCost,
                                        const TickUse& use);
    // The alerts of today's cycle recorded but never shown (a run ended
    // between the two): for each budget the highest, with today's use.
    std::vector<AlertNotice> UnshownAlerts(const TUsageTable& table, double minuteCost,
                                           TDateTime today) const;
    // The notices of `alerts` were shown.
    void AlertsShown(const std::vector<AlertNotice>& alerts);

    // The provider's figures of the cycle of `today`; none without, and
    // none for a day before they were typed in.
    std::optional<ProviderAdjustment> AdjustmentOf(TDateTime today) const;
    // What the provider says of the cycle of `now` so far; each figure
    // given replaces Vimo's count up to now, and the cycle's earlier
    // adjustment goes. Throws the store's errors.
    struct ProviderFigures {
        std::optional<int64_t> Kopecks;
        std::optional<int64_t> Minutes;
        std::optional<int64_t> Megabytes;
    };
    void Adjust(const TUsageTable& table, double minuteCost, TDateTime now,
                const ProviderFigures& figures);

    // The budget the cycle of `today` has brought to the stop, the first
    // of money, minutes and megabytes; none without a stop or below it.
    std::optional<StopReach> StopReachOf(const TUsageTable& table, double minuteCost,
                                         TDateTime today) const;
    // The stop kept for the cycle of `today`.
    std::optional<StopState> StopOf(TDateTime today) const;
    // Keeps the stop of `cycleFirst`, none removing it. A store that fails
    // is handed out as StoreFault; false then.
    bool KeepStop(TDateTime cycleFirst, const std::optional<StopState>& stop);

    // The figures are read without the store until the next tick (see the
    // class); the day of the oldest tick waiting to be recorded.
    bool StoreDown() const { return storeDown_; }
    std::optional<TDateTime> FirstWaitingDay() const;

    // The store's fault not handed out yet, once for each cause: a fault
    // with the text of the last one handed out is kept back until the store
    // has been written again.
    std::exception_ptr StoreFault();

  private:
    // The store for reading: none while there is no file. The program's
    // account opens it for writing, so an unfinished transaction that a
    // killed run left is rolled back before anything is read.
    const CostStore* Store() const;
    // The answer of `read` on the store, `none` without one. In the
    // program's account a failing store gives `none` too: see the class.
    template <typename T, typename Read>
    T FromStore(T none, Read&& read) const;
    // Notes a failure of the store, to be handed out once for its cause.
    void StoreFailed(std::exception_ptr error) const;
    // Opens the store. A damaged file (or someone else's) is never deleted
    // or written: the program's account renames it aside and reports it,
    // so that a new one is started.
    std::unique_ptr<CostStore> OpenStore(CostStore::IfMissing missing) const;
    // Writes the minutes waiting; false when the store failed.
    bool Flush();
    // Closes the store when "Vimo.db" was deleted, renamed or replaced since
    // it was opened, so the next step opens (or makes) the file now there.
    void DropReplacedStore() const;
    // Renames a damaged "Vimo.db" (and its journal) to "Vimo.db.damaged",
    // "Vimo.db.damaged-2" ...; the name, or none when it could not.
    std::optional<std::string> SetAside() const;
    // Millikopecks of the days from `first` to `last` under the plan.
    int64_t PlanMillikopecksOf(const TUsageTable& table, double minuteCost, TDateTime first,
                               TDateTime last) const;
    // The cycle's own counts up to `today`, without the provider's figures.
    int64_t CountedKopecks(const TUsageTable& table, double minuteCost, TDateTime today) const;
    int64_t CountedMinutes(const TUsageTable& table, TDateTime today) const;
    int64_t CountedBytes(TDateTime today) const;

    std::filesystem::path folder_;
    CostStore::Access access_;
    std::optional<PlanSettings> settings_;
    std::optional<FileVersion> planVersion_;
    mutable std::unique_ptr<CostStore> store_;
    // Which file the store has open.
    mutable FileVersion storeFile_;
    // The program's account: reading the store failed since the last tick,
    // which tries again. A write that failed does not stop the reads: a
    // read-only file still gives its figures.
    mutable bool storeDown_ = false;
    // The fault not handed out yet, and the text of the last one that was.
    mutable std::exception_ptr storeFault_;
    mutable std::optional<std::string> reportedFault_;
    // Ticks not recorded yet, oldest first; at most kMostWaiting, beyond
    // which the oldest go (their minutes are then priced at the tariff, as
    // minutes the store never held).
    std::vector<CostStore::MinuteRecord> waiting_;
    static constexpr std::size_t kMostWaiting = 100'000;
};

// The name the store keeps a budget's alerts under: "kopecks", "minutes",
// "megabytes".
std::string_view BudgetName(BudgetUnit unit);

inline constexpr int64_t kBytesPerMegabyte = 1'000'000;
// Millikopecks of `bytes` at a price per 1,000,000 bytes, rounded half to
// even.
int64_t PriceBytes(int64_t bytes, int64_t millikopecksPerMegabyte);
