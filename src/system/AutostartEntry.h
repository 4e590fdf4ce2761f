#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

// The Desktop Application Autostart entry "Vimo.desktop" (UTF-8, LF line
// ends) that starts the program with the user's desktop session, read and
// written here alone, without any GUI library, so that every program of the
// package finds the working folder the same way.

// An entry is a few lines; anything larger is not one.
inline constexpr std::size_t kMaxAutostartEntryBytes = 64 * 1024;

// The program path recorded in the entry's Exec= key; nullopt when the file
// is missing, is marked Hidden=true (as the desktop itself treats it) or
// holds no usable Exec= value. An entry that is there but cannot be read
// throws: EInOutError with the entry's path as its File (a FIFO or a device
// is refused as "Not a regular file" before a byte is read), and Exception
// for one larger than kMaxAutostartEntryBytes.
std::optional<std::string> ReadAutostartEntry(const std::filesystem::path& file);

// The same, with nullopt too for an entry that cannot be read: the program
// then starts in the folder it was started from.
std::optional<std::string> ReadAutostartProgram(const std::filesystem::path& file);

// Replaces the entry with one that starts `programPath`, atomically. Throws
// Exception "Cannot create file <path>" when it cannot be written.
void WriteAutostartEntry(const std::filesystem::path& file, const std::string& programPath);

// Removes the entry if there is one. Throws Exception "Cannot remove file
// <path>" when it exists and cannot be removed.
void RemoveAutostartEntry(const std::filesystem::path& file);

// $XDG_CONFIG_HOME/autostart/Vimo.desktop, or ~/.config/autostart/Vimo.desktop
// when that variable is unset or empty.
std::filesystem::path DefaultAutostartFile();
