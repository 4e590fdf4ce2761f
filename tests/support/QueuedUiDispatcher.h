#pragma once

#include <chrono>

#include "HandOverQueue.h"
#include "UiDispatcher.h"

// A dispatcher for a UI thread that runs its own loop without a GUI library:
// it waits for handed-over calls with `WaitForCall` and runs them with
// `RunPending`. Tests and benchmarks play the UI thread with it.
class QueuedUiDispatcher final : public UiDispatcher {
  public:
    void RunAndWait(std::function<void()> call) override;
    void RunPending() override;
    // Waits up to `timeout` for a handed-over call; returns whether one came.
    bool WaitForCall(std::chrono::milliseconds timeout);
    // Waits up to `timeout` for a handed-over call and runs the queue; returns
    // whether a call ran.
    bool RunNext(std::chrono::milliseconds timeout);

  private:
    HandOverQueue queue_;
};
