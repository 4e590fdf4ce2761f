#include "HistoryListing.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <optional>
#include <string_view>
#include <system_error>

#include "DataFiles.h"
#include "FileIO.h"
#include "SessionLineFields.h"

namespace {

constexpr std::string_view kCsvHeader =
    "start_date,start_time,end_time,minutes,system,address,crashed,line";

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

void WriteCsvRecord(std::ostream& out, const std::string& line) {
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
    WriteCsvField(out, line);
    out << "\r\n";
}

template <typename T>
nlohmann::ordered_json OrNull(const std::optional<T>& value) {
    return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
}

std::string JsonObject(const std::string& line) {
    const SessionLineFields f = ReadSessionLineFields(line);
    const nlohmann::ordered_json object = {
        {"start_date", OrNull(f.StartDate)},
        {"start_time", OrNull(f.StartTime)},
        {"end_time", OrNull(f.EndTime)},
        {"minutes", OrNull(f.Minutes)},
        {"system", OrNull(f.System)},
        {"address", OrNull(f.Address)},
        {"crashed", f.Crashed},
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

void WriteHistoryLines(std::ostream& out, const std::vector<std::string>& lines,
                       ReportFormat format) {
    switch (format) {
        case ReportFormat::Text:
            for (const std::string& line : lines) {
                out << line << '\n';
            }
            break;
        case ReportFormat::Csv:
            out << kCsvHeader << "\r\n";
            for (const std::string& line : lines) {
                WriteCsvRecord(out, line);
            }
            break;
        case ReportFormat::Json:
            if (lines.empty()) {
                out << "[]\n";
                break;
            }
            for (std::size_t i = 0; i < lines.size(); ++i) {
                out << (i == 0 ? "[\n" : ",\n") << JsonObject(lines[i]);
            }
            out << "\n]\n";
            break;
    }
}
