#include "NetworkManagerStopper.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QMetaObject>
#include <QVariant>

#include <optional>
#include <utility>

#include "NetworkManagerBus.h"

namespace {

using namespace networkmanager;

// What a device without an active connection holds in place of one.
const QString kNoObject = QStringLiteral("/");

StopOutcome OutcomeOf(const QString& errorName) {
    static const QStringList noService = {
        QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown"),
        QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner"),
        QStringLiteral("org.freedesktop.DBus.Error.NoReply"),
        QStringLiteral("org.freedesktop.DBus.Error.Disconnected"),
    };
    static const QStringList refused = {
        QStringLiteral("org.freedesktop.NetworkManager.PermissionDenied"),
        QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"),
    };
    static const QStringList noConnection = {
        QStringLiteral("org.freedesktop.NetworkManager.UnknownDevice"),
        // The connection went down between its reading and its stopping.
        QStringLiteral("org.freedesktop.NetworkManager.ConnectionNotActive"),
    };
    if (noService.contains(errorName)) {
        return StopOutcome::NoService;
    }
    if (refused.contains(errorName)) {
        return StopOutcome::Refused;
    }
    if (noConnection.contains(errorName)) {
        return StopOutcome::NoConnection;
    }
    return StopOutcome::Failed;
}

StopResult ResultOf(const QDBusError& error) {
    return {OutcomeOf(error.name()),
            (error.name() + QStringLiteral(": ") + error.message()).toStdString()};
}

// The object path an answer holds, bare ("o") or in a variant ("v").
std::optional<QString> ObjectPathIn(const QDBusMessage& reply) {
    QVariant value = reply.arguments().value(0);
    if (value.typeId() == qMetaTypeId<QDBusVariant>()) {
        value = value.value<QDBusVariant>().variant();
    }
    if (value.typeId() != qMetaTypeId<QDBusObjectPath>()) {
        return std::nullopt;
    }
    return value.value<QDBusObjectPath>().path();
}

StopResult NotAnObjectPath(const QDBusMessage& reply, const QString& what) {
    return {StopOutcome::Failed, QStringLiteral("%1 came as \"%2\", not as an object path")
                                     .arg(what, reply.signature())
                                     .toStdString()};
}

}  // namespace

NetworkManagerStopper::NetworkManagerStopper(QDBusConnection bus, QObject* parent,
                                             std::chrono::milliseconds replyDeadline)
    : QObject(parent), bus_(std::move(bus)), replyDeadline_(replyDeadline) {}

void NetworkManagerStopper::StopConnectionOn(const std::string& interface,
                                             std::function<void(const StopResult&)> done) {
    if (interface.empty()) {
        Later(done, {StopOutcome::Failed, "no interface named to stop the connection on"});
        return;
    }
    // Without a bus Qt hands back a call that never finishes.
    if (!bus_.isConnected()) {
        Later(done, {StopOutcome::NoService,
                     ("the bus is not connected: " + bus_.lastError().message()).toStdString()});
        return;
    }
    const QString name = QString::fromStdString(interface);
    QDBusMessage find =
        MethodCall(kManagerPath, kManagerInterface, QStringLiteral("GetDeviceByIpIface"));
    find << name;
    Ask(find, done, [this, name, done](const QDBusMessage& reply) {
        const std::optional<QString> device = ObjectPathIn(reply);
        if (!device) {
            done(NotAnObjectPath(reply, QStringLiteral("The device of ") + name));
            return;
        }
        DeactivateOn(name, *device, done);
    });
}

void NetworkManagerStopper::DeactivateOn(const QString& interface, const QString& device,
                                         const Done& done) {
    QDBusMessage read = MethodCall(device, kPropertiesInterface, QStringLiteral("Get"));
    read << kDeviceInterface << QStringLiteral("ActiveConnection");
    Ask(read, done, [this, interface, done](const QDBusMessage& reply) {
        const std::optional<QString> active = ObjectPathIn(reply);
        if (!active) {
            done(NotAnObjectPath(reply, QStringLiteral("The active connection of ") + interface));
        } else if (*active == kNoObject) {
            done({StopOutcome::NoConnection,
                  (interface + QStringLiteral(" has no active connection")).toStdString()});
        } else {
            Deactivate(*active, done);
        }
    });
}

void NetworkManagerStopper::Deactivate(const QString& activeConnection, const Done& done) {
    QDBusMessage deactivate =
        MethodCall(kManagerPath, kManagerInterface, QStringLiteral("DeactivateConnection"));
    deactivate << QVariant::fromValue(QDBusObjectPath(activeConnection));
    Ask(deactivate, done, [done](const QDBusMessage&) {
        done({StopOutcome::Stopped, std::string()});
    });
}

void NetworkManagerStopper::Ask(const QDBusMessage& call, const Done& done,
                                std::function<void(const QDBusMessage&)> onReply) {
    auto* watcher = new QDBusPendingCallWatcher(
        bus_.asyncCall(call, static_cast<int>(replyDeadline_.count())), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [done, onReply = std::move(onReply)](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                if (finished->isError()) {
                    done(ResultOf(finished->error()));
                } else {
                    onReply(finished->reply());
                }
            });
}

void NetworkManagerStopper::Later(const Done& done, StopResult result) {
    QMetaObject::invokeMethod(
        this, [done, result = std::move(result)] { done(result); }, Qt::QueuedConnection);
}
