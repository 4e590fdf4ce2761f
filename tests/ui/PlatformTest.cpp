#include "UiFakes.h"
#include "WindowActivation.h"
#include "system/OsPlatform.h"

#include <gtest/gtest.h>

TEST(IdentifyOs, LabelsAreNineCharactersAndLinuxUsesTheNtChoice) {
    const struct {
        OsFamily family;
        bool isNT;
        std::string name;
    } cases[] = {
        {OsFamily::WindowsNT, true, "Win 2000 "},
        {OsFamily::Windows9x, false, "Win 9x/Me"},
        {OsFamily::Linux, true, "Linux    "},
    };
    for (const auto& c : cases) {
        const OsIdentity identity = IdentifyOs(c.family);
        EXPECT_EQ(identity.IsNT, c.isNT);
        EXPECT_EQ(identity.OSName, c.name);
        EXPECT_EQ(identity.OSName.size(), 9u);
    }
}

TEST(LinuxPlatform, KnowsItsOwnExecutable) {
    LinuxPlatform platform;
    EXPECT_EQ(platform.Family(), OsFamily::Linux);
    const auto path = platform.ExecutablePath();
    ASSERT_TRUE(path.has_value());
    EXPECT_TRUE(path->ends_with("/vimo_ui_tests")) << *path;
}

TEST(StartupIdTime, IsTheServerTimeAtTheIdsEnd) {
    const struct {
        const char* id;
        std::optional<std::uint32_t> time;
    } cases[] = {
        {"gnome-shell/Vimo/2208-3-host_TIME4017", 4017},
        // The last mark counts: a host may carry the word in its name.
        {"host_TIME1-vimo-7_TIME4294967295", 4294967295u},
        {"xdotool-12", std::nullopt},
        {"vimo_TIME", std::nullopt},
        {"vimo_TIME12a", std::nullopt},
        {"vimo_TIME-5", std::nullopt},
        {"vimo_TIME4294967296", std::nullopt},  // more than a server time holds
        {"vimo_TIME0", std::nullopt},           // X's "now", no action's time
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(StartupIdTime(c.id), c.time);
    }
}
