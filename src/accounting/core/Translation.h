#pragma once

#include <initializer_list>
#include <string>

// The texts people read, in the language they read. The core writes them in
// Russian, the program's own language, and asks here for each; the program
// and vimo-report install their catalogue's lookup at start. Without one,
// every text is its Russian self.
//
// The data files never go through here: their texts stay Russian whatever
// the language of the screen.

// Looks up `source` in `context`; `count` is the number a plural text is
// chosen for, or -1. Returns an empty text when the catalogue has none.
using TextLookup = std::string (*)(const char* context, const char* source,
                                   const char* disambiguation, int count);

// Installed once, before any other thread starts.
void InstallTextLookup(TextLookup lookup);

// The text in the reader's language, with "%n" replaced by `count`.
std::string TranslateText(const char* context, const char* source,
                          const char* disambiguation = nullptr, int count = -1);

// `pattern` with "%1", "%2"... replaced by `args` in turn, as Qt's arg() does.
std::string FillText(std::string pattern, std::initializer_list<std::string> args);

// Marks a text kept in a table for the catalogues; it is translated where it
// is shown, with TranslateText and the same context.
#define VIMO_TEXT_NOOP(context, source) source
