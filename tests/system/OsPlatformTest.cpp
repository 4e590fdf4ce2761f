#include "system/OsPlatform.h"

#include <gtest/gtest.h>

#include <string>

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
    EXPECT_TRUE(path->ends_with("/system_tests")) << *path;
}
