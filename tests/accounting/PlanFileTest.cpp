#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "TempDir.h"
#include "files/FileVersion.h"
#include "plan/PlanFile.h"

namespace {

using testing::StrEq;
using testing::ThrowsMessage;

TEST(PlanFile, EveryKey) {
    const PlanSettings s = ParsePlanText(SamplePlanText());
    EXPECT_EQ(s.CycleStartDay, 14);
    EXPECT_EQ(s.Budget->Kopecks, 5000);
    EXPECT_EQ(s.Budget->Minutes, 1200);
    EXPECT_EQ(s.Budget->Megabytes, 2048);
    EXPECT_EQ(s.Budget->Alerts, (std::vector<int>{80, 100}));
    EXPECT_EQ(s.Budget->StopAt, 100);
    EXPECT_EQ(s.Budget->StopGraceSeconds(), 90);
    EXPECT_EQ(s.Plan->ConnectionFeeKopecks, 10);
    EXPECT_EQ(s.Plan->IncludedMinutes, 60);
    EXPECT_EQ(s.Plan->MillikopecksPerMegabyte, 12500);
    EXPECT_EQ(s.Plan->Rates, (std::vector<RateRule>{{0b1100000, std::nullopt, 1500},
                                                    {0b0011111, ClockWindow{1260, 420}, 1800}}));
    EXPECT_EQ(s.Counting->Interfaces, (std::vector<std::string>{"ppp9"}));
    EXPECT_EQ(s.Counting->MeteredOnly, true);
}

TEST(PlanFile, CommentsMayBeInAnyLanguage) {
    const PlanSettings read = ParsePlanText(
        "# бюджет на месяц\n[budget] # гривны\nkopecks = 5000 # 50 гр.\n"
        "alerts = [80] # не строка: \"ж\"\n[counting]\ninterfaces = ['#'] # и здесь");
    ASSERT_TRUE(read.Budget);
    EXPECT_EQ(read.Budget->Kopecks, 5000);
    ASSERT_TRUE(read.Counting && read.Counting->Interfaces);
    EXPECT_EQ(*read.Counting->Interfaces, std::vector<std::string>{"#"});
}

TEST(PlanFile, EmptyFileAndDefaultAlerts) {
    const PlanSettings empty = ParsePlanText("# nothing yet\n");
    EXPECT_FALSE(empty.CycleStartDay || empty.Budget || empty.Plan || empty.Counting);
    EXPECT_EQ(ParsePlanText("[budget]\nkopecks = 50").Budget->Alerts, (std::vector<int>{80, 100}));
    EXPECT_EQ(ParsePlanText("[budget]\nminutes = 9\nalerts = []").Budget->Alerts.size(), 0u);
    EXPECT_EQ(ParsePlanText("[budget]").Budget->Alerts.size(), 0u);
    EXPECT_EQ(ParsePlanText("[budget]\nstop_at = 100").Budget->StopGraceSeconds(), 60);
}

TEST(PlanFile, AByteOrderMarkAndTheEndOfTheDay) {
    const RateRule evenings{0b1, ClockWindow{1260, 1440}, 1000};
    const RateRule wholeDay{0b1, ClockWindow{0, 1440}, 1000};
    const std::pair<const char*, PlanTariff> cases[] = {
        {"\xEF\xBB\xBF[plan]\n", PlanTariff{}},
        {"[[plan.rate]]\ndays = [\"mon\"]\nfrom = \"21:00\"\nto = \"24:00\"\nkopecks_per_minute = "
         "1",
         PlanTariff{0, 0, std::nullopt, {evenings}}},
        {"\xEF\xBB\xBF[[plan.rate]]\ndays = [\"mon\"]\nfrom = \"00:00\"\nto = \"24:00\"\n"
         "kopecks_per_minute = 1",
         PlanTariff{0, 0, std::nullopt, {wholeDay}}},
    };
    for (const auto& [text, plan] : cases) {
        EXPECT_EQ(ParsePlanText(text).Plan, plan) << text;
    }
}

// What the TOML reader builds by recursion, in `parts` parts or levels.
std::string DottedKey(std::size_t parts) {
    std::string key = "a";
    for (std::size_t i = 1; i < parts; ++i) {
        key += ".a";
    }
    return key;
}
std::string Nested(std::size_t levels, std::string_view open, std::string_view close) {
    std::string text;
    for (std::size_t i = 0; i < levels; ++i) {
        text += open;
    }
    text += "1";
    for (std::size_t i = 0; i < levels; ++i) {
        text += close;
    }
    return text;
}

TEST(PlanFile, EachFaultNamesItsLineAndKey) {
    struct Case {
        std::string text;
        const char* message;
    };
    const Case cases[] = {
        {"a = 1\na = 2",
         "line 2: Error while parsing key-value pair: cannot redefine existing integer 'a'"},
        {"colour = 1", "line 1: unknown key 'colour'"},
        {"\n[tariff]", "line 2: unknown table 'tariff'"},
        {"[[plan.rate]]\ndays = [\"mon\"]\nhours = 3", "line 3: unknown key 'plan.rate.hours'"},
        {"cycle = 5", "line 1: cycle must be a table"},
        {"[cycle]\nstart_day = 32", "line 2: start_day must be 1 to 31"},
        {"[cycle]\nstart_day = 14.0", "line 2: start_day must be a whole number"},
        {"[budget]\nalerts = [\n  80,\n  0]", "line 4: alerts: 0 is not a percent from 1 to 1000"},
        {"[budget]\nalerts = [80, 80]", "line 2: alerts: 80 is given twice"},
        {"[budget]\nstop_at = 0", "line 2: stop_at must be 1 to 1000"},
        {"[budget]\nstop_grace = -5", "line 2: stop_grace must not be negative"},
        {"[budget]\nalerts = 80",
         "line 2: alerts must be a list of whole percents such as [80, 100]"},
        {"[plan]\nconnection_fee = -1", "line 2: connection_fee must not be negative"},
        {"[plan]\nincluded_minutes = 1000001", "line 2: included_minutes must be at most 1000000"},
        {"[plan.rate]", "line 1: rate must be a list of tables, each begun with [[plan.rate]]"},
        {"[[plan.rate]]\nkopecks_per_minute = -1.5",
         "line 2: kopecks_per_minute must not be negative"},
        {"[[plan.rate]]\nkopecks_per_minute = 1.2345",
         "line 2: kopecks_per_minute must not have more than 3 decimal places"},
        {"[[plan.rate]]\nkopecks_per_minute = inf",
         "line 2: kopecks_per_minute must be at most 1000000"},
        {"[[plan.rate]]\nkopecks_per_minute = nan", "line 2: kopecks_per_minute must be a number"},
        {"[[plan.rate]]\ndays = [\"mo\"]", "line 2: days: unknown day 'mo'"},
        {"[[plan.rate]]\ndays = [\"mon\",\n  \"mon\"]", "line 3: days: 'mon' is given twice"},
        {"[[plan.rate]]\ndays = []", "line 2: days must name at least one day"},
        {"[[plan.rate]]\nkopecks_per_minute = 1", "line 1: days must be given"},
        {"\n[[plan.rate]]\ndays = [\"sun\"]", "line 2: kopecks_per_minute must be given"},
        {"[[plan.rate]]\nto = \"07:00\"", "line 2: from and to must both be given"},
        {"[[plan.rate]]\nfrom = \"25:00\"", "line 2: from: '25:00' is not a time of day (HH:MM)"},
        {"[[plan.rate]]\nfrom = 2100", "line 2: from must be a time of day such as \"21:00\""},
        {"[[plan.rate]]\nfrom = \"08:00\"\nto = \"08:00\"", "line 3: from and to must differ"},
        {"[counting]\ninterfaces = [\"a-name-of-16-chr\"]",
         "line 2: interfaces: 'a-name-of-16-chr' is not an interface name"},
        {"[counting]\nmetered_only = 1", "line 2: metered_only must be true or false"},
        // The first fault in the file is reported, whatever the order of the keys.
        {"[plan]\nincluded_minutes = -1\n[budget]\nalerts = [0]",
         "line 2: included_minutes must not be negative"},
        {"[budget]\nminutes = 0\nalerts = [0]", "line 2: minutes must be 1 to 1000000"},
        // Letters beyond ASCII only in comments; a '#' in a string opens none.
        {"# бюджет\n[budget]\nминуты = 5", "line 3: 'м' may stand only in a comment"},
        {"[counting]\ninterfaces = [\"#\", \"усб\"]", "line 2: 'у' may stand only in a comment"},
        {"[counting]\ninterfaces = [\"\"\"a\\\n  ж\"\"\"]",
         "line 3: 'ж' may stand only in a comment"},
        {"[budget]\nkopecks = 1\x01",
         "line 2: a control character '\\u0001' cannot stand in the file"},
        {"[ [plan.rate]]", "line 1: a table name cannot start with '['"},
        {"[counting]\ninterfaces = [\"\"\"\n[[x\"\"\"]\n[[[plan.rate]]]",
         "line 4: a table name cannot start with '['"},
        // Bytes that are not visible text are shown by their values.
        {"[cycle]\n\x9f\x9f = 1", "line 2: '\\x9f' may stand only in a comment"},
        {"[cycle]\n\xEF\xBB\xBFstart_day = 1",
         "line 2: '\\xef\\xbb\\xbf' may stand only in a comment"},
        {"\"\\u202e\" = 1", "line 1: unknown key '\\xe2\\x80\\xae'"},
        {"[[plan.rate]]\ndays = [\"\\u0000\"]", "line 2: days: unknown day '\\x00'"},
        {"[[plan.rate]]\nfrom = \"24:00\"",
         "line 2: from: '24:00' is the end of a day; a day starts at \"00:00\""},
        {"[[plan.rate]]\nto = \"24:01\"", "line 2: to: '24:01' is not a time of day (HH:MM)"},
        // What toml++ builds by recursion, and would overflow the stack with
        // (40,000 parts did), is bounded; 16 parts or levels still read.
        {"\n" + DottedKey(40'000) + " = 1", "line 2: key nested too deeply"},
        {"[" + DottedKey(40'000) + "]", "line 1: key nested too deeply"},
        {"[[plan.\"rate\" . " + DottedKey(15) + "]]", "line 1: key nested too deeply"},
        {"a = { b = 1, " + DottedKey(17) + " = 1 }", "line 1: key nested too deeply"},
        {DottedKey(16) + " = 1", "line 1: unknown table 'a'"},
        {"a = " + Nested(17, "[", "]"), "line 1: value nested too deeply"},
        {"a = " + Nested(16, "[", "]"), "line 1: unknown key 'a'"},
        {"a = [\n" + Nested(16, "{a=", "}") + "]", "line 2: value nested too deeply"},
        {"a = " + Nested(8, "[{a=", "}]") + "\nb = " + Nested(9, "[{a=", "}]"),
         "line 2: value nested too deeply"},
        {"a = 1\n#" + std::string(kPlanFileMostBytes - 7, 'x'), "line 1: unknown key 'a'"},
    };
    for (const Case& c : cases) {
        EXPECT_THAT([&] { ParsePlanText(c.text); },
                    ThrowsMessage<EPlanFileError>(StrEq(std::string("Vimo.toml, ") + c.message)))
            << c.text.substr(0, 100);
    }
    EXPECT_THAT([] { ParsePlanText(std::string(kPlanFileMostBytes + 1, '#')); },
                ThrowsMessage<EPlanFileError>(StrEq("Vimo.toml: file too large (over 1 MiB)")));
}

TEST(PlanFile, ReadsTheWorkingFoldersFileAndTellsItsVersion) {
    TempDir dir;
    const auto path = dir / "Vimo.toml";
    EXPECT_EQ(ReadPlanFile(dir.Path()), std::nullopt);
    EXPECT_EQ(CurrentFileVersion(path).Error, ENOENT);
    WriteBytes(path, "[cycle]\r\nstart_day = 31\r\n");
    EXPECT_EQ(ReadPlanFile(dir.Path())->CycleStartDay, 31);
    const FileVersion first = CurrentFileVersion(path);
    EXPECT_EQ(CurrentFileVersion(path), first);
    // Rewritten in place with the same size and its modification time put
    // back, after more than a tick of the file system's clock: still a change.
    usleep(20'000);
    WriteBytes(path, "[cycle]\r\nstart_day = 30\r\n");
    const timespec times[2] = {
        {0, UTIME_OMIT},
        {first.ModifiedNanoseconds / 1'000'000'000, first.ModifiedNanoseconds % 1'000'000'000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_EQ(CurrentFileVersion(path).ModifiedNanoseconds, first.ModifiedNanoseconds);
    EXPECT_NE(CurrentFileVersion(path), first);
}

}  // namespace
