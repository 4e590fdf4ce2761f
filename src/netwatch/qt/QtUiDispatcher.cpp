#include "QtUiDispatcher.h"

#include <QMetaObject>
#include <utility>

QtUiDispatcher::QtUiDispatcher() = default;

void QtUiDispatcher::RunAndWait(std::function<void()> call) {
    queue_.PostAndWait(std::move(call), [this] {
        QMetaObject::invokeMethod(
            &receiver_, [this] { queue_.RunPending(); }, Qt::QueuedConnection);
    });
}

void QtUiDispatcher::RunPending() {
    queue_.RunPending();
}
