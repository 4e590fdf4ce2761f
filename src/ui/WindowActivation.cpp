#include "WindowActivation.h"

#include "X11StartupNotice.h"

#include <qpa/qplatformnativeinterface.h>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <charconv>

namespace {

constexpr std::string_view kTimeMark = "_TIME";

void ShowRaiseActivate(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

// Qt's X11 platform hands out its functions for programs that take startup
// notification into their own hands under one type, with no public call for
// them; this casts one back to its own, through the type that matches every
// function.
template <class Function, class Found>
Function As(Found found) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

void ActivateOnX11(QWidget* window, const QString& startupId) {
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    const QByteArray id = startupId.toLatin1();
    if (const std::optional<std::uint32_t> time = StartupIdTime(id.toStdString())) {
        // Qt stamps its request for the focus with the time of the last
        // event it saw, older than the user's action that made the later
        // start; a window manager that prevents focus stealing refuses that.
        using SetTime = void (*)(QScreen*, std::uint32_t);
        if (const auto setTime =
                As<SetTime>(native->nativeResourceFunctionForScreen("setapptime"))) {
            setTime(window->screen(), *time);
        }
    }
    const bool shown = window->isVisible();
    if (!id.isEmpty() && !shown) {
        // The window mapped next carries the id, by which the window
        // manager knows the launch; mapping it ends the startup notice.
        using SetStartupId = void (*)(const char*);
        if (const auto setId =
                As<SetStartupId>(native->nativeResourceFunctionForIntegration("setstartupid"))) {
            setId(id.constData());
        }
    }
    ShowRaiseActivate(window);
    if (shown) {
        EndX11StartupNotice(id);
    }
}

void ActivateWithToken(QWidget* window, const QString& token) {
    // Qt's xdg-shell reads the variable when the window asks for the focus
    // and hands it to the compositor's xdg-activation: Qt 6.4 has no public
    // call that takes a token.
    qputenv("XDG_ACTIVATION_TOKEN", token.toLatin1());
    window->activateWindow();
    // Used or not, it must not reach a program started from here.
    qunsetenv("XDG_ACTIVATION_TOKEN");
}

// A compositor takes a token only for a surface it shows, which a window
// shown just now is not before its first frame: the activation waits for
// the window's expose, and for its frame, drawn while the expose is handled.
class ActivationOnExpose final : public QObject {
  public:
    ActivationOnExpose(QWidget* window, const QString& token)
        : QObject(window), window_(window), token_(token) {
        setObjectName(QLatin1String(kName));
        window->windowHandle()->installEventFilter(this);
    }

    static constexpr char kName[] = "ActivationOnExpose";

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && window_->windowHandle()->isExposed()) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                ActivateWithToken(window_, token_);
                deleteLater();
            });
        }
        return false;
    }

  private:
    QWidget* window_;
    QString token_;
};

void ActivateOnWayland(QWidget* window, const QString& token) {
    // A request that waits still for its window's frame is outdone.
    delete window->findChild<QObject*>(QLatin1String(ActivationOnExpose::kName),
                                       Qt::FindDirectChildrenOnly);
    window->show();
    window->raise();
    if (token.isEmpty()) {
        window->activateWindow();
    } else if (window->windowHandle()->isExposed()) {
        ActivateWithToken(window, token);
    } else {
        new ActivationOnExpose(window, token);
    }
}

}  // namespace

void PlainWindowActivation::Activate(QWidget* window, const QString& /*token*/) {
    ShowRaiseActivate(window);
}

void DesktopWindowActivation::Activate(QWidget* window, const QString& token) {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb")) {
        ActivateOnX11(window, token);
    } else if (platform.startsWith(QLatin1String("wayland"))) {
        ActivateOnWayland(window, token);
    } else {
        ShowRaiseActivate(window);
    }
}

void EndStartupNotice(const QString& token) {
    EndX11StartupNotice(token.toLatin1());
}

std::optional<std::uint32_t> StartupIdTime(std::string_view startupId) {
    const std::size_t mark = startupId.rfind(kTimeMark);
    if (mark == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view digits = startupId.substr(mark + kTimeMark.size());
    std::uint32_t time = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), time);
    // 0 is X's "current time", which no action happened at.
    if (error != std::errc() || end != digits.data() + digits.size() || digits.empty() ||
        time == 0) {
        return std::nullopt;
    }
    return time;
}
