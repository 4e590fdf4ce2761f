#include "PlanAccount.h"

#include "DataFiles.h"
#include "FileIO.h"
#include "Millikopecks.h"
#include "MinutePrice.h"
#include "MoneyTexts.h"
#include "PlanFile.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace {

std::optional<int64_t> LimitOf(const std::optional<PlanSettings>& settings, BudgetUnit unit) {
    if (!settings || !settings->Budget) {
        return std::nullopt;
    }
    switch (unit) {
        case BudgetUnit::Kopecks:
            return settings->Budget->Kopecks;
        case BudgetUnit::Minutes:
            return settings->Budget->Minutes;
        case BudgetUnit::Megabytes:
            break;
    }
    return settings->Budget->Megabytes;
}

}  // namespace

std::string_view BudgetName(BudgetUnit unit) {
    switch (unit) {
        case BudgetUnit::Kopecks:
            return "kopecks";
        case BudgetUnit::Minutes:
            return "minutes";
        case BudgetUnit::Megabytes:
            break;
    }
    return "megabytes";
}

int64_t PriceBytes(int64_t bytes, int64_t millikopecksPerMegabyte) {
    // Whole megabytes apart from the rest, so no product can overflow.
    const int64_t whole = bytes / kBytesPerMegabyte;
    const int64_t rest = bytes % kBytesPerMegabyte;
    return whole * millikopecksPerMegabyte +
           DivideRoundingHalfToEven(rest * millikopecksPerMegabyte, kBytesPerMegabyte);
}

PlanAccount::PlanAccount(std::filesystem::path folder, CostStore::Access access)
    : folder_(std::move(folder)), access_(access) {}

PlanAccount::~PlanAccount() = default;

PlanReload PlanAccount::Reload() {
    const FileVersion version = CurrentFileVersion(folder_ / datafiles::kPlan);
    if (planVersion_ && *planVersion_ == version) {
        return {};
    }
    planVersion_ = version;
    settings_.reset();
    PlanReload reload;
    reload.Changed = true;
    try {
        settings_ = ReadPlanFile(folder_);
    } catch (...) {
        reload.Error = std::current_exception();
    }
    return reload;
}

BillingCycle PlanAccount::CycleOf(TDateTime day) const {
    const int startDay = settings_ && settings_->CycleStartDay ? *settings_->CycleStartDay : 1;
    return ::CycleOf(day, startDay);
}

bool PlanAccount::StoreKnownDamaged() const {
    return damagedStore_ && *damagedStore_ == CurrentFileVersion(folder_ / datafiles::kCostStore);
}

std::unique_ptr<CostStore> PlanAccount::OpenStore(CostStore::Access access) const {
    try {
        std::unique_ptr<CostStore> store = CostStore::Open(folder_, access);
        storeFile_ = CurrentFileVersion(folder_ / datafiles::kCostStore);
        return store;
    } catch (const ECostStoreError& error) {
        if (access == CostStore::Access::ReadWrite && error.Damaged) {
            if (const std::optional<std::string> aside = SetAside()) {
                throw ECostStoreError(std::string(error.what()) + "; it is kept as " + *aside +
                                      " and a new " + std::string(datafiles::kCostStore) +
                                      " is started");
            }
        }
        damagedStore_ = CurrentFileVersion(folder_ / datafiles::kCostStore);
        throw;
    }
}

std::optional<std::string> PlanAccount::SetAside() const {
    const std::string name(datafiles::kCostStore);
    for (int n = 1; n < 1000; ++n) {
        const std::string aside = name + ".damaged" + (n == 1 ? "" : "-" + std::to_string(n));
        std::error_code error;
        if (std::filesystem::exists(folder_ / aside, error) || error) {
            continue;
        }
        // Its journal goes with it: left behind, SQLite would roll the new
        // file back with the old file's pages.
        if (std::rename((folder_ / name).c_str(), (folder_ / aside).c_str()) != 0) {
            return std::nullopt;
        }
        std::rename((folder_ / (name + "-journal")).c_str(),
                    (folder_ / (aside + "-journal")).c_str());
        try {
            SyncFolder(folder_);
        } catch (const EInOutError&) {
            // Renamed all the same; a power cut may only bring the name back.
        }
        return aside;
    }
    return std::nullopt;
}

void PlanAccount::DropReplacedStore() const {
    if (!store_) {
        return;
    }
    // The same file is the same device and inode; a handle on a file that was
    // deleted or replaced under it would write where no one reads.
    const FileVersion now = CurrentFileVersion(folder_ / datafiles::kCostStore);
    if (now.Error != 0 || now.Device != storeFile_.Device || now.Inode != storeFile_.Inode) {
        store_.reset();
    }
}

const CostStore* PlanAccount::Store() const {
    DropReplacedStore();
    if (!store_ && !StoreKnownDamaged()) {
        // Reading never makes the file: it is opened for writing only
        // once it exists.
        store_ = OpenStore(CostStore::Access::ReadOnly);
        if (store_ && access_ == CostStore::Access::ReadWrite) {
            store_ = OpenStore(access_);
        }
    }
    return store_.get();
}

int64_t PlanAccount::PlanMillikopecksOf(const TUsageTable& table, double minuteCost,
                                        TDateTime first, TDateTime last) const {
    const int64_t fallback = MillikopecksOfTariff(minuteCost);
    int64_t unpriced = table.MinutesFromPeriod(first, last);
    int64_t millikopecks = 0;
    if (const CostStore* store = Store()) {
        for (const auto& [day, cost] : store->DaysBetween(first, last)) {
            const int64_t counted = table.MinutesFromPeriod(day, day);
            // A day the table counts fewer minutes of (a run killed between
            // the files) keeps its priced money and prices nothing more.
            unpriced -= std::min(counted, cost.Minutes);
            millikopecks += cost.Millikopecks;
        }
    }
    return millikopecks + unpriced * fallback;
}

int64_t PlanAccount::KopecksOf(const TUsageTable& table, double minuteCost, TDateTime first,
                               TDateTime last) const {
    if (!PricesByPlan()) {
        return MinutesToKopecks(table.MinutesFromPeriod(first, last), minuteCost);
    }
    return KopecksOfMillikopecks(PlanMillikopecksOf(table, minuteCost, first, last));
}

BudgetFigures PlanAccount::MinuteFigures(const TUsageTable& table, TDateTime today) const {
    const BillingCycle cycle = CycleOf(today);
    return FiguresOf(table.MinutesFromPeriod(cycle.First, today),
                     LimitOf(settings_, BudgetUnit::Minutes), cycle, today);
}

BudgetFigures PlanAccount::KopeckFigures(const TUsageTable& table, double minuteCost,
                                         TDateTime today) const {
    const BillingCycle cycle = CycleOf(today);
    return FiguresOf(KopecksOf(table, minuteCost, cycle.First, today),
                     LimitOf(settings_, BudgetUnit::Kopecks), cycle, today);
}

CostStore::Bytes PlanAccount::BytesOf(TDateTime first, TDateTime last) const {
    const CostStore* store = Store();
    return store != nullptr ? store->BytesBetween(first, last) : CostStore::Bytes{};
}

BudgetFigures PlanAccount::MegabyteFigures(TDateTime today) const {
    const BillingCycle cycle = CycleOf(today);
    return FiguresOf(BytesOf(cycle.First, today).Total() / kBytesPerMegabyte,
                     LimitOf(settings_, BudgetUnit::Megabytes), cycle, today);
}

std::optional<CostStore::Bytes> PlanAccount::SessionBytes(std::string_view head) const {
    const CostStore* store = Store();
    return store != nullptr ? store->SessionBytes(head) : std::nullopt;
}

std::optional<int64_t> PlanAccount::SessionKopecks(std::string_view head, uint32_t minutes,
                                                   double minuteCost) const {
    if (!PricesByPlan()) {
        return MinutesToKopecks(minutes, minuteCost);
    }
    const CostStore* store = Store();
    const std::optional<CostStore::DayCost> priced =
        store != nullptr ? store->SessionCost(head) : std::nullopt;
    if (!priced) {
        return std::nullopt;
    }
    const int64_t unpriced = std::max<int64_t>(0, int64_t{minutes} - priced->Minutes);
    return KopecksOfMillikopecks(priced->Millikopecks +
                                 unpriced * MillikopecksOfTariff(minuteCost));
}

std::vector<int> PlanAccount::FiredAlerts(TDateTime today, BudgetUnit unit) const {
    const CostStore* store = Store();
    return store != nullptr ? store->FiredAlerts(CycleOf(today).First, BudgetName(unit))
                            : std::vector<int>{};
}

std::vector<std::string> PlanAccount::RecordTick(const TUsageTable& table, double minuteCost,
                                                 const TickUse& use) {
    if (access_ != CostStore::Access::ReadWrite) {
        throw std::logic_error("PlanAccount::RecordTick on a read-only account");
    }
    const bool plan = settings_ && (settings_->Plan || settings_->Budget);
    const bool bytesKept = use.BytesRead && !use.SessionHead.empty();
    if ((!plan && !bytesKept) || StoreKnownDamaged()) {
        return {};
    }
    const BillingCycle cycle = CycleOf(use.Tick);
    const TDateTime day = static_cast<TDateTime>(static_cast<int32_t>(use.Tick));
    // The table holds the minute already; the store does not yet.
    const int64_t cycleMinutes = table.MinutesFromPeriod(cycle.First, day);

    CostStore::MinuteRecord record;
    record.Day = day;
    record.CycleFirst = cycle.First;
    record.Moved = use.Moved;
    record.BytesRead = use.BytesRead;
    record.SessionHead = use.SessionHead;
    const PlanTariff* tariff = settings_ && settings_->Plan ? &*settings_->Plan : nullptr;
    if (tariff != nullptr && use.MinuteCounted) {
        record.Priced = true;
        record.Millikopecks =
            PriceMinute(*tariff, MillikopecksOfTariff(minuteCost),
                        {.Tick = use.Tick,
                         .FirstOfSession = use.FirstOfSession,
                         .CycleMinutesBefore = std::max<int64_t>(0, cycleMinutes - 1)});
    }
    if (tariff != nullptr && tariff->MillikopecksPerMegabyte) {
        record.BytesMillikopecks = PriceBytes(use.Moved.Total(), *tariff->MillikopecksPerMegabyte);
    }

    std::vector<std::string> texts;
    if (settings_ && settings_->Budget) {
        int64_t kopecks = 0;
        if (tariff != nullptr) {
            // Without its price, a minute just counted is one the table
            // holds unpriced.
            const int64_t before = PlanMillikopecksOf(table, minuteCost, cycle.First, day) -
                                   (use.MinuteCounted ? MillikopecksOfTariff(minuteCost) : 0);
            kopecks =
                KopecksOfMillikopecks(before + record.Millikopecks + record.BytesMillikopecks);
        } else {
            kopecks = MinutesToKopecks(static_cast<uint32_t>(cycleMinutes), minuteCost);
        }
        const int64_t bytes = BytesOf(cycle.First, day).Total() + use.Moved.Total();
        const struct {
            BudgetUnit unit;
            // The use and the limit as compared; megabytes as bytes, so a
            // threshold is met at its exact byte.
            int64_t used;
            int64_t scale;
        } uses[] = {{BudgetUnit::Kopecks, kopecks, 1},
                    {BudgetUnit::Minutes, use.MinuteCounted ? cycleMinutes : 0, 1},
                    {BudgetUnit::Megabytes, use.Moved.Total() != 0 ? bytes : 0, kBytesPerMegabyte}};
        for (const auto& unit : uses) {
            const std::optional<int64_t> limit = LimitOf(settings_, unit.unit);
            if (!limit || unit.used == 0) {
                continue;
            }
            const std::vector<int> crossed =
                CrossedAlerts(settings_->Budget->Alerts, FiredAlerts(day, unit.unit), unit.used,
                              *limit * unit.scale);
            for (const int percent : crossed) {
                record.Alerts.push_back({std::string(BudgetName(unit.unit)), percent});
            }
            if (!crossed.empty()) {
                texts.push_back(
                    AlertText(unit.unit, crossed.back(), unit.used / unit.scale, *limit));
            }
        }
    }
    if (!record.Priced && record.BytesMillikopecks == 0 && record.Alerts.empty() && !bytesKept) {
        return texts;
    }
    DropReplacedStore();
    if (!store_) {
        store_ = OpenStore(CostStore::Access::ReadWrite);
    }
    store_->Record(record);
    return texts;
}
