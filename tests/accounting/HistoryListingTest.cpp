#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "Codec1251.h"
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

std::string Written(const std::vector<std::string>& lines, ReportFormat format) {
    std::ostringstream out;
    WriteHistoryLines(out, lines, format);
    return out.str();
}

TEST(HistoryListing, WritesEachFormat) {
    const std::string header =
        "start_date,start_time,end_time,minutes,system,address,crashed,line\r\n";
    struct Case {
        std::vector<std::string> lines;
        ReportFormat format;
        std::string expected;
    };
    const Case cases[] = {
        {{kLine, kDamaged}, ReportFormat::Text, kLine + "\n" + kDamaged + "\n"},
        {{}, ReportFormat::Text, ""},
        {{kLine, kCrashed, kDamaged},
         ReportFormat::Csv,
         header + "08.12.2026,09:05,10:20,75,Linux,10.0.0.1,false," + kLine + "\r\n" +
             "08.12.2026,11:00,11:45,45,Linux,10.0.0.2,true," + kCrashed + "\r\n" +
             "08.12.2026,12:00,,,,,false,\"[08.12.2026] 12:00-12:5\"\"0, \"\"\"\r\n"},
        {{}, ReportFormat::Csv, header},
        {{kCrashed, kDamaged},
         ReportFormat::Json,
         "[\n{\"start_date\":\"08.12.2026\",\"start_time\":\"11:00\",\"end_time\":\"11:45\","
         "\"minutes\":45,\"system\":\"Linux\",\"address\":\"10.0.0.2\",\"crashed\":true,"
         "\"line\":\"" +
             kCrashed +
             "\"},\n"
             "{\"start_date\":\"08.12.2026\",\"start_time\":\"12:00\",\"end_time\":null,"
             "\"minutes\":null,\"system\":null,\"address\":null,\"crashed\":false,"
             "\"line\":\"[08.12.2026] 12:00-12:5\\\"0, \\\"\"}\n]\n"},
        {{}, ReportFormat::Json, "[]\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Written(c.lines, c.format), c.expected);
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
