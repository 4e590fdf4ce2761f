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

}  // namespace
