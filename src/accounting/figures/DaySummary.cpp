#include "figures/DaySummary.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <exception>
#include <limits>
#include <system_error>

#include "core/Clock.h"
#include "core/Codec1251.h"
#include "core/DataFiles.h"
#include "core/MoneyTexts.h"
#include "files/FileIO.h"
#include "files/PropRecord.h"
#include "files/SessionLineFields.h"
#include "files/UsageTable.h"
#include "plan/PlanAccount.h"
#include "system/ProgramLock.h"

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

// The tariff the pages price by: the settings record's; without its file the
// default record's, which the settings page would write.
double MinuteCostIn(const std::filesystem::path& folder) {
    if (!PropFileExists(folder)) {
        return DefaultPropRecord(SystemClock()).MinuteCost;
    }
    return ReadPropFile(folder).MinuteCost;
}

double OneDecimal(double value) {
    return std::round(value * 10) / 10;
}

template <typename T>
nlohmann::ordered_json OrNull(const std::optional<T>& value) {
    return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
}

nlohmann::ordered_json PercentOrNull(const std::optional<double>& percent) {
    return percent ? nlohmann::ordered_json(OneDecimal(*percent)) : nlohmann::ordered_json(nullptr);
}

// "72,5%": one decimal, with the decimal comma.
std::string PercentText(double percent) {
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, OneDecimal(percent), std::chars_format::fixed, 1);
    std::string written(text, result.ptr);
    std::replace(written.begin(), written.end(), '.', ',');
    return written + "%";
}

std::string DurationText(int64_t minutes) {
    return MinToTimeStr(static_cast<uint32_t>(
        std::clamp<int64_t>(minutes, 0, std::numeric_limits<uint32_t>::max())));
}

std::string MegabytesText(int64_t bytes) {
    return MegabyteNumber(bytes) + " МБ";
}

// "12,3/1,0 МБ": received, then sent.
std::string BytesText(const CostStore::Bytes& bytes) {
    return MegabyteNumber(bytes.Received) + "/" + MegabytesText(bytes.Sent);
}

std::string UseText(int64_t minutes, int64_t kopecks) {
    return DurationText(minutes) + ", " + KopecksToMoney(kopecks);
}

struct UnitFigures {
    BudgetUnit unit;
    const BudgetFigures& figures;
};

// The budget's units in the order they are shown and checked.
std::array<UnitFigures, 3> Budgets(const DaySummary& summary) {
    return {{{BudgetUnit::Kopecks, summary.CycleKopecks},
             {BudgetUnit::Minutes, summary.CycleMinutes},
             {BudgetUnit::Megabytes, summary.CycleMegabytes}}};
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
    const double minuteCost = MinuteCostIn(folder);

    DaySummary summary;
    summary.Day = std::floor(day);
    const TDateTime today = summary.Day;
    summary.DayMinutes = table.MinutesFromPeriod(today, today);
    summary.DayKopecks = plan.KopecksOf(table, minuteCost, today, today);
    summary.DayBytes = plan.BytesOf(today, today);

    const CalendarDate date = DecodeDate(today);
    const TDateTime monthFirst = EncodeDate(date.Year, date.Month, 1);
    const TDateTime monthLast =
        EncodeDate(date.Year, date.Month, DaysInMonth(date.Year, date.Month));
    summary.Month = {monthFirst, monthLast, table.MinutesFromPeriod(monthFirst, monthLast),
                     plan.KopecksOf(table, minuteCost, monthFirst, monthLast),
                     plan.BytesOf(monthFirst, monthLast)};

    const BillingCycle cycle = plan.CycleOf(today);
    summary.CycleDays = cycle.Days();
    summary.DaysLeft = DaysLeft(cycle, today);
    summary.CycleMinutes = plan.MinuteFigures(table, today);
    summary.CycleKopecks = plan.KopeckFigures(table, minuteCost, today);
    summary.CycleMegabytes = plan.MegabyteFigures(today);
    summary.Cycle = {cycle.First, cycle.Last, summary.CycleMinutes.Used, summary.CycleKopecks.Used,
                     plan.BytesOf(cycle.First, today)};

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

std::optional<SessionInProgress> ReadSessionInProgress(const std::filesystem::path& folder) {
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
    session.LeftOver = !ProgramRunsIn(folder);
    return session;
}

void WriteSummaryJson(std::ostream& out, const DaySummary& summary,
                      const std::optional<SessionInProgress>& session) {
    using Json = nlohmann::ordered_json;
    const BudgetFigures& minutes = summary.CycleMinutes;
    const BudgetFigures& kopecks = summary.CycleKopecks;
    const BudgetFigures& megabytes = summary.CycleMegabytes;
    Json budget = nullptr;
    if (summary.HasBudget) {
        budget = {
            {"kopecks", OrNull(kopecks.Limit)},
            {"minutes", OrNull(minutes.Limit)},
            {"percent_kopecks", PercentOrNull(kopecks.Percent)},
            {"percent_minutes", PercentOrNull(minutes.Percent)},
            {"allowance_kopecks_per_day", OrNull(kopecks.AllowancePerDay)},
            {"allowance_minutes_per_day", OrNull(minutes.AllowancePerDay)},
            {"alerts_fired", summary.AlertsFired},
            {"megabytes", OrNull(megabytes.Limit)},
            {"percent_megabytes", PercentOrNull(megabytes.Percent)},
            {"allowance_megabytes_per_day", OrNull(megabytes.AllowancePerDay)},
        };
    }
    Json sessionJson = nullptr;
    if (session) {
        sessionJson = {
            {"start", OrNull(session->Start)},
            {"minutes", OrNull(session->Minutes)},
            {"address", OrNull(session->Address)},
            {"left_over", session->LeftOver},
            {"rx_bytes", session->Bytes ? Json(session->Bytes->Received) : Json(nullptr)},
            {"tx_bytes", session->Bytes ? Json(session->Bytes->Sent) : Json(nullptr)},
        };
    }
    const Json object = {
        {"date", DateText(summary.Day)},
        {"today",
         {{"minutes", summary.DayMinutes},
          {"kopecks", summary.DayKopecks},
          {"rx_bytes", summary.DayBytes.Received},
          {"tx_bytes", summary.DayBytes.Sent}}},
        {"month",
         {{"first", DateText(summary.Month.First)},
          {"last", DateText(summary.Month.Last)},
          {"minutes", summary.Month.Minutes},
          {"kopecks", summary.Month.Kopecks},
          {"rx_bytes", summary.Month.Bytes.Received},
          {"tx_bytes", summary.Month.Bytes.Sent}}},
        {"cycle",
         {{"first", DateText(summary.Cycle.First)},
          {"last", DateText(summary.Cycle.Last)},
          {"days", summary.CycleDays},
          {"days_left", summary.DaysLeft},
          {"minutes", summary.Cycle.Minutes},
          {"kopecks", summary.Cycle.Kopecks},
          {"forecast_minutes", minutes.Forecast},
          {"forecast_kopecks", kopecks.Forecast},
          {"rx_bytes", summary.Cycle.Bytes.Received},
          {"tx_bytes", summary.Cycle.Bytes.Sent}}},
        {"budget", budget},
        {"session", sessionJson},
    };
    // The address comes from Windows-1251 and is always valid UTF-8; the
    // replacement only keeps the writer total.
    out << object.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
}

void WriteSummaryText(std::ostream& out, const DaySummary& summary,
                      const std::optional<SessionInProgress>& session) {
    out << "Дата: " << DateText(summary.Day) << '\n';
    out << "Сегодня: " << UseText(summary.DayMinutes, summary.DayKopecks) << '\n';
    out << "Месяц с " << DateText(summary.Month.First) << " по " << DateText(summary.Month.Last)
        << ": " << UseText(summary.Month.Minutes, summary.Month.Kopecks) << '\n';
    out << "Цикл с " << DateText(summary.Cycle.First) << " по " << DateText(summary.Cycle.Last)
        << " (" << summary.CycleDays << " дн., осталось " << summary.DaysLeft
        << " дн.): " << UseText(summary.Cycle.Minutes, summary.Cycle.Kopecks) << '\n';
    out << "Прогноз на цикл: "
        << UseText(summary.CycleMinutes.Forecast, summary.CycleKopecks.Forecast) << '\n';
    out << "Трафик, принято/отправлено: сегодня " << BytesText(summary.DayBytes) << ", месяц "
        << BytesText(summary.Month.Bytes) << ", цикл " << BytesText(summary.Cycle.Bytes) << '\n';

    for (const auto& budget : Budgets(summary)) {
        const BudgetFigures& f = budget.figures;
        if (!f.Limit || !f.Percent || !f.AllowancePerDay) {
            continue;
        }
        out << "Бюджет " << BudgetAmountText(budget.unit, *f.Limit) << ": израсходовано "
            << PercentText(*f.Percent) << ", в день можно "
            << BudgetAmountText(budget.unit, *f.AllowancePerDay) << '\n';
    }
    if (!summary.AlertsFired.empty()) {
        out << "Оповещения в цикле:";
        for (std::size_t i = 0; i < summary.AlertsFired.size(); ++i) {
            out << (i == 0 ? " " : ", ") << summary.AlertsFired[i] << '%';
        }
        out << '\n';
    }

    if (session) {
        out << "Сеанс";
        if (session->Start) {
            out << " с " << *session->Start;
        }
        out << ": "
            << (session->Minutes ? MinToTimeStr(*session->Minutes)
                                 : std::string("время не читается"));
        if (session->Address && !session->Address->empty()) {
            out << ", адрес " << *session->Address;
        }
        if (session->Bytes) {
            out << ", принято " << MegabytesText(session->Bytes->Received) << ", отправлено "
                << MegabytesText(session->Bytes->Sent);
        }
        if (session->LeftOver) {
            out << " (остался от запуска, который завершился во время сеанса)";
        }
        out << '\n';
    }
}

std::optional<std::string> BudgetBreach(const DaySummary& summary) {
    for (const auto& budget : Budgets(summary)) {
        const BudgetFigures& f = budget.figures;
        if (!f.Limit) {
            continue;
        }
        if (f.Used > *f.Limit) {
            return "Бюджет превышен: " + BudgetAmountText(budget.unit, f.Used) + " из " +
                   BudgetAmountText(budget.unit, *f.Limit);
        }
        if (f.Forecast > *f.Limit) {
            return "Прогноз превышает бюджет: " + BudgetAmountText(budget.unit, f.Forecast) +
                   " из " + BudgetAmountText(budget.unit, *f.Limit);
        }
    }
    return std::nullopt;
}
