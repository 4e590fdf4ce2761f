// How long the overview window takes to open and to follow a tick, on a
// working folder of twenty years: minutes on every day, their prices and
// bytes in "Vimo.db", a history of 100,000 sessions with the bytes of each,
// a plan with a budget and a session in progress. Beside it, a bare window
// with one label, the floor of showing any Qt window here. Run with
// `make bench`; the start of the real program in a tray, beside a bare Qt
// tray program, is measured by bench-footprint. The statements each minute
// sends to "Vimo.db" are counted by a trace on every connection the process
// opens, so the store itself is measured as it runs.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "ChartsUseChart.h"
#include "OverviewWindow.h"
#include "core/Clock.h"
#include "core/Codec1251.h"
#include "core/DataFiles.h"
#include "files/PropRecord.h"
#include "files/SessionLog.h"
#include "meter/ConnectionMeter.h"
#include "store/CostStore.h"

namespace {

UseChart* MakeChart(QWidget* parent) {
    return new ChartsUseChart(parent);
}

// Statements run on any "Vimo.db" connection since the process started, and
// those of them that only read.
long storeStatements = 0;
long storeReads = 0;

int CountStatement(unsigned, void*, void*, void* sql) {
    const std::string_view text = static_cast<const char*>(sql);
    // A trigger's statements come as comments; they are part of their own.
    if (!text.starts_with("--")) {
        ++storeStatements;
        if (text.starts_with("SELECT") || text.starts_with("WITH")) {
            ++storeReads;
        }
    }
    return 0;
}

int TraceConnection(sqlite3* db, const char**, const void*) {
    sqlite3_trace_v2(db, SQLITE_TRACE_STMT, CountStatement, nullptr);
    return SQLITE_OK;
}

constexpr int kSessions = 100'000;
constexpr int kSessionsPerDay = 14;
// 100,000 sessions, fourteen a day, from 1 January 2006: 7,143 days.
const TDateTime kFirstDay = EncodeDate(2006, 1, 1);
const TDateTime kLastDay = kFirstDay + (kSessions - 1) / kSessionsPerDay;

class MovableClock final : public Clock {
  public:
    TDateTime Now() const override { return now; }
    TDateTime now = kLastDay + 0.9;
};

void Run(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string text = error != nullptr ? error : "sqlite error";
        sqlite3_free(error);
        throw std::runtime_error(text);
    }
}

// Rows straight into the store's tables, in one transaction: writing them
// minute by minute, each synced, would take hours.
void FillStore(const std::filesystem::path& folder) {
    CostStore::Open(folder, CostStore::Access::ReadWrite);
    sqlite3* db = nullptr;
    if (sqlite3_open((folder / "Vimo.db").c_str(), &db) != SQLITE_OK) {
        throw std::runtime_error("cannot open Vimo.db");
    }
    Run(db, "BEGIN");
    sqlite3_stmt* day = nullptr;
    sqlite3_stmt* bytes = nullptr;
    sqlite3_stmt* session = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO day_cost VALUES (?1, ?2, ?3)", -1, &day, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO day_bytes VALUES (?1, ?2, ?3)", -1, &bytes, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO session_bytes VALUES (?1, ?2, ?3)", -1, &session, nullptr);
    for (TDateTime d = kFirstDay; d <= kLastDay; d += 1) {
        const std::string key = DayKey(d);
        sqlite3_bind_text(day, 1, key.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(day, 2, kSessionsPerDay * 45);
        sqlite3_bind_int64(day, 3, kSessionsPerDay * 45 * 1800);
        sqlite3_step(day);
        sqlite3_reset(day);
        sqlite3_bind_text(bytes, 1, key.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(bytes, 2, kSessionsPerDay * 40'000'000LL);
        sqlite3_bind_int64(bytes, 3, kSessionsPerDay * 4'000'000LL);
        sqlite3_step(bytes);
        sqlite3_reset(bytes);
    }
    for (int i = 0; i < kSessions; ++i) {
        const TDateTime start = AddMinutes(kFirstDay + i / kSessionsPerDay, 30 + (i % 14) * 90);
        const std::string head = "[" + DateText(start) + "] " + ClockText(start);
        sqlite3_bind_text(session, 1, head.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(session, 2, 40'000'000);
        sqlite3_bind_int64(session, 3, 4'000'000);
        sqlite3_step(session);
        sqlite3_reset(session);
    }
    sqlite3_finalize(day);
    sqlite3_finalize(bytes);
    sqlite3_finalize(session);
    Run(db, "COMMIT");
    sqlite3_close(db);
}

// Removed when the benchmarks end.
std::optional<std::filesystem::path> madeFolder;

std::filesystem::path TwentyYearFolder(MovableClock& clock) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "vimo-bench-overview-XXXXXX").string();
    const std::filesystem::path folder = mkdtemp(pattern.data());
    madeFolder = folder;
    {
        std::ofstream history(folder / "Static.txt", std::ios::binary);
        for (int i = 0; i < kSessions; ++i) {
            const TDateTime start = AddMinutes(kFirstDay + i / kSessionsPerDay, 30 + (i % 14) * 90);
            const std::string head = "[" + DateText(start) + "] " + ClockText(start) + "-";
            history << ToCp1251(SessionLine(head, 45, AddMinutes(start, 44), "Linux    ",
                                            "10.200.0.2     "))
                    << "\r\n";
        }
    }
    std::ofstream(folder / "Vimo.toml")
        << "[cycle]\nstart_day = 14\n[budget]\nkopecks = 50000\nminutes = 20000\n"
           "megabytes = 20000\n[plan]\n[[plan.rate]]\n"
           "days = [\"mon\", \"tue\", \"wed\", \"thu\", \"fri\", \"sat\", \"sun\"]\n"
           "kopecks_per_minute = 1.8\n";
    // The table's minutes, 630 a day, as the meter counts them.
    TUsageTable table(folder);
    table.LoadTable();
    class At final : public Clock {
      public:
        TDateTime Now() const override { return now; }
        TDateTime now = 0;
    } at;
    for (TDateTime d = kFirstDay; d <= kLastDay; d += 1) {
        at.now = d + 0.5;
        for (int m = 0; m < kSessionsPerDay * 45; ++m) {
            table.UpdateTable(at);
        }
    }
    table.SaveTable();
    WritePropFile(folder, TPropRecord{3.6, false, false, DateText(kFirstDay)}, clock);
    FillStore(folder);
    return folder;
}

// The meter on that folder with a session in progress. Never destroyed:
// static destruction would come after the QApplication in main() has gone.
ConnectionMeter& Meter(MovableClock& clock) {
    static ConnectionMeter* meter = [&clock] {
        const std::filesystem::path folder = TwentyYearFolder(clock);
        auto* built = new ConnectionMeter(clock, folder, "Linux    ");
        built->ReloadPlan();
        built->LoadTable();
        built->ReadProp();
        built->Tick(true, "10.200.0.2");
        return built;
    }();
    return *meter;
}

MovableClock& TheClock() {
    static MovableClock clock;
    return clock;
}

// The first window of the process, with what Qt and Qt Charts load once.
void BM_OverviewFirstOpen_TwentyYears(benchmark::State& state) {
    ConnectionMeter& meter = Meter(TheClock());
    for (auto _ : state) {
        OverviewWindow window(meter.Books(), meter.PathOf(datafiles::kStatic), TheClock(), nullptr,
                              MakeChart);
        window.Open();
        benchmark::DoNotOptimize(window.grab());
    }
}

// Made, opened and drawn, as the menu item does each time it makes one.
void BM_OverviewOpen_TwentyYears(benchmark::State& state) {
    ConnectionMeter& meter = Meter(TheClock());
    int rows = 0;
    for (auto _ : state) {
        OverviewWindow window(meter.Books(), meter.PathOf(datafiles::kStatic), TheClock(), nullptr,
                              MakeChart);
        window.Open();
        benchmark::DoNotOptimize(window.grab());
        rows = window.findChild<QTableWidget*>(QStringLiteral("HistoryTable"))->rowCount();
    }
    // What it showed: the history's last sessions, the cycle's money so far.
    state.counters["rows"] = rows;
    state.counters["cycle_kopecks"] =
        static_cast<double>(BuildOverview(meter.Books(), TheClock().Now()).Budgets[0].Figures.Used);
}

// Closed and opened again: the history's tail read anew.
void BM_OverviewReopen_TwentyYears(benchmark::State& state) {
    ConnectionMeter& meter = Meter(TheClock());
    OverviewWindow window(meter.Books(), meter.PathOf(datafiles::kStatic), TheClock(), nullptr,
                          MakeChart);
    window.Open();
    for (auto _ : state) {
        window.close();
        window.Open();
        benchmark::DoNotOptimize(window.grab());
    }
}

// One minute's refresh of the open window: figures again, no history read.
void BM_OverviewTick_TwentyYears(benchmark::State& state) {
    ConnectionMeter& meter = Meter(TheClock());
    OverviewWindow window(meter.Books(), meter.PathOf(datafiles::kStatic), TheClock(), nullptr,
                          MakeChart);
    window.Open();
    for (auto _ : state) {
        window.AfterTick();
        benchmark::DoNotOptimize(window.grab());
    }
}

// A whole minute with the window open: the meter's tick, then the window
// following it, counted in the statements "Vimo.db" runs. Last, as it adds
// minutes to today.
void BM_OverviewMinuteQueries_TwentyYears(benchmark::State& state) {
    ConnectionMeter& meter = Meter(TheClock());
    OverviewWindow window(meter.Books(), meter.PathOf(datafiles::kStatic), TheClock(), nullptr,
                          MakeChart);
    window.Open();
    long statements = 0;
    long reads = 0;
    for (auto _ : state) {
        const long statementsBefore = storeStatements;
        const long readsBefore = storeReads;
        const TickResult tick = meter.Tick(true, "10.200.0.2");
        window.AfterTick(tick.Changed);
        statements += storeStatements - statementsBefore;
        reads += storeReads - readsBefore;
    }
    const auto minutes = static_cast<double>(state.iterations());
    state.counters["statements_per_minute"] = static_cast<double>(statements) / minutes;
    state.counters["reads_per_minute"] = static_cast<double>(reads) / minutes;
}

// The floor: a bare window with one label, shown and drawn.
void BM_BareWindowShow(benchmark::State& state) {
    for (auto _ : state) {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(new QLabel(QStringLiteral("Vimo")));
        window.resize(760, 540);
        window.show();
        benchmark::DoNotOptimize(window.grab());
    }
}

BENCHMARK(BM_OverviewFirstOpen_TwentyYears)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(BM_OverviewOpen_TwentyYears)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OverviewReopen_TwentyYears)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OverviewTick_TwentyYears)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BareWindowShow)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OverviewMinuteQueries_TwentyYears)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20);

}  // namespace

// The offscreen platform says at every window that it cannot raise one.
void QuietPlatform(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (!message.startsWith(QStringLiteral("This plugin does not support"))) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(message));
    }
    if (type == QtFatalMsg) {
        std::abort();
    }
}

int main(int argc, char** argv) {
    qInstallMessageHandler(QuietPlatform);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Every connection opened from here on is traced (see CountStatement).
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(TraceConnection));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (madeFolder) {
        std::filesystem::remove_all(*madeFolder);
    }
    return 0;
}
