#include "system/DesktopExec.h"

namespace {

constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";

std::string EscapeStringValue(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::optional<std::string> UnescapeStringValue(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) {
            return std::nullopt;
        }
        switch (text[i]) {
            case '\\':
                out += '\\';
                break;
            case 's':
                out += ' ';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            // Quote-level escapes pass through to the next stage unchanged.
            case '"':
            case '`':
            case '$':
                out += '\\';
                out += text[i];
                break;
            default:
                return std::nullopt;
        }
    }
    return out;
}

// Replaces "%%" by "%"; any other field code makes the value unusable here.
std::optional<std::string> DropPercentEscapes(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%') {
            if (i + 1 == text.size() || text[i + 1] != '%') {
                return std::nullopt;
            }
            ++i;
        }
        out += text[i];
    }
    return out;
}

}  // namespace

std::string DesktopExecValue(std::string_view programPath) {
    std::string argument;
    for (char c : programPath) {
        if (c == '%') {
            argument += "%%";
        } else {
            argument += c;
        }
    }
    if (argument.find_first_of(kReserved) != std::string::npos) {
        std::string quoted = "\"";
        for (char c : argument) {
            if (c == '"' || c == '`' || c == '$' || c == '\\') {
                quoted += '\\';
            }
            quoted += c;
        }
        argument = quoted + "\"";
    }
    return EscapeStringValue(argument);
}

std::optional<std::string> ProgramFromDesktopExec(std::string_view execValue) {
    const auto unescaped = UnescapeStringValue(execValue);
    if (!unescaped) {
        return std::nullopt;
    }
    const std::string& text = *unescaped;
    size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos) {
        return std::nullopt;
    }
    std::string argument;
    if (text[i] == '"') {
        bool closed = false;
        for (++i; i < text.size(); ++i) {
            if (text[i] == '"') {
                closed = true;
                break;
            }
            if (text[i] == '\\') {
                if (++i == text.size()) {
                    return std::nullopt;
                }
                const char escaped = text[i];
                if (escaped != '"' && escaped != '`' && escaped != '$' && escaped != '\\') {
                    return std::nullopt;
                }
            }
            argument += text[i];
        }
        if (!closed) {
            return std::nullopt;
        }
    } else {
        const size_t end = text.find_first_of(" \t", i);
        argument = text.substr(i, end == std::string::npos ? std::string::npos : end - i);
        // Outside quotes a reserved character is not allowed at all.
        if (argument.find_first_of(kReserved) != std::string::npos) {
            return std::nullopt;
        }
    }
    auto program = DropPercentEscapes(argument);
    if (!program || program->empty()) {
        return std::nullopt;
    }
    return program;
}
