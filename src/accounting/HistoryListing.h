#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "CostStore.h"
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

// The bytes each connection moved, by the SessionKey of its line.
using SessionBytesByHead = std::map<std::string, CostStore::Bytes, std::less<>>;

// The bytes "Vimo.db" in `folder` keeps for the connections of `lines`,
// read in one query over the days the lines start on: empty without the
// file or in a file from before bytes were kept. It only reads. Throws
// ECostStoreError for a damaged file, EInOutError for one that cannot be
// read.
SessionBytesByHead ReadSessionBytes(const std::filesystem::path& folder,
                                    const std::vector<std::string>& lines);

// Writes report lines (UTF-8) to `out`:
//   Text  each line followed by LF;
//   Csv   RFC 4180 records ending in CR LF under the header
//         start_date,start_time,end_time,minutes,system,address,crashed,
//         rx_bytes,tx_bytes,line;
//   Json  an array of objects with those keys, one object to a line; the
//         parts a damaged line lacks are null, "minutes" and the bytes are
//         numbers and "crashed" a boolean, as "true"/"false" in CSV too.
// The parts come from ReadSessionLineFields; the bytes received and sent
// from `bytes`, by the line's SessionKey, empty in CSV and null in JSON for
// a connection it does not hold.
void WriteHistoryLines(std::ostream& out, const std::vector<std::string>& lines,
                       ReportFormat format, const SessionBytesByHead& bytes);
