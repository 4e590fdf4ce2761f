// Figures for the statistics page's reports as the user runs them: the
// history read and filtered, and the report set into the memo. Run with
// `make bench` beside bench_accounting's core-only and grep figures.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QDateEdit>
#include <QPlainTextEdit>

#include <filesystem>
#include <fstream>

#include "Codec1251.h"
#include "DateBridge.h"
#include "MainWindow.h"
#include "PropRecord.h"
#include "SessionLog.h"

namespace {

// A history of a million sessions, ten a day from 1 January 2003 on, as
// bench_accounting writes it; the clock stands on its last day.
const TDateTime kFirstDay = EncodeDate(2003, 1, 1);
const TDateTime kLastDay = kFirstDay + 99'999;
const TDateTime kReportDay = kFirstDay + 50'000;

class FixedClock final : public Clock {
  public:
    TDateTime Now() const override { return kLastDay + 0.5; }
};

class SilentBoxes final : public MessageBoxes {
  public:
    void Beep() override {}
    void Warning(const std::string&) override {}
    void Information(const std::string&) override {}
    bool Confirm(const std::string&) override { return false; }
    void Error(const std::string&, const std::string& text) override {
        throw std::runtime_error(text);
    }
};

class StillPlatform final : public OsPlatform {
  public:
    OsFamily Family() const override { return OsFamily::Linux; }
    void SetCurrentDirectory(const std::string&) override {}
    std::optional<std::string> ExecutablePath() const override { return std::nullopt; }
};

class NoAutostart final : public AutostartStore {
  public:
    std::optional<std::string> ReadProgramPath() const override { return std::nullopt; }
    void Write(const std::string&) override {}
    void Remove() override {}
};

class CancelledDialog final : public SaveFileDialog {
  public:
    std::optional<std::filesystem::path> Run(QWidget*, const SaveDialogRequest&) override {
        return std::nullopt;
    }
};

std::filesystem::path MillionLineFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vimo-bench-XXXXXX").string();
    const std::filesystem::path folder = mkdtemp(pattern.data());
    std::ofstream out(folder / "Static.txt", std::ios::binary);
    for (int i = 0; i < 1'000'000; ++i) {
        const TDateTime start = AddMinutes(kFirstDay + i / 10, 60 + (i % 10) * 90);
        const std::string head = "[" + DateText(start) + "] " + ClockText(start) + "-";
        out << ToCp1251(
                   SessionLine(head, 45, AddMinutes(start, 44), "Linux    ", "10.200.0.2     "))
            << "\r\n";
    }
    return folder;
}

// The window on the million-line history, with its settings loaded and the
// statistics page prepared as at start-up. It is never destroyed: static
// destruction would come after the QApplication in main() has gone.
TMainWindow& Window() {
    static FixedClock clock;
    static SilentBoxes boxes;
    static StillPlatform platform;
    static NoAutostart autostart;
    static CancelledDialog dialog;
    static TMainWindow* window = [] {
        const std::filesystem::path folder = MillionLineFolder();
        WritePropFile(folder, TPropRecord{3.6, false, false, DateText(kFirstDay)}, clock);
        auto* built =
            new TMainWindow(WindowServices{clock, boxes, platform, autostart, dialog, folder});
        built->LoadProp();
        built->LoadStatistics();
        return built;
    }();
    return *window;
}

void RunPeriod(benchmark::State& state, TDateTime first, TDateTime last) {
    TMainWindow& window = Window();
    window.DateTimePicker5->setDate(ToQDate(first));
    window.DateTimePicker6->setDate(ToQDate(last));
    for (auto _ : state) {
        window.BitBtn4Click();
        window.BitBtn5Click();
    }
    state.counters["lines"] = static_cast<double>(window.Memo1->blockCount());
}

void BM_PageDayReport_MillionLines(benchmark::State& state) {
    TMainWindow& window = Window();
    window.DateTimePicker4->setDate(ToQDate(kReportDay));
    for (auto _ : state) {
        window.BitBtn2Click();
        window.BitBtn5Click();
    }
    state.counters["lines"] = static_cast<double>(window.Memo1->blockCount());
}

void BM_PageYearReport_MillionLines(benchmark::State& state) {
    RunPeriod(state, kReportDay, kReportDay + 364);
}

void BM_PageWholeHistoryReport_MillionLines(benchmark::State& state) {
    RunPeriod(state, kFirstDay, kLastDay);
}

BENCHMARK(BM_PageDayReport_MillionLines)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PageYearReport_MillionLines)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PageWholeHistoryReport_MillionLines)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    // The window is never shown; it needs a QApplication all the same.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
