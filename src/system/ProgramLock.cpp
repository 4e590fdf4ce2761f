#include "system/ProgramLock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <limits>
#include <vector>

#include "core/DataFiles.h"
#include "core/Errors.h"
#include "files/FileIO.h"

namespace {

// More than any line of a lock file or an id file holds.
constexpr std::size_t kMaxReadBytes = 4096;

std::vector<std::string_view> LinesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return lines;
}

// The first line of a small system file, without blanks around it; empty
// when it cannot be read.
std::string FirstLineOf(const std::filesystem::path& path) {
    try {
        // The text outlives the views into it.
        const std::string text = ReadPrefix(path, kMaxReadBytes);
        const std::vector<std::string_view> lines = LinesOf(text);
        if (lines.empty()) {
            return {};
        }
        std::string_view line = lines.front();
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos) {
            return {};
        }
        line = line.substr(first, line.find_last_not_of(" \t") - first + 1);
        return std::string(line);
    } catch (const EInOutError&) {
        return {};
    }
}

}  // namespace

std::optional<LockOwner> ParseLockFile(std::string_view text) {
    const std::vector<std::string_view> lines = LinesOf(text);
    if (lines.empty()) {
        return std::nullopt;
    }
    int64_t pid = 0;
    const std::string_view first = lines[0];
    const auto [end, error] = std::from_chars(first.data(), first.data() + first.size(), pid);
    // 0 and negative numbers would name process groups to kill().
    if (error != std::errc() || end != first.data() + first.size() || pid <= 0 ||
        pid > std::numeric_limits<pid_t>::max()) {
        return std::nullopt;
    }
    LockOwner owner;
    owner.Pid = pid;
    const auto line = [&lines](std::size_t index) {
        return index < lines.size() ? std::string(lines[index]) : std::string();
    };
    owner.Host = line(2);
    owner.HostId = line(3);
    owner.BootId = line(4);
    return owner;
}

MachineIds ThisMachine() {
    MachineIds here;
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0) {
        here.Host = host;
    }
    here.HostId = FirstLineOf("/etc/machine-id");
    if (here.HostId.empty()) {
        here.HostId = FirstLineOf("/var/lib/dbus/machine-id");
    }
    here.BootId = FirstLineOf("/proc/sys/kernel/random/boot_id");
    return here;
}

bool LockOwnerRuns(const LockOwner& owner, const MachineIds& here) {
    // The machine id tells hosts apart better than a name, when both have it.
    bool sameHost = owner.Host.empty() || owner.Host == here.Host;
    if (!owner.HostId.empty() && !here.HostId.empty()) {
        sameHost = owner.HostId == here.HostId;
    }
    // Another machine's process ids say nothing here; a copy running there
    // shows by holding the file's native lock.
    if (!sameHost) {
        return false;
    }
    // After a restart of the machine its id is some other process's.
    if (!owner.BootId.empty() && !here.BootId.empty() && owner.BootId != here.BootId) {
        return false;
    }
    // EPERM: the process is there but belongs to another user.
    return ::kill(static_cast<pid_t>(owner.Pid), 0) == 0 || errno == EPERM;
}

std::optional<LockOwner> ReadLockFile(const std::filesystem::path& lockFile) {
    try {
        return ParseLockFile(ReadPrefix(lockFile, kMaxReadBytes));
    } catch (const EInOutError&) {
        return std::nullopt;
    }
}

bool LockFileHeld(const std::filesystem::path& lockFile) {
    // Not waiting on a FIFO, not following a link: only the file itself.
    const int fd = ::open(lockFile.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat st {};
    bool held = false;
    // Asks with a shared lock, given up at once: a holder's exclusive lock
    // refuses it.
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    }
    ::close(fd);
    return held;
}

bool ProgramRunsIn(const std::filesystem::path& folder) {
    const std::filesystem::path lockFile = folder / datafiles::kLock;
    const std::optional<LockOwner> owner = ReadLockFile(lockFile);
    return owner && (LockOwnerRuns(*owner, ThisMachine()) || LockFileHeld(lockFile));
}
