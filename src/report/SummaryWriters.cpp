#include "report/SummaryWriters.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "core/MoneyTexts.h"
#include "core/Translation.h"

namespace {

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
    const std::size_t point = written.find('.');
    if (point != std::string::npos) {
        written.replace(point, 1, DecimalSeparatorText());
    }
    return written + "%";
}

std::string DurationText(int64_t minutes) {
    return TimeText(static_cast<uint32_t>(
        std::clamp<int64_t>(minutes, 0, std::numeric_limits<uint32_t>::max())));
}

std::string MegabytesText(int64_t bytes) {
    return FillText(TranslateText("Report", "%1 МБ"), {MegabyteNumber(bytes)});
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

// The provider's figures as typed in, with when: null without them.
nlohmann::ordered_json AdjustmentJson(const std::optional<ProviderAdjustment>& adjustment) {
    if (!adjustment) {
        return nullptr;
    }
    return {{"kopecks", OrNull(adjustment->Kopecks)},
            {"minutes", OrNull(adjustment->Minutes)},
            {"megabytes", OrNull(adjustment->Megabytes)},
            {"at", DateText(adjustment->At) + " " + ClockText(adjustment->At)}};
}

}  // namespace

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
          {"tx_bytes", summary.Cycle.Bytes.Sent},
          {"adjusted", AdjustmentJson(summary.Adjustment)}}},
        {"budget", budget},
        {"session", sessionJson},
    };
    // The address comes from Windows-1251 and is always valid UTF-8; the
    // replacement only keeps the writer total.
    out << object.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
}

void WriteSummaryText(std::ostream& out, const DaySummary& summary,
                      const std::optional<SessionInProgress>& session) {
    out << FillText(TranslateText("Report", "Дата: %1"), {DateText(summary.Day)}) << '\n';
    out << FillText(TranslateText("Report", "Сегодня: %1"),
                    {UseText(summary.DayMinutes, summary.DayKopecks)})
        << '\n';
    out << FillText(TranslateText("Report", "Месяц с %1 по %2: %3"),
                    {DateText(summary.Month.First), DateText(summary.Month.Last),
                     UseText(summary.Month.Minutes, summary.Month.Kopecks)})
        << '\n';
    out << FillText(TranslateText("Report", "Цикл с %1 по %2 (%3 дн., %4): %5"),
                    {DateText(summary.Cycle.First), DateText(summary.Cycle.Last),
                     std::to_string(summary.CycleDays), DaysLeftText(summary.DaysLeft),
                     UseText(summary.Cycle.Minutes, summary.Cycle.Kopecks)})
        << '\n';
    out << FillText(TranslateText("Report", "Прогноз на цикл: %1"),
                    {UseText(summary.CycleMinutes.Forecast, summary.CycleKopecks.Forecast)})
        << '\n';
    out << FillText(
               TranslateText("Report", "Трафик, принято/отправлено: сегодня %1, месяц %2, цикл %3"),
               {BytesText(summary.DayBytes), BytesText(summary.Month.Bytes),
                BytesText(summary.Cycle.Bytes)})
        << '\n';

    for (const auto& budget : Budgets(summary)) {
        const BudgetFigures& f = budget.figures;
        if (!f.Limit || !f.Percent || !f.AllowancePerDay) {
            continue;
        }
        out << FillText(TranslateText("Report", "Бюджет %1: израсходовано %2, в день можно %3"),
                        {BudgetAmountText(budget.unit, *f.Limit), PercentText(*f.Percent),
                         BudgetAmountText(budget.unit, *f.AllowancePerDay)})
            << '\n';
    }
    if (!summary.AlertsFired.empty()) {
        out << TranslateText("Report", "Оповещения в цикле:");
        for (std::size_t i = 0; i < summary.AlertsFired.size(); ++i) {
            out << (i == 0 ? " " : ", ") << summary.AlertsFired[i] << '%';
        }
        out << '\n';
    }

    if (session) {
        const std::string duration = session->Minutes
                                         ? TimeText(*session->Minutes)
                                         : TranslateText("Report", "время не читается");
        out << (session->Start ? FillText(TranslateText("Report", "Сеанс с %1: %2"),
                                          {*session->Start, duration})
                               : FillText(TranslateText("Report", "Сеанс: %1"), {duration}));
        if (session->Address && !session->Address->empty()) {
            out << FillText(TranslateText("Report", ", адрес %1"), {*session->Address});
        }
        if (session->Bytes) {
            out << FillText(
                TranslateText("Report", ", принято %1, отправлено %2"),
                {MegabytesText(session->Bytes->Received), MegabytesText(session->Bytes->Sent)});
        }
        if (session->LeftOver) {
            out << TranslateText("Report",
                                 " (остался от запуска, который завершился во время сеанса)");
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
            return FillText(
                TranslateText("Report", "Бюджет превышен: %1 из %2"),
                {BudgetAmountText(budget.unit, f.Used), BudgetAmountText(budget.unit, *f.Limit)});
        }
        if (f.Forecast > *f.Limit) {
            return FillText(TranslateText("Report", "Прогноз превышает бюджет: %1 из %2"),
                            {BudgetAmountText(budget.unit, f.Forecast),
                             BudgetAmountText(budget.unit, *f.Limit)});
        }
    }
    return std::nullopt;
}
