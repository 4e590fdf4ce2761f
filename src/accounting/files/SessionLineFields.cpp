#include "files/SessionLineFields.h"

#include <charconv>
#include <cstring>

#include "core/DateTime.h"
#include "core/Errors.h"
#include "core/MoneyTexts.h"
#include "files/SessionLog.h"

namespace {

constexpr std::size_t kSystemWidth = 9;
constexpr std::size_t kAddressWidth = 15;
constexpr std::string_view kBetweenSystemAndAddress = "   ";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view WithoutTrailingBlanks(std::string_view text) {
    const auto last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

// "HH:MM" of a 24-hour clock.
std::optional<std::string_view> ClockAt(std::string_view line, std::size_t pos) {
    const std::string_view t = line.substr(pos < line.size() ? pos : line.size(), 5);
    if (t.size() != 5 || !IsDigit(t[0]) || !IsDigit(t[1]) || t[2] != ':' || !IsDigit(t[3]) ||
        !IsDigit(t[4])) {
        return std::nullopt;
    }
    const int hour = (t[0] - '0') * 10 + (t[1] - '0');
    const int minute = (t[3] - '0') * 10 + (t[4] - '0');
    if (hour > 23 || minute > 59) {
        return std::nullopt;
    }
    return t;
}

// Reads a decimal number at the front of `text` and drops it from there.
std::optional<uint32_t> TakeNumber(std::string_view& text) {
    uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) {
        return std::nullopt;
    }
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return value;
}

bool TakeText(std::string_view& text, std::string_view expected) {
    if (!text.starts_with(expected)) {
        return false;
    }
    text.remove_prefix(expected.size());
    return true;
}

// Reads a duration at the front of `text` and drops it from there: "45 мин.",
// "2 час." or "1 ч. 15 мин.", only in the very form MinToTimeStr gives.
std::optional<uint32_t> TakeDuration(std::string_view& text) {
    std::string_view rest = text;
    const auto first = TakeNumber(rest);
    if (!first) {
        return std::nullopt;
    }
    uint64_t minutes = 0;
    if (TakeText(rest, " мин.")) {
        minutes = *first;
    } else if (TakeText(rest, " час.")) {
        minutes = uint64_t{*first} * 60;
    } else if (TakeText(rest, " ч. ")) {
        const auto second = TakeNumber(rest);
        if (!second || !TakeText(rest, " мин.")) {
            return std::nullopt;
        }
        minutes = uint64_t{*first} * 60 + *second;
    } else {
        return std::nullopt;
    }
    const std::string_view read = text.substr(0, text.size() - rest.size());
    if (minutes > UINT32_MAX || MinToTimeStr(static_cast<uint32_t>(minutes)) != read) {
        return std::nullopt;
    }
    text = rest;
    return static_cast<uint32_t>(minutes);
}

// Where the UTF-8 text's `count`-th character begins, or npos when it has
// fewer characters.
std::size_t CharacterOffset(std::string_view text, std::size_t count) {
    std::size_t pos = 0;
    for (std::size_t seen = 0; seen < count; ++seen) {
        if (pos == text.size()) {
            return std::string_view::npos;
        }
        ++pos;
        while (pos < text.size() && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80) {
            ++pos;
        }
    }
    return pos;
}

// The rest after the duration: its blanks, the system label, three blanks
// and the address. An address whose padding was trimmed away still reads.
void ReadSystemAndAddress(std::string_view rest, SessionLinePieces& pieces) {
    const auto labelStart = rest.find_first_not_of(' ');
    if (labelStart == 0 || labelStart == std::string_view::npos) {
        return;
    }
    rest.remove_prefix(labelStart);
    const std::size_t labelEnd = CharacterOffset(rest, kSystemWidth);
    if (labelEnd == std::string_view::npos) {
        return;
    }
    const std::string_view label = rest.substr(0, labelEnd);
    std::string_view address = rest.substr(labelEnd);
    // No more bytes than characters allowed, then no more characters.
    if (!TakeText(address, kBetweenSystemAndAddress) ||
        (address.size() > kAddressWidth &&
         CharacterOffset(address, kAddressWidth + 1) != std::string_view::npos)) {
        return;
    }
    pieces.System = WithoutTrailingBlanks(label);
    pieces.Address = WithoutTrailingBlanks(address);
}

// The date of "[DD.MM.YYYY]" at the start, when it is a real day in that form.
std::optional<CalendarDate> HeadDate(std::string_view lineOrHead) {
    const std::string_view d = lineOrHead.substr(0, 12);
    if (d.size() != 12 || d[0] != '[' || d[3] != '.' || d[6] != '.' || d[11] != ']') {
        return std::nullopt;
    }
    const auto number = [d](std::size_t from, std::size_t length) -> std::optional<int> {
        int value = 0;
        for (const char c : d.substr(from, length)) {
            if (!IsDigit(c)) {
                return std::nullopt;
            }
            value = value * 10 + (c - '0');
        }
        return value;
    };
    const std::optional<int> day = number(1, 2), month = number(4, 2), year = number(7, 4);
    if (!day || !month || !year || !IsValidDate(*year, *month, *day)) {
        return std::nullopt;
    }
    return CalendarDate{*year, *month, *day};
}

std::optional<std::string> ToString(std::optional<std::string_view> text) {
    return text ? std::optional<std::string>(*text) : std::nullopt;
}

}  // namespace

SessionLinePieces ReadSessionLinePieces(std::string_view line) {
    SessionLinePieces pieces;
    if (line.ends_with(TSessionLog::kCrashMarker)) {
        pieces.Crashed = true;
        line.remove_suffix(std::string_view(TSessionLog::kCrashMarker).size());
    }
    if (line.size() >= 13 && line[0] == '[' && line[11] == ']' && line[12] == ' ') {
        // The program's own DD.MM.YYYY is taken as it stands; other forms
        // the date reader takes, such as a day padded with a blank, are
        // written anew.
        if (HeadDate(line)) {
            pieces.StartDate.emplace();
            std::memcpy(pieces.StartDate->data(), line.data() + 1, 10);
        } else {
            try {
                const std::string text = DateText(ParseDate(line.substr(1, 10)));
                pieces.StartDate.emplace();
                text.copy(pieces.StartDate->data(), 10);
            } catch (const EConvertError&) {
            }
        }
    }
    if (line.size() >= 24 && line[18] == '-') {
        pieces.StartTime = ClockAt(line, 13);
        pieces.EndTime = ClockAt(line, 19);
    }
    std::string_view rest = line.substr(line.size() < 24 ? line.size() : 24);
    if (TakeText(rest, TSessionLog::kTimeLabel)) {
        pieces.Minutes = TakeDuration(rest);
        if (pieces.Minutes) {
            ReadSystemAndAddress(rest, pieces);
        }
    }
    return pieces;
}

SessionLineFields ReadSessionLineFields(std::string_view line) {
    const SessionLinePieces pieces = ReadSessionLinePieces(line);
    SessionLineFields fields;
    if (pieces.StartDate) {
        fields.StartDate = std::string(pieces.StartDate->data(), pieces.StartDate->size());
    }
    fields.StartTime = ToString(pieces.StartTime);
    fields.EndTime = ToString(pieces.EndTime);
    fields.Minutes = pieces.Minutes;
    fields.System = ToString(pieces.System);
    fields.Address = ToString(pieces.Address);
    fields.Crashed = pieces.Crashed;
    return fields;
}

std::string SessionKey(std::string_view lineOrHead) {
    constexpr std::size_t kHeadLength = 18;  // "[DD.MM.YYYY] HH:MM"
    return lineOrHead.size() < kHeadLength ? std::string()
                                           : std::string(lineOrHead.substr(0, kHeadLength));
}

std::optional<int32_t> SessionKeyDay(std::string_view lineOrHead) {
    const std::optional<CalendarDate> date = HeadDate(lineOrHead);
    if (!date) {
        return std::nullopt;
    }
    return static_cast<int32_t>(EncodeDate(date->Year, date->Month, date->Day));
}
