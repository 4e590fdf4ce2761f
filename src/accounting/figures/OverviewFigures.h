#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/DateTime.h"
#include "files/FileVersion.h"
#include "files/SessionLineFields.h"
#include "meter/Ledger.h"
#include "plan/BillingCycle.h"
#include "plan/Budget.h"
#include "store/CostStore.h"

// What the overview window shows, built from the ledger for one moment: the
// session in progress, the billing cycle with its budgets, the use of the
// cycle's days and of the last twelve cycles, and the latest sessions of the
// history. The window only displays these; every figure and text that does
// not depend on the user's locale is made here.
//
// Without a plan a session costs its minutes x the settings record's tariff,
// exactly as the pages price the days; under a plan (fees, free minutes,
// rates by the clock) it costs what "Vimo.db" priced of it, and a session it
// priced nothing of (one from before the plan) has no figure.

// The colour band of a budget's bar.
enum class BarBand { Green, Amber, Red };

// Red from 100 % of `limit`, amber from the first of `alerts` (percents,
// ascending) that lies below 100, green below that. Compared in whole
// numbers, as the alerts are.
BarBand BandOf(int64_t used, int64_t limit, std::span<const int> alerts);

// What the forecast says of a budget: "в пределах бюджета" while the use
// and the forecast stay within `limit`, "превысит на 12 гр." when the
// forecast goes beyond it, "превышен на 2 гр." once the use itself has.
std::string VerdictText(BudgetUnit unit, int64_t used, int64_t forecast, int64_t limit);

// One budget unit of the cycle.
struct BudgetLine {
    BudgetUnit Unit = BudgetUnit::Kopecks;
    // "Деньги", "Время", "Трафик".
    std::string Title;
    BudgetFigures Figures;
    // With a limit: the bar's band and its fill, 0 to 100.
    std::optional<BarBand> Band;
    int BarValue = 0;
    // "40 гр. из 50 гр." with a limit, "40 гр." without.
    std::string UsedText;
    // "Прогноз на конец цикла: 55 гр."
    std::string ForecastText;
    // With a limit, else empty: the verdict and "В день можно 1 гр. 20 коп.".
    std::string Verdict;
    std::string AllowanceText;
    // The use or the forecast goes beyond the limit.
    bool Over = false;
};

// The use of a day or of a cycle, for the charts.
struct PeriodUse {
    TDateTime First = 0;
    TDateTime Last = 0;
    // "14.11" for a day, "14.11.26" for a cycle (its first day).
    std::string Label;
    int64_t Minutes = 0;
    int64_t Kopecks = 0;
    int64_t Bytes = 0;
    // Today, or the cycle that holds it.
    bool Current = false;
};

enum class ChartUnit { Minutes, Money, Megabytes };

// A bar's height in `unit`: minutes, hryvnias, megabytes of 1,000,000 bytes.
double ChartValue(const PeriodUse& use, ChartUnit unit);

// The session in progress.
struct OverviewSession {
    // "08.12.2026 09:05".
    std::string Since;
    uint32_t Minutes = 0;
    // "1 ч. 15 мин."
    std::string Duration;
    // Its money so far (see above).
    std::optional<int64_t> Kopecks;
    // What "Vimo.db" holds of it: none while it holds nothing.
    std::optional<CostStore::Bytes> Bytes;
    // Without its padding blanks.
    std::string Address;
};

// A session of the history.
struct HistoryRow {
    // The line as it stands in the history, in UTF-8.
    std::string Line;
    SessionLineFields Fields;
    // "08.12.2026 09:05", or the line's own beginning when it lacks one.
    std::string Start;
    // Its money (see above); none when its minutes cannot be read.
    std::optional<int64_t> Kopecks;
    std::optional<CostStore::Bytes> Bytes;
};

struct OverviewFigures {
    TDateTime Today = 0;
    // The settings record's tariff they were priced at.
    double MinuteCost = 0;
    std::optional<OverviewSession> Session;
    BillingCycle Cycle;
    int DaysLeft = 0;
    // "Цикл с 14.11.2026 по 13.12.2026, осталось 6 дн."
    std::string CycleText;
    // Whether money follows a plan: then single sessions have no money.
    bool PricedByPlan = false;
    // Whether the budget sets a limit in any unit.
    bool HasBudget = false;
    // Money, minutes, megabytes, in this order.
    std::vector<BudgetLine> Budgets;
    // The stop at the budget in this cycle: "Отключение в 14:05",
    // "Отключено в 14:05"; empty without one.
    std::string StopText;
    // Every day of the cycle, today marked.
    std::vector<PeriodUse> Days;
    // The twelve cycles up to this one, oldest first; this one's use runs
    // up to today.
    std::vector<PeriodUse> Cycles;
};

// The figures of the day of `now`, from the ledger's table, settings record,
// plan and "Vimo.db". Reads no history. Throws the store's errors.
OverviewFigures BuildOverview(const Ledger& books, TDateTime now);

// `figures` after a tick that changed `changed`: the session and the
// budgets again, and only the bars of the changed days; everything again on
// a new day, tariff or cycle. Equal to BuildOverview for the same moment.
void FollowTick(OverviewFigures& figures, const Ledger& books, TDateTime now,
                const DayChange& changed);

// The history's rows for `lines` (newest first, as ReadLastLines gives
// them), with their money by the rule above and their bytes from "Vimo.db".
std::vector<HistoryRow> HistoryRows(const Ledger& books, const std::vector<std::string>& lines);

// The last `count` lines of the history file, newest first, in UTF-8,
// reading only as much of the file's end as they take. Lines end at CR LF,
// a lone CR or a lone LF; blank lines are skipped. A missing file has no
// lines; one that cannot be read throws EInOutError.
std::vector<std::string> ReadLastLines(const std::filesystem::path& file, std::size_t count);

// The last lines of a history file kept in memory: read when asked, and
// again only when the file has changed since (a session closed into it, or
// a left-over line was carried in), which a look at its version tells
// without reading it.
class HistoryTail {
  public:
    HistoryTail(std::filesystem::path file, std::size_t count);

    // Reads the lines now. Throws EInOutError; the lines read before stay.
    void Read();
    // Reads them again when the file changed since the last read (or the
    // last failed one); whether it did.
    bool Update();
    // Newest first, as ReadLastLines gives them.
    const std::vector<std::string>& Lines() const { return lines_; }

  private:
    std::filesystem::path file_;
    std::size_t count_;
    std::optional<FileVersion> version_;
    std::vector<std::string> lines_;
};
