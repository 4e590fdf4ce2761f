#include <gtest/gtest.h>

#include <cmath>

#include "core/Millikopecks.h"
#include "plan/MinutePrice.h"

namespace {

constexpr int64_t kTariff = 3600;  // the settings page's 3.6 kopecks a minute

TDateTime At(int day, int hour, int minute) {
    return EncodeDateTime(2026, 12, day, hour, minute, 0);  // 11.12.2026 is a Friday
}

TEST(MinutePrice, FirstRuleThatCoversTheMinutesOwnWeekdayAndTime) {
    PlanTariff plan;
    plan.Rates = {
        {1 << 4, ClockWindow{21 * 60, 7 * 60}, 1800},     // Friday nights
        {0b1100000, std::nullopt, 1500},                  // weekends
        {0b0011111, ClockWindow{6 * 60, 18 * 60}, 4000},  // working days
        {1 << 2, ClockWindow{21 * 60, 24 * 60}, 2500},    // Wednesday evening to midnight
    };
    struct Case {
        TDateTime tick;
        int64_t price;
    };
    const Case cases[] = {
        {At(11, 23, 30), 1800},
        {At(11, 21, 0), 1800},
        {At(11, 20, 59), kTariff},
        {At(11, 1, 0), 1800},
        {At(11, 6, 59), 1800},
        {At(11, 7, 0), 4000},
        {At(12, 1, 0), 1500},
        {At(10, 23, 30), kTariff},
        {At(10, 6, 0), 4000},
        {At(10, 17, 59), 4000},
        {At(10, 18, 0), kTariff},
        {At(10, 5, 59) + 59.0 / 86400, kTariff},
        {At(9, 21, 0), 2500},
        {At(9, 23, 59), 2500},
        {At(9, 23, 59) + 59.0 / 86400, 2500},
        {At(9, 20, 59), kTariff},
        {At(10, 0, 0), kTariff},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PriceMinute(plan, kTariff, {.Tick = c.tick}), c.price)
            << DateText(c.tick) << " " << TimeText(c.tick);
    }
}

TEST(MinutePrice, IncludedMinutesRunOutInTheMiddleOfASession) {
    PlanTariff plan;
    plan.ConnectionFeeKopecks = 10;
    plan.IncludedMinutes = 60;
    // Five minutes from the cycle's 58th: the fee comes with the first, free,
    // minute; the last two are charged.
    std::vector<int64_t> prices;
    for (int i = 0; i < 5; ++i) {
        prices.push_back(PriceMinute(plan, kTariff, {At(8, 10, i), i == 0, 57 + i}));
    }
    EXPECT_EQ(prices, (std::vector<int64_t>{10'000, 0, 0, 3600, 3600}));
    EXPECT_EQ(PriceMinute(plan, kTariff, {At(8, 10, 0), true, 60}), 13'600);
}

TEST(Millikopecks, RoundingHalfToEven) {
    struct Case {
        double tariff;
        int64_t millikopecks;
    };
    const Case tariffs[] = {
        {3.6, 3600},
        {0.0025, 2},
        {0.0035, 4},
        {std::nan(""), 0},
        {1e300, 100'000'000'000},
        // The doubles of these lie just below the half; their decimals do not.
        {0.5015, 502},
        {2.0005, 2000},
        {-0.5015, -502},
    };
    for (const Case& c : tariffs) {
        EXPECT_EQ(MillikopecksOfTariff(c.tariff), c.millikopecks) << c.tariff;
    }
    const int64_t sums[][2] = {{500, 0}, {1500, 2}, {2501, 3}, {-2500, -2}, {-3500, -4}};
    for (const auto& [millikopecks, kopecks] : sums) {
        EXPECT_EQ(KopecksOfMillikopecks(millikopecks), kopecks) << millikopecks;
    }
    // A range is rounded once, as a whole: three days of 1.4 kopecks are 4.
    const int64_t days[] = {1400, 1400, 1400};
    EXPECT_EQ(KopecksOfDays(days), 4);
}

}  // namespace
