#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "NetworkManagerWatch.h"

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
const QString kMockInterface = QStringLiteral("org.freedesktop.DBus.Mock");
constexpr auto kDeadline = 5s;

// A bus of the test's own: local socket in a temporary folder, nothing
// activated, everyone may own any name.
const char* const kBusConfig = R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

// The python3 that has python-dbusmock: the one first on the PATH, or the
// system's, which Debian's package installs into.
QString PythonWithDbusmock() {
    for (const QString& candidate :
         {QStringLiteral("python3"), QStringLiteral("/usr/bin/python3")}) {
        QProcess probe;
        probe.start(candidate, {QStringLiteral("-c"), QStringLiteral("import dbusmock")});
        if (probe.waitForFinished(10000) && probe.exitStatus() == QProcess::NormalExit &&
            probe.exitCode() == 0) {
            return candidate;
        }
    }
    return {};
}

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
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        ASSERT_FALSE(daemon.isEmpty())
            << "dbus-daemon is missing; install the dbus-daemon package (make deps)";
        python_ = PythonWithDbusmock();
        ASSERT_FALSE(python_.isEmpty())
            << "python-dbusmock is missing; install python3-dbusmock (make deps)";
        ASSERT_TRUE(dir_.isValid());

        const QString config = dir_.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(
            QString::fromLatin1(kBusConfig).arg(dir_.filePath(QStringLiteral("bus"))).toUtf8());
        file.close();
        bus_.start(daemon, {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                            QStringLiteral("--print-address")});
        ASSERT_TRUE(bus_.waitForStarted(5000)) << "dbus-daemon did not start";
        QByteArray printed;
        const auto deadline = std::chrono::steady_clock::now() + kDeadline;
        while (!printed.contains('\n') && std::chrono::steady_clock::now() < deadline &&
               bus_.waitForReadyRead(1000)) {
            printed += bus_.readAllStandardOutput();
        }
        address_ = QString::fromUtf8(printed).trimmed();
        ASSERT_FALSE(address_.isEmpty()) << "dbus-daemon printed no address";

        driver_ = QDBusConnection::connectToBus(address_, QStringLiteral("mock-driver"));
        ASSERT_TRUE(driver_.isConnected()) << driver_.lastError().message().toStdString();
        watched_ = QDBusConnection::connectToBus(address_, QStringLiteral("watched"));
        ASSERT_TRUE(watched_.isConnected()) << watched_.lastError().message().toStdString();
    }

    void TearDown() override {
        StopMock();
        QDBusConnection::disconnectFromBus(QStringLiteral("mock-driver"));
        QDBusConnection::disconnectFromBus(QStringLiteral("watched"));
        if (bus_.state() != QProcess::NotRunning) {
            bus_.terminate();
            if (!bus_.waitForFinished(5000)) {
                bus_.kill();
                bus_.waitForFinished(5000);
            }
        }
    }

    // Starts python-dbusmock's NetworkManager on the private bus and waits
    // until it owns the name. Both bus variables point there, so nothing
    // reaches the machine's own buses.
    void StartMock() {
        QDBusServiceWatcher registered(kService, driver_,
                                       QDBusServiceWatcher::WatchForRegistration);
        QSignalSpy spy(&registered, &QDBusServiceWatcher::serviceRegistered);
        mock_ = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), address_);
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
        mock_->setProcessEnvironment(env);
        // Its log of every call goes to standard output; its errors stay.
        mock_->setStandardOutputFile(QProcess::nullDevice());
        mock_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        mock_->start(python_, {QStringLiteral("-m"), QStringLiteral("dbusmock"),
                               QStringLiteral("--template"), QStringLiteral("networkmanager")});
        ASSERT_TRUE(mock_->waitForStarted(5000)) << "python-dbusmock did not start";
        ASSERT_TRUE(spy.wait(static_cast<int>(std::chrono::milliseconds(kDeadline).count())))
            << "python-dbusmock did not take the name";
    }

    // Kills the mock as a crash would.
    void StopMock() {
        if (mock_ && mock_->state() != QProcess::NotRunning) {
            mock_->kill();
            mock_->waitForFinished(5000);
        }
        mock_.reset();
    }

    void CallMock(const QString& path, const QString& method, const QVariantList& arguments) {
        QDBusMessage call = QDBusMessage::createMethodCall(kService, path, kMockInterface, method);
        call.setArguments(arguments);
        const QDBusMessage reply = driver_.call(call);
        ASSERT_NE(reply.type(), QDBusMessage::ErrorMessage)
            << method.toStdString() << ": " << reply.errorMessage().toStdString();
    }

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
        CallMock(kMockRoot, QStringLiteral("AddObject"),
                 {DevicePath(name), kDeviceInterface, properties,
                  QVariant::fromValue(QList<MockMethod>{})});
        CallMock(kManagerPath, QStringLiteral("EmitSignal"),
                 {kManagerInterface, QStringLiteral("DeviceAdded"), QStringLiteral("o"),
                  QVariantList{QVariant::fromValue(QDBusObjectPath(DevicePath(name)))}});
    }

    void RemoveDevice(const QString& name) {
        CallMock(kMockRoot, QStringLiteral("RemoveObject"), {DevicePath(name)});
        CallMock(kManagerPath, QStringLiteral("EmitSignal"),
                 {kManagerInterface, QStringLiteral("DeviceRemoved"), QStringLiteral("o"),
                  QVariantList{QVariant::fromValue(QDBusObjectPath(DevicePath(name)))}});
    }

    // The template's SetProperty: sets the value and sends both the
    // standard PropertiesChanged and the per-interface one.
    void SetDeviceProperty(const QString& name, const QString& property, const QVariant& value) {
        CallMock(kMockRoot, QStringLiteral("SetProperty"),
                 {DevicePath(name), kDeviceInterface, property,
                  QVariant::fromValue(QDBusVariant(value))});
    }

    QString python_;
    QTemporaryDir dir_;
    QProcess bus_;
    QString address_;
    QDBusConnection driver_{QString()};
    QDBusConnection watched_{QString()};
    std::unique_ptr<QProcess> mock_;
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
        CallMock(kMockRoot, QStringLiteral("AddWiFiDevice"),
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
             CallMock(
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

        StopMock();
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
    ASSERT_NO_FATAL_FAILURE(
        CallMock(kManagerPath, QStringLiteral("AddMethod"),
                 {kManagerInterface, QStringLiteral("GetDevices"), QString(), QStringLiteral("ao"),
                  QStringLiteral("raise dbus.exceptions.DBusException('refused', "
                                 "name='org.freedesktop.NetworkManager.PermissionDenied')")}));
    NetworkManagerWatch watch(watched_);
    QSignalSpy lost(&watch, &NetworkManagerWatch::ServiceLost);
    QSignalSpy returned(&watch, &NetworkManagerWatch::ServiceReturned);
    ASSERT_TRUE(WaitUntil(watch, [&] { return lost.count() == 1; }));
    EXPECT_FALSE(watch.MeteredInterfaces().has_value());

    // Its going away is the same loss; a daemon that answers ends it.
    StopMock();
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
