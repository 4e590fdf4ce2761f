#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/Errors.h"
#include "plan/PlanSettings.h"

// A plan file that cannot be taken as it stands: a syntax error, an unknown
// key or table, a value of the wrong type or out of range. The text names the
// file, the line and the key: "Vimo.toml, line 2: start_day must be 1 to 31";
// a fault of the file as a whole names no line: "Vimo.toml: file too large
// (over 1 MiB)". Bytes of the file quoted in the reason that are not visible
// text are shown as "\xNN".
class EPlanFileError : public Exception {
  public:
    EPlanFileError(int line, const std::string& reason);
    explicit EPlanFileError(const std::string& reason);
    const char* ClassName() const noexcept override { return "EPlanFileError"; }
};

// The largest plan file read: far beyond any plan, and small enough that
// what the TOML reader builds of it stays below some 50 MB (a file of a
// million-byte list once took 1.2 GB).
inline constexpr std::size_t kPlanFileMostBytes = 1024 * 1024;

// Reads the text of a plan file. An empty text gives settings with nothing
// set; a UTF-8 byte-order mark at its start, as some editors write, is
// skipped. Throws EPlanFileError for the first fault in the file, and for a
// text longer than kPlanFileMostBytes.
PlanSettings ParsePlanText(std::string_view text);

// `text` without the UTF-8 byte-order mark it may start with.
std::string_view WithoutByteOrderMark(std::string_view text);

// Reads "Vimo.toml" of `folder`, never more than kPlanFileMostBytes and one
// byte of it; none when the file does not exist. Any other file step throws
// EInOutError with the run-time's text; a faulty file throws EPlanFileError.
std::optional<PlanSettings> ReadPlanFile(const std::filesystem::path& folder);
