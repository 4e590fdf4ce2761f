#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "Codec1251.h"
#include "CostStore.h"
#include "Errors.h"
#include "HistoryListing.h"
#include "TempDir.h"

namespace {

using ::testing::StrEq;
using ::testing::ThrowsMessage;

const std::string kLine =
    "[08.12.2026] 09:05-10:20   время = 1 ч. 15 мин.  Linux       10.0.0.1       ";
const std::string kCrashed =
    "[08.12.2026] 11:00-11:45   время = 45 мин.       Linux       10.0.0.2       "
    "   Аварийное завершение !";
const std::string kDamaged = "[08.12.2026] 12:00-12:5\"0, \"";

std::string Written(const std::vector<std::string>& lines, ReportFormat format,
                    const SessionBytesByHead& bytes) {
    std::ostringstream out;
    WriteHistoryLines(out, lines, format, bytes);
    return out.str();
}

TEST(HistoryListing, WritesEachFormat) {
    const std::string header =
        "start_date,start_time,end_time,minutes,system,address,crashed,rx_bytes,tx_bytes,line\r\n";
    // The damaged line's head is whole, so its bytes are found; a head the
    // lines do not have is never written.
    const SessionBytesByHead bytes{{"[08.12.2026] 09:05", {5'000'000'000, 0}},
                                   {"[08.12.2026] 12:00", {12, 3}},
                                   {"[08.12.2026] 13:00", {7, 7}}};
    struct Case {
        std::vector<std::string> lines;
        ReportFormat format;
        SessionBytesByHead bytes;
        std::string expected;
    };
    const Case cases[] = {
        {{kLine, kDamaged}, ReportFormat::Text, bytes, kLine + "\n" + kDamaged + "\n"},
        {{}, ReportFormat::Text, {}, ""},
        {{kLine, kCrashed, kDamaged},
         ReportFormat::Csv,
         bytes,
         header + "08.12.2026,09:05,10:20,75,Linux,10.0.0.1,false,5000000000,0," + kLine + "\r\n" +
             "08.12.2026,11:00,11:45,45,Linux,10.0.0.2,true,,," + kCrashed + "\r\n" +
             "08.12.2026,12:00,,,,,false,12,3,\"[08.12.2026] 12:00-12:5\"\"0, \"\"\"\r\n"},
        {{kLine, "[08.12"},
         ReportFormat::Csv,
         {},
         header + "08.12.2026,09:05,10:20,75,Linux,10.0.0.1,false,,," + kLine + "\r\n" +
             ",,,,,,false,,,[08.12\r\n"},
        {{}, ReportFormat::Csv, bytes, header},
        {{kCrashed, kDamaged},
         ReportFormat::Json,
         bytes,
         "[\n{\"start_date\":\"08.12.2026\",\"start_time\":\"11:00\",\"end_time\":\"11:45\","
         "\"minutes\":45,\"system\":\"Linux\",\"address\":\"10.0.0.2\",\"crashed\":true,"
         "\"rx_bytes\":null,\"tx_bytes\":null,\"line\":\"" +
             kCrashed +
             "\"},\n"
             "{\"start_date\":\"08.12.2026\",\"start_time\":\"12:00\",\"end_time\":null,"
             "\"minutes\":null,\"system\":null,\"address\":null,\"crashed\":false,"
             "\"rx_bytes\":12,\"tx_bytes\":3,"
             "\"line\":\"[08.12.2026] 12:00-12:5\\\"0, \\\"\"}\n]\n"},
        {{}, ReportFormat::Json, bytes, "[]\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Written(c.lines, c.format, c.bytes), c.expected);
    }
}

// Vimo.db as the running program leaves it, with one connection of each
// head in `heads`, its bytes (n, 2n) for the n-th.
void RecordSessions(const std::filesystem::path& folder, const std::vector<std::string>& heads) {
    const auto store = CostStore::Open(folder, CostStore::Access::ReadWrite);
    int64_t n = 0;
    for (const std::string& head : heads) {
        ++n;
        CostStore::MinuteRecord minute;
        minute.Day = EncodeDate(2026, 12, 8);
        minute.CycleFirst = EncodeDate(2026, 12, 1);
        minute.Moved = {n, 2 * n};
        minute.BytesRead = true;
        minute.SessionHead = head;
        store->Record(minute);
    }
}

TEST(HistoryListing, ReadsTheBytesOfTheDaysTheLinesStartOnOnly) {
    const std::vector<std::string> heads = {"[07.12.2026] 23:59", "[08.12.2026] 09:05",
                                            "[08.12.2026] 11:00", "[09.12.2026] 00:00",
                                            "[10.12.2026] 08:00", "[31.02.2026] 10:00"};
    const std::string otherDay =
        "[09.12.2026] 00:00-00:10   время = 10 мин.       Linux       10.0.0.1       ";
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        SessionBytesByHead expected;
    };
    const Case cases[] = {
        {"one day", {kLine, kCrashed}, {{heads[1], {2, 4}}, {heads[2], {3, 6}}}},
        {"the days from the first line's to the last's, in any order",
         {otherDay, kDamaged},
         {{heads[1], {2, 4}}, {heads[2], {3, 6}}, {heads[3], {4, 8}}}},
        {"no line with a date", {"[08.12", "[xx.12.2026] 09:05"}, {}},
        {"no line", {}, {}},
    };
    const TempDir dir;
    for (const Case& c : cases) {
        EXPECT_TRUE(ReadSessionBytes(dir.Path(), c.lines).empty()) << c.name << ", no Vimo.db";
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "Vimo.db"));
    RecordSessions(dir.Path(), heads);
    for (const Case& c : cases) {
        EXPECT_EQ(ReadSessionBytes(dir.Path(), c.lines), c.expected) << c.name;
    }
}

TEST(HistoryListing, ListsTheRangeOfAFolderAndNeverCreatesTheHistory) {
    TempDir dir;
    const DayRange day{EncodeDate(2026, 12, 8), EncodeDate(2026, 12, 8)};
    EXPECT_TRUE(ListHistory(dir.Path(), day).Lines.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "Static.txt"));

    WriteBytes(dir / "Static.txt",
               ToCp1251("[07.12.2026] 09:00\r\n" + kLine + "\r\n" + kCrashed + "\r\n"));
    EXPECT_EQ(ListHistory(dir.Path(), day).Lines, (std::vector<std::string>{kLine, kCrashed}));

    EXPECT_THAT([&] { ListHistory(dir / "missing", day); },
                ThrowsMessage<EInOutError>(StrEq("File not found")));
    std::filesystem::remove(dir / "Static.txt");
    std::filesystem::create_directory(dir / "Static.txt");
    EXPECT_THAT([&] { ListHistory(dir.Path(), day); },
                ThrowsMessage<EFOpenError>(StrEq("Cannot open file Static.txt")));
}

}  // namespace
