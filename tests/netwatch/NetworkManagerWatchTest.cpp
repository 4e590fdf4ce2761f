#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "NetworkManagerWatch.h"
#include "PrivateBus.h"

// The method list of the mock's AddObject, a(ssss): name, in and out
// signatures, Python code. The devices made here have no methods.
struct MockMethod {
    QString name;
    QString inSignature;
    QString outSignature;
    QString code;
};

QDBusArgument& operator<<(QDBusArgument& argument, const MockMethod& method) {
    argument.beginStructure();
    argument << method.name << method.inSignature << method.outSignature << method.code;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, MockMethod& method) {
    argument.beginStructure();
    argument >> method.name >> method.inSignature >> method.outSignature >> method.code;
    argument.endStructure();
    return argument;
}

namespace {

using namespace std::chrono_literals;
using Names = std::set<std::string>;

const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kMockRoot = QStringLiteral("/org/freedesktop");  // the template's main object
const QString kManagerPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kManagerInterface = QStringLiteral("org.freedesktop.NetworkManager");
const QString kDeviceInterface = QStringLiteral("org.freedesktop.NetworkManager.Device");
constexpr auto kDeadline = 5s;

// Runs the event loop until the condition holds, looking again at each of
// the watch's signals, or until the deadline passes.
bool WaitUntil(NetworkManagerWatch& watch, const std::function<bool()>& condition) {
    if (condition()) {
        return true;
    }
    QEventLoop loop;
    const auto check = [&] {
        if (condition()) {
            loop.quit();
        }
    };
    QObject::connect(&watch, &NetworkManagerWatch::Changed, &loop, check);
    QObject::connect(&watch, &NetworkManagerWatch::ServiceLost, &loop, check);
    QObject::connect(&watch, &NetworkManagerWatch::ServiceReturned, &loop, check);
    QTimer::singleShot(kDeadline, &loop, &QEventLoop::quit);
    loop.exec();
    return condition();
}

std::string Describe(const std::optional<Names>& names) {
    if (!names) {
        return "none";
    }
    std::string text = "{";
    for (const std::string& name : *names) {
        text += (text.size() > 1 ? ", " : "") + name;
    }
    return text + "}";
}

class NetworkManagerWatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        qDBusRegisterMetaType<MockMethod>();
        qDBusRegisterMetaType<QList<MockMethod>>();
        ASSERT_NO_FATAL_FAILURE(bus_.Start());
        watched_ = bus_.Connect(QStringLiteral("watched"));
    }

    // python-dbusmock's NetworkManager, on the private bus.
    void StartMock() { bus_.StartMock(QStringLiteral("networkmanager"), kService); }

    static QString DevicePath(const QString& name) {
        return QStringLiteral("/org/freedesktop/NetworkManager/Devices/") + name;
    }

    // A device object as NetworkManager has it, with Metered (where given)
    // already set when DeviceAdded goes out. The template's own devices
    // have no Metered property.
    void AddDevice(const QString& name, const QString& interface, const QString& ipInterface,
                   std::optional<uint32_t> metered) {
        QVariantMap properties{
            {QStringLiteral("Interface"), interface},
            {QStringLiteral("IpInterface"), ipInterface},
            {QStringLiteral("DeviceType"), QVariant::fromValue(uint32_t{1})},
            {QStringLiteral("State"), QVariant::fromValue(uint32_t{100})},
        };
        if (metered) {
            properties.insert(QStringLiteral("Metered"), QVariant::fromValue(*metered));
        }
        bus_.CallMock(kMockRoot, QStringLiteral("AddObject"),
                      {DevicePath(name), kDeviceInterface, properties,
                       QVariant::fromValue(QList<MockMethod>{})});
        bus_.CallMock(kManagerPath, QStringLiteral("EmitSignal"),
                      {kManagerInterface, QStringLiteral("DeviceAdded"), QStringLiteral("o"),
                       QVariantList{QVariant::fromValue(QDBusObjectPath(DevicePath(name)))}});
    }

    void RemoveDevice(const QString& name) {
        bus_.CallMock(kMockRoot, QStringLiteral("RemoveObject"), {DevicePath(name)});
        bus_.CallMock(kManagerPath, QStringLiteral("EmitSignal"),
                      {kManagerInterface, QStringLiteral("DeviceRemoved"), QStringLiteral("o"),
                       QVariantList{QVariant::fromValue(QDBusObjectPath(DevicePath(name)))}});
    }

    // The template's SetProperty: sets the value and sends both the
    // standard PropertiesChanged and the per-interface one.
    void SetDeviceProperty(const QString& name, const QString& property, const QVariant& value) {
        bus_.CallMock(kMockRoot, QStringLiteral("SetProperty"),
                      {DevicePath(name), kDeviceInterface, property,
                       QVariant::fromValue(QDBusVariant(value))});
    }

    PrivateBus bus_;
    QDBusConnection watched_{QString()};
};

TEST_F(NetworkManagerWatchTest, CountsTheDevicesSaidMeteredOrGuessedMetered) {
    struct Row {
        const char* device;
        const char* interface;
        const char* ipInterface;
        uint32_t metered;
        bool counts;
    };
    const std::vector<Row> rows = {
        {"unknown", "eth0", "", 0, false},
        {"yes", "eth1", "", 1, true},
        {"no", "eth2", "", 2, false},
        {"guessed_yes", "eth3", "", 3, true},
        {"guessed_no", "eth4", "", 4, false},
        {"out_of_range", "eth5", "", 7, false},
        // A modem: its own interface is the control port, its traffic goes
        // over another; both are named.
        {"modem", "cdc-wdm0", "wwan0", 1, true},
        {"tethered_phone", "usb0", "usb0", 3, true},
    };
    ASSERT_NO_FATAL_FAILURE(StartMock());
    Names expected;
    for (const Row& row : rows) {
        ASSERT_NO_FATAL_FAILURE(AddDevice(QString::fromLatin1(row.device),
                                          QString::fromLatin1(row.interface),
                                          QString::fromLatin1(row.ipInterface), row.metered));
        if (row.counts) {
            expected.insert(row.interface);
            if (*row.ipInterface != '\0') {
                expected.insert(row.ipInterface);
            }
        }
    }
    // The template's Wi-Fi device, which has no Metered property at all.
    ASSERT_NO_FATAL_FAILURE(
        bus_.CallMock(kMockRoot, QStringLiteral("AddWiFiDevice"),
                      {QStringLiteral("wifi"), QStringLiteral("wlan0"), QVariant::fromValue(100)}));

    NetworkManagerWatch watch(watched_);
    QSignalSpy lost(&watch, &NetworkManagerWatch::ServiceLost);
    EXPECT_FALSE(watch.MeteredInterfaces().has_value()) << "an answer before the service gave one";
    ASSERT_TRUE(WaitUntil(watch, [&] { return watch.MeteredInterfaces().has_value(); }));
    EXPECT_EQ(Describe(watch.MeteredInterfaces()), Describe(expected));
    EXPECT_EQ(lost.count(), 0);
}

TEST_F(NetworkManagerWatchTest, FollowsDevicesComingGoingAndChanging) {
    ASSERT_NO_FATAL_FAILURE(StartMock());
    ASSERT_NO_FATAL_FAILURE(
        AddDevice(QStringLiteral("phone"), QStringLiteral("usb0"), QStringLiteral("usb0"), 2));
    NetworkManagerWatch watch(watched_);
    ASSERT_TRUE(WaitUntil(watch, [&] { return watch.MeteredInterfaces() == Names{}; }))
        << Describe(watch.MeteredInterfaces());

    struct Step {
        const char* what;
        std::function<void()> act;
        Names expected;
    };
    const std::vector<Step> steps = {
        {"a metered modem is plugged in, not yet connected",
         [&] { AddDevice(QStringLiteral("modem"), QStringLiteral("cdc-wdm0"), QString(), 1); },
         {"cdc-wdm0"}},
        {"the modem connects and names its data interface",
         [&] {
             SetDeviceProperty(QStringLiteral("modem"), QStringLiteral("IpInterface"),
                               QStringLiteral("wwan0"));
         },
         {"cdc-wdm0", "wwan0"}},
        {"the phone's connection is guessed metered",
         [&] {
             SetDeviceProperty(QStringLiteral("phone"), QStringLiteral("Metered"),
                               QVariant::fromValue(uint32_t{3}));
         },
         {"cdc-wdm0", "usb0", "wwan0"}},
        {"the phone's is guessed not metered after all",
         [&] {
             SetDeviceProperty(QStringLiteral("phone"), QStringLiteral("Metered"),
                               QVariant::fromValue(uint32_t{4}));
         },
         {"cdc-wdm0", "wwan0"}},
        {"an older daemon's per-interface signal alone says the modem is not metered",
         [&] {
             bus_.CallMock(
                 DevicePath(QStringLiteral("modem")), QStringLiteral("EmitSignal"),
                 {kDeviceInterface, QStringLiteral("PropertiesChanged"), QStringLiteral("a{sv}"),
                  QVariantList{
                      QVariantMap{{QStringLiteral("Metered"), QVariant::fromValue(uint32_t{2})}}}});
         },
         {}},
        {"the modem is metered again",
         [&] {
             SetDeviceProperty(QStringLiteral("modem"), QStringLiteral("Metered"),
                               QVariant::fromValue(uint32_t{1}));
         },
         {"cdc-wdm0", "wwan0"}},
        {"the modem is unplugged", [&] { RemoveDevice(QStringLiteral("modem")); }, {}},
        {"a metered device is added later",
         [&] {
             AddDevice(QStringLiteral("hotspot"), QStringLiteral("wlan1"), QStringLiteral("wlan1"),
                       1);
         },
         {"wlan1"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        QSignalSpy changed(&watch, &NetworkManagerWatch::Changed);
        ASSERT_NO_FATAL_FAILURE(step.act());
        ASSERT_TRUE(WaitUntil(watch, [&] { return watch.MeteredInterfaces() == step.expected; }))
            << Describe(watch.MeteredInterfaces()) << " instead of " << Describe(step.expected);
        EXPECT_GE(changed.count(), 1);
    }
}

TEST_F(NetworkManagerWatchTest, ReportsTheServiceGoneOnceAndBackWithItsDevices) {
    NetworkManagerWatch watch(watched_);
    int lost = 0;
    int returned = 0;
    std::vector<std::string> answersAtSignals;
    QObject::connect(&watch, &NetworkManagerWatch::ServiceLost, [&] {
        ++lost;
        answersAtSignals.push_back("lost: " + Describe(watch.MeteredInterfaces()));
    });
    QObject::connect(&watch, &NetworkManagerWatch::ServiceReturned, [&] {
        ++returned;
        answersAtSignals.push_back("returned: " +
                                   std::string(watch.MeteredInterfaces() ? "an answer" : "none"));
    });

    // Not running at the start.
    ASSERT_TRUE(WaitUntil(watch, [&] { return lost == 1; }));
    EXPECT_FALSE(watch.MeteredInterfaces().has_value());

    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_NO_FATAL_FAILURE(StartMock());
        ASSERT_NO_FATAL_FAILURE(AddDevice(QStringLiteral("modem"), QStringLiteral("cdc-wdm0"),
                                          QStringLiteral("wwan0"), 1));
        ASSERT_TRUE(WaitUntil(watch, [&] {
            return returned == round && watch.MeteredInterfaces() == Names{"cdc-wdm0", "wwan0"};
        })) << Describe(watch.MeteredInterfaces());

        bus_.StopMock();
        ASSERT_TRUE(WaitUntil(watch, [&] { return lost == round + 1; }));
        EXPECT_FALSE(watch.MeteredInterfaces().has_value());
    }
    // Let anything still on its way arrive: a second loss signal for one
    // loss would show here.
    ASSERT_NO_FATAL_FAILURE(StartMock());
    ASSERT_TRUE(WaitUntil(watch, [&] { return returned == 3; }));
    EXPECT_EQ(watch.MeteredInterfaces(), Names{});
    EXPECT_EQ(lost, 3);
    const std::vector<std::string> expected = {
        "lost: none",          "returned: an answer", "lost: none",
        "returned: an answer", "lost: none",          "returned: an answer",
    };
    EXPECT_EQ(answersAtSignals, expected);
}

TEST_F(NetworkManagerWatchTest, TakesARefusedDeviceListForALossAndCountsItOnce) {
    ASSERT_NO_FATAL_FAILURE(StartMock());
    ASSERT_NO_FATAL_FAILURE(bus_.CallMock(
        kManagerPath, QStringLiteral("AddMethod"),
        {kManagerInterface, QStringLiteral("GetDevices"), QString(), QStringLiteral("ao"),
         QStringLiteral("raise dbus.exceptions.DBusException('refused', "
                        "name='org.freedesktop.NetworkManager.PermissionDenied')")}));
    NetworkManagerWatch watch(watched_);
    QSignalSpy lost(&watch, &NetworkManagerWatch::ServiceLost);
    QSignalSpy returned(&watch, &NetworkManagerWatch::ServiceReturned);
    ASSERT_TRUE(WaitUntil(watch, [&] { return lost.count() == 1; }));
    EXPECT_FALSE(watch.MeteredInterfaces().has_value());

    // Its going away is the same loss; a daemon that answers ends it.
    bus_.StopMock();
    ASSERT_NO_FATAL_FAILURE(StartMock());
    ASSERT_TRUE(WaitUntil(watch, [&] { return returned.count() == 1; }));
    EXPECT_EQ(lost.count(), 1);
    EXPECT_EQ(watch.MeteredInterfaces(), Names{});
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
