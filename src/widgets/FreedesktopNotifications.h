#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QHash>
#include <QString>

#include <chrono>
#include <cstdint>

#include "NotificationService.h"

class QDBusMessage;

// Notifications through org.freedesktop.Notifications on the given bus, named
// after Vimo's desktop entry. A notification replaces the one of its tag that
// is still on screen; untagged ones are each their own. A notification is
// Undelivered when the bus has no service to own the name or start it, when
// the service answers with an error, or when it gives no answer within
// `replyDeadline`.
//
// Actions go out only to a service that lists "actions" among its
// capabilities, asked before each notification that has them; a press on a
// tagged notification comes back through Answered until the service closes
// the notification or it is withdrawn.
class FreedesktopNotifications final : public NotificationService {
    Q_OBJECT
  public:
    static constexpr std::chrono::milliseconds kReplyDeadline{5000};

    // `programIcon` is the program folder's own picture, named when the icon
    // theme has no "vimo" (the program was not installed).
    FreedesktopNotifications(QDBusConnection bus, const QString& programIcon,
                             std::chrono::milliseconds replyDeadline = kReplyDeadline);

    void Notify(const Notification& notification) override;
    void Withdraw(const QString& tag) override;

  private slots:
    void OnActionInvoked(uint id, const QString& key);
    void OnNotificationClosed(uint id, uint reason);

  private:
    // What the service shows for a tag. Each Notify and Withdraw of the tag
    // takes a new turn, so that an answer to an earlier one is known late.
    struct Shown {
        uint id = 0;  // 0 while nothing of the tag is known to be on screen
        uint64_t turn = 0;
    };

    void Send(const Notification& notification, uint64_t turn, bool withActions);
    void OnSent(const QString& tag, uint64_t turn, uint id);
    void Close(uint id);
    // Calls `onReply` with the service's answer; an error or no answer in
    // time makes `notification` Undelivered instead.
    template <typename OnReply>
    void Ask(const QDBusMessage& call, const Notification& notification, OnReply onReply);

    QDBusConnection bus_;
    QString appIcon_;
    std::chrono::milliseconds replyDeadline_;
    // A service that starts anew has forgotten the ids of the one before and
    // hands them out again, to other programs' notifications.
    QDBusServiceWatcher serviceWatcher_;
    QHash<QString, Shown> shown_;
    uint64_t lastTurn_ = 0;
};
