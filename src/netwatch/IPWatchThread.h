#pragma once

#include <atomic>
#include <cstdint>

#include "NetThread.h"
#include "SliceSleeper.h"

class TIPWatch;

// The watcher's pacing thread. It only keeps time: each pass sleeps
// `PassInterval` in slices of at most 500 ms and hands one check of its
// watcher to the UI thread after each slice.
class TIPWatchThread final : public TNetThread {
  public:
    TIPWatchThread(TIPWatch& watcher, UiDispatcher& dispatcher, SliceSleeper& sleeper);
    ~TIPWatchThread() override;

    // The only value both threads touch; read once at the start of each pass.
    void SetPassInterval(std::int32_t milliseconds) { passInterval_.store(milliseconds); }
    std::int32_t PassInterval() const { return passInterval_.load(); }

    static constexpr std::int32_t kSliceMilliseconds = 500;

  protected:
    void RunPass(std::stop_token stop) override;

  private:
    TIPWatch& watcher_;
    SliceSleeper& sleeper_;
    std::atomic<std::int32_t> passInterval_{0};
};
