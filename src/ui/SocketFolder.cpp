#include "SocketFolder.h"

#include "SystemErrorText.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <cerrno>

namespace {

constexpr mode_t kPrivateMode = 0700;

// Room for the path in a socket address: its terminator, and one byte more
// that Qt keeps for abstract names.
constexpr std::size_t kMaxSocketPath = sizeof(sockaddr_un::sun_path) - 2;

bool HoldsName(const std::filesystem::path& folder, std::size_t nameLength) {
    return folder.native().size() + 1 + nameLength <= kMaxSocketPath;
}

// Why a folder with the status `st` is not private to `user`; empty when it is.
std::string NotPrivate(const struct stat& st, uid_t user) {
    if (!S_ISDIR(st.st_mode)) {
        return "not a folder";
    }
    if (st.st_uid != user) {
        return "it belongs to another user";
    }
    if ((st.st_mode & 0777) != kPrivateMode) {
        return "other users may enter it";
    }
    return {};
}

}  // namespace

SocketFolder ChooseSocketFolder(const SocketPlaces& places, uid_t user, std::size_t nameLength) {
    struct stat st {};
    const std::filesystem::path& runtime = places.RuntimeDir;
    if (runtime.is_absolute() && HoldsName(runtime, nameLength) &&
        ::stat(runtime.c_str(), &st) == 0 && NotPrivate(st, user).empty()) {
        return {runtime, {}};
    }

    const std::filesystem::path own = places.SharedTemp / ("vimo-" + std::to_string(user));
    if (!HoldsName(own, nameLength)) {
        return {{}, own.string() + ": " + SystemErrorText(ENAMETOOLONG)};
    }
    if (::mkdir(own.c_str(), kPrivateMode) == 0) {
        // The user's umask may have taken bits away; the check below tells.
        ::chmod(own.c_str(), kPrivateMode);
    } else if (errno != EEXIST) {
        return {{}, own.string() + ": " + SystemErrorText(errno)};
    }
    // Not followed: a link there may point anywhere, made by anyone.
    if (::lstat(own.c_str(), &st) != 0) {
        return {{}, own.string() + ": " + SystemErrorText(errno)};
    }
    if (S_ISLNK(st.st_mode)) {
        return {{}, own.string() + ": a link"};
    }
    if (const std::string why = NotPrivate(st, user); !why.empty()) {
        return {{}, own.string() + ": " + why};
    }
    return {own, {}};
}
