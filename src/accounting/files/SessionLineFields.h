#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The parts of a history line (UTF-8) as SessionLine writes them:
//   "[DD.MM.YYYY] HH:MM-HH:MM   время = <duration><blanks><system>   <address>"
// with the nine-character system label, the address padded to 15 characters
// and, for a session whose run ended before closing it, the crash marker
// after the line. Lines edited by hand or cut short keep what they still
// have: a part that is not in its place and form is nullopt, and reading
// never fails.
struct SessionLineFields {
    std::optional<std::string> StartDate;  // DD.MM.YYYY
    std::optional<std::string> StartTime;  // HH:MM
    std::optional<std::string> EndTime;    // HH:MM
    // The duration's minutes, read from a text exactly as MinToTimeStr writes it.
    std::optional<uint32_t> Minutes;
    std::optional<std::string> System;   // without its padding blanks
    std::optional<std::string> Address;  // without its padding blanks; may be empty
    bool Crashed = false;

    friend bool operator==(const SessionLineFields&, const SessionLineFields&) = default;
};

SessionLineFields ReadSessionLineFields(std::string_view line);

// The same parts as pieces of the line itself, valid while it is, for
// writing many lines out without copying them; the start date has its own
// ten characters, as it may be written anew.
struct SessionLinePieces {
    std::optional<std::array<char, 10>> StartDate;
    std::optional<std::string_view> StartTime;
    std::optional<std::string_view> EndTime;
    std::optional<uint32_t> Minutes;
    std::optional<std::string_view> System;
    std::optional<std::string_view> Address;
    bool Crashed = false;
};

SessionLinePieces ReadSessionLinePieces(std::string_view line);

// What names a connection in "Vimo.db": its start as the line's head gives
// it, "[08.12.2026] 09:05", the same for the session in progress and for its
// line in the history. Empty for a line too short to have one.
std::string SessionKey(std::string_view lineOrHead);

// The whole day number of the date a line or its head starts with,
// "[DD.MM.YYYY]"; none when it is not a real day in that form.
std::optional<int32_t> SessionKeyDay(std::string_view lineOrHead);
