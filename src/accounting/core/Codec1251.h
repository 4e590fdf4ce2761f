#pragma once

#include <string>
#include <string_view>

// Windows-1251, the single-byte code page of the data files, to and from the
// UTF-8 used inside the program.
//
// The byte 0x98 has no character in Windows-1251; it decodes to U+0098 and
// U+0098 encodes back to 0x98, so any byte sequence survives a round trip.
// Characters that Windows-1251 cannot hold, and malformed UTF-8, encode as "?".
std::string FromCp1251(std::string_view bytes);
// The same, appended to `out`: a caller converting many lines reuses one
// buffer.
void AppendFromCp1251(std::string& out, std::string_view bytes);
std::string ToCp1251(std::string_view utf8);
