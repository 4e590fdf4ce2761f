#include "plan/BudgetStop.h"

#include <algorithm>
#include <cmath>

#include "core/Translation.h"

namespace {

// Moments are compared in whole seconds, as the store keeps them: a due
// moment read back is then exactly the one kept.
int64_t SecondsOf(TDateTime moment) {
    return std::llround(moment * 86400.0);
}

TDateTime After(TDateTime moment, int64_t seconds) {
    return static_cast<TDateTime>(SecondsOf(moment) + seconds) / 86400.0;
}

bool IsDue(TDateTime now, TDateTime due) {
    return SecondsOf(now) >= SecondsOf(due);
}

StopDecision Warn(const StopLook& look, TDateTime due) {
    return {StopStep::Warn,
            StopState{look.CycleFirst, StopPhase::Pending, due, std::string(look.Session)}};
}

StopDecision Keep(const StopState& kept) {
    return {StopStep::None, kept};
}

}  // namespace

StopDecision NextStop(const std::optional<StopState>& kept, const StopLook& look) {
    const bool reached = look.Reach.has_value() && !look.Session.empty();
    if (!kept || kept->CycleFirst != look.CycleFirst) {
        return reached ? Warn(look, After(look.Now, look.GraceSeconds)) : StopDecision{};
    }
    switch (kept->Phase) {
        case StopPhase::Pending:
            // Offline, or below the stop again (a larger budget, the
            // provider's lower figure): nothing to stop. A run that has not
            // seen the connection yet keeps the stop a killed run left.
            if (!reached) {
                return look.Warned ? StopDecision{} : Keep(*kept);
            }
            // A warning this run has not shown, or for a connection made
            // since (the session a restart opens), is shown before the stop.
            if (!look.Warned || kept->Session != look.Session) {
                return Warn(look, std::max(kept->Due, After(look.Now, look.GraceSeconds)));
            }
            if (IsDue(look.Now, kept->Due)) {
                return {StopStep::Stop,
                        StopState{look.CycleFirst, StopPhase::Stopped, look.Now, kept->Session}};
            }
            return Keep(*kept);
        case StopPhase::Deferred:
            if (reached && IsDue(look.Now, kept->Due)) {
                return Warn(look, After(look.Now, look.GraceSeconds));
            }
            return Keep(*kept);
        case StopPhase::Stopped:
            if (reached && kept->Session != look.Session) {
                return Warn(look, After(look.Now, look.GraceSeconds));
            }
            return Keep(*kept);
        case StopPhase::Declined:
        case StopPhase::Failed:
            break;
    }
    return Keep(*kept);
}

StopDecision AnswerStop(const StopState& pending, StopAnswer answer, TDateTime now) {
    StopState next = pending;
    switch (answer) {
        case StopAnswer::StopNow:
            next.Phase = StopPhase::Stopped;
            next.Due = now;
            return {StopStep::Stop, next};
        case StopAnswer::Later:
            next.Phase = StopPhase::Deferred;
            next.Due = After(now, int64_t{kLaterMinutes} * 60);
            return {StopStep::None, next};
        case StopAnswer::KeepThisCycle:
            break;
    }
    next.Phase = StopPhase::Declined;
    next.Due = now;
    return {StopStep::None, next};
}

StopState FailedStop(StopState stopped) {
    stopped.Phase = StopPhase::Failed;
    return stopped;
}

std::string StopWarningText(const StopReach& reach, int graceSeconds, TDateTime due) {
    return AlertText(reach.Unit, reach.Percent, reach.Used, reach.Limit) + "\n" +
           FillText(TranslateText("BudgetStop", "Соединение будет отключено через %1 с., в %2."),
                    {std::to_string(graceSeconds), ClockText(due)});
}

std::string StoppedText(const StopReach& reach) {
    return FillText(TranslateText("BudgetStop", "Соединение отключено. %1"),
                    {AlertText(reach.Unit, reach.Percent, reach.Used, reach.Limit)});
}

std::string StopStateText(const StopState& stop, TDateTime today) {
    static const char* const kTexts[] = {
        VIMO_TEXT_NOOP("BudgetStop", "Отключение в %1"),
        VIMO_TEXT_NOOP("BudgetStop", "Отключение отложено до %1"),
        VIMO_TEXT_NOOP("BudgetStop", "Не отключать до конца цикла"),
        VIMO_TEXT_NOOP("BudgetStop", "Отключено в %1"),
        VIMO_TEXT_NOOP("BudgetStop", "Не удалось отключить в %1"),
    };
    const bool sameDay = static_cast<int32_t>(stop.Due) == static_cast<int32_t>(today);
    const std::string moment = sameDay ? ClockText(stop.Due)
                                       : FillText(TranslateText("BudgetStop", "%1, %2"),
                                                  {ClockText(stop.Due), DateText(stop.Due)});
    return FillText(TranslateText("BudgetStop", kTexts[static_cast<int>(stop.Phase)]), {moment});
}
