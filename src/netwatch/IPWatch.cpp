#include "IPWatch.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "OnlineAddressRule.h"
#include "files/FileIO.h"

namespace {

// `PassInterval` is signed; a longer interval behaves the same once clamped,
// because a check follows every slice anyway.
std::int32_t PassIntervalFor(std::uint32_t watchInterval) {
    return static_cast<std::int32_t>(std::min<std::uint32_t>(
        watchInterval, static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())));
}

bool IsOnlineAddress(const std::string& address) {
    return !address.empty() && address != kLoopbackAddress;
}

}  // namespace

TIPWatch::TIPWatch(TStackFactory factory, UiDispatcher& dispatcher)
    : TIPWatch(std::move(factory), dispatcher, SystemSleeper()) {}

TIPWatch::TIPWatch(TStackFactory factory, UiDispatcher& dispatcher, SliceSleeper& sleeper)
    : TNetComponent(std::move(factory)), dispatcher_(dispatcher), sleeper_(sleeper) {}

TIPWatch::~TIPWatch() {
    if (online_) {
        RecordAddress(currentAddress_);
    }
    SetActive(false);
    ReapStoppedThreads();
    try {
        StoreHistory();
    } catch (...) {
        // Destruction cannot report; StoreHistory is public for callers that
        // need to know.
    }
}

void TIPWatch::SetActive(bool active) {
    if (active == active_) {
        return;
    }
    active_ = active;
    if (active) {
        ReapStoppedThreads();
        watchThread_ = std::make_unique<TIPWatchThread>(*this, dispatcher_, sleeper_);
        watchThread_->SetPassInterval(PassIntervalFor(watchInterval_));
        watchThread_->Launch();
    } else {
        watchThread_->StopAndWait();
        // Stopped from inside its own check (an OnStatusChanged handler), the
        // thread still waits for that check to return: keep it until later.
        if (!watchThread_->Finished()) {
            stoppingThreads_.push_back(std::move(watchThread_));
        }
        watchThread_.reset();
        ReapStoppedThreads();
    }
}

void TIPWatch::ReapStoppedThreads() {
    std::erase_if(stoppingThreads_, [](std::unique_ptr<TIPWatchThread>& thread) {
        thread->StopAndWait();
        return thread->Finished();
    });
}

void TIPWatch::SetMaxHistoryEntries(std::int32_t entries) {
    if (entries == maxHistoryEntries_) {
        return;
    }
    maxHistoryEntries_ = entries;
    TrimHistory();
}

void TIPWatch::TrimHistory() {
    std::size_t keep = static_cast<std::size_t>(std::max(maxHistoryEntries_, 0));
    if (addressHistory_.size() > keep) {
        addressHistory_.erase(addressHistory_.begin(),
                              addressHistory_.end() - static_cast<std::ptrdiff_t>(keep));
    }
}

void TIPWatch::SetWatchInterval(std::uint32_t milliseconds) {
    if (milliseconds == watchInterval_) {
        return;
    }
    watchInterval_ = milliseconds;
    if (watchThread_) {
        watchThread_->SetPassInterval(PassIntervalFor(milliseconds));
    }
}

std::string TIPWatch::LookupAddress() {
    lookupBusy_ = true;
    struct ClearBusy {
        bool& busy;
        ~ClearBusy() { busy = false; }
    } clear{lookupBusy_};
    // The shared stack lives as long as this component does.
    return SharedStack()->FirstHostAddress();
}

void TIPWatch::CheckAddress() {
    if (lookupBusy_) {
        return;
    }
    const bool wasOnline = online_;
    const std::string oldAddress = currentAddress_;
    try {
        currentAddress_ = LookupAddress();
        online_ = IsOnlineAddress(currentAddress_);
        if (wasOnline && !online_) {
            if (IsOnlineAddress(oldAddress)) {
                priorAddress_ = oldAddress;
            }
            RecordAddress(priorAddress_);
        }
        if (online_ != wasOnline && onStatusChanged_) {
            onStatusChanged_(*this);
        }
    } catch (...) {
        // The watcher reports nothing; the next check simply tries again.
    }
}

void TIPWatch::RecordAddress(const std::string& address) {
    if (!IsOnlineAddress(address)) {
        return;
    }
    if (!addressHistory_.empty() && addressHistory_.back() == address) {
        return;
    }
    addressHistory_.push_back(address);
    // Only one entry goes: the list never holds more than one extra.
    if (static_cast<std::int64_t>(addressHistory_.size()) > maxHistoryEntries_) {
        addressHistory_.erase(addressHistory_.begin());
    }
}

void TIPWatch::StoreHistory() const {
    if (!historyEnabled_) {
        return;
    }
    std::string text;
    for (const std::string& address : addressHistory_) {
        text += address;
        text += "\r\n";
    }
    ReplaceFileAtomically(historyFilename_, text);
}
