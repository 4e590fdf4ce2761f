#include "NetworkManagerWatch.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QList>
#include <utility>

#include "NetworkManagerBus.h"

namespace {

using namespace networkmanager;

const QString kInterface = QStringLiteral("Interface");
const QString kIpInterface = QStringLiteral("IpInterface");
const QString kMetered = QStringLiteral("Metered");

// A daemon that is there answers in milliseconds; one that hangs counts as
// gone once this has passed.
constexpr int kCallTimeoutMs = 10000;

}  // namespace

NetworkManagerWatch::NetworkManagerWatch(QDBusConnection bus, QObject* parent)
    : QObject(parent),
      bus_(std::move(bus)),
      serviceWatcher_(kService, bus_, QDBusServiceWatcher::WatchForOwnerChange) {
    connect(&serviceWatcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            &NetworkManagerWatch::OnOwnerChanged);
    // The bus finds the slots below by their argument types' names, which it
    // knows only once those types are registered; else a connection fails.
    qRegisterMetaType<QDBusObjectPath>();
    qRegisterMetaType<QDBusMessage>();
    // Connected by the service's name, these take signals from its current
    // owner only.
    bus_.connect(kService, kManagerPath, kManagerInterface, QStringLiteral("DeviceAdded"), this,
                 SLOT(OnDeviceAdded(QDBusObjectPath)));
    bus_.connect(kService, kManagerPath, kManagerInterface, QStringLiteral("DeviceRemoved"), this,
                 SLOT(OnDeviceRemoved(QDBusObjectPath)));
    bus_.connect(kService, QString(), kPropertiesInterface, QStringLiteral("PropertiesChanged"),
                 QStringList{kDeviceInterface}, QString(), this,
                 SLOT(OnPropertiesChanged(QString, QVariantMap, QStringList, QDBusMessage)));
    // The per-interface signal that older daemons send instead.
    bus_.connect(kService, QString(), kDeviceInterface, QStringLiteral("PropertiesChanged"), this,
                 SLOT(OnLegacyPropertiesChanged(QVariantMap, QDBusMessage)));
    AskForDevices();
}

void NetworkManagerWatch::AskForDevices() {
    ++generation_;
    devices_.clear();
    listed_ = false;
    answered_ = false;
    const uint64_t generation = generation_;
    auto* watcher = new QDBusPendingCallWatcher(
        bus_.asyncCall(MethodCall(kManagerPath, kManagerInterface, QStringLiteral("GetDevices")),
                       kCallTimeoutMs),
        this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, generation](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                if (generation != generation_) {
                    return;
                }
                const QDBusPendingReply<QList<QDBusObjectPath>> reply = *finished;
                if (reply.isError()) {
                    Lose();
                    return;
                }
                // Qt may hand over a signal sent after this reply before it,
                // so a device announced meanwhile stays though not listed; a
                // listed one removed meanwhile fails its read and goes.
                listed_ = true;
                for (const QDBusObjectPath& path : reply.value()) {
                    if (devices_.count(path.path()) == 0) {
                        ReadDevice(path.path());
                    }
                }
                Update();
            });
}

// Asks for the device's properties. A device read before keeps its values
// until the answer replaces them.
void NetworkManagerWatch::ReadDevice(const QString& path) {
    const uint64_t request = ++lastRequest_;
    devices_[path].request = request;
    const uint64_t generation = generation_;
    QDBusMessage call = MethodCall(path, kPropertiesInterface, QStringLiteral("GetAll"));
    call << kDeviceInterface;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, generation, path, request](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                if (generation != generation_) {
                    return;
                }
                const auto it = devices_.find(path);
                if (it == devices_.end() || it->second.request != request) {
                    return;  // removed meanwhile, or asked again
                }
                const QDBusPendingReply<QVariantMap> reply = *finished;
                if (reply.isError()) {
                    // Gone between the list and the read; a device that comes
                    // back is announced again.
                    devices_.erase(it);
                } else {
                    // A property the daemon leaves out has its default: a
                    // daemon without Metered says nothing is metered.
                    it->second = Device();
                    it->second.read = true;
                    ApplyChanges(path, reply.value());
                }
                Update();
            });
}

void NetworkManagerWatch::ApplyChanges(const QString& path, const QVariantMap& changed) {
    const auto device = devices_.find(path);
    if (device == devices_.end()) {
        return;
    }
    // Values of another type than the daemon's documented one are ignored.
    const auto interface = changed.find(kInterface);
    if (interface != changed.end() && interface->typeId() == QMetaType::QString) {
        device->second.interface = interface->toString();
    }
    const auto ipInterface = changed.find(kIpInterface);
    if (ipInterface != changed.end() && ipInterface->typeId() == QMetaType::QString) {
        device->second.ipInterface = ipInterface->toString();
    }
    const auto metered = changed.find(kMetered);
    if (metered != changed.end() && metered->typeId() == QMetaType::UInt) {
        device->second.metered = metered->toUInt();
    }
}

void NetworkManagerWatch::OnOwnerChanged(const QString& /*service*/, const QString& /*oldOwner*/,
                                         const QString& newOwner) {
    if (newOwner.isEmpty()) {
        Lose();
    } else {
        // Started, or replaced by another instance: everything is asked
        // anew, and the answer held so far stays until the new one is in.
        AskForDevices();
    }
}

void NetworkManagerWatch::OnDeviceAdded(const QDBusObjectPath& path) {
    if (devices_.count(path.path()) == 0) {
        ReadDevice(path.path());
    }
}

void NetworkManagerWatch::OnDeviceRemoved(const QDBusObjectPath& path) {
    if (devices_.erase(path.path()) != 0) {
        Update();
    }
}

void NetworkManagerWatch::OnPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                              const QStringList& invalidated,
                                              const QDBusMessage& message) {
    if (interface != kDeviceInterface) {
        return;
    }
    const bool reread = invalidated.contains(kInterface) || invalidated.contains(kIpInterface) ||
                        invalidated.contains(kMetered);
    OnDeviceChanged(message.path(), changed, reread);
}

void NetworkManagerWatch::OnLegacyPropertiesChanged(const QVariantMap& changed,
                                                    const QDBusMessage& message) {
    OnDeviceChanged(message.path(), changed, false);
}

void NetworkManagerWatch::OnDeviceChanged(const QString& path, const QVariantMap& changed,
                                          bool reread) {
    const auto device = devices_.find(path);
    if (device == devices_.end()) {
        return;
    }
    // A read on its way may have been answered before this change, as Qt
    // may hand the answer over later than the signal; it is asked again.
    if (reread || device->second.request != 0) {
        ReadDevice(path);
    }
    if (device->second.read) {
        ApplyChanges(path, changed);
        Update();
    }
}

void NetworkManagerWatch::Lose() {
    ++generation_;
    devices_.clear();
    listed_ = false;
    answered_ = false;
    const bool changed = answer_.has_value();
    answer_.reset();
    if (!lost_) {
        lost_ = true;
        emit ServiceLost();
    }
    if (changed) {
        emit Changed();
    }
}

// Publishes the cached devices once the list and each device on it have
// answered; until then the answer held so far stays.
void NetworkManagerWatch::Update() {
    if (!answered_) {
        if (!listed_) {
            return;
        }
        for (const auto& entry : devices_) {
            if (!entry.second.read) {
                return;
            }
        }
        answered_ = true;
    }
    std::set<std::string> metered;
    for (const auto& entry : devices_) {
        const Device& device = entry.second;
        if (!device.read || !IsMeteredValue(device.metered)) {
            continue;
        }
        if (!device.interface.isEmpty()) {
            metered.insert(device.interface.toStdString());
        }
        if (!device.ipInterface.isEmpty()) {
            metered.insert(device.ipInterface.toStdString());
        }
    }
    const bool changed = answer_ != metered;
    answer_ = std::move(metered);
    if (lost_) {
        lost_ = false;
        emit ServiceReturned();
    }
    if (changed) {
        emit Changed();
    }
}
