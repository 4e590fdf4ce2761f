#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "Errors.h"
#include "PlanSettings.h"

// A plan file that cannot be taken as it stands: a syntax error, an unknown
// key or table, a value of the wrong type or out of range. The text names the
// file, the line and the key: "Vimo.toml, line 2: start_day must be 1 to 31".
class EPlanFileError : public Exception {
  public:
    EPlanFileError(int line, const std::string& reason);
    const char* ClassName() const noexcept override { return "EPlanFileError"; }
};

// Reads the text of a plan file. An empty text gives settings with nothing
// set. Throws EPlanFileError for the first fault in the file.
PlanSettings ParsePlanText(std::string_view text);

// Reads "Vimo.toml" of `folder`; none when the file does not exist. Any other
// file step throws EInOutError with the run-time's text; a faulty file throws
// EPlanFileError.
std::optional<PlanSettings> ReadPlanFile(const std::filesystem::path& folder);
