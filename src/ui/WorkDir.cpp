#include "WorkDir.h"

void RestoreWorkDir(const AutostartStore& autostart, OsPlatform& platform) {
    const auto program = autostart.ReadProgramPath();
    if (!program) {
        return;
    }
    const auto slash = program->rfind('/');
    // Everything up to and including the last separator; "/" stays "/".
    const std::string folder = slash == std::string::npos ? "" : program->substr(0, slash + 1);
    if (!folder.empty()) {
        platform.SetCurrentDirectory(folder);
    }
}
