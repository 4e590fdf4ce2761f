#include "core/Codec1251.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// Code points of the bytes 0x80 to 0xFF.
// clang-format off
constexpr std::array<char16_t, 128> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};
// clang-format on

// The UTF-8 of the bytes 0x80 to 0xFF, each of two or three bytes.
struct Utf8Sequence {
    char Bytes[3];
    int Length;
};

constexpr std::array<Utf8Sequence, 128> MakeUpperHalfUtf8() {
    std::array<Utf8Sequence, 128> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        const char32_t cp = kUpperHalf[i];
        if (cp < 0x800) {
            table[i] = {
                {static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F)), 0}, 2};
        } else {
            table[i] = {
                {static_cast<char>(0xE0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                 static_cast<char>(0x80 | (cp & 0x3F))},
                3};
        }
    }
    return table;
}

constexpr std::array<Utf8Sequence, 128> kUpperHalfUtf8 = MakeUpperHalfUtf8();

char EncodeCodePoint(char32_t cp) {
    if (cp < 0x80) {
        return static_cast<char>(cp);
    }
    for (std::size_t i = 0; i < kUpperHalf.size(); ++i) {
        if (kUpperHalf[i] == cp) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

// Length of the UTF-8 sequence starting with `lead`, 0 for a byte that
// cannot start one.
int SequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

}  // namespace

std::string FromCp1251(std::string_view bytes) {
    std::string out;
    AppendFromCp1251(out, bytes);
    return out;
}

void AppendFromCp1251(std::string& out, std::string_view bytes) {
    // Every byte gives at most three, so room for three is made a block at
    // a time and what is left unused is cut off again: a line of any length
    // takes little more room than its text. ASCII, most of the history, is
    // taken sixteen bytes at a time.
    constexpr std::size_t kBlock = 4096;
    const char* from = bytes.data();
    const char* const end = from + bytes.size();
    while (from < end) {
        const char* const blockEnd = from + std::min<std::size_t>(kBlock, end - from);
        const std::size_t had = out.size();
        out.resize(had + static_cast<std::size_t>(blockEnd - from) * 3);
        char* to = out.data() + had;
        while (from < blockEnd) {
            const char* const stretchEnd = from + std::min<std::ptrdiff_t>(16, blockEnd - from);
            if (stretchEnd - from == 16) {
                uint64_t words[2];
                std::memcpy(words, from, 16);
                if (((words[0] | words[1]) & 0x8080808080808080u) == 0) {
                    std::memcpy(to, from, 16);
                    to += 16;
                    from += 16;
                    continue;
                }
            }
            for (; from < stretchEnd; ++from) {
                const auto b = static_cast<unsigned char>(*from);
                if (b < 0x80) {
                    *to++ = static_cast<char>(b);
                } else {
                    const Utf8Sequence& utf8 = kUpperHalfUtf8[b - 0x80];
                    std::memcpy(to, utf8.Bytes, 3);
                    to += utf8.Length;
                }
            }
        }
        out.resize(static_cast<std::size_t>(to - out.data()));
    }
}

std::string ToCp1251(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int length = SequenceLength(lead);
        if (length == 0 || i + length > utf8.size()) {
            out += '?';
            ++i;
            continue;
        }
        char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
        bool wellFormed = true;
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) {
                wellFormed = false;
                break;
            }
            cp = (cp << 6) | (next & 0x3F);
        }
        if (!wellFormed) {
            out += '?';
            ++i;
            continue;
        }
        out += EncodeCodePoint(cp);
        i += length;
    }
    return out;
}
