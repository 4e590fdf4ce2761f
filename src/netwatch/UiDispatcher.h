#pragma once

#include <functional>

// Hands calls from a worker thread to the user-interface thread. All watcher
// state lives on the UI thread, so the watch thread never touches it itself.
class UiDispatcher {
  public:
    virtual ~UiDispatcher();
    // Called on a worker thread: runs `call` on the UI thread and blocks until
    // it has run. An exception escaping `call` is thrown again here.
    virtual void RunAndWait(std::function<void()> call) = 0;
    // Called on the UI thread while it waits for a worker: runs the calls
    // handed over meanwhile, so that the two threads never wait for each other.
    virtual void RunPending() = 0;
};
