#include "system/AutostartEntry.h"

#include <cstdlib>
#include <string_view>
#include <system_error>

#include "core/Errors.h"
#include "core/Translation.h"
#include "files/FileIO.h"
#include "system/DesktopExec.h"

namespace {

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::optional<std::string> ReadAutostartEntry(const std::filesystem::path& file) {
    std::string text;
    try {
        text = ReadWholeFile(file, kMaxAutostartEntryBytes);
    } catch (EInOutError& error) {
        if (error.Code == EInOutError::kFileNotFound) {
            return std::nullopt;
        }
        // The entry lives outside the working folder: its whole path tells
        // the user where to look.
        error.File = file.string();
        throw;
    }
    if (text.size() > kMaxAutostartEntryBytes) {
        throw Exception("The autostart entry " + file.string() + " is larger than " +
                        std::to_string(kMaxAutostartEntryBytes / 1024) + " KiB");
    }
    std::optional<std::string> exec;
    bool inMainGroup = false;
    bool hidden = false;
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        const auto equals = line.find('=');
        if (!inMainGroup || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = Trimmed(line.substr(0, equals));
        const std::string_view value = Trimmed(line.substr(equals + 1));
        if (key == "Exec") {
            exec = value;
        } else if (key == "Hidden") {
            hidden = value == "true";
        }
    }
    if (hidden || !exec) {
        return std::nullopt;
    }
    return ProgramFromDesktopExec(*exec);
}

std::optional<std::string> ReadAutostartProgram(const std::filesystem::path& file) {
    try {
        return ReadAutostartEntry(file);
    } catch (const Exception&) {
        return std::nullopt;
    }
}

void WriteAutostartEntry(const std::filesystem::path& file, const std::string& programPath) {
    std::error_code ignored;
    std::filesystem::create_directories(file.parent_path(), ignored);
    const std::string contents =
        "[Desktop Entry]\nType=Application\nName=Vimo\nExec=" + DesktopExecValue(programPath) +
        "\n";
    try {
        ReplaceFileAtomically(file, contents);
    } catch (const EInOutError&) {
        throw Exception(CannotCreateFileText(file.string()));
    }
}

void RemoveAutostartEntry(const std::filesystem::path& file) {
    std::error_code error;
    std::filesystem::remove(file, error);
    if (error) {
        throw Exception(
            FillText(TranslateText("Errors", "Cannot remove file %1"), {file.string()}));
    }
}

std::filesystem::path DefaultAutostartFile() {
    std::filesystem::path config;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && *xdg != '\0') {
        config = xdg;
    } else {
        const char* home = std::getenv("HOME");
        config = std::filesystem::path(home != nullptr ? home : "") / ".config";
    }
    return config / "autostart" / "Vimo.desktop";
}
