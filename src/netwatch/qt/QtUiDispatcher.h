#pragma once

#include <QObject>

#include "HandOverQueue.h"
#include "UiDispatcher.h"

// Hands the watch thread's calls to Qt's event loop. Construct it on the UI
// thread: its receiver object lives there, and each hand-over posts an event
// to it that runs the queue. While the UI thread waits for the watch thread
// (StopAndWait), RunPending runs the queue without the event loop.
class QtUiDispatcher final : public UiDispatcher {
  public:
    QtUiDispatcher();
    void RunAndWait(std::function<void()> call) override;
    void RunPending() override;

  private:
    QObject receiver_;
    HandOverQueue queue_;
};
