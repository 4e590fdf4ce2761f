#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "core/Clock.h"
#include "core/DateTime.h"

// Day, month and year numbers of a date, as the table indexes them.
CalendarDate SplitDate(TDateTime date);
CalendarDate SplitToday(const Clock& clock);

// Minutes online per calendar day. Each year has 12 months of 31 day slots of
// unsigned 16-bit little-endian counts; slots of days that do not exist stay
// 0. The years 2003-2015 live in "Table.dat" (9,672 bytes, the layout older
// installations share), 2016-2099 in "TableExt.dat" (62,496 bytes). Days
// outside 2003-2099 are not counted and sum as 0.
//
// Every file step throws EInOutError. A file that cannot be read is never
// overwritten: its counts made meanwhile are kept in memory and merged into
// it once it reads again.
class TUsageTable {
  public:
    static constexpr int kFirstYear = 2003;
    static constexpr int kLastYear = 2099;
    static constexpr std::size_t kSlotsPerYear = 12 * 31;

    explicit TUsageTable(std::filesystem::path folder);

    // Creates a missing file with zeros, then reads both files. A file
    // shorter than its size fails with "Read beyond end of file" after its
    // bytes have been taken; the other file is still read.
    void LoadTable();
    // Reads both files as they are, for a program that only looks: a missing
    // file counts as zeros and nothing is created or written. A short file
    // fails as in LoadTable.
    void ReadTable();
    // Writes both files whole, atomically.
    void SaveTable();
    // Adds a minute to today's cell.
    void UpdateTable(const Clock& clock);
    // Minutes from the day of `first` to the day of `last`, both included; 0
    // when `first` lies after `last`.
    uint32_t MinutesFromPeriod(TDateTime first, TDateTime last) const;

    // The count of one day; 0 for a day outside the covered years.
    uint16_t Cell(const CalendarDate& day) const;

  private:
    struct TablePart {
        std::string_view fileName;
        int firstYear;
        int lastYear;
        // False while the file could not be read: it is then not written
        // until it reads again.
        bool loaded = false;
    };

    std::size_t PartSize(const TablePart& part) const;
    std::size_t PartOffset(const TablePart& part) const;
    std::string PartBytes(const TablePart& part) const;
    // Reads a part; `merge` adds the file's counts to those in memory.
    void ReadPart(TablePart& part, bool merge);
    void WritePart(const TablePart& part);

    std::filesystem::path folder_;
    std::array<TablePart, 2> parts_;
    std::vector<uint16_t> cells_;
};
