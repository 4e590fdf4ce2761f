// vimo-report: the connections recorded in Vimo's working folder and the
// figures of its days, on standard output. It only reads the data files, so
// it may run beside the program.
// Each subcommand reads its own arguments and leaves its work to run once
// the options common to all are known; errors go to standard error with the
// program's texts and exit status 2.
#include <CLI/CLI.hpp>

#include <cerrno>
#include <exception>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <string>

#include "Catalogues.h"
#include "core/Clock.h"
#include "core/Errors.h"
#include "core/ReportRange.h"
#include "figures/DaySummary.h"
#include "files/FileIO.h"
#include "report/HistoryListing.h"
#include "report/SummaryWriters.h"
#include "system/AutostartEntry.h"
#include "system/ProgramLock.h"
#include "system/UiLanguage.h"
#include "system/WorkDir.h"

namespace {

constexpr int kErrorStatus = 2;
// check: the cycle breaks a budget.
constexpr int kBudgetBrokenStatus = 1;

// What every subcommand's work is given.
struct Invocation {
    std::filesystem::path Folder;
    ReportFormat Format = ReportFormat::Text;
    std::ostream& Out;
};
using Work = std::function<int(const Invocation&)>;

// The folder named on the command line, else the program's own rule. An
// autostart entry that cannot be read is an error here rather than a silent
// fall back to the current folder, which would report another folder's data.
std::filesystem::path WorkingFolder(const std::optional<std::string>& named) {
    if (named) {
        return std::filesystem::absolute(*named);
    }
    return RestoreWorkDir(ReadAutostartEntry(DefaultAutostartFile()), StartedInFolder());
}

int ListRange(const Invocation& run, const DayRange& range) {
    ListHistory(run.Folder, range, run.Format, run.Out);
    return 0;
}

// "vimo-report: error: <text>", with the file a file step failed on.
std::string ErrorLine(const std::exception& error) {
    std::string line = std::string("vimo-report: error: ") + error.what();
    if (const auto* fileStep = dynamic_cast<const EInOutError*>(&error)) {
        if (!fileStep->File.empty()) {
            line += " (" + fileStep->File + ")";
        }
    }
    return line;
}

// The arguments of the listing subcommands.
struct ListingArguments {
    std::string Day;
    std::string Month;
    std::string First;
    std::string Last;
};

void AddListing(CLI::App& app, ListingArguments& args, Work& work) {
    CLI::App* day = app.add_subcommand("day", "List the connections of one day");
    day->add_option("date", args.Day, "DD.MM.YYYY")->required();
    day->callback([&] {
        work = [&](const Invocation& run) { return ListRange(run, DayRangeOf(args.Day)); };
    });

    CLI::App* month = app.add_subcommand("month", "List the connections of a calendar month");
    month->add_option("month", args.Month, "MM.YYYY")->required();
    month->callback([&] {
        work = [&](const Invocation& run) { return ListRange(run, MonthRangeOf(args.Month)); };
    });

    CLI::App* period = app.add_subcommand("period", "List the connections of a period of days");
    period->add_option("first", args.First, "DD.MM.YYYY, the first day")->required();
    period->add_option("last", args.Last, "DD.MM.YYYY, the last day")->required();
    period->callback([&] {
        work = [&](const Invocation& run) {
            return ListRange(run, PeriodRangeOf(args.First, args.Last));
        };
    });
}

int Summarize(const Invocation& run, const std::optional<std::string>& dayText) {
    if (run.Format == ReportFormat::Csv) {
        throw Exception("summary is written as text or json, not csv");
    }
    const TDateTime day = dayText ? DayRangeOf(*dayText).First : SystemClock().Now();
    const DaySummary summary = SummarizeDay(run.Folder, day);
    const std::optional<SessionInProgress> session =
        ReadSessionInProgress(run.Folder, ProgramRunsIn(run.Folder));
    if (run.Format == ReportFormat::Json) {
        WriteSummaryJson(run.Out, summary, session);
    } else {
        WriteSummaryText(run.Out, summary, session);
    }
    return 0;
}

// Today's cycle against the budget: nothing and 0 while it is within every
// limit, else one line and 1. The form of the output does not matter here.
int CheckBudget(const Invocation& run) {
    const DaySummary summary = SummarizeDay(run.Folder, SystemClock().Now());
    if (const std::optional<std::string> breach = BudgetBreach(summary)) {
        run.Out << *breach << '\n';
        return kBudgetBrokenStatus;
    }
    return 0;
}

void AddFigures(CLI::App& app, std::string& summaryDay, Work& work) {
    CLI::App* summary =
        app.add_subcommand("summary", "The figures of a day: its month, its cycle, the budget");
    CLI::Option* date = summary->add_option("date", summaryDay, "DD.MM.YYYY (default: today)");
    summary->callback([&summaryDay, &work, date] {
        const std::optional<std::string> day =
            date->count() > 0 ? std::optional<std::string>(summaryDay) : std::nullopt;
        work = [day](const Invocation& run) { return Summarize(run, day); };
    });

    CLI::App* check = app.add_subcommand(
        "check", "Exit 1 when today's cycle or its forecast exceeds a budget, else 0");
    check->callback([&work] { work = CheckBudget; });
}

}  // namespace

int main(int argc, char** argv) {
    // The text form and the error lines in the user's language; the CSV and
    // JSON forms carry no language.
    Catalogues catalogues(RequestedUiLanguageOfEnvironment());
    catalogues.Install();
    CLI::App app{"Reports the connections Vimo recorded in its working folder.", "vimo-report"};
    app.require_subcommand(1, 1);
    app.fallthrough();

    std::optional<std::string> folder;
    app.add_option("--folder", folder,
                   "Vimo's working folder (default: the folder of the program in the "
                   "autostart entry, else the current folder)");
    const std::map<std::string, ReportFormat> formats{
        {"text", ReportFormat::Text}, {"csv", ReportFormat::Csv}, {"json", ReportFormat::Json}};
    std::string format = "text";
    app.add_option("--format", format, "The output's form (default: text)")
        ->check(CLI::IsMember(formats));

    Work work;
    ListingArguments listing;
    AddListing(app, listing, work);
    std::string summaryDay;
    AddFigures(app, summaryDay, work);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? 0 : kErrorStatus;
    }

    std::ios::sync_with_stdio(false);
    try {
        const int status = work(Invocation{WorkingFolder(folder), formats.at(format), std::cout});
        if (!std::cout.flush()) {
            throw InOutErrorFromErrno(errno != 0 ? errno : EIO);
        }
        return status;
    } catch (const std::exception& error) {
        std::cout.flush();
        std::cerr << ErrorLine(error) << std::endl;
        return kErrorStatus;
    }
}
