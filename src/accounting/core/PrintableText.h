#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Texts taken from a file a person may not have written as text, made safe
// to show in a message box or on a terminal.

// The length of the well-formed UTF-8 character at the start of `text`
// (shortest form, no surrogate, at most U+10FFFF); 0 when it starts with
// none, as with a stray continuation byte such as 0x9F or a cut sequence.
std::size_t Utf8CharLength(std::string_view text);

// `text` with every byte that is not part of a visible character written as
// "\xNN": control characters, bytes that are not UTF-8, and the invisible
// characters that would hide or reorder what is shown (a byte-order mark, a
// zero-width space, a right-to-left override). Visible letters stay.
std::string PrintableText(std::string_view text);
