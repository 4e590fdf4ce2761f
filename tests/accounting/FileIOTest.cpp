#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <functional>

#include <optional>
#include <random>

#include "FakeClock.h"
#include "TempDir.h"
#include "core/Errors.h"
#include "files/FileIO.h"
#include "files/UsageTable.h"

namespace {

// Runs `step` in a child process without root's power to ignore
// permissions, and returns the text of the error it threw ("" for none).
std::string ErrorTextAsUnprivilegedUser(const std::function<void()>& step) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return "<pipe failed>";
    const pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(2);
        std::string text;
        try {
            step();
        } catch (const std::exception& e) {
            text = e.what();
        }
        [[maybe_unused]] const ssize_t n = write(pipeFds[1], text.data(), text.size());
        _exit(0);
    }
    close(pipeFds[1]);
    std::string text;
    char buffer[256];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, n);
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return text;
}

TEST(FileIO, ErrnoValuesMapToTheRunTimeTexts) {
    struct Case {
        int error;
        const char* text;
    };
    const Case cases[] = {
        {ENOENT, "File not found"},     {ENOTDIR, "File not found"},
        {EACCES, "File access denied"}, {EROFS, "File access denied"},
        {EISDIR, "File access denied"}, {ENOSPC, "Disk full"},
        {EDQUOT, "Disk full"},          {EIO, "I/O error 5"},
        {EMFILE, "I/O error 24"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(InOutErrorFromErrno(c.error).what(), c.text) << c.error;
    }
}

TEST(FileIO, TemporaryFileNamesTellTheirWriter) {
    const struct {
        std::string name;
        std::optional<pid_t> writer;
    } cases[] = {
        {TemporaryFileName("Table.dat", 4321, 7), 4321},
        {"Table.dat.tmp.4321.7", 4321},
        {"Table.dat.tmp.1.123456789012", 1},
        {"Table.dat", std::nullopt},
        {"Table.dat.tmp.4321", std::nullopt},  // no serial
        {"Table.dat.tmp.4321.", std::nullopt},
        {"Table.dat.tmp.4321.x", std::nullopt},
        {"Table.dat.tmp.4321.7.1", std::nullopt},
        {"Table.dat.tmp.abc.0", std::nullopt},
        {"Table.dat.tmp..0", std::nullopt},
        {"Table.dat.tmp.0.0", std::nullopt},
        {"Table.dat.tmp.-5.0", std::nullopt},
        {"Table.dat.tmp.99999999999.0", std::nullopt},  // beyond any process id
        {"Table.dat.bak.4321.7", std::nullopt},
        {"TableExt.dat.tmp.4321.7", std::nullopt},  // another file's replacement
        {"Table.dat.tmp.4321.7x", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TemporaryFileWriter(c.name, "Table.dat"), c.writer) << c.name;
    }
    EXPECT_EQ(TemporaryFileName("Table.dat", 4321, 7), "Table.dat.tmp.4321.7");
}

TEST(FileIO, ReplaceLeavesNoTemporaryFiles) {
    TempDir dir;
    ReplaceFileAtomically(dir / "a.dat", "one");
    ReplaceFileAtomically(dir / "a.dat", "two");
    EXPECT_EQ(ReadBytes(dir / "a.dat"), "two");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(FileIO, ReadOnlyFolderRefusesAndKeepsTheOldFile) {
    TempDir dir;
    FakeClock clock;
    clock.Set(2004, 12, 8, 9, 0, 0);
    TUsageTable table(dir.Path());
    table.LoadTable();
    table.UpdateTable(clock);
    table.SaveTable();
    const std::string stored = ReadBytes(dir / "Table.dat");
    std::filesystem::permissions(
        dir.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                        std::filesystem::perms::others_read | std::filesystem::perms::others_exec);
    const std::string text = ErrorTextAsUnprivilegedUser([&] {
        table.UpdateTable(clock);
        table.SaveTable();
    });
    EXPECT_EQ(text, "File access denied");
    EXPECT_EQ(ReadBytes(dir / "Table.dat"), stored);
    EXPECT_EQ(
        ErrorTextAsUnprivilegedUser([&] { AppendDurably(dir / "Static.txt", "x\r\n", true); }),
        "File access denied");
}

TEST(FileIO, AppendWithoutCreateNeedsTheFile) {
    TempDir dir;
    EXPECT_THAT([&] { AppendDurably(dir / "Static.txt", "line\r\n", false); },
                testing::ThrowsMessage<EInOutError>(testing::StrEq("File not found")));
    AppendDurably(dir / "Static.txt", "a\r\n", true);
    AppendDurably(dir / "Static.txt", "b\r\n", false);
    EXPECT_EQ(ReadBytes(dir / "Static.txt"), "a\r\nb\r\n");
    EXPECT_EQ(ReadTail(dir / "Static.txt", 3), "b\r\n");
    EXPECT_EQ(ReadTail(dir / "Static.txt", 100), "a\r\nb\r\n");
}

// Each step's error names the file it was for, by its name in the folder;
// a replacement's temporary file is named after the file it replaces.
TEST(FileIO, ErrorsNameTheFileOfTheStep) {
    TempDir dir;
    std::filesystem::create_directory(dir / "Table.dat");
    const struct {
        const char* file;
        std::function<void()> step;
    } cases[] = {
        {"BegTime.txt", [&] { ReadWholeFile(dir / "BegTime.txt"); }},
        {"Static.txt", [&] { ReadTail(dir / "Static.txt", 10); }},
        {"Static.txt", [&] { AppendDurably(dir / "Static.txt", "x\r\n", false); }},
        {"Table.dat", [&] { ReplaceFileAtomically(dir / "Table.dat", "x"); }},
        {"Propert.dat", [&] { ReplaceFileAtomically(dir / "no" / "Propert.dat", "x"); }},
    };
    for (const auto& c : cases) {
        EXPECT_THAT(c.step, testing::Throws<EInOutError>(
                                testing::Field(&EInOutError::File, testing::StrEq(c.file))))
            << c.file;
    }
}

// Every read takes regular files only: a FIFO would hold the read until a
// writer came, a device such as /dev/zero never ends. A regular file longer
// than a bounded read's limit comes back one byte over it.
TEST(FileIO, ReadsRefuseWhatIsNoRegularFile) {
    TempDir dir;
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", dir / "zero");
    for (const char* name : {"fifo", "zero"}) {
        const std::filesystem::path path = dir / name;
        const std::function<void()> reads[] = {
            [&] { ReadWholeFile(path); },
            [&] { ReadPrefix(path, 16); },
            [&] { ReadTail(path, 16); },
            [&] {
                ReadInPieces(path, 16, [](std::string_view piece, bool) { return piece.size(); });
            },
        };
        for (const auto& read : reads) {
            EXPECT_THAT(read, testing::Throws<EInOutError>(testing::AllOf(
                                  testing::Field(&EInOutError::Code, EInOutError::kNotRegularFile),
                                  testing::Field(&EInOutError::File, testing::StrEq(name)))))
                << name;
        }
    }
    ReplaceFileAtomically(dir / "plan", std::string(100, 'x'));
    EXPECT_EQ(ReadWholeFile(dir / "plan", 100).size(), 100u);
    EXPECT_EQ(ReadWholeFile(dir / "plan", 40).size(), 41u);
}

// A child saves the table over and over, each save one tick more than the
// last; it is killed at random instants. Every time, the file must be whole
// and hold one of the saved states.
TEST(FileIO, TableSurvivesKillsAtRandomInstants) {
    TempDir dir;
    std::mt19937 random(20041208);
    constexpr int kKills = 60;
    const std::size_t dec8 = 372 + 11 * 31 + 7;
    unsigned previousCount = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        if (child == 0) {
            close(ready[0]);
            FakeClock clock;
            clock.Set(2004, 12, 8, 9, 0, 0);
            TUsageTable table(dir.Path());
            try {
                table.LoadTable();
                table.UpdateTable(clock);
                table.SaveTable();
                // Saving from now on: the parent may kill at any instant.
                [[maybe_unused]] const ssize_t n = write(ready[1], "r", 1);
                for (;;) {
                    table.UpdateTable(clock);
                    table.SaveTable();
                }
            } catch (...) {
                _exit(3);
            }
        }
        close(ready[1]);
        pollfd wait{ready[0], POLLIN, 0};
        ASSERT_EQ(poll(&wait, 1, 30000), 1) << "the saving child never got going";
        close(ready[0]);
        usleep(random() % 20000);
        ::kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child stopped by itself";

        const std::string bytes = ReadBytes(dir / "Table.dat");
        ASSERT_EQ(bytes.size(), 9672u) << "after kill " << kill;
        // Every cell except 8 December 2004 stays zero, and that one holds a
        // state at least as new as the one the next run started from.
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (i / 2 != dec8) {
                ASSERT_EQ(bytes[i], 0) << "byte " << i << " after kill " << kill;
            }
        }
        const unsigned count = static_cast<unsigned char>(bytes[2 * dec8]) |
                               static_cast<unsigned char>(bytes[2 * dec8 + 1]) << 8;
        ASSERT_GT(count, previousCount) << "after kill " << kill;
        previousCount = count;
        ASSERT_EQ(ReadBytes(dir / "TableExt.dat").size(), 62496u);
    }
}

}  // namespace
