#include "core/MonthBounds.h"

#include <gtest/gtest.h>

#include <string>

TEST(MonthBounds, UnpaddedTextsAndTheDivisibleByFourFebruary) {
    const struct {
        int month, year;
        std::string first, last;
    } cases[] = {
        {8, 2003, "01.8.2003", "31.8.2003"},    {2, 2004, "01.2.2004", "29.2.2004"},
        {2, 2005, "01.2.2005", "28.2.2005"},    {4, 2010, "01.4.2010", "30.4.2010"},
        {12, 2015, "01.12.2015", "31.12.2015"}, {11, 2026, "01.11.2026", "30.11.2026"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MonthFirstDayText(c.month, c.year), c.first);
        EXPECT_EQ(MonthLastDayText(c.month, c.year), c.last);
    }
}
