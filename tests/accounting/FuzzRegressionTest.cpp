// Inputs on which the fuzz targets once stopped, kept so their outcome stays
// as decided. An error's text ends at the input's first NUL byte, as a C
// string does in a message box; the date reader refuses such a text.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "core/Codec1251.h"
#include "core/DateTime.h"
#include "core/Errors.h"
#include "files/FileIO.h"
#include "files/HistoryReport.h"
#include "plan/PlanFile.h"

namespace {

std::string Regression(const char* name) {
    return ReadWholeFile(std::filesystem::path(VIMO_TEST_DATA_DIR) / "fuzz-regressions" / name);
}

TEST(FuzzRegression, DateTextWithNulBytesIsRefused) {
    const std::string text = Regression("parse-date-nul.bin");
    ASSERT_NE(text.find('\0'), std::string::npos);
    EXPECT_THAT([&] { ParseDate(text); },
                testing::ThrowsMessage<EConvertError>(testing::StrEq("'31.0")));
    EXPECT_THROW(LineDate("[" + text), EConvertError);
}

// A history damaged by NUL bytes (a file cut off by a power cut is often
// zero-filled): the report stops filtering at the damaged line and keeps
// every line from there on, rather than dropping any.
TEST(FuzzRegression, NulFilledHistoryLineStopsTheFilterAndKeepsTheRest) {
    const std::string a = "[01.08.2003] 09:00-10:00";
    const std::string damaged(40, '\0');
    const std::string b = "[02.08.2003] 11:00-12:00";
    const std::string history = a + "\r\n" + damaged + "\r\n" + b + "\r\n";
    for (std::size_t piece : {std::size_t{1}, std::size_t{7}, history.size()}) {
        std::vector<std::string> lines;
        HistoryFilter filter(EncodeDate(2003, 8, 1), EncodeDate(2003, 8, 1),
                             [&](std::string_view line) { lines.emplace_back(line); });
        std::string window;
        std::size_t offset = 0;
        bool atEnd = false;
        while (!atEnd) {
            const std::string_view next = std::string_view(history).substr(offset, piece);
            window += next;
            offset += next.size();
            atEnd = offset == history.size();
            window.erase(0, filter.Feed(window, atEnd));
        }
        EXPECT_EQ(lines, (std::vector<std::string>{a, FromCp1251(damaged), b}))
            << "pieces of " << piece;
        ASSERT_TRUE(filter.Error());
        EXPECT_EQ(*filter.Error(), InvalidDateText(std::string(10, '\0')));
    }
}

// Plan files on which toml++ 3.3 breaks an assumption of its own: a table
// header whose key starts with no key character, and a non-ASCII letter where
// it looks for a blank. They are refused before the TOML reader sees them,
// with the line and the character at fault.
TEST(FuzzRegression, PlanFilesThatBreakTheTomlReadersAssumptions) {
    struct Case {
        const char* file;
        const char* start;
        const char* shows;
    };
    const Case refused[] = {
        {"plan-header-bracket.toml", "Vimo.toml, line 1: ", "'['"},
        {"plan-header-control.bin", "Vimo.toml, line 1: ", "'\\u0007'"},
        {"plan-cyrillic-key.toml", "Vimo.toml, line 2: ", "'к'"},
        {"plan-cyrillic-after-key.toml", "Vimo.toml, line 2: ", "'Π'"},
        {"plan-multiline-cyrillic.toml", "Vimo.toml, line 3: ", "'ж'"},
    };
    for (const Case& c : refused) {
        const std::string text = Regression(c.file);
        EXPECT_THAT([&] { ParsePlanText(text); },
                    testing::ThrowsMessage<EPlanFileError>(
                        testing::AllOf(testing::StartsWith(c.start), testing::HasSubstr(c.shows))))
            << c.file;
    }
}

}  // namespace
