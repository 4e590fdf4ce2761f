#include "TrayIcon.h"

#include <QFile>
#include <QImageReader>
#include <QPixmap>
#include <algorithm>

TTrayIcon::TTrayIcon(QWidget* owner, std::unique_ptr<TrayShell> shell,
                     std::chrono::milliseconds trayGrace)
    : QObject(owner), owner_(owner), shell_(std::move(shell)) {
    connect(shell_.get(), &TrayShell::Activated, this, &TTrayIcon::HandleActivation);
    connect(shell_.get(), &TrayShell::Available, this, [this] {
        if (awaitingTray_ && active_) {
            RegisterIcon();
        }
    });
    connect(shell_.get(), &TrayShell::Lost, this, &TTrayIcon::TrayLost);
    connect(shell_.get(), &TrayShell::MenuAboutToShow, this, &TTrayIcon::PopUp);
    trayGrace_.setSingleShot(true);
    trayGrace_.setInterval(trayGrace);
    connect(&trayGrace_, &QTimer::timeout, this, [this] {
        if (awaitingTray_) {
            emit TrayMissing();
        }
    });
}

TTrayIcon::~TTrayIcon() {
    UnhookOwner();
    hint_.clear();
    if (registered_) {
        shell_->Delete();
    }
    // The shell goes after the members declared behind it; nothing it reports
    // on its way out may reach them.
    shell_->disconnect(this);
}

void TTrayIcon::Loaded() {
    loaded_ = true;
    HookOwner();
    if (active_) {
        active_ = false;
        SetActive(true);
    }
}

void TTrayIcon::SetActive(bool value) {
    if (value == active_) {
        return;
    }
    active_ = value;
    if (value) {
        Activate();
    } else {
        Deactivate();
    }
}

// The owner is never shown at start: only the icon appears. A hidden window
// has no taskbar entry, so nothing else is needed for that.
void TTrayIcon::Activate() {
    HookOwner();
    if (owner_) {
        owner_->hide();
    }
    if (shell_->IsAvailable()) {
        RegisterIcon();
    } else {
        AwaitTray();
    }
}

// A tray that comes during the grace is all the user needs; one that comes
// later takes the icon, and the owner stays where the user has it.
void TTrayIcon::AwaitTray() {
    awaitingTray_ = true;
    trayGrace_.start();
}

void TTrayIcon::TrayLost() {
    if (!registered_) {
        return;
    }
    registered_ = false;
    AwaitTray();
}

void TTrayIcon::Deactivate() {
    UnhookOwner();
    awaitingTray_ = false;
    trayGrace_.stop();
    if (registered_) {
        registered_ = false;
        shell_->Delete();
    }
}

void TTrayIcon::HookOwner() {
    if (!hooked_ && owner_) {
        owner_->installEventFilter(this);
        hooked_ = true;
    }
}

void TTrayIcon::UnhookOwner() {
    if (hooked_ && owner_) {
        owner_->removeEventFilter(this);
    }
    hooked_ = false;
}

void TTrayIcon::RegisterIcon() {
    awaitingTray_ = false;
    trayGrace_.stop();
    registered_ = true;
    shell_->Add(icon_, TipText(hint_));
}

void TTrayIcon::SendChange() {
    if (registered_) {
        shell_->Modify(icon_, TipText(hint_));
    }
}

QString TTrayIcon::TipText(const QString& hint) {
    int length = std::min<int>(hint.size(), kTipLength);
    // A character outside the basic plane takes two code units; never split it.
    if (length < hint.size() && length > 0 && hint.at(length - 1).isHighSurrogate()) {
        --length;
    }
    return hint.left(length);
}

void TTrayIcon::SetHint(const QString& text) {
    if (text == hint_ && loaded_) {
        return;
    }
    hint_ = text;
    SendChange();
}

void TTrayIcon::ShowMessage(const QString& title, const QString& text) {
    if (registered_) {
        shell_->ShowMessage(title, text);
    }
}

void TTrayIcon::SetIcon(const QIcon& image) {
    icon_ = image;
    SendChange();
}

void TTrayIcon::LoadIconFromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw EFOpenError(path.toStdString());
    }
    // An icon file may hold several sizes; the tray picks the one it needs.
    QImageReader reader(&file);
    QIcon loaded;
    do {
        const QImage image = reader.read();
        if (image.isNull()) {
            break;
        }
        loaded.addPixmap(QPixmap::fromImage(image));
    } while (reader.jumpToNextImage());
    if (loaded.isNull()) {
        throw EFOpenError(path.toStdString());
    }
    SetIcon(loaded);
}

bool TTrayIcon::eventFilter(QObject* watched, QEvent* event) {
    if (watched != owner_.data()) {
        return false;
    }
    if (event->type() == QEvent::Close) {
        if (closeAllowed_) {
            closeAllowed_ = false;
            return false;
        }
        if (noClose_ && active_) {
            event->ignore();
            if (registered_) {
                owner_->hide();
            } else {
                // Hidden, it could not be found again: it waits on the taskbar.
                owner_->showMinimized();
            }
            return true;
        }
    } else if (event->type() == QEvent::WindowStateChange) {
        if (!showMinimizedIcon_ && registered_ && owner_->isVisible() && owner_->isMinimized()) {
            HideMinimizedOwner();
        }
    } else if (event->type() == QEvent::Show) {
        // Qt sends it before it maps the window, so the window comes up restored.
        if (hiddenMinimized_) {
            hiddenMinimized_ = false;
            owner_->setWindowState(owner_->windowState() & ~Qt::WindowMinimized);
        }
    }
    return false;
}

// The window leaves the screen and its taskbar entry goes with it. It stays
// minimised while hidden: on X11 dropping the minimised state maps the window,
// so doing it here would put back an empty frame the window manager manages
// again. The state is dropped when the window is shown; shown still minimised,
// it would come up iconified and, with no taskbar entry, out of reach.
void TTrayIcon::HideMinimizedOwner() {
    owner_->hide();
    hiddenMinimized_ = true;
}

void TTrayIcon::HandleActivation(const TrayActivation& activation) {
    cursorX_ = activation.Cursor.x();
    cursorY_ = activation.Cursor.y();
    const TShiftState shift = activation.AltDown ? TShiftState{ssAlt} : TShiftState{0};
    switch (activation.Action) {
        case TrayMouseAction::LeftPress:
            ReportMouseDown(TMouseButton::mbLeft, shift);
            emit Click();
            break;
        case TrayMouseAction::LeftDoubleClick:
            emit DblClick();
            ReportMouseDown(TMouseButton::mbLeft, shift | ssDouble);
            break;
        case TrayMouseAction::RightPress:
            ReportMouseDown(TMouseButton::mbRight, shift);
            // A host that shows the menu itself has it already; a menu of
            // ours would open as a stray window where popups need a parent.
            if (!shell_->ShowsMenu()) {
                OpenPopupMenu();
            }
            emit Click();
            break;
        case TrayMouseAction::MiddlePress:
            ReportMouseDown(TMouseButton::mbMiddle, shift);
            emit Click();
            break;
        case TrayMouseAction::PrimaryActivation:
            // Such a host reports no double clicks; without this the window
            // could be reached only through the menu.
            activationToken_ = activation.ActivationToken;
            emit DblClick();
            break;
    }
}

void TTrayIcon::ReportMouseDown(TMouseButton button, TShiftState shift) {
    emit MouseDown(button, shift, cursorX_, cursorY_);
}

void TTrayIcon::OpenPopupMenu() {
    if (!popupMenu_) {
        return;
    }
    emit PopUp();
    // A receiver of PopUp may have deleted the menu.
    if (popupMenu_) {
        popupMenu_->popup(QPoint(cursorX_, cursorY_));
    }
}
