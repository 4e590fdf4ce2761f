#pragma once

#include <memory>
#include <string>
#include <vector>

#include "TrayShell.h"

// A tray shell that records every call; the log outlives the shell, so a
// test can see the removal done by the icon's destructor.
struct TrayCall {
    std::string Kind;  // "add", "modify", "delete"
    QString Tip;
    qint64 ImageKey = 0;
};

class RecordingTrayShell : public TrayShell {
  public:
    using Log = std::vector<TrayCall>;

    explicit RecordingTrayShell(std::shared_ptr<Log> log) : log_(std::move(log)) {}

    bool Available() override { return TrayPresent; }
    void Add(const QIcon& image, const QString& tip) override {
        log_->push_back({"add", tip, image.cacheKey()});
    }
    void Modify(const QIcon& image, const QString& tip) override {
        log_->push_back({"modify", tip, image.cacheKey()});
    }
    void Delete() override { log_->push_back({"delete", {}, 0}); }

    void Report(TrayMouseAction action, QPoint cursor = {}, bool alt = false) {
        OnActivated(TrayActivation{action, cursor, alt});
    }
    void TrayAppears() {
        TrayPresent = true;
        OnAvailable();
    }

    bool TrayPresent = true;

  private:
    std::shared_ptr<Log> log_;
};
