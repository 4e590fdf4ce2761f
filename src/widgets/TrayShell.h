#pragma once

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QString>

// A mouse action on the tray icon, as far as the desktop's tray reports it.
// A tray that embeds the icon as a window of ours (XEmbed) reports presses and
// the left double click; a tray host that draws the icon itself
// (StatusNotifierItem) reports only "activated", "secondary activation" and
// "context menu", with no button and no click count. No tray reports button
// releases or pointer moves.
enum class TrayMouseAction {
    LeftPress,
    LeftDoubleClick,
    RightPress,   // also the host's context-menu request
    MiddlePress,  // also the host's secondary activation
    PrimaryActivation,
};

struct TrayActivation {
    TrayMouseAction Action = TrayMouseAction::LeftPress;
    QPoint Cursor;  // screen position of the cursor when the report arrived
    bool AltDown = false;
    // The token a Wayland host hands over with its activation, so that the
    // window it opens may take the focus; empty when none came.
    QString ActivationToken;
};

// The desktop's notification area, holding one icon with an image and a tip.
// Results of the calls are not reported: a tray that refuses the icon leaves
// nothing the program could do about it.
class TrayShell : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    // Whether a tray exists right now. When it does not, the shell keeps
    // looking and emits Available once a tray appears.
    virtual bool IsAvailable() = 0;
    virtual void Add(const QIcon& image, const QString& tip) = 0;
    virtual void Modify(const QIcon& image, const QString& tip) = 0;
    virtual void Delete() = 0;
    // A passing notification beside the icon, or from the desktop's
    // notification service where the tray host hands it on.
    virtual void ShowMessage(const QString& title, const QString& text) = 0;
    // The icon's menu. A host that draws the icon itself is handed the menu
    // and shows it on its own (ShowsMenu); an embedding tray only reports the
    // press, and the icon pops the menu up.
    virtual void SetMenu(QMenu* menu) { Q_UNUSED(menu); }
    virtual bool ShowsMenu() const { return false; }

  signals:
    void Activated(const TrayActivation& activation);
    // A tray appeared after IsAvailable said there was none, or came back.
    void Available();
    // The tray went away (its host ended); the icon is seen nowhere until
    // Available.
    void Lost();
    // A host that shows the menu itself is about to open it.
    void MenuAboutToShow();
};
