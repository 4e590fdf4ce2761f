#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "TempDir.h"
#include "plan/PlanFields.h"
#include "plan/PlanFile.h"
#include "plan/PlanFileWriter.h"

namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing::StrEq;
using testing::ThrowsMessage;

constexpr uint8_t kWeekdays = 0b0011111;
constexpr uint8_t kWeekend = 0b1100000;

PlanSettings EveryKey() {
    PlanSettings s;
    s.CycleStartDay = 14;
    s.Budget = BudgetSettings{5000, 1200, 3000, {50, 80, 100}, 100, 90};
    s.Plan = PlanTariff{
        10, 60, 12500, {{kWeekend, std::nullopt, 1500}, {kWeekdays, ClockWindow{1260, 420}, 1800}}};
    s.Counting = CountingSettings{std::vector<std::string>{"usb0", "wwan0"}, true};
    return s;
}

PlanSettings WithRate(int64_t millikopecks) {
    PlanSettings s;
    s.Plan = PlanTariff{0, 0, millikopecks, {{0b1, std::nullopt, millikopecks}}};
    return s;
}

// Settings in every shape the file can take, each written over each of the
// files below.
std::vector<PlanSettings> ShownCases() {
    std::vector<PlanSettings> cases;
    cases.push_back({});
    cases.push_back(EveryKey());
    PlanSettings s;
    s.CycleStartDay = 1;
    cases.push_back(s);
    s.CycleStartDay = 31;
    s.Budget = BudgetSettings{1, std::nullopt, std::nullopt, {80, 100}, {}, {}};
    cases.push_back(s);
    s.Budget = BudgetSettings{std::nullopt, 1'000'000, std::nullopt, {}, {}, {}};
    cases.push_back(s);
    s.Budget = BudgetSettings{std::nullopt, std::nullopt, 1'000'000'000, {1, 1000}, {}, {}};
    cases.push_back(s);
    // Alerts kept for a limit set later.
    s.Budget = BudgetSettings{std::nullopt, std::nullopt, std::nullopt, {90}, {}, {}};
    cases.push_back(s);
    s = {};
    s.Plan = PlanTariff{};  // money follows the plan, with nothing priced yet
    cases.push_back(s);
    s.Plan = PlanTariff{1'000'000, 1'000'000, 0, {}};
    cases.push_back(s);
    s.Plan = PlanTariff{0, 0, std::nullopt, {{0x7f, ClockWindow{0, 1439}, 0}}};
    cases.push_back(s);
    s.Plan->Rates.push_back({0b1000000, ClockWindow{1439, 0}, 1'000'000'000});
    cases.push_back(s);
    s.Plan->Rates = {{0b1, ClockWindow{1260, 1440}, 1000}, {0b10, ClockWindow{0, 1440}, 1000}};
    cases.push_back(s);
    for (const int64_t millikopecks :
         {1, 10, 100, 125, 999, 1001, 1500, 1800, 12'345, 123'456'789, 999'999'999, 333'333}) {
        cases.push_back(WithRate(millikopecks));
    }
    s = {};
    s.Counting = CountingSettings{std::vector<std::string>{}, false};
    cases.push_back(s);
    // Names as the reader takes them, also those TOML must quote or escape.
    s.Counting = CountingSettings{std::vector<std::string>{"#", "a\"b\\c", "enx0a1b2c3d4e5f", "ж"},
                                  std::nullopt};
    cases.push_back(s);
    s.Counting = CountingSettings{std::nullopt, true};
    cases.push_back(s);
    return cases;
}

const std::string kExistingFiles[] = {
    "",
    "# only a comment\n",
    "[cycle]\nstart_day = 3\n",
    SamplePlanText(),
    "plan = { included_minutes = 5, kopecks_per_mb = 0.1 }\ncounting.metered_only = true\n",
    "\xEF\xBB\xBF[cycle]\nstart_day = 3\n",
};

// The form in which the settings come back from the file (see PlanTextWith).
PlanSettings AsRead(PlanSettings s) {
    if (s.Budget && !s.Budget->Kopecks && !s.Budget->Minutes && !s.Budget->Megabytes &&
        s.Budget->Alerts.empty()) {
        s.Budget.reset();
    }
    if (s.Counting && !s.Counting->Interfaces && !s.Counting->MeteredOnly) {
        s.Counting.reset();
    }
    return s;
}

TEST(PlanFileWriter, EverySettingReadsBackOverEveryFile) {
    for (const std::string& existing : kExistingFiles) {
        for (const PlanSettings& shown : ShownCases()) {
            const std::string text = PlanTextWith(existing, shown);
            EXPECT_EQ(ParsePlanText(text), AsRead(shown)) << existing << "\n---\n" << text;
            // Written again over itself, the text stays as it is.
            EXPECT_EQ(PlanTextWith(text, shown), text);
        }
    }
}

TEST(PlanFileWriter, WritesTheWholePlanReadably) {
    EXPECT_EQ(PlanTextWith("", EveryKey()), R"([budget]
alerts = [ 50, 80, 100 ]
kopecks = 5000
megabytes = 3000
minutes = 1200
stop_at = 100
stop_grace = 90

[counting]
interfaces = [ "usb0", "wwan0" ]
metered_only = true

[cycle]
start_day = 14

[plan]
connection_fee = 10
included_minutes = 60
kopecks_per_mb = 12.5

[[plan.rate]]
days = [ "sat", "sun" ]
kopecks_per_minute = 1.5

[[plan.rate]]
days = [ "mon", "tue", "wed", "thu", "fri" ]
from = "21:00"
kopecks_per_minute = 1.8
to = "07:00"
)");
    EXPECT_EQ(PlanTextWith("[cycle]\nstart_day = 3\n", {}), "");
}

TEST(PlanFileWriter, KeepsAByteOrderMarkAndWritesTheEndOfTheDayAs2400) {
    PlanSettings evenings;
    evenings.Plan = PlanTariff{0, 0, std::nullopt, {{0b1, ClockWindow{1260, 1440}, 1000}}};
    const std::string rule =
        "[[plan.rate]]\ndays = [ \"mon\" ]\nfrom = \"21:00\"\nkopecks_per_minute = 1\nto = "
        "\"24:00\"\n";
    EXPECT_EQ(PlanTextWith("[plan]\n", evenings), rule);
    EXPECT_EQ(PlanTextWith("\xEF\xBB\xBF[plan]\n", evenings), "\xEF\xBB\xBF" + rule);
    EXPECT_EQ(PlanTextWith("\xEF\xBB\xBF[plan]\n", {}), "\xEF\xBB\xBF");
}

TEST(PlanFileWriter, PricesAreTheDecimalsAPersonWrites) {
    struct Case {
        int64_t millikopecks;
        const char* text;
    };
    const Case cases[] = {
        {1, "0.001"},
        {100, "0.1"},
        {125, "0.125"},
        {1500, "1.5"},
        {1800, "1.8"},
        {2000, "2"},
        {12'345, "12.345"},
        {123'450, "123.45"},
        {999'999'999, "999999.999"},
        {1'000'000'000, "1000000"},
        {0, "0"},
    };
    for (const Case& c : cases) {
        const std::string text = PlanTextWith("", WithRate(c.millikopecks));
        EXPECT_THAT(text, HasSubstr(std::string("\nkopecks_per_mb = ") + c.text + "\n"));
        EXPECT_THAT(text, HasSubstr(std::string("\nkopecks_per_minute = ") + c.text + "\n"));
    }
}

TEST(PlanFileWriter, KeysAtWhatTheirAbsenceMeansStayAsTheFileHasThem) {
    struct Case {
        const char* existing;
        const char* kept;     // still in the text written
        const char* dropped;  // no longer in it
    };
    const Case cases[] = {
        {"[budget]\nkopecks = 9\nalerts = [80, 100]\n", "alerts = [ 80, 100 ]", nullptr},
        {"[budget]\nkopecks = 9\n", nullptr, "alerts"},
        {"[plan]\nconnection_fee = 0\n", "connection_fee = 0", "included_minutes"},
        {"[counting]\nmetered_only = false\n", nullptr, "metered_only"},
        {"[plan]\n", "[plan]", nullptr},
    };
    PlanSettings shown;
    shown.Budget = BudgetSettings{9, std::nullopt, std::nullopt, {80, 100}, {}, {}};
    shown.Plan = PlanTariff{};
    for (const Case& c : cases) {
        const std::string text = PlanTextWith(c.existing, shown);
        if (c.kept != nullptr) {
            EXPECT_THAT(text, HasSubstr(c.kept)) << c.existing;
        }
        if (c.dropped != nullptr) {
            EXPECT_THAT(text, testing::Not(HasSubstr(c.dropped))) << c.existing;
        }
        EXPECT_EQ(ParsePlanText(text), shown);
    }
}

TEST(PlanFileWriter, AFileTheReaderRefusesIsNotReplaced) {
    const std::pair<const char*, const char*> cases[] = {
        {"[cycle]\nstart_day = 40\n", "Vimo.toml, line 2: start_day must be 1 to 31"},
        {"[budget]\nkopecks = 5000\n[budget]\n",
         "Vimo.toml, line 3: Error while parsing table header: cannot redefine existing table "
         "'budget'"},
        {"\n\ncolour = 1\n", "Vimo.toml, line 3: unknown key 'colour'"},
        {"[counting]\ninterfaces = [\"усб\"]\n",
         "Vimo.toml, line 2: 'у' may stand only in a comment"},
    };
    for (const auto& c : cases) {
        EXPECT_THAT([&c] { PlanTextWith(c.first, EveryKey()); },
                    ThrowsMessage<EPlanFileError>(StrEq(c.second)));
    }
}

TEST(PlanFileWriter, SettingsTheFileCannotHoldAreRefused) {
    std::vector<PlanSettings> cases(8);
    cases[0].CycleStartDay = 0;
    cases[1].Budget = BudgetSettings{0, std::nullopt, std::nullopt, {}, {}, {}};
    cases[2].Budget = BudgetSettings{std::nullopt, 5, std::nullopt, {80, 80}, {}, {}};
    cases[3].Plan = PlanTariff{0, 0, std::nullopt, {{0, std::nullopt, 1000}}};
    cases[4].Plan = PlanTariff{0, 0, std::nullopt, {{1, ClockWindow{60, 60}, 1000}}};
    cases[5].Plan = PlanTariff{0, 0, std::nullopt, {{1, ClockWindow{0, 1441}, 1000}}};
    cases[6].Counting = CountingSettings{std::vector<std::string>{"a-name-of-16-chr"}, {}};
    cases[7].Plan = PlanTariff{0, 0, std::nullopt, {{1, ClockWindow{1440, 60}, 1000}}};
    for (const PlanSettings& shown : cases) {
        EXPECT_THROW(PlanTextWith("[cycle]\nstart_day = 3\n", shown), std::invalid_argument);
    }
}

TEST(PlanFileWriter, WritesTheFileWholeAndRefusesWhatTheReaderWouldNot) {
    TempDir dir;
    EXPECT_EQ(ReadPlanText(dir.Path()), "");
    const std::string text = PlanTextWith(ReadPlanText(dir.Path()), EveryKey());
    WritePlanFile(dir.Path(), text);
    EXPECT_EQ(ReadPlanText(dir.Path()), text);
    EXPECT_EQ(ReadPlanFile(dir.Path()), EveryKey());

    EXPECT_THAT(
        [&] { WritePlanFile(dir.Path(), "[cycle]\nstart_day = 0\n"); },
        ThrowsMessage<EPlanFileError>(StrEq("Vimo.toml, line 2: start_day must be 1 to 31")));
    EXPECT_EQ(ReadPlanText(dir.Path()), text);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(PlanFileWriter, ALinkNamedVimoTomlStaysALink) {
    TempDir dir;
    fs::create_directory(dir / "dotfiles");
    WriteBytes(dir / "dotfiles" / "plan.toml", "[cycle]\nstart_day = 3\n");
    fs::create_symlink("dotfiles/plan.toml", dir / "Vimo.toml");
    WritePlanFile(dir.Path(), "[cycle]\nstart_day = 4\n");
    EXPECT_TRUE(fs::is_symlink(dir / "Vimo.toml"));
    EXPECT_EQ(ReadBytes(dir / "dotfiles" / "plan.toml"), "[cycle]\nstart_day = 4\n");
}

// --- The panel's fields ---

const NumberSeparators kSeparators[] = {{".", ","}, {",", "\u00a0"}, {",", " "}};

TEST(PlanFields, FieldsShowTheSettingsAndReadBackToThem) {
    for (const NumberSeparators& separators : kSeparators) {
        for (const PlanSettings& shown : ShownCases()) {
            const PlanFields fields = FieldsOf(shown, {}, separators);
            const PlanFieldsReading read = ReadPlanFields(fields, shown, separators);
            EXPECT_FALSE(read.Problems.Any()) << separators.Decimal;
            // Alerts without a limit that are the defaults make no budget.
            PlanSettings expected = AsRead(shown);
            if (expected.Budget && !expected.Budget->Kopecks && !expected.Budget->Minutes &&
                !expected.Budget->Megabytes && !expected.Budget->StopAt &&
                !expected.Budget->StopGrace && expected.Budget->Alerts == std::vector{80, 100}) {
                expected.Budget.reset();
            }
            EXPECT_EQ(read.Settings, expected) << separators.Decimal;
        }
    }
}

TEST(PlanFields, TextsFollowTheNumberForm) {
    const PlanFields fields = FieldsOf(EveryKey(), {"lo", "wwan0", "eth0"}, {",", "\u00a0"});
    EXPECT_EQ(fields.StartDay, "14");
    EXPECT_EQ(fields.BudgetKopecks, "5000");
    EXPECT_EQ(fields.Alerts, "50, 80, 100");
    EXPECT_EQ(fields.KopecksPerMegabyte, "12,5");
    EXPECT_EQ(fields.Rates, (std::vector<RateFields>{{kWeekend, "", "", "1,5"},
                                                     {kWeekdays, "21:00", "07:00", "1,8"}}));
    EXPECT_EQ(fields.Interfaces,
              (std::vector<InterfaceTick>{
                  {"usb0", true}, {"wwan0", true}, {"lo", false}, {"eth0", false}}));
    EXPECT_TRUE(fields.MeteredOnly);
    EXPECT_EQ(FieldsOf({}, {}, {",", ""}).Alerts, "80, 100");
}

TEST(PlanFields, WhatTheFieldsSayBeyondTheirValues) {
    const NumberSeparators separators{",", "\u00a0"};
    PlanFields fields = FieldsOf({}, {"eth0", "usb0"}, separators);
    // Nothing typed: nothing set.
    EXPECT_EQ(ReadPlanFields(fields, {}, separators).Settings, PlanSettings{});

    fields.Alerts = "100; 50 80";
    EXPECT_EQ(ReadPlanFields(fields, {}, separators).Settings.Budget,
              (BudgetSettings{std::nullopt, std::nullopt, std::nullopt, {50, 80, 100}, {}, {}}));
    fields.BudgetMinutes = " 600 ";
    fields.Alerts = "";
    EXPECT_EQ(ReadPlanFields(fields, {}, separators).Settings.Budget,
              (BudgetSettings{std::nullopt, 600, std::nullopt, {}, {}, {}}));

    fields.PlanOn = true;
    fields.Rates = {{kWeekend, "", "", "0,5"}};
    EXPECT_EQ(ReadPlanFields(fields, {}, separators).Settings.Plan,
              (PlanTariff{0, 0, std::nullopt, {{kWeekend, std::nullopt, 500}}}));

    fields.Interfaces[1].Counted = true;
    EXPECT_EQ(ReadPlanFields(fields, {}, separators).Settings.Counting,
              (CountingSettings{std::vector<std::string>{"usb0"}, std::nullopt}));
    // Nothing ticked and the switch off keep the file's explicit "none".
    fields.Interfaces[1].Counted = false;
    const PlanSettings loaded{std::nullopt, std::nullopt, std::nullopt,
                              CountingSettings{std::vector<std::string>{}, false}};
    EXPECT_EQ(ReadPlanFields(fields, loaded, separators).Settings.Counting, loaded.Counting);
}

// Each field's problem is the reader's own text for the same value in the
// file, with a Russian word for the panel.
TEST(PlanFields, EachWrongFieldSaysWhatTheReaderSays) {
    const NumberSeparators separators{",", "\u00a0"};
    struct Case {
        std::string PlanFields::*field;
        std::optional<FieldProblem> PlanFieldProblems::*problem;
        const char* typed;
        const char* file;  // the same value in a plan file
        const char* hint;
    };
    using F = PlanFields;
    using P = PlanFieldProblems;
    const Case cases[] = {
        {&F::StartDay, &P::StartDay, "32", "[cycle]\nstart_day = 32", "от 1 до 31"},
        {&F::StartDay, &P::StartDay, "0", "[cycle]\nstart_day = 0", "от 1 до 31"},
        {&F::StartDay, &P::StartDay, "14,5", "[cycle]\nstart_day = 14.5", "целое число от 1 до 31"},
        {&F::StartDay, &P::StartDay, "99999999999999999999", "[cycle]\nstart_day = 2000000000",
         "от 1 до 31"},
        {&F::BudgetKopecks, &P::BudgetKopecks, "-5", "[budget]\nkopecks = -5",
         "от 1 до 1000000000"},
        {&F::BudgetMinutes, &P::BudgetMinutes, "abc", "[budget]\nminutes = 1.5",
         "целое число от 1 до 1000000"},
        {&F::BudgetMegabytes, &P::BudgetMegabytes, "1000000001", "[budget]\nmegabytes = 1000000001",
         "от 1 до 1000000000"},
        {&F::Alerts, &P::Alerts, "80, 80", "[budget]\nalerts = [80, 80]", "80 указано дважды"},
        {&F::Alerts, &P::Alerts, "0 100", "[budget]\nalerts = [0, 100]", "0: процент от 1 до 1000"},
        {&F::Alerts, &P::Alerts, "80, 9x", "[budget]\nalerts = [80, \"9x\"]",
         "целые проценты через запятую, например 80, 100"},
        {&F::ConnectionFee, &P::ConnectionFee, "-1", "[plan]\nconnection_fee = -1",
         "от 0 до 1000000"},
        {&F::IncludedMinutes, &P::IncludedMinutes, "1000001", "[plan]\nincluded_minutes = 1000001",
         "от 0 до 1000000"},
        {&F::KopecksPerMegabyte, &P::KopecksPerMegabyte, "1,2345",
         "[plan]\nkopecks_per_mb = 1.2345", "не больше трёх десятичных знаков"},
        {&F::KopecksPerMegabyte, &P::KopecksPerMegabyte, "1x", "[plan]\nkopecks_per_mb = \"1x\"",
         "число, например 1,5"},
        {&F::KopecksPerMegabyte, &P::KopecksPerMegabyte, "-0,5", "[plan]\nkopecks_per_mb = -0.5",
         "от 0 до 1000000"},
        {&F::KopecksPerMegabyte, &P::KopecksPerMegabyte, "2e6", "[plan]\nkopecks_per_mb = 2e6",
         "от 0 до 1000000"},
    };
    for (const Case& c : cases) {
        PlanFields fields;
        fields.PlanOn = true;
        fields.*c.field = c.typed;
        const PlanFieldProblems problems = ReadPlanFields(fields, {}, separators).Problems;
        const std::optional<FieldProblem>& problem = problems.*c.problem;
        ASSERT_TRUE(problem) << c.file;
        EXPECT_TRUE(problems.Any());
        EXPECT_EQ(problem->Hint, c.hint) << c.file;
        EXPECT_THAT([&] { ParsePlanText(c.file); },
                    ThrowsMessage<EPlanFileError>(StrEq("Vimo.toml, line 2: " + problem->Text)))
            << c.file;
    }
}

TEST(PlanFields, EachWrongRateFieldSaysWhatTheReaderSays) {
    const NumberSeparators separators{".", ","};
    struct Case {
        RateFields row;
        std::optional<FieldProblem> RateProblems::*field;
        const char* file;  // the same rule in a plan file
        int line;          // where the reader finds it wrong
        const char* hint;
    };
    const Case cases[] = {
        {{0, "", "", "1"},
         &RateProblems::Days,
         "[[plan.rate]]\ndays = []",
         2,
         "отметьте хотя бы один день"},
        {{1, "25:00", "07:00", "1"},
         &RateProblems::From,
         "[[plan.rate]]\ndays = [\"mon\"]\nfrom = \"25:00\"",
         3,
         "время ЧЧ:ММ, например 21:00"},
        {{1, "24:00", "07:00", "1"},
         &RateProblems::From,
         "[[plan.rate]]\ndays = [\"mon\"]\nfrom = \"24:00\"",
         3,
         "сутки начинаются в 00:00"},
        {{1, "21:00", "7:00", "1"},
         &RateProblems::To,
         "[[plan.rate]]\ndays = [\"mon\"]\nto = \"7:00\"",
         3,
         "время ЧЧ:ММ, например 21:00"},
        {{1, "21:00", "", "1"},
         &RateProblems::To,
         "[[plan.rate]]\ndays = [\"mon\"]\nfrom = \"21:00\"",
         3,
         "укажите и «с», и «до» или ни одного"},
        {{1, "", "07:00", "1"},
         &RateProblems::From,
         "[[plan.rate]]\ndays = [\"mon\"]\nto = \"07:00\"",
         3,
         "укажите и «с», и «до» или ни одного"},
        {{1, "08:00", "08:00", "1"},
         &RateProblems::To,
         "[[plan.rate]]\ndays = [\"mon\"]\nfrom = \"08:00\"\nto = \"08:00\"",
         4,
         "«до» совпадает с «с»"},
        {{1, "", "", ""},
         &RateProblems::KopecksPerMinute,
         "\n[[plan.rate]]\ndays = [\"mon\"]",
         2,
         "укажите цену минуты"},
        {{1, "", "", "1000000.5"},
         &RateProblems::KopecksPerMinute,
         "[[plan.rate]]\ndays = [\"mon\"]\nkopecks_per_minute = 1000000.5",
         3,
         "от 0 до 1000000"},
    };
    for (const Case& c : cases) {
        PlanFields fields;
        fields.PlanOn = true;
        fields.Rates = {{1, "", "", "1"}, c.row};
        const PlanFieldProblems problems = ReadPlanFields(fields, {}, separators).Problems;
        ASSERT_EQ(problems.Rates.size(), 2u);
        EXPECT_FALSE(problems.Rates[0].Any());
        const std::optional<FieldProblem>& problem = problems.Rates[1].*c.field;
        ASSERT_TRUE(problem) << c.file;
        EXPECT_EQ(problem->Hint, c.hint);
        EXPECT_THAT([&] { ParsePlanText(c.file); },
                    ThrowsMessage<EPlanFileError>(
                        StrEq("Vimo.toml, line " + std::to_string(c.line) + ": " + problem->Text)))
            << c.file;
    }
    // The plan's fields are not looked at while the plan is off.
    PlanFields off;
    off.Rates = {{0, "x", "", ""}};
    off.ConnectionFee = "-1";
    EXPECT_FALSE(ReadPlanFields(off, {}, separators).Problems.Any());
}

TEST(PlanFields, InterfaceNamesToAdd) {
    EXPECT_EQ(InterfaceNameProblem("usb0"), std::nullopt);
    EXPECT_EQ(InterfaceNameProblem("enx0a1b2c3d4e5f"), std::nullopt);
    for (const char* name : {"", "a-name-of-16-chr"}) {
        const std::optional<FieldProblem> problem = InterfaceNameProblem(name);
        ASSERT_TRUE(problem);
        EXPECT_EQ(problem->Text,
                  "interfaces: '" + std::string(name) + "' is not an interface name");
        EXPECT_EQ(problem->Hint, "имя интерфейса: от 1 до 15 знаков");
    }
}

}  // namespace
