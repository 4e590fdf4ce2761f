#pragma once

#include <functional>
#include <string>

// The language of the texts on screen. Russian is the program's own; the
// catalogues give Ukrainian and English.
enum class UiLanguage { Russian, Ukrainian, English };

// Reads an environment variable; null when it is not set.
using EnvironmentLookup = std::function<const char*(const char* name)>;

// The language the environment asks for, read as gettext reads it: the
// locale of messages is the first of LC_ALL, LC_MESSAGES and LANG that is
// set; unless it is C or POSIX, LANGUAGE's list of preferences comes before
// it. The first Ukrainian, English or Russian entry decides; C, POSIX and
// any other language give Russian.
UiLanguage ChooseUiLanguage(const EnvironmentLookup& environment);

// The same for this process's environment.
UiLanguage UiLanguageOfEnvironment();

// "uk", "en", "ru": the catalogues' suffix.
std::string LanguageCode(UiLanguage language);
