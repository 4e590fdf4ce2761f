#pragma once

#include <optional>
#include <string_view>

#include "files/UsageTable.h"
#include "plan/BudgetStop.h"
#include "plan/PlanAccount.h"

// The stop at the budget of a running program: the rules of BudgetStop.h
// over the plan's budgets and the stop "Vimo.db" keeps for each cycle. Each
// change is kept in the store before it is acted on; a store that fails is
// reported through the plan account, and the run goes on by what it holds.
class StopAtBudget {
  public:
    explicit StopAtBudget(PlanAccount& plan) : plan_(plan) {}

    // A look at a tick, or when a stop falls due: `session` is the history
    // head of the connection open now, empty offline.
    StopStep Look(const TUsageTable& table, double minuteCost, TDateTime now,
                  std::string_view session);
    // The user's answer to the warning; nothing unless a stop is pending.
    StopStep Answer(StopAnswer answer, TDateTime now);
    // The stop just made could not be made: it is not tried again in the
    // cycle.
    void Failed();
    // The connection was gone by the time of the stop: nothing was stopped,
    // and the next connection is warned about as the first was.
    void NothingToStop();

    // The stop of the cycle last looked at.
    const std::optional<StopState>& State() const { return state_; }
    bool Pending() const { return state_ && state_->Phase == StopPhase::Pending; }
    // The budget at the stop, as the last look found it.
    const std::optional<StopReach>& Reach() const { return reach_; }
    // The seconds of grace the plan gives.
    int GraceSeconds() const;
    // The seconds from the last warning to its stop, as the warning says
    // them.
    int64_t WarningSeconds() const { return warningSeconds_; }

  private:
    void Keep(const StopDecision& decision, TDateTime now);

    PlanAccount& plan_;
    std::optional<TDateTime> cycleFirst_;
    std::optional<StopState> state_;
    std::optional<StopReach> reach_;
    // The pending stop's warning was shown in this run.
    bool warned_ = false;
    int64_t warningSeconds_ = 0;
};
