#pragma once

#include <filesystem>
#include <optional>
#include <string>

// The program's working folder, decided once at start-up: the folder of the
// program recorded in the autostart entry, so the data files are found when
// the desktop starts the program from elsewhere; without an entry, or when
// its folder is not there, the folder the program was started in. Always
// absolute, so nothing later depends on the process's current directory.
//
// `startedIn` is none when the folder started in has been removed; the
// recorded folder still serves, and without it EInOutError names the fault.
std::filesystem::path RestoreWorkDir(const std::optional<std::string>& autostartProgram,
                                     const std::optional<std::filesystem::path>& startedIn);

// The process's current directory; none when it has been removed.
std::optional<std::filesystem::path> StartedInFolder();
