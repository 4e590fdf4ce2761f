#include "files/LeftoverFiles.h"

#include <signal.h>

#include <cerrno>
#include <optional>
#include <string>
#include <system_error>

#include "core/DataFiles.h"
#include "files/FileIO.h"

namespace {

// The writer of a temporary file of one of the program's data files.
std::optional<pid_t> DataFileWriter(const std::string& name) {
    for (std::string_view data : datafiles::kAll) {
        if (const std::optional<pid_t> writer = TemporaryFileWriter(name, data)) {
            return writer;
        }
    }
    return std::nullopt;
}

}  // namespace

void RemoveLeftoverTemporaryFiles(const std::filesystem::path& folder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::optional<pid_t> writer = DataFileWriter(entry.path().filename().string());
        if (!writer || !entry.is_regular_file(error)) {
            continue;
        }
        if (::kill(*writer, 0) != 0 && errno == ESRCH) {
            std::filesystem::remove(entry.path(), error);
        }
    }
}
