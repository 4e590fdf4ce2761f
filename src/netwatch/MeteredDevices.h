#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>

// NetworkManager's metered values: 0 unknown, 1 yes, 2 no, 3 guessed yes,
// 4 guessed no. A guessed yes counts as metered, as NetworkManager advises;
// an unknown or any other value does not.
constexpr bool IsMeteredValue(uint32_t metered) {
    return metered == 1 || metered == 3;
}

// Which interfaces the connection manager says are metered.
class MeteredDevices {
  public:
    virtual ~MeteredDevices() = default;
    // The interface names (e.g. "wwan0") of devices whose Metered property is
    // YES (1) or GUESS_YES (3); none while the service cannot be asked (not
    // running, gone away, not yet answered). Never blocks: a cached answer.
    virtual std::optional<std::set<std::string>> MeteredInterfaces() const = 0;
};
