#include "files/HistoryReport.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/Codec1251.h"
#include "core/Errors.h"
#include "files/FileIO.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Dates compared as YYYYMMDD numbers.
int DateKey(const CalendarDate& d) {
    return d.Year * 10000 + d.Month * 100 + d.Day;
}

// The date key of a line of at least 11 characters. Lines in the program's
// own DD.MM.YYYY form are read directly, which keeps a report over a million
// lines fast; anything else goes through the full date reader, which throws
// for a text that is no date.
int LineDateKey(std::string_view line) {
    const std::string_view d = line.substr(1, 10);
    if (IsDigit(d[0]) && IsDigit(d[1]) && d[2] == '.' && IsDigit(d[3]) && IsDigit(d[4]) &&
        d[5] == '.' && IsDigit(d[6]) && IsDigit(d[7]) && IsDigit(d[8]) && IsDigit(d[9])) {
        const int day = (d[0] - '0') * 10 + (d[1] - '0');
        const int month = (d[3] - '0') * 10 + (d[4] - '0');
        const int year =
            (d[6] - '0') * 1000 + (d[7] - '0') * 100 + (d[8] - '0') * 10 + (d[9] - '0');
        if (IsValidDate(year, month, day)) {
            return DateKey({year, month, day});
        }
    }
    return DateKey(DecodeDate(LineDate(line)));
}

constexpr std::size_t kReadSize = 1 << 20;

}  // namespace

HistoryFilter::HistoryFilter(TDateTime from, TDateTime to, LineSink take)
    : firstKey_(DateKey(DecodeDate(std::trunc(from)))),
      lastKey_(DateKey(DecodeDate(std::trunc(to)))),
      take_(std::move(take)) {}

void HistoryFilter::TakeLine(std::string_view line) {
    if (!error_) {
        if (line.size() < 11) {
            return;
        }
        try {
            const int key = LineDateKey(line);
            if (key < firstKey_ || key > lastKey_) {
                return;
            }
        } catch (const EConvertError&) {
            error_ = InvalidDateText(FromCp1251(line.substr(1, 10)));
        }
    }
    utf8_.clear();
    AppendFromCp1251(utf8_, line);
    take_(utf8_);
}

std::size_t HistoryFilter::Feed(std::string_view bytes, bool atEnd) {
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    const char* pos = begin;
    // The rest handed back last time comes first again: its bytes already
    // searched are not searched again, so a line of any length costs its
    // length once, whatever the pieces.
    const char* searchFrom = begin + std::min(searched_, bytes.size());
    const char* lf = nullptr;  // the next LF from `searchFrom` on, else `end`
    while (pos < end) {
        if (lf == nullptr || lf < searchFrom) {
            lf = static_cast<const char*>(std::memchr(searchFrom, '\n', end - searchFrom));
            lf = lf ? lf : end;
        }
        const auto* cr = static_cast<const char*>(std::memchr(searchFrom, '\r', lf - searchFrom));
        if (cr) {
            // A CR ends the line; CR LF counts as one end. A CR that is the
            // last byte fed may be the first half of a CR LF.
            if (cr + 1 == end && !atEnd) {
                searched_ = static_cast<std::size_t>(cr - pos);
                return static_cast<std::size_t>(pos - begin);
            }
            TakeLine(std::string_view(pos, cr - pos));
            pos = cr + 1 < end && cr[1] == '\n' ? cr + 2 : cr + 1;
        } else if (lf < end) {
            TakeLine(std::string_view(pos, lf - pos));
            pos = lf + 1;
        } else {
            if (!atEnd) {
                searched_ = static_cast<std::size_t>(end - pos);
                return static_cast<std::size_t>(pos - begin);
            }
            TakeLine(std::string_view(pos, end - pos));
            pos = end;
        }
        searchFrom = pos;
    }
    searched_ = 0;
    return static_cast<std::size_t>(pos - begin);
}

HistoryReport FilterHistory(std::string_view history, TDateTime from, TDateTime to) {
    HistoryReport report;
    HistoryFilter filter(from, to, [&](std::string_view line) { report.Lines.emplace_back(line); });
    filter.Feed(history, true);
    report.Error = filter.Error();
    return report;
}

std::optional<std::string> FilterHistoryFile(const std::filesystem::path& historyFile,
                                             TDateTime from, TDateTime to,
                                             const HistoryFilter::LineSink& take) {
    // The history is read once, a piece at a time, so a history of any size
    // needs only a small buffer.
    HistoryFilter filter(from, to, take);
    ReadInPieces(historyFile, kReadSize,
                 [&](std::string_view bytes, bool atEnd) { return filter.Feed(bytes, atEnd); });
    return filter.Error();
}

HistoryReport ShowStatistics(const std::filesystem::path& historyFile, TDateTime from,
                             TDateTime to) {
    HistoryReport report;
    try {
        report.Error = FilterHistoryFile(
            historyFile, from, to, [&](std::string_view line) { report.Lines.emplace_back(line); });
    } catch (const EInOutError&) {
        throw EFOpenError(historyFile.filename().string());
    }
    return report;
}

void SaveReport(const std::filesystem::path& file, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += ToCp1251(line);
        bytes += "\r\n";
    }
    try {
        ReplaceFileAtomically(file, bytes);
    } catch (const EInOutError&) {
        throw EFCreateError(file.string());
    }
}
