#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

#include "QtTrayShell.h"
#include "StatusNotifierItem.h"
#include "TrayShell.h"

// The tray shell for whatever the desktop offers, chosen anew whenever the
// desktop changes: a StatusNotifierItem host (GNOME with its extension,
// Plasma, waybar) gets the program's own item and shows its menu itself;
// else, on X11, an XEmbed tray gets Qt's icon; else there is no tray, and
// the shell looks again every second.
//
// Qt decides once per process, at its first tray call, whether its icon
// talks to a StatusNotifierItem host; Qt's icon is made only when no host is
// registered, so that decision is always "XEmbed" and never a second icon.
class DesktopTrayShell final : public TrayShell {
    Q_OBJECT
  public:
    // Opens a connection of its own to the desktop's bus under the given
    // connection name. Each item gets one: closing it is how hosts learn
    // that the item is gone.
    using BusConnector = std::function<QDBusConnection(const QString& connectionName)>;

    explicit DesktopTrayShell(BusConnector connector);
    ~DesktopTrayShell() override;

    // The connector for the session bus.
    static BusConnector SessionBus();

    bool IsAvailable() override;
    void Add(const QIcon& image, const QString& tip) override;
    void Modify(const QIcon& image, const QString& tip) override;
    void Delete() override;
    void ShowMessage(const QString& title, const QString& text) override;
    void SetMenu(QMenu* menu) override;
    bool ShowsMenu() const override;

  private slots:
    // Looks at the desktop again and moves the icon to the tray it offers.
    void Follow();

  private:
    enum class Tray { None, Notifier, Embedded };

    Tray FindTray();
    void ShowIcon();
    void ShowNotifierItem();
    void ShowEmbeddedIcon();
    void TakeDown();
    void Report(TrayMouseAction action, QPoint cursor, const QString& token = {});

    BusConnector connect_;
    QDBusConnection bus_;
    QDBusServiceWatcher watcherName_;
    QTimer poll_;
    Tray tray_ = Tray::None;
    // IsAvailable answered "none", or Lost went out: the next tray is
    // announced with Available.
    bool announce_ = false;
    bool shown_ = false;
    QIcon image_;
    QString tip_;
    QPointer<QMenu> menu_;
    std::unique_ptr<StatusNotifierItem> item_;
    std::unique_ptr<QtTrayShell> embedded_;
};
