#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

#include "UiDispatcher.h"

// A worker thread that runs passes until it is stopped and hands calls to the
// UI thread through a dispatcher. It is always created held: starting the body
// from this base's constructor would run the virtual passes on a half-built
// object, so `Launch` starts it once the derived thread is complete.
// Launch, StopAndWait and destruction belong to the UI thread.
class TNetThread {
  public:
    explicit TNetThread(UiDispatcher& dispatcher);
    // Stops and waits for the body if it still runs. A derived class whose
    // passes use its own members must stop the thread in its own destructor.
    virtual ~TNetThread();
    TNetThread(const TNetThread&) = delete;
    TNetThread& operator=(const TNetThread&) = delete;

    // Lets the body begin, once; later calls do nothing.
    void Launch();
    // Requests termination, sets `Halted` and waits for the body to end,
    // running the calls it hands over meanwhile. Called from inside one of
    // this thread's own handed-over calls it cannot wait (the body waits for
    // that very call), so it only requests the stop; `Finished` stays false.
    void StopAndWait();
    bool Halted() const { return halted_.load(); }
    // The body has ended and been waited for, or never began.
    bool Finished() const { return !worker_.joinable(); }
    // The message of the error that ended the body, else empty.
    std::string FailureText() const;
    // Receives the thread and the error that ended the body; it runs on the
    // worker thread. Set it before `Launch`.
    std::function<void(TNetThread&, const std::exception&)> OnFailure;

  protected:
    virtual void RunPass(std::stop_token stop) = 0;
    virtual void BeforePasses() {}
    virtual void AfterPasses() {}
    // Worker side: runs `call` on the UI thread and waits until it has run.
    void HandOver(const std::function<void()>& call);
    bool TerminationRequested() const;

  private:
    void Body();
    void WaitForEnd();

    UiDispatcher& dispatcher_;
    std::stop_source stop_;
    std::thread worker_;
    std::atomic<bool> halted_{true};
    // Set on the UI thread while one of this thread's handed-over calls runs.
    std::atomic<bool> insideHandOver_{false};

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool ended_ = false;
    bool handOverPending_ = false;
    std::string failureText_;
};
