// Figures for the statistics page's reports as the user runs them: the
// history read and filtered, and the report set into the memo. Run with
// `make bench` beside bench_accounting's core-only and grep figures. Also the
// window's first opening from the tray, where its pages are built.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdlib>

#include <QApplication>
#include <QDateEdit>
#include <QWindow>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "DateBridge.h"
#include "ErrorHandler.h"
#include "LineListView.h"
#include "StatisticsPage.h"
#include "TrayShell.h"
#include "Unit1.h"
#include "core/Codec1251.h"
#include "core/DataFiles.h"
#include "files/PropRecord.h"
#include "files/SessionLog.h"
#include "meter/ConnectionMeter.h"

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
    SaveAnswer AskToSave(const std::string&) override { return SaveAnswer::Cancel; }
    void Error(const std::string&, const std::string& text) override {
        throw std::runtime_error(text);
    }
};

class CancelledDialog final : public SaveFileDialog {
  public:
    std::optional<std::filesystem::path> Run(QWidget*, const SaveDialogRequest&) override {
        return std::nullopt;
    }
};

// A tray that is there and shows nothing, and a computer that stays offline:
// the window's first opening without the desktop's part in it.
class QuietTray final : public TrayShell {
  public:
    bool IsAvailable() override { return true; }
    void Add(const QIcon&, const QString&) override {}
    void Modify(const QIcon&, const QString&) override {}
    void Delete() override {}
    void ShowMessage(const QString&, const QString&) override {}
};

class Offline final : public OnlineState {
  public:
    bool Online() const override { return false; }
    std::string CurrentAddress() const override { return "127.0.0.1"; }
    std::string CurrentInterface() const override { return {}; }
    void SetCounting(const CountingSettings&) override {}
};

class NoAutostart final : public AutostartStore {
  public:
    std::optional<std::string> ReadProgramPath() const override { return std::nullopt; }
    void Write(const std::string&) override {}
    void Remove() override {}
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

const std::filesystem::path& HistoryFolder() {
    static const std::filesystem::path folder = MillionLineFolder();
    return folder;
}

// The statistics page on the million-line history, with the settings loaded
// into its meter and the page prepared as at start-up. It is never
// destroyed: static destruction would come after the QApplication in main()
// has gone.
StatisticsPage& Page() {
    static FixedClock clock;
    static SilentBoxes boxes;
    static CancelledDialog dialog;
    static TopLevelErrorHandler errors(boxes);
    static StatisticsPage* page = [] {
        const std::filesystem::path& folder = HistoryFolder();
        WritePropFile(folder, TPropRecord{3.6, false, false, DateText(kFirstDay)}, clock);
        auto* meter = new ConnectionMeter(clock, folder, "Linux    ");
        meter->ReadProp();
        auto* built = new StatisticsPage(nullptr, meter->Books(), meter->PathOf(datafiles::kStatic),
                                         clock, boxes, dialog, errors);
        built->LoadStatistics();
        return built;
    }();
    return *page;
}

template <class Control>
Control* Find(const StatisticsPage& page, const char* name) {
    return page.findChild<Control*>(QString::fromLatin1(name));
}

void RunPeriod(benchmark::State& state, TDateTime first, TDateTime last) {
    StatisticsPage& page = Page();
    Find<QDateEdit>(page, "DateTimePicker5")->setDate(ToQDate(first));
    Find<QDateEdit>(page, "DateTimePicker6")->setDate(ToQDate(last));
    for (auto _ : state) {
        page.BitBtn4Click();
        // Drawn as the user would see it, then back to the choice.
        benchmark::DoNotOptimize(Find<LineListView>(page, "Memo1")->grab());
        page.BitBtn5Click();
    }
    state.counters["lines"] = static_cast<double>(Find<LineListView>(page, "Memo1")->LineCount());
}

void BM_PageDayReport_MillionLines(benchmark::State& state) {
    StatisticsPage& page = Page();
    Find<QDateEdit>(page, "DateTimePicker4")->setDate(ToQDate(kReportDay));
    for (auto _ : state) {
        page.BitBtn2Click();
        benchmark::DoNotOptimize(Find<LineListView>(page, "Memo1")->grab());
        page.BitBtn5Click();
    }
    state.counters["lines"] = static_cast<double>(Find<LineListView>(page, "Memo1")->LineCount());
}

void BM_PageYearReport_MillionLines(benchmark::State& state) {
    RunPeriod(state, kReportDay, kReportDay + 364);
}

void BM_PageWholeHistoryReport_MillionLines(benchmark::State& state) {
    RunPeriod(state, kFirstDay, kLastDay);
}

// grep -F selecting every line of the same history into a file, the
// reference for the whole-history report. Its output goes to a file, as
// grep stops at the first match when it writes to /dev/null; the C locale
// and -a keep it from taking the Windows-1251 text for binary.
void BM_GrepEveryLine_MillionLines(benchmark::State& state) {
    const std::filesystem::path out = HistoryFolder() / "grep.txt";
    const std::string command =
        "grep -F '] ' '" + (HistoryFolder() / "Static.txt").string() + "' > '" + out.string() + "'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("grep failed");
            break;
        }
    }
    std::filesystem::remove(out);
}

// From the tray menu's "Главная" on a window started into the tray until the
// window is on screen: the pages are built and filled then (goal: 100 ms).
// Each start has its own folder with the icons and the million-line history
// is not read; the start-up itself is not timed.
void BM_FirstOpeningOfTheWindow(benchmark::State& state) {
    static FixedClock clock;
    static SilentBoxes boxes;
    static CancelledDialog dialog;
    static NoAutostart autostart;
    static LinuxPlatform platform;
    std::string pattern = (std::filesystem::temp_directory_path() / "vimo-bench-XXXXXX").string();
    const std::filesystem::path folder = mkdtemp(pattern.data());
    std::filesystem::create_directories(folder / "Res");
    for (const char* icon : {"OnLine.ico", "OffLine.ico"}) {
        std::filesystem::copy_file(std::filesystem::path(VIMO_RES_DIR) / icon,
                                   folder / "Res" / icon);
    }
    WritePropFile(folder, TPropRecord{3.6, false, false, DateText(kFirstDay)}, clock);
    std::ostringstream log;
    for (auto _ : state) {
        state.PauseTiming();
        auto form = std::make_unique<TForm1>(
            Form1Services{clock, boxes, platform, autostart, dialog, folder, log},
            std::make_unique<Offline>(), std::make_unique<QuietTray>());
        QApplication::processEvents();
        state.ResumeTiming();
        form->N1Click();
        while (form->windowHandle() == nullptr || !form->windowHandle()->isExposed()) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
        state.PauseTiming();
        form.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    std::filesystem::remove_all(folder);
}

// The first of all, before this process has drawn any page: the user's case.
void BM_FirstOpeningOfTheWindow_InANewProcess(benchmark::State& state) {
    BM_FirstOpeningOfTheWindow(state);
}

BENCHMARK(BM_FirstOpeningOfTheWindow_InANewProcess)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(BM_FirstOpeningOfTheWindow)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PageDayReport_MillionLines)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PageYearReport_MillionLines)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PageWholeHistoryReport_MillionLines)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_GrepEveryLine_MillionLines)->Unit(benchmark::kMillisecond)->UseRealTime();

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
