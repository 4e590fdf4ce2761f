#include "FreedesktopNotifications.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QFileInfo>
#include <QIcon>
#include <QStringList>
#include <QUrl>
#include <QVariantMap>

#include <utility>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kThemeIcon = QStringLiteral("vimo");

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

}  // namespace

FreedesktopNotifications::FreedesktopNotifications(QDBusConnection bus, const QString& programIcon,
                                                   std::chrono::milliseconds replyDeadline)
    : bus_(std::move(bus)), appIcon_(AppIcon(programIcon)), replyDeadline_(replyDeadline) {}

void FreedesktopNotifications::Notify(const Notification& notification) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    const QVariantMap hints{
        {QStringLiteral("desktop-entry"), kThemeIcon},
        {QStringLiteral("urgency"), QVariant::fromValue(UrgencyLevel(notification.Urgency))},
    };
    call.setArguments({QStringLiteral("Vimo"), QVariant::fromValue(uint{0}), appIcon_,
                       notification.Summary, notification.Body, QStringList{}, hints,
                       QVariant::fromValue(-1)});
    // Without a bus Qt hands back a call that never finishes.
    if (!bus_.isConnected()) {
        QMetaObject::invokeMethod(
            this, [this, notification] { emit Undelivered(notification); }, Qt::QueuedConnection);
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(
        bus_.asyncCall(call, static_cast<int>(replyDeadline_.count())), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, notification](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                if (finished->isError()) {
                    emit Undelivered(notification);
                }
            });
}
