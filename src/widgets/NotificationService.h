#pragma once

#include <QList>
#include <QObject>
#include <QString>

enum class NotificationUrgency {
    Normal,
    // Stays on screen until the user has seen it.
    Critical,
};

// A button of a notification: the key that comes back when it is pressed,
// and its caption.
struct NotificationAction {
    QString Key;
    QString Text;
    friend bool operator==(const NotificationAction&, const NotificationAction&) = default;
};

struct Notification {
    QString Summary;
    QString Body;
    NotificationUrgency Urgency = NotificationUrgency::Normal;
    // Shown as buttons by a service that can show them, left out by one
    // that cannot; a press comes back through Answered.
    QList<NotificationAction> Actions{};
    // Names a notification to be answered or withdrawn; empty for one that
    // is neither.
    QString Tag{};
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
    // Takes the notification of `tag` off the screen, when one is there; a
    // press on it no longer comes back.
    virtual void Withdraw(const QString& tag) { Q_UNUSED(tag); }

  signals:
    void Undelivered(const Notification& notification);
    // The action of `key` was pressed on the notification of `tag`.
    void Answered(const QString& tag, const QString& key);
};
