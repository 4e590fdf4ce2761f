#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <string_view>

class QWidget;

// Brings a window of the program to the front when a later start asks for
// it. Desktops refuse the focus to a program that merely asks; they give it
// for the user's own action, which the launcher of that start named by a
// token: the startup id (DESKTOP_STARTUP_ID) on X11, an xdg-activation token
// (XDG_ACTIVATION_TOKEN) on Wayland.
class WindowActivation {
  public:
    virtual ~WindowActivation() = default;
    // Shows `window`, raises it and asks for the focus with `token` (empty:
    // none, and the desktop decides as it likes).
    virtual void Activate(QWidget* window, const QString& token) = 0;
};

// Qt's show, raise and activate; a token is of no use to it.
class PlainWindowActivation final : public WindowActivation {
  public:
    void Activate(QWidget* window, const QString& token) override;
};

// The desktop's own way: the token goes to the compositor's xdg-activation
// on Wayland, and on X11 the startup id's time stamps the request for the
// focus and its id ends the launcher's startup notification. Elsewhere it is
// PlainWindowActivation.
class DesktopWindowActivation final : public WindowActivation {
  public:
    void Activate(QWidget* window, const QString& token) override;
};

// Ends the desktop's startup notice of a start that shows no window, as the
// first copy starts into the tray: on X11 the launcher's busy pointer would
// wait for its time-out. A Wayland token has no such end; unused, it expires.
void EndStartupNotice(const QString& token);

// The X server time of the user's action a startup id carries at its end
// ("..._TIME<decimal>"); nothing when it carries none a server could have
// given.
std::optional<std::uint32_t> StartupIdTime(std::string_view startupId);
