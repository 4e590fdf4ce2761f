#include "HandOverQueue.h"

#include <utility>

void HandOverQueue::PostAndWait(std::function<void()> call, const std::function<void()>& wake) {
    Entry entry{std::move(call), nullptr, false};
    {
        std::lock_guard lock(mutex_);
        entries_.push_back(&entry);
    }
    queued_.notify_all();
    if (wake) {
        wake();
    }
    std::unique_lock lock(mutex_);
    done_.wait(lock, [&] { return entry.Done; });
    if (entry.Error) {
        std::rethrow_exception(entry.Error);
    }
}

bool HandOverQueue::RunPending() {
    bool ran = false;
    std::unique_lock lock(mutex_);
    while (!entries_.empty()) {
        Entry* entry = entries_.front();
        entries_.pop_front();
        lock.unlock();
        try {
            entry->Call();
        } catch (...) {
            entry->Error = std::current_exception();
        }
        ran = true;
        lock.lock();
        entry->Done = true;
        done_.notify_all();
    }
    return ran;
}

bool HandOverQueue::WaitForCall(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return queued_.wait_for(lock, timeout, [&] { return !entries_.empty(); });
}
