#include "plan/PlanAccount.h"

#include "core/DataFiles.h"
#include "core/Millikopecks.h"
#include "core/MoneyTexts.h"
#include "files/FileIO.h"
#include "plan/MinutePrice.h"
#include "plan/PlanFile.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <utility>

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

// A count with the provider's difference, never below nothing.
int64_t Adjusted(int64_t counted, int64_t difference) {
    return std::max<int64_t>(0, counted + difference);
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

PlanAccount::~PlanAccount() {
    // A last try for the minutes still waiting, as the program ends.
    if (access_ == CostStore::Access::ReadWrite) {
        Flush();
    }
}

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

std::unique_ptr<CostStore> PlanAccount::OpenStore(CostStore::IfMissing missing) const {
    try {
        std::unique_ptr<CostStore> store = CostStore::Open(folder_, access_, missing);
        storeFile_ = CurrentFileVersion(folder_ / datafiles::kCostStore);
        return store;
    } catch (const ECostStoreError& error) {
        if (access_ == CostStore::Access::ReadWrite && error.Damaged) {
            if (const std::optional<std::string> aside = SetAside()) {
                throw ECostStoreError(std::string(error.what()) + "; it is kept as " + *aside +
                                      " and a new " + std::string(datafiles::kCostStore) +
                                      " is started");
            }
        }
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
    if (!store_) {
        // Reading never makes the file.
        store_ = OpenStore(CostStore::IfMissing::GiveNone);
    }
    return store_.get();
}

template <typename T, typename Read>
T PlanAccount::FromStore(T none, Read&& read) const {
    if (access_ == CostStore::Access::ReadOnly) {
        const CostStore* store = Store();
        return store != nullptr ? read(*store) : none;
    }
    if (storeDown_) {
        return none;
    }
    try {
        const CostStore* store = Store();
        return store != nullptr ? read(*store) : none;
    } catch (const Exception&) {
        // Not tried again before the next tick: a locked file would make
        // every figure wait for it.
        storeDown_ = true;
        StoreFailed(std::current_exception());
        return none;
    }
}

void PlanAccount::StoreFailed(std::exception_ptr error) const {
    // Opened anew at the next use: a file made writable again, or replaced,
    // is then taken as it is.
    store_.reset();
    std::string text;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& failure) {
        text = failure.what();
        if (const auto* fileStep = dynamic_cast<const EInOutError*>(&failure)) {
            text += " (" + fileStep->File + ")";
        }
    }
    if (text != reportedFault_) {
        reportedFault_ = text;
        storeFault_ = error;
    }
}

std::exception_ptr PlanAccount::StoreFault() {
    return std::exchange(storeFault_, nullptr);
}

int64_t PlanAccount::PlanMillikopecksOf(const TUsageTable& table, double minuteCost,
                                        TDateTime first, TDateTime last) const {
    const int64_t fallback = MillikopecksOfTariff(minuteCost);
    int64_t unpriced = table.MinutesFromPeriod(first, last);
    int64_t millikopecks = 0;
    const auto days =
        FromStore(std::map<int32_t, CostStore::DayCost>{},
                  [&](const CostStore& store) { return store.DaysBetween(first, last); });
    for (const auto& [day, cost] : days) {
        const int64_t counted = table.MinutesFromPeriod(day, day);
        // A day the table counts fewer minutes of (a run killed between
        // the files) keeps its priced money and prices nothing more.
        unpriced -= std::min(counted, cost.Minutes);
        millikopecks += cost.Millikopecks;
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

int64_t PlanAccount::CountedMinutes(const TUsageTable& table, TDateTime today) const {
    return table.MinutesFromPeriod(CycleOf(today).First, today);
}

int64_t PlanAccount::CountedKopecks(const TUsageTable& table, double minuteCost,
                                    TDateTime today) const {
    return KopecksOf(table, minuteCost, CycleOf(today).First, today);
}

int64_t PlanAccount::CountedBytes(TDateTime today) const {
    return BytesOf(CycleOf(today).First, today).Total();
}

BudgetFigures PlanAccount::MinuteFigures(const TUsageTable& table, TDateTime today) const {
    const std::optional<ProviderAdjustment> adjustment = AdjustmentOf(today);
    return FiguresOf(
        Adjusted(CountedMinutes(table, today), adjustment ? adjustment->MinutesDifference : 0),
        LimitOf(settings_, BudgetUnit::Minutes), CycleOf(today), today);
}

BudgetFigures PlanAccount::KopeckFigures(const TUsageTable& table, double minuteCost,
                                         TDateTime today) const {
    const std::optional<ProviderAdjustment> adjustment = AdjustmentOf(today);
    return FiguresOf(Adjusted(CountedKopecks(table, minuteCost, today),
                              adjustment ? adjustment->KopecksDifference : 0),
                     LimitOf(settings_, BudgetUnit::Kopecks), CycleOf(today), today);
}

CostStore::Bytes PlanAccount::BytesOf(TDateTime first, TDateTime last) const {
    return FromStore(CostStore::Bytes{},
                     [&](const CostStore& store) { return store.BytesBetween(first, last); });
}

BudgetFigures PlanAccount::MegabyteFigures(TDateTime today) const {
    const std::optional<ProviderAdjustment> adjustment = AdjustmentOf(today);
    const int64_t bytes =
        Adjusted(CountedBytes(today), adjustment ? adjustment->BytesDifference : 0);
    return FiguresOf(bytes / kBytesPerMegabyte, LimitOf(settings_, BudgetUnit::Megabytes),
                     CycleOf(today), today);
}

std::optional<ProviderAdjustment> PlanAccount::AdjustmentOf(TDateTime today) const {
    const TDateTime cycleFirst = CycleOf(today).First;
    std::optional<ProviderAdjustment> adjustment =
        FromStore(std::optional<ProviderAdjustment>(),
                  [&](const CostStore& store) { return store.AdjustmentOf(cycleFirst); });
    // The days before the match keep Vimo's own count.
    if (adjustment && static_cast<int32_t>(adjustment->At) > static_cast<int32_t>(today)) {
        return std::nullopt;
    }
    return adjustment;
}

void PlanAccount::Adjust(const TUsageTable& table, double minuteCost, TDateTime now,
                         const ProviderFigures& figures) {
    if (access_ != CostStore::Access::ReadWrite) {
        throw std::logic_error("PlanAccount::Adjust on a read-only account");
    }
    // A difference taken from a count that lacks the priced days or the
    // minutes still waiting would be wrong for the rest of the cycle.
    const auto refuse = [this] {
        if (const std::exception_ptr fault = StoreFault()) {
            std::rethrow_exception(fault);
        }
        throw ECostStoreError(std::string(datafiles::kCostStore) +
                              ": cannot be used now; the provider's figures were not kept");
    };
    if (!Flush()) {
        refuse();
    }
    const TDateTime today = static_cast<TDateTime>(static_cast<int32_t>(now));
    ProviderAdjustment adjustment;
    adjustment.CycleFirst = CycleOf(today).First;
    adjustment.At = now;
    adjustment.Kopecks = figures.Kopecks;
    adjustment.Minutes = figures.Minutes;
    adjustment.Megabytes = figures.Megabytes;
    DropReplacedStore();
    if (!store_) {
        store_ = OpenStore(CostStore::IfMissing::Create);
    }
    storeDown_ = false;
    if (figures.Kopecks) {
        adjustment.KopecksDifference = *figures.Kopecks - CountedKopecks(table, minuteCost, today);
    }
    if (figures.Minutes) {
        adjustment.MinutesDifference = *figures.Minutes - CountedMinutes(table, today);
    }
    if (figures.Megabytes) {
        adjustment.BytesDifference = *figures.Megabytes * kBytesPerMegabyte - CountedBytes(today);
    }
    if (storeDown_ || !store_) {
        refuse();
    }
    store_->SaveAdjustment(adjustment);
}

std::optional<StopReach> PlanAccount::StopReachOf(const TUsageTable& table, double minuteCost,
                                                  TDateTime today) const {
    if (!settings_ || !settings_->Budget || !settings_->Budget->StopAt) {
        return std::nullopt;
    }
    const int64_t stopAt = *settings_->Budget->StopAt;
    const std::optional<ProviderAdjustment> adjustment = AdjustmentOf(today);
    const struct {
        BudgetUnit unit;
        int64_t used;
        // Megabytes are compared as bytes, as the alerts are.
        int64_t scale;
    } uses[] = {
        {BudgetUnit::Kopecks,
         Adjusted(CountedKopecks(table, minuteCost, today),
                  adjustment ? adjustment->KopecksDifference : 0),
         1},
        {BudgetUnit::Minutes,
         Adjusted(CountedMinutes(table, today), adjustment ? adjustment->MinutesDifference : 0), 1},
        {BudgetUnit::Megabytes,
         Adjusted(CountedBytes(today), adjustment ? adjustment->BytesDifference : 0),
         kBytesPerMegabyte},
    };
    for (const auto& use : uses) {
        const std::optional<int64_t> limit = LimitOf(settings_, use.unit);
        // Limits and stop percents are bounded so that this cannot overflow.
        if (limit && use.used * 100 >= stopAt * *limit * use.scale) {
            return StopReach{use.unit, static_cast<int>(stopAt), use.used, *limit};
        }
    }
    return std::nullopt;
}

std::optional<StopState> PlanAccount::StopOf(TDateTime today) const {
    const TDateTime cycleFirst = CycleOf(today).First;
    return FromStore(std::optional<StopState>(),
                     [&](const CostStore& store) { return store.StopOf(cycleFirst); });
}

bool PlanAccount::KeepStop(TDateTime cycleFirst, const std::optional<StopState>& stop) {
    if (access_ != CostStore::Access::ReadWrite) {
        throw std::logic_error("PlanAccount::KeepStop on a read-only account");
    }
    try {
        DropReplacedStore();
        if (!store_) {
            store_ = OpenStore(CostStore::IfMissing::Create);
        }
        if (stop) {
            store_->SaveStop(*stop);
        } else {
            store_->DropStop(cycleFirst);
        }
    } catch (const Exception&) {
        StoreFailed(std::current_exception());
        return false;
    }
    return true;
}

std::optional<CostStore::Bytes> PlanAccount::SessionBytes(std::string_view head) const {
    return FromStore(std::optional<CostStore::Bytes>(),
                     [&](const CostStore& store) { return store.SessionBytes(head); });
}

std::optional<int64_t> PlanAccount::SessionKopecks(std::string_view head, uint32_t minutes,
                                                   double minuteCost) const {
    if (!PricesByPlan()) {
        return MinutesToKopecks(minutes, minuteCost);
    }
    const std::optional<CostStore::DayCost> priced =
        FromStore(std::optional<CostStore::DayCost>(),
                  [&](const CostStore& store) { return store.SessionCost(head); });
    if (!priced) {
        return std::nullopt;
    }
    const int64_t unpriced = std::max<int64_t>(0, int64_t{minutes} - priced->Minutes);
    return KopecksOfMillikopecks(priced->Millikopecks +
                                 unpriced * MillikopecksOfTariff(minuteCost));
}

std::vector<int> PlanAccount::FiredAlerts(TDateTime today, BudgetUnit unit) const {
    const TDateTime cycleFirst = CycleOf(today).First;
    std::vector<int> fired = FromStore(std::vector<int>{}, [&](const CostStore& store) {
        return store.FiredAlerts(cycleFirst, BudgetName(unit));
    });
    // Those waiting to be recorded have fired as well.
    for (const CostStore::MinuteRecord& waiting : waiting_) {
        for (const CostStore::FiredAlert& alert : waiting.Alerts) {
            if (waiting.CycleFirst == cycleFirst && alert.Budget == BudgetName(unit) &&
                std::find(fired.begin(), fired.end(), alert.Percent) == fired.end()) {
                fired.push_back(alert.Percent);
            }
        }
    }
    std::sort(fired.begin(), fired.end());
    return fired;
}

std::optional<TDateTime> PlanAccount::FirstWaitingDay() const {
    if (waiting_.empty()) {
        return std::nullopt;
    }
    return waiting_.front().Day;
}

std::vector<AlertNotice> PlanAccount::RecordTick(const TUsageTable& table, double minuteCost,
                                                 const TickUse& use) {
    if (access_ != CostStore::Access::ReadWrite) {
        throw std::logic_error("PlanAccount::RecordTick on a read-only account");
    }
    const bool plan = settings_ && (settings_->Plan || settings_->Budget);
    const bool bytesKept = use.BytesRead && !use.SessionHead.empty();
    if (!plan && !bytesKept && waiting_.empty()) {
        return {};
    }
    // Each tick tries the store again.
    storeDown_ = false;
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

    std::vector<AlertNotice> notices;
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
        const std::optional<ProviderAdjustment> adjustment = AdjustmentOf(day);
        if (adjustment) {
            kopecks = Adjusted(kopecks, adjustment->KopecksDifference);
        }
        const int64_t minutes =
            Adjusted(cycleMinutes, adjustment ? adjustment->MinutesDifference : 0);
        const int64_t bytes = Adjusted(BytesOf(cycle.First, day).Total() + use.Moved.Total(),
                                       adjustment ? adjustment->BytesDifference : 0);
        const struct {
            BudgetUnit unit;
            // The use and the limit as compared; megabytes as bytes, so a
            // threshold is met at its exact byte.
            int64_t used;
            int64_t scale;
        } uses[] = {{BudgetUnit::Kopecks, kopecks, 1},
                    {BudgetUnit::Minutes, use.MinuteCounted ? minutes : 0, 1},
                    {BudgetUnit::Megabytes, use.Moved.Total() != 0 ? bytes : 0, kBytesPerMegabyte}};
        for (const auto& unit : uses) {
            const std::optional<int64_t> limit = LimitOf(settings_, unit.unit);
            if (!limit || unit.used == 0 || storeDown_) {
                continue;
            }
            const std::vector<int> crossed =
                CrossedAlerts(settings_->Budget->Alerts, FiredAlerts(day, unit.unit), unit.used,
                              *limit * unit.scale);
            for (const int percent : crossed) {
                record.Alerts.push_back({std::string(BudgetName(unit.unit)), percent});
            }
            if (!crossed.empty()) {
                notices.push_back({unit.unit, crossed.back(), cycle.First,
                                   AlertText(unit.unit, crossed.back(), unit.used, *limit)});
            }
        }
        if (storeDown_) {
            // A read failed half way: what was reckoned lacks the priced days.
            record.Alerts.clear();
            notices.clear();
        }
    }
    if (record.Priced || record.BytesMillikopecks != 0 || !record.Alerts.empty() || bytesKept) {
        if (waiting_.size() == kMostWaiting) {
            waiting_.erase(waiting_.begin());
        }
        waiting_.push_back(std::move(record));
    }
    Flush();
    return notices;
}

bool PlanAccount::Flush() {
    if (waiting_.empty()) {
        return true;
    }
    if (storeDown_) {
        return false;
    }
    try {
        DropReplacedStore();
        if (!store_) {
            store_ = OpenStore(CostStore::IfMissing::Create);
        }
        store_->Record(waiting_);
    } catch (const Exception&) {
        StoreFailed(std::current_exception());
        return false;
    }
    waiting_.clear();
    reportedFault_.reset();
    return true;
}

std::vector<AlertNotice> PlanAccount::UnshownAlerts(const TUsageTable& table, double minuteCost,
                                                    TDateTime today) const {
    std::vector<AlertNotice> notices;
    if (!settings_ || !settings_->Budget) {
        return notices;
    }
    const TDateTime cycleFirst = CycleOf(today).First;
    const auto unshown =
        FromStore(std::vector<CostStore::FiredAlert>{},
                  [&](const CostStore& store) { return store.UnshownAlerts(cycleFirst); });
    for (const BudgetUnit unit :
         {BudgetUnit::Kopecks, BudgetUnit::Minutes, BudgetUnit::Megabytes}) {
        const std::optional<int64_t> limit = LimitOf(settings_, unit);
        int highest = 0;
        for (const CostStore::FiredAlert& alert : unshown) {
            if (alert.Budget == BudgetName(unit)) {
                highest = std::max(highest, alert.Percent);
            }
        }
        if (!limit || highest == 0) {
            continue;
        }
        const std::optional<ProviderAdjustment> adjustment = AdjustmentOf(today);
        const int64_t used =
            unit == BudgetUnit::Kopecks ? KopeckFigures(table, minuteCost, today).Used
            : unit == BudgetUnit::Minutes
                ? MinuteFigures(table, today).Used
                : Adjusted(CountedBytes(today), adjustment ? adjustment->BytesDifference : 0);
        notices.push_back({unit, highest, cycleFirst, AlertText(unit, highest, used, *limit)});
    }
    return notices;
}

void PlanAccount::AlertsShown(const std::vector<AlertNotice>& alerts) {
    for (const AlertNotice& notice : alerts) {
        const std::string_view budget = BudgetName(notice.Unit);
        // One still waiting is recorded as shown when it is recorded.
        for (CostStore::MinuteRecord& waiting : waiting_) {
            for (CostStore::FiredAlert& alert : waiting.Alerts) {
                if (waiting.CycleFirst == notice.CycleFirst && alert.Budget == budget &&
                    alert.Percent <= notice.Percent) {
                    alert.Shown = true;
                }
            }
        }
    }
    if (access_ != CostStore::Access::ReadWrite || storeDown_) {
        return;
    }
    try {
        DropReplacedStore();
        if (!store_) {
            store_ = OpenStore(CostStore::IfMissing::GiveNone);
        }
        for (const AlertNotice& notice : alerts) {
            if (store_) {
                store_->AlertShown(notice.CycleFirst, BudgetName(notice.Unit), notice.Percent);
            }
        }
    } catch (const Exception&) {
        // Not recorded as shown: the next start shows it again.
        StoreFailed(std::current_exception());
    }
}
