#include "DesktopTrayShell.h"

#include <QApplication>
#include <QGuiApplication>
#include <QStyle>
#include <QSystemTrayIcon>
#include <atomic>

namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
constexpr int kPollMs = 1000;

// Without an image a host shows an empty, easily missed slot; a stock
// picture keeps the program findable until its own image is loaded.
QIcon Shown(const QIcon& image) {
    if (!image.isNull()) {
        return image;
    }
    return QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
}

// Connection names are the process's: two shells (or two items) must never
// share one.
QString NextConnectionName(const char* kind) {
    static std::atomic<int> counter{0};
    return QStringLiteral("vimo-tray-%1-%2").arg(QLatin1String(kind)).arg(++counter);
}

}  // namespace

DesktopTrayShell::BusConnector DesktopTrayShell::SessionBus() {
    return [](const QString& connectionName) {
        return QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName);
    };
}

DesktopTrayShell::DesktopTrayShell(BusConnector connector)
    : connect_(std::move(connector)),
      bus_(connect_(NextConnectionName("watch"))),
      watcherName_(kWatcherService, bus_, QDBusServiceWatcher::WatchForOwnerChange) {
    connect(&watcherName_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            &DesktopTrayShell::Follow);
    for (const char* change : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"}) {
        bus_.connect(kWatcherService, kWatcherPath, kWatcherService, QString::fromLatin1(change),
                     this, SLOT(Follow()));
    }
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, &DesktopTrayShell::Follow);
}

DesktopTrayShell::~DesktopTrayShell() {
    for (const char* change : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"}) {
        bus_.disconnect(kWatcherService, kWatcherPath, kWatcherService, QString::fromLatin1(change),
                        this, SLOT(Follow()));
    }
    QDBusConnection::disconnectFromBus(bus_.name());
}

// Qt's tray calls come only after the host was found missing (see the class).
DesktopTrayShell::Tray DesktopTrayShell::FindTray() {
    if (StatusNotifierHostRegistered(bus_)) {
        return Tray::Notifier;
    }
    if (QGuiApplication::platformName() == QLatin1String("xcb") &&
        QSystemTrayIcon::isSystemTrayAvailable()) {
        return Tray::Embedded;
    }
    return Tray::None;
}

void DesktopTrayShell::Follow() {
    const Tray found = FindTray();
    const Tray before = tray_;
    if (found == Tray::None) {
        poll_.start();
    } else {
        poll_.stop();
    }
    if (found == before) {
        // The same kind of tray, perhaps a new watcher: it has to be told
        // about the item again.
        if (found == Tray::Notifier && item_) {
            item_->RegisterWithWatcher();
        }
        return;
    }
    tray_ = found;
    TakeDown();
    ShowIcon();
    if (found == Tray::None) {
        announce_ = true;
        emit Lost();
    } else if (announce_) {
        announce_ = false;
        emit Available();
    }
}

bool DesktopTrayShell::IsAvailable() {
    Follow();
    if (tray_ == Tray::None) {
        announce_ = true;
        return false;
    }
    return true;
}

void DesktopTrayShell::ShowIcon() {
    if (!shown_) {
        return;
    }
    if (tray_ == Tray::Notifier) {
        ShowNotifierItem();
    } else if (tray_ == Tray::Embedded) {
        ShowEmbeddedIcon();
    }
}

void DesktopTrayShell::ShowNotifierItem() {
    if (item_) {
        return;
    }
    item_ = std::make_unique<StatusNotifierItem>(connect_(NextConnectionName("item")),
                                                 Shown(image_), tip_, this);
    item_->SetMenu(menu_);
    connect(item_.get(), &StatusNotifierItem::Activated, this,
            [this](QPoint cursor, const QString& token) {
                Report(TrayMouseAction::PrimaryActivation, cursor, token);
            });
    connect(item_.get(), &StatusNotifierItem::SecondaryActivated, this,
            [this](QPoint cursor) { Report(TrayMouseAction::MiddlePress, cursor); });
    // The host shows the exported menu itself; the press is only reported.
    connect(item_.get(), &StatusNotifierItem::ContextMenuRequested, this,
            [this](QPoint cursor) { Report(TrayMouseAction::RightPress, cursor); });
    connect(item_.get(), &StatusNotifierItem::MenuAboutToShow, this, &TrayShell::MenuAboutToShow);
    item_->RegisterWithWatcher();
}

// The icon may be taken down from within its own report (a receiver of
// Activated that deactivates the icon): it leaves the tray at once and is
// deleted once the report is over.
void DesktopTrayShell::TakeDown() {
    if (item_) {
        item_->disconnect(this);
        item_->Withdraw();
        item_.release()->deleteLater();
    }
    if (embedded_) {
        embedded_->disconnect(this);
        embedded_->Delete();
        embedded_.release()->deleteLater();
    }
}

void DesktopTrayShell::ShowEmbeddedIcon() {
    if (!embedded_) {
        embedded_ = std::make_unique<QtTrayShell>();
        connect(embedded_.get(), &TrayShell::Activated, this, &TrayShell::Activated);
    }
    embedded_->Add(image_, tip_);
}

void DesktopTrayShell::Report(TrayMouseAction action, QPoint cursor, const QString& token) {
    TrayActivation activation;
    activation.Action = action;
    activation.Cursor = cursor;
    activation.AltDown = QGuiApplication::queryKeyboardModifiers().testFlag(Qt::AltModifier);
    activation.ActivationToken = token;
    emit Activated(activation);
}

void DesktopTrayShell::Add(const QIcon& image, const QString& tip) {
    image_ = image;
    tip_ = tip;
    shown_ = true;
    if (item_) {
        Modify(image, tip);
    } else {
        ShowIcon();
    }
}

void DesktopTrayShell::Modify(const QIcon& image, const QString& tip) {
    image_ = image;
    tip_ = tip;
    if (item_) {
        item_->SetImage(Shown(image));
        item_->SetTip(tip);
    }
    if (embedded_) {
        embedded_->Modify(image, tip);
    }
}

void DesktopTrayShell::Delete() {
    shown_ = false;
    TakeDown();
}

// Only an embedding tray draws balloons. A host has none: notices go to the
// desktop's notification service, and come here only when it did not answer.
void DesktopTrayShell::ShowMessage(const QString& title, const QString& text) {
    if (embedded_) {
        embedded_->ShowMessage(title, text);
    }
}

void DesktopTrayShell::SetMenu(QMenu* menu) {
    menu_ = menu;
    if (item_) {
        item_->SetMenu(menu);
    }
}

bool DesktopTrayShell::ShowsMenu() const {
    return tray_ == Tray::Notifier;
}
