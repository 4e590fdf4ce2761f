#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "HistoryReport.h"
#include "ReportRange.h"

// The history lines of a range of days, for programs other than the window:
// chosen as the statistics page chooses them and written as plain text, CSV
// or JSON.

// The history lines of `range` in the working folder `folder`, by
// ShowStatistics. It only reads, so it may run while the program appends
// to the history. A folder without a history lists nothing, as the page
// shows it after creating the empty file; a folder that is not there throws
// EInOutError "File not found" naming it, and a history that cannot be read
// EFOpenError "Cannot open file Static.txt".
HistoryReport ListHistory(const std::filesystem::path& folder, const DayRange& range);

enum class ReportFormat { Text, Csv, Json };

// Writes report lines (UTF-8) to `out`:
//   Text  each line followed by LF;
//   Csv   RFC 4180 records ending in CR LF under the header
//         start_date,start_time,end_time,minutes,system,address,crashed,line;
//   Json  an array of objects with those keys, one object to a line; the
//         parts a damaged line lacks are null, "minutes" is a number and
//         "crashed" a boolean, as "true"/"false" in CSV too.
// The parts come from ReadSessionLineFields.
void WriteHistoryLines(std::ostream& out, const std::vector<std::string>& lines,
                       ReportFormat format);
