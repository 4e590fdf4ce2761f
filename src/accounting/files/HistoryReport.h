#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/DateTime.h"

// The connection reports of the statistics page: the lines of the history
// "Static.txt" whose start date (characters 2 to 11) lies in a range of days,
// unchanged and in file order.
struct HistoryReport {
    // The report's lines, converted from Windows-1251 to UTF-8.
    std::vector<std::string> Lines;
    // Set when a line's date did not read: that line and every line after it
    // are kept unfiltered, and this is the error to show.
    std::optional<std::string> Error;
};

// Selects history lines of the days from `from` to `to`, both included,
// from bytes fed in pieces of any size, and hands each on as it is selected.
// Lines end at CR LF, a lone CR or a lone LF. Lines shorter than 11
// characters (never written by the program) are skipped rather than
// stopping the report.
class HistoryFilter {
  public:
    // Gets each selected line in UTF-8; the text lasts until the call returns.
    using LineSink = std::function<void(std::string_view line)>;

    HistoryFilter(TDateTime from, TDateTime to, LineSink take);

    // Takes the complete lines at the start of `bytes` and returns how many
    // bytes they were; the caller feeds the rest again with more bytes
    // after it. With `atEnd` the last line needs no line end.
    std::size_t Feed(std::string_view bytes, bool atEnd);
    // As HistoryReport::Error: set once a line's date did not read.
    const std::optional<std::string>& Error() const { return error_; }

  private:
    void TakeLine(std::string_view line);

    int firstKey_;
    int lastKey_;
    LineSink take_;
    std::optional<std::string> error_;
    std::string utf8_;
    // Bytes at the start of the rest last handed back that hold no line end.
    std::size_t searched_ = 0;
};

// Filters the whole bytes of a history file at once.
HistoryReport FilterHistory(std::string_view history, TDateTime from, TDateTime to);

// Reads the history file once, a piece at a time, and hands each line of
// the days from `from` to `to` to `take` as it is selected; returns the
// error of a line whose date did not read. A file that cannot be read
// throws EInOutError naming it.
std::optional<std::string> FilterHistoryFile(const std::filesystem::path& historyFile,
                                             TDateTime from, TDateTime to,
                                             const HistoryFilter::LineSink& take);

// The statistics page's report: every line of FilterHistoryFile; a file that
// cannot be read throws EFOpenError "Cannot open file <name>".
HistoryReport ShowStatistics(const std::filesystem::path& historyFile, TDateTime from,
                             TDateTime to);

// Writes report lines as a Windows-1251 text file, each line followed by
// CR LF, without header. A file that cannot be created or written throws
// EFCreateError "Cannot create file <name>".
void SaveReport(const std::filesystem::path& file, const std::vector<std::string>& lines);
