#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "MeteredDevices.h"

class QDBusMessage;
class QDBusObjectPath;

// Keeps the metered interfaces NetworkManager reports, asked over the given
// bus (the program's is the system bus) and followed through its signals:
// devices added and removed, their properties changing, the service coming
// and going. Every call is asynchronous; MeteredInterfaces() answers from the
// cache. A device names up to two interfaces, its own (e.g. "cdc-wdm0" for a
// modem's control port) and the one that carries its IP traffic ("wwan0",
// "ppp0"); both are listed when the device is metered.
class NetworkManagerWatch : public QObject, public MeteredDevices {
    Q_OBJECT

  public:
    explicit NetworkManagerWatch(QDBusConnection bus, QObject* parent = nullptr);

    std::optional<std::set<std::string>> MeteredInterfaces() const override { return answer_; }

  signals:
    // MeteredInterfaces() gave another answer, a set or none.
    void Changed();
    // The service went away, or was not there at the start, or did not
    // answer; once per loss. MeteredInterfaces() is already none.
    void ServiceLost();
    // After a loss, the service is back and has answered.
    void ServiceReturned();

  private slots:
    void OnOwnerChanged(const QString& service, const QString& oldOwner, const QString& newOwner);
    void OnDeviceAdded(const QDBusObjectPath& path);
    void OnDeviceRemoved(const QDBusObjectPath& path);
    void OnPropertiesChanged(const QString& interface, const QVariantMap& changed,
                             const QStringList& invalidated, const QDBusMessage& message);
    void OnLegacyPropertiesChanged(const QVariantMap& changed, const QDBusMessage& message);

  private:
    struct Device {
        bool read = false;     // its properties have answered at least once
        uint64_t request = 0;  // the read in flight, 0 for none
        QString interface;
        QString ipInterface;
        uint32_t metered = 0;
    };

    void AskForDevices();
    void ReadDevice(const QString& path);
    void OnDeviceChanged(const QString& path, const QVariantMap& changed, bool reread);
    void ApplyChanges(const QString& path, const QVariantMap& changed);
    void Lose();
    void Update();

    QDBusConnection bus_;
    QDBusServiceWatcher serviceWatcher_;
    std::map<QString, Device> devices_;  // by object path
    // Counts the service's appearances and losses, so that an answer meant
    // for an earlier one is dropped.
    uint64_t generation_ = 0;
    uint64_t lastRequest_ = 0;
    bool listed_ = false;    // the device list of this generation has answered
    bool answered_ = false;  // ... and so has every device on it
    bool lost_ = false;      // ServiceLost was sent and ServiceReturned not yet
    std::optional<std::set<std::string>> answer_;
};
