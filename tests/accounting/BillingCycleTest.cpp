#include <gtest/gtest.h>

#include "plan/BillingCycle.h"

namespace {

TEST(BillingCycle, CycleOfADay) {
    struct Case {
        const char* day;
        int startDay;
        const char* first;
        const char* last;
        int days;
    };
    const Case cases[] = {
        {"08.12.2026", 14, "14.11.2026", "13.12.2026", 30},
        {"14.12.2026", 14, "14.12.2026", "13.01.2027", 31},
        {"08.12.2026", 1, "01.12.2026", "31.12.2026", 31},
        // Start day 31: 31.01, 29.02.2028, 31.03, 30.04 ...
        {"31.01.2028", 31, "31.01.2028", "28.02.2028", 29},
        {"29.02.2028", 31, "29.02.2028", "30.03.2028", 31},
        {"31.03.2028", 31, "31.03.2028", "29.04.2028", 30},
        {"30.04.2028", 31, "30.04.2028", "30.05.2028", 31},
        {"27.02.2027", 31, "31.01.2027", "27.02.2027", 28},
        {"28.02.2027", 31, "28.02.2027", "30.03.2027", 31},
        // Start days 29 and 30 in February of leap and common years.
        {"29.02.2028", 30, "29.02.2028", "29.03.2028", 30},
        {"28.02.2027", 30, "28.02.2027", "29.03.2027", 30},
        {"29.02.2028", 29, "29.02.2028", "28.03.2028", 29},
        {"28.02.2028", 29, "29.01.2028", "28.02.2028", 31},
        {"28.02.2027", 29, "28.02.2027", "28.03.2027", 29},
        // 2100 is no leap year.
        {"28.02.2100", 29, "28.02.2100", "28.03.2100", 29},
    };
    for (const Case& c : cases) {
        const BillingCycle cycle = CycleOf(ParseDate(c.day), c.startDay);
        EXPECT_EQ(DateText(cycle.First), c.first) << c.day << " " << c.startDay;
        EXPECT_EQ(DateText(cycle.Last), c.last) << c.day << " " << c.startDay;
        EXPECT_EQ(cycle.Days(), c.days) << c.day << " " << c.startDay;
    }
}

TEST(BillingCycle, DaysElapsedAndLeftCountToday) {
    const BillingCycle cycle = CycleOf(ParseDate("08.12.2026"), 14);
    const TDateTime evening = EncodeDateTime(2026, 12, 8, 18, 30, 0);
    EXPECT_EQ(ElapsedDays(cycle, evening), 25);
    EXPECT_EQ(DaysLeft(cycle, evening), 6);
    EXPECT_EQ(ElapsedDays(cycle, cycle.First), 1);
    EXPECT_EQ(DaysLeft(cycle, cycle.Last), 1);
}

TEST(BillingCycle, PreviousCyclesFollowEachOtherForEveryStartDay) {
    for (int startDay = 1; startDay <= 31; ++startDay) {
        const TDateTime day = ParseDate("10.03.2029");
        const std::vector<BillingCycle> cycles = CyclesUpTo(day, startDay, 14);
        ASSERT_EQ(cycles.size(), 14u);
        EXPECT_EQ(cycles.back(), CycleOf(day, startDay));
        for (std::size_t i = 0; i < cycles.size(); ++i) {
            const CalendarDate first = DecodeDate(cycles[i].First);
            EXPECT_EQ(first.Day, std::min(startDay, DaysInMonth(first.Year, first.Month)))
                << startDay << " " << DateText(cycles[i].First);
            if (i > 0) {
                EXPECT_EQ(cycles[i].First, cycles[i - 1].Last + 1) << startDay << " " << i;
            }
        }
    }
}

}  // namespace
