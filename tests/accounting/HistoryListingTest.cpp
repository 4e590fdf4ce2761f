#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <sstream>
#include <utility>
#include <vector>

#include "TempDir.h"
#include "core/Codec1251.h"
#include "core/Errors.h"
#include "report/HistoryLinesWriter.h"
#include "report/HistoryListing.h"
#include "store/CostStore.h"

namespace {

using ::testing::StrEq;
using ::testing::ThrowsMessage;

const std::string kLine =
    "[08.12.2026] 09:05-10:20   время = 1 ч. 15 мин.  Linux       10.0.0.1       ";
const std::string kCrashed =
    "[08.12.2026] 11:00-11:45   время = 45 мин.       Linux       10.0.0.2       "
    "   Аварийное завершение !";
const std::string kDamaged = "[08.12.2026] 12:00-12:5\"0, \"";

// Each line with the bytes of its connection, when they are known.
using Listed = std::vector<std::pair<std::string, std::optional<CostStore::Bytes>>>;

std::string Written(const Listed& lines, ReportFormat format) {
    std::ostringstream out;
    HistoryLinesWriter writer(out, format);
    for (const auto& [line, moved] : lines) {
        writer.Write(line, moved ? &*moved : nullptr);
    }
    writer.Finish();
    return out.str();
}

TEST(HistoryListing, WritesEachFormat) {
    const std::string header =
        "start_date,start_time,end_time,minutes,system,address,crashed,rx_bytes,tx_bytes,line\r\n";
    // A comma in the system label quotes that part and the line alone.
    const std::string comma =
        "[08.12.2026] 13:00-13:05   время = 5 мин.        Lin,ux      10.0.0.3       ";
    // Control characters as the JSON writer has always escaped them; DEL and
    // U+0098 (the byte 0x98 of the history) stay as they are.
    const std::string controls =
        std::string("[08.12.2026] 14:00\t\x01\x1f\x7f\\\xc2\x98\b\f") + '\0';
    struct Case {
        Listed lines;
        ReportFormat format;
        std::string expected;
    };
    const Case cases[] = {
        {{{kLine, CostStore::Bytes{5'000'000'000, 0}}, {kDamaged, std::nullopt}},
         ReportFormat::Text,
         kLine + "\n" + kDamaged + "\n"},
        {{}, ReportFormat::Text, ""},
        {{{kLine, CostStore::Bytes{5'000'000'000, 0}},
          {kCrashed, std::nullopt},
          {kDamaged, CostStore::Bytes{12, 3}}},
         ReportFormat::Csv,
         header + "08.12.2026,09:05,10:20,75,Linux,10.0.0.1,false,5000000000,0," + kLine + "\r\n" +
             "08.12.2026,11:00,11:45,45,Linux,10.0.0.2,true,,," + kCrashed + "\r\n" +
             "08.12.2026,12:00,,,,,false,12,3,\"[08.12.2026] 12:00-12:5\"\"0, \"\"\"\r\n"},
        {{{kLine, std::nullopt}, {"[08.12", std::nullopt}},
         ReportFormat::Csv,
         header + "08.12.2026,09:05,10:20,75,Linux,10.0.0.1,false,,," + kLine + "\r\n" +
             ",,,,,,false,,,[08.12\r\n"},
        {{{comma, std::nullopt}},
         ReportFormat::Csv,
         header + "08.12.2026,13:00,13:05,5,\"Lin,ux\",10.0.0.3,false,,,\"" + comma + "\"\r\n"},
        {{}, ReportFormat::Csv, header},
        {{{kCrashed, std::nullopt}, {kDamaged, CostStore::Bytes{12, 3}}},
         ReportFormat::Json,
         "[\n{\"start_date\":\"08.12.2026\",\"start_time\":\"11:00\",\"end_time\":\"11:45\","
         "\"minutes\":45,\"system\":\"Linux\",\"address\":\"10.0.0.2\",\"crashed\":true,"
         "\"rx_bytes\":null,\"tx_bytes\":null,\"line\":\"" +
             kCrashed +
             "\"},\n"
             "{\"start_date\":\"08.12.2026\",\"start_time\":\"12:00\",\"end_time\":null,"
             "\"minutes\":null,\"system\":null,\"address\":null,\"crashed\":false,"
             "\"rx_bytes\":12,\"tx_bytes\":3,"
             "\"line\":\"[08.12.2026] 12:00-12:5\\\"0, \\\"\"}\n]\n"},
        {{{controls, std::nullopt}},
         ReportFormat::Json,
         "[\n{\"start_date\":\"08.12.2026\",\"start_time\":null,\"end_time\":null,"
         "\"minutes\":null,\"system\":null,\"address\":null,\"crashed\":false,"
         "\"rx_bytes\":null,\"tx_bytes\":null,"
         "\"line\":\"[08.12.2026] 14:00\\t\\u0001\\u001f\x7f\\\\\xc2\x98\\b\\f\\u0000\"}\n]\n"},
        {{}, ReportFormat::Json, "[]\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Written(c.lines, c.format), c.expected);
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
        EXPECT_TRUE(SessionBytesLookup(dir.Path()).Read(c.lines).empty())
            << c.name << ", no Vimo.db";
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "Vimo.db"));
    RecordSessions(dir.Path(), heads);
    for (const Case& c : cases) {
        EXPECT_EQ(SessionBytesLookup(dir.Path()).Read(c.lines), c.expected) << c.name;
    }
}

std::string Listing(const std::filesystem::path& folder, const DayRange& range,
                    ReportFormat format) {
    std::ostringstream out;
    ListHistory(folder, range, format, out);
    return out.str();
}

TEST(HistoryListing, ListsTheRangeOfAFolderAndNeverCreatesTheHistory) {
    TempDir dir;
    const DayRange day{EncodeDate(2026, 12, 8), EncodeDate(2026, 12, 8)};
    EXPECT_EQ(Listing(dir.Path(), day, ReportFormat::Text), "");
    EXPECT_EQ(Listing(dir.Path(), day, ReportFormat::Json), "[]\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "Static.txt"));

    WriteBytes(dir / "Static.txt",
               ToCp1251("[07.12.2026] 09:00\r\n" + kLine + "\r\n" + kCrashed + "\r\n"));
    EXPECT_EQ(Listing(dir.Path(), day, ReportFormat::Text), kLine + "\n" + kCrashed + "\n");

    EXPECT_THAT([&] { Listing(dir / "missing", day, ReportFormat::Text); },
                ThrowsMessage<EInOutError>(StrEq("File not found")));
    std::filesystem::remove(dir / "Static.txt");
    std::filesystem::create_directory(dir / "Static.txt");
    std::ostringstream out;
    EXPECT_THAT([&] { ListHistory(dir.Path(), day, ReportFormat::Csv, out); },
                ThrowsMessage<EInOutError>(StrEq("File access denied")));
    EXPECT_EQ(out.str(), "") << "nothing written for a history that cannot be opened";
}

// The lines go out as they are selected: a date that does not read is
// reported after every line, those after it unfiltered; the bytes are
// found by each line's head on both sides of a batch's end.
TEST(HistoryListing, StreamsEveryLineThenTheDateError) {
    TempDir dir;
    const std::string bad = "[31.02.2026] 10:00-10:05";
    const std::string other = "[09.12.2026] 08:00-08:05";
    WriteBytes(dir / "Static.txt", ToCp1251(other + "\r\n" + kLine + "\r\n" + bad + "\r\n" + other +
                                            "\r\n" + kDamaged));
    const DayRange day{EncodeDate(2026, 12, 8), EncodeDate(2026, 12, 8)};
    std::ostringstream out;
    EXPECT_THAT([&] { ListHistory(dir.Path(), day, ReportFormat::Text, out); },
                ThrowsMessage<EConvertError>(StrEq("'31.02.2026' is not a valid date")));
    EXPECT_EQ(out.str(), kLine + "\n" + bad + "\n" + other + "\n" + kDamaged + "\n");

    // More lines than one batch holds, the last of them in a batch of its own.
    constexpr int kLines = 65537;
    std::string history;
    std::vector<std::string> heads;
    for (int i = 0; i < kLines; ++i) {
        const TDateTime start = AddMinutes(EncodeDate(2026, 1, 1), i * 5);
        const std::string head = "[" + DateText(start) + "] " + ClockText(start);
        history += head + "-00:00\r\n";
        if (i == 0 || i >= kLines - 2) {
            heads.push_back(head);
        }
    }
    WriteBytes(dir / "Static.txt", history);
    RecordSessions(dir.Path(), heads);
    const std::string csv =
        Listing(dir.Path(), {EncodeDate(2026, 1, 1), EncodeDate(2026, 12, 31)}, ReportFormat::Csv);
    const auto row = [&](const std::string& head, const char* bytes) {
        return head.substr(1, 10) + "," + head.substr(13) + ",00:00,,,,false," + bytes + "," +
               head + "-00:00\r\n";
    };
    EXPECT_TRUE(csv.starts_with(
        "start_date,start_time,end_time,minutes,system,address,crashed,rx_bytes,tx_bytes,line\r\n" +
        row(heads[0], "1,2")));
    EXPECT_TRUE(csv.ends_with(row(heads[1], "2,4") + row(heads[2], "3,6")));
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), kLines + 1);
}

}  // namespace
