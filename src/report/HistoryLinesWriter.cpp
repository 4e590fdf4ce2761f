#include "report/HistoryLinesWriter.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <optional>

#include "files/FileIO.h"
#include "files/SessionLineFields.h"

namespace {

constexpr std::string_view kCsvHeader =
    "start_date,start_time,end_time,minutes,system,address,crashed,rx_bytes,tx_bytes,line";

// Gathered text is handed on once it reaches this size.
constexpr std::size_t kHandOnSize = 256 * 1024;

template <typename Number>
void AppendNumber(std::string& text, Number value) {
    char digits[24];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    text.append(digits, end);
}

// A quote, a comma or a line end, for which a CSV field is quoted. The line
// itself is a field of every record, so it is looked through sixteen bytes
// at a time (a vector the compiler maps to the machine's own).
bool NeedsCsvQuotes(std::string_view field) {
    using Bytes16 = unsigned char __attribute__((vector_size(16)));
    std::size_t i = 0;
    for (; i + 16 <= field.size(); i += 16) {
        Bytes16 bytes;
        std::memcpy(&bytes, field.data() + i, 16);
        const auto found = (bytes == '"') | (bytes == ',') | (bytes == '\r') | (bytes == '\n');
        uint64_t halves[2];
        std::memcpy(halves, &found, 16);
        if ((halves[0] | halves[1]) != 0) {
            return true;
        }
    }
    for (; i < field.size(); ++i) {
        const char c = field[i];
        if (c == '"' || c == ',' || c == '\r' || c == '\n') {
            return true;
        }
    }
    return false;
}

void AppendText(std::string& text, std::string_view part) {
    text += part;
}

// A CSV field's text with its quotes doubled.
void AppendCsvEscaped(std::string& text, std::string_view part) {
    for (const char c : part) {
        if (c == '"') {
            text += '"';
        }
        text += c;
    }
}

// A CSV field, in double quotes when `quoted`.
void AppendCsvField(std::string& text, std::string_view field, bool quoted) {
    if (!quoted) {
        text += field;
        return;
    }
    text += '"';
    AppendCsvEscaped(text, field);
    text += '"';
}

void AppendOptionalCsvField(std::string& text, std::optional<std::string_view> field,
                            bool mayNeedQuotes) {
    if (field) {
        AppendCsvField(text, *field, mayNeedQuotes && NeedsCsvQuotes(*field));
    }
}

std::optional<std::string_view> DateOf(const SessionLinePieces& pieces) {
    if (!pieces.StartDate) {
        return std::nullopt;
    }
    return std::string_view(pieces.StartDate->data(), pieces.StartDate->size());
}

// A JSON string's text as nlohmann::json writes it without escaping
// non-ASCII text: the quote, the backslash and the control characters
// escaped, with the short forms where JSON has them. Report lines come from
// Windows-1251, so they are always valid UTF-8.
void AppendJsonEscaped(std::string& text, std::string_view part) {
    for (const char c : part) {
        switch (c) {
            case '"':
                text += "\\\"";
                break;
            case '\\':
                text += "\\\\";
                break;
            case '\b':
                text += "\\b";
                break;
            case '\t':
                text += "\\t";
                break;
            case '\n':
                text += "\\n";
                break;
            case '\f':
                text += "\\f";
                break;
            case '\r':
                text += "\\r";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    constexpr char kHex[] = "0123456789abcdef";
                    text += "\\u00";
                    text += kHex[(c >> 4) & 0xF];
                    text += kHex[c & 0xF];
                } else {
                    text += c;
                }
        }
    }
}

void AppendJsonString(std::string& text, std::string_view value) {
    text += '"';
    AppendJsonEscaped(text, value);
    text += '"';
}

void AppendJsonMember(std::string& text, std::string_view key) {
    text += text.back() == '{' ? "\"" : ",\"";
    text += key;
    text += "\":";
}

void AppendJsonMember(std::string& text, std::string_view key,
                      std::optional<std::string_view> value) {
    AppendJsonMember(text, key);
    if (value) {
        AppendJsonString(text, *value);
    } else {
        text += "null";
    }
}

template <typename Number>
void AppendJsonMember(std::string& text, std::string_view key, const Number* value) {
    AppendJsonMember(text, key);
    if (value != nullptr) {
        AppendNumber(text, *value);
    } else {
        text += "null";
    }
}

}  // namespace

HistoryLinesWriter::HistoryLinesWriter(std::ostream& out, ReportFormat format)
    : out_(out), format_(format) {}

void HistoryLinesWriter::Begin() {
    if (begun_) {
        return;
    }
    begun_ = true;
    if (format_ == ReportFormat::Csv) {
        text_ += kCsvHeader;
        text_ += "\r\n";
    }
}

void HistoryLinesWriter::Write(std::string_view line, const CostStore::Bytes* moved) {
    Begin();
    switch (format_) {
        case ReportFormat::Text:
            WriteInParts(line, AppendText);
            text_ += '\n';
            break;
        case ReportFormat::Csv:
            WriteCsvRecord(line, moved);
            break;
        case ReportFormat::Json:
            text_ += anyLine_ ? ",\n" : "[\n";
            WriteJsonObject(line, moved);
            break;
    }
    anyLine_ = true;
    if (text_.size() >= kHandOnSize) {
        HandOn();
    }
}

void HistoryLinesWriter::WriteCsvRecord(std::string_view line, const CostStore::Bytes* moved) {
    const SessionLinePieces f = ReadSessionLinePieces(line);
    // The parts are pieces of the line: a line without a quote, a comma or a
    // line end is looked at once for them all.
    const bool lineQuoted = NeedsCsvQuotes(line);
    AppendOptionalCsvField(text_, DateOf(f), lineQuoted);
    text_ += ',';
    AppendOptionalCsvField(text_, f.StartTime, lineQuoted);
    text_ += ',';
    AppendOptionalCsvField(text_, f.EndTime, lineQuoted);
    text_ += ',';
    if (f.Minutes) {
        AppendNumber(text_, *f.Minutes);
    }
    text_ += ',';
    AppendOptionalCsvField(text_, f.System, lineQuoted);
    text_ += ',';
    AppendOptionalCsvField(text_, f.Address, lineQuoted);
    text_ += f.Crashed ? ",true," : ",false,";
    if (moved != nullptr) {
        AppendNumber(text_, moved->Received);
        text_ += ',';
        AppendNumber(text_, moved->Sent);
    } else {
        text_ += ',';
    }
    text_ += lineQuoted ? ",\"" : ",";
    WriteInParts(line, lineQuoted ? AppendCsvEscaped : AppendText);
    text_ += lineQuoted ? "\"\r\n" : "\r\n";
}

void HistoryLinesWriter::WriteJsonObject(std::string_view line, const CostStore::Bytes* moved) {
    const SessionLinePieces f = ReadSessionLinePieces(line);
    text_ += '{';
    AppendJsonMember(text_, "start_date", DateOf(f));
    AppendJsonMember(text_, "start_time", f.StartTime);
    AppendJsonMember(text_, "end_time", f.EndTime);
    AppendJsonMember(text_, "minutes", f.Minutes ? &*f.Minutes : nullptr);
    AppendJsonMember(text_, "system", f.System);
    AppendJsonMember(text_, "address", f.Address);
    AppendJsonMember(text_, "crashed");
    text_ += f.Crashed ? "true" : "false";
    AppendJsonMember(text_, "rx_bytes", moved != nullptr ? &moved->Received : nullptr);
    AppendJsonMember(text_, "tx_bytes", moved != nullptr ? &moved->Sent : nullptr);
    AppendJsonMember(text_, "line");
    text_ += '"';
    WriteInParts(line, AppendJsonEscaped);
    text_ += "\"}";
}

void HistoryLinesWriter::Finish() {
    Begin();
    if (format_ == ReportFormat::Json) {
        text_ += anyLine_ ? "\n]\n" : "[]\n";
    }
    HandOn();
}

void HistoryLinesWriter::WriteInParts(std::string_view line,
                                      void (*append)(std::string&, std::string_view)) {
    for (std::size_t at = 0; at < line.size(); at += kHandOnSize) {
        append(text_, line.substr(at, kHandOnSize));
        if (text_.size() >= kHandOnSize) {
            HandOn();
        }
    }
}

void HistoryLinesWriter::HandOn() {
    errno = 0;
    if (!out_.write(text_.data(), static_cast<std::streamsize>(text_.size()))) {
        throw InOutErrorFromErrno(errno != 0 ? errno : EIO);
    }
    text_.clear();
}
