#include "plan/PlanChecks.h"

#include <algorithm>
#include <cmath>

namespace plankeys {

namespace {

std::string Quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

}  // namespace

std::optional<Problem> WholeProblem(const WholeKey& key, int64_t value) {
    const std::string name(key.Name);
    if (key.Low == 0 && value < 0) {
        return Problem{Fault::OutOfRange, name + " must not be negative"};
    }
    if (key.Low == 0 && value > key.High) {
        return Problem{Fault::OutOfRange, name + " must be at most " + std::to_string(key.High)};
    }
    if (value < key.Low || value > key.High) {
        return Problem{Fault::OutOfRange, name + " must be " + std::to_string(key.Low) + " to " +
                                              std::to_string(key.High)};
    }
    return std::nullopt;
}

Problem NotWhole(std::string_view key) {
    return {Fault::NotWhole, std::string(key) + " must be a whole number"};
}

MillikopecksReading MillikopecksOfKopecks(const KopecksKey& key, double kopecks) {
    const std::string name(key.Name);
    if (std::isnan(kopecks)) {
        return {0, Problem{Fault::NotANumber, name + " must be a number"}};
    }
    if (kopecks < 0) {
        return {0, Problem{Fault::OutOfRange, name + " must not be negative"}};
    }
    if (kopecks > static_cast<double>(key.MaxKopecks)) {
        return {0, Problem{Fault::OutOfRange,
                           name + " must be at most " + std::to_string(key.MaxKopecks)}};
    }
    const int64_t millikopecks = std::llround(kopecks * 1000);
    // A decimal of at most three places reads as the double nearest to
    // millikopecks / 1000; any other value is refused rather than rounded.
    if (static_cast<double>(millikopecks) / 1000 != kopecks) {
        return {0, Problem{Fault::Decimals, name + " must not have more than 3 decimal places"}};
    }
    return {millikopecks, std::nullopt};
}

std::optional<int> ClockMinutesOf(std::string_view s) {
    const auto digit = [s](std::size_t i) { return s[i] >= '0' && s[i] <= '9'; };
    if (s.size() == 5 && digit(0) && digit(1) && s[2] == ':' && digit(3) && digit(4)) {
        const int hours = (s[0] - '0') * 10 + (s[1] - '0');
        const int minutes = (s[3] - '0') * 10 + (s[4] - '0');
        if (hours < 24 && minutes < 60) {
            return hours * 60 + minutes;
        }
    }
    return std::nullopt;
}

std::optional<int> EndClockMinutesOf(std::string_view text) {
    return text == "24:00" ? std::optional<int>(kEndOfDay) : ClockMinutesOf(text);
}

Problem NotATime(std::string_view key, std::string_view text) {
    if (text == "24:00") {
        return {Fault::NotATime,
                std::string(key) + ": '24:00' is the end of a day; a day starts at \"00:00\""};
    }
    return {Fault::NotATime,
            std::string(key) + ": " + Quoted(text) + " is not a time of day (HH:MM)"};
}

std::optional<Problem> AlertProblem(int64_t percent, const std::vector<int>& before) {
    const std::string text = std::to_string(percent);
    if (percent < 1 || percent > kMaxAlertPercent) {
        return Problem{Fault::NotAPercent, "alerts: " + text + " is not a percent from 1 to " +
                                               std::to_string(kMaxAlertPercent)};
    }
    if (std::find(before.begin(), before.end(), percent) != before.end()) {
        return Problem{Fault::Repeated, "alerts: " + text + " is given twice"};
    }
    return std::nullopt;
}

std::optional<Problem> InterfaceProblem(std::string_view name,
                                        const std::vector<std::string>& before) {
    if (name.empty() || name.size() > kMaxInterfaceName) {
        return Problem{Fault::NotAName,
                       "interfaces: " + Quoted(name) + " is not an interface name"};
    }
    if (std::find(before.begin(), before.end(), name) != before.end()) {
        return Problem{Fault::Repeated, "interfaces: " + Quoted(name) + " is given twice"};
    }
    return std::nullopt;
}

Problem NoDays() {
    return {Fault::NoDays, "days must name at least one day"};
}

Problem HalfHours() {
    return {Fault::HalfHours, "from and to must both be given"};
}

Problem EmptyHours() {
    return {Fault::EmptyHours, "from and to must differ"};
}

Problem NoPrice() {
    return {Fault::NoPrice, "kopecks_per_minute must be given"};
}

}  // namespace plankeys
