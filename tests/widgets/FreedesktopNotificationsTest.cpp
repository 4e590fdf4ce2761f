// The notifications as a desktop's notification service receives them, from
// python-dbusmock's notification daemon on a private bus.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

#include "FreedesktopNotifications.h"
#include "PrivateBus.h"

namespace {

using namespace std::chrono_literals;

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

// One Notify as the mock logged it.
struct NotifyCall {
    QString appName;
    uint replacesId = 0;
    QString appIcon;
    QString summary;
    QString body;
    QStringList actions;
    QString desktopEntry;
    int urgency = -1;  // -1: no urgency hint
    int expireTimeout = 0;
};

NotifyCall ReadNotifyArguments(const QVariantList& arguments) {
    NotifyCall call;
    if (arguments.size() != 8) {
        ADD_FAILURE() << "Notify had " << arguments.size() << " arguments";
        return call;
    }
    call.appName = arguments[0].toString();
    call.replacesId = arguments[1].toUInt();
    call.appIcon = arguments[2].toString();
    call.summary = arguments[3].toString();
    call.body = arguments[4].toString();
    call.actions = qdbus_cast<QStringList>(arguments[5]);
    const QVariantMap hints = qdbus_cast<QVariantMap>(arguments[6]);
    call.desktopEntry = hints.value(QStringLiteral("desktop-entry")).toString();
    const QVariant urgency = hints.value(QStringLiteral("urgency"));
    if (urgency.isValid()) {
        // A byte, as the protocol has it; any other type is a fault.
        EXPECT_STREQ(urgency.typeName(), QMetaType::fromType<uchar>().name());
        call.urgency = urgency.value<uchar>();
    }
    call.expireTimeout = arguments[7].toInt();
    return call;
}

class FreedesktopNotificationsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(bus_.Start());
        notified_ = bus_.Connect(QStringLiteral("notified"));
        ASSERT_TRUE(icons_.isValid());
        programIcon_ = icons_.filePath(QStringLiteral("Res/OnLine.ico"));
        UseIconTheme(false);
    }

    void TearDown() override {
        QIcon::setThemeSearchPaths(savedThemePaths_);
        QIcon::setThemeName(savedThemeName_);
    }

    // The icon theme Qt looks in, holding Vimo's icon or not; the machine's
    // own themes (which may hold an installed Vimo) are out of sight.
    void UseIconTheme(bool withVimo) {
        const QString root =
            icons_.filePath(withVimo ? QStringLiteral("with") : QStringLiteral("without"));
        const QString apps = root + QStringLiteral("/testtheme/48x48/apps");
        ASSERT_TRUE(QDir().mkpath(apps));
        QFile index(root + QStringLiteral("/testtheme/index.theme"));
        ASSERT_TRUE(index.open(QIODevice::WriteOnly));
        index.write(
            "[Icon Theme]\nName=testtheme\nDirectories=48x48/apps\n\n"
            "[48x48/apps]\nSize=48\nType=Fixed\n");
        index.close();
        if (withVimo) {
            QImage picture(48, 48, QImage::Format_ARGB32);
            picture.fill(Qt::green);
            ASSERT_TRUE(picture.save(apps + QStringLiteral("/vimo.png")));
        }
        QIcon::setThemeSearchPaths({root});
        QIcon::setThemeName(QStringLiteral("testtheme"));
    }

    // The Notify calls the mock has had. Asked over the connection that
    // sent them, so the answers to those calls arrive first, and are handled
    // here: an Undelivered after a delivered call would show.
    std::vector<NotifyCall> NotifyCalls() {
        QDBusMessage ask = QDBusMessage::createMethodCall(
            kService, kPath, QStringLiteral("org.freedesktop.DBus.Mock"),
            QStringLiteral("GetMethodCalls"));
        ask.setArguments({QStringLiteral("Notify")});
        const QDBusMessage reply = notified_.call(ask);
        QCoreApplication::processEvents();
        std::vector<NotifyCall> calls;
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1) {
            ADD_FAILURE() << "GetMethodCalls: " << reply.errorMessage().toStdString();
            return calls;
        }
        // a(tav): when, and the arguments.
        const auto log = qvariant_cast<QDBusArgument>(reply.arguments()[0]);
        log.beginArray();
        while (!log.atEnd()) {
            qulonglong when = 0;
            QVariantList arguments;
            log.beginStructure();
            log >> when >> arguments;
            log.endStructure();
            calls.push_back(ReadNotifyArguments(arguments));
        }
        log.endArray();
        return calls;
    }

    PrivateBus bus_;
    QDBusConnection notified_{QString()};
    QTemporaryDir icons_;
    QString programIcon_;
    const QStringList savedThemePaths_ = QIcon::themeSearchPaths();
    const QString savedThemeName_ = QIcon::themeName();
};

TEST_F(FreedesktopNotificationsTest, EveryNoticeIsItsOwnNotificationFromVimoAtItsUrgency) {
    ASSERT_NO_FATAL_FAILURE(bus_.StartMock(QStringLiteral("notification_daemon"), kService));
    FreedesktopNotifications notifications(notified_, programIcon_);
    QSignalSpy undelivered(&notifications, &NotificationService::Undelivered);
    const struct {
        NotificationUrgency urgency;
        int byte;
    } rows[] = {{NotificationUrgency::Normal, 1},
                {NotificationUrgency::Critical, 2},
                {NotificationUrgency::Normal, 1}};
    for (const auto& row : rows) {
        notifications.Notify(
            {QStringLiteral("Vimo"), QStringLiteral("Израсходовано"), row.urgency});
    }
    const std::vector<NotifyCall> calls = NotifyCalls();
    ASSERT_EQ(calls.size(), std::size(rows));
    for (size_t i = 0; i < calls.size(); ++i) {
        SCOPED_TRACE(i);
        const NotifyCall& call = calls[i];
        EXPECT_EQ(call.appName, QStringLiteral("Vimo"));
        // None replaces the one before: two alerts in a minute both stay.
        EXPECT_EQ(call.replacesId, 0u);
        EXPECT_EQ(call.summary, QStringLiteral("Vimo"));
        EXPECT_EQ(call.body, QStringLiteral("Израсходовано"));
        EXPECT_TRUE(call.actions.isEmpty());
        EXPECT_EQ(call.desktopEntry, QStringLiteral("vimo"));
        EXPECT_EQ(call.urgency, rows[i].byte);
        EXPECT_EQ(call.expireTimeout, -1);
    }
    EXPECT_EQ(undelivered.count(), 0);
}

TEST_F(FreedesktopNotificationsTest, NamesTheThemesIconOnceInstalledAndElseTheProgramsPicture) {
    ASSERT_NO_FATAL_FAILURE(bus_.StartMock(QStringLiteral("notification_daemon"), kService));
    const struct {
        bool themeHasVimo;
        QString icon;
    } rows[] = {{true, QStringLiteral("vimo")}, {false, QStringLiteral("file://") + programIcon_}};
    for (const auto& row : rows) {
        ASSERT_NO_FATAL_FAILURE(UseIconTheme(row.themeHasVimo));
        FreedesktopNotifications notifications(notified_, programIcon_);
        notifications.Notify({QStringLiteral("Vimo"), QStringLiteral("Нет соединения"),
                              NotificationUrgency::Normal});
    }
    const std::vector<NotifyCall> calls = NotifyCalls();
    ASSERT_EQ(calls.size(), std::size(rows));
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].appIcon, rows[i].icon) << "theme holds vimo: " << rows[i].themeHasVimo;
    }
}

TEST_F(FreedesktopNotificationsTest, ANotificationNoServiceTookComesBackUndelivered) {
    const auto startMockWithNotify = [this](const char* code) {
        ASSERT_NO_FATAL_FAILURE(bus_.StartMock(QStringLiteral("notification_daemon"), kService));
        ASSERT_NO_FATAL_FAILURE(
            bus_.CallMock(kPath, QStringLiteral("AddMethod"),
                          {kService, QStringLiteral("Notify"), QStringLiteral("susssasa{sv}i"),
                           QStringLiteral("u"), QString::fromLatin1(code)}));
    };
    const struct {
        const char* what;
        std::function<void()> arrange;
        bool connected;
    } rows[] = {
        {"no service owns the name or can be started", [] {}, true},
        {"the service refuses it",
         [&] {
             startMockWithNotify(
                 "raise dbus.exceptions.DBusException('full', "
                 "name='org.freedesktop.Notifications.Error.ExcessNotificationGeneration')");
         },
         true},
        {"the service never answers", [&] { startMockWithNotify("time.sleep(30)"); }, true},
        {"there is no session bus", [] {}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_NO_FATAL_FAILURE(row.arrange());
        FreedesktopNotifications notifications(
            row.connected ? notified_
                          : QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent"),
                                                          QStringLiteral("nowhere")),
            programIcon_, 300ms);
        QSignalSpy undelivered(&notifications, &NotificationService::Undelivered);
        const Notification critical{QStringLiteral("Vimo"), QStringLiteral("100%"),
                                    NotificationUrgency::Critical};
        notifications.Notify(critical);
        ASSERT_TRUE(undelivered.wait(static_cast<int>(PrivateBus::kDeadline.count())));
        ASSERT_EQ(undelivered.count(), 1);
        EXPECT_EQ(undelivered[0][0].value<Notification>(), critical);
        bus_.StopMock();
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("nowhere"));
}

}  // namespace

// Listing the tests (CMake's test discovery) needs no platform.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    std::optional<QGuiApplication> app;
    if (!GTEST_FLAG_GET(list_tests)) {
        app.emplace(argc, argv);
    }
    return RUN_ALL_TESTS();
}
