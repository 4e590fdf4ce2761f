#include "plan/PlanFile.h"

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

#include <toml++/toml.h>

#include "core/DataFiles.h"
#include "core/PrintableText.h"
#include "files/FileIO.h"
#include "plan/PlanChecks.h"
#include "plan/PlanTextScan.h"

namespace {

using plankeys::KopecksKey;
using plankeys::WholeKey;

[[noreturn]] void Fail(const toml::source_region& where, const std::string& reason) {
    throw EPlanFileError(static_cast<int>(where.begin.line), reason);
}

[[noreturn]] void Fail(const toml::node& where, const std::string& reason) {
    Fail(where.source(), reason);
}

void FailOn(const toml::node& where, const std::optional<plankeys::Problem>& problem) {
    if (problem) {
        Fail(where, problem->Text);
    }
}

std::string Quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

using KeyReader = std::function<void(const toml::node&)>;

// Hands each key of `table` to its reader, in the order of the file, so the
// fault reported is the first one there. `path` names the table in the
// message for a key no reader takes.
void ReadKeys(const toml::table& table, std::string_view path,
              std::initializer_list<std::pair<std::string_view, KeyReader>> readers) {
    std::vector<std::pair<const toml::key*, const toml::node*>> entries;
    for (auto&& [key, node] : table) {
        entries.emplace_back(&key, &node);
    }
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        return a.first->source().begin < b.first->source().begin;
    });
    for (const auto& [key, node] : entries) {
        const std::string_view name = key->str();
        const auto reader = std::find_if(readers.begin(), readers.end(),
                                         [name](const auto& r) { return r.first == name; });
        if (reader == readers.end()) {
            const std::string fullName =
                (path.empty() ? "" : std::string(path) + ".") + std::string(name);
            Fail(key->source(),
                 (node->is_table() ? "unknown table " : "unknown key ") + Quoted(fullName));
        }
        reader->second(*node);
    }
}

const toml::table& TableOf(const toml::node& node, std::string_view key) {
    if (const toml::table* table = node.as_table()) {
        return *table;
    }
    Fail(node, std::string(key) + " must be a table");
}

// A whole number within the bounds of `key`.
int64_t Bounded(const toml::node& node, const WholeKey& key) {
    const auto* value = node.as_integer();
    if (value == nullptr) {
        Fail(node, plankeys::NotWhole(key.Name).Text);
    }
    FailOn(node, plankeys::WholeProblem(key, value->get()));
    return value->get();
}

// A rate in kopecks, whole or with up to three decimals, in millikopecks.
int64_t Millikopecks(const toml::node& node, const KopecksKey& key) {
    if (node.is_integer()) {
        return Bounded(node, WholeKey{key.Name, 0, key.MaxKopecks}) * 1000;
    }
    const auto* number = node.as_floating_point();
    if (number == nullptr) {
        Fail(node, std::string(key.Name) + " must be a number");
    }
    const plankeys::MillikopecksReading reading =
        plankeys::MillikopecksOfKopecks(key, number->get());
    FailOn(node, reading.Fault);
    return reading.Millikopecks;
}

// `end`: the end of a rate's hours, which may be "24:00".
int ClockMinutes(const toml::node& node, std::string_view key, bool end) {
    const auto* text = node.as_string();
    if (text == nullptr) {
        Fail(node, std::string(key) + " must be a time of day such as \"21:00\"");
    }
    const std::optional<int> minutes =
        end ? plankeys::EndClockMinutesOf(text->get()) : plankeys::ClockMinutesOf(text->get());
    if (minutes) {
        return *minutes;
    }
    Fail(node, plankeys::NotATime(key, text->get()).Text);
}

uint8_t DaySet(const toml::node& node) {
    const toml::array* list = node.as_array();
    if (list == nullptr) {
        Fail(node, "days must be a list of day names such as [\"mon\", \"tue\"]");
    }
    if (list->empty()) {
        Fail(node, plankeys::NoDays().Text);
    }
    uint8_t days = 0;
    for (const toml::node& item : *list) {
        const auto* name = item.as_string();
        if (name == nullptr) {
            Fail(item, "days: a day must be a name such as \"mon\"");
        }
        const auto& dayNames = plankeys::kDayNames;
        const auto found = std::find(dayNames.begin(), dayNames.end(), name->get());
        if (found == dayNames.end()) {
            Fail(item, "days: unknown day " + Quoted(name->get()));
        }
        const auto bit = static_cast<uint8_t>(1u << (found - dayNames.begin()));
        if ((days & bit) != 0) {
            Fail(item, "days: " + Quoted(name->get()) + " is given twice");
        }
        days |= bit;
    }
    return days;
}

std::vector<int> Alerts(const toml::node& node) {
    const std::string wrongType = "alerts must be a list of whole percents such as [80, 100]";
    const toml::array* list = node.as_array();
    if (list == nullptr) {
        Fail(node, wrongType);
    }
    std::vector<int> percents;
    for (const toml::node& item : *list) {
        const auto* value = item.as_integer();
        if (value == nullptr) {
            Fail(item, wrongType);
        }
        const int64_t percent = value->get();
        FailOn(item, plankeys::AlertProblem(percent, percents));
        percents.push_back(static_cast<int>(percent));
    }
    std::sort(percents.begin(), percents.end());
    return percents;
}

std::vector<std::string> InterfaceNames(const toml::node& node) {
    const std::string wrongType = "interfaces must be a list of names such as [\"ppp0\"]";
    const toml::array* list = node.as_array();
    if (list == nullptr) {
        Fail(node, wrongType);
    }
    std::vector<std::string> names;
    for (const toml::node& item : *list) {
        const auto* name = item.as_string();
        if (name == nullptr) {
            Fail(item, wrongType);
        }
        FailOn(item, plankeys::InterfaceProblem(name->get(), names));
        names.push_back(name->get());
    }
    return names;
}

bool Flag(const toml::node& node, std::string_view key) {
    if (const auto* value = node.as_boolean()) {
        return value->get();
    }
    Fail(node, std::string(key) + " must be true or false");
}

std::optional<int> ReadCycle(const toml::table& table) {
    std::optional<int> startDay;
    ReadKeys(table, "cycle", {{"start_day", [&](const toml::node& n) {
                                   startDay = static_cast<int>(Bounded(n, plankeys::kStartDay));
                               }}});
    return startDay;
}

BudgetSettings ReadBudget(const toml::table& table) {
    BudgetSettings budget;
    bool alertsGiven = false;
    ReadKeys(
        table, "budget",
        {{"kopecks",
          [&](const toml::node& n) { budget.Kopecks = Bounded(n, plankeys::kBudgetKopecks); }},
         {"minutes",
          [&](const toml::node& n) { budget.Minutes = Bounded(n, plankeys::kBudgetMinutes); }},
         {"megabytes",
          [&](const toml::node& n) { budget.Megabytes = Bounded(n, plankeys::kBudgetMegabytes); }},
         {"alerts",
          [&](const toml::node& n) {
              budget.Alerts = Alerts(n);
              alertsGiven = true;
          }},
         {"stop_at",
          [&](const toml::node& n) {
              budget.StopAt = static_cast<int>(Bounded(n, plankeys::kStopAt));
          }},
         {"stop_grace", [&](const toml::node& n) {
              budget.StopGrace = static_cast<int>(Bounded(n, plankeys::kStopGrace));
          }}});
    if (!alertsGiven && (budget.Kopecks || budget.Minutes || budget.Megabytes)) {
        budget.Alerts.assign(plankeys::kDefaultAlerts.begin(), plankeys::kDefaultAlerts.end());
    }
    return budget;
}

RateRule ReadRate(const toml::table& table) {
    RateRule rule;
    bool priced = false;
    std::optional<int> from;
    std::optional<int> to;
    const toml::node* lastTime = nullptr;
    ReadKeys(table, "plan.rate",
             {{"days", [&](const toml::node& n) { rule.Days = DaySet(n); }},
              {"from",
               [&](const toml::node& n) {
                   from = ClockMinutes(n, "from", false);
                   lastTime = &n;
               }},
              {"to",
               [&](const toml::node& n) {
                   to = ClockMinutes(n, "to", true);
                   lastTime = &n;
               }},
              {"kopecks_per_minute", [&](const toml::node& n) {
                   rule.MillikopecksPerMinute = Millikopecks(n, plankeys::kKopecksPerMinute);
                   priced = true;
               }}});
    if (from.has_value() != to.has_value()) {
        Fail(*lastTime, plankeys::HalfHours().Text);
    }
    if (from && *from == *to) {
        Fail(*lastTime, plankeys::EmptyHours().Text);
    }
    if (from) {
        rule.Hours = ClockWindow{*from, *to};
    }
    if (rule.Days == 0) {
        Fail(table, "days must be given");
    }
    if (!priced) {
        Fail(table, plankeys::NoPrice().Text);
    }
    return rule;
}

std::vector<RateRule> ReadRates(const toml::node& node) {
    const std::string wrongType = "rate must be a list of tables, each begun with [[plan.rate]]";
    const toml::array* list = node.as_array();
    if (list == nullptr) {
        Fail(node, wrongType);
    }
    std::vector<RateRule> rules;
    for (const toml::node& item : *list) {
        const toml::table* table = item.as_table();
        if (table == nullptr) {
            Fail(item, wrongType);
        }
        rules.push_back(ReadRate(*table));
    }
    return rules;
}

PlanTariff ReadPlan(const toml::table& table) {
    PlanTariff plan;
    ReadKeys(table, "plan",
             {{"connection_fee",
               [&](const toml::node& n) {
                   plan.ConnectionFeeKopecks = Bounded(n, plankeys::kConnectionFee);
               }},
              {"included_minutes",
               [&](const toml::node& n) {
                   plan.IncludedMinutes = Bounded(n, plankeys::kIncludedMinutes);
               }},
              {"kopecks_per_mb",
               [&](const toml::node& n) {
                   plan.MillikopecksPerMegabyte = Millikopecks(n, plankeys::kKopecksPerMegabyte);
               }},
              {"rate", [&](const toml::node& n) { plan.Rates = ReadRates(n); }}});
    return plan;
}

CountingSettings ReadCounting(const toml::table& table) {
    CountingSettings counting;
    ReadKeys(table, "counting",
             {{"interfaces", [&](const toml::node& n) { counting.Interfaces = InterfaceNames(n); }},
              {"metered_only",
               [&](const toml::node& n) { counting.MeteredOnly = Flag(n, "metered_only"); }}});
    return counting;
}

}  // namespace

// The reason may quote the file, whose bytes need not be text.
EPlanFileError::EPlanFileError(int line, const std::string& reason)
    : Exception(std::string(datafiles::kPlan) + ", line " + std::to_string(line) + ": " +
                PrintableText(reason)) {}

EPlanFileError::EPlanFileError(const std::string& reason)
    : Exception(std::string(datafiles::kPlan) + ": " + reason) {}

std::string_view WithoutByteOrderMark(std::string_view text) {
    constexpr std::string_view kMark = "\xef\xbb\xbf";
    return text.starts_with(kMark) ? text.substr(kMark.size()) : text;
}

PlanSettings ParsePlanText(std::string_view text) {
    if (text.size() > kPlanFileMostBytes) {
        throw EPlanFileError("file too large (over 1 MiB)");
    }
    text = WithoutByteOrderMark(text);
    ScanPlanText(text);
    toml::table root;
    try {
        root = toml::parse(text, datafiles::kPlan);
    } catch (const toml::parse_error& error) {
        Fail(error.source(), std::string(error.description()));
    }
    PlanSettings settings;
    ReadKeys(
        root, "",
        {{"cycle",
          [&](const toml::node& n) { settings.CycleStartDay = ReadCycle(TableOf(n, "cycle")); }},
         {"budget",
          [&](const toml::node& n) { settings.Budget = ReadBudget(TableOf(n, "budget")); }},
         {"plan", [&](const toml::node& n) { settings.Plan = ReadPlan(TableOf(n, "plan")); }},
         {"counting",
          [&](const toml::node& n) { settings.Counting = ReadCounting(TableOf(n, "counting")); }}});
    return settings;
}

std::optional<PlanSettings> ReadPlanFile(const std::filesystem::path& folder) {
    std::string text;
    try {
        text = ReadWholeFile(folder / datafiles::kPlan, kPlanFileMostBytes);
    } catch (const EInOutError& error) {
        if (error.Code == EInOutError::kFileNotFound) {
            return std::nullopt;
        }
        throw;
    }
    return ParsePlanText(text);
}
