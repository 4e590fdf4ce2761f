#include "system/UiLanguage.h"

#include <cstdlib>
#include <string_view>

namespace {

// "uk_UA.UTF-8", "uk-UA", "uk@latin" and "uk" all name Ukrainian.
std::optional<UiLanguage> LanguageOf(std::string_view entry) {
    const std::string_view code = entry.substr(0, entry.find_first_of("_-.@"));
    if (code == "uk") {
        return UiLanguage::Ukrainian;
    }
    if (code == "en") {
        return UiLanguage::English;
    }
    if (code == "ru") {
        return UiLanguage::Russian;
    }
    return std::nullopt;
}

bool IsPlainLocale(std::string_view locale) {
    const std::string_view name = locale.substr(0, locale.find_first_of(".@"));
    return name.empty() || name == "C" || name == "POSIX";
}

}  // namespace

std::optional<UiLanguage> RequestedUiLanguage(const EnvironmentLookup& environment) {
    std::string_view locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = environment(name);
        if (value != nullptr && *value != '\0') {
            locale = value;
            break;
        }
    }
    if (IsPlainLocale(locale)) {
        return std::nullopt;
    }
    if (const char* preferences = environment("LANGUAGE")) {
        std::string_view list = preferences;
        while (!list.empty()) {
            const std::size_t colon = list.find(':');
            if (const auto language = LanguageOf(list.substr(0, colon))) {
                return *language;
            }
            list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
        }
    }
    return LanguageOf(locale);
}

std::optional<UiLanguage> RequestedUiLanguageOfEnvironment() {
    return RequestedUiLanguage([](const char* name) { return std::getenv(name); });
}

std::string LanguageCode(UiLanguage language) {
    switch (language) {
        case UiLanguage::Ukrainian:
            return "uk";
        case UiLanguage::English:
            return "en";
        case UiLanguage::Russian:
            break;
    }
    return "ru";
}
