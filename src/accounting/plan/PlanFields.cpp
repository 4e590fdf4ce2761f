#include "plan/PlanFields.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <stdexcept>

#include "core/Errors.h"
#include "core/Translation.h"
#include "plan/PlanChecks.h"

namespace {

using plankeys::Fault;
using plankeys::Problem;

std::string IntText(int64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The whole number a text is, sign and digits only; a number beyond 64 bits
// reads as the nearest 64-bit one, which every key's bounds refuse.
std::optional<int64_t> WholeOf(std::string_view text) {
    if (text.starts_with('+')) {
        text.remove_prefix(1);
    }
    if (text.empty() || text == "-") {
        return std::nullopt;
    }
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (end != text.data() + text.size()) {
        return std::nullopt;
    }
    if (error == std::errc::result_out_of_range) {
        return text.starts_with('-') ? std::numeric_limits<int64_t>::min()
                                     : std::numeric_limits<int64_t>::max();
    }
    if (error != std::errc()) {
        return std::nullopt;
    }
    return value;
}

std::string RangeHint(int64_t low, int64_t high) {
    return FillText(TranslateText("PlanFields", "от %1 до %2"), {IntText(low), IntText(high)});
}

FieldProblem Worded(const Problem& problem, std::string hint) {
    return {problem.Text, std::move(hint)};
}

struct WholeReading {
    std::optional<int64_t> Value;
    std::optional<FieldProblem> Fault;
};

// An empty field gives no value and no problem.
WholeReading ReadWhole(std::string_view text, const plankeys::WholeKey& key) {
    text = Trimmed(text);
    if (text.empty()) {
        return {};
    }
    const std::optional<int64_t> value = WholeOf(text);
    if (!value) {
        return {std::nullopt, Worded(plankeys::NotWhole(key.Name),
                                     FillText(TranslateText("PlanFields", "целое число %1"),
                                              {RangeHint(key.Low, key.High)}))};
    }
    if (const auto problem = plankeys::WholeProblem(key, *value)) {
        return {std::nullopt, Worded(*problem, RangeHint(key.Low, key.High))};
    }
    return {value, std::nullopt};
}

// Kopecks with up to three decimals, in millikopecks; an empty field gives
// no value and no problem.
WholeReading ReadKopecks(std::string_view text, const plankeys::KopecksKey& key,
                         const NumberSeparators& separators) {
    text = Trimmed(text);
    if (text.empty()) {
        return {};
    }
    const std::string example = FillText(TranslateText("PlanFields", "число, например %1"),
                                         {"1" + separators.Decimal + "5"});
    // People type "1.5" as often as "1,5": a point reads as the decimal
    // separator wherever it does not group thousands.
    std::string typed(text);
    if (separators.Decimal != "." && separators.Group != ".") {
        for (std::size_t at = typed.find('.'); at != std::string::npos;
             at = typed.find('.', at + separators.Decimal.size())) {
            typed.replace(at, 1, separators.Decimal);
        }
    }
    double kopecks = 0;
    try {
        kopecks = StrToFloat(typed, separators.Decimal);
    } catch (const EConvertError&) {
        return {std::nullopt, FieldProblem{std::string(key.Name) + " must be a number", example}};
    }
    const plankeys::MillikopecksReading reading = plankeys::MillikopecksOfKopecks(key, kopecks);
    if (reading.Fault) {
        switch (reading.Fault->What) {
            case Fault::Decimals:
                return {std::nullopt,
                        Worded(*reading.Fault,
                               TranslateText("PlanFields", "не больше трёх десятичных знаков"))};
            case Fault::NotANumber:
                return {std::nullopt, Worded(*reading.Fault, example)};
            default:
                return {std::nullopt, Worded(*reading.Fault, RangeHint(0, key.MaxKopecks))};
        }
    }
    return {reading.Millikopecks, std::nullopt};
}

struct ClockReading {
    std::optional<int> Minutes;
    std::optional<FieldProblem> Fault;
};

// `end`: the end of a rate's hours, which may be "24:00".
ClockReading ReadClock(std::string_view text, std::string_view key, bool end) {
    text = Trimmed(text);
    if (text.empty()) {
        return {};
    }
    const std::optional<int> minutes =
        end ? plankeys::EndClockMinutesOf(text) : plankeys::ClockMinutesOf(text);
    if (minutes) {
        return {minutes, std::nullopt};
    }
    const std::string hint = text == "24:00"
                                 ? TranslateText("PlanFields", "сутки начинаются в 00:00")
                                 : TranslateText("PlanFields", "время ЧЧ:ММ, например 21:00");
    return {std::nullopt, Worded(plankeys::NotATime(key, text), hint)};
}

struct AlertsReading {
    std::vector<int> Percents;
    std::optional<FieldProblem> Fault;
};

// Percents apart by commas, semicolons or blanks; an empty field is none.
AlertsReading ReadAlerts(std::string_view text) {
    AlertsReading reading;
    const auto isGap = [](char c) { return c == ',' || c == ';' || IsBlank(c); };
    std::size_t at = 0;
    while (at < text.size()) {
        if (isGap(text[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && !isGap(text[end])) {
            ++end;
        }
        const std::string_view item = text.substr(at, end - at);
        at = end;
        const std::optional<int64_t> percent = WholeOf(item);
        if (!percent) {
            reading.Fault = FieldProblem{
                "alerts must be a list of whole percents such as [80, 100]",
                TranslateText("PlanFields", "целые проценты через запятую, например 80, 100")};
            return reading;
        }
        if (const auto problem = plankeys::AlertProblem(*percent, reading.Percents)) {
            const std::string hint =
                problem->What == Fault::Repeated
                    ? FillText(TranslateText("PlanFields", "%1 указано дважды"),
                               {IntText(*percent)})
                    : FillText(TranslateText("PlanFields", "%1: процент от 1 до %2"),
                               {IntText(*percent), IntText(plankeys::kMaxAlertPercent)});
            reading.Fault = Worded(*problem, hint);
            return reading;
        }
        reading.Percents.push_back(static_cast<int>(*percent));
    }
    std::sort(reading.Percents.begin(), reading.Percents.end());
    return reading;
}

bool AreDefaultAlerts(const std::vector<int>& alerts) {
    return std::equal(alerts.begin(), alerts.end(), plankeys::kDefaultAlerts.begin(),
                      plankeys::kDefaultAlerts.end());
}

struct RateReading {
    RateRule Rule;
    RateProblems Problems;
};

RateReading ReadRate(const RateFields& fields, const NumberSeparators& separators) {
    RateReading reading;
    reading.Rule.Days = fields.Days & 0x7f;
    if (reading.Rule.Days == 0) {
        reading.Problems.Days =
            Worded(plankeys::NoDays(), TranslateText("PlanFields", "отметьте хотя бы один день"));
    }
    const ClockReading from = ReadClock(fields.From, "from", false);
    const ClockReading to = ReadClock(fields.To, "to", true);
    reading.Problems.From = from.Fault;
    reading.Problems.To = to.Fault;
    const bool fromGiven = !Trimmed(fields.From).empty();
    const bool toGiven = !Trimmed(fields.To).empty();
    if (fromGiven != toGiven) {
        const FieldProblem half =
            Worded(plankeys::HalfHours(),
                   TranslateText("PlanFields", "укажите и «с», и «до» или ни одного"));
        (fromGiven ? reading.Problems.To : reading.Problems.From) = half;
    } else if (from.Minutes && to.Minutes) {
        if (*from.Minutes == *to.Minutes) {
            reading.Problems.To =
                Worded(plankeys::EmptyHours(), TranslateText("PlanFields", "«до» совпадает с «с»"));
        } else {
            reading.Rule.Hours = ClockWindow{*from.Minutes, *to.Minutes};
        }
    }
    const WholeReading price =
        ReadKopecks(fields.KopecksPerMinute, plankeys::kKopecksPerMinute, separators);
    if (price.Fault) {
        reading.Problems.KopecksPerMinute = price.Fault;
    } else if (!price.Value) {
        reading.Problems.KopecksPerMinute =
            Worded(plankeys::NoPrice(), TranslateText("PlanFields", "укажите цену минуты"));
    } else {
        reading.Rule.MillikopecksPerMinute = *price.Value;
    }
    return reading;
}

std::string OptionalWholeText(const std::optional<int64_t>& value) {
    return value ? IntText(*value) : std::string();
}

}  // namespace

bool PlanFieldProblems::Any() const {
    return StartDay || BudgetKopecks || BudgetMinutes || BudgetMegabytes || Alerts ||
           ConnectionFee || IncludedMinutes || KopecksPerMegabyte ||
           std::any_of(Rates.begin(), Rates.end(), [](const RateProblems& r) { return r.Any(); });
}

std::string KopecksText(int64_t millikopecks, std::string_view decimalSeparator) {
    if (millikopecks < 0) {
        throw std::invalid_argument("KopecksText of a negative amount");
    }
    std::string text = IntText(millikopecks / 1000);
    int64_t fraction = millikopecks % 1000;
    if (fraction != 0) {
        std::string digits = IntText(1000 + fraction).substr(1);
        while (digits.back() == '0') {
            digits.pop_back();
        }
        text += decimalSeparator;
        text += digits;
    }
    return text;
}

std::string ClockText(int minutes) {
    if (minutes < 0 || minutes > plankeys::kEndOfDay) {
        throw std::invalid_argument("ClockText of " + IntText(minutes) + " minutes");
    }
    const std::string hours = IntText(100 + minutes / 60).substr(1);
    return hours + ":" + IntText(100 + minutes % 60).substr(1);
}

std::string AlertsText(const std::vector<int>& percents) {
    std::string text;
    for (const int percent : percents) {
        text += (text.empty() ? "" : ", ") + IntText(percent);
    }
    return text;
}

PlanFields FieldsOf(const PlanSettings& settings, const std::vector<std::string>& machine,
                    const NumberSeparators& separators) {
    PlanFields fields;
    if (settings.CycleStartDay) {
        fields.StartDay = IntText(*settings.CycleStartDay);
    }
    if (settings.Budget) {
        const BudgetSettings& budget = *settings.Budget;
        fields.BudgetKopecks = OptionalWholeText(budget.Kopecks);
        fields.BudgetMinutes = OptionalWholeText(budget.Minutes);
        fields.BudgetMegabytes = OptionalWholeText(budget.Megabytes);
        fields.Alerts = AlertsText(budget.Alerts);
    } else {
        fields.Alerts =
            AlertsText({plankeys::kDefaultAlerts.begin(), plankeys::kDefaultAlerts.end()});
    }
    if (settings.Plan) {
        const PlanTariff& plan = *settings.Plan;
        fields.PlanOn = true;
        fields.ConnectionFee = IntText(plan.ConnectionFeeKopecks);
        fields.IncludedMinutes = IntText(plan.IncludedMinutes);
        if (plan.MillikopecksPerMegabyte) {
            fields.KopecksPerMegabyte =
                KopecksText(*plan.MillikopecksPerMegabyte, separators.Decimal);
        }
        for (const RateRule& rule : plan.Rates) {
            RateFields row;
            row.Days = rule.Days;
            if (rule.Hours) {
                row.From = ClockText(rule.Hours->From);
                row.To = ClockText(rule.Hours->To);
            }
            row.KopecksPerMinute = KopecksText(rule.MillikopecksPerMinute, separators.Decimal);
            fields.Rates.push_back(std::move(row));
        }
    }
    std::vector<std::string> named;
    if (settings.Counting) {
        named = settings.Counting->Interfaces.value_or(std::vector<std::string>{});
        fields.MeteredOnly = settings.Counting->MeteredOnly.value_or(false);
    }
    for (const std::string& name : named) {
        fields.Interfaces.push_back({name, true});
    }
    for (const std::string& name : machine) {
        if (std::find(named.begin(), named.end(), name) == named.end()) {
            fields.Interfaces.push_back({name, false});
            named.push_back(name);
        }
    }
    return fields;
}

PlanFieldsReading ReadPlanFields(const PlanFields& fields, const PlanSettings& loaded,
                                 const NumberSeparators& separators) {
    PlanFieldsReading reading;
    PlanSettings& settings = reading.Settings;
    PlanFieldProblems& problems = reading.Problems;

    const WholeReading startDay = ReadWhole(fields.StartDay, plankeys::kStartDay);
    problems.StartDay = startDay.Fault;
    if (startDay.Value) {
        settings.CycleStartDay = static_cast<int>(*startDay.Value);
    }

    BudgetSettings budget;
    const WholeReading kopecks = ReadWhole(fields.BudgetKopecks, plankeys::kBudgetKopecks);
    const WholeReading minutes = ReadWhole(fields.BudgetMinutes, plankeys::kBudgetMinutes);
    const WholeReading megabytes = ReadWhole(fields.BudgetMegabytes, plankeys::kBudgetMegabytes);
    const AlertsReading alerts = ReadAlerts(fields.Alerts);
    problems.BudgetKopecks = kopecks.Fault;
    problems.BudgetMinutes = minutes.Fault;
    problems.BudgetMegabytes = megabytes.Fault;
    problems.Alerts = alerts.Fault;
    budget.Kopecks = kopecks.Value;
    budget.Minutes = minutes.Value;
    budget.Megabytes = megabytes.Value;
    budget.Alerts = alerts.Percents;
    // The stop has no fields: it stays as the file says.
    if (loaded.Budget) {
        budget.StopAt = loaded.Budget->StopAt;
        budget.StopGrace = loaded.Budget->StopGrace;
    }
    const bool limited = budget.Kopecks || budget.Minutes || budget.Megabytes;
    // Alerts alone act only once a limit is set; the defaults are what a
    // limit gets anyway, so they alone make no budget.
    if (limited || budget.StopAt || budget.StopGrace ||
        !(budget.Alerts.empty() || AreDefaultAlerts(budget.Alerts))) {
        settings.Budget = budget;
    }

    if (fields.PlanOn) {
        PlanTariff plan;
        const WholeReading fee = ReadWhole(fields.ConnectionFee, plankeys::kConnectionFee);
        const WholeReading included = ReadWhole(fields.IncludedMinutes, plankeys::kIncludedMinutes);
        const WholeReading perMegabyte =
            ReadKopecks(fields.KopecksPerMegabyte, plankeys::kKopecksPerMegabyte, separators);
        problems.ConnectionFee = fee.Fault;
        problems.IncludedMinutes = included.Fault;
        problems.KopecksPerMegabyte = perMegabyte.Fault;
        plan.ConnectionFeeKopecks = fee.Value.value_or(0);
        plan.IncludedMinutes = included.Value.value_or(0);
        plan.MillikopecksPerMegabyte = perMegabyte.Value;
        for (const RateFields& row : fields.Rates) {
            RateReading rate = ReadRate(row, separators);
            plan.Rates.push_back(rate.Rule);
            problems.Rates.push_back(std::move(rate.Problems));
        }
        settings.Plan = std::move(plan);
    }

    CountingSettings counting;
    std::vector<std::string> counted;
    for (const InterfaceTick& tick : fields.Interfaces) {
        if (tick.Counted && std::find(counted.begin(), counted.end(), tick.Name) == counted.end()) {
            counted.push_back(tick.Name);
        }
    }
    const std::optional<CountingSettings>& before = loaded.Counting;
    if (!counted.empty() || (before && before->Interfaces && before->Interfaces->empty())) {
        counting.Interfaces = std::move(counted);
    }
    if (fields.MeteredOnly) {
        counting.MeteredOnly = true;
    } else if (before && before->MeteredOnly == false) {
        counting.MeteredOnly = false;
    }
    if (counting.Interfaces || counting.MeteredOnly) {
        settings.Counting = std::move(counting);
    }
    return reading;
}

ProviderFieldsReading ReadProviderFields(const ProviderFields& fields) {
    ProviderFieldsReading reading;
    const struct {
        const std::string& text;
        const plankeys::WholeKey& key;
        std::optional<int64_t>& value;
    } rows[] = {{fields.Kopecks, plankeys::kProviderKopecks, reading.Kopecks},
                {fields.Minutes, plankeys::kProviderMinutes, reading.Minutes},
                {fields.Megabytes, plankeys::kProviderMegabytes, reading.Megabytes}};
    for (int field = 0; field < 3; ++field) {
        WholeReading read = ReadWhole(rows[field].text, rows[field].key);
        rows[field].value = read.Value;
        if (read.Fault && !reading.Problem) {
            reading.Problem = std::move(read.Fault);
            reading.ProblemField = field;
        }
    }
    if (!reading.Problem && !reading.Kopecks && !reading.Minutes && !reading.Megabytes) {
        reading.Problem =
            FieldProblem{"no figure is given",
                         TranslateText("PlanFields", "введите хотя бы одну цифру оператора")};
    }
    return reading;
}

std::optional<FieldProblem> InterfaceNameProblem(std::string_view name) {
    if (const auto problem = plankeys::InterfaceProblem(name, {})) {
        return Worded(*problem,
                      FillText(TranslateText("PlanFields", "имя интерфейса: от 1 до %1 знаков"),
                               {IntText(static_cast<int64_t>(plankeys::kMaxInterfaceName))}));
    }
    return std::nullopt;
}
