#include "TempDir.h"
#include "system/ProgramLock.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <optional>
#include <string>

TEST(ProgramLock, AnOwnerRunsWhileItsProcessLivesOnThisBoot) {
    const std::string self = std::to_string(getpid());
    // No process has it: the kernel gives ids below 4194304.
    const std::string gone = "4194304";
    const MachineIds here{"vm", "host-id", "boot-id"};
    struct Case {
        std::string text;
        std::optional<bool> runs;  // none: not a lock file's text
    };
    const Case cases[] = {
        {self + "\nvimo\nvm\nhost-id\nboot-id\n", true},
        {self + "\nvimo\n", true},
        {gone + "\nvimo\nvm\nhost-id\nboot-id\n", false},
        {self + "\nvimo\nvm\nhost-id\nan-earlier-boot\n", false},
        // Another machine's process ids name nothing here, even a live one.
        {self + "\nvimo\nother\nother-id\nboot\n", false},
        {self + "\nvimo\nvm\nother-id\nboot-id\n", false},
        {self + "\nvimo\nother\n", false},
        {"", std::nullopt},
        {"\n", std::nullopt},
        {"vimo\n" + self + "\n", std::nullopt},
        {self + "x\n", std::nullopt},
        {"0\n", std::nullopt},
        {"-1\n", std::nullopt},
        // Cut to a process id, it would name process 1.
        {"4294967297\n", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<LockOwner> owner = ParseLockFile(c.text);
        ASSERT_EQ(owner.has_value(), c.runs.has_value());
        if (owner) {
            EXPECT_EQ(LockOwnerRuns(*owner, here), *c.runs);
        }
    }
}

TEST(ProgramLock, AFolderHasARunningVimoOnlyWithALockOfALiveOwner) {
    const MachineIds here = ThisMachine();
    const std::string self = std::to_string(getpid());
    const std::string elsewhere = self + "\nvimo\nother\nother-id\nboot\n";
    struct Case {
        std::optional<std::string> lock;
        bool held;  // a live process keeps the file's native lock, as a copy does
        bool runs;
    };
    const Case cases[] = {
        {std::nullopt, false, false},
        {"garbage", false, false},
        {self + "\nvimo\n" + here.Host + "\n" + here.HostId + "\n" + here.BootId + "\n", false,
         true},
        // A copy on another machine sharing the folder, and one left by it.
        {elsewhere, true, true},
        {elsewhere, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lock.value_or("no lock file") + (c.held ? ", held" : ""));
        const TempDir folder;
        if (c.lock) {
            WriteBytes(folder / "Vimo.lock", *c.lock);
        }
        const int holder = c.held ? ::open((folder / "Vimo.lock").c_str(), O_RDWR) : -1;
        if (c.held) {
            ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
        }
        EXPECT_EQ(ProgramRunsIn(folder.Path()), c.runs);
        if (holder >= 0) {
            ::close(holder);
        }
    }
}
