#pragma once

#include <cstddef>
#include <string_view>

// The TOML reader of this system (toml++ 3.3) does not handle every text
// soundly, and a plan file is read again whenever it changes, whoever wrote
// it. Its text is therefore looked over first, by line:
// - a letter beyond ASCII where toml++ looks for a blank (a key written in
//   Cyrillic, among others), and a table name that starts with a character
//   no key can start with, break assumptions of its own. Every value the
//   plan file holds is ASCII, so such letters may stand only in comments,
//   which may still be written in any language;
// - a dotted key or table name of many parts, and lists or inline tables
//   nested deeply, make tables within tables that toml++ builds, checks and
//   frees by recursion: 40,000 parts overflow the stack. No plan needs more
//   than a few, so both are bounded here;
// - control characters, which TOML forbids everywhere but tabs.

// The most parts a dotted key or table name may have ("plan.rate" has 2).
inline constexpr std::size_t kMostKeyParts = 16;
// The deepest nesting of lists and inline tables ("[[1]]" is 2 deep).
inline constexpr std::size_t kMostValueNesting = 16;

// Throws EPlanFileError for the first such fault in `text`.
void ScanPlanText(std::string_view text);
