#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "core/Codec1251.h"

namespace {

// glibc's own converter, the reference the table is checked against.
std::string IconvFromCp1251(const std::string& bytes) {
    iconv_t cd = iconv_open("UTF-8", "CP1251");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return "<no iconv>";
    std::string in = bytes;
    std::string out(bytes.size() * 4, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    const std::size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == static_cast<std::size_t>(-1))
        return "<invalid>";
    out.resize(out.size() - outLeft);
    return out;
}

TEST(Codec1251, EveryByteMatchesGlibcExceptTheUnassignedOne) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        if (b == 0x98) {
            EXPECT_EQ(IconvFromCp1251(byte), "<invalid>");
            EXPECT_EQ(FromCp1251(byte), "\xC2\x98");  // U+0098
        } else {
            EXPECT_EQ(FromCp1251(byte), IconvFromCp1251(byte)) << "byte " << b;
        }
        EXPECT_EQ(ToCp1251(FromCp1251(byte)), byte) << "byte " << b;
    }
}

// Runs of ASCII of every length and offset between Cyrillic letters, as a
// history line mixes them.
TEST(Codec1251, MixedTextMatchesGlibc) {
    std::string text;
    for (int run = 0; run < 20; ++run) {
        text += std::string(static_cast<std::size_t>(run), static_cast<char>('a' + run));
        text += static_cast<char>(0xC0 + run);
    }
    for (std::size_t from = 0; from < 9; ++from) {
        const std::string part = text.substr(from);
        EXPECT_EQ(FromCp1251(part), IconvFromCp1251(part)) << "from " << from;
    }
}

TEST(Codec1251, CyrillicTextsOfTheFiles) {
    EXPECT_EQ(ToCp1251("время"), "\xE2\xF0\xE5\xEC\xFF");
    EXPECT_EQ(ToCp1251("Аварийное завершение !"),
              "\xC0\xE2\xE0\xF0\xE8\xE9\xED\xEE\xE5 \xE7\xE0\xE2\xE5\xF0\xF8\xE5\xED\xE8\xE5 !");
    EXPECT_EQ(FromCp1251("\xF7. \xEC\xE8\xED."), "ч. мин.");
}

TEST(Codec1251, UnmappableAndMalformedInputBecomesQuestionMarks) {
    EXPECT_EQ(ToCp1251("a\u4E2Db"), "a?b");          // CJK is not in the code page
    EXPECT_EQ(ToCp1251("\xFF\xFE"), "??");           // not UTF-8 at all
    EXPECT_EQ(ToCp1251("x\xD0"), "x?");              // cut-off sequence
    EXPECT_EQ(ToCp1251("\xF0\x9F\x98\x80!"), "?!");  // emoji
}

}  // namespace
