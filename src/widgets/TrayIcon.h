#pragma once

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <memory>
#include <utility>

#include "TrayShell.h"
#include "core/Errors.h"

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Shift states of a mouse event. The tray reports no keys or buttons held, so
// only ssAlt (Alt down at the moment of the report) and ssDouble occur.
enum TShiftFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64,
};
using TShiftState = unsigned;

// The program's icon in the notification area. It keeps one icon registered
// with the tray while Active, turns the tray's mouse reports into signals,
// hides the owner window on close (NoClose) and on minimise
// (!ShowMinimizedIcon), and keeps the owner hidden at start.
//
// A window hidden with no tray to bring it back is lost to its user. While
// no tray shows the icon, closing and minimising leave the owner minimised on
// the taskbar instead, and when none has come `trayGrace` after activation
// (or after the tray went away), TrayMissing asks the owner to show itself.
//
// Like a component read from a stored form, it is configured first and
// activated by Loaded(); until then assignments only store their values.
class TTrayIcon : public QObject {
    Q_OBJECT
  public:
    static constexpr int kTipLength = 63;

    static constexpr std::chrono::milliseconds kTrayGrace = std::chrono::seconds(10);

    TTrayIcon(QWidget* owner, std::unique_ptr<TrayShell> shell,
              std::chrono::milliseconds trayGrace = kTrayGrace);
    ~TTrayIcon() override;

    // The after-loading step: hooks the owner window and, if Active, activates.
    void Loaded();

    void SetActive(bool value);
    bool Active() const { return active_; }
    void SetHint(const QString& text);
    QString Hint() const { return hint_; }
    void SetIcon(const QIcon& image);
    QIcon Icon() const { return icon_; }
    // Throws EFOpenError "Cannot open file <path>" for a file that cannot be
    // opened or holds no readable image; the old image stays and nothing is
    // sent to the tray.
    void LoadIconFromFile(const QString& path);
    // A notification from the icon; nothing while the icon is not shown.
    void ShowMessage(const QString& title, const QString& text);
    void SetNoClose(bool value) { noClose_ = value; }
    bool NoClose() const { return noClose_; }
    void SetShowMinimizedIcon(bool value) { showMinimizedIcon_ = value; }
    bool ShowMinimizedIcon() const { return showMinimizedIcon_; }
    void SetPopupMenu(QMenu* menu) {
        popupMenu_ = menu;
        shell_->SetMenu(menu);
    }
    QMenu* PopupMenu() const { return popupMenu_; }

    // Whether a tray shows the icon now.
    bool InTray() const { return registered_; }
    // The activation token the tray host handed over with the last
    // activation, given out once.
    QString TakeActivationToken() { return std::exchange(activationToken_, {}); }

    // The program's own exit: the next close of the owner is not intercepted.
    void AllowClose() { closeAllowed_ = true; }

    // The text the tray shows for a hint: its first 63 characters.
    static QString TipText(const QString& hint);

  signals:
    // The tray reports a click when the button goes down, so Click follows
    // the press. There are no release or move signals: no tray reports them.
    void Click();
    void DblClick();
    // Just before the popup menu opens; a receiver may still change the menu.
    void PopUp();
    // x and y are the cursor's screen position.
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    // No tray has shown the icon for the grace time: the owner must be seen.
    void TrayMissing();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Activate();
    void Deactivate();
    void HookOwner();
    void UnhookOwner();
    void RegisterIcon();
    void SendChange();
    void HandleActivation(const TrayActivation& activation);
    void ReportMouseDown(TMouseButton button, TShiftState shift);
    void OpenPopupMenu();
    void HideMinimizedOwner();
    void AwaitTray();
    void TrayLost();

    QPointer<QWidget> owner_;
    std::unique_ptr<TrayShell> shell_;
    bool active_ = true;
    bool loaded_ = false;
    bool hooked_ = false;
    bool registered_ = false;
    bool awaitingTray_ = false;
    bool noClose_ = false;
    bool showMinimizedIcon_ = false;
    bool closeAllowed_ = false;
    bool hiddenMinimized_ = false;
    QString hint_;
    QIcon icon_;
    QPointer<QMenu> popupMenu_;
    int cursorX_ = 0;
    int cursorY_ = 0;
    QString activationToken_;
    QTimer trayGrace_;
};
