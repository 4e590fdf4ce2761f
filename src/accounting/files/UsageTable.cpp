#include "files/UsageTable.h"

#include <algorithm>
#include <exception>

#include "core/DataFiles.h"
#include "files/FileIO.h"

namespace {

std::ptrdiff_t SlotIndex(const CalendarDate& d) {
    return (d.Year - TUsageTable::kFirstYear) * static_cast<std::ptrdiff_t>(12 * 31) +
           (d.Month - 1) * 31 + (d.Day - 1);
}

bool Covered(const CalendarDate& d) {
    return d.Year >= TUsageTable::kFirstYear && d.Year <= TUsageTable::kLastYear;
}

}  // namespace

CalendarDate SplitDate(TDateTime date) {
    return DecodeDate(date);
}

CalendarDate SplitToday(const Clock& clock) {
    return DecodeDate(clock.Now());
}

TUsageTable::TUsageTable(std::filesystem::path folder)
    : folder_(std::move(folder)),
      parts_{TablePart{datafiles::kTable, 2003, 2015}, TablePart{datafiles::kTableExt, 2016, 2099}},
      cells_(static_cast<std::size_t>(kLastYear - kFirstYear + 1) * kSlotsPerYear, 0) {}

std::size_t TUsageTable::PartSize(const TablePart& part) const {
    return static_cast<std::size_t>(part.lastYear - part.firstYear + 1) * kSlotsPerYear * 2;
}

std::size_t TUsageTable::PartOffset(const TablePart& part) const {
    return static_cast<std::size_t>(part.firstYear - kFirstYear) * kSlotsPerYear;
}

std::string TUsageTable::PartBytes(const TablePart& part) const {
    std::string bytes(PartSize(part), '\0');
    const std::size_t offset = PartOffset(part);
    for (std::size_t i = 0; i < bytes.size() / 2; ++i) {
        const uint16_t v = cells_[offset + i];
        bytes[2 * i] = static_cast<char>(v & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(v >> 8);
    }
    return bytes;
}

void TUsageTable::ReadPart(TablePart& part, bool merge) {
    const std::string bytes = ReadPrefix(folder_ / part.fileName, PartSize(part));
    const std::size_t offset = PartOffset(part);
    for (std::size_t i = 0; i < PartSize(part) / 2; ++i) {
        const auto lo = static_cast<unsigned char>(2 * i < bytes.size() ? bytes[2 * i] : 0);
        const auto hi = static_cast<unsigned char>(2 * i + 1 < bytes.size() ? bytes[2 * i + 1] : 0);
        const auto stored = static_cast<uint16_t>(lo | (hi << 8));
        uint16_t& cell = cells_[offset + i];
        cell = merge ? static_cast<uint16_t>(cell + stored) : stored;
    }
    // A short file still counts as read: what it had is in memory now, and
    // the next save writes the whole table back.
    part.loaded = true;
    if (bytes.size() < PartSize(part))
        throw ReadBeyondEndOfFile(part.fileName);
}

void TUsageTable::WritePart(const TablePart& part) {
    ReplaceFileAtomically(folder_ / part.fileName, PartBytes(part));
}

void TUsageTable::LoadTable() {
    std::exception_ptr firstError;
    for (TablePart& part : parts_) {
        try {
            if (!FileExists(folder_ / part.fileName)) {
                WritePart(part);
            }
            ReadPart(part, false);
        } catch (const EInOutError&) {
            if (!firstError)
                firstError = std::current_exception();
        }
    }
    if (firstError)
        std::rethrow_exception(firstError);
}

void TUsageTable::ReadTable() {
    std::exception_ptr firstError;
    for (TablePart& part : parts_) {
        try {
            if (FileExists(folder_ / part.fileName)) {
                ReadPart(part, false);
            } else {
                // Zeros, and not loaded: a later SaveTable still makes it.
                const auto first = cells_.begin() + static_cast<std::ptrdiff_t>(PartOffset(part));
                std::fill(first, first + static_cast<std::ptrdiff_t>(PartSize(part) / 2), 0);
                part.loaded = false;
            }
        } catch (const EInOutError&) {
            if (!firstError)
                firstError = std::current_exception();
        }
    }
    if (firstError)
        std::rethrow_exception(firstError);
}

void TUsageTable::SaveTable() {
    std::exception_ptr firstError;
    for (TablePart& part : parts_) {
        try {
            if (!part.loaded) {
                std::error_code ignored;
                if (std::filesystem::exists(folder_ / part.fileName, ignored)) {
                    try {
                        ReadPart(part, true);
                    } catch (const EInOutError&) {
                        if (!part.loaded)
                            throw;  // still unreadable: keep it untouched
                    }
                } else {
                    part.loaded = true;
                }
            }
            WritePart(part);
        } catch (const EInOutError&) {
            if (!firstError)
                firstError = std::current_exception();
        }
    }
    if (firstError)
        std::rethrow_exception(firstError);
}

void TUsageTable::UpdateTable(const Clock& clock) {
    const CalendarDate today = SplitToday(clock);
    if (Covered(today)) {
        uint16_t& cell = cells_[static_cast<std::size_t>(SlotIndex(today))];
        cell = static_cast<uint16_t>(cell + 1);
    }
}

uint32_t TUsageTable::MinutesFromPeriod(TDateTime first, TDateTime last) const {
    // Summing the slots between the two days' indices equals walking day
    // slot by day slot: the slots of days that do not exist hold 0.
    CalendarDate from = SplitDate(first);
    CalendarDate to = SplitDate(last);
    if (SlotIndex(from) > SlotIndex(to))
        return 0;
    if (!Covered(from)) {
        if (from.Year > kLastYear)
            return 0;
        from = {kFirstYear, 1, 1};
    }
    if (!Covered(to)) {
        if (to.Year < kFirstYear)
            return 0;
        to = {kLastYear, 12, 31};
    }
    uint32_t sum = 0;
    for (auto i = SlotIndex(from); i <= SlotIndex(to); ++i) {
        sum += cells_[static_cast<std::size_t>(i)];
    }
    return sum;
}

uint16_t TUsageTable::Cell(const CalendarDate& day) const {
    return Covered(day) ? cells_[static_cast<std::size_t>(SlotIndex(day))] : 0;
}
