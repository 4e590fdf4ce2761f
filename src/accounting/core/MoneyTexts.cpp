#include "core/MoneyTexts.h"

#include "core/Translation.h"

#include <charconv>
#include <cmath>

const std::array<std::string_view, 12> MonthNames = {
    VIMO_TEXT_NOOP("Months", "Январь"),   VIMO_TEXT_NOOP("Months", "Февраль"),
    VIMO_TEXT_NOOP("Months", "Март"),     VIMO_TEXT_NOOP("Months", "Апрель"),
    VIMO_TEXT_NOOP("Months", "Май"),      VIMO_TEXT_NOOP("Months", "Июнь"),
    VIMO_TEXT_NOOP("Months", "Июль"),     VIMO_TEXT_NOOP("Months", "Август"),
    VIMO_TEXT_NOOP("Months", "Сентябрь"), VIMO_TEXT_NOOP("Months", "Октябрь"),
    VIMO_TEXT_NOOP("Months", "Ноябрь"),   VIMO_TEXT_NOOP("Months", "Декабрь"),
};

std::string MonthName(int month) {
    return TranslateText("Months", MonthNames.at(static_cast<std::size_t>(month - 1)).data());
}

std::string MinToTimeStr(uint32_t minutes) {
    const uint32_t h = minutes / 60;
    const uint32_t m = minutes % 60;
    if (h == 0) {
        return std::to_string(m) + " мин.";
    }
    if (m == 0) {
        return std::to_string(h) + " час.";
    }
    return std::to_string(h) + " ч. " + std::to_string(m) + " мин.";
}

std::string TimeText(uint32_t minutes) {
    const std::string h = std::to_string(minutes / 60);
    const std::string m = std::to_string(minutes % 60);
    if (minutes < 60) {
        return FillText(TranslateText("Money", "%1 мин."), {m});
    }
    if (minutes % 60 == 0) {
        return FillText(TranslateText("Money", "%1 час."), {h});
    }
    return FillText(TranslateText("Money", "%1 ч. %2 мин."), {h, m});
}

std::string DecimalSeparatorText() {
    return TranslateText("Money", ",", "the decimal separator");
}

std::string DaysLeftText(int days) {
    return TranslateText("Money", "осталось %n дн.", nullptr, days);
}

int64_t MinutesToKopecks(uint32_t minutes, double minuteCost) {
    // Extended precision for the product, then the current rounding mode,
    // which is round-half-to-even.
    const long double product = static_cast<long double>(minutes) * minuteCost;
    if (std::isnan(product)) {
        return 0;
    }
    constexpr long double kLimit = 9.0e18L;
    if (product >= kLimit)
        return static_cast<int64_t>(kLimit);
    if (product <= -kLimit)
        return -static_cast<int64_t>(kLimit);
    return static_cast<int64_t>(std::nearbyintl(product));
}

namespace {

struct Sum {
    bool negative;
    uint64_t hryvnias;
    uint64_t kopecks;
};

Sum SplitKopecks(int64_t k) {
    const uint64_t magnitude = k < 0 ? 0 - static_cast<uint64_t>(k) : static_cast<uint64_t>(k);
    return {k < 0, magnitude / 100, magnitude % 100};
}

}  // namespace

std::string MinToMoney(uint32_t minutes, double minuteCost) {
    return KopecksToMoney(MinutesToKopecks(minutes, minuteCost));
}

std::string KopecksToMoney(int64_t kopecks) {
    const Sum s = SplitKopecks(kopecks);
    const std::string sign = s.negative ? "-" : "";
    const std::string hryvnias = std::to_string(s.hryvnias);
    const std::string kopecksPart = std::to_string(s.kopecks);
    if (s.hryvnias == 0) {
        return sign + FillText(TranslateText("Money", "%1 коп."), {kopecksPart});
    }
    if (s.kopecks == 0) {
        return sign + FillText(TranslateText("Money", "%1 гр."), {hryvnias});
    }
    return sign + FillText(TranslateText("Money", "%1 гр. %2 коп."), {hryvnias, kopecksPart});
}

std::string MinToGrivn(uint32_t minutes, double minuteCost) {
    return KopecksToGrivn(MinutesToKopecks(minutes, minuteCost));
}

std::string KopecksToGrivn(int64_t kopecks) {
    const Sum s = SplitKopecks(kopecks);
    const std::string kopecksPart = (s.kopecks < 10 ? "0" : "") + std::to_string(s.kopecks);
    return (s.negative ? "-" : "") +
           FillText(TranslateText("Money", "%1,%2 гр."), {std::to_string(s.hryvnias), kopecksPart});
}

std::string MegabyteNumber(int64_t bytes) {
    constexpr uint64_t kTenth = 100'000;
    const uint64_t magnitude =
        bytes < 0 ? 0 - static_cast<uint64_t>(bytes) : static_cast<uint64_t>(bytes);
    const uint64_t tenths = magnitude / kTenth;
    char whole[24];
    const std::to_chars_result written = std::to_chars(whole, whole + sizeof whole, tenths / 10);
    std::string text = bytes < 0 ? "-" : "";
    text += std::string_view(whole, static_cast<std::size_t>(written.ptr - whole));
    text += DecimalSeparatorText();
    text += static_cast<char>('0' + tenths % 10);
    return text;
}
