#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <string>

#include "ConnectionStopper.h"
#include "NotificationService.h"
#include "core/Clock.h"
#include "meter/ConnectionMeter.h"

class QAction;

// The stop at the budget on the desktop: the meter's rules decide, this
// warns through the notification service with the three answers, offers
// "Не отключать" in the tray menu while a stop is pending (the only answer
// where the service shows no buttons), stops the connection through the
// connection manager when the grace runs out, and says how it went.
class BudgetStopControl : public QObject {
    Q_OBJECT
  public:
    // What the window gives it: where notices go (a line in the log, then
    // the notification service or the tray's balloon), the interface the
    // connection runs through, and the tray menu's item, kept hidden until
    // a stop is pending. Without `stopper` every stop fails as one without
    // a connection manager.
    struct Services {
        ConnectionMeter& meter;
        const Clock& clock;
        NotificationService* notifications = nullptr;
        ConnectionStopper* stopper = nullptr;
        QAction* keepItem = nullptr;
        std::function<void(const Notification&)> notify;
        std::function<std::string()> interface;
        // Whether the computer is online now, as the watcher sees it.
        std::function<bool()> online;
        // Runs the handlers of the timer, the buttons and the menu under the
        // window's error handling.
        std::function<void(const std::function<void()>&)> guard;
    };
    explicit BudgetStopControl(const Services& services, QObject* parent = nullptr);

    // A look after a tick, or after the plan or the provider's figures
    // changed.
    void Look();
    void Answer(StopAnswer answer);

    // The tag of the warning, and its actions' keys.
    static inline const QString kTag = QStringLiteral("budget-stop");
    static inline const QString kStopNow = QStringLiteral("stop-now");
    static inline const QString kLater = QStringLiteral("later");
    static inline const QString kKeepCycle = QStringLiteral("keep-cycle");

  signals:
    // The stop changed: the tray tip and the overview show it.
    void Changed();

  private:
    void Act(StopStep step);
    void Warn();
    void Stop();
    void Stopped(const StopResult& result);
    // The timer runs to the next moment the stop is due, or not at all.
    void Follow();

    ConnectionMeter& meter_;
    const Clock& clock_;
    NotificationService* notifications_;
    ConnectionStopper* stopper_;
    QAction* keepItem_;
    std::function<void(const Notification&)> notify_;
    std::function<std::string()> interface_;
    std::function<bool()> online_;
    std::function<void(const std::function<void()>&)> guard_;
    QTimer due_;
};
