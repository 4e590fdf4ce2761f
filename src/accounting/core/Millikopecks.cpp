#include "core/Millikopecks.h"

#include <charconv>
#include <cmath>
#include <iterator>
#include <numeric>

namespace {

// A double holds 15 significant decimal digits reliably; the pages show a
// tariff with that many.
constexpr int kFractionDigits = 14;
constexpr double kTariffLimitKopecks = 1e8;
constexpr int64_t kTariffLimitMillikopecks = 100'000'000'000;

int64_t PowerOfTen(int exponent) {
    int64_t power = 1;
    for (int i = 0; i < exponent; ++i) {
        power *= 10;
    }
    return power;
}

}  // namespace

int64_t DivideRoundingHalfToEven(int64_t numerator, int64_t denominator) {
    int64_t quotient = numerator / denominator;
    const int64_t remainder = numerator % denominator;
    const int64_t twice = 2 * (remainder < 0 ? -remainder : remainder);
    if (twice > denominator || (twice == denominator && quotient % 2 != 0)) {
        quotient += numerator < 0 ? -1 : 1;
    }
    return quotient;
}

int64_t MillikopecksOfTariff(double kopecksPerMinute) {
    if (std::isnan(kopecksPerMinute)) {
        return 0;
    }
    const bool negative = kopecksPerMinute < 0;
    const double magnitude = std::fabs(kopecksPerMinute);
    if (magnitude >= kTariffLimitKopecks) {
        return negative ? -kTariffLimitMillikopecks : kTariffLimitMillikopecks;
    }
    // "d.dddddddddddddde-xx": fifteen digits and the power of ten of the first.
    char buffer[32];
    const auto written = std::to_chars(std::begin(buffer), std::end(buffer), magnitude,
                                       std::chars_format::scientific, kFractionDigits);
    int64_t digits = buffer[0] - '0';
    for (int i = 2; i < 2 + kFractionDigits; ++i) {
        digits = digits * 10 + (buffer[i] - '0');
    }
    const char* exponentText = buffer + 3 + kFractionDigits;
    const bool negativeExponent = *exponentText == '-';
    int exponent = 0;
    std::from_chars(exponentText + 1, written.ptr, exponent);
    if (negativeExponent) {
        exponent = -exponent;
    }
    // The value is digits x 10^(exponent - 14) kopecks, so the digits below a
    // millikopeck are the last 11 - exponent: at least 3, as the tariff is
    // below 10^8 (and its 15 digits round at most up to it).
    const int dropped = kFractionDigits - 3 - exponent;
    int64_t millikopecks = 0;
    if (dropped <= kFractionDigits + 1) {
        millikopecks = DivideRoundingHalfToEven(digits, PowerOfTen(dropped));
    }
    return negative ? -millikopecks : millikopecks;
}

int64_t KopecksOfMillikopecks(int64_t millikopecks) {
    return DivideRoundingHalfToEven(millikopecks, 1000);
}

int64_t KopecksOfDays(std::span<const int64_t> dayMillikopecks) {
    return KopecksOfMillikopecks(
        std::accumulate(dayMillikopecks.begin(), dayMillikopecks.end(), int64_t{0}));
}
