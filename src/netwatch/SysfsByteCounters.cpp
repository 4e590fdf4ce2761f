#include "SysfsByteCounters.h"

#include <charconv>
#include <fstream>

namespace {

std::optional<uint64_t> ReadCounter(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    char text[32];
    file.read(text, sizeof text);
    const std::streamsize size = file.gcount();
    uint64_t value = 0;
    const auto [end, error] = std::from_chars(text, text + size, value);
    if (error != std::errc() || end == text || (end != text + size && *end != '\n')) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

bool IsInterfaceName(const std::string& name) {
    constexpr std::size_t kLongest = 15;  // IFNAMSIZ - 1
    if (name.empty() || name.size() > kLongest || name == "." || name == "..") {
        return false;
    }
    for (const char c : name) {
        if (c == '/' || c == ' ' || c == '\0' || static_cast<unsigned char>(c) < 0x20) {
            return false;
        }
    }
    return true;
}

std::optional<ByteReading> SysfsByteCounters::Read(const std::string& interface) const {
    if (!IsInterfaceName(interface)) {
        return std::nullopt;
    }
    const std::filesystem::path statistics = root_ / interface / "statistics";
    const std::optional<uint64_t> received = ReadCounter(statistics / "rx_bytes");
    const std::optional<uint64_t> sent = ReadCounter(statistics / "tx_bytes");
    if (!received || !sent) {
        return std::nullopt;
    }
    return ByteReading{*received, *sent};
}
