#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakeClock.h"
#include "TempDir.h"
#include "core/Errors.h"
#include "files/PropRecord.h"

namespace {

class PropRecordTest : public ::testing::Test {
  protected:
    void SetUp() override { clock.Set(2026, 12, 8, 10, 0, 0); }
    TempDir dir;
    FakeClock clock;
};

TEST_F(PropRecordTest, BlankRecordWritesTheDefaultRecordByteForByte) {
    const TPropRecord written = WritePropFile(dir.Path(), TPropRecord{}, clock);
    const std::string bytes = ReadBytes(dir / "Propert.dat");
    ASSERT_EQ(bytes.size(), 24u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\xCD\xCC\xCC\xCC\xCC\xCC\x0C\x40", 8));
    EXPECT_EQ(bytes[8], 0);
    EXPECT_EQ(bytes[9], 0);
    EXPECT_EQ(bytes[10], 10);
    EXPECT_EQ(bytes.substr(11, 10), "08.12.2026");
    EXPECT_EQ(written.MinuteCost, 3.6);
    EXPECT_EQ(written.FirstDate, "08.12.2026");
}

TEST_F(PropRecordTest, RoundTripKeepsEveryField) {
    const TPropRecord record{0.125, true, false, "15.08.2003"};
    WritePropFile(dir.Path(), record, clock);
    const TPropRecord back = ReadPropFile(dir.Path());
    EXPECT_EQ(back.MinuteCost, 0.125);
    EXPECT_TRUE(back.AutoRun9x);
    EXPECT_FALSE(back.AutoRunNT);
    EXPECT_EQ(back.FirstDate, "15.08.2003");
    // Saving the NT choice changes byte 9 only.
    TPropRecord nt = back;
    nt.AutoRunNT = true;
    const std::string before = ReadBytes(dir / "Propert.dat");
    WritePropFile(dir.Path(), nt, clock);
    const std::string after = ReadBytes(dir / "Propert.dat");
    for (std::size_t i = 0; i < 24; ++i) {
        if (i == 9) {
            EXPECT_EQ(after[i], 1);
        } else {
            EXPECT_EQ(after[i], before[i]) << "byte " << i;
        }
    }
}

TEST_F(PropRecordTest, DamagedRecordsReadSafely) {
    std::array<char, 24> image{};
    image[8] = 7;                        // any non-zero byte is yes
    image[10] = static_cast<char>(200);  // length byte far above 10
    for (int i = 11; i < 24; ++i)
        image[i] = 'x';
    const TPropRecord record = TPropRecord::Parse(image);
    EXPECT_TRUE(record.AutoRun9x);
    EXPECT_EQ(record.FirstDate, "xxxxxxxxxx");

    image[10] = 0;
    EXPECT_TRUE(TPropRecord::Parse(image).IsBlank());
}

TEST_F(PropRecordTest, ShortAndMissingFilesReportTheDesignedTexts) {
    EXPECT_FALSE(PropFileExists(dir.Path()));
    EXPECT_THAT([&] { ReadPropFile(dir.Path()); },
                testing::ThrowsMessage<EInOutError>(testing::StrEq("File not found")));
    WriteBytes(dir / "Propert.dat", std::string(23, '\0'));
    EXPECT_THAT([&] { ReadPropFile(dir.Path()); },
                testing::ThrowsMessage<EInOutError>(testing::StrEq("Read beyond end of file")));
    // A longer file is read from its first 24 bytes.
    WritePropFile(dir.Path(), TPropRecord{2.5, false, true, "01.01.2010"}, clock);
    WriteBytes(dir / "Propert.dat", ReadBytes(dir / "Propert.dat") + "trailing");
    EXPECT_EQ(ReadPropFile(dir.Path()).MinuteCost, 2.5);
}

}  // namespace
