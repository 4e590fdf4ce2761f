// Stopping a connection against python-dbusmock's NetworkManager on a
// private bus.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QTest>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "NetworkManagerStopper.h"
#include "PrivateBus.h"

namespace {

using namespace std::chrono_literals;

const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kMockRoot = QStringLiteral("/org/freedesktop");  // the template's main object
const QString kManagerPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kManagerInterface = QStringLiteral("org.freedesktop.NetworkManager");
const QString kActivePath = QStringLiteral("/org/freedesktop/NetworkManager/ActiveConnection/");

const char* Name(StopOutcome outcome) {
    switch (outcome) {
        case StopOutcome::Stopped:
            return "Stopped";
        case StopOutcome::NoService:
            return "NoService";
        case StopOutcome::Refused:
            return "Refused";
        case StopOutcome::NoConnection:
            return "NoConnection";
        case StopOutcome::Failed:
            return "Failed";
    }
    return "?";
}

class NetworkManagerStopperTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(bus_.Start());
        stopping_ = bus_.Connect(QStringLiteral("stopping"));
    }

    // The template's NetworkManager with eth0 and ppp0 each on a connection
    // of its own and usb0 idle. The template's GetDeviceByIpIface answers no
    // device with an empty answer; the daemon's answers with an error.
    void StartNetworkManager() {
        ASSERT_NO_FATAL_FAILURE(bus_.StartMock(QStringLiteral("networkmanager"), kService));
        ReplaceManagerMethod(QStringLiteral("GetDeviceByIpIface"), QStringLiteral("s"),
                             QStringLiteral("o"),
                             "ret = self.get_device_by_ip_iface(self, args[0])\n"
                             "if ret is None:\n"
                             "    raise dbus.exceptions.DBusException('No device found', "
                             "name='org.freedesktop.NetworkManager.UnknownDevice')");
        const struct {
            const char* device;
            const char* interface;
            const char* active;
        } devices[] = {{"eth", "eth0", "1"}, {"modem", "ppp0", "2"}, {"phone", "usb0", nullptr}};
        for (const auto& device : devices) {
            QDBusMessage added;
            ASSERT_NO_FATAL_FAILURE(bus_.CallMock(
                kMockRoot, QStringLiteral("AddEthernetDevice"),
                {QString::fromLatin1(device.device), QString::fromLatin1(device.interface), 100},
                &added));
            if (device.active != nullptr) {
                ASSERT_NO_FATAL_FAILURE(
                    bus_.CallMock(kMockRoot, QStringLiteral("SetDeviceActive"),
                                  {added.arguments().value(0),
                                   kActivePath + QString::fromLatin1(device.active)}));
            }
        }
    }

    void ReplaceManagerMethod(const QString& method, const QString& in, const QString& out,
                              const char* code) {
        ASSERT_NO_FATAL_FAILURE(
            bus_.CallMock(kManagerPath, QStringLiteral("AddMethod"),
                          {kManagerInterface, method, in, out, QString::fromLatin1(code)}));
    }

    std::vector<std::string> Deactivated() {
        std::vector<std::string> paths;
        for (const QVariantList& call :
             bus_.MockCalls(kManagerPath, QStringLiteral("DeactivateConnection"), stopping_)) {
            paths.push_back(call.value(0).value<QDBusObjectPath>().path().toStdString());
        }
        return paths;
    }

    PrivateBus bus_;
    QDBusConnection stopping_{QString()};
};

TEST_F(NetworkManagerStopperTest, DeactivatesTheInterfacesConnectionOrSaysWhyNot) {
    const auto deactivationRaises = [this](const char* error, const char* message) {
        return [this, error, message] {
            ASSERT_NO_FATAL_FAILURE(StartNetworkManager());
            ASSERT_NO_FATAL_FAILURE(ReplaceManagerMethod(
                QStringLiteral("DeactivateConnection"), QStringLiteral("o"), QString(),
                (std::string("raise dbus.exceptions.DBusException('") + message + "', name='" +
                 error + "')")
                    .c_str()));
        };
    };
    const auto networkManager = [this] { StartNetworkManager(); };
    const std::string ppp0Connection = (kActivePath + u'2').toStdString();
    const struct {
        const char* what;
        std::function<void()> arrange;
        const char* interface;
        bool connected;
        std::chrono::milliseconds deadline;
        StopOutcome outcome;
        const char* detailHas;
        // Asked of the daemon when it is there to be asked.
        std::optional<std::vector<std::string>> deactivated;
    } rows[] = {
        {"a connection on the interface", networkManager, "ppp0", true, 5s, StopOutcome::Stopped,
         "", std::vector{ppp0Connection}},
        {"an idle interface", networkManager, "usb0", true, 5s, StopOutcome::NoConnection,
         "usb0 has no active connection", std::vector<std::string>{}},
        {"an interface no device has", networkManager, "wwan0", true, 5s, StopOutcome::NoConnection,
         "org.freedesktop.NetworkManager.UnknownDevice: No device", std::vector<std::string>{}},
        {"the user may not",
         deactivationRaises("org.freedesktop.NetworkManager.PermissionDenied", "Not authorized"),
         "ppp0", true, 5s, StopOutcome::Refused,
         "org.freedesktop.NetworkManager.PermissionDenied: Not authorized",
         std::vector{ppp0Connection}},
        {"the daemon fails otherwise",
         deactivationRaises("org.freedesktop.NetworkManager.Failed", "Device busy"), "ppp0", true,
         5s, StopOutcome::Failed, "org.freedesktop.NetworkManager.Failed: Device busy",
         std::vector{ppp0Connection}},
        {"no daemon on the bus", [] {}, "ppp0", true, 5s, StopOutcome::NoService,
         "org.freedesktop.DBus.Error.", std::nullopt},
        {"a daemon that does not answer",
         [this] {
             ASSERT_NO_FATAL_FAILURE(StartNetworkManager());
             ASSERT_NO_FATAL_FAILURE(ReplaceManagerMethod(QStringLiteral("GetDeviceByIpIface"),
                                                          QStringLiteral("s"), QStringLiteral("o"),
                                                          "time.sleep(5)"));
         },
         "ppp0", true, 300ms, StopOutcome::NoService, "org.freedesktop.DBus.Error.NoReply",
         std::nullopt},
        {"no bus", [] {}, "ppp0", false, 5s, StopOutcome::NoService, "not connected", std::nullopt},
        {"no interface named", networkManager, "", true, 5s, StopOutcome::Failed, "no interface",
         std::vector<std::string>{}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_NO_FATAL_FAILURE(row.arrange());
        NetworkManagerStopper stopper(
            row.connected ? stopping_
                          : QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent"),
                                                          QStringLiteral("nowhere")),
            nullptr, row.deadline);
        bool returned = false;
        std::vector<std::string> results;
        stopper.StopConnectionOn(row.interface, [&](const StopResult& result) {
            EXPECT_TRUE(returned) << "done called before StopConnectionOn returned";
            results.push_back(std::string(Name(result.Outcome)) + ' ' + result.Detail);
        });
        returned = true;
        ASSERT_TRUE(QTest::qWaitFor([&] { return !results.empty(); },
                                    static_cast<int>(PrivateBus::kDeadline.count())));
        EXPECT_EQ(results.size(), 1U);
        EXPECT_EQ(results[0].substr(0, results[0].find(' ')), Name(row.outcome)) << results[0];
        EXPECT_NE(results[0].find(row.detailHas), std::string::npos) << results[0];
        if (row.outcome == StopOutcome::Stopped) {
            EXPECT_EQ(results[0], "Stopped ");
        }
        if (row.deactivated) {
            EXPECT_EQ(Deactivated(), *row.deactivated);
        }
        bus_.StopMock();
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("nowhere"));
}

}  // namespace
