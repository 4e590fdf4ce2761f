#include "WorkDir.h"

std::filesystem::path RestoreWorkDir(const std::optional<std::string>& autostartProgram,
                                     const std::filesystem::path& startedIn) {
    const std::filesystem::path fallback = std::filesystem::absolute(startedIn);
    if (!autostartProgram) {
        return fallback;
    }
    const auto slash = autostartProgram->rfind('/');
    // Everything up to and including the last separator; "/" stays "/". A
    // path without a folder part leaves the folder started in.
    if (slash == std::string::npos) {
        return fallback;
    }
    return std::filesystem::absolute(fallback / autostartProgram->substr(0, slash + 1));
}
