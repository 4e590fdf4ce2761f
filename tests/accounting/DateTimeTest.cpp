#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/DateTime.h"
#include "core/Errors.h"

namespace {

// Made before main, while the library's own globals may not be set yet.
const TDateTime kMadeAtStartUp = EncodeDate(2026, 12, 8);

TEST(DateTime, DatesMadeBeforeMainAreRight) {
    EXPECT_EQ(DateText(kMadeAtStartUp), "08.12.2026");
}

TEST(DateTime, EpochAndRoundTrip) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2004, 12, 8), 38329.0);
    for (int year : {1900, 2000, 2003, 2004, 2015, 2016, 2099, 2100}) {
        for (int month = 1; month <= 12; ++month) {
            for (int day : {1, 28, DaysInMonth(year, month)}) {
                const CalendarDate back = DecodeDate(EncodeDate(year, month, day));
                EXPECT_EQ(back, (CalendarDate{year, month, day}))
                    << day << "." << month << "." << year;
            }
        }
    }
}

TEST(DateTime, TextsHaveFixedForms) {
    struct Case {
        int y, mo, d, h, mi, s;
        const char* date;
        const char* time;
        const char* clock;
    };
    const Case cases[] = {
        {2004, 12, 8, 9, 5, 7, "08.12.2004", "9:05:07", "09:05"},
        {2004, 12, 8, 19, 5, 7, "08.12.2004", "19:05:07", "19:05"},
        {2003, 1, 1, 0, 0, 0, "01.01.2003", "0:00:00", "00:00"},
        {2015, 12, 31, 23, 59, 59, "31.12.2015", "23:59:59", "23:59"},
        {2026, 12, 8, 9, 5, 59, "08.12.2026", "9:05:59", "09:05"},  // seconds dropped
    };
    for (const Case& c : cases) {
        const TDateTime t = EncodeDateTime(c.y, c.mo, c.d, c.h, c.mi, c.s);
        EXPECT_EQ(DateText(t), c.date);
        EXPECT_EQ(TimeText(t), c.time);
        EXPECT_EQ(ClockText(t), c.clock);
    }
}

TEST(DateTime, AddMinutesCrossesMidnight) {
    const TDateTime t = EncodeDateTime(2004, 12, 31, 23, 59, 30);
    const TDateTime next = AddMinutes(t, 1);
    EXPECT_EQ(ClockText(next), "00:00");
    EXPECT_EQ(DateText(next), "01.01.2005");
    EXPECT_EQ(ClockText(AddMinutes(EncodeDateTime(2004, 12, 8, 10, 19, 0), 1)), "10:20");
    const TDateTime later = AddMinutes(EncodeDateTime(2004, 12, 8, 0, 0, 0), 1440 * 3);
    EXPECT_EQ(DateText(later), "11.12.2004");
    EXPECT_EQ(TimeText(later), "0:00:00");
    EXPECT_EQ(ClockText(AddMinutes(EncodeDateTime(2004, 12, 8, 0, 0, 0), -1)), "23:59");
}

TEST(DateTime, ParseDateAcceptsDesignedForms) {
    EXPECT_EQ(ParseDate("08.12.2004"), EncodeDate(2004, 12, 8));
    EXPECT_EQ(ParseDate("01.8.2003"), EncodeDate(2003, 8, 1));
    EXPECT_EQ(ParseDate("1.8.2003"), EncodeDate(2003, 8, 1));
    EXPECT_EQ(ParseDate(" 29. 2.2004"), EncodeDate(2004, 2, 29));
}

TEST(DateTime, ParseDateRefusesWithDesignedText) {
    const char* bad[] = {"",           "31.02.2004", "29.02.2005",  "00.01.2004",
                         "01.13.2004", "01.01.04",   "01.01.2004 ", "01/01/2004",
                         "1.1.20041",  "abc",        "001.01.2004", "01.01.",
                         ".01.2004",   "32.01.2004"};
    for (const char* text : bad) {
        EXPECT_THAT([&] { ParseDate(text); },
                    testing::ThrowsMessage<EConvertError>(
                        testing::StrEq(std::string("'") + text + "' is not a valid date")))
            << text;
    }
}

TEST(DateTime, CompareDaysIgnoresTimeOfDay) {
    const TDateTime march10at14 = EncodeDateTime(2004, 3, 10, 14, 0, 0);
    const TDateTime march10at9 = EncodeDateTime(2004, 3, 10, 9, 0, 0);
    EXPECT_EQ(CompareDays(march10at14, march10at9), 0);
    EXPECT_EQ(CompareDays(march10at9, march10at14), 0);
    EXPECT_EQ(CompareDays(EncodeDate(2004, 3, 11), EncodeDate(2004, 3, 10)), 1);
    EXPECT_EQ(CompareDays(EncodeDateTime(2004, 3, 9, 23, 59, 0), EncodeDate(2004, 3, 10)), -1);
}

TEST(DateTime, StrictIntegerConversion) {
    EXPECT_EQ(StrToInt("12"), 12);
    EXPECT_EQ(StrToInt("08"), 8);
    EXPECT_EQ(StrToInt("  7"), 7);
    EXPECT_EQ(StrToInt("-3"), -3);
    for (const char* bad : {"", " ", "1a", "12 ", "1.5", "-", "99999999999"}) {
        EXPECT_THAT([&] { StrToInt(bad); },
                    testing::ThrowsMessage<EConvertError>(
                        testing::StrEq(std::string("'") + bad + "' is not a valid integer value")))
            << bad;
    }
}

TEST(DateTime, YearOfDateStrAndLineDate) {
    EXPECT_EQ(YearOfDateStr("15.08.2003"), 2003);
    const std::string line = "[08.12.2004] 09:05-10:20   время = 1 ч. 15 мин.  Win 2000    ";
    EXPECT_EQ(LineDate(line), EncodeDate(2004, 12, 8));
    EXPECT_EQ(LineDate(line + "   Аварийное завершение !"), LineDate(line));
    // Short lines never read past their end and are refused.
    for (const char* shortLine : {"", "[", "[08.12.200", "[08.12"}) {
        EXPECT_THROW(LineDate(shortLine), EConvertError) << shortLine;
    }
}

}  // namespace
