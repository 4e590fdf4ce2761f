// Vimo: counts the minutes online for connections paid by the minute. It
// lives in the notification area; its window opens from the tray icon.
#include "Catalogues.h"
#include "ChartModule.h"
#include "DesktopTrayShell.h"
#include "ErrorHandler.h"
#include "FreedesktopNotifications.h"
#include "IPWatchOnline.h"
#include "KernelByteCounters.h"
#include "NetworkManagerStopper.h"
#include "QtMessageBoxes.h"
#include "RunningCopy.h"
#include "SaveFileDialog.h"
#include "Unit1.h"
#include "WindowActivation.h"
#include "WindowPlaceStore.h"
#include "core/DataFiles.h"
#include "system/AutostartStore.h"
#include "system/OsPlatform.h"
#include "system/UiLanguage.h"
#include "system/WorkDir.h"

#include <QApplication>
#include <QDBusConnection>
#include <QFileInfo>
#include <QSettings>

#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace {

// The token with which the desktop launched this start, so that the window
// it opens may take the focus: Wayland's, else X11's startup id. Both are
// taken out of the environment before Qt reads them, as they belong to this
// start alone: the running copy is handed this one, and no program started
// from here may pass them on.
QString TakeActivationToken() {
    QString token;
    for (const char* name : {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"}) {
        if (token.isEmpty()) {
            token = qEnvironmentVariable(name);
        }
        qunsetenv(name);
    }
    return token;
}

}  // namespace

int main(int argc, char** argv) {
    const QString activationToken = TakeActivationToken();
    QApplication app(argc, argv);
    // The texts in the user's language, before any of them is shown.
    Catalogues catalogues(RequestedUiLanguageOfEnvironment());
    catalogues.Install();
    // The desktop entry's name, by which Wayland compositors and docks give
    // the window its icon and group it with the menu's launcher.
    QGuiApplication::setDesktopFileName(QStringLiteral("vimo"));
    // The application's title is empty: it is the caption of the error boxes.
    QApplication::setApplicationDisplayName(QStringLiteral(""));
    // Closing the window only hides it; the program ends through the tray menu.
    QApplication::setQuitOnLastWindowClosed(false);

    SystemClock clock;
    QtMessageBoxes boxes;
    LinuxPlatform platform;
    DesktopAutostartStore autostart(DefaultAutostartFile());
    QtSaveFileDialog saveDialog;

    // The working folder is decided and locked before any data file is read
    // and before the watcher starts: a second start there only shows the
    // window of the copy already running, and ends.
    const std::string moduleName =
        QFileInfo(QApplication::applicationFilePath()).fileName().toStdString();
    std::filesystem::path workDir;
    try {
        workDir = RestoreWorkDir(autostart.ReadProgramPath(), StartedInFolder());
    } catch (const std::exception& error) {
        return ReportApplicationError(boxes, error, moduleName);
    }
    // The runtime folder is the session's; without one the socket goes in a
    // private folder under /tmp.
    const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR");
    RunningCopy copy(workDir, SocketPlaces{runtimeDir != nullptr ? runtimeDir : "", "/tmp"});
    try {
        if (copy.Acquire(activationToken) == RunningCopy::Outcome::AnotherCopyRuns) {
            return 0;
        }
        // This copy starts into the tray, with no window to end the
        // launcher's notice.
        EndStartupNotice(activationToken);
    } catch (const std::exception& error) {
        return ReportApplicationError(boxes, error, moduleName);
    }

    // The watcher starts while the window is being built; if its socket stack
    // cannot start, the program ends before touching any data file.
    std::unique_ptr<OnlineState> watch;
    try {
        watch = std::make_unique<IPWatchOnline>();
    } catch (const std::exception& error) {
        return ReportApplicationError(boxes, error, moduleName);
    }

    const KernelByteCounters counters;
    DesktopWindowActivation activation;
    // The overview's size and place, in the user's settings of the program.
    QSettingsPlaceStore places(
        std::make_unique<QSettings>(QStringLiteral("Vimo"), QStringLiteral("Vimo")));
    // Notices go to the session's notification service. Where Vimo is not
    // installed, their icon is the folder's online picture, which the
    // program's own icon is drawn from.
    FreedesktopNotifications notifications(
        QDBusConnection::sessionBus(),
        QString::fromStdString((workDir / datafiles::kOnlineIcon).string()));
    // The stop at the budget asks NetworkManager, on the system bus, to end
    // the connection.
    NetworkManagerStopper stopper(QDBusConnection::systemBus());
    TForm1 form(
        Form1Services{clock, boxes, platform, autostart, saveDialog, workDir, std::cerr, &counters,
                      &places, &notifications, &activation, ChartFromModule(std::cerr), &stopper},
        std::move(watch), std::make_unique<DesktopTrayShell>(DesktopTrayShell::SessionBus()));
    QObject::connect(&form, &TForm1::Closed, &app, &QApplication::quit);
    QObject::connect(&copy, &RunningCopy::ShowRequested, &form, &TForm1::ShowOnRequest);
    return QApplication::exec();
}
