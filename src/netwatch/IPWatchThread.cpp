#include "IPWatchThread.h"

#include <algorithm>
#include <chrono>

#include "IPWatch.h"

TIPWatchThread::TIPWatchThread(TIPWatch& watcher, UiDispatcher& dispatcher, SliceSleeper& sleeper)
    : TNetThread(dispatcher), watcher_(watcher), sleeper_(sleeper) {}

TIPWatchThread::~TIPWatchThread() {
    StopAndWait();
}

void TIPWatchThread::RunPass(std::stop_token stop) {
    std::int32_t remaining = PassInterval();
    if (remaining <= 0) {
        // A pass without time to sleep makes no check; idle one slice rather
        // than spin.
        sleeper_.Sleep(std::chrono::milliseconds(kSliceMilliseconds), stop);
        return;
    }
    while (remaining > 0) {
        std::int32_t slice = std::min(remaining, kSliceMilliseconds);
        remaining -= slice;
        sleeper_.Sleep(std::chrono::milliseconds(slice), stop);
        if (TerminationRequested()) {
            return;
        }
        HandOver([this] { watcher_.CheckAddress(); });
    }
}
