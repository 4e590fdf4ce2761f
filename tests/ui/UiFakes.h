#pragma once

#include "MessageBoxes.h"
#include "NotificationService.h"
#include "OnlineState.h"
#include "SaveFileDialog.h"
#include "WindowActivation.h"
#include "system/AutostartStore.h"
#include "system/OsPlatform.h"

#include <QStringList>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

// Boxes nobody answers: each closes at once with its safe answer. Fakes that
// watch one kind of box derive from it and override just that one.
class NullBoxes : public MessageBoxes {
  public:
    void Beep() override {}
    void Warning(const std::string&) override {}
    void Information(const std::string&) override {}
    bool Confirm(const std::string&) override { return false; }
    void Error(const std::string&, const std::string&) override {}
    SaveAnswer AskToSave(const std::string&) override { return SaveAnswer::Cancel; }
};

// Records every box that would be shown; Confirm and AskToSave answer as told.
class RecordingBoxes final : public MessageBoxes {
  public:
    struct Shown {
        std::string kind;  // "Warning", "Information", "Confirm", "Error", "AskToSave"
        std::string caption;
        std::string text;
        friend bool operator==(const Shown&, const Shown&) = default;
    };

    void Beep() override { ++beeps; }
    void Warning(const std::string& text) override {
        shown.push_back({"Warning", "Warning", text});
        if (whileWarningOpen) {
            whileWarningOpen();
        }
    }
    void Information(const std::string& text) override {
        shown.push_back({"Information", "Information", text});
    }
    bool Confirm(const std::string& text) override {
        shown.push_back({"Confirm", "Confirm", text});
        return confirmAnswer;
    }
    void Error(const std::string& caption, const std::string& text) override {
        shown.push_back({"Error", caption, text});
    }
    SaveAnswer AskToSave(const std::string& text) override {
        shown.push_back({"AskToSave", "Vimo", text});
        return saveAnswer;
    }

    std::vector<std::string> Errors() const {
        std::vector<std::string> texts;
        for (const auto& box : shown) {
            if (box.kind == "Error") {
                texts.push_back(box.text);
            }
        }
        return texts;
    }

    int beeps = 0;
    bool confirmAnswer = false;
    SaveAnswer saveAnswer = SaveAnswer::Cancel;
    std::vector<Shown> shown;
    // Runs while a warning box "is open", as the event loop would run a tick.
    std::function<void()> whileWarningOpen;
};

// Records every notification; Refuse sends one back Undelivered, as a
// desktop without a notification service would, some time after.
class RecordingNotifications final : public NotificationService {
  public:
    void Notify(const Notification& notification) override { sent.push_back(notification); }
    void Refuse(size_t index) { emit Undelivered(sent.at(index)); }

    std::vector<Notification> sent;
};

inline void PrintTo(const Notification& notification, std::ostream* out) {
    *out << (notification.Urgency == NotificationUrgency::Critical ? "critical " : "normal ")
         << notification.Summary.toStdString() << ": " << notification.Body.toStdString();
}

class ScriptedOnline final : public OnlineState {
  public:
    bool Online() const override { return online; }
    std::string CurrentAddress() const override { return address; }
    std::string CurrentInterface() const override { return online ? interface : std::string(); }
    void SetCounting(const CountingSettings& settings) override { counting = settings; }

    bool online = false;
    std::string address = "127.0.0.1";
    std::string interface = "ppp0";
    CountingSettings counting;
};

class FakePlatform final : public OsPlatform {
  public:
    explicit FakePlatform(OsFamily family = OsFamily::Linux) : family_(family) {}
    OsFamily Family() const override { return family_; }
    std::optional<std::string> ExecutablePath() const override { return executable; }

    std::optional<std::string> executable = "/opt/vimo/vimo";

  private:
    OsFamily family_;
};

// With `locked` set, writing and removing fail as in a folder that may not
// be written.
class FakeAutostart final : public AutostartStore {
  public:
    std::optional<std::string> ReadProgramPath() const override { return path; }
    void Write(const std::string& programPath) override;
    void Remove() override;

    std::optional<std::string> path;
    bool locked = false;
};

// Records what the dialog was asked to show and answers with `answer`
// (nullopt: cancelled); `whileOpen` runs while it "is open".
class FakeSaveDialog final : public SaveFileDialog {
  public:
    std::optional<std::filesystem::path> Run(QWidget* parent,
                                             const SaveDialogRequest& request) override;

    std::optional<std::filesystem::path> answer;
    std::vector<SaveDialogRequest> requests;
    QWidget* parentSeen = nullptr;
    std::function<void()> whileOpen;
};

// Records the token of each activation and shows the window, as the desktop
// would.
class RecordingActivation final : public WindowActivation {
  public:
    void Activate(QWidget* window, const QString& token) override;

    QStringList tokens;
};
