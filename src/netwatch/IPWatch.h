#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "IPWatchThread.h"
#include "SliceSleeper.h"
#include "SocketStack.h"
#include "UiDispatcher.h"

// Decides whether the computer is online: it is while the first host address
// of the shared stack is anything but "127.0.0.1". A thread of its own keeps
// time and hands every check to the UI thread, so all of the watcher's state
// is read and written on the UI thread and nothing is locked.
class TIPWatch : public TNetComponent {
  public:
    // Joins the shared stack (its start-up errors leave here); never starts
    // the thread. The watcher sleeps through `SystemSleeper`.
    TIPWatch(TStackFactory factory, UiDispatcher& dispatcher);
    TIPWatch(TStackFactory factory, UiDispatcher& dispatcher, SliceSleeper& sleeper);
    // Records the online period in progress, stops the thread and, when
    // `HistoryEnabled`, writes the history file; a failed write is ignored
    // here (call StoreHistory first to see it). Not from inside the watcher's
    // own OnStatusChanged: its thread is waiting for that very check.
    ~TIPWatch() override;

    // Writing true starts the thread with the current `WatchInterval`; false
    // stops it and waits. `Online` and `CurrentAddress` keep their values.
    void SetActive(bool active);
    bool Active() const { return active_; }
    void SetHistoryEnabled(bool enabled) { historyEnabled_ = enabled; }
    bool HistoryEnabled() const { return historyEnabled_; }
    void SetHistoryFilename(std::string filename) { historyFilename_ = std::move(filename); }
    const std::string& HistoryFilename() const { return historyFilename_; }
    // Drops the oldest entries beyond `entries`; 0 or less keeps none.
    void SetMaxHistoryEntries(std::int32_t entries);
    std::int32_t MaxHistoryEntries() const { return maxHistoryEntries_; }
    // Milliseconds per pass; a running thread uses it from its next pass.
    void SetWatchInterval(std::uint32_t milliseconds);
    std::uint32_t WatchInterval() const { return watchInterval_; }
    // Called after each change of `Online`; errors it raises are absorbed.
    void SetOnStatusChanged(std::function<void(TIPWatch&)> handler) {
        onStatusChanged_ = std::move(handler);
    }

    bool Online() const { return online_; }
    const std::string& CurrentAddress() const { return currentAddress_; }
    const std::string& PriorAddress() const { return priorAddress_; }
    // Addresses of ended online periods, oldest first.
    const std::vector<std::string>& AddressHistory() const { return addressHistory_; }
    bool LookupBusy() const { return lookupBusy_; }

    // One check, on the UI thread; the watch thread hands it over after every
    // slice. A failing lookup changes nothing and is not reported.
    void CheckAddress();
    // Writes `AddressHistory` to `HistoryFilename` (one address per line, CR
    // LF), replacing the file, when `HistoryEnabled`. Throws EInOutError.
    void StoreHistory() const;

  private:
    void RecordAddress(const std::string& address);
    std::string LookupAddress();
    void TrimHistory();
    void ReapStoppedThreads();

    UiDispatcher& dispatcher_;
    SliceSleeper& sleeper_;

    bool active_ = false;
    bool historyEnabled_ = true;
    std::string historyFilename_ = "iphist.dat";
    std::int32_t maxHistoryEntries_ = 25;
    std::function<void(TIPWatch&)> onStatusChanged_;
    std::uint32_t watchInterval_ = 1000;

    bool online_ = false;
    std::string currentAddress_;
    std::string priorAddress_;
    std::vector<std::string> addressHistory_;
    bool lookupBusy_ = false;
    std::unique_ptr<TIPWatchThread> watchThread_;
    // Threads stopped from inside their own check, waited for later.
    std::vector<std::unique_ptr<TIPWatchThread>> stoppingThreads_;
};
