#pragma once

#include "CountedInterfaces.h"
#include "IPWatch.h"
#include "NetworkManagerWatch.h"
#include "OnlineState.h"
#include "QtUiDispatcher.h"
#include "SocketStackLinux.h"

#include <memory>
#include <set>
#include <string>

// The window's IP watcher `IPWatch1` over the Linux socket stack, active from
// construction with its address history off. Construction throws when the
// socket stack cannot be made, which ends the program before its window
// exists.
class IPWatchOnline final : public OnlineState {
    Q_OBJECT

  public:
    IPWatchOnline();

    bool Online() const override { return watch_.Online(); }
    std::string CurrentAddress() const override { return watch_.CurrentAddress(); }
    std::string CurrentInterface() const override;
    void SetCounting(const CountingSettings& counting) override;

  private:
    // Follows NetworkManager from the first time only metered connections
    // are to count.
    void WatchNetworkManager();

    QtUiDispatcher dispatcher_;
    // Both are used by the stack the watcher makes, so they come first.
    CountedInterfaces counted_;
    TSocketStackLinux* stack_ = nullptr;
    TIPWatch watch_;
    // The names already reported as missing, so each is named once.
    std::set<std::string> namedMissing_;
    std::unique_ptr<NetworkManagerWatch> networkManager_;
};
