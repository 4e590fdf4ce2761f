#include "files/PropRecord.h"

#include <bit>
#include <cstdint>

#include "core/Codec1251.h"
#include "core/DataFiles.h"
#include "files/FileIO.h"

namespace {

constexpr double kDefaultMinuteCost = 3.6;

}  // namespace

std::array<char, TPropRecord::kSize> TPropRecord::Serialize() const {
    std::array<char, kSize> bytes{};
    const auto bits = std::bit_cast<uint64_t>(MinuteCost);
    for (int i = 0; i < 8; ++i) {
        bytes[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
    }
    bytes[8] = AutoRun9x ? 1 : 0;
    bytes[9] = AutoRunNT ? 1 : 0;
    const std::string date = ToCp1251(FirstDate).substr(0, kMaxDateLength);
    bytes[10] = static_cast<char>(date.size());
    for (std::size_t i = 0; i < date.size(); ++i) {
        bytes[11 + i] = date[i];
    }
    return bytes;
}

TPropRecord TPropRecord::Parse(const std::array<char, kSize>& bytes) {
    TPropRecord record;
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) {
        bits |= static_cast<uint64_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    }
    record.MinuteCost = std::bit_cast<double>(bits);
    record.AutoRun9x = bytes[8] != 0;
    record.AutoRunNT = bytes[9] != 0;
    std::size_t length = static_cast<unsigned char>(bytes[10]);
    if (length > kMaxDateLength)
        length = kMaxDateLength;
    record.FirstDate = FromCp1251(std::string_view(bytes.data() + 11, length));
    return record;
}

TPropRecord DefaultPropRecord(const Clock& clock) {
    TPropRecord record;
    record.MinuteCost = kDefaultMinuteCost;
    record.FirstDate = DateText(clock.Now()).substr(0, TPropRecord::kMaxDateLength);
    return record;
}

bool PropFileExists(const std::filesystem::path& folder) {
    return FileExists(folder / datafiles::kProp);
}

TPropRecord ReadPropFile(const std::filesystem::path& folder) {
    const std::string bytes = ReadPrefix(folder / datafiles::kProp, TPropRecord::kSize);
    if (bytes.size() < TPropRecord::kSize)
        throw ReadBeyondEndOfFile(datafiles::kProp);
    std::array<char, TPropRecord::kSize> image{};
    std::copy(bytes.begin(), bytes.end(), image.begin());
    return TPropRecord::Parse(image);
}

TPropRecord WritePropFile(const std::filesystem::path& folder, const TPropRecord& record,
                          const Clock& clock) {
    TPropRecord taken = record.IsBlank() ? DefaultPropRecord(clock) : record;
    const auto image = taken.Serialize();
    ReplaceFileAtomically(folder / datafiles::kProp, std::string_view(image.data(), image.size()));
    // The stored date is cut to 10 bytes; give back what the file now holds.
    return TPropRecord::Parse(image);
}
