#include "RunningCopy.h"
#include "TempDir.h"
#include "core/DataFiles.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStringList>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>
#include <string>

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

// One runtime folder for the sockets of every test here, private as a
// session's is.
const SocketPlaces& TestSockets() {
    static const TempDir runtime;
    static const SocketPlaces places{runtime.Path(), runtime.Path()};
    return places;
}

fs::path SocketOf(const fs::path& folder) {
    return TestSockets().RuntimeDir / RunningCopy::ServerName(folder).toStdString();
}

// A running copy that records the requests to show its window.
struct AnsweringCopy {
    explicit AnsweringCopy(const fs::path& folder) : copy(folder, TestSockets(), log) {
        QObject::connect(&copy, &RunningCopy::ShowRequested, [this](const QString& token) {
            ++shows;
            tokens << token;
        });
    }
    std::ostringstream log;
    RunningCopy copy;
    int shows = 0;
    QStringList tokens;  // the activation token of each request
};

// Sends `request` to the copy running in `folder` as another program would.
void SendRequest(const fs::path& folder, const std::string& request) {
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(SocketOf(folder).string()));
    ASSERT_TRUE(socket.waitForConnected(1000));
    socket.write(request.data(), qint64(request.size()));
    ASSERT_TRUE(socket.waitForBytesWritten(1000));
    socket.disconnectFromServer();
}

}  // namespace

TEST(RunningCopy, ALaterStartInTheSameFolderAsksTheRunningCopyToShowItself) {
    const auto sameFolder = [](const TempDir& f, const TempDir&) { return f.Path(); };
    const std::string longest(512, 't');
    const struct {
        const char* what;
        std::function<fs::path(const TempDir& folder, const TempDir& elsewhere)> startedIn;
        Outcome later;
        int shows;
        QString token;                   // the later start's activation token
        QString tokenSeen;               // what the running copy was handed
        std::optional<std::string> raw;  // sent instead of a later start's request
    } cases[] = {
        {"the same folder", sameFolder, Outcome::AnotherCopyRuns, 1, "", "", std::nullopt},
        // The autostart entry's folder comes with a trailing separator.
        {"the same folder with a trailing separator",
         [](const TempDir& f, const TempDir&) { return f.Path() / ""; }, Outcome::AnotherCopyRuns,
         1, "", "", std::nullopt},
        {"the same folder through a symbolic link",
         [](const TempDir& f, const TempDir& e) {
             fs::create_directory_symlink(f.Path(), e / "link");
             return e / "link";
         },
         Outcome::AnotherCopyRuns, 1, "", "", std::nullopt},
        {"a different folder", [](const TempDir&, const TempDir& e) { return e.Path(); },
         Outcome::FirstCopy, 0, "", "", std::nullopt},
        {"a start with the desktop's token", sameFolder, Outcome::AnotherCopyRuns, 1,
         "gnome-shell/Vimo/2208-3-host_TIME4017", "gnome-shell/Vimo/2208-3-host_TIME4017",
         std::nullopt},
        // It would end the request's line early and hand on a token cut short.
        {"a token with a line break", sameFolder, Outcome::AnotherCopyRuns, 1, "abc\ndef", "",
         std::nullopt},
        {"a token of other than plain letters", sameFolder, Outcome::AnotherCopyRuns, 1,
         QString::fromUtf8("токен"), "", std::nullopt},
        {"an older copy's request", sameFolder, Outcome::AnotherCopyRuns, 1, "", "", "show\n"},
        {"a token with a control character", sameFolder, Outcome::AnotherCopyRuns, 1, "", "",
         "show ab\x01"
         "cd\n"},
        {"a token of the longest length", sameFolder, Outcome::AnotherCopyRuns, 1, "",
         QString::fromStdString(longest), "show " + longest + "\n"},
        {"a token too long", sameFolder, Outcome::AnotherCopyRuns, 1, "", "",
         "show " + longest + "t\n"},
        {"a line that asks something else", sameFolder, Outcome::AnotherCopyRuns, 0, "", "",
         "shows\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir folder;
        TempDir elsewhere;
        AnsweringCopy first(folder.Path());
        ASSERT_EQ(first.copy.Acquire(), Outcome::FirstCopy);

        if (c.raw) {
            SendRequest(folder.Path(), *c.raw);
        } else {
            AnsweringCopy later(c.startedIn(folder, elsewhere));
            EXPECT_EQ(later.copy.Acquire(c.token), c.later);
            EXPECT_EQ(later.shows, 0);
            EXPECT_EQ(later.log.str(), "");
        }
        ProcessEventsUntil([&] { return first.shows > 0; }, c.shows > 0 ? 5000 : 300);
        EXPECT_EQ(first.shows, c.shows);
        if (c.shows > 0) {
            EXPECT_EQ(first.tokens, QStringList{c.tokenSeen});
        }
        EXPECT_EQ(first.log.str(), "");
        EXPECT_TRUE(fs::exists(folder.Path() / datafiles::kLock));
    }
}

namespace {

// A copy killed outright: it holds the lock and listens, and ends without
// removing either. True when the child got that far.
bool KilledCopyIn(const fs::path& folder) {
    // Made before the fork, so that the child's socket goes in the same one.
    const SocketPlaces& sockets = TestSockets();
    const pid_t child = ::fork();
    if (child == 0) {
        std::ostringstream quiet;
        RunningCopy dying(folder, sockets, quiet);
        ::_exit(dying.Acquire() == Outcome::FirstCopy ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0 && fs::exists(folder / datafiles::kLock) &&
           fs::exists(SocketOf(folder));
}

// A lock file naming a process that is alive here, this test's, as taken on
// another computer; `lines` are what follows the program's name.
std::function<bool(const fs::path&)> LockFromElsewhere(const std::string& lines) {
    return [lines](const fs::path& folder) {
        WriteBytes(folder / datafiles::kLock, std::to_string(::getpid()) + "\nvimo\n" + lines);
        return true;
    };
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
        // Another computer's process ids name nothing here; a copy running
        // there would hold the file.
        {"taken on another computer", LockFromElsewhere("elsewhere\nother-id\nother-boot\n"), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir folder;
        ASSERT_TRUE(c.leave(folder.Path()));

        std::ostringstream log;
        RunningCopy next(folder.Path(), TestSockets(), log, 300ms);
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
    const struct {
        const char* what;
        std::optional<std::string> lockText;  // written over the live holder's
        int waitsAtLeast;                     // milliseconds
        std::string before, after;            // the notice around the folder's name
    } cases[] = {
        // A live owner that is still starting: it holds the lock, no server yet.
        {"a copy here that is still starting", std::nullopt, 400, "the copy running in ",
         " did not answer; this start ends"},
        // Its lock names another computer, but its holder keeps the file's
        // native lock: a copy there, on a shared folder, is not pushed aside.
        {"a copy on another computer",
         std::to_string(::getpid()) + "\nvimo\nelsewhere\nother-id\nother-boot\n", 0,
         "the lock in ", " is held by a copy on elsewhere; this start ends"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir folder;
        QLockFile holder(QString::fromStdString((folder.Path() / datafiles::kLock).string()));
        ASSERT_TRUE(holder.tryLock(0));
        if (c.lockText) {
            WriteBytes(folder / std::string(datafiles::kLock), *c.lockText);
        }

        std::ostringstream log;
        RunningCopy later(folder.Path(), TestSockets(), log, 400ms);
        QElapsedTimer waited;
        waited.start();
        EXPECT_EQ(later.Acquire(), Outcome::AnotherCopyRuns);
        EXPECT_GE(waited.elapsed(), c.waitsAtLeast);
        EXPECT_EQ(log.str(), "vimo: notice: " + c.before + folder.Path().string() + c.after + "\n");
        EXPECT_TRUE(holder.isLocked());
        EXPECT_TRUE(fs::exists(folder.Path() / datafiles::kLock));
    }
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
        RunningCopy copy(c.folder, TestSockets(), log);
        EXPECT_EQ(copy.Acquire(), Outcome::Unguarded);
        EXPECT_EQ(log.str(), std::string("vimo: notice: cannot lock the working folder (") +
                                 c.reason + "); a second copy would not be noticed\n");
    }
    EXPECT_FALSE(fs::exists(base / "gone"));
}

TEST(RunningCopy, ALockFileThatIsNotAPlainFileStopsTheStart) {
    const std::string lock(datafiles::kLock);
    const std::string guard = lock + ".rmlock";
    const struct {
        const char* what;
        std::function<void(const fs::path& folder)> make;
        std::string name;  // the file the error names
    } cases[] = {
        // Seen as a lock that cannot be removed, it let a second copy count.
        {"a folder", [&](const fs::path& f) { fs::create_directory(f / lock); }, lock},
        // Reading its owner's line would wait for ever.
        {"a FIFO", [&](const fs::path& f) { ASSERT_EQ(::mkfifo((f / lock).c_str(), 0600), 0); },
         lock},
        {"a link to nothing",
         [&](const fs::path& f) { fs::create_symlink(f / "nothing", f / lock); }, lock},
        // The file taken while a stale lock is removed: with a folder there
        // no stale lock could ever be.
        {"a folder at the removal guard's name",
         [&](const fs::path& f) { fs::create_directory(f / guard); }, guard},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir folder;
        c.make(folder.Path());
        std::ostringstream log;
        RunningCopy copy(folder.Path(), TestSockets(), log, 300ms);
        EXPECT_THAT([&] { copy.Acquire(); },
                    testing::ThrowsMessage<ELockFileError>(testing::StrEq(
                        c.name + " is not a plain file; remove it so that Vimo can tell whether "
                                 "it already runs here")));
        EXPECT_EQ(log.str(), "");
        EXPECT_FALSE(fs::exists(SocketOf(folder.Path())));
    }
}

TEST(RunningCopy, AFirstCopyThatCannotListenSaysWhyOnce) {
    const fs::path longTemp = TestSockets().SharedTemp / std::string(90, 't');
    const struct {
        const char* what;
        // Prepares the fault; gives the sockets' places and the reason told.
        std::function<std::pair<SocketPlaces, std::string>(const fs::path& folder)> prepare;
    } cases[] = {
        {"no folder short enough for the socket's path",
         [&](const fs::path&) {
             return std::pair(SocketPlaces{"", longTemp},
                              (longTemp / ("vimo-" + std::to_string(::geteuid()))).string() +
                                  ": the name is too long");
         }},
        // Qt's own text for this was "Unknown error 21".
        {"a folder at the socket's name",
         [](const fs::path& folder) {
             fs::create_directory(SocketOf(folder));
             return std::pair(TestSockets(),
                              SocketOf(folder).string() + ": a folder is in the way");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir folder;
        const auto [sockets, reason] = c.prepare(folder.Path());
        std::ostringstream log;
        RunningCopy first(folder.Path(), sockets, log);
        EXPECT_EQ(first.Acquire(), Outcome::FirstCopy);
        EXPECT_EQ(log.str(), "vimo: notice: cannot answer later starts (" + reason +
                                 "); they end without showing the window\n");
        fs::remove(SocketOf(folder.Path()));
    }
}

TEST(SocketFolder, OnlyAFolderNoOtherUserCanEnterHoldsTheSockets) {
    const uid_t me = ::geteuid();
    constexpr std::size_t kName = 29;  // "vimo-" and 24 hex digits
    using Make = std::function<void(const fs::path&)>;
    const auto folder = [](int mode) -> Make {
        return [mode](const fs::path& at) {
            fs::create_directory(at);
            fs::permissions(at, fs::perms(mode));
        };
    };
    const std::string tooLong(90, 'r');  // the socket's path would not fit
    const struct {
        const char* what;
        std::string runtime;  // its name in the test's folder; empty: not set
        Make makeRuntime;
        Make makeOwn;  // at "<temp>/vimo-<uid>" before the start
        uid_t user;
        std::string chosen;  // "run", "own", or the problem
    } cases[] = {
        {"the user's runtime folder", "run", folder(0700), nullptr, me, "run"},
        {"no runtime folder", "", nullptr, nullptr, me, "own"},
        {"a runtime folder other users may enter", "run", folder(0755), nullptr, me, "own"},
        {"a runtime folder too long", tooLong, folder(0700), nullptr, me, "own"},
        // Another user may have made any of these before the user's first start.
        {"a link at the private folder's name", "", nullptr,
         [](const fs::path& own) { fs::create_directory_symlink(own.parent_path(), own); }, me,
         "a link"},
        {"a private folder other users may enter", "", nullptr, folder(0755), me,
         "other users may enter it"},
        {"folders of another user's", "run", folder(0700), nullptr, me + 1,
         "it belongs to another user"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TempDir temp;
        const fs::path runtime = c.runtime.empty() ? fs::path() : temp / c.runtime;
        const fs::path own = temp / ("vimo-" + std::to_string(c.user));
        if (c.makeRuntime) {
            c.makeRuntime(runtime);
        }
        if (c.makeOwn) {
            c.makeOwn(own);
        }
        const SocketFolder chosen = ChooseSocketFolder({runtime, temp.Path()}, c.user, kName);
        if (c.chosen != "run" && c.chosen != "own") {
            EXPECT_EQ(chosen.Path, "");
            EXPECT_EQ(chosen.Problem, own.string() + ": " + c.chosen);
            continue;
        }
        EXPECT_EQ(chosen.Path, c.chosen == "run" ? runtime : own);
        struct stat st {};
        ASSERT_EQ(::lstat(chosen.Path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0700u);
    }
}
