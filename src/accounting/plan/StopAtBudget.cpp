#include "plan/StopAtBudget.h"

#include <cmath>
#include <utility>

int StopAtBudget::GraceSeconds() const {
    const std::optional<PlanSettings>& settings = plan_.Settings();
    return settings && settings->Budget ? settings->Budget->StopGraceSeconds()
                                        : BudgetSettings::kDefaultStopGrace;
}

StopStep StopAtBudget::Look(const TUsageTable& table, double minuteCost, TDateTime now,
                            std::string_view session) {
    // Nothing is decided from figures read without the store: they lack the
    // priced days, the bytes and the provider's figures, and a cycle's kept
    // stop read as none would be written over.
    const TDateTime cycleFirst = plan_.CycleOf(now).First;
    if (cycleFirst_ != cycleFirst) {
        std::optional<StopState> kept = plan_.StopOf(now);
        if (plan_.StoreDown()) {
            return StopStep::None;
        }
        cycleFirst_ = cycleFirst;
        state_ = std::move(kept);
        warned_ = false;
    }
    reach_ = plan_.StopReachOf(table, minuteCost, now);
    if (plan_.StoreDown()) {
        return StopStep::None;
    }
    const StopDecision decision = NextStop(state_, {.Now = now,
                                                    .CycleFirst = cycleFirst,
                                                    .Reach = reach_,
                                                    .Session = session,
                                                    .GraceSeconds = GraceSeconds(),
                                                    .Warned = warned_});
    Keep(decision, now);
    return decision.Step;
}

StopStep StopAtBudget::Answer(StopAnswer answer, TDateTime now) {
    if (!Pending()) {
        return StopStep::None;
    }
    const StopDecision decision = AnswerStop(*state_, answer, now);
    Keep(decision, now);
    return decision.Step;
}

void StopAtBudget::Failed() {
    if (state_ && state_->Phase == StopPhase::Stopped) {
        Keep({StopStep::None, FailedStop(*state_)}, state_->Due);
    }
}

void StopAtBudget::NothingToStop() {
    if (state_ && state_->Phase == StopPhase::Stopped) {
        Keep({StopStep::None, std::nullopt}, state_->Due);
    }
}

void StopAtBudget::Keep(const StopDecision& decision, TDateTime now) {
    if (decision.Step == StopStep::Warn) {
        warned_ = true;
        // In whole seconds, as the due moment was reckoned.
        warningSeconds_ = std::llround(decision.State->Due * 86400.0) - std::llround(now * 86400.0);
    }
    if (decision.State != state_) {
        state_ = decision.State;
        plan_.KeepStop(*cycleFirst_, state_);
    }
}
