#pragma once

#include <array>
#include <string_view>

// The names of the program's files in its working folder. The data files keep
// the layouts older installations wrote, so their names never change.
namespace datafiles {

inline constexpr std::string_view kTable = "Table.dat";        // minutes per day, 2003-2015
inline constexpr std::string_view kTableExt = "TableExt.dat";  // minutes per day, 2016-2099
inline constexpr std::string_view kProp = "Propert.dat";       // the settings record
inline constexpr std::string_view kBegTime = "BegTime.txt";    // the session in progress
inline constexpr std::string_view kStatic = "Static.txt";      // the connection history

// The money plan, written by the user and only read by the program.
inline constexpr std::string_view kPlan = "Vimo.toml";
// What the plan adds: priced days and alerts shown, made when first needed.
inline constexpr std::string_view kCostStore = "Vimo.db";
// Held by the running copy, so a second start in the folder only shows it.
inline constexpr std::string_view kLock = "Vimo.lock";

inline constexpr std::array<std::string_view, 5> kAll = {kTable, kTableExt, kProp, kBegTime,
                                                         kStatic};

// The tray pictures, read only.
inline constexpr std::string_view kOnlineIcon = "Res/OnLine.ico";
inline constexpr std::string_view kOfflineIcon = "Res/OffLine.ico";

}  // namespace datafiles
