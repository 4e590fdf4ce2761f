#include "MonthBounds.h"
#include "OsPlatform.h"
#include "UiFakes.h"
#include "WorkDir.h"

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

TEST(RestoreWorkDir, ChangesToTheRecordedProgramsFolderOnly) {
    const struct {
        std::optional<std::string> recorded;
        std::vector<std::string> changedTo;
    } cases[] = {
        {std::nullopt, {}},
        {"/opt/vimo/vimo", {"/opt/vimo/"}},
        {"/home/a b/My $Vimo/vimo", {"/home/a b/My $Vimo/"}},
        {"/vimo", {"/"}},
        {"vimo", {}},  // no folder part: nothing to change to
    };
    for (const auto& c : cases) {
        FakeAutostart autostart;
        autostart.path = c.recorded;
        FakePlatform platform;
        RestoreWorkDir(autostart, platform);
        EXPECT_EQ(platform.folders, c.changedTo) << c.recorded.value_or("(none)");
    }
}

TEST(LinuxPlatform, KnowsItsOwnExecutable) {
    LinuxPlatform platform;
    EXPECT_EQ(platform.Family(), OsFamily::Linux);
    const auto path = platform.ExecutablePath();
    ASSERT_TRUE(path.has_value());
    EXPECT_TRUE(path->ends_with("/vimo_ui_tests")) << *path;
}

TEST(MonthBounds, UnpaddedTextsAndTheDivisibleByFourFebruary) {
    const struct {
        int month, year;
        std::string first, last;
    } cases[] = {
        {8, 2003, "01.8.2003", "31.8.2003"},    {2, 2004, "01.2.2004", "29.2.2004"},
        {2, 2005, "01.2.2005", "28.2.2005"},    {4, 2010, "01.4.2010", "30.4.2010"},
        {12, 2015, "01.12.2015", "31.12.2015"}, {11, 2026, "01.11.2026", "30.11.2026"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MonthFirstDayText(c.month, c.year), c.first);
        EXPECT_EQ(MonthLastDayText(c.month, c.year), c.last);
    }
}
