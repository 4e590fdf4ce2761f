#include "OverviewWindow.h"

#include "PlanSettingsPanel.h"
#include "core/DataFiles.h"
#include "core/MoneyTexts.h"
#include "ui_OverviewWindow.h"

#include <QCloseEvent>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

const QString kNone = QStringLiteral("—");
// What a session's money is made of: the tariff, the plan's prices, or
// nothing known (a session from before the plan).
QString MoneyTip(bool pricedByPlan, bool known) {
    if (!pricedByPlan) {
        return OverviewWindow::tr("Время × тариф");
    }
    return known ? OverviewWindow::tr("По ценам плана")
                 : OverviewWindow::tr("Цены плана для этого сеанса не записаны");
}

// "12,3 МБ", "823 КБ", "512 Б": decimals as the user's locale writes them.
QString ByteText(const QLocale& locale, int64_t bytes) {
    if (bytes >= 1'000'000) {
        return OverviewWindow::tr("%1 МБ").arg(
            locale.toString(static_cast<double>(bytes) / 1e6, 'f', 1));
    }
    if (bytes >= 1000) {
        return OverviewWindow::tr("%1 КБ").arg(
            locale.toString(static_cast<qlonglong>(bytes / 1000)));
    }
    return OverviewWindow::tr("%1 Б").arg(locale.toString(static_cast<qlonglong>(bytes)));
}

QString BytesTip(const QLocale& locale, const CostStore::Bytes& bytes) {
    return OverviewWindow::tr("Получено %1 Б, отправлено %2 Б")
        .arg(locale.toString(static_cast<qlonglong>(bytes.Received)),
             locale.toString(static_cast<qlonglong>(bytes.Sent)));
}

const char* BandName(BarBand band) {
    switch (band) {
        case BarBand::Green:
            return "green";
        case BarBand::Amber:
            return "amber";
        case BarBand::Red:
            break;
    }
    return "red";
}

QTableWidgetItem* Cell(const QString& text, const QString& tip = {}) {
    auto* item = new QTableWidgetItem(text);
    item->setToolTip(tip);
    return item;
}

}  // namespace

OverviewWindow::OverviewWindow(const Ledger& books, std::filesystem::path history,
                               const Clock& clock, WindowPlaceStore* places,
                               const UseChartMaker& makeChart)
    : QWidget(nullptr),
      ui_(std::make_unique<Ui::OverviewWindow>()),
      books_(books),
      clock_(clock),
      places_(places),
      history_(std::move(history), kHistoryRows) {
    ui_->setupUi(this);
    // The program lives on in the tray; this window is never its last one.
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* chartPlace = new QVBoxLayout(ui_->ChartArea);
    chartPlace->setContentsMargins(0, 0, 0, 0);
    chart_ = makeChart ? makeChart(ui_->ChartArea) : nullptr;
    if (chart_ != nullptr) {
        chartPlace->addWidget(chart_->Widget());
    } else {
        auto* missing = new QLabel(OverviewWindow::tr("Диаграмма недоступна."), ui_->ChartArea);
        missing->setAlignment(Qt::AlignCenter);
        chartPlace->addWidget(missing);
    }

    QHeaderView* header = ui_->HistoryTable->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setStretchLastSection(true);

    connect(ui_->CloseButton, &QPushButton::clicked, this, &QWidget::close);
    connect(ui_->CloseAction, &QAction::triggered, this, &QWidget::close);
    for (QButtonGroup* group : {ui_->ViewGroup, ui_->UnitGroup}) {
        connect(group, &QButtonGroup::buttonToggled, this, [this](QAbstractButton*, bool checked) {
            if (checked) {
                ShowChart();
            }
        });
    }
}

void OverviewWindow::AddPage(QWidget* page, const QString& title) {
    ui_->Tabs->addTab(page, title);
}

OverviewWindow::~OverviewWindow() {
    // The program ends with the window open: its place is kept all the same.
    if (isVisible()) {
        SavePlace();
    }
}

QColor OverviewWindow::BandColor(BarBand band) {
    switch (band) {
        case BarBand::Green:
            return QColor(46, 125, 50);
        case BarBand::Amber:
            return QColor(240, 160, 0);
        case BarBand::Red:
            break;
    }
    return QColor(198, 40, 40);
}

void OverviewWindow::Open() {
    if (!isVisible()) {
        history_.Read();
        Refresh();
        for (PlanSettingsPanel* plan : PlanPages()) {
            plan->FollowFile();
        }
        if (!placed_ && (places_ == nullptr ||
                         !restoreGeometry(places_->Load(QString::fromLatin1(kPlaceKey))))) {
            FitToScreen();
        }
        placed_ = true;
    }
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void OverviewWindow::AfterTick() {
    history_.Update();
    Refresh();
    FollowPlanFile();
}

void OverviewWindow::AfterTick(const DayChange& changed) {
    const bool historyChanged = history_.Update();
    const double pricedAt = figures_.MinuteCost;
    FollowTick(figures_, books_, clock_.Now(), changed);
    ShowFigures();
    // The closed sessions' money moves only with the plan, the tariff or the
    // store, and a new one comes with the history.
    if (historyChanged || changed.Every || figures_.MinuteCost != pricedAt) {
        ShowHistory();
    }
    FollowPlanFile();
}

void OverviewWindow::FollowPlanFile() {
    for (PlanSettingsPanel* plan : PlanPages()) {
        plan->FollowFile();
    }
}

std::vector<PlanSettingsPanel*> OverviewWindow::PlanPages() const {
    std::vector<PlanSettingsPanel*> pages;
    for (int i = 0; i < ui_->Tabs->count(); ++i) {
        if (auto* plan = qobject_cast<PlanSettingsPanel*>(ui_->Tabs->widget(i))) {
            pages.push_back(plan);
        }
    }
    return pages;
}

void OverviewWindow::Refresh() {
    figures_ = BuildOverview(books_, clock_.Now());
    ShowFigures();
    ShowHistory();
}

void OverviewWindow::ShowFigures() {
    ShowSession();
    ui_->CycleDates->setText(Utf8(figures_.CycleText));
    const std::vector<BudgetLine>& b = figures_.Budgets;
    ShowBudget(b[0], ui_->MoneyBar, ui_->MoneyUsed, ui_->MoneyForecast, ui_->MoneyVerdict,
               ui_->MoneyAllowance);
    ShowBudget(b[1], ui_->MinutesBar, ui_->MinutesUsed, ui_->MinutesForecast, ui_->MinutesVerdict,
               ui_->MinutesAllowance);
    ShowBudget(b[2], ui_->MegabytesBar, ui_->MegabytesUsed, ui_->MegabytesForecast,
               ui_->MegabytesVerdict, ui_->MegabytesAllowance);
    ui_->StopState->setText(Utf8(figures_.StopText));
    ui_->StopState->setVisible(!figures_.StopText.empty());
    ShowChart();
}

void OverviewWindow::ShowSession() {
    if (!figures_.Session) {
        ui_->SessionPages->setCurrentWidget(ui_->NoSessionPage);
        return;
    }
    const OverviewSession& s = *figures_.Session;
    ui_->SessionPages->setCurrentWidget(ui_->SessionPage);
    ui_->SessionSince->setText(Utf8(s.Since));
    ui_->SessionTime->setText(Utf8(s.Duration));
    ui_->SessionCost->setText(s.Kopecks ? Utf8(KopecksToMoney(*s.Kopecks)) : kNone);
    ui_->SessionCost->setToolTip(MoneyTip(figures_.PricedByPlan, s.Kopecks.has_value()));
    ui_->SessionBytes->setText(s.Bytes ? ByteText(locale(), s.Bytes->Total()) : kNone);
    ui_->SessionBytes->setToolTip(s.Bytes ? BytesTip(locale(), *s.Bytes) : QString());
    ui_->SessionAddress->setText(s.Address.empty() ? kNone : Utf8(s.Address));
}

void OverviewWindow::ShowBudget(const BudgetLine& line, QProgressBar* bar, QLabel* used,
                                QLabel* forecast, QLabel* verdict, QLabel* allowance) {
    used->setText(Utf8(line.UsedText));
    forecast->setText(Utf8(line.ForecastText));
    const bool limited = line.Band.has_value();
    bar->setVisible(limited);
    verdict->setVisible(limited);
    allowance->setVisible(limited);
    if (!limited) {
        bar->setProperty("band", QVariant());
        return;
    }
    bar->setValue(line.BarValue);
    // "17446%": a percent is read as one figure, never grouped like money.
    QLocale numbers = locale();
    numbers.setNumberOptions(numbers.numberOptions() | QLocale::OmitGroupSeparator);
    bar->setFormat(numbers.toString(line.Figures.Percent.value_or(0), 'f', 0) + numbers.percent());
    QPalette colours = bar->palette();
    colours.setColor(QPalette::Highlight, BandColor(*line.Band));
    colours.setColor(QPalette::HighlightedText,
                     *line.Band == BarBand::Amber ? QColor(Qt::black) : QColor(Qt::white));
    bar->setPalette(colours);
    bar->setProperty("band", QString::fromLatin1(BandName(*line.Band)));
    verdict->setText(QStringLiteral("— ") + Utf8(line.Verdict));
    QPalette verdictColours = verdict->palette();
    verdictColours.setColor(QPalette::WindowText,
                            BandColor(line.Over ? BarBand::Red : BarBand::Green));
    verdict->setPalette(verdictColours);
    allowance->setText(Utf8(line.AllowanceText));
}

void OverviewWindow::ShowChart() {
    if (chart_ == nullptr) {
        return;
    }
    const bool days = ui_->DaysView->isChecked();
    const std::vector<PeriodUse>& uses = days ? figures_.Days : figures_.Cycles;
    const ChartUnit unit = ui_->UnitMoney->isChecked()       ? ChartUnit::Money
                           : ui_->UnitMegabytes->isChecked() ? ChartUnit::Megabytes
                                                             : ChartUnit::Minutes;
    ChartBars bars;
    for (std::size_t i = 0; i < uses.size(); ++i) {
        bars.Values.push_back(ChartValue(uses[i], unit));
        bars.Labels << Utf8(uses[i].Label);
        if (uses[i].Current) {
            bars.Current = static_cast<int>(i);
        }
    }
    bars.CurrentName = days ? tr("Сегодня") : tr("Текущий цикл");
    bars.UprightLabels = days;
    switch (unit) {
        case ChartUnit::Minutes:
            bars.Unit = OverviewWindow::tr("мин.");
            break;
        case ChartUnit::Money:
            bars.Unit = OverviewWindow::tr("гр.");
            bars.Decimals = 2;
            break;
        case ChartUnit::Megabytes:
            bars.Unit = OverviewWindow::tr("МБ");
            bars.Decimals = 1;
            break;
    }
    chart_->Show(bars);
}

void OverviewWindow::ShowHistory() {
    const std::vector<HistoryRow> rows = HistoryRows(books_, history_.Lines());
    QTableWidget* table = ui_->HistoryTable;
    table->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const HistoryRow& row = rows[i];
        const SessionLineFields& f = row.Fields;
        const int r = static_cast<int>(i);
        const QString line = Utf8(row.Line);
        table->setItem(r, 0, Cell(Utf8(row.Start), line));
        table->setItem(r, 1, Cell(f.EndTime ? Utf8(*f.EndTime) : kNone, line));
        table->setItem(r, 2, Cell(f.Minutes ? Utf8(TimeText(*f.Minutes)) : kNone, line));
        table->setItem(
            r, 3,
            Cell(row.Kopecks ? Utf8(KopecksToMoney(*row.Kopecks)) : QString(),
                 f.Minutes ? MoneyTip(figures_.PricedByPlan, row.Kopecks.has_value()) : QString()));
        table->setItem(
            r, 4,
            row.Bytes ? Cell(ByteText(locale(), row.Bytes->Total()), BytesTip(locale(), *row.Bytes))
                      : Cell(kNone, OverviewWindow::tr("Байты этого сеанса не записаны")));
        table->setItem(r, 5,
                       Cell(f.Address && !f.Address->empty() ? Utf8(*f.Address) : kNone, line));
        table->setItem(r, 6,
                       f.Crashed ? Cell(tr(kCrashText), tr("Программа завершилась во время сеанса; "
                                                           "строка дописана при следующем запуске"))
                                 : Cell(QString()));
    }
}

void OverviewWindow::FitToScreen() {
    const QScreen* where = screen();
    if (where == nullptr) {
        return;
    }
    // The frame is not known before the window manager has drawn it; this
    // leaves room for a title bar and borders at any scale.
    const QMargins frame(8, 32, 8, 16);
    const QRect area = where->availableGeometry().marginsRemoved(frame);
    // Wider than the form where a larger font needs it, so no text is cut.
    const QSize wanted = size().expandedTo(layout()->minimumSize());
    resize(wanted.boundedTo(area.size()).expandedTo(minimumSize()));
    move(area.x() + std::max(0, (area.width() - width()) / 2),
         area.y() + std::max(0, (area.height() - height()) / 2));
}

void OverviewWindow::SavePlace() {
    if (places_ != nullptr) {
        places_->Save(QString::fromLatin1(kPlaceKey), saveGeometry());
    }
}

void OverviewWindow::closeEvent(QCloseEvent* event) {
    for (PlanSettingsPanel* plan : PlanPages()) {
        if (!plan->MayClose()) {
            ui_->Tabs->setCurrentWidget(plan);
            event->ignore();
            return;
        }
    }
    SavePlace();
    QWidget::closeEvent(event);
}
