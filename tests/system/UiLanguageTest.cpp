// The language of the screen, from the environment as gettext reads it.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "system/UiLanguage.h"

namespace {

TEST(UiLanguage, TheLocaleAndThePreferencesAskForUkrainianEnglishRussianOrNone) {
    using Environment = std::map<std::string, std::string>;
    struct Case {
        Environment environment;
        std::optional<UiLanguage> language;  // none: the program's own Russian
    };
    const auto uk = UiLanguage::Ukrainian;
    const auto en = UiLanguage::English;
    const auto ru = UiLanguage::Russian;
    const std::optional<UiLanguage> none;
    const Case cases[] = {
        {{{"LANG", "uk_UA.UTF-8"}}, uk},
        {{{"LANG", "en_US.UTF-8"}}, en},
        {{{"LANG", "en_GB"}}, en},
        {{{"LANG", "ru_RU.UTF-8"}}, ru},
        {{{"LANG", "uk_UA@euro"}}, uk},
        // C, POSIX, nothing and languages without a catalogue ask for none.
        {{}, none},
        {{{"LANG", "C.UTF-8"}}, none},
        {{{"LANG", "POSIX"}}, none},
        {{{"LANG", "de_DE.UTF-8"}}, none},
        {{{"LANG", ""}}, none},
        // LC_ALL, then LC_MESSAGES, then LANG.
        {{{"LANG", "en_US.UTF-8"}, {"LC_ALL", "uk_UA.UTF-8"}}, uk},
        {{{"LANG", "uk_UA.UTF-8"}, {"LC_MESSAGES", "en_US.UTF-8"}}, en},
        {{{"LC_ALL", "C"}, {"LANG", "uk_UA.UTF-8"}}, none},
        // LANGUAGE's list first, its first known language deciding...
        {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "uk:en"}}, uk},
        {{{"LANG", "uk_UA.UTF-8"}, {"LANGUAGE", "de:en_GB:uk"}}, en},
        {{{"LANG", "uk_UA.UTF-8"}, {"LANGUAGE", "de"}}, uk},
        {{{"LANG", "uk_UA.UTF-8"}, {"LANGUAGE", ""}}, uk},
        {{{"LANG", "uk_UA.UTF-8"}, {"LANGUAGE", "::ru"}}, ru},
        // ...but not in the C locale, where gettext ignores it.
        {{{"LANG", "C.UTF-8"}, {"LANGUAGE", "uk"}}, none},
    };
    for (const Case& c : cases) {
        const auto lookup = [&](const char* name) -> const char* {
            const auto found = c.environment.find(name);
            return found == c.environment.end() ? nullptr : found->second.c_str();
        };
        std::string shown;
        for (const auto& [name, value] : c.environment) {
            shown += name + "=" + value + " ";
        }
        EXPECT_EQ(RequestedUiLanguage(lookup), c.language) << shown;
    }
}

}  // namespace
