// The plan file reader: any text either gives settings that keep every range
// PlanSettings.h states, or throws EPlanFileError naming a line of the text
// in visible text only. Any other exception escapes and fails the run, and a
// text that overflows the reader's stack stops it.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "core/DataFiles.h"
#include "core/PrintableText.h"
#include "plan/PlanFile.h"

namespace {

// The limits the reader enforces, as the plan file's keys document them.
constexpr int64_t kMaxBudgetKopecks = 1'000'000'000;
constexpr int64_t kMaxMinutes = 1'000'000;
constexpr int64_t kMaxMegabytes = 1'000'000'000;
constexpr int64_t kMaxFeeKopecks = 1'000'000;
constexpr int64_t kMaxRateMillikopecks = 1'000'000'000;
constexpr int kMaxAlertPercent = 1000;
constexpr std::size_t kMaxInterfaceName = 15;
constexpr int kMinutesPerDay = 24 * 60;

template <typename T>
bool Within(const std::optional<T>& value, int64_t low, int64_t high) {
    return !value || (*value >= low && *value <= high);
}

void CheckBudget(const BudgetSettings& budget) {
    FUZZ_CHECK(Within(budget.Kopecks, 1, kMaxBudgetKopecks));
    FUZZ_CHECK(Within(budget.Minutes, 1, kMaxMinutes));
    FUZZ_CHECK(Within(budget.Megabytes, 1, kMaxMegabytes));
    for (std::size_t i = 0; i < budget.Alerts.size(); ++i) {
        FUZZ_CHECK(budget.Alerts[i] >= 1 && budget.Alerts[i] <= kMaxAlertPercent);
        FUZZ_CHECK(i == 0 || budget.Alerts[i - 1] < budget.Alerts[i]);
    }
}

void CheckPlan(const PlanTariff& plan) {
    FUZZ_CHECK(plan.ConnectionFeeKopecks >= 0 && plan.ConnectionFeeKopecks <= kMaxFeeKopecks);
    FUZZ_CHECK(plan.IncludedMinutes >= 0 && plan.IncludedMinutes <= kMaxMinutes);
    FUZZ_CHECK(Within(plan.MillikopecksPerMegabyte, 0, kMaxRateMillikopecks));
    for (const RateRule& rule : plan.Rates) {
        FUZZ_CHECK(rule.Days != 0 && rule.Days < (1u << 7));
        FUZZ_CHECK(rule.MillikopecksPerMinute >= 0 &&
                   rule.MillikopecksPerMinute <= kMaxRateMillikopecks);
        if (rule.Hours) {
            FUZZ_CHECK(rule.Hours->From >= 0 && rule.Hours->From < kMinutesPerDay);
            FUZZ_CHECK(rule.Hours->To >= 0 && rule.Hours->To <= kMinutesPerDay);
            FUZZ_CHECK(rule.Hours->From != rule.Hours->To);
        }
    }
}

void CheckCounting(const CountingSettings& counting) {
    if (!counting.Interfaces) {
        return;
    }
    const auto& names = *counting.Interfaces;
    for (auto name = names.begin(); name != names.end(); ++name) {
        FUZZ_CHECK(!name->empty() && name->size() <= kMaxInterfaceName);
        FUZZ_CHECK(std::find(names.begin(), name, *name) == name);
    }
}

// "Vimo.toml, line N: reason", N a line of the text (counted as the TOML
// reader counts them, at line feeds) and the reason not empty; a text over
// the size limit names no line.
void CheckError(const EPlanFileError& error, std::string_view text) {
    const std::string_view message = error.what();
    FUZZ_CHECK(PrintableText(message) == message);
    if (text.size() > kPlanFileMostBytes) {
        FUZZ_CHECK(message == std::string(datafiles::kPlan) + ": file too large (over 1 MiB)");
        return;
    }
    const std::string prefix = std::string(datafiles::kPlan) + ", line ";
    FUZZ_CHECK(message.substr(0, prefix.size()) == prefix);
    std::size_t at = prefix.size();
    int64_t line = 0;
    while (at < message.size() && message[at] >= '0' && message[at] <= '9' && line < 1'000'000) {
        line = line * 10 + (message[at] - '0');
        ++at;
    }
    const auto lines = static_cast<int64_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    FUZZ_CHECK(line >= 1 && line <= lines);
    FUZZ_CHECK(message.substr(at, 2) == ": ");
    FUZZ_CHECK(message.size() > at + 2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    PlanSettings settings;
    try {
        settings = ParsePlanText(text);
    } catch (const EPlanFileError& error) {
        CheckError(error, text);
        return 0;
    }
    FUZZ_CHECK(Within(settings.CycleStartDay, 1, 31));
    if (settings.Budget) {
        CheckBudget(*settings.Budget);
    }
    if (settings.Plan) {
        CheckPlan(*settings.Plan);
    }
    if (settings.Counting) {
        CheckCounting(*settings.Counting);
    }
    return 0;
}
