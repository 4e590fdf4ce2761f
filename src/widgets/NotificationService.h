#pragma once

#include <QObject>
#include <QString>

enum class NotificationUrgency {
    Normal,
    // Stays on screen until the user has seen it.
    Critical,
};

struct Notification {
    QString Summary;
    QString Body;
    NotificationUrgency Urgency = NotificationUrgency::Normal;
    friend bool operator==(const Notification&, const Notification&) = default;
};

// The desktop's notification service. Notify returns at once; a notification
// that no service took comes back through Undelivered, later, so the caller
// can show it another way.
class NotificationService : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    virtual void Notify(const Notification& notification) = 0;

  signals:
    void Undelivered(const Notification& notification);
};
