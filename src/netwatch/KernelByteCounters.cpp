#include "KernelByteCounters.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>

namespace {

// The whole table: a few lines per interface, read at each tick.
std::optional<std::string> ReadTable(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string text;
    std::array<char, 4096> chunk;
    for (;;) {
        const ssize_t count = read(fd, chunk.data(), chunk.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            close(fd);
            return count == 0 ? std::optional(text) : std::nullopt;
        }
        text.append(chunk.data(), static_cast<size_t>(count));
    }
}

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

}  // namespace

std::optional<ByteReading> CountersIn(std::string_view table, std::string_view interface) {
    // "  name: rx_bytes packets errs drop fifo frame compressed multicast
    //          tx_bytes ...": the name, a colon, then sixteen counts.
    constexpr int kCounts = 16;
    constexpr int kSentAt = 8;
    while (!table.empty()) {
        const size_t end = table.find('\n');
        const std::string_view line = table.substr(0, end);
        table = end == std::string_view::npos ? std::string_view() : table.substr(end + 1);
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos || Trimmed(line.substr(0, colon)) != interface) {
            continue;
        }
        std::array<uint64_t, kCounts> counts{};
        std::string_view rest = line.substr(colon + 1);
        for (uint64_t& count : counts) {
            rest = Trimmed(rest);
            const auto [next, error] =
                std::from_chars(rest.data(), rest.data() + rest.size(), count);
            if (error != std::errc()) {
                return std::nullopt;
            }
            rest.remove_prefix(static_cast<size_t>(next - rest.data()));
        }
        return ByteReading{counts[0], counts[kSentAt]};
    }
    return std::nullopt;
}

std::optional<ByteReading> KernelByteCounters::Read(const std::string& interface) const {
    const std::optional<std::string> table = ReadTable(table_);
    return table ? CountersIn(*table, interface) : std::nullopt;
}
