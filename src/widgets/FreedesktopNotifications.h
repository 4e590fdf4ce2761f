#pragma once

#include <QDBusConnection>
#include <QString>

#include <chrono>

#include "NotificationService.h"

// Notifications through org.freedesktop.Notifications on the given bus, each
// its own (none replaces another), named after Vimo's desktop entry. A
// notification is Undelivered when the bus has no service to own the name or
// start it, when the service answers with an error, or when it gives no
// answer within `replyDeadline`.
class FreedesktopNotifications final : public NotificationService {
    Q_OBJECT
  public:
    static constexpr std::chrono::milliseconds kReplyDeadline{5000};

    // `programIcon` is the program folder's own picture, named when the icon
    // theme has no "vimo" (the program was not installed).
    FreedesktopNotifications(QDBusConnection bus, const QString& programIcon,
                             std::chrono::milliseconds replyDeadline = kReplyDeadline);

    void Notify(const Notification& notification) override;

  private:
    QDBusConnection bus_;
    QString appIcon_;
    std::chrono::milliseconds replyDeadline_;
};
