#include "QueuedUiDispatcher.h"

#include <utility>

void QueuedUiDispatcher::RunAndWait(std::function<void()> call) {
    queue_.PostAndWait(std::move(call), {});
}

void QueuedUiDispatcher::RunPending() {
    queue_.RunPending();
}

bool QueuedUiDispatcher::WaitForCall(std::chrono::milliseconds timeout) {
    return queue_.WaitForCall(timeout);
}

bool QueuedUiDispatcher::RunNext(std::chrono::milliseconds timeout) {
    return queue_.WaitForCall(timeout) && queue_.RunPending();
}
