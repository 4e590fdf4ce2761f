#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "core/Clock.h"

// The settings record, stored as the 24 bytes of "Propert.dat":
//   0  8  MinuteCost, IEEE 754 binary64, little-endian (kopecks a minute)
//   8  1  AutoRun9x, start with the desktop chosen on the non-NT family
//   9  1  AutoRunNT, the same on the NT family (and on Linux)
//   10 1  length of FirstDate, 0 to 10
//   11 10 FirstDate, DD.MM.YYYY in single-byte characters
//   21 3  padding, written as zeros, ignored on reading
// A record whose FirstDate is empty is blank; writing it writes the default
// record instead.
struct TPropRecord {
    double MinuteCost = 0;
    bool AutoRun9x = false;
    bool AutoRunNT = false;
    std::string FirstDate;

    static constexpr std::size_t kSize = 24;
    static constexpr std::size_t kMaxDateLength = 10;

    std::array<char, kSize> Serialize() const;
    // Reads a 24-byte image; a length byte above 10 reads 10 characters.
    static TPropRecord Parse(const std::array<char, kSize>& bytes);
    bool IsBlank() const { return FirstDate.empty(); }
};

// Cost 3.6, no autostart, today's date.
TPropRecord DefaultPropRecord(const Clock& clock);

bool PropFileExists(const std::filesystem::path& folder);
// Reads "Propert.dat"; a file shorter than 24 bytes fails with "Read beyond
// end of file". Every file step throws EInOutError.
TPropRecord ReadPropFile(const std::filesystem::path& folder);
// Writes `record`, or the default record when it is blank, atomically, and
// returns the record written.
TPropRecord WritePropFile(const std::filesystem::path& folder, const TPropRecord& record,
                          const Clock& clock);
