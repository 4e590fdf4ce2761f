#pragma once

#include <chrono>
#include <stop_token>

// Waits out one slice of the watch thread's pass. Behind an interface so that
// tests can drive the thread's passes without waiting in real time.
class SliceSleeper {
  public:
    virtual ~SliceSleeper();
    // Returns after `slice`, or earlier once `stop` is requested.
    virtual void Sleep(std::chrono::milliseconds slice, std::stop_token stop) = 0;
};

class SystemSliceSleeper final : public SliceSleeper {
  public:
    void Sleep(std::chrono::milliseconds slice, std::stop_token stop) override;
};

// The process's real-time sleeper; it keeps no state.
SliceSleeper& SystemSleeper();
