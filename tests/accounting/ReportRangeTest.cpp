#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/Errors.h"
#include "core/MonthBounds.h"
#include "core/ReportRange.h"

namespace {

using ::testing::StrEq;
using ::testing::ThrowsMessage;

TEST(ReportRange, ChoosesTheDaysAsThePagesDo) {
    struct Case {
        DayRange range;
        std::string first, last;
    };
    const Case cases[] = {
        {DayRangeOf("08.12.2026"), "08.12.2026", "08.12.2026"},
        {MonthRangeOf("12.2026"), "01.12.2026", "31.12.2026"},
        {MonthRangeOf("02.2026"), "01.02.2026", "28.02.2026"},
        {MonthRangeOf("02.2028"), "01.02.2028", "29.02.2028"},
        {MonthRangeOf("02.2000"), "01.02.2000", "29.02.2000"},
        {MonthRangeOf("02.2100"), "01.02.2100", "28.02.2100"},
        {PeriodRangeOf("30.11.2026", "01.12.2026"), "30.11.2026", "01.12.2026"},
        {PeriodRangeOf("01.12.2026", "01.12.2026"), "01.12.2026", "01.12.2026"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DateText(c.range.First), c.first);
        EXPECT_EQ(DateText(c.range.Last), c.last);
    }
}

// The statistics page's month report runs over MonthBounds.h's days.
TEST(ReportRange, MonthsAreThoseOfTheStatisticsPage) {
    for (int year = 2003; year <= 2099; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const DayRange range = MonthRangeOf(std::to_string(month) + "." + std::to_string(year));
            ASSERT_EQ(range.First, ParseDate(MonthFirstDayText(month, year)));
            ASSERT_EQ(range.Last, ParseDate(MonthLastDayText(month, year)));
        }
    }
}

TEST(ReportRange, RefusesTextsThatDoNotReadAndBackwardPeriods) {
    for (const char* text : {"32.13.2026", "29.02.2026", "8.12.26", "08.12.2026 ", ""}) {
        EXPECT_THAT([&] { DayRangeOf(text); },
                    ThrowsMessage<EConvertError>(StrEq(InvalidDateText(text))));
    }
    for (const char* text : {"13.2026", "0.2026", "2026", "12.2026.1", "08.12.2026"}) {
        EXPECT_THAT([&] { MonthRangeOf(text); },
                    ThrowsMessage<EConvertError>(StrEq(InvalidDateText(text))));
    }
    EXPECT_THAT([] { PeriodRangeOf("02.12.2026", "01.12.2026"); },
                ThrowsMessage<Exception>(StrEq("Первая дата должна быть не больше второй")));
    EXPECT_THAT([] { PeriodRangeOf("01.12.2026", "32.12.2026"); },
                ThrowsMessage<EConvertError>(StrEq("'32.12.2026' is not a valid date")));
}

}  // namespace
