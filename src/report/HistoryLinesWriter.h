#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "store/CostStore.h"

enum class ReportFormat { Text, Csv, Json };

// Writes report lines (UTF-8) to `out` one at a time, as a listing selects
// them:
//   Text  each line followed by LF;
//   Csv   RFC 4180 records ending in CR LF under the header
//         start_date,start_time,end_time,minutes,system,address,crashed,
//         rx_bytes,tx_bytes,line;
//   Json  an array of objects with those keys, one object to a line; the
//         parts a damaged line lacks are null, "minutes" and the bytes are
//         numbers and "crashed" a boolean, as "true"/"false" in CSV too.
// The parts come from ReadSessionLineFields. The text is gathered and handed
// to `out` in large writes; a write that fails throws EInOutError.
class HistoryLinesWriter {
  public:
    HistoryLinesWriter(std::ostream& out, ReportFormat format);

    // One line, with the bytes its connection received and sent; they are
    // empty in CSV and null in JSON where `moved` is null.
    void Write(std::string_view line, const CostStore::Bytes* moved);
    // Ends the output, with the CSV header and the JSON array even when no
    // line came, and hands on what is still gathered.
    void Finish();

  private:
    void Begin();
    void WriteCsvRecord(std::string_view line, const CostStore::Bytes* moved);
    void WriteJsonObject(std::string_view line, const CostStore::Bytes* moved);
    // The line itself, the one part of a record of any length (a damaged
    // file's line may be), is gathered and handed on a part at a time.
    void WriteInParts(std::string_view line, void (*append)(std::string&, std::string_view));
    void HandOn();

    std::ostream& out_;
    ReportFormat format_;
    std::string text_;
    bool begun_ = false;
    bool anyLine_ = false;
};
