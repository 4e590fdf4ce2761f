#include "WorkDir.h"

#include <system_error>

std::filesystem::path RestoreWorkDir(const std::optional<std::string>& autostartProgram,
                                     const std::filesystem::path& startedIn) {
    const std::filesystem::path fallback = std::filesystem::absolute(startedIn);
    if (!autostartProgram) {
        return fallback;
    }
    const auto slash = autostartProgram->rfind('/');
    // Everything up to and including the last separator; "/" stays "/". A
    // path without a folder part leaves the folder started in, and so does a
    // folder that is not there (as changing into it would fail).
    if (slash == std::string::npos) {
        return fallback;
    }
    const std::filesystem::path recorded =
        std::filesystem::absolute(fallback / autostartProgram->substr(0, slash + 1));
    std::error_code unreadable;
    return std::filesystem::is_directory(recorded, unreadable) ? recorded : fallback;
}
