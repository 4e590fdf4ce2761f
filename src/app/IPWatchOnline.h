#pragma once

#include "IPWatch.h"
#include "OnlineState.h"
#include "QtUiDispatcher.h"

// The window's IP watcher `IPWatch1` over the Linux socket stack, active from
// construction with its address history off. Construction throws when the
// socket stack cannot be made, which ends the program before its window
// exists.
class IPWatchOnline final : public OnlineState {
  public:
    IPWatchOnline();

    bool Online() const override { return watch_.Online(); }
    std::string CurrentAddress() const override { return watch_.CurrentAddress(); }

  private:
    QtUiDispatcher dispatcher_;
    TIPWatch watch_;
};
