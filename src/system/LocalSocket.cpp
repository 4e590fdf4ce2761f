#include "LocalSocket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

namespace {

using Clock = std::chrono::steady_clock;

std::optional<sockaddr_un> AddressOf(const std::filesystem::path& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string text = path.string();
    if (text.empty() || text.size() >= sizeof(address.sun_path)) {
        return std::nullopt;
    }
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
    return address;
}

int MillisecondsUntil(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        UniqueFd old(fd_);
        fd_ = other.Release();
    }
    return *this;
}

UniqueFd::~UniqueFd() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

int UniqueFd::Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

LocalListener::~LocalListener() {
    if (!path_.empty()) {
        ::unlink(path_.c_str());
    }
}

int LocalListener::Listen(const std::filesystem::path& path) {
    const std::optional<sockaddr_un> address = AddressOf(path);
    if (!address) {
        return ENAMETOOLONG;
    }
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd.Valid()) {
        return errno;
    }
    // A copy that was killed left its socket file; the lock says it is gone.
    // Anything else in its place is not removed, and bind names it.
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        return errno;
    }
    if (::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&*address), sizeof(*address)) != 0) {
        return errno;
    }
    if (::chmod(path.c_str(), S_IRUSR | S_IWUSR) != 0 || ::listen(fd.Get(), SOMAXCONN) != 0) {
        const int failure = errno;
        ::unlink(path.c_str());
        return failure;
    }
    fd_ = std::move(fd);
    path_ = path;
    return 0;
}

UniqueFd LocalListener::Accept() const {
    for (;;) {
        const int fd = ::accept4(fd_.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd >= 0 || errno != EINTR) {
            return UniqueFd(fd);
        }
    }
}

bool SendLocalLine(const std::filesystem::path& path, std::string_view line,
                   std::chrono::milliseconds patience) {
    const std::optional<sockaddr_un> address = AddressOf(path);
    if (!address) {
        return false;
    }
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd.Valid()) {
        return false;
    }
    // A local connection is made at once, or refused with EAGAIN while the
    // listener's queue is full.
    const Clock::time_point connectBy = Clock::now() + patience;
    while (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&*address), sizeof(*address)) !=
           0) {
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN || Clock::now() >= connectBy) {
            return false;
        }
        ::poll(nullptr, 0, 10);
    }
    const Clock::time_point sendBy = Clock::now() + patience;
    while (!line.empty()) {
        const ssize_t sent = ::send(fd.Get(), line.data(), line.size(), MSG_NOSIGNAL);
        if (sent > 0) {
            line.remove_prefix(static_cast<std::size_t>(sent));
            continue;
        }
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent == 0 || errno != EAGAIN) {
            return false;
        }
        pollfd writable{fd.Get(), POLLOUT, 0};
        if (::poll(&writable, 1, MillisecondsUntil(sendBy)) <= 0) {
            return false;
        }
    }
    return true;
}

bool ReadAvailable(int fd, std::string& into, std::size_t limit) {
    char chunk[1024];
    while (into.size() < limit) {
        const ssize_t got = ::recv(fd, chunk, std::min(sizeof(chunk), limit - into.size()), 0);
        if (got > 0) {
            into.append(chunk, static_cast<std::size_t>(got));
        } else if (got == 0) {
            return false;
        } else if (errno != EINTR) {
            return errno == EAGAIN || errno == EWOULDBLOCK;
        }
    }
    return true;
}
