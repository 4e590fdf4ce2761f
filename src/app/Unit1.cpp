#include "Unit1.h"

#include "AboutPage.h"
#include "Fonts.h"
#include "MainPage.h"
#include "OverviewWindow.h"
#include "PlanSettingsPanel.h"
#include "SettingsPage.h"
#include "StartData.h"
#include "StatisticsPage.h"
#include "TrayIcon.h"
#include "core/DataFiles.h"
#include "core/Errors.h"
#include "figures/Summaries.h"

#include <QCloseEvent>
#include <QMenu>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTimer>

// The pictures are compiled into the ui library; naming them here keeps the
// linker from dropping them.
static void InitPictures() {
    Q_INIT_RESOURCE(Pictures);
}

TForm1::TForm1(const Form1Services& services, std::unique_ptr<OnlineState> IPWatch1,
               std::unique_ptr<TrayShell> trayShell)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      clock_(services.clock),
      boxes_(services.boxes),
      log_(services.log),
      errors_(services.boxes, services.log),
      // Check_OS: the family is known before the meter exists, as its session
      // lines carry the family's label.
      identity_(IdentifyOs(services.platform.Family())),
      meter_(services.clock, services.workDir, identity_.OSName, services.counters),
      IPWatch1_(std::move(IPWatch1)),
      autostart_(services.autostart),
      platform_(services.platform),
      saveDialog_(services.saveDialog),
      places_(services.places),
      makeChart_(services.makeChart),
      notifications_(services.notifications),
      activation_(services.activation != nullptr ? *services.activation : plainActivation_) {
    InitPictures();
    setWindowTitle(QString::fromUtf8(kTitle));
    setFont(controls::WindowFont(11));
    setFixedSize(287, 234);
    move(375, 105);

    BuildTrayMenu();

    Timer1_ = new QTimer(this);
    Timer1_->setInterval(kTickMilliseconds);
    // Queued, so a tick whose error box is still open does not hold back the
    // next ticks: Qt never re-enters a timer whose handler is still running.
    connect(
        Timer1_, &QTimer::timeout, this, [this] { Guarded([this] { Timer1Timer(); }); },
        Qt::QueuedConnection);
    Timer1_->start();

    TrayIcon1_ = std::make_unique<TTrayIcon>(this, std::move(trayShell));
    TrayIcon1_->SetPopupMenu(PopupMenu1_);
    TrayIcon1_->SetNoClose(true);
    connect(TrayIcon1_.get(), &TTrayIcon::DblClick, this,
            [this] { Guarded([this] { TrayIcon1DblClick(); }); });
    connect(TrayIcon1_.get(), &TTrayIcon::TrayMissing, this,
            [this] { Guarded([this] { TrayMissing(); }); });
    TrayIcon1_->Loaded();

    connect(IPWatch1_.get(), &OnlineState::WentOnline, this,
            [this](const QString& interface) { meter_.ConnectionSeen(interface.toStdString()); });
    connect(IPWatch1_.get(), &OnlineState::Notice, this, [this](const QString& text) {
        ShowNotice(text.toStdString(), NotificationUrgency::Normal);
    });
    if (notifications_ != nullptr) {
        connect(notifications_, &NotificationService::Undelivered, this, &TForm1::ShowBalloon);
    }
    stop_ = new BudgetStopControl(
        {.meter = meter_,
         .clock = clock_,
         .notifications = notifications_,
         .stopper = services.stopper,
         .keepItem = N8_,
         .notify = [this](const Notification& notification) { Notify(notification); },
         .interface = [this] { return IPWatch1_->CurrentInterface(); },
         .online = [this] { return IPWatch1_->Online(); },
         .guard = [this](const std::function<void()>& action) { Guarded(action); }},
        this);
    connect(stop_, &BudgetStopControl::Changed, this, [this] {
        Guarded([this] {
            UpDateHint();
            if (overview_ && overview_->isVisible()) {
                overview_->AfterTick();
            }
        });
    });

    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::BuildPages() {
    if (Main_ != nullptr) {
        return;
    }
    BuildTabStrip();
    Main_ = new MainPage(this, meter_.Books(), clock_, boxes_, errors_);
    Main_->move(0, 24);
    Statistics_ = new StatisticsPage(this, meter_.Books(), meter_.PathOf(datafiles::kStatic),
                                     clock_, boxes_, saveDialog_, errors_);
    Statistics_->move(0, 21);
    Properties_ =
        new SettingsPage(this, meter_, boxes_, autostart_, platform_, identity_.IsNT, errors_);
    Properties_->move(0, 21);
    About_ = new AboutPage(this);
    About_->move(0, 21);
    ChangePage(0);
    // Shown while start-up still runs, the pages are filled when it ends.
    if (startDone_) {
        FillPages();
    }
}

void TForm1::FillPages() {
    // The start-up's order: the settings before the main page's pickers. A
    // settings step that failed at start left the page blank, and its file
    // is not written again now.
    if (startReached_ > StartStep::Settings) {
        Guarded([this] { Properties_->LoadProp(); });
    }
    FillPage(StartStep::Main, [this] { Main_->LoadMain(); });
    FillPage(StartStep::Statistics, [this] { Statistics_->LoadStatistics(); });
}

void TForm1::FillPage(StartStep step, const std::function<void()>& fill) {
    if (startReached_ < step) {
        return;
    }
    if (startReached_ > step) {
        Guarded(fill);
        return;
    }
    // The start-up stopped at this step: the page is left as far as its
    // fill comes, and the fault, already reported, is not shown twice.
    try {
        fill();
    } catch (const std::exception&) {
    }
}

void TForm1::BuildTabStrip() {
    TabControl1_ = new QTabBar(this);
    TabControl1_->setObjectName(QStringLiteral("TabControl1"));
    TabControl1_->setGeometry(0, 0, width(), 22);
    TabControl1_->setDrawBase(true);
    TabControl1_->setExpanding(false);
    // Narrow tabs, so the four captions fit the fixed width as they did.
    TabControl1_->setUsesScrollButtons(false);
    TabControl1_->setFont(controls::Tightened(font()));
    TabControl1_->setStyleSheet(QStringLiteral(
        "QTabBar::tab { padding: 2px 3px; margin-right: 0px; border: 1px solid #a0a0a0;"
        " border-bottom: none; border-top-left-radius: 3px; border-top-right-radius: 3px;"
        " background: #dcdcdc; margin-top: 2px; }"
        "QTabBar::tab:selected { background: palette(window); margin-top: 0px; }"));
    for (const QString& caption :
         {tr("Главная"), tr("Статистика"), tr("Настройки"), tr("О программе")}) {
        TabControl1_->addTab(caption);
    }
    connect(TabControl1_, &QTabBar::currentChanged, this,
            [this] { Guarded([this] { TabControl1Change(); }); });
}

void TForm1::BuildTrayMenu() {
    PopupMenu1_ = new QMenu(this);
    PopupMenu1_->setObjectName(QStringLiteral("PopupMenu1"));
    const struct {
        QAction*& item;
        const char* name;
        const char* caption;
        void (TForm1::*handler)();
    } items[] = {{N1_, "N1", QT_TR_NOOP("Главная"), &TForm1::N1Click},
                 {N2_, "N2", QT_TR_NOOP("Статистика"), &TForm1::N2Click},
                 {N3_, "N3", QT_TR_NOOP("Настройки"), &TForm1::N3Click},
                 {N4_, "N4", QT_TR_NOOP("О программе"), &TForm1::N4Click},
                 {N7_, "N7", QT_TR_NOOP("Обзор"), &TForm1::N7Click}};
    for (const auto& entry : items) {
        entry.item = PopupMenu1_->addAction(tr(entry.caption));
        entry.item->setObjectName(QString::fromLatin1(entry.name));
        connect(entry.item, &QAction::triggered, this, [this, handler = entry.handler] {
            Guarded([this, handler] { (this->*handler)(); });
        });
    }
    N8_ = PopupMenu1_->addAction(tr("Не отключать"));
    N8_->setObjectName(QStringLiteral("N8"));
    PopupMenu1_->addSeparator()->setObjectName(QStringLiteral("N5"));
    N6_ = PopupMenu1_->addAction(tr("Выход"));
    N6_->setObjectName(QStringLiteral("N6"));
    connect(N6_, &QAction::triggered, this, [this] { Guarded([this] { N6Click(); }); });
}

void TForm1::FormCreate() {
    // The plan is read first, so the pages' money follows it from the start;
    // a faulty file is reported after them and leaves the design's rules.
    const PlanReload plan = meter_.ReloadPlan();
    ApplyCounting();
    Guarded([this] {
        startReached_ = StartStep::Table;
        meter_.LoadTable();
        startReached_ = StartStep::Settings;
        PrepareSettings(meter_, autostart_, platform_, identity_.IsNT);
        startReached_ = StartStep::Main;
        CheckFirstDate(meter_, clock_);
        startReached_ = StartStep::Tray;
        UpDateHint();
        ChangeIcon(false);
        startReached_ = StartStep::Statistics;
        PrepareHistory(meter_);
        startReached_ = StartStep::Done;
        ShowAlerts(meter_.UnshownAlerts());
    });
    startDone_ = true;
    if (Main_ != nullptr) {
        FillPages();
    }
    if (plan.Error) {
        Guarded([&plan] { std::rethrow_exception(plan.Error); });
    }
    if (const std::exception_ptr fault = meter_.StoreFault()) {
        Guarded([&fault] { std::rethrow_exception(fault); });
    }
}

void TForm1::Timer1Timer() {
    const TickResult change = meter_.Tick(IPWatch1_->Online(), IPWatch1_->CurrentAddress(),
                                          IPWatch1_->CurrentInterface());
    if (change.Plan.Changed) {
        ApplyCounting();
    }
    // The screen follows what the meter did, also when a later step of the
    // tick failed; a picture or summary that fails is reported on its own and
    // never hides the meter's error or costs the minute.
    if (change.SessionOpened || change.SessionClosed) {
        Guarded([this] { ChangeIcon(meter_.SessionOpen()); });
    }
    if (change.MinuteCounted || change.Plan.Changed) {
        Guarded([this] {
            if (Main_ != nullptr) {
                Main_->RefreshSummaries();
            }
            UpDateHint();
        });
    }
    if (overview_ && overview_->isVisible()) {
        Guarded([this, &change] { overview_->AfterTick(change.Changed); });
    }
    ShowAlerts(change.Alerts);
    Guarded([this] { stop_->Look(); });
    if (change.Plan.Error) {
        Guarded([&change] { std::rethrow_exception(change.Plan.Error); });
    }
    // A fault of Vimo.db the pages met while they refreshed is reported
    // now, not a minute later.
    for (const std::exception_ptr& fault : {change.StoreFault, meter_.StoreFault()}) {
        if (fault) {
            Guarded([&fault] { std::rethrow_exception(fault); });
        }
    }
    if (change.Error) {
        std::rethrow_exception(change.Error);
    }
}

void TForm1::ShowAlerts(const std::vector<AlertNotice>& alerts) {
    if (alerts.empty()) {
        return;
    }
    for (const AlertNotice& alert : alerts) {
        ShowNotice(alert.Text, alert.Percent >= 100 ? NotificationUrgency::Critical
                                                    : NotificationUrgency::Normal);
    }
    // Only now: a run that ends before this shows them again at its next
    // start.
    meter_.AlertsShown(alerts);
}

void TForm1::ChangeIcon(bool online) {
    const std::string_view name = online ? datafiles::kOnlineIcon : datafiles::kOfflineIcon;
    try {
        TrayIcon1_->LoadIconFromFile(QString::fromStdString(meter_.PathOf(name).string()));
    } catch (const EFOpenError&) {
        // Named as the user finds it, within the program's folder.
        throw EFOpenError(std::string(name));
    }
}

void TForm1::UpDateHint() {
    TrayIcon1_->SetHint(QString::fromStdString(TrayHintText(meter_.Books(), clock_.Now())));
}

void TForm1::ApplyCounting() {
    const std::optional<PlanSettings>& settings = meter_.Plan().Settings();
    IPWatch1_->SetCounting(settings && settings->Counting ? *settings->Counting
                                                          : CountingSettings{});
}

void TForm1::ShowNotice(const std::string& text, NotificationUrgency urgency) {
    Notify({QStringLiteral("Vimo"), QString::fromStdString(text), urgency, {}, {}});
}

void TForm1::Notify(const Notification& notification) {
    log_ << "vimo: notice: " << notification.Body.toStdString() << std::endl;
    if (notifications_ != nullptr) {
        notifications_->Notify(notification);
    } else {
        ShowBalloon(notification);
    }
}

void TForm1::ShowBalloon(const Notification& notification) {
    TrayIcon1_->ShowMessage(notification.Summary, notification.Body);
}

bool TForm1::Guarded(const std::function<void()>& action) {
    return errors_.Guard(action);
}

void TForm1::ChangePage(int page) {
    BuildPages();
    QFrame* panels[] = {Main_, Statistics_, Properties_, About_};
    for (QFrame* panel : panels) {
        panel->hide();
    }
    if (page >= 0 && page < 4) {
        panels[page]->show();
        // Selecting the tab from here must not raise the change event again.
        const QSignalBlocker quiet(TabControl1_);
        TabControl1_->setCurrentIndex(page);
    }
}

void TForm1::TabControl1Change() {
    ChangePage(TabControl1_->currentIndex());
}

void TForm1::ShowWindow(const QString& token) {
    // Left minimised on the taskbar while no tray was there, it comes back
    // restored; showing a window only maps it.
    if (isVisible() && isMinimized()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
    }
    BuildPages();
    activation_.Activate(this, token);
}

void TForm1::N1Click() {
    ShowWindow();
    ChangePage(0);
}

void TForm1::N2Click() {
    ShowWindow();
    ChangePage(1);
}

void TForm1::N3Click() {
    ShowWindow();
    ChangePage(2);
}

void TForm1::N4Click() {
    ShowWindow();
    ChangePage(3);
}

void TForm1::N7Click() {
    if (!overview_) {
        overview_ = std::make_unique<OverviewWindow>(
            meter_.Books(), meter_.PathOf(datafiles::kStatic), clock_, places_, makeChart_);
        auto* plan = new PlanSettingsPanel(meter_.WorkDir(), interfaces_, boxes_);
        overview_->AddPage(plan, tr("&План и бюджет"));
        // The provider's figures count at once: the bars, the tip and the
        // stop follow them.
        connect(plan, &PlanSettingsPanel::ProviderFiguresGiven, this,
                [this, plan](const PlanAccount::ProviderFigures& figures) {
                    Guarded([&] {
                        meter_.AdjustToProvider(figures);
                        plan->ProviderFiguresTaken(clock_.Now());
                        UpDateHint();
                        overview_->AfterTick();
                        stop_->Look();
                    });
                });
        // A saved plan is in force at once, not only from the next minute.
        connect(plan, &PlanSettingsPanel::Saved, this, [this] {
            Guarded([this] {
                const PlanReload reload = meter_.ReloadPlan();
                ApplyCounting();
                if (Main_ != nullptr) {
                    Main_->RefreshSummaries();
                }
                UpDateHint();
                overview_->AfterTick();
                stop_->Look();
                if (reload.Error) {
                    std::rethrow_exception(reload.Error);
                }
            });
        });
    }
    overview_->Open();
}

void TForm1::TrayMissing() {
    ShowWindow();
    ShowNotice(tr(kNoTrayNotice).toStdString());
}

void TForm1::TrayIcon1DblClick() {
    // A Wayland host's click comes with a token; without it the window
    // would only be marked urgent instead of coming to the front.
    ShowWindow(TrayIcon1_->TakeActivationToken());
}

void TForm1::ShowOnRequest(const QString& token) {
    Guarded([this, &token] { ShowWindow(token); });
}

void TForm1::N6Click() {
    boxes_.Beep();
    if (boxes_.Confirm("\r" + tr(kExitQuestion).toStdString())) {
        TrayIcon1_->AllowClose();
        close();
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted()) {
        emit Closed();
    }
}
