// Vimo: counts the minutes online for connections paid by the minute. It
// lives in the notification area; its window opens from the tray icon.
#include "AutostartStore.h"
#include "DataFiles.h"
#include "DesktopTrayShell.h"
#include "ErrorHandler.h"
#include "FreedesktopNotifications.h"
#include "IPWatchOnline.h"
#include "KernelByteCounters.h"
#include "OsPlatform.h"
#include "QtMessageBoxes.h"
#include "RunningCopy.h"
#include "SaveFileDialog.h"
#include "Unit1.h"
#include "WindowPlaceStore.h"
#include "WorkDir.h"

#include <QApplication>
#include <QDBusConnection>
#include <QFileInfo>
#include <QSettings>

#include <cstdlib>
#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
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
        if (copy.Acquire() == RunningCopy::Outcome::AnotherCopyRuns) {
            return 0;
        }
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
    // The overview's size and place, in the user's settings of the program.
    QSettingsPlaceStore places(
        std::make_unique<QSettings>(QStringLiteral("Vimo"), QStringLiteral("Vimo")));
    // Notices go to the session's notification service, with the program
    // folder's online picture as their icon where Vimo is not installed.
    FreedesktopNotifications notifications(
        QDBusConnection::sessionBus(),
        QString::fromStdString((workDir / datafiles::kOnlineIcon).string()));
    TForm1 form(Form1Services{clock, boxes, platform, autostart, saveDialog, workDir, std::cerr,
                              &counters, &places, &notifications},
                std::move(watch),
                std::make_unique<DesktopTrayShell>(DesktopTrayShell::SessionBus()));
    QObject::connect(&form, &TForm1::Closed, &app, &QApplication::quit);
    QObject::connect(&copy, &RunningCopy::ShowRequested, &form, &TForm1::ShowOnRequest);
    return QApplication::exec();
}
