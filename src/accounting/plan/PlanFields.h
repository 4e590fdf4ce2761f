#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/NumberText.h"
#include "plan/PlanSettings.h"

// The fields of the settings panel that edits "Vimo.toml": the texts it shows
// for the file's values, and the values, or what is wrong, it reads back from
// what a person typed. The panel only moves these texts to and from its
// widgets. Numbers are written and read with the separators of the user's
// number form (never through the C library's locale). Money is in kopecks,
// as in the file: whole kopecks for the budget and the connection fee, up to
// three decimals for the prices per minute and per megabyte.

// What is wrong with one field.
struct FieldProblem {
    // The plan file reader's own text, without "Vimo.toml, line N: ", e.g.
    // "start_day must be 1 to 31".
    std::string Text;
    // Its short Russian word for beside the field, e.g. "от 1 до 31".
    std::string Hint;
    friend bool operator==(const FieldProblem&, const FieldProblem&) = default;
};

// One rate rule as a row of the panel's table.
struct RateFields {
    // Bit 0 Monday ... bit 6 Sunday.
    uint8_t Days = 0;
    // "21:00", To up to "24:00"; both empty: the whole day.
    std::string From;
    std::string To;
    // "1,5" with a comma separator.
    std::string KopecksPerMinute;
    friend bool operator==(const RateFields&, const RateFields&) = default;
};

struct RateProblems {
    std::optional<FieldProblem> Days;
    std::optional<FieldProblem> From;
    std::optional<FieldProblem> To;
    std::optional<FieldProblem> KopecksPerMinute;
    bool Any() const { return Days || From || To || KopecksPerMinute; }
};

// An interface of the panel's list, and whether it is ticked.
struct InterfaceTick {
    std::string Name;
    bool Counted = false;
    friend bool operator==(const InterfaceTick&, const InterfaceTick&) = default;
};

// Every field of the panel.
struct PlanFields {
    std::string StartDay;       // empty: the calendar month
    std::string BudgetKopecks;  // each empty: no such limit
    std::string BudgetMinutes;
    std::string BudgetMegabytes;
    std::string Alerts;              // "80, 100"; empty: no alerts
    bool PlanOn = false;             // money follows the plan
    std::string ConnectionFee;       // empty: 0
    std::string IncludedMinutes;     // empty: 0
    std::string KopecksPerMegabyte;  // empty: bytes cost nothing
    std::vector<RateFields> Rates;
    // The interfaces named in the file first, in its order, then those of
    // the machine it does not name.
    std::vector<InterfaceTick> Interfaces;
    bool MeteredOnly = false;
    friend bool operator==(const PlanFields&, const PlanFields&) = default;
};

// The problems of the fields, each none when its field is right. Fields of
// the plan are not looked at while the plan is off.
struct PlanFieldProblems {
    std::optional<FieldProblem> StartDay;
    std::optional<FieldProblem> BudgetKopecks;
    std::optional<FieldProblem> BudgetMinutes;
    std::optional<FieldProblem> BudgetMegabytes;
    std::optional<FieldProblem> Alerts;
    std::optional<FieldProblem> ConnectionFee;
    std::optional<FieldProblem> IncludedMinutes;
    std::optional<FieldProblem> KopecksPerMegabyte;
    // One per rate rule, in the table's order.
    std::vector<RateProblems> Rates;
    bool Any() const;
};

struct PlanFieldsReading {
    // What the fields say; meaningful only when there is no problem.
    PlanSettings Settings;
    PlanFieldProblems Problems;
};

// The fields showing `settings`, with the interfaces of `machine` the file
// does not name listed unticked after its own. Without a budget, the alerts
// field shows the alerts a limit would get (80, 100).
PlanFields FieldsOf(const PlanSettings& settings, const std::vector<std::string>& machine,
                    const NumberSeparators& separators);

// The settings the fields say. `loaded`, the settings they were filled from,
// keeps what the fields cannot tell from leaving a key out ("metered_only =
// false", "interfaces = []"). A budget without a limit whose alerts are the
// defaults or none says nothing and is left out, as is a [counting] with
// nothing in it.
PlanFieldsReading ReadPlanFields(const PlanFields& fields, const PlanSettings& loaded,
                                 const NumberSeparators& separators);

// The provider's figures of the cycle so far, typed in to match Vimo's count
// to them: whole kopecks, minutes and megabytes, each empty when not given.
struct ProviderFields {
    std::string Kopecks;
    std::string Minutes;
    std::string Megabytes;
};
struct ProviderFieldsReading {
    std::optional<int64_t> Kopecks;
    std::optional<int64_t> Minutes;
    std::optional<int64_t> Megabytes;
    // The first wrong field's problem, or that none is given.
    std::optional<FieldProblem> Problem;
    // Which field is wrong: 0 kopecks, 1 minutes, 2 megabytes; none when
    // none is given.
    std::optional<int> ProblemField;
};
ProviderFieldsReading ReadProviderFields(const ProviderFields& fields);

// What is wrong with an interface name a person types in to add to the
// list; none when it may be added.
std::optional<FieldProblem> InterfaceNameProblem(std::string_view name);

// The field texts of single values: 1500 millikopecks "1,5" with a comma
// separator, 420 minutes "07:00" (1440, the end of the day, "24:00"),
// alerts "80, 100".
std::string KopecksText(int64_t millikopecks, std::string_view decimalSeparator);
std::string ClockText(int minutes);
std::string AlertsText(const std::vector<int>& percents);
