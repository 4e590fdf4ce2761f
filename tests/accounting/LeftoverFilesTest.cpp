#include <gtest/gtest.h>
#include <unistd.h>

#include "TempDir.h"
#include "files/LeftoverFiles.h"

namespace {

TEST(LeftoverFiles, RemovesOnlyTemporariesOfDeadWriters) {
    TempDir dir;
    // Process ids at or above the kernel's largest limit (2^22) never run.
    const std::string dead = "4194305";
    const std::string alive = std::to_string(getpid());
    const struct {
        std::string name;
        bool removed;
    } files[] = {
        {"Table.dat.tmp." + dead + ".0", true},
        {"TableExt.dat.tmp." + dead + ".12", true},
        {"BegTime.txt.tmp." + dead + ".3", true},
        {"Propert.dat.tmp." + alive + ".0", false},  // still being written
        {"Table.dat", false},
        {"Static.txt", false},
        {"notes.txt.tmp." + dead + ".0", false},  // not a data file
    };
    for (const auto& f : files) {
        WriteBytes(dir / f.name, "x");
    }
    // A folder that only looks like a leftover is not the program's.
    const std::string folderName = "Static.txt.tmp." + dead + ".1";
    std::filesystem::create_directory(dir / folderName);
    RemoveLeftoverTemporaryFiles(dir.Path());
    for (const auto& f : files) {
        EXPECT_EQ(std::filesystem::exists(dir / f.name), !f.removed) << f.name;
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir / folderName));
    RemoveLeftoverTemporaryFiles(dir / "no-such-folder");  // ignored
}

}  // namespace
