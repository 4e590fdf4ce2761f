#pragma once

#include "AutostartStore.h"
#include "MainWindow.h"
#include "OnlineState.h"
#include "OsPlatform.h"
#include "SessionLog.h"

#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class TForm1;

// What the window works through: the clock, the message boxes and beep, the
// operating system, the autostart entry, the save dialog and the data folder.
using Form1Services = WindowServices;

// Makes the tray icon for the window, with the window's menu and handlers.
using TrayFactory = std::function<std::unique_ptr<TrayView>(TForm1& owner)>;

// The main window with the program's start-up and its minute tick. It owns
// the IP watcher (already active when handed over), the tray icon and the
// timer; construction ends by running FormCreate.
class TForm1 : public TMainWindow {
    Q_OBJECT

  public:
    static constexpr int kTickMilliseconds = 60000;

    TForm1(const Form1Services& services, std::unique_ptr<OnlineState> IPWatch1,
           const TrayFactory& makeTray);
    ~TForm1() override;

    void FormCreate();
    void Check_OS();
    void Timer1Timer();

    bool SessionOpen = false;
    int32_t SessionMinutes = 0;
    QTimer* Timer1 = nullptr;

  private:
    TSessionLog& SessionLog();
    // Leaves the session state: no session, offline picture.
    void EndSession();

    OsPlatform& platform_;
    const AutostartStore& autostart_;
    std::unique_ptr<OnlineState> IPWatch1_;
    std::optional<TSessionLog> sessionLog_;
};
