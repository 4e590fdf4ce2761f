#include "OverviewWindow.h"

#include "PlanSettingsPanel.h"
#include "core/DataFiles.h"
#include "core/MoneyTexts.h"
#include "ui_OverviewWindow.h"

#include <QCloseEvent>
#include <QCursor>
#include <QScreen>
#include <QToolTip>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

const QString kNone = QStringLiteral("—");
// What a session's money is made of: the tariff, the plan's prices, or
// nothing known (a session from before the plan).
QString MoneyTip(bool pricedByPlan, bool known) {
    if (!pricedByPlan) {
        return QString::fromUtf8("Время × тариф");
    }
    return known ? QString::fromUtf8("По ценам плана")
                 : QString::fromUtf8("Цены плана для этого сеанса не записаны");
}

// "12,3 МБ", "823 КБ", "512 Б": decimals as the user's locale writes them.
QString ByteText(const QLocale& locale, int64_t bytes) {
    if (bytes >= 1'000'000) {
        return locale.toString(static_cast<double>(bytes) / 1e6, 'f', 1) + QString::fromUtf8(" МБ");
    }
    if (bytes >= 1000) {
        return locale.toString(static_cast<qlonglong>(bytes / 1000)) + QString::fromUtf8(" КБ");
    }
    return locale.toString(static_cast<qlonglong>(bytes)) + QString::fromUtf8(" Б");
}

QString BytesTip(const QLocale& locale, const CostStore::Bytes& bytes) {
    return QString::fromUtf8("Получено %1 Б, отправлено %2 Б")
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

// The least of 1, 2, 5 × 10^n that is at least `rough`, and never under 1.
double RoundStep(double rough) {
    double scale = 1;
    while (scale * 5 < rough) {
        scale *= 10;
    }
    for (const double step : {scale, scale * 2, scale * 5}) {
        if (step >= rough) {
            return step;
        }
    }
    return scale * 10;
}

QTableWidgetItem* Cell(const QString& text, const QString& tip = {}) {
    auto* item = new QTableWidgetItem(text);
    item->setToolTip(tip);
    return item;
}

}  // namespace

OverviewWindow::OverviewWindow(const Ledger& books, std::filesystem::path history,
                               const Clock& clock, WindowPlaceStore* places)
    : QWidget(nullptr),
      ui_(std::make_unique<Ui::OverviewWindow>()),
      books_(books),
      clock_(clock),
      places_(places),
      history_(std::move(history), kHistoryRows) {
    ui_->setupUi(this);
    // The program lives on in the tray; this window is never its last one.
    setAttribute(Qt::WA_QuitOnClose, false);

    // The view's own chart: a chart set in its place would leave this one
    // to its caller to delete.
    chart_ = ui_->Chart->chart();
    chart_->legend()->hide();
    chart_->setAnimationOptions(QChart::NoAnimation);
    chart_->setBackgroundRoundness(0);
    chart_->setMargins(QMargins(4, 4, 4, 4));
    // The axes write numbers as the user's locale does.
    chart_->setLocalizeNumbers(true);
    chart_->setLocale(locale());
    // Room for the upright day labels and six value labels with their
    // padding: a lower chart shows every number as "...". Counted in the
    // font's own pixels, it holds at any scale.
    const QFontMetrics metrics(font());
    ui_->Chart->setMinimumHeight(metrics.horizontalAdvance(QStringLiteral("00.00")) +
                                 8 * metrics.lineSpacing() + 16);

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
    verdict->setText(QString::fromUtf8("— ") + Utf8(line.Verdict));
    QPalette verdictColours = verdict->palette();
    verdictColours.setColor(QPalette::WindowText,
                            BandColor(line.Over ? BarBand::Red : BarBand::Green));
    verdict->setPalette(verdictColours);
    allowance->setText(Utf8(line.AllowanceText));
}

void OverviewWindow::ShowChart() {
    const bool days = ui_->DaysView->isChecked();
    const std::vector<PeriodUse>& uses = days ? figures_.Days : figures_.Cycles;
    const ChartUnit unit = ui_->UnitMoney->isChecked()       ? ChartUnit::Money
                           : ui_->UnitMegabytes->isChecked() ? ChartUnit::Megabytes
                                                             : ChartUnit::Minutes;

    chart_->removeAllSeries();
    for (QAbstractAxis* axis : chart_->axes()) {
        chart_->removeAxis(axis);
        delete axis;
    }
    const QPalette colours = palette();
    chart_->setBackgroundBrush(colours.color(QPalette::Window));
    chart_->setPlotAreaBackgroundVisible(false);

    auto* set = new QBarSet(QString());
    QStringList categories;
    double top = 0;
    std::optional<int> current;
    for (std::size_t i = 0; i < uses.size(); ++i) {
        const double value = ChartValue(uses[i], unit);
        set->append(value);
        top = std::max(top, value);
        categories << Utf8(uses[i].Label);
        if (uses[i].Current) {
            set->selectBar(static_cast<int>(i));
            current = static_cast<int>(i);
        }
    }
    set->setColor(QColor(74, 126, 187));
    set->setBorderColor(QColor(74, 126, 187));
    set->setSelectedColor(QColor(230, 126, 34));
    auto* series = new QBarSeries();
    series->setBarWidth(0.75);
    series->append(set);
    chart_->addSeries(series);

    auto* x = new QBarCategoryAxis();
    x->append(categories);
    // A cycle's thirty-odd days fit only standing upright; whole labels,
    // never cut to "01.1...".
    x->setLabelsAngle(days ? -90 : 0);
    x->setTruncateLabels(false);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    x->setLabelsFont(small);
    auto* y = new QValueAxis();
    const char* title = "мин.";
    if (unit == ChartUnit::Minutes) {
        // Whole minutes at round steps, about four of them: 0/200/400/600/800.
        const double step = RoundStep(top / 4);
        const double steps = std::max(1.0, std::ceil(top / step));
        y->setRange(0, steps * step);
        y->setTickCount(static_cast<int>(steps) + 1);
        y->setLabelFormat(QStringLiteral("%.0f"));
    } else {
        y->setRange(0, top > 0 ? top : 1);
        y->setLabelFormat(unit == ChartUnit::Money ? QStringLiteral("%.2f")
                                                   : QStringLiteral("%.1f"));
        y->applyNiceNumbers();
        title = unit == ChartUnit::Money ? "гр." : "МБ";
    }
    y->setTitleText(QString::fromUtf8(title));
    for (QAbstractAxis* axis : {static_cast<QAbstractAxis*>(x), static_cast<QAbstractAxis*>(y)}) {
        axis->setLabelsBrush(colours.color(QPalette::WindowText));
        axis->setTitleBrush(colours.color(QPalette::WindowText));
        axis->setLinePenColor(colours.color(QPalette::Mid));
        axis->setGridLineColor(colours.color(QPalette::Midlight));
    }
    x->setGridLineVisible(false);
    chart_->addAxis(x, Qt::AlignBottom);
    chart_->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    if (current) {
        // Today is marked also when it has no bar to colour: a dashed line
        // through its place, in the colour of its bar.
        auto* today = new QLineSeries();
        today->setName(QString::fromUtf8(days ? "Сегодня" : "Текущий цикл"));
        today->append(*current, 0);
        today->append(*current, y->max());
        today->setPen(QPen(set->selectedColor(), 2, Qt::DashLine));
        chart_->addSeries(today);
        today->attachAxis(x);
        today->attachAxis(y);
    }

    connect(set, &QBarSet::hovered, this, [this, set, categories, title](bool inside, int index) {
        if (inside && index >= 0 && index < categories.size()) {
            QToolTip::showText(QCursor::pos(), categories[index] + QStringLiteral(": ") +
                                                   locale().toString(set->at(index), 'f', 2) +
                                                   QLatin1Char(' ') + QString::fromUtf8(title));
        } else {
            QToolTip::hideText();
        }
    });
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
        table->setItem(r, 2, Cell(f.Minutes ? Utf8(MinToTimeStr(*f.Minutes)) : kNone, line));
        table->setItem(
            r, 3,
            Cell(row.Kopecks ? Utf8(KopecksToMoney(*row.Kopecks)) : QString(),
                 f.Minutes ? MoneyTip(figures_.PricedByPlan, row.Kopecks.has_value()) : QString()));
        table->setItem(
            r, 4,
            row.Bytes ? Cell(ByteText(locale(), row.Bytes->Total()), BytesTip(locale(), *row.Bytes))
                      : Cell(kNone, QString::fromUtf8("Байты этого сеанса не записаны")));
        table->setItem(r, 5,
                       Cell(f.Address && !f.Address->empty() ? Utf8(*f.Address) : kNone, line));
        table->setItem(r, 6,
                       f.Crashed ? Cell(QString::fromUtf8(kCrashText),
                                        QString::fromUtf8("Программа завершилась во время сеанса; "
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
