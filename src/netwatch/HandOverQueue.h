#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>

// The calls that worker threads have handed to the UI thread and wait for.
// Shared by the dispatchers; they differ only in how they wake the UI thread.
class HandOverQueue {
  public:
    // Worker side: queues `call`, runs `wake` to alert the UI thread, and
    // blocks until the call has run; rethrows what escaped it.
    void PostAndWait(std::function<void()> call, const std::function<void()>& wake);
    // UI side: runs every queued call, including those queued meanwhile.
    // Returns whether any ran.
    bool RunPending();
    // UI side: waits up to `timeout` for a queued call. Returns whether one is queued.
    bool WaitForCall(std::chrono::milliseconds timeout);

  private:
    struct Entry {
        std::function<void()> Call;
        std::exception_ptr Error;
        bool Done = false;
    };

    std::mutex mutex_;
    std::condition_variable queued_;
    std::condition_variable done_;
    std::deque<Entry*> entries_;
};
