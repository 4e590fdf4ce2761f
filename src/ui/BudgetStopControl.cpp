#include "BudgetStopControl.h"

#include <QAction>
#include <QPointer>

#include <algorithm>
#include <chrono>
#include <cmath>

BudgetStopControl::BudgetStopControl(const Services& services, QObject* parent)
    : QObject(parent),
      meter_(services.meter),
      clock_(services.clock),
      notifications_(services.notifications),
      stopper_(services.stopper),
      keepItem_(services.keepItem),
      notify_(services.notify),
      interface_(services.interface),
      online_(services.online),
      guard_(services.guard) {
    due_.setSingleShot(true);
    due_.setTimerType(Qt::PreciseTimer);
    connect(&due_, &QTimer::timeout, this, [this] { guard_([this] { Look(); }); });
    if (notifications_ != nullptr) {
        connect(notifications_, &NotificationService::Answered, this,
                [this](const QString& tag, const QString& key) {
                    if (tag != kTag) {
                        return;
                    }
                    guard_([this, &key] {
                        if (key == kStopNow) {
                            Answer(StopAnswer::StopNow);
                        } else if (key == kLater) {
                            Answer(StopAnswer::Later);
                        } else if (key == kKeepCycle) {
                            Answer(StopAnswer::KeepThisCycle);
                        }
                    });
                });
    }
    if (keepItem_ != nullptr) {
        keepItem_->setVisible(false);
        connect(keepItem_, &QAction::triggered, this,
                [this] { guard_([this] { Answer(StopAnswer::KeepThisCycle); }); });
    }
}

void BudgetStopControl::Look() {
    const std::optional<StopState> before = meter_.BudgetStop().State();
    const StopStep step = meter_.LookAtStop();
    Act(step);
    // A warning whose stop went away (offline, a larger budget, the
    // provider's lower figure) would go on saying when it comes.
    const bool wasPending = before && before->Phase == StopPhase::Pending;
    if (wasPending && !meter_.BudgetStop().Pending() && step != StopStep::Stop &&
        notifications_ != nullptr) {
        notifications_->Withdraw(kTag);
    }
    Follow();
    if (meter_.BudgetStop().State() != before) {
        emit Changed();
    }
}

void BudgetStopControl::Answer(StopAnswer answer) {
    const std::optional<StopState> before = meter_.BudgetStop().State();
    Act(meter_.BudgetStop().Answer(answer, clock_.Now()));
    if (meter_.BudgetStop().State() != before) {
        if (notifications_ != nullptr && !meter_.BudgetStop().Pending()) {
            notifications_->Withdraw(kTag);
        }
        Follow();
        emit Changed();
    }
}

void BudgetStopControl::Act(StopStep step) {
    switch (step) {
        case StopStep::Warn:
            Warn();
            break;
        case StopStep::Stop:
            Stop();
            break;
        case StopStep::None:
            break;
    }
}

void BudgetStopControl::Warn() {
    const StopAtBudget& stop = meter_.BudgetStop();
    const std::optional<StopReach>& reach = stop.Reach();
    if (!reach || !stop.State()) {
        return;
    }
    const auto seconds = static_cast<int>(stop.WarningSeconds());
    Notification warning{
        QStringLiteral("Vimo"),
        QString::fromStdString(StopWarningText(*reach, seconds, stop.State()->Due)),
        NotificationUrgency::Critical,
        {{kStopNow, tr("Отключить сейчас")},
         {kLater, tr("Ещё 15 минут")},
         {kKeepCycle, tr("Не отключать до конца цикла")}},
        kTag};
    notify_(warning);
}

void BudgetStopControl::Stop() {
    if (notifications_ != nullptr) {
        notifications_->Withdraw(kTag);
    }
    if (stopper_ == nullptr) {
        Stopped({StopOutcome::NoService, {}});
        return;
    }
    stopper_->StopConnectionOn(interface_(), [this](const StopResult& result) { Stopped(result); });
}

void BudgetStopControl::Stopped(const StopResult& result) {
    if (result.Outcome == StopOutcome::NoConnection && !online_()) {
        // Gone offline during the grace: nothing to stop, nothing to say.
        meter_.BudgetStop().NothingToStop();
        Follow();
        emit Changed();
        return;
    }
    QString text;
    const QString counting = tr("Vimo продолжает считать.");
    switch (result.Outcome) {
        case StopOutcome::Stopped: {
            const std::optional<StopReach>& reach = meter_.BudgetStop().Reach();
            text =
                reach ? QString::fromStdString(StoppedText(*reach)) : tr("Соединение отключено.");
            break;
        }
        case StopOutcome::NoService:
            text = tr("Соединение не отключено: NetworkManager недоступен.") + u' ' + counting;
            break;
        case StopOutcome::Refused:
            text = tr("Соединение не отключено: NetworkManager не дал на это прав (polkit).") +
                   u' ' + counting;
            break;
        case StopOutcome::NoConnection:
            text = tr("Соединение не отключено: NetworkManager не знает соединения на «%1».")
                       .arg(QString::fromStdString(interface_())) +
                   u' ' + counting;
            break;
        case StopOutcome::Failed:
            text = tr("Соединение не отключено: %1.").arg(QString::fromStdString(result.Detail)) +
                   u' ' + counting;
            break;
    }
    if (result.Outcome != StopOutcome::Stopped) {
        // Kept as failed, it is not tried again in the cycle, so this is
        // said once.
        meter_.BudgetStop().Failed();
    }
    notify_({QStringLiteral("Vimo"), text, NotificationUrgency::Normal, {}, {}});
    Follow();
    emit Changed();
}

void BudgetStopControl::Follow() {
    const std::optional<StopState>& state = meter_.BudgetStop().State();
    const bool pending = state && state->Phase == StopPhase::Pending;
    if (keepItem_ != nullptr) {
        keepItem_->setVisible(pending);
    }
    if (!state || !(pending || state->Phase == StopPhase::Deferred)) {
        due_.stop();
        return;
    }
    // A moment already past is left to the minute's tick: the stop stays
    // pending or put off only while nothing can be stopped (offline, below
    // the budget), and looking again at once would only spin.
    const double milliseconds = std::ceil((state->Due - clock_.Now()) * 86400.0 * 1000.0);
    if (milliseconds <= 0) {
        due_.stop();
        return;
    }
    due_.start(
        std::chrono::milliseconds(static_cast<int64_t>(std::min(milliseconds, 86400.0 * 1000.0))));
}
