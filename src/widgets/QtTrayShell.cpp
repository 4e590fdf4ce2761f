#include "QtTrayShell.h"

#include <QApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QStyle>

#include "StatusNotifierItem.h"

namespace {

constexpr int kTrayPollMs = 1000;

}  // namespace

QtTrayShell::QtTrayShell() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    notifierHost_ = StatusNotifierHostRegistered(bus);
    connect(&icon_, &QSystemTrayIcon::activated, this, &QtTrayShell::Report);
    // A program started with the desktop session can come up before the tray
    // host; it keeps looking for as long as it runs, so it never stays invisible.
    trayPoll_.setInterval(kTrayPollMs);
    connect(&trayPoll_, &QTimer::timeout, this, &QtTrayShell::CheckForTray);
}

bool QtTrayShell::IsAvailable() {
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        return true;
    }
    trayPoll_.start();
    return false;
}

void QtTrayShell::CheckForTray() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        return;
    }
    trayPoll_.stop();
    emit Available();
}

// Without an image a tray shows an empty, easily missed slot; a stock picture
// keeps the program findable until its own image is loaded.
QIcon QtTrayShell::Shown(const QIcon& image) const {
    if (!image.isNull()) {
        return image;
    }
    return QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
}

void QtTrayShell::Add(const QIcon& image, const QString& tip) {
    icon_.setIcon(Shown(image));
    icon_.setToolTip(tip);
    icon_.show();
}

void QtTrayShell::Modify(const QIcon& image, const QString& tip) {
    icon_.setIcon(Shown(image));
    icon_.setToolTip(tip);
}

void QtTrayShell::Delete() {
    icon_.hide();
}

void QtTrayShell::ShowMessage(const QString& title, const QString& text) {
    constexpr int kShownMs = 15000;
    icon_.showMessage(title, text, QSystemTrayIcon::Information, kShownMs);
}

void QtTrayShell::Report(QSystemTrayIcon::ActivationReason reason) {
    TrayActivation activation;
    activation.Cursor = QCursor::pos();
    activation.AltDown = QGuiApplication::queryKeyboardModifiers().testFlag(Qt::AltModifier);
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            activation.Action =
                notifierHost_ ? TrayMouseAction::PrimaryActivation : TrayMouseAction::LeftPress;
            break;
        case QSystemTrayIcon::DoubleClick:
            activation.Action = TrayMouseAction::LeftDoubleClick;
            break;
        case QSystemTrayIcon::Context:
            activation.Action = TrayMouseAction::RightPress;
            break;
        case QSystemTrayIcon::MiddleClick:
            activation.Action = TrayMouseAction::MiddlePress;
            break;
        default:
            return;
    }
    emit Activated(activation);
}
