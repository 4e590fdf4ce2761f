// Figures for the per-minute path and the sums the pages and the tray hint
// ask for. Run with `make bench`.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/Codec1251.h"
#include "files/HistoryReport.h"
#include "files/SessionLog.h"
#include "files/UsageTable.h"

namespace {

class FixedClock final : public Clock {
  public:
    TDateTime Now() const override { return EncodeDateTime(2026, 12, 8, 10, 0, 0); }
};

std::filesystem::path MakeWorkFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vimo-bench-XXXXXX").string();
    return mkdtemp(pattern.data());
}

void SumRange(benchmark::State& state, TDateTime first, TDateTime last) {
    const std::filesystem::path folder = MakeWorkFolder();
    TUsageTable table(folder);
    table.LoadTable();
    for (auto _ : state) {
        benchmark::DoNotOptimize(table.MinutesFromPeriod(first, last));
    }
    std::filesystem::remove_all(folder);
}

void BM_MinutesFromPeriod_Month(benchmark::State& state) {
    SumRange(state, EncodeDate(2026, 12, 1), EncodeDate(2026, 12, 31));
}
void BM_MinutesFromPeriod_Year(benchmark::State& state) {
    SumRange(state, EncodeDate(2026, 1, 1), EncodeDate(2026, 12, 31));
}
void BM_MinutesFromPeriod_2003To2099(benchmark::State& state) {
    SumRange(state, EncodeDate(2003, 1, 1), EncodeDate(2099, 12, 31));
}

// One online minute's file work: count, save both table files, rewrite the
// current-session line. Each save is flushed to disk, so this measures the
// disk as much as the code.
void BM_OneMinuteOfFileWork(benchmark::State& state) {
    const std::filesystem::path folder = MakeWorkFolder();
    FixedClock clock;
    TUsageTable table(folder);
    table.LoadTable();
    TSessionLog log(folder, clock, "Linux    ");
    log.SaveFirstDTime("10.200.0.2");
    uint32_t minutes = 0;
    for (auto _ : state) {
        table.UpdateTable(clock);
        table.SaveTable();
        log.SaveNewTimeToFile(++minutes);
    }
    std::filesystem::remove_all(folder);
}

// The folder of a generated history, removed when the benchmarks end.
struct HistoryFolder {
    std::filesystem::path Path = MakeWorkFolder();
    ~HistoryFolder() { std::filesystem::remove_all(Path); }
};

// A history of a million sessions, ten a day from 1 January 2003 on.
const std::filesystem::path& MillionLineHistory() {
    static const HistoryFolder folder;
    static const std::filesystem::path file = [] {
        const std::filesystem::path path = folder.Path / "Static.txt";
        std::ofstream out(path, std::ios::binary);
        const TDateTime first = EncodeDate(2003, 1, 1);
        for (int i = 0; i < 1'000'000; ++i) {
            const TDateTime start = AddMinutes(first + i / 10, 60 + (i % 10) * 90);
            std::string head = "[";
            head += DateText(start);
            head += "] ";
            head += ClockText(start);
            head += "-";
            out << ToCp1251(
                       SessionLine(head, 45, AddMinutes(start, 44), "Linux    ", "10.200.0.2     "))
                << "\r\n";
        }
        return path;
    }();
    return file;
}

// The day of the report lies in the middle of the history.
const TDateTime kReportDay = EncodeDate(2003, 1, 1) + 50'000;

void BM_DayReport_MillionLines(benchmark::State& state) {
    const std::filesystem::path& history = MillionLineHistory();
    std::size_t lines = 0;
    for (auto _ : state) {
        lines = ShowStatistics(history, kReportDay, kReportDay).Lines.size();
    }
    state.counters["lines"] = static_cast<double>(lines);
}

// Runs `command`, whose output goes to the file `output`, as often as the
// benchmark asks, and counts the output's lines and the command's peak
// resident memory. A file rather than /dev/null, where GNU grep stops at the
// first match.
void RunCommand(benchmark::State& state, const std::string& command,
                const std::filesystem::path& output) {
    const std::string redirected = "exec " + command + " > '" + output.string() + "'";
    long peakKilobytes = 0;
    for (auto _ : state) {
        const pid_t child = fork();
        if (child == 0) {
            execl("/bin/sh", "sh", "-c", redirected.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            state.SkipWithError(command.c_str());
            break;
        }
        peakKilobytes = std::max(peakKilobytes, usage.ru_maxrss);
    }
    std::ifstream in(output, std::ios::binary);
    std::size_t lines = 0;
    for (std::string line; std::getline(in, line);) {
        ++lines;
    }
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["peak_rss_MB"] = static_cast<double>(peakKilobytes) / 1024.0;
    std::filesystem::remove(output);
}

// The same selection made by grep, for comparison; in the C locale, where it
// prints the lines rather than calling the Windows-1251 file binary.
void BM_GrepDay_MillionLines(benchmark::State& state) {
    const std::filesystem::path& history = MillionLineHistory();
    RunCommand(state,
               "env LC_ALL=C grep -F '[" + DateText(kReportDay) + "]' '" + history.string() + "'",
               history.parent_path() / "grep.out");
}

// The report command, started as a user starts it, for the same day.
void BM_ReportCommandDay_MillionLines(benchmark::State& state) {
    const std::filesystem::path& history = MillionLineHistory();
    RunCommand(state,
               "'" VIMO_REPORT_PROGRAM "' --folder '" + history.parent_path().string() + "' day " +
                   DateText(kReportDay),
               history.parent_path() / "report.out");
}

// A history of ten million sessions, 167 a day from 1 January 2036 to
// December 2199, in a folder of its own.
const std::filesystem::path& TenMillionLineHistory() {
    static const HistoryFolder folder;
    static const std::filesystem::path file = [] {
        const std::filesystem::path path = folder.Path / "Static.txt";
        std::ofstream out(path, std::ios::binary);
        constexpr int kPerDay = 167;
        const TDateTime first = EncodeDate(2036, 1, 1);
        for (int i = 0; i < 10'000'000; ++i) {
            const TDateTime start = AddMinutes(first + i / kPerDay, (i % kPerDay) * 8);
            const uint32_t minutes = 1 + i % 7;
            const std::string head = "[" + DateText(start) + "] " + ClockText(start) + "-";
            out << ToCp1251(SessionLine(head, minutes, AddMinutes(start, minutes - 1), "Linux    ",
                                        "10.200.0.2     "))
                << "\r\n";
        }
        return path;
    }();
    return file;
}

// The 22nd century, 6.1 million of the ten million lines, as CSV. Its lines
// are the only ones holding ".21" (the dot before a year 21xx), which lets
// grep select them with one fixed string.
void BM_GrepCentury_TenMillionLines(benchmark::State& state) {
    const std::filesystem::path& history = TenMillionLineHistory();
    RunCommand(state, "env LC_ALL=C grep -F '.21' '" + history.string() + "'",
               history.parent_path() / "grep.out");
}

void BM_ReportCommandCenturyCsv_TenMillionLines(benchmark::State& state) {
    const std::filesystem::path& history = TenMillionLineHistory();
    RunCommand(state,
               "'" VIMO_REPORT_PROGRAM "' --folder '" + history.parent_path().string() +
                   "' --format csv period 01.01.2100 31.12.2199",
               history.parent_path() / "report.out");
}

}  // namespace

BENCHMARK(BM_DayReport_MillionLines)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GrepDay_MillionLines)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReportCommandDay_MillionLines)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GrepCentury_TenMillionLines)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReportCommandCenturyCsv_TenMillionLines)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MinutesFromPeriod_Month);
BENCHMARK(BM_MinutesFromPeriod_Year);
BENCHMARK(BM_MinutesFromPeriod_2003To2099);
BENCHMARK(BM_OneMinuteOfFileWork)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
