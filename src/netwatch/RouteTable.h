#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct DefaultRoute {
    std::string Interface;
    std::uint32_t Metric = 0;
};

// The default IPv4 routes that are up (destination and mask 0.0.0.0, flag
// RTF_UP) in the text of /proc/net/route, in the table's order. Lines that do
// not read as a route are skipped.
std::vector<DefaultRoute> ParseDefaultRoutes(std::string_view routeTable);
