#include "AutostartEntry.h"

#include <cstdlib>
#include <fstream>

#include "DesktopExec.h"

namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::optional<std::string> ReadAutostartProgram(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::optional<std::string> exec;
    bool inMainGroup = false;
    bool hidden = false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        const auto equals = line.find('=');
        if (!inMainGroup || equals == std::string::npos) {
            continue;
        }
        const std::string key = Trimmed(line.substr(0, equals));
        const std::string value = Trimmed(line.substr(equals + 1));
        if (key == "Exec") {
            exec = value;
        } else if (key == "Hidden") {
            hidden = value == "true";
        }
    }
    if (in.bad() || hidden || !exec) {
        return std::nullopt;
    }
    return ProgramFromDesktopExec(*exec);
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
