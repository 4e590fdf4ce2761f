#include "report/HistoryListing.h"

#include <algorithm>
#include <cerrno>
#include <exception>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/DataFiles.h"
#include "files/FileIO.h"
#include "files/HistoryReport.h"
#include "files/SessionLineFields.h"

namespace {

// A batch is looked up in one query; its size bounds what is held, lines
// and bytes alike, while a month or a year of lines still takes one query.
constexpr std::size_t kBatchLines = 65536;
constexpr std::size_t kBatchBytes = 8 * 1024 * 1024;

// The bytes of the connection of `line`; none when they are not known.
const CostStore::Bytes* BytesOfLine(const SessionBytesByHead& bytes, std::string_view line) {
    if (bytes.empty()) {
        return nullptr;
    }
    const auto found = bytes.find(SessionKey(line));
    return found == bytes.end() ? nullptr : &found->second;
}

// The lines of CSV and JSON wait in a batch until their bytes are read. The
// strings are kept from batch to batch, so their room is made only once.
class LineBatch {
  public:
    bool Add(std::string_view line) {
        if (count_ == lines_.size()) {
            lines_.emplace_back();
        }
        lines_[count_++].assign(line);
        bytes_ += line.size();
        return count_ == kBatchLines || bytes_ >= kBatchBytes;
    }
    std::span<const std::string> Lines() const { return {lines_.data(), count_}; }
    void Clear() {
        count_ = 0;
        bytes_ = 0;
    }

  private:
    std::vector<std::string> lines_;
    std::size_t count_ = 0;
    std::size_t bytes_ = 0;
};

}  // namespace

SessionBytesLookup::SessionBytesLookup(std::filesystem::path folder) : folder_(std::move(folder)) {}

SessionBytesLookup::~SessionBytesLookup() = default;

SessionBytesByHead SessionBytesLookup::Read(std::span<const std::string> lines) {
    if (FoundNoFile()) {
        return {};
    }
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
    if (!opened_) {
        store_ = CostStore::Open(folder_, CostStore::Access::ReadOnly);
        opened_ = true;
    }
    return store_ ? store_->SessionBytesBetween(*first, *last) : SessionBytesByHead{};
}

void ListHistory(const std::filesystem::path& folder, const DayRange& range, ReportFormat format,
                 std::ostream& out) {
    const std::filesystem::path history = folder / datafiles::kStatic;
    HistoryLinesWriter writer(out, format);
    std::error_code unreadable;
    if (std::filesystem::status(history, unreadable).type() ==
        std::filesystem::file_type::not_found) {
        if (!std::filesystem::is_directory(folder, unreadable)) {
            EInOutError missing = InOutErrorFromErrno(ENOENT);
            missing.File = folder.string();
            throw missing;
        }
        writer.Finish();
        return;
    }

    std::optional<std::string> dateError;
    std::exception_ptr storeError;
    if (format == ReportFormat::Text) {
        dateError = FilterHistoryFile(history, range.First, range.Last,
                                      [&](std::string_view line) { writer.Write(line, nullptr); });
    } else {
        SessionBytesLookup lookup(folder);
        LineBatch batch;
        const auto writeBatch = [&] {
            SessionBytesByHead bytes;
            if (!storeError) {
                try {
                    bytes = lookup.Read(batch.Lines());
                } catch (const Exception&) {
                    storeError = std::current_exception();
                }
            }
            for (const std::string& line : batch.Lines()) {
                writer.Write(line, BytesOfLine(bytes, line));
            }
            batch.Clear();
        };
        dateError = FilterHistoryFile(history, range.First, range.Last, [&](std::string_view line) {
            if (lookup.FoundNoFile() || storeError) {
                writer.Write(line, nullptr);
            } else if (batch.Add(line)) {
                writeBatch();
            }
        });
        writeBatch();
    }
    writer.Finish();
    // As on the statistics page: the lines are shown, then the error.
    if (dateError) {
        throw EConvertError(*dateError);
    }
    if (storeError) {
        std::rethrow_exception(storeError);
    }
}
