#pragma once

#include "BudgetStopControl.h"
#include "ErrorHandler.h"
#include "InterfaceList.h"
#include "MessageBoxes.h"
#include "NotificationService.h"
#include "OnlineState.h"
#include "SaveFileDialog.h"
#include "TrayShell.h"
#include "UseChart.h"
#include "WindowActivation.h"
#include "WindowPlaceStore.h"
#include "core/Clock.h"
#include "meter/ConnectionMeter.h"
#include "system/AutostartStore.h"
#include "system/OsPlatform.h"

#include <QWidget>

#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>

class AboutPage;
class MainPage;
class OverviewWindow;
class QAction;
class QMenu;
class QTabBar;
class QTimer;
class SettingsPage;
class StatisticsPage;
class TTrayIcon;

// What the window works through: the clock, the message boxes and beep, the
// operating system, the autostart entry, the report save dialog, the
// working folder decided at start-up (absolute, see RestoreWorkDir), and
// where error and notice lines go.
struct Form1Services {
    const Clock& clock;
    MessageBoxes& boxes;
    OsPlatform& platform;
    AutostartStore& autostart;
    SaveFileDialog& saveDialog;
    std::filesystem::path workDir;
    std::ostream& log = std::cerr;
    // Where the connection's bytes are read; none keeps no bytes.
    const ByteCounters* counters = nullptr;
    // Where the overview keeps its size and place; none remembers nothing.
    WindowPlaceStore* places = nullptr;
    // The desktop's notifications; none leaves the tray balloon alone.
    NotificationService* notifications = nullptr;
    // How the window comes to the front with a desktop's token; none: Qt's
    // plain show and activate.
    WindowActivation* activation = nullptr;
    // The overview's chart; none: the overview goes without one.
    UseChartMaker makeChart = nullptr;
    // Stops the connection at the budget; none: a stop says it cannot be
    // made.
    ConnectionStopper* stopper = nullptr;
};

// The program's one window: the tab strip over its four pages, the tray icon
// with its menu, and the minute timer whose tick runs the connection meter.
// It owns the IP watcher (already active when handed over); construction
// ends by running FormCreate. Every handler runs through the top-level error
// handler.
class TForm1 : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kTickMilliseconds = 60000;
    static constexpr const char* kTitle = "Vimo  1.0";
    // In Russian; shown through tr().
    static constexpr const char* kExitQuestion =
        QT_TR_NOOP("Вы действительно хотите выключить программу ?");
    static constexpr const char* kNoTrayNotice =
        QT_TR_NOOP("Нет области уведомлений: окно остаётся на экране.");

    TForm1(const Form1Services& services, std::unique_ptr<OnlineState> IPWatch1,
           std::unique_ptr<TrayShell> trayShell);
    ~TForm1() override;

    // Start-up: the table, the settings, the main and statistics pages' data
    // and checks, the tray's tip and picture. A failing step is reported and
    // the later ones are skipped; the program goes on running with its timer.
    void FormCreate();
    // The tab strip and the four pages, built the first time the window is
    // shown; each page is then filled as the start-up would have filled it.
    void BuildPages();
    // The minute tick: the meter counts, the screen follows its answer.
    void Timer1Timer();

    void ChangePage(int page);
    void TabControl1Change();
    void N1Click();
    void N2Click();
    void N3Click();
    void N4Click();
    // "Обзор": the overview window, made the first time it is asked for.
    void N7Click();
    void N6Click();
    void TrayIcon1DblClick();
    // No tray shows the icon: the window stays on screen, and says why.
    void TrayMissing();
    // Another start in the working folder asked this copy to show itself,
    // with the desktop's activation token of that start (empty: none).
    void ShowOnRequest(const QString& token);
    void ChangeIcon(bool online);
    void UpDateHint();
    // A budget alert or a notice about what is counted: a notice line, and a
    // desktop notification, or the tray balloon where none can be delivered.
    void ShowNotice(const std::string& text,
                    NotificationUrgency urgency = NotificationUrgency::Normal);
    // Any notice, with its actions and tag (see NotificationService).
    void Notify(const Notification& notification);
    // Shows each alert's notice, a spent budget's as critical, then tells the
    // meter they were shown.
    void ShowAlerts(const std::vector<AlertNotice>& alerts);

    // Runs `action` under the top-level error handler; false when it failed.
    bool Guarded(const std::function<void()>& action);

    const ConnectionMeter& Meter() const { return meter_; }
    bool IsNT() const { return identity_.IsNT; }
    const std::string& OSName() const { return identity_.OSName; }
    QTimer* Timer1() const { return Timer1_; }
    QMenu* PopupMenu1() const { return PopupMenu1_; }
    TTrayIcon& TrayIcon1() const { return *TrayIcon1_; }
    BudgetStopControl& BudgetStop() const { return *stop_; }
    // None until "Обзор" first opens it.
    OverviewWindow* Overview() const { return overview_.get(); }

  signals:
    // The window really closed (the program's exit), not merely hidden.
    void Closed();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // How far the start-up came: a page is filled when it is built only if
    // its step was reached.
    enum class StartStep { Table, Settings, Main, Tray, Statistics, Done };

    void BuildTabStrip();
    // Each page as the start-up would have filled it.
    void FillPages();
    // Runs a page's start-up fill; a fill whose step failed at start was
    // reported then and is not reported again.
    void FillPage(StartStep step, const std::function<void()>& fill);
    void BuildTrayMenu();
    void ShowWindow(const QString& token = {});
    // The plan's choice of interfaces, handed to the watcher.
    void ApplyCounting();
    // The tray's balloon, for a notice no notification service took; each
    // balloon replaces the one before it.
    void ShowBalloon(const Notification& notification);

    const Clock& clock_;
    MessageBoxes& boxes_;
    std::ostream& log_;
    TopLevelErrorHandler errors_;
    OsIdentity identity_;
    ConnectionMeter meter_;
    std::unique_ptr<OnlineState> IPWatch1_;
    AutostartStore& autostart_;
    OsPlatform& platform_;
    SaveFileDialog& saveDialog_;
    StartStep startReached_ = StartStep::Table;
    bool startDone_ = false;

    QTabBar* TabControl1_ = nullptr;
    MainPage* Main_ = nullptr;
    StatisticsPage* Statistics_ = nullptr;
    SettingsPage* Properties_ = nullptr;
    AboutPage* About_ = nullptr;
    QMenu* PopupMenu1_ = nullptr;
    QAction* N1_ = nullptr;
    QAction* N2_ = nullptr;
    QAction* N3_ = nullptr;
    QAction* N4_ = nullptr;
    QAction* N6_ = nullptr;
    QAction* N7_ = nullptr;
    // "Не отключать", while a stop at the budget is pending.
    QAction* N8_ = nullptr;
    QTimer* Timer1_ = nullptr;
    std::unique_ptr<TTrayIcon> TrayIcon1_;
    WindowPlaceStore* places_;
    UseChartMaker makeChart_;
    NotificationService* notifications_;
    BudgetStopControl* stop_ = nullptr;
    PlainWindowActivation plainActivation_;
    WindowActivation& activation_;
    // The machine's interfaces, for the plan settings' list; before the
    // overview, which holds the panel that reads it.
    SystemInterfaceList interfaces_;
    // Last, so it goes before the meter whose ledger it reads.
    std::unique_ptr<OverviewWindow> overview_;
};
