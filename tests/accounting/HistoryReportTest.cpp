#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "TempDir.h"
#include "core/Codec1251.h"
#include "core/Errors.h"
#include "files/HistoryReport.h"

namespace {

std::string Line(const char* date, const char* start,
                 const char* rest = "-10:00   время = 5 мин.") {
    return std::string("[") + date + "] " + start + rest;
}

std::vector<std::string> Lines(std::initializer_list<std::string> lines) {
    return lines;
}

// The report of `history` fed as the file reader feeds it, in pieces of
// `piece` bytes, each after the rest the filter left.
HistoryReport FedInPieces(std::string_view history, TDateTime from, TDateTime to,
                          std::size_t piece) {
    HistoryReport report;
    HistoryFilter filter(from, to, [&](std::string_view line) { report.Lines.emplace_back(line); });
    std::string window;
    for (std::size_t offset = 0;; offset += piece) {
        window += history.substr(std::min(offset, history.size()), piece);
        const bool atEnd = offset + piece >= history.size();
        window.erase(0, filter.Feed(window, atEnd));
        if (atEnd) {
            break;
        }
    }
    EXPECT_EQ(window, "");
    report.Error = filter.Error();
    return report;
}

constexpr std::size_t kPieces[] = {1, 2, 3, 5, 13, 64};

TEST(HistoryReport, SelectsByStartDayInFileOrder) {
    const std::string a = Line("01.08.2003", "09:00");
    const std::string b = Line("01.08.2003", "23:50", "-00:20   время = 30 мин.");
    const std::string c = Line("02.08.2003", "08:00");
    const std::string d = Line("01.08.2003", "12:00") + "   Аварийное завершение !";
    const std::string history = ToCp1251(a + "\r\n" + b + "\r\n" + c + "\r\n" + d + "\r\n");
    struct Case {
        TDateTime from, to;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {EncodeDate(2003, 8, 1), EncodeDate(2003, 8, 1), Lines({a, b, d})},
        {EncodeDate(2003, 8, 2), EncodeDate(2003, 8, 2), Lines({c})},  // 23:50 session not here
        {EncodeDate(2003, 8, 3), EncodeDate(2003, 8, 3), Lines({})},
        {EncodeDate(2003, 8, 1), EncodeDate(2003, 8, 31), Lines({a, b, c, d})},
        {EncodeDateTime(2003, 8, 2, 18, 0, 0), EncodeDateTime(2003, 8, 2, 1, 0, 0), Lines({c})},
        {EncodeDate(2003, 8, 2), EncodeDate(2003, 8, 1), Lines({})},
    };
    for (const Case& k : cases) {
        const HistoryReport report = FilterHistory(history, k.from, k.to);
        EXPECT_EQ(report.Lines, k.expected) << DateText(k.from) << " - " << DateText(k.to);
        EXPECT_FALSE(report.Error);
    }
}

TEST(HistoryReport, AcceptsEveryLineEndAndSkipsShortLines) {
    const std::string a = Line("05.03.2010", "10:00");
    const std::string history = ToCp1251(a + "\r" + "\r\n" + "[0" + "\n" + a + "\n" + a);
    const HistoryReport report =
        FilterHistory(history, EncodeDate(2010, 3, 5), EncodeDate(2010, 3, 5));
    EXPECT_EQ(report.Lines, Lines({a, a, a}));
    EXPECT_FALSE(report.Error);
    EXPECT_TRUE(FilterHistory("", 0, 100000).Lines.empty());
    // Every line end split from its line, and CR LF split in two.
    for (const std::size_t piece : kPieces) {
        EXPECT_EQ(FedInPieces(history, EncodeDate(2010, 3, 5), EncodeDate(2010, 3, 5), piece).Lines,
                  report.Lines)
            << "pieces of " << piece;
    }
}

TEST(HistoryReport, DamagedDateStopsFilteringAndKeepsTheRest) {
    const std::string a = Line("05.03.2010", "10:00");
    const std::string other = Line("06.03.2010", "10:00");
    const std::string bad = Line("31.02.2010", "10:00");
    const std::string history =
        ToCp1251(other + "\r\n" + a + "\r\n" + bad + "\r\n" + other + "\r\n");
    const HistoryReport report =
        FilterHistory(history, EncodeDate(2010, 3, 5), EncodeDate(2010, 3, 5));
    EXPECT_EQ(report.Lines, Lines({a, bad, other}));
    ASSERT_TRUE(report.Error);
    EXPECT_EQ(*report.Error, "'31.02.2010' is not a valid date");
    for (const std::size_t piece : kPieces) {
        const HistoryReport fed =
            FedInPieces(history, EncodeDate(2010, 3, 5), EncodeDate(2010, 3, 5), piece);
        EXPECT_EQ(fed.Lines, report.Lines) << "pieces of " << piece;
        EXPECT_EQ(fed.Error, report.Error) << "pieces of " << piece;
    }
}

// The page keeps the design's text for a history it cannot read, a FIFO
// too, which is refused rather than waited on.
TEST(HistoryReport, MissingOrUnreadableHistoryCannotBeOpened) {
    TempDir dir;
    EXPECT_THAT([&] { ShowStatistics(dir / "Static.txt", 0, 1); },
                testing::ThrowsMessage<EFOpenError>(testing::StrEq("Cannot open file Static.txt")));
    ASSERT_EQ(mkfifo((dir / "Static.txt").c_str(), 0600), 0);
    EXPECT_THAT([&] { ShowStatistics(dir / "Static.txt", 0, 1); },
                testing::ThrowsMessage<EFOpenError>(testing::StrEq("Cannot open file Static.txt")));
}

TEST(HistoryReport, SavedReportIsWindows1251WithCrLf) {
    TempDir dir;
    const std::string a = Line("05.03.2010", "10:00");
    SaveReport(dir / "Linkminutes (05.03.2010).txt", {a, a});
    EXPECT_EQ(ReadBytes(dir / "Linkminutes (05.03.2010).txt"),
              ToCp1251(a) + "\r\n" + ToCp1251(a) + "\r\n");
    SaveReport(dir / "empty.txt", {});
    EXPECT_EQ(ReadBytes(dir / "empty.txt"), "");
    EXPECT_THAT([&] { SaveReport(dir / "no-such-folder" / "r.txt", {a}); },
                testing::ThrowsMessage<EFCreateError>(testing::StrEq(
                    "Cannot create file " + (dir / "no-such-folder" / "r.txt").string())));
}

}  // namespace
