#include "PlanAccount.h"

#include "DataFiles.h"
#include "Millikopecks.h"
#include "MinutePrice.h"
#include "MoneyTexts.h"
#include "PlanFile.h"

#include <algorithm>
#include <stdexcept>

namespace {

std::optional<int64_t> LimitOf(const std::optional<PlanSettings>& settings, BudgetUnit unit) {
    if (!settings || !settings->Budget) {
        return std::nullopt;
    }
    return unit == BudgetUnit::Kopecks ? settings->Budget->Kopecks : settings->Budget->Minutes;
}

}  // namespace

std::string_view BudgetName(BudgetUnit unit) {
    return unit == BudgetUnit::Kopecks ? "kopecks" : "minutes";
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
        return CostStore::Open(folder_, access);
    } catch (const ECostStoreError&) {
        damagedStore_ = CurrentFileVersion(folder_ / datafiles::kCostStore);
        throw;
    }
}

const CostStore* PlanAccount::Store() const {
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

std::vector<int> PlanAccount::FiredAlerts(TDateTime today, BudgetUnit unit) const {
    const CostStore* store = Store();
    return store != nullptr ? store->FiredAlerts(CycleOf(today).First, BudgetName(unit))
                            : std::vector<int>{};
}

std::vector<std::string> PlanAccount::CountMinute(const TUsageTable& table, double minuteCost,
                                                  TDateTime tick, bool firstOfSession) {
    if (access_ != CostStore::Access::ReadWrite) {
        throw std::logic_error("PlanAccount::CountMinute on a read-only account");
    }
    if (!settings_ || (!settings_->Plan && !settings_->Budget) || StoreKnownDamaged()) {
        return {};
    }
    const BillingCycle cycle = CycleOf(tick);
    const TDateTime day = static_cast<TDateTime>(static_cast<int32_t>(tick));
    // The table holds the minute already; the store does not yet.
    const int64_t cycleMinutes = table.MinutesFromPeriod(cycle.First, day);

    CostStore::MinuteRecord record;
    record.Day = day;
    record.CycleFirst = cycle.First;
    int64_t kopecksAfter = 0;
    if (settings_->Plan) {
        record.Priced = true;
        record.Millikopecks =
            PriceMinute(*settings_->Plan, MillikopecksOfTariff(minuteCost),
                        {.Tick = tick,
                         .FirstOfSession = firstOfSession,
                         .CycleMinutesBefore = std::max<int64_t>(0, cycleMinutes - 1)});
        // Without its price the new minute is one the table counts unpriced.
        const int64_t before = PlanMillikopecksOf(table, minuteCost, cycle.First, day) -
                               MillikopecksOfTariff(minuteCost);
        kopecksAfter = KopecksOfMillikopecks(before + record.Millikopecks);
    } else {
        kopecksAfter = MinutesToKopecks(static_cast<uint32_t>(cycleMinutes), minuteCost);
    }

    std::vector<std::string> texts;
    if (settings_->Budget) {
        const struct {
            BudgetUnit unit;
            int64_t after;
        } uses[] = {{BudgetUnit::Kopecks, kopecksAfter}, {BudgetUnit::Minutes, cycleMinutes}};
        for (const auto& use : uses) {
            const std::optional<int64_t> limit = LimitOf(settings_, use.unit);
            if (!limit) {
                continue;
            }
            const std::vector<int> crossed = CrossedAlerts(
                settings_->Budget->Alerts, FiredAlerts(day, use.unit), use.after, *limit);
            for (const int percent : crossed) {
                record.Alerts.push_back({std::string(BudgetName(use.unit)), percent});
            }
            if (!crossed.empty()) {
                texts.push_back(AlertText(use.unit, crossed.back(), use.after, *limit));
            }
        }
    }
    if (!record.Priced && record.Alerts.empty()) {
        return texts;
    }
    if (!store_) {
        store_ = OpenStore(CostStore::Access::ReadWrite);
    }
    store_->Record(record);
    return texts;
}
