#include "LeftoverFiles.h"

#include <signal.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <string>
#include <string_view>
#include <system_error>

namespace {

constexpr std::array<std::string_view, 5> kDataFiles = {"Table.dat", "TableExt.dat", "Propert.dat",
                                                        "BegTime.txt", "Static.txt"};

// The writer's process id of "<data file>.tmp.<pid>.<n>", or 0 when the name
// is not such a temporary file.
pid_t WriterOf(std::string_view name) {
    for (std::string_view data : kDataFiles) {
        const std::string prefix = std::string(data) + ".tmp.";
        if (name.substr(0, prefix.size()) != prefix) {
            continue;
        }
        const std::string_view rest = name.substr(prefix.size());
        const std::size_t dot = rest.find('.');
        if (dot == std::string_view::npos || dot + 1 == rest.size() ||
            rest.find_first_not_of("0123456789", dot + 1) != std::string_view::npos) {
            return 0;
        }
        pid_t pid = 0;
        const auto [end, error] = std::from_chars(rest.data(), rest.data() + dot, pid);
        if (error != std::errc() || end != rest.data() + dot || pid <= 0) {
            return 0;
        }
        return pid;
    }
    return 0;
}

}  // namespace

void RemoveLeftoverTemporaryFiles(const std::filesystem::path& folder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const pid_t writer = WriterOf(entry.path().filename().string());
        if (writer == 0 || !entry.is_regular_file(error)) {
            continue;
        }
        if (::kill(writer, 0) != 0 && errno == ESRCH) {
            std::filesystem::remove(entry.path(), error);
        }
    }
}
