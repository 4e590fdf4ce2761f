#include "FreedesktopNotifications.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QIcon>
#include <QStringList>
#include <QUrl>
#include <QVariantMap>
#include <QtDebug>

#include <utility>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kThemeIcon = QStringLiteral("vimo");
const QString kActionsCapability = QStringLiteral("actions");

// The theme's name lets the service pick the size it draws; a file is the
// way to name a picture the theme does not hold.
QString AppIcon(const QString& programIcon) {
    if (QIcon::hasThemeIcon(kThemeIcon)) {
        return kThemeIcon;
    }
    return QUrl::fromLocalFile(QFileInfo(programIcon).absoluteFilePath()).toString();
}

uchar UrgencyLevel(NotificationUrgency urgency) {
    return urgency == NotificationUrgency::Critical ? 2 : 1;
}

// The protocol's flat list: each action's key followed by its caption.
QStringList ActionList(const QList<NotificationAction>& actions) {
    QStringList list;
    for (const NotificationAction& action : actions) {
        list << action.Key << action.Text;
    }
    return list;
}

QDBusMessage MethodCall(const QString& method) {
    return QDBusMessage::createMethodCall(kService, kPath, kService, method);
}

}  // namespace

FreedesktopNotifications::FreedesktopNotifications(QDBusConnection bus, const QString& programIcon,
                                                   std::chrono::milliseconds replyDeadline)
    : bus_(std::move(bus)),
      appIcon_(AppIcon(programIcon)),
      replyDeadline_(replyDeadline),
      serviceWatcher_(kService, bus_, QDBusServiceWatcher::WatchForOwnerChange) {
    connect(&serviceWatcher_, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
        for (Shown& shown : shown_) {
            shown.id = 0;
        }
    });
    // Connected by the service's name, these take signals from its current
    // owner only; they go to every program, hence the look at the id.
    bus_.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                 SLOT(OnActionInvoked(uint, QString)));
    bus_.connect(kService, kPath, kService, QStringLiteral("NotificationClosed"), this,
                 SLOT(OnNotificationClosed(uint, uint)));
}

template <typename OnReply>
void FreedesktopNotifications::Ask(const QDBusMessage& call, const Notification& notification,
                                   OnReply onReply) {
    auto* watcher = new QDBusPendingCallWatcher(
        bus_.asyncCall(call, static_cast<int>(replyDeadline_.count())), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, notification, onReply = std::move(onReply)](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                if (finished->isError()) {
                    emit Undelivered(notification);
                } else {
                    onReply(*finished);
                }
            });
}

void FreedesktopNotifications::Notify(const Notification& notification) {
    // Without a bus Qt hands back a call that never finishes.
    if (!bus_.isConnected()) {
        QMetaObject::invokeMethod(
            this, [this, notification] { emit Undelivered(notification); }, Qt::QueuedConnection);
        return;
    }
    uint64_t turn = 0;
    if (!notification.Tag.isEmpty()) {
        turn = ++lastTurn_;
        shown_[notification.Tag].turn = turn;
    }
    if (notification.Actions.isEmpty()) {
        Send(notification, turn, false);
        return;
    }
    if (notification.Tag.isEmpty()) {
        qWarning() << "Notification" << notification.Summary
                   << "has actions but no tag to answer them by; it goes without them";
        Send(notification, turn, false);
        return;
    }
    Ask(MethodCall(QStringLiteral("GetCapabilities")), notification,
        [this, notification, turn](QDBusPendingCallWatcher& finished) {
            const QDBusPendingReply<QStringList> capabilities = finished;
            Send(notification, turn, capabilities.value().contains(kActionsCapability));
        });
}

void FreedesktopNotifications::Send(const Notification& notification, uint64_t turn,
                                    bool withActions) {
    const QString& tag = notification.Tag;
    uint replaces = 0;
    if (!tag.isEmpty()) {
        const Shown& shown = shown_[tag];
        if (shown.turn != turn) {
            return;  // a later notification of the tag, or its withdrawal, came meanwhile
        }
        replaces = shown.id;
    }
    QDBusMessage call = MethodCall(QStringLiteral("Notify"));
    const QVariantMap hints{
        {QStringLiteral("desktop-entry"), kThemeIcon},
        {QStringLiteral("urgency"), QVariant::fromValue(UrgencyLevel(notification.Urgency))},
    };
    call.setArguments({QStringLiteral("Vimo"), QVariant::fromValue(replaces), appIcon_,
                       notification.Summary, notification.Body,
                       withActions ? ActionList(notification.Actions) : QStringList{}, hints,
                       QVariant::fromValue(-1)});
    Ask(call, notification, [this, tag, turn](QDBusPendingCallWatcher& finished) {
        if (!tag.isEmpty()) {
            const QDBusPendingReply<uint> id = finished;
            OnSent(tag, turn, id.value());
        }
    });
}

void FreedesktopNotifications::OnSent(const QString& tag, uint64_t turn, uint id) {
    Shown& shown = shown_[tag];
    if (shown.turn == turn) {
        shown.id = id;
    } else if (id != shown.id) {
        // Sent before the tag's later notification knew of it to replace it,
        // or withdrawn while on its way.
        Close(id);
    }
}

void FreedesktopNotifications::Withdraw(const QString& tag) {
    const auto shown = shown_.find(tag);
    if (shown == shown_.end()) {
        return;
    }
    shown->turn = ++lastTurn_;
    if (shown->id != 0) {
        Close(shown->id);
        shown->id = 0;
    }
}

void FreedesktopNotifications::Close(uint id) {
    QDBusMessage call = MethodCall(QStringLiteral("CloseNotification"));
    call << QVariant::fromValue(id);
    bus_.send(call);
}

void FreedesktopNotifications::OnActionInvoked(uint id, const QString& key) {
    for (auto shown = shown_.cbegin(); shown != shown_.cend(); ++shown) {
        if (id != 0 && shown->id == id) {
            emit Answered(shown.key(), key);
            return;
        }
    }
}

void FreedesktopNotifications::OnNotificationClosed(uint id, uint /*reason*/) {
    for (Shown& shown : shown_) {
        if (id != 0 && shown.id == id) {
            shown.id = 0;
        }
    }
}
