// Kills a process with SIGKILL a set number of microseconds after a file of a
// given name is made in a folder, so a power cut lands inside the few
// milliseconds a write takes (for a database, while its journal exists),
// where a kill at a random instant seldom does. A shell cannot react that
// fast; this reacts within microseconds of the inotify event.
//
// Usage: vimo_kill_on_create <folder> <file name> <pid> <delay µs> <timeout s>
// Exit status: 0 killed, 1 no such file made within the timeout, 2 misuse.
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <time.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

bool Number(const char* text, long& value) {
    const std::string_view digits(text);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc() && end == digits.data() + digits.size() && value >= 0;
}

// Whether the events in `buffer` include the making of `name`.
bool Made(const char* buffer, ssize_t length, std::string_view name) {
    for (ssize_t at = 0; at < length;) {
        inotify_event event;
        std::memcpy(&event, buffer + at, sizeof event);
        if (event.len > 0 && std::string_view(buffer + at + sizeof event) == name) {
            return true;
        }
        at += static_cast<ssize_t>(sizeof event + event.len);
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    long pid = 0, delay = 0, timeout = 0;
    if (argc != 6 || !Number(argv[3], pid) || pid <= 0 || !Number(argv[4], delay) ||
        !Number(argv[5], timeout)) {
        std::fprintf(stderr, "usage: %s <folder> <file name> <pid> <delay us> <timeout s>\n",
                     argv[0]);
        return 2;
    }
    const int watch = inotify_init1(IN_CLOEXEC);
    if (watch < 0 || inotify_add_watch(watch, argv[1], IN_CREATE) < 0) {
        std::perror("inotify");
        return 2;
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(timeout);
    alignas(inotify_event) char buffer[8192];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return 1;
        }
        pollfd ready{watch, POLLIN, 0};
        if (poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        const ssize_t length = read(watch, buffer, sizeof buffer);
        if (length > 0 && Made(buffer, length, argv[2])) {
            break;
        }
    }
    if (delay > 0) {
        const timespec pause{delay / 1'000'000, (delay % 1'000'000) * 1000};
        nanosleep(&pause, nullptr);
    }
    return kill(static_cast<pid_t>(pid), SIGKILL) == 0 ? 0 : 1;
}
