#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakeClock.h"
#include "TempDir.h"
#include "core/Errors.h"
#include "files/UsageTable.h"

namespace {

uint16_t CellAt(const std::string& bytes, std::size_t index) {
    return static_cast<uint16_t>(static_cast<unsigned char>(bytes[2 * index]) |
                                 (static_cast<unsigned char>(bytes[2 * index + 1]) << 8));
}

class UsageTableTest : public ::testing::Test {
  protected:
    void Tick(int y, int m, int d, int times = 1) {
        clock.Set(y, m, d, 12, 0, 0);
        for (int i = 0; i < times; ++i)
            table.UpdateTable(clock);
        table.SaveTable();
    }

    TempDir dir;
    FakeClock clock;
    TUsageTable table{dir.Path()};
};

TEST_F(UsageTableTest, FreshFilesAreZeroFilledAtTheirSizes) {
    table.LoadTable();
    EXPECT_EQ(ReadBytes(dir / "Table.dat"), std::string(9672, '\0'));
    EXPECT_EQ(ReadBytes(dir / "TableExt.dat"), std::string(62496, '\0'));
}

TEST_F(UsageTableTest, TicksLandAtTheDesignedOffsets) {
    table.LoadTable();
    struct Case {
        int y, m, d;
        const char* file;
        std::size_t cell;
    };
    const Case cases[] = {
        {2003, 1, 1, "Table.dat", 0},
        {2015, 12, 31, "Table.dat", 4835},
        {2010, 3, 5, "Table.dat", 2670},
        {2016, 1, 1, "TableExt.dat", 0},
        {2026, 12, 8, "TableExt.dat", 10 * 372 + 11 * 31 + 7},
        {2099, 12, 31, "TableExt.dat", 84 * 372 - 1},
    };
    for (const Case& c : cases) {
        Tick(c.y, c.m, c.d);
        const std::string bytes = ReadBytes(dir / c.file);
        EXPECT_EQ(CellAt(bytes, c.cell), 1) << c.d << "." << c.m << "." << c.y;
    }
    // Byte-exact check of one case the design spells out.
    const std::string base = ReadBytes(dir / "Table.dat");
    EXPECT_EQ(base[5340], '\x01');
    EXPECT_EQ(base[5341], '\x00');
    EXPECT_EQ(base.size(), 9672u);
    EXPECT_EQ(ReadBytes(dir / "TableExt.dat").size(), 62496u);
}

TEST_F(UsageTableTest, DaysOutsideTheCoveredYearsAreNotCounted) {
    table.LoadTable();
    Tick(2002, 12, 31);
    Tick(2100, 1, 1);
    EXPECT_EQ(ReadBytes(dir / "Table.dat"), std::string(9672, '\0'));
    EXPECT_EQ(ReadBytes(dir / "TableExt.dat"), std::string(62496, '\0'));
    EXPECT_EQ(table.MinutesFromPeriod(EncodeDate(1990, 1, 1), EncodeDate(2002, 12, 31)), 0u);
}

TEST_F(UsageTableTest, SumsOverRanges) {
    table.LoadTable();
    Tick(2004, 1, 1, 10);
    Tick(2004, 1, 31, 20);
    Tick(2004, 2, 28, 3);
    Tick(2004, 3, 1, 4);
    Tick(2004, 12, 25, 5);
    Tick(2005, 1, 5, 6);
    Tick(2015, 12, 31, 7);
    Tick(2016, 1, 1, 8);
    struct Case {
        TDateTime first, last;
        uint32_t sum;
    };
    const Case cases[] = {
        {EncodeDate(2004, 1, 1), EncodeDate(2004, 1, 1), 10},
        {EncodeDate(2004, 1, 1), EncodeDate(2004, 1, 31), 30},
        {EncodeDate(2004, 2, 28), EncodeDate(2004, 3, 1), 7},
        {EncodeDate(2004, 12, 25), EncodeDate(2005, 1, 5), 11},
        {EncodeDate(2015, 12, 31), EncodeDate(2016, 1, 1), 15},
        {EncodeDate(2003, 1, 1), EncodeDate(2099, 12, 31), 63},
        {EncodeDate(1999, 1, 1), EncodeDate(2200, 1, 1), 63},
        {EncodeDateTime(2004, 1, 1, 23, 0, 0), EncodeDateTime(2004, 1, 1, 1, 0, 0), 10},
        {EncodeDate(2004, 1, 2), EncodeDate(2004, 1, 1), 0},  // reversed
    };
    for (const Case& c : cases) {
        EXPECT_EQ(table.MinutesFromPeriod(c.first, c.last), c.sum)
            << DateText(c.first) << " - " << DateText(c.last);
    }
}

TEST_F(UsageTableTest, SumsDoNotWrapAt16Bits) {
    // 50 days of 1440 minutes: 72,000 minutes, more than 65,535.
    std::string bytes(62496, '\0');
    for (int day = 0; day < 50; ++day) {
        const std::size_t cell = 10 * 372 + (day / 31) * 31 + day % 31;
        bytes[2 * cell] = static_cast<char>(1440 & 0xFF);
        bytes[2 * cell + 1] = static_cast<char>(1440 >> 8);
    }
    WriteBytes(dir / "TableExt.dat", bytes);
    table.LoadTable();
    EXPECT_EQ(table.MinutesFromPeriod(EncodeDate(2026, 1, 1), EncodeDate(2026, 12, 31)), 72000u);
}

TEST_F(UsageTableTest, LoadKeepsCountsAcrossRuns) {
    table.LoadTable();
    Tick(2004, 12, 8, 75);
    Tick(2026, 12, 8, 5);
    TUsageTable again(dir.Path());
    again.LoadTable();
    EXPECT_EQ(again.Cell({2004, 12, 8}), 75);
    EXPECT_EQ(again.Cell({2026, 12, 8}), 5);
}

TEST_F(UsageTableTest, ShortFileReportsAndKeepsWhatItHad) {
    std::string shortFile(100, '\0');
    shortFile[0] = 7;
    WriteBytes(dir / "Table.dat", shortFile);
    WriteBytes(dir / "TableExt.dat", std::string(62496, '\0'));
    EXPECT_THAT([&] { table.LoadTable(); },
                testing::ThrowsMessage<EInOutError>(testing::StrEq("Read beyond end of file")));
    EXPECT_EQ(table.Cell({2003, 1, 1}), 7);
    Tick(2003, 1, 2);
    const std::string written = ReadBytes(dir / "Table.dat");
    EXPECT_EQ(written.size(), 9672u);
    EXPECT_EQ(CellAt(written, 0), 7);
    EXPECT_EQ(CellAt(written, 1), 1);
}

TEST_F(UsageTableTest, ShortBaseFileDoesNotCostTheExtendedYears) {
    WriteBytes(dir / "Table.dat", std::string(10, '\0'));
    std::string ext(62496, '\0');
    ext[0] = 42;
    WriteBytes(dir / "TableExt.dat", ext);
    EXPECT_THROW(table.LoadTable(), EInOutError);
    Tick(2026, 12, 8);
    EXPECT_EQ(CellAt(ReadBytes(dir / "TableExt.dat"), 0), 42);
}

TEST_F(UsageTableTest, UnreadableFileIsNeverOverwrittenAndMergedLater) {
    std::string ext(62496, '\0');
    ext[0] = 42;
    WriteBytes(dir / "TableExt.dat", ext);
    table.LoadTable();  // reads fine
    // A folder standing where Table.dat belongs cannot be read.
    TempDir other;
    std::filesystem::create_directory(other / "Table.dat");
    WriteBytes(other / "TableExt.dat", ext);
    TUsageTable blocked(other.Path());
    EXPECT_THROW(blocked.LoadTable(), EInOutError);
    clock.Set(2004, 5, 5, 10, 0, 0);
    blocked.UpdateTable(clock);
    EXPECT_THAT([&] { blocked.SaveTable(); },
                testing::ThrowsMessage<EInOutError>(testing::StrEq("File access denied")));
    // The extended file was still saved.
    EXPECT_EQ(CellAt(ReadBytes(other / "TableExt.dat"), 0), 42);
    // Once the file reads again, the minutes counted meanwhile are merged in.
    std::filesystem::remove(other / "Table.dat");
    std::string base(9672, '\0');
    const std::size_t may5 = 372 + 4 * 31 + 4;
    base[2 * may5] = 3;
    WriteBytes(other / "Table.dat", base);
    blocked.SaveTable();
    EXPECT_EQ(CellAt(ReadBytes(other / "Table.dat"), may5), 4);
}

TEST_F(UsageTableTest, MissingFolderGivesFileNotFound) {
    TUsageTable lost(dir / "no-such-folder");
    EXPECT_THAT([&] { lost.LoadTable(); },
                testing::ThrowsMessage<EInOutError>(testing::StrEq("File not found")));
}

TEST_F(UsageTableTest, DeletedFileIsWrittenAnewFromMemory) {
    table.LoadTable();
    Tick(2010, 3, 5, 2);
    std::filesystem::remove(dir / "Table.dat");
    Tick(2010, 3, 5);
    EXPECT_EQ(CellAt(ReadBytes(dir / "Table.dat"), 2670), 3);
}

}  // namespace
