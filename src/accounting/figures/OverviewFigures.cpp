#include "figures/OverviewFigures.h"

#include <algorithm>
#include <string_view>

#include "core/Codec1251.h"
#include "core/MoneyTexts.h"
#include "core/Translation.h"
#include "files/FileIO.h"

namespace {

bool Reaches(int64_t used, int percent, int64_t limit) {
    return used * 100 >= percent * limit;
}

std::string WithoutTrailingBlanks(std::string_view text) {
    const auto last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string() : std::string(text.substr(0, last + 1));
}

TDateTime DayOf(TDateTime moment) {
    return static_cast<TDateTime>(static_cast<int32_t>(moment));
}

BudgetLine LineOf(BudgetUnit unit, const char* title, const BudgetFigures& figures,
                  std::span<const int> alerts) {
    BudgetLine line;
    line.Unit = unit;
    line.Title = TranslateText("Overview", title);
    line.Figures = figures;
    line.UsedText = BudgetAmountText(unit, figures.Used);
    line.ForecastText = FillText(TranslateText("Overview", "Прогноз на конец цикла: %1"),
                                 {BudgetAmountText(unit, figures.Forecast)});
    if (figures.Limit) {
        const int64_t limit = *figures.Limit;
        line.UsedText = FillText(TranslateText("Overview", "%1 из %2"),
                                 {line.UsedText, BudgetAmountText(unit, limit)});
        line.Band = BandOf(figures.Used, limit, alerts);
        line.BarValue = static_cast<int>(std::clamp<int64_t>(figures.Used * 100 / limit, 0, 100));
        line.Verdict = VerdictText(unit, figures.Used, figures.Forecast, limit);
        line.Over = figures.Used > limit || figures.Forecast > limit;
        line.AllowanceText =
            FillText(TranslateText("Overview", "В день можно %1"),
                     {BudgetAmountText(unit, figures.AllowancePerDay.value_or(0))});
    }
    return line;
}

// "14.11.2026" as "14.11.26".
std::string ShortDate(TDateTime day) {
    const std::string text = DateText(day);
    return text.substr(0, 6) + text.substr(8, 2);
}

PeriodUse UseOf(const Ledger& books, TDateTime first, TDateTime last) {
    PeriodUse use;
    use.First = first;
    use.Last = last;
    use.Minutes = books.MinutesOf(first, last);
    use.Kopecks = books.KopecksOf(first, last);
    use.Bytes = books.BytesOf(first, last).Total();
    return use;
}

// Splits `bytes` into lines at CR LF, a lone CR or a lone LF, dropping the
// first piece when it may be the end of a line that starts before them, and
// every blank line.
std::vector<std::string_view> LinesOf(std::string_view bytes, bool fromFileStart) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    bool first = true;
    const auto take = [&](std::size_t end) {
        if ((fromFileStart || !first) && end > start) {
            lines.push_back(bytes.substr(start, end - start));
        }
        first = false;
    };
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            take(i);
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    take(bytes.size());
    return lines;
}

}  // namespace

BarBand BandOf(int64_t used, int64_t limit, std::span<const int> alerts) {
    if (Reaches(used, 100, limit)) {
        return BarBand::Red;
    }
    if (!alerts.empty() && alerts.front() < 100 && Reaches(used, alerts.front(), limit)) {
        return BarBand::Amber;
    }
    return BarBand::Green;
}

std::string VerdictText(BudgetUnit unit, int64_t used, int64_t forecast, int64_t limit) {
    if (used > limit) {
        return FillText(TranslateText("Overview", "превышен на %1"),
                        {BudgetAmountText(unit, used - limit)});
    }
    if (forecast > limit) {
        return FillText(TranslateText("Overview", "превысит на %1"),
                        {BudgetAmountText(unit, forecast - limit)});
    }
    return TranslateText("Overview", "в пределах бюджета");
}

double ChartValue(const PeriodUse& use, ChartUnit unit) {
    switch (unit) {
        case ChartUnit::Minutes:
            return static_cast<double>(use.Minutes);
        case ChartUnit::Money:
            return static_cast<double>(use.Kopecks) / 100;
        case ChartUnit::Megabytes:
            break;
    }
    return static_cast<double>(use.Bytes) / static_cast<double>(kBytesPerMegabyte);
}

namespace {

// The session, the cycle and its budgets: what changes with every minute.
void ShowMoment(OverviewFigures& figures, const Ledger& books, TDateTime now) {
    const PlanAccount& plan = books.Plan();
    const std::optional<PlanSettings>& settings = plan.Settings();

    const TDateTime today = DayOf(now);
    figures.Today = today;
    figures.MinuteCost = books.MinuteCost();
    figures.PricedByPlan = plan.PricesByPlan();

    figures.Session.reset();
    if (books.SessionOpen()) {
        const std::string& head = books.SessionHead();
        OverviewSession session;
        // The head is "[08.12.2026] 09:05-".
        if (head.size() >= 18) {
            session.Since = head.substr(1, 10) + " " + head.substr(13, 5);
        }
        session.Minutes = books.SessionMinutes();
        session.Duration = TimeText(session.Minutes);
        const std::string key = SessionKey(head);
        session.Kopecks = books.SessionKopecks(key, session.Minutes);
        session.Bytes = plan.SessionBytes(key);
        session.Address = WithoutTrailingBlanks(books.SessionAddress());
        figures.Session = session;
    }

    figures.Cycle = plan.CycleOf(today);
    figures.DaysLeft = DaysLeft(figures.Cycle, today);
    figures.CycleText = FillText(TranslateText("Overview", "Цикл с %1 по %2, %3"),
                                 {DateText(figures.Cycle.First), DateText(figures.Cycle.Last),
                                  DaysLeftText(figures.DaysLeft)});

    static const std::vector<int> kNoAlerts;
    const std::vector<int>& alerts =
        settings && settings->Budget ? settings->Budget->Alerts : kNoAlerts;
    figures.Budgets = {LineOf(BudgetUnit::Kopecks, VIMO_TEXT_NOOP("Overview", "Деньги"),
                              books.KopeckFigures(today), alerts),
                       LineOf(BudgetUnit::Minutes, VIMO_TEXT_NOOP("Overview", "Время"),
                              books.MinuteFigures(today), alerts),
                       LineOf(BudgetUnit::Megabytes, VIMO_TEXT_NOOP("Overview", "Трафик"),
                              books.MegabyteFigures(today), alerts)};
    figures.HasBudget =
        std::any_of(figures.Budgets.begin(), figures.Budgets.end(),
                    [](const BudgetLine& line) { return line.Figures.Limit.has_value(); });
    const std::optional<StopState> stop = books.StopOf(today);
    figures.StopText = stop ? StopStateText(*stop, today) : std::string();
}

// A bar's use read again; the current cycle's runs up to today.
void ReadUse(PeriodUse& use, const Ledger& books, TDateTime today) {
    const PeriodUse read = UseOf(books, use.First, use.Current ? today : use.Last);
    use.Minutes = read.Minutes;
    use.Kopecks = read.Kopecks;
    use.Bytes = read.Bytes;
}

bool Overlaps(const PeriodUse& use, const DayRange& days) {
    return use.First <= days.Last && days.First <= use.Last;
}

}  // namespace

OverviewFigures BuildOverview(const Ledger& books, TDateTime now) {
    OverviewFigures figures;
    ShowMoment(figures, books, now);
    const TDateTime today = figures.Today;

    for (TDateTime day = figures.Cycle.First; day <= figures.Cycle.Last; day = AddDays(day, 1)) {
        PeriodUse use = UseOf(books, day, day);
        use.Label = DateText(day).substr(0, 5);
        use.Current = day == today;
        figures.Days.push_back(std::move(use));
    }

    const std::optional<PlanSettings>& settings = books.Plan().Settings();
    const int startDay = settings && settings->CycleStartDay ? *settings->CycleStartDay : 1;
    for (const BillingCycle& cycle : CyclesUpTo(today, startDay, 12)) {
        const bool current = cycle == figures.Cycle;
        PeriodUse use = UseOf(books, cycle.First, current ? today : cycle.Last);
        use.Last = cycle.Last;
        use.Label = ShortDate(cycle.First);
        use.Current = current;
        figures.Cycles.push_back(std::move(use));
    }
    return figures;
}

void FollowTick(OverviewFigures& figures, const Ledger& books, TDateTime now,
                const DayChange& changed) {
    const TDateTime today = DayOf(now);
    // A new day, tariff or cycle moves every bar.
    if (changed.Every || figures.Today != today || figures.MinuteCost != books.MinuteCost() ||
        !(books.Plan().CycleOf(today) == figures.Cycle)) {
        figures = BuildOverview(books, now);
        return;
    }
    ShowMoment(figures, books, now);
    if (!changed.Days) {
        return;
    }
    for (std::vector<PeriodUse>* uses : {&figures.Days, &figures.Cycles}) {
        for (PeriodUse& use : *uses) {
            if (Overlaps(use, *changed.Days)) {
                ReadUse(use, books, today);
            }
        }
    }
}

std::vector<HistoryRow> HistoryRows(const Ledger& books, const std::vector<std::string>& lines) {
    std::vector<HistoryRow> rows;
    rows.reserve(lines.size());
    for (const std::string& line : lines) {
        HistoryRow row;
        row.Line = line;
        row.Fields = ReadSessionLineFields(line);
        if (row.Fields.StartDate && row.Fields.StartTime) {
            row.Start = *row.Fields.StartDate + " " + *row.Fields.StartTime;
        } else {
            row.Start = line.substr(0, std::min<std::size_t>(line.size(), 18));
        }
        const std::string key = SessionKey(line);
        if (row.Fields.Minutes) {
            row.Kopecks = books.SessionKopecks(key, *row.Fields.Minutes);
        }
        if (!key.empty()) {
            row.Bytes = books.Plan().SessionBytes(key);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<std::string> ReadLastLines(const std::filesystem::path& file, std::size_t count) {
    std::vector<std::string> newestFirst;
    if (count == 0 || !FileExists(file)) {
        return newestFirst;
    }
    // A history line is about 80 bytes; the first piece holds fifty of them.
    for (std::size_t piece = 4096;; piece *= 8) {
        const std::string bytes = ReadTail(file, piece);
        const bool wholeFile = bytes.size() < piece;
        const std::vector<std::string_view> lines = LinesOf(bytes, wholeFile);
        if (lines.size() >= count || wholeFile) {
            const std::size_t take = std::min(count, lines.size());
            for (std::size_t i = 0; i < take; ++i) {
                newestFirst.push_back(FromCp1251(lines[lines.size() - 1 - i]));
            }
            return newestFirst;
        }
    }
}

HistoryTail::HistoryTail(std::filesystem::path file, std::size_t count)
    : file_(std::move(file)), count_(count) {}

void HistoryTail::Read() {
    // The version is taken first: a line appended while reading shows as a
    // change at the next look, and a file that cannot be read fails once,
    // not again at every look until it changes.
    version_ = CurrentFileVersion(file_);
    lines_ = ReadLastLines(file_, count_);
}

bool HistoryTail::Update() {
    if (version_ && *version_ == CurrentFileVersion(file_)) {
        return false;
    }
    Read();
    return true;
}
