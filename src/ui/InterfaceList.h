#pragma once

#include <string>
#include <vector>

// The network interfaces of the machine, for the settings panel's list of
// interfaces to count.
class InterfaceList {
  public:
    virtual ~InterfaceList() = default;
    // The names, in the system's order; none when they cannot be listed.
    virtual std::vector<std::string> Names() const = 0;
};

// The interfaces the system has now, up or down, but the loopback, which
// never carries a paid connection.
class SystemInterfaceList final : public InterfaceList {
  public:
    std::vector<std::string> Names() const override;
};
