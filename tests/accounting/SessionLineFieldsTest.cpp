#include <gtest/gtest.h>

#include <string>

#include "files/SessionLineFields.h"
#include "files/SessionLog.h"

namespace {

using Fields = SessionLineFields;
using std::nullopt;

const std::string kHead = "[08.12.2004] 09:05-10:20   время = ";

TEST(SessionLineFields, ReadsWhatTheLinesHaveAndNullsTheRest) {
    struct Case {
        std::string line;
        Fields expected;
    };
    const Case cases[] = {
        {kHead + "1 ч. 15 мин.  Win 2000    192.168.0.15   ",
         {"08.12.2004", "09:05", "10:20", 75, "Win 2000", "192.168.0.15", false}},
        {kHead + "45 мин.       Linux       10.0.0.1          Аварийное завершение !",
         {"08.12.2004", "09:05", "10:20", 45, "Linux", "10.0.0.1", true}},
        // The padding after the address trimmed away; an empty address.
        {kHead + "2 час.        Linux       10.0.0.1",
         {"08.12.2004", "09:05", "10:20", 120, "Linux", "10.0.0.1", false}},
        {kHead + "0 мин.        Linux                      ",
         {"08.12.2004", "09:05", "10:20", 0, "Linux", "", false}},
        // A day padded with a blank, as the date reader takes it; an address
        // of fifteen characters in more bytes.
        {"[ 8.12.2004] 09:05-10:20   время = 5 мин.        Linux       адрес-сервера-1",
         {"08.12.2004", "09:05", "10:20", 5, "Linux", "адрес-сервера-1", false}},
        {kHead + "5 мин.        Linux       адрес-сервера-12",
         {"08.12.2004", "09:05", "10:20", 5, nullopt, nullopt, false}},
        // Cut short, or with parts that are not in their form.
        {"[08.12.2004] 09:05-1",
         {"08.12.2004", nullopt, nullopt, nullopt, nullopt, nullopt, false}},
        {"[31.02.2004] 25:05-10:20   время = 60 мин.       Linux       10.0.0.1       ",
         {nullopt, nullopt, "10:20", nullopt, nullopt, nullopt, false}},
        {kHead + "1 ч. 0 мин.   Linux       10.0.0.1       ",
         {"08.12.2004", "09:05", "10:20", nullopt, nullopt, nullopt, false}},
        {kHead + "5 мин.Linux       10.0.0.1       ",
         {"08.12.2004", "09:05", "10:20", 5, nullopt, nullopt, false}},
        {kHead + "5 мин.        Linux    10.0.0.1",
         {"08.12.2004", "09:05", "10:20", 5, nullopt, nullopt, false}},
        {"[08.12.2004] 09:05-10:20 time = 5 min.",
         {"08.12.2004", "09:05", "10:20", nullopt, nullopt, nullopt, false}},
        {"   Аварийное завершение !", {nullopt, nullopt, nullopt, nullopt, nullopt, nullopt, true}},
        {"", {nullopt, nullopt, nullopt, nullopt, nullopt, nullopt, false}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadSessionLineFields(c.line), c.expected) << c.line;
    }
}

// Every duration the program writes reads back, whatever width its text has.
TEST(SessionLineFields, ReadsBackEveryLineTheProgramWrites) {
    const TDateTime tick = EncodeDateTime(2026, 12, 8, 23, 58, 0);
    for (uint32_t minutes = 0; minutes < 200 * 60; minutes += 7) {
        const std::string line =
            SessionLine("[08.12.2026] 09:05-", minutes, tick, "Win 9x/Me", "192.168.100.200");
        const Fields f = ReadSessionLineFields(line);
        ASSERT_EQ(f, (Fields{"08.12.2026", "09:05", "23:59", minutes, "Win 9x/Me",
                             "192.168.100.200", false}))
            << line;
    }
}

}  // namespace
