#include "core/PrintableText.h"

namespace {

unsigned char Byte(std::string_view text, std::size_t at) {
    return static_cast<unsigned char>(text[at]);
}

char32_t CodePointOf(std::string_view text, std::size_t length) {
    static constexpr unsigned char kLeadBits[] = {0, 0x7f, 0x1f, 0x0f, 0x07};
    char32_t point = Byte(text, 0) & kLeadBits[length];
    for (std::size_t i = 1; i < length; ++i) {
        point = (point << 6) | (Byte(text, i) & 0x3f);
    }
    return point;
}

// Control and format characters, separators of lines and paragraphs, and
// the code points Unicode keeps as never being characters.
bool Invisible(char32_t point) {
    const auto within = [point](char32_t low, char32_t high) {
        return point >= low && point <= high;
    };
    return point < 0x20 || within(0x7f, 0x9f) || point == 0xad || point == 0x61c ||
           point == 0x180e || within(0x200b, 0x200f) || within(0x2028, 0x202e) ||
           within(0x2060, 0x206f) || within(0xfdd0, 0xfdef) || point == 0xfeff ||
           within(0xfff9, 0xfffb) || (point & 0xfffe) == 0xfffe || within(0xe0000, 0xe0fff);
}

}  // namespace

std::size_t Utf8CharLength(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    const unsigned char lead = Byte(text, 0);
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xc2 ? 0
                               : lead < 0xe0 ? 2
                               : lead < 0xf0 ? 3
                               : lead < 0xf5 ? 4
                                             : 0;
    if (length == 0 || text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((Byte(text, i) & 0xc0) != 0x80) {
            return 0;
        }
    }
    const char32_t point = CodePointOf(text, length);
    const bool overlong = (length == 3 && point < 0x800) || (length == 4 && point < 0x10000);
    const bool surrogate = point >= 0xd800 && point <= 0xdfff;
    if (overlong || surrogate || point > 0x10ffff) {
        return 0;
    }
    return length;
}

std::string PrintableText(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    while (!text.empty()) {
        std::size_t length = Utf8CharLength(text);
        if (length != 0 && !Invisible(CodePointOf(text, length))) {
            shown += text.substr(0, length);
        } else {
            static constexpr char kDigits[] = "0123456789abcdef";
            length = length == 0 ? 1 : length;
            for (std::size_t i = 0; i < length; ++i) {
                shown += "\\x";
                shown += kDigits[Byte(text, i) >> 4];
                shown += kDigits[Byte(text, i) & 0xf];
            }
        }
        text.remove_prefix(length);
    }
    return shown;
}
