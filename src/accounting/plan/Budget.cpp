#include "plan/Budget.h"

#include <algorithm>

#include "core/Millikopecks.h"
#include "core/MoneyTexts.h"
#include "core/Translation.h"

namespace {

bool Reaches(int64_t use, int percent, int64_t limit) {
    return use * 100 >= percent * limit;
}

}  // namespace

std::string BudgetAmountText(BudgetUnit unit, int64_t amount) {
    switch (unit) {
        case BudgetUnit::Kopecks:
            return KopecksToMoney(amount);
        case BudgetUnit::Minutes:
            return FillText(TranslateText("Budget", "%1 мин."), {std::to_string(amount)});
        case BudgetUnit::Megabytes:
            break;
    }
    return FillText(TranslateText("Budget", "%1 МБ"), {std::to_string(amount)});
}

BudgetFigures FiguresOf(int64_t used, std::optional<int64_t> limit, const BillingCycle& cycle,
                        TDateTime today) {
    BudgetFigures figures;
    figures.Used = used;
    figures.Forecast = DivideRoundingHalfToEven(used * cycle.Days(), ElapsedDays(cycle, today));
    if (limit) {
        figures.Limit = limit;
        figures.Percent = static_cast<double>(used) * 100 / static_cast<double>(*limit);
        figures.AllowancePerDay = std::max<int64_t>(0, (*limit - used) / DaysLeft(cycle, today));
    }
    return figures;
}

std::vector<int> CrossedAlerts(std::span<const int> thresholds, std::span<const int> fired,
                               int64_t used, int64_t limit) {
    std::vector<int> crossed;
    for (const int percent : thresholds) {
        if (Reaches(used, percent, limit) &&
            std::find(fired.begin(), fired.end(), percent) == fired.end()) {
            crossed.push_back(percent);
        }
    }
    std::sort(crossed.begin(), crossed.end());
    return crossed;
}

std::string AlertText(BudgetUnit unit, int percent, int64_t used, int64_t limit) {
    return FillText(
        TranslateText("Budget", "Израсходовано %1% бюджета: %2 из %3"),
        {std::to_string(percent),
         unit == BudgetUnit::Megabytes ? MegabytesUsedText(used) : BudgetAmountText(unit, used),
         BudgetAmountText(unit, limit)});
}

std::string MegabytesUsedText(int64_t bytes) {
    constexpr int64_t kTenMegabytes = 10'000'000;
    if (bytes >= kTenMegabytes) {
        return FillText(TranslateText("Budget", "%1 МБ"),
                        {std::to_string(bytes / (kTenMegabytes / 10))});
    }
    return FillText(TranslateText("Budget", "%1 МБ"), {MegabyteNumber(bytes)});
}
