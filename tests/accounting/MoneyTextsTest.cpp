#include <gtest/gtest.h>

#include "core/MoneyTexts.h"

namespace {

TEST(MoneyTexts, DurationTexts) {
    struct Case {
        uint32_t minutes;
        const char* text;
    };
    const Case cases[] = {
        {0, "0 мин."},
        {9, "9 мин."},
        {59, "59 мин."},
        {60, "1 час."},
        {61, "1 ч. 1 мин."},
        {75, "1 ч. 15 мин."},
        {119, "1 ч. 59 мин."},
        {120, "2 час."},
        {600, "10 час."},
        {615, "10 ч. 15 мин."},
        {6000, "100 час."},
        {65535, "1092 ч. 15 мин."},
        // Totals no longer wrap at 16 bits.
        {65536, "1092 ч. 16 мин."},
        {4294967295u, "71582788 ч. 15 мин."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MinToTimeStr(c.minutes), c.text) << c.minutes;
    }
}

TEST(MoneyTexts, MoneyAtDefaultTariff) {
    struct Case {
        uint32_t minutes;
        int64_t kopecks;
        const char* money;
        const char* grivn;
    };
    const Case cases[] = {
        {0, 0, "0 коп.", "0,00 гр."},
        {1, 4, "4 коп.", "0,04 гр."},
        {5, 18, "18 коп.", "0,18 гр."},
        {28, 101, "1 гр. 1 коп.", "1,01 гр."},
        {75, 270, "2 гр. 70 коп.", "2,70 гр."},
        {139, 500, "5 гр.", "5,00 гр."},
        {270, 972, "9 гр. 72 коп.", "9,72 гр."},
        {600, 2160, "21 гр. 60 коп.", "21,60 гр."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MinutesToKopecks(c.minutes, 3.6), c.kopecks) << c.minutes;
        EXPECT_EQ(MinToMoney(c.minutes, 3.6), c.money) << c.minutes;
        EXPECT_EQ(MinToGrivn(c.minutes, 3.6), c.grivn) << c.minutes;
    }
}

TEST(MoneyTexts, HalvesRoundToEven) {
    EXPECT_EQ(MinutesToKopecks(1, 2.5), 2);
    EXPECT_EQ(MinutesToKopecks(3, 2.5), 8);
    EXPECT_EQ(MinutesToKopecks(5, 2.5), 12);
    EXPECT_EQ(MinToMoney(1, 2.5), "2 коп.");
    EXPECT_EQ(MinToMoney(181, 5.0), "9 гр. 5 коп.");  // kopecks not padded
    EXPECT_EQ(MinToGrivn(181, 5.0), "9,05 гр.");
}

TEST(MoneyTexts, NegativeAndDamagedTariffs) {
    EXPECT_EQ(MinToMoney(5, -3.6), "-18 коп.");
    EXPECT_EQ(MinToMoney(270, -3.6), "-9 гр. 72 коп.");
    EXPECT_EQ(MinToGrivn(5, -3.6), "-0,18 гр.");
    EXPECT_EQ(MinToGrivn(0, -3.6), "0,00 гр.");
    // A tariff that is not a number counts as nothing; a huge one does not overflow.
    EXPECT_EQ(MinToMoney(10, std::numeric_limits<double>::quiet_NaN()), "0 коп.");
    EXPECT_EQ(MinutesToKopecks(4294967295u, 1e300), 9000000000000000000);
}

TEST(MoneyTexts, MonthNames) {
    EXPECT_EQ(MonthNames.front(), "Январь");
    EXPECT_EQ(MonthNames[7], "Август");
    EXPECT_EQ(MonthNames.back(), "Декабрь");
}

}  // namespace
