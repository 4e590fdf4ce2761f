// The language of the screen, from the environment as gettext reads it.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "system/UiLanguage.h"

namespace {

TEST(UiLanguage, TheLocaleAndThePreferencesChooseUkrainianEnglishOrElseRussian) {
    using Environment = std::map<std::string, std::string>;
    struct Case {
        Environment environment;
        UiLanguage language;
    };
    const auto uk = UiLanguage::Ukrainian;
    const auto en = UiLanguage::English;
    const auto ru = UiLanguage::Russian;
    const Case cases[] = {
        {{{"LANG", "uk_UA.UTF-8"}}, uk},
        {{{"LANG", "en_US.UTF-8"}}, en},
        {{{"LANG", "en_GB"}}, en},
        {{{"LANG", "ru_RU.UTF-8"}}, ru},
        {{{"LANG", "uk_UA@euro"}}, uk},
        // C, POSIX, nothing and languages without a catalogue: Russian.
        {{}, ru},
        {{{"LANG", "C.UTF-8"}}, ru},
        {{{"LANG", "POSIX"}}, ru},
        {{{"LANG", "de_DE.UTF-8"}}, ru},
        {{{"LANG", ""}}, ru},
        // LC_ALL, then LC_MESSAGES, then LANG.
        {{{"LANG", "en_US.UTF-8"}, {"LC_ALL", "uk_UA.UTF-8"}}, uk},
        {{{"LANG", "uk_UA.UTF-8"}, {"LC_MESSAGES", "en_US.UTF-8"}}, en},
        {{{"LC_ALL", "C"}, {"LANG", "uk_UA.UTF-8"}}, ru},
        // LANGUAGE's list first, its first known language deciding...
        {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "uk:en"}}, uk},
        {{{"LANG", "uk_UA.UTF-8"}, {"LANGUAGE", "de:en_GB:uk"}}, en},
        {{{"LANG", "uk_UA.UTF-8"}, {"LANGUAGE", "de"}}, uk},
        {{{"LANG", "uk_UA.UTF-8"}, {"LANGUAGE", ""}}, uk},
        {{{"LANG", "uk_UA.UTF-8"}, {"LANGUAGE", "::ru"}}, ru},
        // ...but not in the C locale, where gettext ignores it.
        {{{"LANG", "C.UTF-8"}, {"LANGUAGE", "uk"}}, ru},
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
        EXPECT_EQ(ChooseUiLanguage(lookup), c.language) << shown;
    }
}

}  // namespace
