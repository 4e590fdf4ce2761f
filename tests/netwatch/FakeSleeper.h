#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <string>

#include "ScriptedStack.h"
#include "SliceSleeper.h"

// Records each slice in the log and returns at once, so passes run without
// real waiting. After `Budget` slices it blocks until the thread is stopped,
// which pins the end of the log.
class FakeSleeper final : public SliceSleeper {
  public:
    FakeSleeper(EventLog& log, int budget) : log_(log), budget_(budget) {}

    void Sleep(std::chrono::milliseconds slice, std::stop_token stop) override {
        std::unique_lock lock(mutex_);
        if (served_ >= budget_) {
            exhausted_ = true;
            changed_.notify_all();
            changed_.wait(lock, stop, [] { return false; });
            return;
        }
        ++served_;
        log_.Add("sleep " + std::to_string(slice.count()));
    }

    // Allows `more` further slices.
    void Grant(int more) {
        std::lock_guard lock(mutex_);
        budget_ += more;
        exhausted_ = false;
    }

    // Waits until the thread asks for a slice beyond the budget.
    bool WaitUntilExhausted(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return exhausted_; });
    }

  private:
    EventLog& log_;
    std::mutex mutex_;
    std::condition_variable_any changed_;
    int budget_;
    int served_ = 0;
    bool exhausted_ = false;
};
