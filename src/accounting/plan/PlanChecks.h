#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The bounds of the values of "Vimo.toml" and the texts that name a value
// beyond them. The file's reader reports a text after "Vimo.toml, line N: ";
// the settings panel shows it for the field that holds the value.
namespace plankeys {

// A key of whole numbers from Low (0 or 1) to High.
struct WholeKey {
    std::string_view Name;
    int64_t Low = 0;
    int64_t High = 0;
};

// A key of kopecks, whole or with up to three decimals, from 0 to MaxKopecks.
struct KopecksKey {
    std::string_view Name;
    int64_t MaxKopecks = 0;
};

// Upper limits far beyond any real plan; they keep every sum of a cycle, and
// its forecast, well inside 64 bits.
inline constexpr WholeKey kStartDay{"start_day", 1, 31};
inline constexpr WholeKey kBudgetKopecks{"kopecks", 1, 1'000'000'000};
inline constexpr WholeKey kBudgetMinutes{"minutes", 1, 1'000'000};
inline constexpr WholeKey kBudgetMegabytes{"megabytes", 1, 1'000'000'000};
inline constexpr WholeKey kStopAt{"stop_at", 1, 1000};
inline constexpr WholeKey kStopGrace{"stop_grace", 0, 86'400};
// The provider's figures; bounded so that a cycle's use in bytes, times a
// percent, stays inside 64 bits.
inline constexpr WholeKey kProviderKopecks{"kopecks", 0, 10'000'000'000};
inline constexpr WholeKey kProviderMinutes{"minutes", 0, 100'000'000};
inline constexpr WholeKey kProviderMegabytes{"megabytes", 0, 10'000'000'000};
inline constexpr WholeKey kConnectionFee{"connection_fee", 0, 1'000'000};
inline constexpr WholeKey kIncludedMinutes{"included_minutes", 0, 1'000'000};
inline constexpr KopecksKey kKopecksPerMinute{"kopecks_per_minute", 1'000'000};
inline constexpr KopecksKey kKopecksPerMegabyte{"kopecks_per_mb", 1'000'000};
inline constexpr int64_t kMaxAlertPercent = 1000;
// Linux interface names are shorter than IFNAMSIZ (16) with their final zero.
inline constexpr std::size_t kMaxInterfaceName = 15;

// Monday first, as bit 0 of RateRule::Days.
inline constexpr std::array<std::string_view, 7> kDayNames = {"mon", "tue", "wed", "thu",
                                                              "fri", "sat", "sun"};
// The alerts of a budget that sets a limit and has no "alerts" key.
inline constexpr std::array<int, 2> kDefaultAlerts = {80, 100};

// What a problem is about, for a shorter word of it in the panel.
enum class Fault {
    NotWhole,     // a fraction or no number where a whole number belongs
    NotANumber,   // no number at all where kopecks belong
    OutOfRange,   // below or above the key's bounds
    Decimals,     // kopecks with more than three decimals
    NotATime,     // a time of day that is not HH:MM
    NotAPercent,  // an alert outside 1 to kMaxAlertPercent
    NotAName,     // an interface name that is empty or too long
    Repeated,     // a day, an alert or an interface given twice
    NoDays,       // a rate for no day
    HalfHours,    // a rate with "from" or "to" only
    EmptyHours,   // a rate from a time to the same time
    NoPrice,      // a rate without kopecks_per_minute
};

struct Problem {
    Fault What = Fault::OutOfRange;
    // The reader's text, e.g. "start_day must be 1 to 31".
    std::string Text;
};

// "start_day must be 1 to 31", "connection_fee must not be negative",
// "included_minutes must be at most 1000000"; none within the bounds.
std::optional<Problem> WholeProblem(const WholeKey& key, int64_t value);
// "start_day must be a whole number".
Problem NotWhole(std::string_view key);

// A value of kopecks in millikopecks, or what is wrong with it: not a number
// (NaN), negative, above the key's maximum, or with more than three decimals.
struct MillikopecksReading {
    int64_t Millikopecks = 0;
    std::optional<Problem> Fault;
};
MillikopecksReading MillikopecksOfKopecks(const KopecksKey& key, double kopecks);

// Minutes since midnight of "HH:MM" (00:00 to 23:59), else none: the start
// of a rate's hours.
std::optional<int> ClockMinutesOf(std::string_view text);
// The end of a rate's hours: as ClockMinutesOf, and "24:00", the usual way
// to write the end of a day, as kEndOfDay.
inline constexpr int kEndOfDay = 24 * 60;
std::optional<int> EndClockMinutesOf(std::string_view text);
// "from: '25:00' is not a time of day (HH:MM)"; "24:00" as the start of a
// rate's hours is named as such.
Problem NotATime(std::string_view key, std::string_view text);

// The percent of an alert after the alerts `before` it: "alerts: 0 is not a
// percent from 1 to 1000", "alerts: 80 is given twice"; none when fine.
std::optional<Problem> AlertProblem(int64_t percent, const std::vector<int>& before);
// An interface name after the names `before` it: "interfaces: '' is not an
// interface name", "interfaces: 'ppp0' is given twice"; none when fine.
std::optional<Problem> InterfaceProblem(std::string_view name,
                                        const std::vector<std::string>& before);

// The texts of a rate rule as a whole.
Problem NoDays();      // "days must name at least one day"
Problem HalfHours();   // "from and to must both be given"
Problem EmptyHours();  // "from and to must differ"
Problem NoPrice();     // "kopecks_per_minute must be given"

}  // namespace plankeys
