#pragma once

#include <QDBusMessage>
#include <QString>

// NetworkManager's names on D-Bus, shared by the watch and the stopper.
namespace networkmanager {

inline const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
inline const QString kManagerPath = QStringLiteral("/org/freedesktop/NetworkManager");
inline const QString kManagerInterface = QStringLiteral("org.freedesktop.NetworkManager");
inline const QString kDeviceInterface = QStringLiteral("org.freedesktop.NetworkManager.Device");
inline const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

// A call to the daemon that never starts it: one installed but not running
// has nothing to report and no connection to stop.
inline QDBusMessage MethodCall(const QString& path, const QString& interface,
                               const QString& method) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, path, interface, method);
    call.setAutoStartService(false);
    return call;
}

}  // namespace networkmanager
