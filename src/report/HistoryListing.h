#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <span>
#include <string>

#include "core/ReportRange.h"
#include "report/HistoryLinesWriter.h"
#include "store/CostStore.h"

// The history lines of a range of days, for programs other than the window:
// chosen as the statistics page chooses them and written as plain text, CSV
// or JSON as they are selected.

// The bytes each connection moved, by the SessionKey of its line.
using SessionBytesByHead = std::map<std::string, CostStore::Bytes, std::less<>>;

// The bytes "Vimo.db" in `folder` keeps for the connections of a listing's
// lines, read a batch of lines at a time: one query over the days the
// batch's lines start on. The file is opened, read-only, when the first
// batch with a dated line comes; without it, or in a file from before bytes
// were kept, no bytes are known.
class SessionBytesLookup {
  public:
    explicit SessionBytesLookup(std::filesystem::path folder);
    ~SessionBytesLookup();
    SessionBytesLookup(const SessionBytesLookup&) = delete;
    SessionBytesLookup& operator=(const SessionBytesLookup&) = delete;

    // Throws ECostStoreError for a damaged file, EInOutError for one that
    // cannot be read.
    SessionBytesByHead Read(std::span<const std::string> lines);
    // Once a batch has found no file, no line has bytes to wait for.
    bool FoundNoFile() const { return opened_ && !store_; }

  private:
    std::filesystem::path folder_;
    bool opened_ = false;
    std::unique_ptr<CostStore> store_;
};

// Writes the history lines of `range` in the working folder `folder` to
// `out` in `format`, by the statistics page's filter (FilterHistoryFile).
// The history is read a piece at a time and the lines go out as they are
// selected, so a listing of any length needs little memory; it only reads,
// so it may run while the program appends to the history. The text never
// reads "Vimo.db"; CSV and JSON give each line the bytes of its connection
// from SessionBytesLookup, a batch of lines at a time.
//
// A folder without a history lists nothing, as the page shows it after
// creating the empty file; a folder that is not there throws EInOutError
// "File not found" naming it, and a history that cannot be read EInOutError
// naming Static.txt, before anything is written when it cannot be opened.
// After the lines, a line whose date did not read throws EConvertError with
// its text (the lines from it on are listed unfiltered); else a "Vimo.db"
// that could not be read throws its error, the bytes unknown from the batch
// it failed on.
void ListHistory(const std::filesystem::path& folder, const DayRange& range, ReportFormat format,
                 std::ostream& out);
