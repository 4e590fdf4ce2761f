// The statistics report filter: the whole history filtered at once must match
// a plain line-by-line reading, and the same bytes fed in pieces of random
// sizes, the way the history file is read, must give the same report.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "core/Codec1251.h"
#include "core/DateTime.h"
#include "core/Errors.h"
#include "files/HistoryReport.h"

namespace {

// Lines end at CR LF, a lone CR or a lone LF; a last line without an end
// counts when it is not empty.
std::vector<std::string_view> SplitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(bytes.substr(start, i - start));
            i += c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n' ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < bytes.size()) {
        lines.push_back(bytes.substr(start));
    }
    return lines;
}

HistoryReport ReferenceReport(std::string_view history, TDateTime from, TDateTime to) {
    HistoryReport report;
    for (const std::string_view line : SplitLines(history)) {
        if (report.Error) {
            report.Lines.push_back(FromCp1251(line));
            continue;
        }
        if (line.size() < 11) {
            continue;
        }
        try {
            const TDateTime day = ParseDate(line.substr(1, 10));
            if (CompareDays(day, from) >= 0 && CompareDays(day, to) <= 0) {
                report.Lines.push_back(FromCp1251(line));
            }
        } catch (const EConvertError&) {
            report.Error = InvalidDateText(FromCp1251(line.substr(1, 10)));
            report.Lines.push_back(FromCp1251(line));
        }
    }
    return report;
}

// Feeds the bytes as the file reader does: each piece is appended to what the
// filter left over last time.
HistoryReport FedInPieces(std::string_view history, TDateTime from, TDateTime to, uint32_t seed) {
    HistoryReport report;
    HistoryFilter filter(from, to, [&](std::string_view line) { report.Lines.emplace_back(line); });
    std::string window;
    std::size_t offset = 0;
    bool atEnd = false;
    while (!atEnd) {
        seed = seed * 1103515245u + 12345u;
        const std::size_t piece = 1 + (seed >> 16) % 17;
        const std::size_t got = std::min(piece, history.size() - offset);
        window.append(history.substr(offset, got));
        offset += got;
        atEnd = got < piece;
        const std::size_t taken = filter.Feed(window, atEnd);
        FUZZ_CHECK(taken <= window.size());
        window.erase(0, taken);
    }
    FUZZ_CHECK(window.empty());
    report.Error = filter.Error();
    return report;
}

bool SameReport(const HistoryReport& a, const HistoryReport& b) {
    return a.Lines == b.Lines && a.Error == b.Error;
}

}  // namespace

// Input: two bytes pick the first day (2003 to 2016), one byte the length of
// the range (negative lengths make an empty range), one byte seeds the piece
// sizes; the rest is the history file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    const int firstOffset = (data[0] | data[1] << 8) % 5000;
    const int length = data[2] % 64 - 8;
    const uint32_t seed = data[3];
    const std::string_view history(reinterpret_cast<const char*>(data + 4), size - 4);

    // The bounds carry a time of day, as the date pickers' values may.
    const TDateTime from = EncodeDate(2003, 1, 1) + firstOffset + 0.75;
    const TDateTime to = from + length - 0.5;

    const HistoryReport whole = FilterHistory(history, from, to);
    FUZZ_CHECK(SameReport(whole, ReferenceReport(history, from, to)));
    FUZZ_CHECK(SameReport(whole, FedInPieces(history, from, to, seed)));
    return 0;
}
