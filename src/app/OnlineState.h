#pragma once

#include <string>

// Whether the computer is online and its current address, as the IP watcher
// last found them. Read by the minute tick on the user-interface thread.
class OnlineState {
  public:
    virtual ~OnlineState() = default;
    virtual bool Online() const = 0;
    virtual std::string CurrentAddress() const = 0;
};
