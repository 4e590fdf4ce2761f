#include "plan/PlanFileWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <locale>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include <toml++/toml.h>

#include "core/DataFiles.h"
#include "files/FileIO.h"
#include "plan/PlanChecks.h"
#include "plan/PlanFields.h"
#include "plan/PlanFile.h"

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMoneyKeys[] = {plankeys::kKopecksPerMinute.Name,
                                           plankeys::kKopecksPerMegabyte.Name};

// The table `name` of `parent`, made when missing and written as a table of
// its own rather than inline.
toml::table& TableIn(toml::table& parent, std::string_view name) {
    if (!parent.get_as<toml::table>(name)) {
        parent.insert_or_assign(name, toml::table{});
    }
    toml::table& table = *parent.get_as<toml::table>(name);
    table.is_inline(false);
    return table;
}

void EraseIfEmpty(toml::table& parent, std::string_view name) {
    const toml::table* table = parent.get_as<toml::table>(name);
    if (table != nullptr && table->empty()) {
        parent.erase(name);
    }
}

template <typename T>
void SetOrErase(toml::table& table, std::string_view key, const std::optional<T>& value) {
    if (value) {
        table.insert_or_assign(key, *value);
    } else {
        table.erase(key);
    }
}

// A whole number whose absence reads as 0: written when it is not 0 or the
// file has the key already.
void SetZeroDefault(toml::table& table, std::string_view key, int64_t value) {
    if (value != 0 || table.contains(key)) {
        table.insert_or_assign(key, value);
    } else {
        table.erase(key);
    }
}

// Whole kopecks as an integer, others as a double; the formatter's text of
// the double is replaced afterwards (see ShortMoney).
void SetMoney(toml::table& table, std::string_view key, int64_t millikopecks) {
    if (millikopecks % 1000 == 0) {
        table.insert_or_assign(key, millikopecks / 1000);
    } else {
        table.insert_or_assign(key, static_cast<double>(millikopecks) / 1000);
    }
}

void SetCycle(toml::table& root, const PlanSettings& shown) {
    toml::table& cycle = TableIn(root, "cycle");
    SetOrErase(cycle, plankeys::kStartDay.Name, shown.CycleStartDay);
    EraseIfEmpty(root, "cycle");
}

bool AreDefaultAlerts(const std::vector<int>& alerts) {
    return std::equal(alerts.begin(), alerts.end(), plankeys::kDefaultAlerts.begin(),
                      plankeys::kDefaultAlerts.end());
}

bool IsLimited(const BudgetSettings& budget) {
    return budget.Kopecks || budget.Minutes || budget.Megabytes;
}

// A budget that reads as no budget at all.
bool SaysNothing(const BudgetSettings& budget) {
    return !IsLimited(budget) && budget.Alerts.empty() && !budget.StopAt && !budget.StopGrace;
}

void SetBudget(toml::table& root, const PlanSettings& shown) {
    if (!shown.Budget || SaysNothing(*shown.Budget)) {
        root.erase("budget");
        return;
    }
    const BudgetSettings& budget = *shown.Budget;
    toml::table& table = TableIn(root, "budget");
    SetOrErase(table, plankeys::kBudgetKopecks.Name, budget.Kopecks);
    SetOrErase(table, plankeys::kBudgetMinutes.Name, budget.Minutes);
    SetOrErase(table, plankeys::kBudgetMegabytes.Name, budget.Megabytes);
    SetOrErase(table, plankeys::kStopAt.Name, budget.StopAt);
    SetOrErase(table, plankeys::kStopGrace.Name, budget.StopGrace);
    std::vector<int> alerts = budget.Alerts;
    std::sort(alerts.begin(), alerts.end());
    // Without the key a limit alerts at the defaults and no limit at none.
    const bool keyNeeded = IsLimited(budget) ? !AreDefaultAlerts(alerts) : !alerts.empty();
    if (keyNeeded || table.contains("alerts")) {
        toml::array list;
        for (const int percent : alerts) {
            list.push_back(static_cast<int64_t>(percent));
        }
        table.insert_or_assign("alerts", std::move(list));
    } else {
        table.erase("alerts");
    }
    EraseIfEmpty(root, "budget");
}

toml::table RateTable(const RateRule& rule) {
    toml::table table;
    toml::array days;
    for (std::size_t day = 0; day < plankeys::kDayNames.size(); ++day) {
        if ((rule.Days >> day) & 1u) {
            days.push_back(plankeys::kDayNames[day]);
        }
    }
    table.insert_or_assign("days", std::move(days));
    if (rule.Hours) {
        table.insert_or_assign("from", ClockText(rule.Hours->From));
        table.insert_or_assign("to", ClockText(rule.Hours->To));
    }
    SetMoney(table, plankeys::kKopecksPerMinute.Name, rule.MillikopecksPerMinute);
    return table;
}

void SetPlan(toml::table& root, const PlanSettings& shown) {
    if (!shown.Plan) {
        root.erase("plan");
        return;
    }
    const PlanTariff& plan = *shown.Plan;
    toml::table& table = TableIn(root, "plan");
    SetZeroDefault(table, plankeys::kConnectionFee.Name, plan.ConnectionFeeKopecks);
    SetZeroDefault(table, plankeys::kIncludedMinutes.Name, plan.IncludedMinutes);
    if (plan.MillikopecksPerMegabyte) {
        SetMoney(table, plankeys::kKopecksPerMegabyte.Name, *plan.MillikopecksPerMegabyte);
    } else {
        table.erase(plankeys::kKopecksPerMegabyte.Name);
    }
    if (plan.Rates.empty()) {
        table.erase("rate");
    } else {
        toml::array rates;
        for (const RateRule& rule : plan.Rates) {
            rates.push_back(RateTable(rule));
        }
        table.insert_or_assign("rate", std::move(rates));
    }
    // An empty [plan] stays: it means that money follows the plan.
}

void SetCounting(toml::table& root, const PlanSettings& shown) {
    const CountingSettings none;
    const CountingSettings& counting = shown.Counting ? *shown.Counting : none;
    toml::table& table = TableIn(root, "counting");
    if (counting.Interfaces) {
        toml::array names;
        for (const std::string& name : *counting.Interfaces) {
            names.push_back(name);
        }
        table.insert_or_assign("interfaces", std::move(names));
    } else {
        table.erase("interfaces");
    }
    SetOrErase(table, "metered_only", counting.MeteredOnly);
    EraseIfEmpty(root, "counting");
}

// The form in which `shown` reads back from the file: alerts ascending, and
// a budget or counting that says nothing left out.
PlanSettings AsRead(PlanSettings shown) {
    if (shown.Budget) {
        std::sort(shown.Budget->Alerts.begin(), shown.Budget->Alerts.end());
        if (SaysNothing(*shown.Budget)) {
            shown.Budget.reset();
        }
    }
    if (shown.Counting && !shown.Counting->Interfaces && !shown.Counting->MeteredOnly) {
        shown.Counting.reset();
    }
    return shown;
}

// toml++ here prints a double with 17 significant digits: exact, but 0.1
// comes out as "0.10000000000000001" and 12.345 as "12.345000000000001". The
// lines of the money keys get their value again from the millikopecks it
// stands for, as the decimal a person would write.
std::string ShortMoney(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const bool lineEnded = end != std::string_view::npos;
        for (const std::string_view key : kMoneyKeys) {
            const std::string lead = std::string(key) + " = ";
            if (!line.starts_with(lead)) {
                continue;
            }
            const std::string_view value = line.substr(lead.size());
            if (value.find_first_of(".eE") == std::string_view::npos) {
                break;
            }
            double kopecks = 0;
            const auto [stop, error] =
                std::from_chars(value.data(), value.data() + value.size(), kopecks);
            if (error != std::errc() || stop != value.data() + value.size()) {
                break;
            }
            const int64_t millikopecks = std::llround(kopecks * 1000);
            if (static_cast<double>(millikopecks) / 1000 != kopecks || millikopecks < 0) {
                break;
            }
            result += lead + KopecksText(millikopecks, ".");
            line = {};
            break;
        }
        result += line;
        if (lineEnded) {
            result += '\n';
        }
    }
    return result;
}

}  // namespace

std::string PlanTextWith(std::string_view existing, const PlanSettings& shown) {
    // The reader's own verdict first: a file it refuses is not replaced.
    ParsePlanText(existing);
    const std::string_view body = WithoutByteOrderMark(existing);
    toml::table root = toml::parse(body, datafiles::kPlan);

    try {
        SetCycle(root, shown);
        SetBudget(root, shown);
        SetPlan(root, shown);
        SetCounting(root, shown);
    } catch (const std::invalid_argument& error) {
        throw std::invalid_argument(std::string("plan settings out of bounds: ") + error.what());
    }

    // Plain tables without indentation, every string in double quotes and
    // in ASCII (other letters as \u escapes, which the reader takes).
    const auto flags = toml::toml_formatter::default_flags & ~toml::format_flags::indentation &
                       ~toml::format_flags::allow_literal_strings &
                       ~toml::format_flags::allow_unicode_strings;
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << toml::toml_formatter(root, flags);
    std::string text = ShortMoney(out.str());
    if (!text.empty() && text.back() != '\n') {
        text += '\n';
    }

    if (toml::parse(text, datafiles::kPlan) != root) {
        throw std::logic_error("PlanTextWith: the money rewrite changed the file's values");
    }
    // The editor that wrote a byte-order mark gets its file back with one.
    if (body.size() != existing.size()) {
        text.insert(0, existing.substr(0, existing.size() - body.size()));
    }
    PlanSettings read;
    try {
        read = ParsePlanText(text);
    } catch (const EPlanFileError& error) {
        throw std::invalid_argument(std::string("plan settings the file cannot hold: ") +
                                    error.what());
    }
    if (read != AsRead(shown)) {
        throw std::logic_error("PlanTextWith: the text does not read back as the settings");
    }
    return text;
}

std::string ReadPlanText(const fs::path& folder) {
    try {
        return ReadWholeFile(folder / datafiles::kPlan, kPlanFileMostBytes);
    } catch (const EInOutError& error) {
        if (error.Code == EInOutError::kFileNotFound) {
            return {};
        }
        throw;
    }
}

void WritePlanFile(const fs::path& folder, std::string_view text) {
    ParsePlanText(text);
    fs::path target = folder / datafiles::kPlan;
    std::error_code error;
    if (fs::is_symlink(target, error)) {
        const fs::path pointed = fs::canonical(target, error);
        if (!error) {
            target = pointed;
        }
    }
    ReplaceFileAtomically(target, text);
}
