#include "NetThread.h"

#include <chrono>

TNetThread::TNetThread(UiDispatcher& dispatcher) : dispatcher_(dispatcher) {}

TNetThread::~TNetThread() {
    StopAndWait();
}

void TNetThread::Launch() {
    if (worker_.joinable() || stop_.stop_requested()) {
        return;
    }
    halted_ = false;
    worker_ = std::thread([this] { Body(); });
}

void TNetThread::StopAndWait() {
    stop_.request_stop();
    halted_ = true;
    if (!worker_.joinable() || insideHandOver_.load()) {
        return;
    }
    WaitForEnd();
    worker_.join();
}

void TNetThread::WaitForEnd() {
    std::unique_lock lock(mutex_);
    while (!ended_) {
        if (!handOverPending_) {
            changed_.wait(lock, [&] { return ended_ || handOverPending_; });
            continue;
        }
        lock.unlock();
        dispatcher_.RunPending();
        lock.lock();
        // The worker flags a hand-over just before queueing it and clears the
        // flag once woken after it ran; bridge both short gaps without spinning.
        changed_.wait_for(lock, std::chrono::milliseconds(1),
                          [&] { return ended_ || !handOverPending_; });
    }
}

std::string TNetThread::FailureText() const {
    std::lock_guard lock(mutex_);
    return failureText_;
}

bool TNetThread::TerminationRequested() const {
    return stop_.stop_requested() || halted_.load();
}

void TNetThread::HandOver(const std::function<void()>& call) {
    {
        std::lock_guard lock(mutex_);
        handOverPending_ = true;
    }
    changed_.notify_all();
    struct ClearPending {
        TNetThread& thread;
        ~ClearPending() {
            {
                std::lock_guard lock(thread.mutex_);
                thread.handOverPending_ = false;
            }
            thread.changed_.notify_all();
        }
    } clear{*this};
    dispatcher_.RunAndWait([this, &call] {
        insideHandOver_ = true;
        struct Reset {
            std::atomic<bool>& flag;
            ~Reset() { flag = false; }
        } reset{insideHandOver_};
        call();
    });
}

void TNetThread::Body() {
    try {
        BeforePasses();
        try {
            while (!TerminationRequested()) {
                RunPass(stop_.get_token());
            }
        } catch (...) {
            AfterPasses();
            throw;
        }
        AfterPasses();
    } catch (const std::exception& error) {
        {
            std::lock_guard lock(mutex_);
            failureText_ = error.what();
        }
        if (OnFailure) {
            try {
                OnFailure(*this, error);
            } catch (...) {
                // A failing failure handler must not take the process down.
            }
        }
        stop_.request_stop();
    } catch (...) {
        {
            std::lock_guard lock(mutex_);
            failureText_ = "Unknown error";
        }
        stop_.request_stop();
    }
    {
        std::lock_guard lock(mutex_);
        ended_ = true;
    }
    changed_.notify_all();
}
