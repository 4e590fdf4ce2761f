#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakeClock.h"
#include "TempDir.h"
#include "core/Codec1251.h"
#include "core/Errors.h"
#include "files/FileIO.h"
#include "files/SessionLog.h"

namespace {

const std::string kNT = "Win 2000 ";

class SessionLogTest : public ::testing::Test {
  protected:
    // Runs `ticks` online ticks of one session, the first at hh:mm.
    void RunSession(int y, int mo, int d, int hh, int mm, uint32_t ticks,
                    const std::string& address = "192.168.0.15") {
        clock.Set(y, mo, d, hh, mm, 0);
        log.SaveFirstDTime(address);
        for (uint32_t n = 1; n <= ticks; ++n) {
            if (n > 1)
                clock.AdvanceMinutes(1);
            log.SaveNewTimeToFile(n);
        }
    }

    std::string BegTime() const { return FromCp1251(ReadBytes(dir / "BegTime.txt")); }
    std::string History() const { return FromCp1251(ReadBytes(dir / "Static.txt")); }

    TempDir dir;
    FakeClock clock;
    TSessionLog log{dir.Path(), clock, kNT};
};

TEST_F(SessionLogTest, DesignExampleByteForByte) {
    RunSession(2004, 12, 8, 9, 5, 75);
    const std::string line =
        "[08.12.2004] 09:05-10:20   время = 1 ч. 15 мин.  Win 2000    192.168.0.15   ";
    EXPECT_EQ(BegTime(), line + "\r\n");
    // Windows-1251 on disk: 76 bytes and CR LF.
    const std::string raw = ReadBytes(dir / "BegTime.txt");
    EXPECT_EQ(raw.size(), 78u);
    EXPECT_EQ(raw, ToCp1251(line) + "\r\n");
    EXPECT_EQ(raw.substr(27, 9), "\xE2\xF0\xE5\xEC\xFF = 1");
}

TEST_F(SessionLogTest, LineWidthsForTypicalDurations) {
    struct Case {
        uint32_t ticks;
        const char* durationAndBlanks;
    };
    const Case cases[] = {
        {1, "1 мин.        "},
        {60, "1 час.        "},
        {61, "1 ч. 1 мин.   "},
        {615, "10 ч. 15 мин. "},
    };
    for (const Case& c : cases) {
        const std::string line =
            SessionLine("[08.12.2004] 09:05-", c.ticks, EncodeDateTime(2004, 12, 8, 9, 5, 0), kNT,
                        "10.0.0.1       ");
        EXPECT_EQ(FromCp1251(ToCp1251(line)).size(), line.size());
        EXPECT_EQ(ToCp1251(line).size(), 76u) << c.ticks;
        EXPECT_NE(line.find(std::string("= ") + c.durationAndBlanks + "Win 2000 "),
                  std::string::npos)
            << line;
    }
    // From 100 hours on the duration field has its own width and the rest shifts.
    EXPECT_EQ(
        ToCp1251(SessionLine("[08.12.2004] 09:05-", 6000, 0, kNT, std::string(15, ' '))).size(),
        72u);
    EXPECT_EQ(
        ToCp1251(SessionLine("[08.12.2004] 09:05-", 65535, 0, kNT, std::string(15, ' '))).size(),
        79u);
}

TEST_F(SessionLogTest, OneTickSessionEndsAMinuteAfterItsStart) {
    RunSession(2004, 12, 8, 9, 5, 1, "");
    EXPECT_EQ(BegTime(), "[08.12.2004] 09:05-09:06   время = 1 мин.        Win 2000    " +
                             std::string(15, ' ') + "\r\n");
}

TEST_F(SessionLogTest, SessionAcrossMidnightKeepsItsStartDate) {
    RunSession(2004, 12, 31, 23, 58, 4, "10.1.2.3");
    EXPECT_EQ(BegTime().substr(0, 24), "[31.12.2004] 23:58-00:02");
}

TEST_F(SessionLogTest, AddressIsCutAndPadded) {
    RunSession(2004, 12, 8, 9, 5, 1, "1234567890123456789");
    EXPECT_EQ(log.SessionIP(), "123456789012345");
    RunSession(2004, 12, 8, 9, 5, 1, "10.0.0.7");
    EXPECT_EQ(log.SessionIP(), "10.0.0.7       ");
    EXPECT_EQ(log.SessionHead(), "[08.12.2004] 09:05-");
}

TEST_F(SessionLogTest, ClosedSessionsAppendInOrder) {
    CreateEmptyFile(dir / "Static.txt");
    RunSession(2004, 12, 8, 9, 5, 2);
    log.CloseSession();
    EXPECT_FALSE(FileExists(dir / "BegTime.txt"));
    RunSession(2004, 12, 8, 14, 0, 3, "10.0.0.9");
    log.CloseSession();
    EXPECT_EQ(History(),
              "[08.12.2004] 09:05-09:07   время = 2 мин.        Win 2000    192.168.0.15   \r\n"
              "[08.12.2004] 14:00-14:03   время = 3 мин.        Win 2000    10.0.0.9       \r\n");
}

TEST_F(SessionLogTest, AHistoryEndingMidLineGetsItsLineEndBeforeTheNextLine) {
    const std::string handEdited = "[07.12.2004] 20:00-20:42   cut short";
    WriteBytes(dir / "Static.txt", handEdited);
    RunSession(2004, 12, 8, 9, 5, 2);
    log.CloseSession();
    const std::string line =
        "[08.12.2004] 09:05-09:07   время = 2 мин.        Win 2000    192.168.0.15   \r\n";
    EXPECT_EQ(History(), handEdited + "\r\n" + line);
    // Lines that end in a bare line feed are whole lines: nothing is added.
    WriteBytes(dir / "Static.txt", handEdited + "\n");
    RunSession(2004, 12, 8, 9, 5, 2);
    log.CloseSession();
    EXPECT_EQ(History(), handEdited + "\n" + line);
}

TEST_F(SessionLogTest, LeftOverLineIsCarriedOverWithTheCrashMarker) {
    RunSession(2004, 12, 8, 9, 5, 75);
    const std::string oldLine = BegTime().substr(0, BegTime().size() - 2);
    // A new run: its first session carries the old line over, creating the
    // history when it is missing.
    TSessionLog nextRun(dir.Path(), clock, kNT);
    clock.Set(2004, 12, 9, 8, 0, 0);
    nextRun.SaveFirstDTime("10.0.0.1");
    EXPECT_EQ(History(), oldLine + "   Аварийное завершение !\r\n");
    EXPECT_FALSE(FileExists(dir / "BegTime.txt"));
    nextRun.SaveNewTimeToFile(1);
    EXPECT_EQ(BegTime().substr(0, 24), "[09.12.2004] 08:00-08:01");
}

TEST_F(SessionLogTest, EmptyLeftOverLineBecomesTheMarkerAlone) {
    WriteBytes(dir / "BegTime.txt", "");
    clock.Set(2004, 12, 9, 8, 0, 0);
    log.SaveFirstDTime("10.0.0.1");
    EXPECT_EQ(History(), "   Аварийное завершение !\r\n");
}

TEST_F(SessionLogTest, CarryOverAfterAnInterruptedCloseDoesNotDuplicate) {
    // A run stopped after appending the line but before deleting BegTime.txt.
    RunSession(2004, 12, 8, 9, 5, 3);
    const std::string raw = ReadBytes(dir / "BegTime.txt");
    log.CloseSession();
    WriteBytes(dir / "BegTime.txt", raw);
    TSessionLog nextRun(dir.Path(), clock, kNT);
    nextRun.SaveFirstDTime("10.0.0.1");
    EXPECT_EQ(ReadBytes(dir / "Static.txt"), raw);
    // Same for a stop between the carry-over's append and its deletion.
    WriteBytes(dir / "BegTime.txt", raw);
    nextRun.SaveFirstDTime("10.0.0.1");
    EXPECT_EQ(ReadBytes(dir / "Static.txt"), raw);
}

TEST_F(SessionLogTest, FailedCarryOverNeverOverwritesTheOldLine) {
    RunSession(2004, 12, 8, 9, 5, 5);
    const std::string oldRaw = ReadBytes(dir / "BegTime.txt");
    std::filesystem::create_directory(dir / "Static.txt");  // the history cannot be written
    TSessionLog nextRun(dir.Path(), clock, kNT);
    clock.Set(2004, 12, 9, 8, 0, 0);
    EXPECT_THROW(nextRun.SaveFirstDTime("10.0.0.1"), EInOutError);
    EXPECT_THROW(nextRun.SaveNewTimeToFile(1), EInOutError);
    EXPECT_EQ(ReadBytes(dir / "BegTime.txt"), oldRaw);
    // When the history is writable again the old line goes first, then the
    // new session's own line is written.
    std::filesystem::remove(dir / "Static.txt");
    nextRun.SaveNewTimeToFile(2);
    EXPECT_EQ(ReadBytes(dir / "Static.txt"),
              oldRaw.substr(0, oldRaw.size() - 2) + ToCp1251("   Аварийное завершение !\r\n"));
    EXPECT_EQ(BegTime().substr(0, 24), "[09.12.2004] 08:00-08:01");
}

TEST_F(SessionLogTest, CloseWithoutBegTimeReportsFileNotFound) {
    RunSession(2004, 12, 8, 9, 5, 2);
    std::filesystem::remove(dir / "BegTime.txt");
    EXPECT_THAT([&] { log.CloseSession(); },
                testing::Throws<EInOutError>(testing::AllOf(
                    testing::Property(&EInOutError::what, testing::StrEq("File not found")),
                    testing::Field(&EInOutError::Code, EInOutError::kFileNotFound))));
}

}  // namespace
