#include "figures/DaySummary.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <system_error>

#include "core/Clock.h"
#include "core/Codec1251.h"
#include "core/DataFiles.h"
#include "core/ReportRange.h"
#include "files/FileIO.h"
#include "files/PropRecord.h"
#include "files/SessionLineFields.h"
#include "files/UsageTable.h"
#include "meter/Ledger.h"
#include "plan/PlanAccount.h"

namespace {

// More than a session line ever holds; the rest of a damaged file is not
// looked at.
constexpr std::size_t kMaxSessionBytes = 64 * 1024;

void RequireFolder(const std::filesystem::path& folder) {
    std::error_code unreadable;
    if (!std::filesystem::is_directory(folder, unreadable)) {
        EInOutError missing = InOutErrorFromErrno(ENOENT);
        missing.File = folder.string();
        throw missing;
    }
}

// The record the pages price by: the settings record; without its file the
// default record, which the settings page would write.
TPropRecord PropRecordIn(const std::filesystem::path& folder) {
    if (!PropFileExists(folder)) {
        return DefaultPropRecord(SystemClock());
    }
    return ReadPropFile(folder);
}

}  // namespace

DaySummary SummarizeDay(const std::filesystem::path& folder, TDateTime day) {
    RequireFolder(folder);
    PlanAccount plan(folder, CostStore::Access::ReadOnly);
    if (const PlanReload reload = plan.Reload(); reload.Error) {
        std::rethrow_exception(reload.Error);
    }
    TUsageTable table(folder);
    table.ReadTable();
    const TPropRecord prop = PropRecordIn(folder);
    const Ledger books(table, prop, plan);

    DaySummary summary;
    summary.Day = std::floor(day);
    const TDateTime today = summary.Day;
    summary.DayMinutes = books.MinutesOf(today, today);
    summary.DayKopecks = books.KopecksOf(today, today);
    summary.DayBytes = books.BytesOf(today, today);

    const DayRange month = CalendarMonthOf(today);
    summary.Month = {month.First, month.Last, books.MinutesOf(month.First, month.Last),
                     books.KopecksOf(month.First, month.Last),
                     books.BytesOf(month.First, month.Last)};

    const BillingCycle cycle = plan.CycleOf(today);
    summary.CycleDays = cycle.Days();
    summary.DaysLeft = DaysLeft(cycle, today);
    summary.CycleMinutes = books.MinuteFigures(today);
    summary.CycleKopecks = books.KopeckFigures(today);
    summary.CycleMegabytes = books.MegabyteFigures(today);
    summary.Adjustment = books.AdjustmentOf(today);
    summary.Cycle = {cycle.First, cycle.Last, summary.CycleMinutes.Used, summary.CycleKopecks.Used,
                     books.BytesOf(cycle.First, today)};

    const BudgetSettings* budget =
        plan.Settings() && plan.Settings()->Budget ? &*plan.Settings()->Budget : nullptr;
    summary.HasBudget =
        budget != nullptr && (budget->Kopecks || budget->Minutes || budget->Megabytes);
    if (summary.HasBudget) {
        for (const BudgetUnit unit :
             {BudgetUnit::Kopecks, BudgetUnit::Minutes, BudgetUnit::Megabytes}) {
            const std::vector<int> fired = plan.FiredAlerts(today, unit);
            summary.AlertsFired.insert(summary.AlertsFired.end(), fired.begin(), fired.end());
        }
        std::sort(summary.AlertsFired.begin(), summary.AlertsFired.end());
        summary.AlertsFired.erase(
            std::unique(summary.AlertsFired.begin(), summary.AlertsFired.end()),
            summary.AlertsFired.end());
    }
    return summary;
}

std::optional<SessionInProgress> ReadSessionInProgress(const std::filesystem::path& folder,
                                                       bool programRuns) {
    const std::filesystem::path begTime = folder / datafiles::kBegTime;
    if (!FileExists(begTime)) {
        return std::nullopt;
    }
    const std::string bytes = ReadPrefix(begTime, kMaxSessionBytes);
    const std::string line = FromCp1251(bytes.substr(0, bytes.find_first_of("\r\n")));
    if (line.empty()) {
        return std::nullopt;
    }
    const SessionLineFields fields = ReadSessionLineFields(line);
    SessionInProgress session;
    if (fields.StartDate && fields.StartTime) {
        session.Start = *fields.StartDate + " " + *fields.StartTime;
    }
    session.Minutes = fields.Minutes;
    session.Address = fields.Address;
    if (const std::string head = SessionKey(line); !head.empty()) {
        if (const auto store = CostStore::Open(folder, CostStore::Access::ReadOnly)) {
            session.Bytes = store->SessionBytes(head);
        }
    }
    session.LeftOver = !programRuns;
    return session;
}
