#include "HistoryListing.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>

#include "DataFiles.h"
#include "FileIO.h"
#include "SessionLineFields.h"

namespace {

constexpr std::string_view kCsvHeader =
    "start_date,start_time,end_time,minutes,system,address,crashed,rx_bytes,tx_bytes,line";

// The bytes of the connection of `line`; none when they are not known.
const CostStore::Bytes* BytesOfLine(const SessionBytesByHead& bytes, const std::string& line) {
    if (bytes.empty()) {
        return nullptr;
    }
    const auto found = bytes.find(SessionKey(line));
    return found == bytes.end() ? nullptr : &found->second;
}

// A CSV field, in double quotes when it holds a quote, a comma or a line end.
void WriteCsvField(std::ostream& out, std::string_view field) {
    if (field.find_first_of("\",\r\n") == std::string_view::npos) {
        out << field;
        return;
    }
    out << '"';
    for (char c : field) {
        if (c == '"') {
            out << '"';
        }
        out << c;
    }
    out << '"';
}

void WriteOptionalCsvField(std::ostream& out, const std::optional<std::string>& field) {
    if (field) {
        WriteCsvField(out, *field);
    }
}

void WriteCsvRecord(std::ostream& out, const std::string& line, const CostStore::Bytes* moved) {
    const SessionLineFields f = ReadSessionLineFields(line);
    WriteOptionalCsvField(out, f.StartDate);
    out << ',';
    WriteOptionalCsvField(out, f.StartTime);
    out << ',';
    WriteOptionalCsvField(out, f.EndTime);
    out << ',';
    if (f.Minutes) {
        out << *f.Minutes;
    }
    out << ',';
    WriteOptionalCsvField(out, f.System);
    out << ',';
    WriteOptionalCsvField(out, f.Address);
    out << ',' << (f.Crashed ? "true" : "false") << ',';
    if (moved != nullptr) {
        out << moved->Received << ',' << moved->Sent;
    } else {
        out << ',';
    }
    out << ',';
    WriteCsvField(out, line);
    out << "\r\n";
}

template <typename T>
nlohmann::ordered_json OrNull(const std::optional<T>& value) {
    return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
}

std::string JsonObject(const std::string& line, const CostStore::Bytes* moved) {
    const SessionLineFields f = ReadSessionLineFields(line);
    using Json = nlohmann::ordered_json;
    const Json received = moved != nullptr ? Json(moved->Received) : Json(nullptr);
    const Json sent = moved != nullptr ? Json(moved->Sent) : Json(nullptr);
    const nlohmann::ordered_json object = {
        {"start_date", OrNull(f.StartDate)},
        {"start_time", OrNull(f.StartTime)},
        {"end_time", OrNull(f.EndTime)},
        {"minutes", OrNull(f.Minutes)},
        {"system", OrNull(f.System)},
        {"address", OrNull(f.Address)},
        {"crashed", f.Crashed},
        {"rx_bytes", received},
        {"tx_bytes", sent},
        {"line", line},
    };
    // Report lines come from Windows-1251 and are always valid UTF-8; the
    // replacement only keeps the writer total.
    return object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace

HistoryReport ListHistory(const std::filesystem::path& folder, const DayRange& range) {
    const std::filesystem::path history = folder / datafiles::kStatic;
    std::error_code unreadable;
    if (std::filesystem::status(history, unreadable).type() ==
        std::filesystem::file_type::not_found) {
        if (!std::filesystem::is_directory(folder, unreadable)) {
            EInOutError missing = InOutErrorFromErrno(ENOENT);
            missing.File = folder.string();
            throw missing;
        }
        return {};
    }
    return ShowStatistics(history, range.First, range.Last);
}

SessionBytesByHead ReadSessionBytes(const std::filesystem::path& folder,
                                    const std::vector<std::string>& lines) {
    // The days come from the lines rather than from the range asked for:
    // after a line whose date does not read, the history keeps every line.
    std::optional<int32_t> first;
    std::optional<int32_t> last;
    for (const std::string& line : lines) {
        if (const std::optional<int32_t> day = SessionKeyDay(line)) {
            first = first ? std::min(*first, *day) : *day;
            last = last ? std::max(*last, *day) : *day;
        }
    }
    if (!first) {
        return {};
    }
    const std::unique_ptr<CostStore> store = CostStore::Open(folder, CostStore::Access::ReadOnly);
    return store ? store->SessionBytesBetween(*first, *last) : SessionBytesByHead{};
}

void WriteHistoryLines(std::ostream& out, const std::vector<std::string>& lines,
                       ReportFormat format, const SessionBytesByHead& bytes) {
    switch (format) {
        case ReportFormat::Text:
            for (const std::string& line : lines) {
                out << line << '\n';
            }
            break;
        case ReportFormat::Csv:
            out << kCsvHeader << "\r\n";
            for (const std::string& line : lines) {
                WriteCsvRecord(out, line, BytesOfLine(bytes, line));
            }
            break;
        case ReportFormat::Json:
            if (lines.empty()) {
                out << "[]\n";
                break;
            }
            for (std::size_t i = 0; i < lines.size(); ++i) {
                out << (i == 0 ? "[\n" : ",\n")
                    << JsonObject(lines[i], BytesOfLine(bytes, lines[i]));
            }
            out << "\n]\n";
            break;
    }
}
