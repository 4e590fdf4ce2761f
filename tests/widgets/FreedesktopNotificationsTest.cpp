// The notifications as a desktop's notification service receives them, from
// python-dbusmock's notification daemon on a private bus.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FreedesktopNotifications.h"
#include "PrivateBus.h"

namespace {

using namespace std::chrono_literals;

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

// One Notify's arguments on a line; the urgency hint with its D-Bus type, as
// the protocol wants a byte.
QString Describe(const QVariantList& arguments) {
    if (arguments.size() != 8) {
        return QStringLiteral("%1 arguments").arg(arguments.size());
    }
    const QVariantMap hints = qdbus_cast<QVariantMap>(arguments[6]);
    const QVariant urgency = hints.value(QStringLiteral("urgency"));
    return QStringLiteral(
               "%1 replaces %2, icon %3, %4: %5, actions [%6], entry %7, urgency %8 %9,"
               " expires %10")
        .arg(arguments[0].toString(), arguments[1].toString(), arguments[2].toString(),
             arguments[3].toString(), arguments[4].toString(),
             qdbus_cast<QStringList>(arguments[5]).join(u','),
             hints.value(QStringLiteral("desktop-entry")).toString(),
             QString::fromLatin1(urgency.typeName()), QString::number(urgency.value<int>()),
             arguments[7].toString());
}

class FreedesktopNotificationsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(bus_.Start());
        notified_ = bus_.Connect(QStringLiteral("notified"));
        ASSERT_TRUE(icons_.isValid());
        programIcon_ = icons_.filePath(QStringLiteral("Res/OnLine.ico"));
        ASSERT_NO_FATAL_FAILURE(UseIconTheme(false));
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
        const QString apps = root + QStringLiteral("/test/48x48/apps");
        ASSERT_TRUE(QDir().mkpath(apps));
        QFile index(root + QStringLiteral("/test/index.theme"));
        ASSERT_TRUE(index.open(QIODevice::WriteOnly));
        index.write(
            "[Icon Theme]\nName=test\nDirectories=48x48/apps\n\n"
            "[48x48/apps]\nSize=48\nType=Fixed\n");
        index.close();
        if (withVimo) {
            QImage picture(48, 48, QImage::Format_ARGB32);
            picture.fill(Qt::green);
            ASSERT_TRUE(picture.save(apps + QStringLiteral("/vimo.png")));
        }
        QIcon::setThemeSearchPaths({root});
        QIcon::setThemeName(QStringLiteral("test"));
    }

    // What the service was sent. The answers to those calls come before the
    // log's and are handled here, so a delivered one reported Undelivered
    // would show.
    std::vector<std::string> Received() {
        std::vector<std::string> received;
        for (const QVariantList& call :
             bus_.MockCalls(kPath, QStringLiteral("Notify"), notified_)) {
            received.push_back(Describe(call).toStdString());
        }
        QCoreApplication::processEvents();
        return received;
    }

    // Waits until the service has been sent `count` notifications, leaving
    // its answers to them unread.
    bool Logged(size_t count) {
        return QTest::qWaitFor(
            [&] {
                return bus_.MockCalls(kPath, QStringLiteral("Notify"), notified_).size() >= count;
            },
            static_cast<int>(PrivateBus::kDeadline.count()));
    }

    // The service sends one of its signals, which is handled here: it comes
    // before the service's answer to a later call.
    void ServiceSignals(const QString& name, const QString& signature,
                        const QVariantList& arguments) {
        ASSERT_NO_FATAL_FAILURE(bus_.CallMock(kPath, QStringLiteral("EmitSignal"),
                                              {kService, name, signature, arguments}));
        bus_.MockCalls(kPath, QStringLiteral("Notify"), notified_);
        QCoreApplication::processEvents();
    }

    PrivateBus bus_;
    QDBusConnection notified_{QString()};
    QTemporaryDir icons_;
    QString programIcon_;
    const QStringList savedThemePaths_ = QIcon::themeSearchPaths();
    const QString savedThemeName_ = QIcon::themeName();
};

// The icon is the theme's once Vimo is installed, else the program folder's.
TEST_F(FreedesktopNotificationsTest, EveryNoticeIsItsOwnNotificationFromVimoAtItsUrgency) {
    ASSERT_NO_FATAL_FAILURE(bus_.StartMock(QStringLiteral("notification_daemon"), kService));
    const QString line = QStringLiteral(
        "Vimo replaces 0, icon %1, Vimo: %2, actions [], entry vimo, urgency uchar %3, expires -1");
    const QString programFile = QStringLiteral("file://") + programIcon_;
    const struct {
        bool themeHasVimo;
        const char* body;
        NotificationUrgency urgency;
        int level;
    } rows[] = {{false, "80%", NotificationUrgency::Normal, 1},
                {false, "100%", NotificationUrgency::Critical, 2},
                {true, "80%", NotificationUrgency::Normal, 1}};
    std::vector<std::unique_ptr<FreedesktopNotifications>> notifiers;
    int undelivered = 0;
    std::vector<std::string> expected;
    for (const auto& row : rows) {
        ASSERT_NO_FATAL_FAILURE(UseIconTheme(row.themeHasVimo));
        notifiers.push_back(std::make_unique<FreedesktopNotifications>(notified_, programIcon_));
        QObject::connect(notifiers.back().get(), &NotificationService::Undelivered,
                         [&undelivered] { ++undelivered; });
        const QString body = QString::fromLatin1(row.body);
        notifiers.back()->Notify({QStringLiteral("Vimo"), body, row.urgency});
        expected.push_back(line.arg(row.themeHasVimo ? QStringLiteral("vimo") : programFile, body)
                               .arg(row.level)
                               .toStdString());
    }
    EXPECT_EQ(Received(), expected);
    EXPECT_EQ(undelivered, 0);
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

// Buttons go out to a service that can show them; a press on one comes back
// as the tag's answer while the notification is on screen.
TEST_F(FreedesktopNotificationsTest, APressComesBackAsTheTagsAnswerWhileTheNotificationIsShown) {
    const Notification question{QStringLiteral("Vimo"),
                                QStringLiteral("Limit reached"),
                                NotificationUrgency::Normal,
                                {{QStringLiteral("stop"), QStringLiteral("Disconnect")},
                                 {QStringLiteral("keep"), QStringLiteral("Stay online")}},
                                QStringLiteral("limit")};
    const auto sent = [this](int replaces, const char* actions) {
        return QStringLiteral(
                   "Vimo replaces %1, icon file://%2, Vimo: Limit reached, actions [%3],"
                   " entry vimo, urgency uchar 1, expires -1")
            .arg(replaces)
            .arg(programIcon_, QString::fromLatin1(actions))
            .toStdString();
    };
    const char* const buttons = "stop,Disconnect,keep,Stay online";
    const char* const withActions = R"({"capabilities": "actions body"})";
    const struct {
        const char* what;
        const char* parameters;
        std::function<void(FreedesktopNotifications&)> meanwhile;
        std::vector<std::string> sent;
        std::vector<std::string> closedIds;
        std::vector<std::string> answers;
    } rows[] = {
        {"a service with buttons", withActions, {}, {sent(0, buttons)}, {}, {"limit stop"}},
        // The id is kept all the same, for Withdraw.
        {"a service without buttons",
         R"({"capabilities": "body"})",
         {},
         {sent(0, "")},
         {},
         {"limit stop"}},
        {"the service closed it",
         withActions,
         [&](FreedesktopNotifications&) {
             ASSERT_TRUE(Logged(1));
             ServiceSignals(QStringLiteral("NotificationClosed"), QStringLiteral("uu"),
                            {QVariant::fromValue(1U), QVariant::fromValue(2U)});
         },
         {sent(0, buttons)},
         {},
         {}},
        {"withdrawn once shown",
         withActions,
         [&](FreedesktopNotifications& notifications) {
             ASSERT_TRUE(Logged(1));
             QCoreApplication::processEvents();
             notifications.Withdraw(question.Tag);
         },
         {sent(0, buttons)},
         {"1"},
         {}},
        {"withdrawn before the service said its id",
         withActions,
         [&](FreedesktopNotifications& notifications) {
             ASSERT_TRUE(Logged(1));
             notifications.Withdraw(question.Tag);
         },
         {sent(0, buttons)},
         {"1"},
         {}},
        {"withdrawn before it went out",
         withActions,
         [&](FreedesktopNotifications& notifications) { notifications.Withdraw(question.Tag); },
         {},
         {},
         {}},
        {"replaced by the tag's next one",
         withActions,
         [&](FreedesktopNotifications& notifications) {
             ASSERT_TRUE(Logged(1));
             QCoreApplication::processEvents();
             notifications.Notify(question);
         },
         {sent(0, buttons), sent(1, buttons)},
         {},
         {"limit stop"}},
        // A new service hands out the same ids to other programs.
        {"the service started anew",
         withActions,
         [&](FreedesktopNotifications&) {
             ASSERT_TRUE(Logged(1));
             bus_.StopMock();
             ASSERT_NO_FATAL_FAILURE(bus_.StartMock(
                 QStringLiteral("notification_daemon"), kService,
                 {QStringLiteral("--parameters"), QString::fromLatin1(withActions)}));
         },
         {},
         {},
         {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_NO_FATAL_FAILURE(
            bus_.StartMock(QStringLiteral("notification_daemon"), kService,
                           {QStringLiteral("--parameters"), QString::fromLatin1(row.parameters)}));
        FreedesktopNotifications notifications(notified_, programIcon_);
        std::vector<std::string> answers;
        QObject::connect(&notifications, &NotificationService::Answered,
                         [&answers](const QString& tag, const QString& key) {
                             answers.push_back((tag + u' ' + key).toStdString());
                         });
        QSignalSpy undelivered(&notifications, &NotificationService::Undelivered);
        notifications.Notify(question);
        if (row.meanwhile) {
            ASSERT_NO_FATAL_FAILURE(row.meanwhile(notifications));
        }
        ASSERT_TRUE(Logged(row.sent.size()));
        ASSERT_NO_FATAL_FAILURE(ServiceSignals(QStringLiteral("ActionInvoked"),
                                               QStringLiteral("us"),
                                               {QVariant::fromValue(1U), QStringLiteral("stop")}));
        EXPECT_EQ(Received(), row.sent);
        std::vector<std::string> closedIds;
        for (const QVariantList& call :
             bus_.MockCalls(kPath, QStringLiteral("CloseNotification"), notified_)) {
            closedIds.push_back(call.value(0).toString().toStdString());
        }
        EXPECT_EQ(closedIds, row.closedIds);
        EXPECT_EQ(answers, row.answers);
        EXPECT_EQ(undelivered.count(), 0);
        bus_.StopMock();
    }
}

}  // namespace
