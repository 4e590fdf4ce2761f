#pragma once

#include <filesystem>
#include <optional>
#include <string>

// The Desktop Application Autostart entry "Vimo.desktop" (UTF-8, LF line
// ends) that starts the program with the user's desktop session, read
// without any GUI library so that every program of the package finds the
// working folder the same way.

// The program path recorded in the entry's Exec= key; nullopt when the file
// is missing, cannot be read, is marked Hidden=true (as the desktop itself
// treats it) or holds no usable Exec= value.
std::optional<std::string> ReadAutostartProgram(const std::filesystem::path& file);

// $XDG_CONFIG_HOME/autostart/Vimo.desktop, or ~/.config/autostart/Vimo.desktop
// when that variable is unset or empty.
std::filesystem::path DefaultAutostartFile();
