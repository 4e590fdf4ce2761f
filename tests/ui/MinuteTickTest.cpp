// The window's side of the minute tick: the tray picture, the hint and the
// main page follow what the meter answered. The session rules themselves are
// tested on the meter.
#include "Form1Harness.h"

#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(MinuteTick, PicturesChangeOncePerSessionAndEveryCountedMinuteRefreshes) {
    Form1Harness h;
    TForm1& form = h.Start();
    EXPECT_EQ(form.Timer1()->interval(), 60000);
    EXPECT_TRUE(form.Timer1()->isActive());
    EXPECT_EQ(h.Pictures(), QStringList{"offline"});
    const auto tipsAtStart = h.Tips().size();

    for (int i = 0; i < 3; ++i) {
        h.Tick(false);
    }
    EXPECT_EQ(h.Pictures(), QStringList{"offline"});
    EXPECT_EQ(h.Tips().size(), tipsAtStart);

    h.Tick(true);
    h.Tick(true);
    h.Tick(true);
    EXPECT_EQ(h.Pictures(), (QStringList{"offline", "online"}));
    EXPECT_EQ(h.Tips().size(), tipsAtStart + 3);
    EXPECT_EQ(Ctl<QLineEdit>(form, "Edit5")->text(), QString::fromUtf8("3 мин."));
    EXPECT_EQ(Ctl<QLineEdit>(form, "Edit4")->text(), QString::fromUtf8("3 мин."));

    h.Tick(false);
    h.Tick(false);
    EXPECT_EQ(h.Pictures(), (QStringList{"offline", "online", "offline"}));
    h.Tick(true);
    EXPECT_EQ(h.Pictures(), (QStringList{"offline", "online", "offline", "online"}));
    EXPECT_TRUE(h.boxes.shown.empty());
}

TEST(MinuteTick, UnderAPlanThePagesAndTheTipShowItsMoneyAndAnAlertIsANotification) {
    Form1Harness h;
    WriteBytes(h.dir / "Vimo.toml",
               "[budget]\nkopecks = 110\n[plan]\nconnection_fee = 100\n[[plan.rate]]\n"
               "days = [\"sun\"]\nkopecks_per_minute = 2\n");
    TForm1& form = h.Start();
    h.Tick(true);
    EXPECT_EQ(Ctl<QLineEdit>(form, "Edit2")->text(), QString::fromUtf8("1 гр. 2 коп."));
    EXPECT_EQ(h.Tips().back(),
              QString::fromUtf8("День : 1 мин. (1,02 гр.)\nМес.  : 1 мин. (1,02 гр.)"));
    // Without a notification service, the tray's balloon.
    const std::string alert = "Израсходовано 80% бюджета: 1 гр. 2 коп. из 1 гр. 10 коп.";
    EXPECT_EQ(h.Balloons(), QStringList{QString::fromStdString("Vimo\n" + alert)});
    EXPECT_EQ(h.log.str(), "vimo: notice: " + alert + "\n");

    // A plan file spoilt while running: one box, and minutes x tariff again.
    WriteBytes(h.dir / "Vimo.toml", "[plan]\nconnection_fee = -1\n");
    h.Tick(false);
    h.Tick(false);
    EXPECT_EQ(h.boxes.Errors(),
              std::vector<std::string>{"Vimo.toml, line 2: connection_fee must not be negative."});
    EXPECT_EQ(Ctl<QLineEdit>(form, "Edit2")->text(), QString::fromUtf8("4 коп."));
}

// Two budgets reached in one minute stay two notifications; only a spent
// budget insists. The balloon is the way out for one the desktop did not take.
TEST(MinuteTick, EachNoticeIsANotificationAtItsUrgencyAndTheBalloonOnlyForAnUndeliveredOne) {
    Form1Harness h;
    RecordingNotifications notifications;
    h.notifications = &notifications;
    WriteBytes(h.dir / "Vimo.toml",
               "[budget]\nkopecks = 110\nminutes = 1\n[plan]\nconnection_fee = 100\n"
               "[[plan.rate]]\ndays = [\"sun\"]\nkopecks_per_minute = 2\n");
    h.Start();
    h.Tick(true);
    emit h.online->Notice(QString::fromUtf8("NetworkManager недоступен"));
    const struct {
        const char* text;
        NotificationUrgency urgency;
    } expected[] = {
        {"Израсходовано 80% бюджета: 1 гр. 2 коп. из 1 гр. 10 коп.", NotificationUrgency::Normal},
        {"Израсходовано 100% бюджета: 1 мин. из 1 мин.", NotificationUrgency::Critical},
        {"NetworkManager недоступен", NotificationUrgency::Normal},
    };
    ASSERT_EQ(notifications.sent.size(), std::size(expected));
    std::string lines;
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(expected[i].text);
        EXPECT_EQ(notifications.sent[i],
                  (Notification{QStringLiteral("Vimo"), QString::fromUtf8(expected[i].text),
                                expected[i].urgency}));
        lines += "vimo: notice: " + std::string(expected[i].text) + "\n";
    }
    EXPECT_EQ(h.log.str(), lines);
    EXPECT_EQ(h.Balloons(), QStringList{});

    notifications.Refuse(1);
    EXPECT_EQ(h.Balloons(),
              QStringList{QString::fromUtf8("Vimo\n") + QString::fromUtf8(expected[1].text)});
}

TEST(MinuteTick, AFailingFileStepIsReportedAndTheCountedMinuteStillShows) {
    Form1Harness h;
    TForm1& form = h.Start();
    h.Tick(true);
    // A folder where "BegTime.txt" should be makes its rewrite fail.
    fs::remove(h.dir / "BegTime.txt");
    fs::create_directory(h.dir / "BegTime.txt");
    h.Tick(true);
    ASSERT_EQ(h.boxes.Errors(), std::vector<std::string>{"File access denied."});
    EXPECT_EQ(h.boxes.shown[0].caption, "");
    EXPECT_EQ(Ctl<QLineEdit>(form, "Edit5")->text(), QString::fromUtf8("2 мин."));

    fs::remove(h.dir / "BegTime.txt");
    h.Tick(true);
    EXPECT_EQ(h.boxes.Errors().size(), 1u);
}

TEST(MinuteTick, ASessionClosedByAMissingCurrentSessionFileShowsTheOfflinePicture) {
    Form1Harness h;
    h.Start();
    h.Tick(true);
    fs::remove(h.dir / "BegTime.txt");
    h.Tick(false);
    EXPECT_EQ(h.boxes.Errors(), std::vector<std::string>{"File not found."});
    EXPECT_EQ(h.Pictures(), (QStringList{"offline", "online", "offline"}));
}

// A missing decoration never decides what a user pays for: the picture's
// failure is reported with the name the user knows, and the minute counts.
TEST(MinuteTick, AMissingOnlinePictureIsReportedAndTheMinuteStillCounts) {
    Form1Harness h;
    TForm1& form = h.Start();
    fs::remove(h.dir / "Res/OnLine.ico");
    h.Tick(true);
    EXPECT_EQ(h.boxes.Errors(), std::vector<std::string>{"Cannot open file Res/OnLine.ico."});
    EXPECT_TRUE(form.Meter().SessionOpen());
    EXPECT_EQ(form.Meter().SessionMinutes(), 1u);
    EXPECT_EQ(h.CellOn(2004, 8, 15), 1);
    EXPECT_EQ(Ctl<QLineEdit>(form, "Edit5")->text(), QString::fromUtf8("1 мин."));
    EXPECT_EQ(h.Pictures(), QStringList{"offline"});
}

TEST(MinuteTick, AStartUpStoppedBeforeTheMainPageStillCountsWithoutFurtherErrors) {
    Form1Harness h;
    WriteBytes(h.dir / "Table.dat", std::string(100, '\0'));  // too short: start-up stops
    TForm1& form = h.Start();
    EXPECT_EQ(h.boxes.Errors(), std::vector<std::string>{"Read beyond end of file."});
    h.Tick(true);
    h.Tick(true);
    EXPECT_EQ(h.boxes.Errors().size(), 1u);  // no month to show is not an error
    EXPECT_EQ(form.Meter().SessionMinutes(), 2u);
    EXPECT_EQ(h.CellOn(2004, 8, 15), 2);
}
