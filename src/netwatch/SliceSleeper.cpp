#include "SliceSleeper.h"

#include <condition_variable>
#include <mutex>

SliceSleeper::~SliceSleeper() = default;

void SystemSliceSleeper::Sleep(std::chrono::milliseconds slice, std::stop_token stop) {
    // A stop request wakes the wait at once, so deactivation need not sit out
    // the rest of the slice.
    std::mutex mutex;
    std::condition_variable_any wake;
    std::unique_lock lock(mutex);
    wake.wait_for(lock, stop, slice, [] { return false; });
}

SliceSleeper& SystemSleeper() {
    static SystemSliceSleeper sleeper;
    return sleeper;
}
