#pragma once

#include <QIcon>
#include <QImage>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "TrayShell.h"

// A tray shell that records every call; the log outlives the shell, so a
// test can see the removal done by the icon's destructor.
struct TrayCall {
    std::string Kind;  // "add", "modify", "delete", "message"
    QString Tip;       // a message's title, then its text
    QIcon Image;
};

class RecordingTrayShell final : public TrayShell {
  public:
    using Log = std::vector<TrayCall>;

    explicit RecordingTrayShell(std::shared_ptr<Log> log) : log_(std::move(log)) {}

    bool IsAvailable() override { return TrayPresent; }
    void Add(const QIcon& image, const QString& tip) override {
        log_->push_back({"add", tip, image});
    }
    void Modify(const QIcon& image, const QString& tip) override {
        log_->push_back({"modify", tip, image});
    }
    void Delete() override { log_->push_back({"delete", {}, {}}); }
    void ShowMessage(const QString& title, const QString& text) override {
        log_->push_back({"message", title + '\n' + text, {}});
    }

    bool ShowsMenu() const override { return HostShowsMenu; }

    void Report(TrayMouseAction action, QPoint cursor = {}, bool alt = false,
                const QString& token = {}) {
        emit Activated(TrayActivation{action, cursor, alt, token});
    }
    void TrayAppears() {
        TrayPresent = true;
        emit Available();
    }
    void TrayGoes() {
        TrayPresent = false;
        emit Lost();
    }
    void HostOpensMenu() { emit MenuAboutToShow(); }

    bool TrayPresent = true;
    bool HostShowsMenu = false;

  private:
    std::shared_ptr<Log> log_;
};

// Whether `image` is the picture of the image file at `path` (of an icon file,
// its first size), pixel for pixel.
inline bool ShowsImageFile(const QIcon& image, const QString& path) {
    const QImage expected = QImage(path).convertToFormat(QImage::Format_ARGB32);
    if (expected.isNull() || image.isNull()) {
        return false;
    }
    const QImage shown = image.pixmap(expected.size()).toImage();
    return shown.convertToFormat(QImage::Format_ARGB32) == expected;
}
