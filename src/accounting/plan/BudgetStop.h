#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/DateTime.h"
#include "plan/Budget.h"
#include "store/CycleRecords.h"

// The stop at the budget: when a counted minute takes a budget to the
// plan's stop percent, the user is warned, and without an answer the
// connection is stopped when the grace runs out. "15 more minutes" warns
// again later; "not until the end of the cycle" holds for the cycle. A
// connection made again after a stop is stopped only after a warning of its
// own, never silently; a stop that could not be made is not tried again in
// the cycle. These rules decide; the window warns and stops.

// A budget at or beyond the stop, as the warning names it: the use and the
// limit in the budget's unit (megabytes: the use in bytes, as AlertText
// takes it).
struct StopReach {
    BudgetUnit Unit = BudgetUnit::Kopecks;
    int Percent = 0;
    int64_t Used = 0;
    int64_t Limit = 0;
    friend bool operator==(const StopReach&, const StopReach&) = default;
};

enum class StopStep {
    None,
    // Show the warning: the stop is due at the state's Due.
    Warn,
    // Stop the connection now; the state, Stopped, is to be kept first, so
    // that a run killed on the way never stops it twice.
    Stop,
};

struct StopDecision {
    StopStep Step = StopStep::None;
    // The cycle's stop from now on; none: no stop in hand.
    std::optional<StopState> State;
    friend bool operator==(const StopDecision&, const StopDecision&) = default;
};

// What a look at the stop sees: on each tick and when a stop falls due.
struct StopLook {
    TDateTime Now = 0;
    TDateTime CycleFirst = 0;
    // The budget at the stop; none below it or without a stop.
    std::optional<StopReach> Reach;
    // The connection open now (its history head); empty offline.
    std::string_view Session;
    int GraceSeconds = 0;
    // This run has shown the warning of the stop pending; after a restart
    // it is shown again before anything is stopped.
    bool Warned = false;
};

// The next step from the cycle's kept stop. A stop kept for another cycle
// counts as none.
StopDecision NextStop(const std::optional<StopState>& kept, const StopLook& look);

enum class StopAnswer {
    StopNow,
    // Warn again kLaterMinutes later.
    Later,
    // Not until the end of the cycle; also the tray menu's "Не отключать".
    KeepThisCycle,
};
inline constexpr int kLaterMinutes = 15;

// The pending stop after the user's answer.
StopDecision AnswerStop(const StopState& pending, StopAnswer answer, TDateTime now);

// The stop that could not be made: kept so, it is not tried again.
StopState FailedStop(StopState stopped);

// The warning: "Израсходовано 100% бюджета: 50 гр. из 50 гр." and when the
// connection will be stopped.
std::string StopWarningText(const StopReach& reach, int graceSeconds, TDateTime due);
// "Соединение отключено. Израсходовано ..." after the stop.
std::string StoppedText(const StopReach& reach);
// The stop as the overview and the tray tip show it: "Отключение в 14:05",
// "Отключено в 14:05"; a moment of another day with its date.
std::string StopStateText(const StopState& stop, TDateTime today);
