#include "ChartModule.h"
#include "Form1Harness.h"
#include "OverviewWindow.h"
#include "PlanSettingsPanel.h"
#include "WindowPlaceStore.h"
#include "core/Codec1251.h"
#include "plan/PlanFile.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QProgressBar>
#include <QScopeGuard>
#include <QScreen>
#include <QSettings>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <QtTest/QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

namespace {

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString Shown(const QWidget& window, const char* label) {
    return Ctl<QLabel>(window, label)->text();
}

// A history line of `minutes` (under an hour) started on the 14th of August.
std::string HistoryLine(int hour, int minutes, bool crashed = false) {
    const auto two = [](int n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    const std::string duration = std::to_string(minutes) + " мин.";
    return "[14.08.2004] " + two(hour) + ":00-" + two(hour) + ":" + two(minutes) +
           "   время = " + duration + std::string(minutes < 10 ? 8 : 7, ' ') +
           "Linux       10.0.0.9       " + (crashed ? TSessionLog::kCrashMarker : "");
}

void WriteHistory(const Form1Harness& h, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += ToCp1251(line) + "\r\n";
    }
    WriteBytes(h.dir / "Static.txt", bytes);
}

OverviewWindow& OpenOverview(TForm1& form) {
    Ctl<QAction>(form, "N7")->trigger();
    if (form.Overview() == nullptr) {
        throw std::logic_error("no overview after its menu item");
    }
    return *form.Overview();
}

// "1,5 МБ" in the test's locale.
QString Megabytes(double value) {
    return QLocale().toString(value, 'f', 1) + Text(" МБ");
}

// Counters that move 1,250,000 bytes in and 250,000 out between two readings.
class SteadyCounters final : public ByteCounters {
  public:
    std::optional<ByteReading> Read(const std::string&) const override {
        ++readings;
        return ByteReading{readings * 1'250'000, readings * 250'000};
    }
    mutable uint64_t readings = 0;
};

class MemoryPlaces final : public WindowPlaceStore {
  public:
    QByteArray Load(const QString& key) const override { return saved.value(key); }
    void Save(const QString& key, const QByteArray& geometry) override { saved[key] = geometry; }
    QMap<QString, QByteArray> saved;
};

QStringList Column(const QTableWidget& table, int column) {
    QStringList texts;
    for (int row = 0; row < table.rowCount(); ++row) {
        texts << table.item(row, column)->text();
    }
    return texts;
}

}  // namespace

TEST(Overview, OpensFromTheTrayMenuAndFollowsTheSessionAtEveryTick) {
    Form1Harness h;
    h.Prepare({});
    WriteHistory(h, {HistoryLine(9, 5, true), HistoryLine(11, 12)});
    SteadyCounters counters;
    h.counters = &counters;
    TForm1& form = h.Start();
    h.Tick(true);  // while no overview exists
    EXPECT_EQ(form.Overview(), nullptr);

    OverviewWindow& overview = OpenOverview(form);
    EXPECT_TRUE(overview.isVisible());
    EXPECT_FALSE(form.isVisible());  // the fixed window stays as it was
    EXPECT_EQ(overview.windowTitle(), Text("Vimo — обзор"));
    const auto* pages = Ctl<QStackedWidget>(overview, "SessionPages");
    EXPECT_EQ(pages->currentWidget()->objectName(), "SessionPage");
    EXPECT_EQ(Shown(overview, "SessionSince"), "15.08.2004 10:01");
    EXPECT_EQ(Shown(overview, "SessionTime"), Text("1 мин."));
    EXPECT_EQ(Shown(overview, "SessionCost"), Text("4 коп."));  // 3.6
    EXPECT_EQ(Shown(overview, "SessionAddress"), "10.0.0.2");
    // The first reading only starts the count.
    EXPECT_EQ(Shown(overview, "SessionBytes"), Text("0 Б"));

    h.Tick(true);
    EXPECT_EQ(Shown(overview, "SessionTime"), Text("2 мин."));
    EXPECT_EQ(Shown(overview, "SessionCost"), Text("7 коп."));  // 7.2
    EXPECT_EQ(Shown(overview, "SessionBytes"), Megabytes(1.5));
    EXPECT_EQ(Shown(overview, "MinutesUsed"), Text("2 мин."));
    const auto* table = Ctl<QTableWidget>(overview, "HistoryTable");
    EXPECT_EQ(table->rowCount(), 2);

    // The session closes into the history: it heads the table at once.
    h.Tick(false);
    EXPECT_EQ(pages->currentWidget()->objectName(), "NoSessionPage");
    EXPECT_EQ(Shown(overview, "NoSession"), Text("Нет соединения"));
    EXPECT_EQ(Column(*table, 0),
              (QStringList{"15.08.2004 10:01", "14.08.2004 11:00", "14.08.2004 09:00"}));
    EXPECT_EQ(table->item(0, 3)->text(), Text("7 коп."));
    EXPECT_EQ(table->item(0, 4)->text(), Megabytes(3.0));
    EXPECT_EQ(table->item(0, 5)->text(), "10.0.0.2");

    // Opened again, the same window comes to the front.
    Ctl<QAction>(form, "N7")->trigger();
    EXPECT_EQ(form.Overview(), &overview);
    EXPECT_TRUE(overview.isVisible());
}

TEST(Overview, TheHistoryTableShowsTheLastTwentySessionsNewestFirstWithTheirCrashes) {
    struct Case {
        const char* name;
        std::optional<std::string> plan;
        // The money of a five-minute session.
        QString money;
    };
    const Case cases[] = {
        {"minutes x tariff", std::nullopt, Text("18 коп.")},
        {"under a plan, sessions it never priced", "[plan]\nconnection_fee = 10\n", QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Form1Harness h;
        h.Prepare({});
        if (c.plan) {
            WriteBytes(h.dir / "Vimo.toml", *c.plan);
        }
        std::vector<std::string> lines;
        for (int hour = 0; hour < 24; ++hour) {
            lines.push_back(HistoryLine(hour, 5, hour == 22));
        }
        lines.push_back("edited by hand");
        WriteHistory(h, lines);
        TForm1& form = h.Start();
        OverviewWindow& overview = OpenOverview(form);

        const auto* table = Ctl<QTableWidget>(overview, "HistoryTable");
        ASSERT_EQ(table->rowCount(), OverviewWindow::kHistoryRows);
        const QStringList starts = Column(*table, 0);
        EXPECT_EQ(starts[0], "edited by hand");
        EXPECT_EQ(starts[1], "14.08.2004 23:00");
        EXPECT_EQ(starts[2], "14.08.2004 22:00");
        EXPECT_EQ(starts.back(), "14.08.2004 05:00");
        const QStringList notes = Column(*table, 6);
        EXPECT_EQ(notes[2], Text(OverviewWindow::kCrashText));
        EXPECT_EQ(notes.count(Text(OverviewWindow::kCrashText)), 1);
        // The damaged line's missing parts.
        EXPECT_EQ(table->item(0, 1)->text(), Text("—"));
        EXPECT_EQ(table->item(0, 2)->text(), Text("—"));
        EXPECT_EQ(table->item(0, 3)->text(), QString());
        EXPECT_EQ(table->item(1, 1)->text(), "23:05");
        EXPECT_EQ(table->item(1, 2)->text(), Text("5 мин."));
        EXPECT_EQ(table->item(1, 3)->text(), c.money);
        EXPECT_FALSE(table->item(1, 3)->toolTip().isEmpty());
        EXPECT_EQ(table->item(1, 4)->text(), Text("—"));  // no bytes were kept then
        EXPECT_EQ(table->item(1, 5)->text(), "10.0.0.9");
    }
}

// A budget of 100 minutes alerting at 80 %; 15 of August's 31 days have
// passed on the 15th, 17 are left with it.
TEST(Overview, EachBudgetIsABarColouredByItsThresholdsWithItsFiguresAndVerdict) {
    struct Case {
        int minutes;
        const char* band;
        int value;
        const char* used;
        int forecast;
        const char* verdict;
        const char* allowance;
        const char* money;  // at 3.6 kopecks a minute
    };
    const Case cases[] = {
        {40, "green", 40, "40 мин. из 100 мин.", 83, "в пределах бюджета", "В день можно 3 мин.",
         "1 гр. 44 коп."},
        {79, "green", 79, "79 мин. из 100 мин.", 163, "превысит на 63 мин.", "В день можно 1 мин.",
         "2 гр. 84 коп."},
        {80, "amber", 80, "80 мин. из 100 мин.", 165, "превысит на 65 мин.", "В день можно 1 мин.",
         "2 гр. 88 коп."},
        {100, "red", 100, "100 мин. из 100 мин.", 207, "превысит на 107 мин.",
         "В день можно 0 мин.", "3 гр. 60 коп."},
        {130, "red", 100, "130 мин. из 100 мин.", 269, "превышен на 30 мин.", "В день можно 0 мин.",
         "4 гр. 68 коп."},
        {1500, "red", 100, "1500 мин. из 100 мин.", 3100, "превышен на 1400 мин.",
         "В день можно 0 мин.", "54 гр."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.minutes);
        Form1Harness h;
        h.Prepare({{{2004, 8, 15}, c.minutes}});
        WriteBytes(h.dir / "Vimo.toml", "[budget]\nminutes = 100\nalerts = [80, 100]\n");
        TForm1& form = h.Start();
        OverviewWindow& overview = OpenOverview(form);

        EXPECT_EQ(Shown(overview, "CycleDates"),
                  Text("Цикл с 01.08.2004 по 31.08.2004, осталось 17 дн."));
        const auto* bar = Ctl<QProgressBar>(overview, "MinutesBar");
        EXPECT_FALSE(bar->isHidden());
        EXPECT_EQ(bar->property("band").toString(), c.band);
        const BarBand band = QString(c.band) == "green"   ? BarBand::Green
                             : QString(c.band) == "amber" ? BarBand::Amber
                                                          : BarBand::Red;
        EXPECT_EQ(bar->palette().color(QPalette::Highlight), OverviewWindow::BandColor(band));
        EXPECT_EQ(bar->value(), c.value);
        EXPECT_EQ(bar->format(), QString::number(c.minutes) + QString(QLocale().percent()));
        EXPECT_EQ(Shown(overview, "MinutesUsed"), Text(c.used));
        EXPECT_EQ(Shown(overview, "MinutesVerdict"), Text("— ") + Text(c.verdict));
        EXPECT_EQ(Shown(overview, "MinutesAllowance"), Text(c.allowance));
        EXPECT_EQ(Shown(overview, "MinutesForecast"),
                  Text("Прогноз на конец цикла: ") + QString::number(c.forecast) + Text(" мин."));

        // Money has no limit: its totals and forecast, no bar, no verdict.
        EXPECT_TRUE(Ctl<QProgressBar>(overview, "MoneyBar")->isHidden());
        EXPECT_TRUE(Ctl<QLabel>(overview, "MoneyVerdict")->isHidden());
        EXPECT_TRUE(Ctl<QLabel>(overview, "MoneyAllowance")->isHidden());
        EXPECT_EQ(Shown(overview, "MoneyUsed"), Text(c.money));

        // A screen reader tells the three bars apart.
        std::set<QString> names;
        for (const char* name : {"MoneyBar", "MinutesBar", "MegabytesBar"}) {
            QAccessibleInterface* read =
                QAccessible::queryAccessibleInterface(Ctl<QProgressBar>(overview, name));
            names.insert(read->text(QAccessible::Name));
        }
        EXPECT_EQ(names.size(), 3u);
    }
}

// 20 minutes in July, 30 on the 14th and 45 on the 15th of August, today.
TEST(Overview, ChartsTheCycleDaysOrTwelveCyclesWithTodayMarkedInTheUsersNumbers) {
    Form1Harness h;
    h.Prepare({{{2004, 7, 10}, 20}, {{2004, 8, 14}, 30}, {{2004, 8, 15}, 45}});
    TForm1& form = h.Start();
    OverviewWindow& overview = OpenOverview(form);
    QChart* chart = Ctl<QChartView>(overview, "Chart")->chart();
    const auto bars = [chart] {
        const auto* series = qobject_cast<QBarSeries*>(chart->series().value(0));
        if (series == nullptr || series->count() != 1) {
            throw std::logic_error("no bar series");
        }
        return series->barSets().front();
    };
    const auto categories = [chart] {
        auto* axis = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).value(0));
        return axis != nullptr ? axis->categories() : QStringList();
    };
    const auto marked = [&bars] {
        QList<int> indices = bars()->selectedBars();
        std::sort(indices.begin(), indices.end());
        return indices;
    };

    struct Step {
        const char* click;
        int count;
        QString first, last;
        QList<int> marked;
        // The bars of the marked day or cycle and of the one before it.
        double current, before;
        // The minutes' axis in round steps; 0 where the chart's own nice
        // numbers decide.
        double axisTop;
        int ticks;
    };
    const Step steps[] = {
        {"DaysView", 31, "01.08", "31.08", {14}, 45, 30, 60, 4},
        {"UnitMoney", 31, "01.08", "31.08", {14}, 1.62, 1.08, 0, 0},
        {"CyclesView", 12, "01.09.03", "01.08.04", {11}, 2.70, 0.72, 0, 0},
        {"UnitMinutes", 12, "01.09.03", "01.08.04", {11}, 75, 20, 80, 5},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.click);
        Ctl<QAbstractButton>(overview, step.click)->click();
        const QStringList names = categories();
        ASSERT_EQ(names.size(), step.count);
        EXPECT_EQ(names.front(), step.first);
        EXPECT_EQ(names.back(), step.last);
        EXPECT_EQ(marked(), step.marked);
        const int current = step.marked.front();
        EXPECT_DOUBLE_EQ(bars()->at(current), step.current);
        EXPECT_DOUBLE_EQ(bars()->at(current - 1), step.before);
        EXPECT_NE(bars()->selectedColor(), bars()->color());
        // Marked by a line too, which shows where the bar has nothing.
        const auto* line = qobject_cast<QLineSeries*>(chart->series().value(1));
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->at(0), QPointF(current, 0));
        if (step.ticks > 0) {
            const auto* y = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(0));
            EXPECT_EQ(line->at(1), QPointF(current, step.axisTop));
            EXPECT_EQ(y->max(), step.axisTop);
            EXPECT_EQ(y->tickCount(), step.ticks);
        }
    }

    // Money on the axis in the user's decimals: "0,00" where they write so.
    Ctl<QAbstractButton>(overview, "UnitMoney")->click();
    QCoreApplication::processEvents();
    QStringList labels;
    for (QGraphicsItem* item : Ctl<QChartView>(overview, "Chart")->scene()->items()) {
        if (auto* text = dynamic_cast<QGraphicsTextItem*>(item)) {
            labels << text->toPlainText();
        }
    }
    EXPECT_TRUE(labels.contains(QLocale().toString(0.0, 'f', 2))) << labels.join('|').toStdString();
}

TEST(Overview, ClosingOnlyClosesItAndItOpensAgainWhereItWas) {
    MemoryPlaces places;
    const QRect where(60, 70, 640, 480);
    {
        Form1Harness h;
        h.places = &places;
        TForm1& form = h.Start();
        bool programClosed = false;
        QObject::connect(&form, &TForm1::Closed, [&programClosed] { programClosed = true; });
        OverviewWindow& overview = OpenOverview(form);
        overview.setGeometry(where);

        // Closed by Esc while the event loop runs, with Qt set to end the
        // program when its last window closes: the program runs on.
        QApplication::setQuitOnLastWindowClosed(true);
        QTimer::singleShot(0, &overview, [&overview] { overview.activateWindow(); });
        QTimer::singleShot(100, &overview,
                           [&overview] { QTest::keyClick(&overview, Qt::Key_Escape); });
        QTimer::singleShot(300, [] { QCoreApplication::exit(7); });
        EXPECT_EQ(QApplication::exec(), 7);
        EXPECT_FALSE(overview.isVisible());
        EXPECT_FALSE(programClosed);
        EXPECT_TRUE(form.Timer1()->isActive());
        EXPECT_TRUE(places.saved.contains(OverviewWindow::kPlaceKey));
    }
    // The next run opens it in the same place and size.
    Form1Harness h;
    h.places = &places;
    TForm1& form = h.Start();
    const OverviewWindow& overview = OpenOverview(form);
    EXPECT_EQ(overview.geometry(), where);
}

// The chart comes from a module beside the program; the tests' folder has
// none, as a copy of the program made without it would.
TEST(Overview, WithoutItsChartModuleTheChartsPlaceSaysSoAndTheRestShows) {
    Form1Harness h;
    h.makeChart = ChartFromModule(h.log);
    TForm1& form = h.Start();
    OverviewWindow& overview = OpenOverview(form);
    EXPECT_EQ(overview.findChild<QChartView*>(), nullptr);
    const QList<QLabel*> labels = overview.findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](const QLabel* label) {
        return label->text() == Text("Диаграмма недоступна.") && label->isVisible();
    }));
    EXPECT_THAT(h.log.str(), testing::StartsWith("vimo: notice: the overview shows no chart ("));
    h.Tick(true);
    EXPECT_TRUE(Ctl<QLabel>(overview, "CycleDates")->isVisible());
}

// Opened for the first time, the window and its frame fit the screen's free
// area: also a screen lower than the form, as at 200 % on a laptop's (the
// test's own entry runs it on one).
TEST(Overview, AFirstOpeningFitsTheWindowAndItsFrameIntoTheScreensFreeArea) {
    Form1Harness h;
    TForm1& form = h.Start();
    const OverviewWindow& overview = OpenOverview(form);
    QCoreApplication::processEvents();
    const QRect area = overview.screen()->availableGeometry();
    const QRect frame = overview.frameGeometry();
    EXPECT_TRUE(area.contains(frame))
        << frame.y() << "+" << frame.height() << " in " << area.height();
    EXPECT_EQ(overview.width(), 760);  // the form's, where there is room for it
}

TEST(Overview, KeepsItsPlaceInTheSettingsFileItIsGiven) {
    const TempDir dir;
    const QString file = QString::fromStdString((dir / "places.conf").string());
    const QByteArray geometry("\x01\x02 place", 9);
    {
        QSettingsPlaceStore store(std::make_unique<QSettings>(file, QSettings::IniFormat));
        EXPECT_TRUE(store.Load(OverviewWindow::kPlaceKey).isEmpty());
        store.Save(OverviewWindow::kPlaceKey, geometry);
    }
    const QSettingsPlaceStore again(std::make_unique<QSettings>(file, QSettings::IniFormat));
    EXPECT_EQ(again.Load(OverviewWindow::kPlaceKey), geometry);
}

// The plan's settings are the overview's last page; what they save is in
// force at once, without waiting for the next minute.
TEST(Overview, ThePlanPageSavesAPlanThatIsInForceAtOnce) {
    Form1Harness h;
    TForm1& form = h.Start();
    WriteBytes(h.dir / "Vimo.toml", "[plan]\nconnection_fee = 10\n");
    OverviewWindow& overview = OpenOverview(form);
    const auto* tabs = Ctl<QTabWidget>(overview, "Tabs");
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(2), Text("&План и бюджет"));
    auto* panel = qobject_cast<PlanSettingsPanel*>(tabs->widget(2));
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(form.Meter().Plan().PricesByPlan());
    panel->Save();
    EXPECT_TRUE(form.Meter().Plan().PricesByPlan());
    EXPECT_TRUE(h.boxes.shown.empty());
    // A hand edit shows on the page at the next minute.
    WriteBytes(h.dir / "Vimo.toml", "[plan]\nconnection_fee = 20\n");
    h.Tick(false);
    EXPECT_EQ(Ctl<QLineEdit>(overview, "connectionFeeEdit")->text(), "20");
}

TEST(Overview, EveryControlTakesTheKeyboardWithMnemonicsOfItsOwn) {
    Form1Harness h;
    TForm1& form = h.Start();
    OverviewWindow& overview = OpenOverview(form);
    QStringList captions;
    for (const QAbstractButton* button : overview.findChildren<QAbstractButton*>()) {
        if (button->isVisibleTo(&overview) && !button->text().isEmpty()) {
            EXPECT_TRUE(button->focusPolicy() & Qt::TabFocus) << button->text().toStdString();
            captions << button->text();
        }
    }
    const auto* tabs = Ctl<QTabWidget>(overview, "Tabs");
    for (int i = 0; i < tabs->count(); ++i) {
        captions << tabs->tabText(i);
    }
    std::set<QChar> letters;
    for (const QString& caption : captions) {
        const qsizetype at = caption.indexOf('&');
        ASSERT_TRUE(at >= 0 && at + 1 < caption.size()) << caption.toStdString();
        EXPECT_TRUE(letters.insert(caption[at + 1].toLower()).second)
            << "mnemonic used twice: " << caption.toStdString();
    }
}

// Closing with unsaved plan edits asks; the answer saves, drops or stays.
TEST(Overview, ClosingWithUnsavedPlanEditsAsksToSaveDropOrStay) {
    using Answer = MessageBoxes::SaveAnswer;
    const struct {
        const char* typed;  // nullptr: nothing typed
        Answer answer;
        bool asked, staysOpen;
        int inFile;
        const char* shownAfter;
    } cases[] = {
        {nullptr, Answer::Cancel, false, false, 4, "4"}, {"5", Answer::Save, true, false, 5, "5"},
        {"5", Answer::Discard, true, false, 4, "4"},     {"5", Answer::Cancel, true, true, 4, "5"},
        {"40", Answer::Save, true, true, 4, "40"},  // a wrong field is not saved
    };
    for (const auto& c : cases) {
        Form1Harness h;
        TForm1& form = h.Start();
        WriteBytes(h.dir / "Vimo.toml", "[cycle]\nstart_day = 4\n");
        OverviewWindow& overview = OpenOverview(form);
        if (c.typed != nullptr) {
            Ctl<QLineEdit>(overview, "startDayEdit")->setText(c.typed);
        }
        h.boxes.saveAnswer = c.answer;
        overview.close();
        EXPECT_EQ(!h.boxes.shown.empty() && h.boxes.shown[0].kind == "AskToSave", c.asked);
        EXPECT_EQ(overview.isVisible(), c.staysOpen) << c.typed;
        EXPECT_EQ(ParsePlanText(ReadBytes(h.dir / "Vimo.toml")).CycleStartDay, c.inFile);
        overview.Open();
        EXPECT_EQ(Ctl<QLineEdit>(overview, "startDayEdit")->text(), c.shownAfter) << c.typed;
    }
}

// Its own entry runs it at 200 % on a 1920×1080 screen, where the chart was
// squeezed until every value-axis number read "...".
TEST(Overview, TheChartKeepsRoomForWholeAxisLabelsAtAnyScale) {
    // A desktop's 11-point text, larger than the offscreen platform's.
    const QFont before = QApplication::font();
    QFont desktop = before;
    desktop.setPointSize(11);
    QApplication::setFont(desktop);
    const auto restore = qScopeGuard([&before] { QApplication::setFont(before); });
    Form1Harness h;
    h.Prepare({{{2004, 7, 10}, 20}, {{2004, 8, 3}, 644}, {{2004, 8, 14}, 30}});
    WriteBytes(h.dir / "Vimo.toml", "[budget]\nminutes = 100\nalerts = [80, 100]\n");
    TForm1& form = h.Start();
    OverviewWindow& overview = OpenOverview(form);
    auto* view = Ctl<QChartView>(overview, "Chart");
    QCoreApplication::processEvents();
    for (const QLabel* label : overview.findChildren<QLabel*>()) {
        if (label->isVisible()) {  // every budget text whole beside the chart's room
            EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
        }
    }
    for (const char* click : {"DaysView", "CyclesView", "UnitMoney"}) {
        SCOPED_TRACE(click);
        Ctl<QAbstractButton>(overview, click)->click();
        // The old axes go at the event loop's deferred deletes.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        overview.grab();  // lays the chart's labels out as a paint does
        EXPECT_TRUE(overview.screen()->availableGeometry().contains(overview.frameGeometry()));
        EXPECT_GE(view->height(), view->minimumHeight());
        const auto* y = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Vertical).value(0));
        ASSERT_NE(y, nullptr);
        EXPECT_GE(view->chart()->plotArea().height(),
                  y->tickCount() * QFontMetrics(y->labelsFont()).lineSpacing());
        for (QGraphicsItem* item : view->scene()->items()) {
            const auto* text = dynamic_cast<QGraphicsTextItem*>(item);
            if (text != nullptr && text->isVisible()) {
                EXPECT_FALSE(text->toPlainText().contains(QStringLiteral("...")) ||
                             text->toPlainText().contains(QChar(0x2026)))
                    << text->toPlainText().toStdString();
            }
        }
    }
}
