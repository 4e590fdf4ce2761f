#include "DataFiles.h"
#include "RunningCopy.h"
#include "TempDir.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <sstream>

namespace fs = std::filesystem;
using Outcome = RunningCopy::Outcome;
using namespace std::chrono_literals;

namespace {

// Runs the event loop until `done` holds or `milliseconds` have passed.
bool ProcessEventsUntil(const std::function<bool()>& done, int milliseconds) {
    const QDeadlineTimer deadline(milliseconds);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

// A running copy that counts the requests to show its window.
struct AnsweringCopy {
    explicit AnsweringCopy(const fs::path& folder) : copy(folder, log) {
        QObject::connect(&copy, &RunningCopy::ShowRequested, [this] { ++shows; });
    }
    std::ostringstream log;
    RunningCopy copy;
    int shows = 0;
};

}  // namespace

TEST(RunningCopy, ALaterStartInTheSameFolderAsksTheRunningCopyToShowItself) {
    const struct {
        const char* what;
        std::function<fs::path(const TempDir& folder, const TempDir& elsewhere)> startedIn;
        Outcome later;
        int shows;
    } cases[] = {
        {"the same folder", [](const TempDir& f, const TempDir&) { return f.Path(); },
         Outcome::AnotherCopyRuns, 1},
        // The autostart entry's folder comes with a trailing separator.
        {"the same folder with a trailing separator",
         [](const TempDir& f, const TempDir&) { return f.Path() / ""; }, Outcome::AnotherCopyRuns,
         1},
        {"the same folder through a symbolic link",
         [](const TempDir& f, const TempDir& e) {
             fs::create_directory_symlink(f.Path(), e / "link");
             return e / "link";
         },
         Outcome::AnotherCopyRuns, 1},
        {"a different folder", [](const TempDir&, const TempDir& e) { return e.Path(); },
         Outcome::FirstCopy, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir folder;
        TempDir elsewhere;
        AnsweringCopy first(folder.Path());
        ASSERT_EQ(first.copy.Acquire(), Outcome::FirstCopy);

        AnsweringCopy later(c.startedIn(folder, elsewhere));
        EXPECT_EQ(later.copy.Acquire(), c.later);
        ProcessEventsUntil([&] { return first.shows > 0; }, c.shows > 0 ? 5000 : 300);
        EXPECT_EQ(first.shows, c.shows);
        EXPECT_EQ(later.shows, 0);
        EXPECT_EQ(first.log.str(), "");
        EXPECT_EQ(later.log.str(), "");
        EXPECT_TRUE(fs::exists(folder.Path() / datafiles::kLock));
    }
}

namespace {

// A copy killed outright: it holds the lock and listens, and ends without
// removing either. True when the child got that far.
bool KilledCopyIn(const fs::path& folder) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::ostringstream quiet;
        RunningCopy dying(folder, quiet);
        ::_exit(dying.Acquire() == Outcome::FirstCopy ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0 && fs::exists(folder / datafiles::kLock) &&
           QFile::exists(QDir::tempPath() + "/" + RunningCopy::ServerName(folder));
}

}  // namespace

TEST(RunningCopy, ALockWithoutALiveOwnerIsTakenOver) {
    const struct {
        const char* what;
        std::function<bool(const fs::path& folder)> leave;
        int waitsAtLeast;  // milliseconds
    } cases[] = {
        {"left by a copy killed outright, with its socket", KilledCopyIn, 0},
        // A lock file without its owner's line: the kill or power cut came
        // between making the file and writing it. Given up after the patience.
        {"cut short before its owner's line",
         [](const fs::path& folder) {
             WriteBytes(folder / datafiles::kLock, "");
             return true;
         },
         300},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir folder;
        ASSERT_TRUE(c.leave(folder.Path()));

        std::ostringstream log;
        RunningCopy next(folder.Path(), log, 300ms);
        int shows = 0;
        QObject::connect(&next, &RunningCopy::ShowRequested, [&shows] { ++shows; });
        QElapsedTimer waited;
        waited.start();
        EXPECT_EQ(next.Acquire(), Outcome::FirstCopy);
        EXPECT_GE(waited.elapsed(), c.waitsAtLeast);
        EXPECT_EQ(log.str(), "");
        AnsweringCopy later(folder.Path());
        EXPECT_EQ(later.copy.Acquire(), Outcome::AnotherCopyRuns);
        EXPECT_TRUE(ProcessEventsUntil([&] { return shows == 1; }, 5000));
    }
}

TEST(RunningCopy, ALaterStartGivesUpOnACopyThatDoesNotAnswerAndEnds) {
    TempDir folder;
    // A live owner that is still starting: it holds the lock, no server yet.
    QLockFile starting(QString::fromStdString((folder.Path() / datafiles::kLock).string()));
    ASSERT_TRUE(starting.tryLock(0));

    std::ostringstream log;
    RunningCopy later(folder.Path(), log, 400ms);
    QElapsedTimer waited;
    waited.start();
    EXPECT_EQ(later.Acquire(), Outcome::AnotherCopyRuns);
    EXPECT_GE(waited.elapsed(), 400);
    EXPECT_EQ(log.str(), "vimo: notice: the copy running in " + folder.Path().string() +
                             " did not answer; this start ends\n");
    EXPECT_TRUE(starting.isLocked());
}

TEST(RunningCopy, AFolderThatCannotBeLockedIsLeftUnguardedWithANotice) {
    TempDir base;
    WriteBytes(base / "file", "");
    const struct {
        const char* what;
        fs::path folder;
        const char* reason;
    } cases[] = {
        {"a folder that is not there", base / "gone", "the folder is not there"},
        {"a plain file", base / "file", "not a folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::ostringstream log;
        RunningCopy copy(c.folder, log);
        EXPECT_EQ(copy.Acquire(), Outcome::Unguarded);
        EXPECT_EQ(log.str(), std::string("vimo: notice: cannot lock the working folder (") +
                                 c.reason + "); a second copy would not be noticed\n");
    }
    EXPECT_FALSE(fs::exists(base / "gone"));
}
