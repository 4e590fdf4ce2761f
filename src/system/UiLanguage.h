#pragma once

#include <functional>
#include <optional>
#include <string>

// The language of the texts on screen. Russian is the program's own; the
// catalogues give Ukrainian and English.
enum class UiLanguage { Russian, Ukrainian, English };

// Reads an environment variable; null when it is not set.
using EnvironmentLookup = std::function<const char*(const char* name)>;

// The language the environment asks for, read as gettext reads it: the
// locale of messages is the first of LC_ALL, LC_MESSAGES and LANG that is
// set; unless it is C or POSIX, LANGUAGE's list of preferences comes before
// it. The first Ukrainian, English or Russian entry decides. None for C,
// POSIX and any other language, which get the program's own Russian as it
// always was, Qt's texts included.
std::optional<UiLanguage> RequestedUiLanguage(const EnvironmentLookup& environment);

// The same for this process's environment.
std::optional<UiLanguage> RequestedUiLanguageOfEnvironment();

// "uk", "en", "ru": the catalogues' suffix.
std::string LanguageCode(UiLanguage language);
