#include "system/WorkDir.h"

#include "core/Errors.h"

#include <system_error>

namespace {

std::filesystem::path FolderStartedIn(const std::optional<std::filesystem::path>& startedIn) {
    if (!startedIn) {
        throw EInOutError(EInOutError::kFileNotFound,
                          "The folder the program was started in no longer exists.");
    }
    return std::filesystem::absolute(*startedIn);
}

}  // namespace

std::filesystem::path RestoreWorkDir(const std::optional<std::string>& autostartProgram,
                                     const std::optional<std::filesystem::path>& startedIn) {
    if (!autostartProgram) {
        return FolderStartedIn(startedIn);
    }
    const auto slash = autostartProgram->rfind('/');
    // Everything up to and including the last separator; "/" stays "/". A
    // path without a folder part leaves the folder started in, and so does a
    // folder that is not there (as changing into it would fail).
    if (slash == std::string::npos) {
        return FolderStartedIn(startedIn);
    }
    std::filesystem::path recorded = autostartProgram->substr(0, slash + 1);
    if (recorded.is_relative()) {
        recorded = FolderStartedIn(startedIn) / recorded;
    }
    std::error_code unreadable;
    return std::filesystem::is_directory(recorded, unreadable) ? recorded
                                                               : FolderStartedIn(startedIn);
}

std::optional<std::filesystem::path> StartedInFolder() {
    std::error_code removed;
    std::filesystem::path folder = std::filesystem::current_path(removed);
    if (removed) {
        return std::nullopt;
    }
    return folder;
}
