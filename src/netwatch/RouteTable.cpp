#include "RouteTable.h"

#include <array>
#include <charconv>

namespace {

constexpr unsigned kRouteUp = 0x0001;  // RTF_UP

// Splits one line at blanks and tabs into at most N fields; returns the count.
template <std::size_t N>
std::size_t SplitFields(std::string_view line, std::array<std::string_view, N>& fields) {
    std::size_t count = 0;
    std::size_t pos = 0;
    while (count < N) {
        pos = line.find_first_not_of(" \t", pos);
        if (pos == std::string_view::npos) {
            break;
        }
        std::size_t end = line.find_first_of(" \t", pos);
        if (end == std::string_view::npos) {
            end = line.size();
        }
        fields[count++] = line.substr(pos, end - pos);
        pos = end;
    }
    return count;
}

bool ParseNumber(std::string_view text, int base, std::uint32_t& value) {
    const char* end = text.data() + text.size();
    auto [ptr, error] = std::from_chars(text.data(), end, value, base);
    return error == std::errc() && ptr == end;
}

}  // namespace

std::vector<DefaultRoute> ParseDefaultRoutes(std::string_view routeTable) {
    // Columns: Iface Destination Gateway Flags RefCnt Use Metric Mask ...
    std::vector<DefaultRoute> routes;
    bool header = true;
    while (!routeTable.empty()) {
        std::size_t lineEnd = routeTable.find('\n');
        std::string_view line = routeTable.substr(0, lineEnd);
        routeTable.remove_prefix(lineEnd == std::string_view::npos ? routeTable.size()
                                                                   : lineEnd + 1);
        if (header) {
            header = false;
            continue;
        }
        std::array<std::string_view, 8> fields;
        if (SplitFields(line, fields) < fields.size()) {
            continue;
        }
        std::uint32_t destination = 0;
        std::uint32_t flags = 0;
        std::uint32_t metric = 0;
        std::uint32_t mask = 0;
        if (!ParseNumber(fields[1], 16, destination) || !ParseNumber(fields[3], 16, flags) ||
            !ParseNumber(fields[6], 10, metric) || !ParseNumber(fields[7], 16, mask)) {
            continue;
        }
        if (destination == 0 && mask == 0 && (flags & kRouteUp) != 0) {
            routes.push_back({std::string(fields[0]), metric});
        }
    }
    return routes;
}
