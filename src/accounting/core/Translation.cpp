#include "core/Translation.h"

#include <string_view>

namespace {

TextLookup installedLookup = nullptr;

std::string WithCount(std::string text, int count) {
    if (count < 0) {
        return text;
    }
    const std::string number = std::to_string(count);
    for (std::size_t at = text.find("%n"); at != std::string::npos;
         at = text.find("%n", at + number.size())) {
        text.replace(at, 2, number);
    }
    return text;
}

}  // namespace

void InstallTextLookup(TextLookup lookup) {
    installedLookup = lookup;
}

std::string TranslateText(const char* context, const char* source, const char* disambiguation,
                          int count) {
    if (installedLookup != nullptr) {
        std::string found = installedLookup(context, source, disambiguation, count);
        if (!found.empty()) {
            return WithCount(std::move(found), count);
        }
    }
    return WithCount(source, count);
}

std::string FillText(std::string pattern, std::initializer_list<std::string> args) {
    // One pass, so that a marker inside an argument stays as it is.
    std::string filled;
    filled.reserve(pattern.size());
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        const char next = at + 1 < pattern.size() ? pattern[at + 1] : '\0';
        const std::size_t index = static_cast<std::size_t>(next - '1');
        if (pattern[at] == '%' && next >= '1' && next <= '9' && index < args.size()) {
            filled += *(args.begin() + index);
            ++at;
        } else {
            filled += pattern[at];
        }
    }
    return filled;
}
