#pragma once

#include <functional>
#include <string>

// How a request to stop a connection ended.
enum class StopOutcome {
    Stopped,
    // No connection manager answers on the bus.
    NoService,
    // The connection manager refused: the user may not (polkit).
    Refused,
    // No active connection runs on the interface.
    NoConnection,
    // Any other error.
    Failed,
};

struct StopResult {
    StopOutcome Outcome = StopOutcome::Failed;
    // The service's own error text, for the log; empty when stopped.
    std::string Detail;
};

// Ends the connection the computer is online through, as its connection
// manager knows it.
class ConnectionStopper {
  public:
    virtual ~ConnectionStopper() = default;
    // Deactivates the active connection on `interface` ("ppp0"). Returns at
    // once; `done` is called once, later, on the caller's thread.
    virtual void StopConnectionOn(const std::string& interface,
                                  std::function<void(const StopResult&)> done) = 0;
};
