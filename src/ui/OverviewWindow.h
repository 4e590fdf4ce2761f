#pragma once

#include "UseChart.h"
#include "WindowPlaceStore.h"
#include "core/Clock.h"
#include "figures/OverviewFigures.h"
#include "meter/Ledger.h"

#include <QColor>
#include <QWidget>

#include <filesystem>
#include <memory>
#include <vector>

namespace Ui {
class OverviewWindow;
}
class PlanSettingsPanel;
class QLabel;
class QProgressBar;

// The overview: a resizable window beside the fixed one that shows the
// session in progress, the billing cycle with a bar for each budget, a chart
// of the cycle's days or of the last twelve cycles, and the latest sessions
// of the history. Its figures come from OverviewFigures; it keeps the
// history's last lines and reads them again only when the history changes.
// Closing it only hides it, once a plan page with unsaved edits has been
// answered; its plan pages follow the plan file at each opening and tick.
class OverviewWindow : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kHistoryRows = 20;
    // The key its size and place are kept under.
    static constexpr const char* kPlaceKey = "overview/geometry";
    static constexpr const char* kCrashText = QT_TR_NOOP("⚠ аварийное завершение");

    // `history` is the working folder's history file. `places` may be none:
    // the window then opens where the desktop puts it. Without a chart from
    // `makeChart` the chart's place says that there is none.
    OverviewWindow(const Ledger& books, std::filesystem::path history, const Clock& clock,
                   WindowPlaceStore* places, const UseChartMaker& makeChart);
    ~OverviewWindow() override;

    // Shows the window with its figures and the history read anew, in the
    // place it had last; one already shown is raised and activated. Opened
    // for the first time, it keeps the form's size where the screen's free
    // area has room for it and its frame, and is centred there.
    void Open();
    // After the plan changed: every figure again, and the history's lines
    // when the history changed.
    void AfterTick();
    // After the minute tick: the figures of the days it `changed`, and the
    // history's lines when the history changed.
    void AfterTick(const DayChange& changed);

    // Adds a page after the chart and the sessions, such as the plan's
    // settings.
    void AddPage(QWidget* page, const QString& title);

    // The colour a bar of `band` is drawn in.
    static QColor BandColor(BarBand band);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Refresh();
    void ShowFigures();
    void FollowPlanFile();
    void ShowSession();
    void ShowBudget(const BudgetLine& line, QProgressBar* bar, QLabel* used, QLabel* forecast,
                    QLabel* verdict, QLabel* allowance);
    void ShowChart();
    void ShowHistory();
    void SavePlace();
    void FitToScreen();
    std::vector<PlanSettingsPanel*> PlanPages() const;

    std::unique_ptr<Ui::OverviewWindow> ui_;
    const Ledger& books_;
    const Clock& clock_;
    WindowPlaceStore* places_;
    HistoryTail history_;
    OverviewFigures figures_;
    UseChart* chart_ = nullptr;  // the chart's widget is a child of the window
    bool placed_ = false;
};
