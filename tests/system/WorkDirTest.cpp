#include "TempDir.h"
#include "core/Errors.h"
#include "system/WorkDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

namespace fs = std::filesystem;
using testing::StrEq;
using testing::ThrowsMessage;

TEST(RestoreWorkDir, TakesTheRecordedProgramsFolderElseTheFolderStartedIn) {
    TempDir started;
    TempDir installed;
    fs::create_directories(installed / "a b/My $Vimo");
    const std::string home = installed.Path().string();
    const struct {
        std::optional<std::string> recorded;
        fs::path workDir;
    } cases[] = {
        {std::nullopt, started.Path()},
        {home + "/vimo", installed.Path() / ""},
        {home + "/a b/My $Vimo/vimo", installed / "a b/My $Vimo/"},
        {"/vimo", "/"},
        {"vimo", started.Path()},               // no folder part: the folder started in stays
        {home + "/gone/vimo", started.Path()},  // a folder that is not there: the same
        {home + "/a b/My $Vimo", installed / "a b/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RestoreWorkDir(c.recorded, started.Path()), c.workDir)
            << c.recorded.value_or("(none)");
    }
    EXPECT_TRUE(RestoreWorkDir(std::nullopt, ".").is_absolute());

    // Started in a folder since removed: a recorded folder still serves; any
    // case that falls back to the folder started in is a named error.
    for (const auto& c : cases) {
        if (c.workDir != started.Path()) {
            EXPECT_EQ(RestoreWorkDir(c.recorded, std::nullopt), c.workDir);
        } else {
            EXPECT_THAT([&] { RestoreWorkDir(c.recorded, std::nullopt); },
                        ThrowsMessage<EInOutError>(
                            StrEq("The folder the program was started in no longer exists.")))
                << c.recorded.value_or("(none)");
        }
    }
}
