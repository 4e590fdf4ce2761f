#include "ProgramLock.h"
#include "TempDir.h"

#include <gtest/gtest.h>

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
        // Another machine's processes cannot be looked at from here.
        {gone + "\nvimo\nother\nother-id\nboot\n", true},
        {gone + "\nvimo\nvm\nother-id\nboot\n", true},
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
    struct Case {
        std::optional<std::string> lock;
        bool runs;
    };
    const Case cases[] = {
        {std::nullopt, false},
        {"garbage", false},
        {self + "\nvimo\n" + here.Host + "\n" + here.HostId + "\n" + here.BootId + "\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lock.value_or("no lock file"));
        const TempDir folder;
        if (c.lock) {
            WriteBytes(folder / "Vimo.lock", *c.lock);
        }
        EXPECT_EQ(ProgramRunsIn(folder.Path()), c.runs);
    }
}
