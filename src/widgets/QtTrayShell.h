#pragma once

#include <QSystemTrayIcon>
#include <QTimer>

#include "TrayShell.h"

// The tray shell over QSystemTrayIcon: XEmbed trays and StatusNotifierItem
// hosts, whichever the desktop offers.
class QtTrayShell final : public TrayShell {
    Q_OBJECT
  public:
    QtTrayShell();

    bool IsAvailable() override;
    void Add(const QIcon& image, const QString& tip) override;
    void Modify(const QIcon& image, const QString& tip) override;
    void Delete() override;
    void ShowMessage(const QString& title, const QString& text) override;

  private:
    void Report(QSystemTrayIcon::ActivationReason reason);
    void CheckForTray();
    QIcon Shown(const QIcon& image) const;

    QSystemTrayIcon icon_;
    QTimer trayPoll_;
    // Qt talks to a StatusNotifierItem host when one is registered on the
    // session bus at start; such a host reports no double clicks.
    bool notifierHost_ = false;
};
