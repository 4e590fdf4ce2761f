#include "TempDir.h"
#include "core/Errors.h"
#include "system/AutostartStore.h"
#include "system/DesktopExec.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// Runs Debian's desktop-file-validate over `file`; true when it finds no error.
bool PassesDesktopFileValidate(const std::filesystem::path& file) {
    const std::string command =
        "desktop-file-validate '" + file.string() + "' > '" + file.string() + ".log' 2>&1";
    return std::system(command.c_str()) == 0;
}

const char* const kAwkwardPaths[] = {
    "/opt/vimo/vimo",
    "/home/user/My Programs/vimo",
    "/home/user/say \"hi\"/vimo",
    "/home/user/$HOME/vimo",
    "/home/user/`date`/vimo",
    "/home/user/back\\slash/vimo",
    "/home/user/100%/vimo",
    "/home/user/100% sure/vimo",
    "/home/user/a\\$b`c\"d%e f/vimo",
    "/home/user/semi;colon&(paren)/vimo",
    "/home/user/tab\there/vimo",
    "/home/user/Программы/vimo",
};

}  // namespace

TEST(DesktopExec, QuotesOnlyWhatNeedsQuoting) {
    EXPECT_EQ(DesktopExecValue("/opt/vimo/vimo"), "/opt/vimo/vimo");
    EXPECT_EQ(DesktopExecValue("/a b/vimo"), "\"/a b/vimo\"");
    EXPECT_EQ(DesktopExecValue("/a%b/vimo"), "/a%%b/vimo");
    EXPECT_EQ(DesktopExecValue("/a$b/vimo"), "\"/a\\\\$b/vimo\"");
    EXPECT_EQ(DesktopExecValue("/a\\b/vimo"), "\"/a\\\\\\\\b/vimo\"");
}

TEST(DesktopExec, RefusesDamagedValues) {
    for (const char* value : {"", "   ", "\"/unterminated/vimo", "/a/%f", "/a/vimo%", "\\q",
                              "/bare$dollar/vimo", "\"/bad\\q/vimo\""}) {
        EXPECT_EQ(ProgramFromDesktopExec(value), std::nullopt) << value;
    }
    EXPECT_EQ(ProgramFromDesktopExec("/opt/vimo/vimo --flag"), "/opt/vimo/vimo");
}

TEST(DesktopAutostartStore, AwkwardPathsRoundTripAndPassTheValidator) {
    TempDir dir;
    DesktopAutostartStore store(dir / "config/autostart/Vimo.desktop");
    for (const char* path : kAwkwardPaths) {
        store.Write(path);
        EXPECT_EQ(store.ReadProgramPath(), path);
        EXPECT_TRUE(PassesDesktopFileValidate(store.File()))
            << path << "\n"
            << ReadBytes(store.File()) << ReadBytes(store.File().string() + ".log");
    }
}

TEST(DesktopAutostartStore, WritesAUtf8EntryWithLfEnds) {
    TempDir dir;
    DesktopAutostartStore store(dir / "autostart/Vimo.desktop");
    store.Write("/opt/Программы/vimo");
    EXPECT_EQ(ReadBytes(store.File()),
              "[Desktop Entry]\nType=Application\nName=Vimo\nExec=/opt/Программы/vimo\n");
    store.Write("/opt/other/vimo");  // replaces, never adds a second entry
    EXPECT_EQ(ReadBytes(store.File()),
              "[Desktop Entry]\nType=Application\nName=Vimo\nExec=/opt/other/vimo\n");
    store.Remove();
    EXPECT_FALSE(std::filesystem::exists(store.File()));
    EXPECT_NO_THROW(store.Remove());  // nothing left to remove
    EXPECT_EQ(store.ReadProgramPath(), std::nullopt);
}

TEST(DesktopAutostartStore, MissingEmptyHiddenOrDamagedEntriesCountAsAbsent) {
    const char* const contents[] = {
        "",
        "[Desktop Entry]\nType=Application\nName=Vimo\n",
        "[Desktop Entry]\nType=Application\nExec=/opt/vimo/vimo\nHidden=true\n",
        "[Desktop Entry]\nExec=\"/opt/vimo/vimo\n",
        "[Other Group]\nExec=/opt/vimo/vimo\n",
        "\xff\xfe garbage without groups",
    };
    TempDir dir;
    DesktopAutostartStore store(dir / "Vimo.desktop");
    EXPECT_EQ(store.ReadProgramPath(), std::nullopt);  // missing
    for (const char* text : contents) {
        WriteBytes(store.File(), text);
        EXPECT_EQ(store.ReadProgramPath(), std::nullopt) << text;
    }
    fs::remove(store.File());
    fs::create_directory(store.File());  // a folder in the file's place reads as nothing
    EXPECT_EQ(store.ReadProgramPath(), std::nullopt);
    fs::remove(store.File());
    ASSERT_EQ(mkfifo(store.File().c_str(), 0600), 0);  // so does a FIFO, without waiting
    EXPECT_EQ(store.ReadProgramPath(), std::nullopt);
    fs::remove(store.File());
    WriteBytes(store.File(), "[Desktop Entry]\nExec=/opt/vimo/vimo\n" + std::string(70000, '#'));
    EXPECT_EQ(store.ReadProgramPath(), std::nullopt);  // too large to be an entry
    fs::remove(store.File());
    WriteBytes(store.File(), "[Desktop Entry]\r\nExec = /opt/vimo/vimo\r\nHidden=false\r\n");
    EXPECT_EQ(store.ReadProgramPath(), "/opt/vimo/vimo");
}

TEST(DesktopAutostartStore, AFolderInTheWayFailsClearlyAndChangesNothing) {
    TempDir dir;
    WriteBytes(dir / "autostart", "a file where the folder should be");
    DesktopAutostartStore store(dir / "autostart/Vimo.desktop");
    EXPECT_THROW(store.Write("/opt/vimo/vimo"), Exception);
    EXPECT_EQ(ReadBytes(dir / "autostart"), "a file where the folder should be");
    EXPECT_EQ(store.ReadProgramPath(), std::nullopt);
}

TEST(DefaultAutostartFile, FollowsXdgConfigHomeElseHome) {
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const std::string savedXdg = oldXdg != nullptr ? oldXdg : "";
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome != nullptr ? oldHome : "";
    setenv("XDG_CONFIG_HOME", "/tmp/xdg", 1);
    EXPECT_EQ(DefaultAutostartFile(), "/tmp/xdg/autostart/Vimo.desktop");
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(DefaultAutostartFile(), "/home/someone/.config/autostart/Vimo.desktop");
    if (oldXdg != nullptr) {
        setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
    }
    if (oldHome != nullptr) {
        setenv("HOME", savedHome.c_str(), 1);
    }
}
