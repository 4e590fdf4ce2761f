#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "CountedInterfaces.h"

// One IPv4 address of a network interface, as the system reports it.
struct InterfaceAddress {
    std::string Interface;
    unsigned Flags = 0;  // IFF_* flags of the interface
    std::array<std::uint8_t, 4> Address{};
    // Lowest metric of the default IPv4 routes through this interface, if any.
    std::optional<std::uint32_t> DefaultRouteMetric;
};

inline constexpr const char* kLoopbackAddress = "127.0.0.1";

// The addresses that count as the computer's own for the online verdict, best
// first: those of interfaces that are up and running and carry a default
// route, lowest metric first and otherwise in the given (interface) order,
// leaving out loopback and link-local 169.254/16 addresses. Bridges and
// container interfaces hold addresses while the computer is offline, so only
// a route to the Internet counts. With none, the single text "127.0.0.1".
// With `counted`, only the interfaces it counts take part.
std::vector<std::string> OnlineAddresses(std::span<const InterfaceAddress> addresses,
                                         const CountedInterfaces* counted = nullptr);

// The interface of the first of the online addresses; empty for none.
std::string FirstOnlineInterface(std::span<const InterfaceAddress> addresses,
                                 const CountedInterfaces* counted = nullptr);
