#include "Codec1251.h"
#include "Form1Harness.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

const std::string kCrashMarker = "   Аварийное завершение !";

std::string Line(const std::string& head, const std::string& end, const std::string& duration,
                 const std::string& os, const std::string& address) {
    // Every duration here is six characters ("1 мин."), which 8 blanks pad.
    const std::string ip = address + std::string(15 - address.size(), ' ');
    return head + end + "   время = " + duration + std::string(8, ' ') + os + "   " + ip;
}

}  // namespace

TEST(MinuteTick, FirstStartOfflineWritesItsFilesOnceAndThenNothing) {
    Form1Harness h;
    TForm1& form = h.Start();
    EXPECT_TRUE(h.boxes.shown.empty());
    EXPECT_EQ(ReadBytes(h.dir / "Table.dat"), std::string(9672, '\0'));
    EXPECT_EQ(ReadBytes(h.dir / "Propert.dat").size(), 24u);
    EXPECT_EQ(ReadBytes(h.dir / "Static.txt"), "");
    EXPECT_EQ(h.tray->icons,
              QStringList{QString::fromStdString((h.dir / "Res/OffLine.ico").string())});
    EXPECT_EQ(form.Timer1->interval(), 60000);
    EXPECT_TRUE(form.Timer1->isActive());

    std::vector<std::pair<fs::path, std::string>> before;
    for (const auto& entry : fs::recursive_directory_iterator(h.dir.Path())) {
        before.emplace_back(entry.path(), entry.is_regular_file() ? ReadBytes(entry.path()) : "");
    }
    for (int i = 0; i < 5; ++i) {
        h.Tick(false);
    }
    std::vector<std::pair<fs::path, std::string>> after;
    for (const auto& entry : fs::recursive_directory_iterator(h.dir.Path())) {
        after.emplace_back(entry.path(), entry.is_regular_file() ? ReadBytes(entry.path()) : "");
    }
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(before, after);
    EXPECT_EQ(h.tray->icons.size(), 1);
    EXPECT_FALSE(form.SessionOpen);
}

TEST(MinuteTick, OpensCountsClosesAndOpensAgain) {
    Form1Harness h;
    TForm1& form = h.Start();
    const QString onlineIcon = QString::fromStdString((h.dir / "Res/OnLine.ico").string());
    const QString offlineIcon = QString::fromStdString((h.dir / "Res/OffLine.ico").string());

    h.Tick(true);  // 10:01 opens
    EXPECT_TRUE(form.SessionOpen);
    EXPECT_EQ(form.SessionMinutes, 1);
    EXPECT_EQ(h.tray->icons.back(), onlineIcon);
    EXPECT_EQ(h.FileText("BegTime.txt"),
              Line("[15.08.2004] 10:01-", "10:02", "1 мин.", "Linux    ", "10.0.0.2") + "\r\n");
    EXPECT_EQ(h.CellOn(2004, 8, 15), 1);

    h.Tick(true);
    h.Tick(true);  // 10:03, the third minute
    EXPECT_EQ(form.SessionMinutes, 3);
    EXPECT_EQ(h.FileText("BegTime.txt"),
              Line("[15.08.2004] 10:01-", "10:04", "3 мин.", "Linux    ", "10.0.0.2") + "\r\n");
    EXPECT_EQ(h.CellOn(2004, 8, 15), 3);
    EXPECT_EQ(h.tray->icons.count(onlineIcon), 1);  // the picture changes once a session
    EXPECT_EQ(h.tray->hints.size(), 4);             // start-up, then every counted minute

    h.Tick(false);  // closes
    EXPECT_FALSE(form.SessionOpen);
    EXPECT_EQ(form.SessionMinutes, 0);
    EXPECT_FALSE(fs::exists(h.dir / "BegTime.txt"));
    EXPECT_EQ(h.FileText("Static.txt"),
              Line("[15.08.2004] 10:01-", "10:04", "3 мин.", "Linux    ", "10.0.0.2") + "\r\n");
    EXPECT_EQ(h.tray->icons.back(), offlineIcon);

    h.Tick(false);  // nothing
    EXPECT_EQ(h.tray->icons.back(), offlineIcon);
    EXPECT_EQ(h.CellOn(2004, 8, 15), 3);

    h.Tick(true, "192.168.100.200");  // 10:06 opens a new session
    EXPECT_EQ(form.SessionMinutes, 1);
    EXPECT_EQ(
        h.FileText("BegTime.txt"),
        Line("[15.08.2004] 10:06-", "10:07", "1 мин.", "Linux    ", "192.168.100.200") + "\r\n");
    EXPECT_EQ(h.CellOn(2004, 8, 15), 4);
    EXPECT_TRUE(h.boxes.shown.empty());
}

TEST(MinuteTick, ASessionAcrossMidnightCountsEachMinuteOnItsOwnDay) {
    Form1Harness h;
    h.clock.Set(2004, 2, 28, 23, 57, 0);
    h.Start();
    h.Tick(true);  // 23:58
    h.Tick(true);  // 23:59
    h.Tick(true);  // 00:00 on the 29th (2004 is a leap year)
    h.Tick(true);  // 00:01
    EXPECT_EQ(h.CellOn(2004, 2, 28), 2);
    EXPECT_EQ(h.CellOn(2004, 2, 29), 2);
    EXPECT_EQ(h.FileText("BegTime.txt"),
              Line("[28.02.2004] 23:58-", "00:02", "4 мин.", "Linux    ", "10.0.0.2") + "\r\n");
    EXPECT_TRUE(h.boxes.shown.empty());
}

TEST(MinuteTick, ARestartDuringASessionCarriesTheOldLineOverWithTheCrashMarker) {
    Form1Harness h;
    h.Start();
    h.Tick(true);
    h.Tick(true);
    const std::string oldLine =
        Line("[15.08.2004] 10:01-", "10:03", "2 мин.", "Linux    ", "10.0.0.2");
    h.Kill();

    h.clock.AdvanceMinutes(10);
    TForm1& form = h.Start();
    h.Tick(false);  // offline: the old file stays untouched
    EXPECT_EQ(h.FileText("BegTime.txt"), oldLine + "\r\n");
    EXPECT_EQ(h.FileText("Static.txt"), "");

    h.Tick(true, "10.0.0.3");  // 10:14
    EXPECT_EQ(h.FileText("Static.txt"), oldLine + kCrashMarker + "\r\n");
    EXPECT_EQ(h.FileText("BegTime.txt"),
              Line("[15.08.2004] 10:14-", "10:15", "1 мин.", "Linux    ", "10.0.0.3") + "\r\n");
    EXPECT_EQ(form.SessionMinutes, 1);
    EXPECT_EQ(h.CellOn(2004, 8, 15), 3);
}

TEST(MinuteTick, AFailingFileStepSkipsTheRestOfTheTickAndTheNextTickRunsNormally) {
    Form1Harness h;
    TForm1& form = h.Start();
    h.Tick(true);
    const auto hintsBefore = h.tray->hints.size();

    // A folder where "BegTime.txt" should be makes its rewrite fail.
    fs::remove(h.dir / "BegTime.txt");
    fs::create_directory(h.dir / "BegTime.txt");
    h.Tick(true);
    ASSERT_EQ(h.boxes.Errors().size(), 1u);
    EXPECT_EQ(h.boxes.shown[0].caption, "");
    EXPECT_EQ(h.boxes.Errors()[0].back(), '.');
    EXPECT_EQ(h.CellOn(2004, 8, 15), 2);  // counted and saved before the failing step
    EXPECT_EQ(form.SessionMinutes, 2);
    EXPECT_EQ(h.tray->hints.size(), hintsBefore);  // the hint step was skipped

    fs::remove(h.dir / "BegTime.txt");
    h.Tick(true);
    EXPECT_EQ(h.boxes.Errors().size(), 1u);
    EXPECT_EQ(h.FileText("BegTime.txt"),
              Line("[15.08.2004] 10:01-", "10:04", "3 мин.", "Linux    ", "10.0.0.2") + "\r\n");
    EXPECT_EQ(h.tray->hints.size(), hintsBefore + 1);
}

TEST(MinuteTick, ACurrentSessionFileDeletedByHandIsReportedOnceAndTheSessionCloses) {
    Form1Harness h;
    TForm1& form = h.Start();
    h.Tick(true);
    h.Tick(true);
    fs::remove(h.dir / "BegTime.txt");
    h.Tick(false);
    EXPECT_EQ(h.boxes.Errors(), std::vector<std::string>{"File not found."});
    EXPECT_FALSE(form.SessionOpen);
    EXPECT_EQ(form.SessionMinutes, 0);
    EXPECT_EQ(h.tray->icons.back(), QString::fromStdString((h.dir / "Res/OffLine.ico").string()));
    for (int i = 0; i < 3; ++i) {
        h.Tick(false);
    }
    EXPECT_EQ(h.boxes.Errors().size(), 1u);
    EXPECT_EQ(ReadBytes(h.dir / "Static.txt"), "");
}

TEST(MinuteTick, AHistoryThatCannotBeWrittenKeepsTheSessionUntilItCan) {
    Form1Harness h;
    TForm1& form = h.Start();
    h.Tick(true);
    fs::remove(h.dir / "Static.txt");
    fs::create_directory(h.dir / "Static.txt");
    h.Tick(false);
    EXPECT_EQ(h.boxes.Errors(), std::vector<std::string>{"File access denied."});
    EXPECT_TRUE(form.SessionOpen);
    fs::remove(h.dir / "Static.txt");
    h.Tick(false);
    EXPECT_FALSE(form.SessionOpen);
    EXPECT_EQ(h.FileText("Static.txt"),
              Line("[15.08.2004] 10:01-", "10:02", "1 мин.", "Linux    ", "10.0.0.2") + "\r\n");
}

TEST(MinuteTick, AStartUpStoppedBeforeTheMainPageStillCountsWithoutFurtherErrors) {
    Form1Harness h;
    WriteBytes(h.dir / "Table.dat", std::string(100, '\0'));  // too short: start-up stops
    TForm1& form = h.Start();
    EXPECT_EQ(h.boxes.Errors(), std::vector<std::string>{"Read beyond end of file."});
    h.Tick(true);
    h.Tick(true);
    EXPECT_EQ(h.boxes.Errors().size(), 1u);  // no month to show is not an error
    EXPECT_EQ(form.SessionMinutes, 2);
    EXPECT_EQ(h.CellOn(2004, 8, 15), 2);
}

TEST(MinuteTick, AMissingOnlinePictureIsReportedAndTheSessionStillHasItsStart) {
    Form1Harness h;
    TForm1& form = h.Start();
    fs::remove(h.dir / "Res/OnLine.ico");
    h.Tick(true);
    EXPECT_EQ(
        h.boxes.Errors(),
        std::vector<std::string>{"Cannot open file " + (h.dir / "Res/OnLine.ico").string() + "."});
    EXPECT_TRUE(form.SessionOpen);
    EXPECT_EQ(form.SessionMinutes, 0);

    h.Tick(true);  // counts as the session's first minute, with a proper start
    EXPECT_EQ(form.SessionMinutes, 1);
    EXPECT_EQ(h.FileText("BegTime.txt"),
              Line("[15.08.2004] 10:01-", "10:03", "1 мин.", "Linux    ", "10.0.0.2") + "\r\n");
}

TEST(MinuteTick, TheSystemFamilyLabelsTheSessionLines) {
    const struct {
        OsFamily family;
        std::string label;
    } cases[] = {{OsFamily::WindowsNT, "Win 2000 "},
                 {OsFamily::Windows9x, "Win 9x/Me"},
                 {OsFamily::Linux, "Linux    "}};
    for (const auto& c : cases) {
        Form1Harness h(c.family);
        TForm1& form = h.Start();
        h.Tick(true);
        EXPECT_EQ(form.OSName, c.label);
        EXPECT_EQ(h.FileText("BegTime.txt"),
                  Line("[15.08.2004] 10:01-", "10:02", "1 мин.", c.label, "10.0.0.2") + "\r\n");
    }
}
