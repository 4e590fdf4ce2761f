#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "SocketStack.h"

// A log that the watch thread and the test's UI thread both append to.
class EventLog {
  public:
    void Add(std::string event) {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
    }
    std::vector<std::string> Events() const {
        std::lock_guard lock(mutex_);
        return events_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> events_;
};

// What the scripted stack answers, shared between the test and the stack the
// factory hands to the shared-stack machinery.
struct StackScript {
    // One entry per lookup; an empty optional fails the lookup with a socket
    // error. When the queue runs dry, `Steady` answers.
    std::deque<std::optional<std::vector<std::string>>> Answers;
    std::optional<std::vector<std::string>> Steady = std::vector<std::string>{"127.0.0.1"};
    int FailureCode = 11001;
    int Lookups = 0;
    int Created = 0;
    int Destroyed = 0;
    EventLog* Log = nullptr;
    // Runs inside each lookup, before the answer is given.
    std::function<void()> DuringLookup;

    void Queue(std::vector<std::string> addresses) { Answers.emplace_back(std::move(addresses)); }
    void QueueFailure() { Answers.emplace_back(std::nullopt); }
};

class ScriptedStack final : public TSocketStack {
  public:
    explicit ScriptedStack(std::shared_ptr<StackScript> script) : script_(std::move(script)) {
        ++script_->Created;
    }
    ~ScriptedStack() override { ++script_->Destroyed; }

    void RefreshHostAddresses() override {
        hostAddresses_.clear();
        ++script_->Lookups;
        if (script_->Log != nullptr) {
            script_->Log->Add("check");
        }
        if (script_->DuringLookup) {
            script_->DuringLookup();
        }
        std::optional<std::vector<std::string>> answer = script_->Steady;
        if (!script_->Answers.empty()) {
            answer = script_->Answers.front();
            script_->Answers.pop_front();
        }
        if (!answer) {
            RaiseSocketFailure(script_->FailureCode);
        }
        hostAddresses_ = *answer;
    }
    std::int32_t LastSocketError() const override { return script_->FailureCode; }

  private:
    std::shared_ptr<StackScript> script_;
};

inline TStackFactory ScriptedFactory(const std::shared_ptr<StackScript>& script) {
    return [script] { return std::make_unique<ScriptedStack>(script); };
}
