#include <gtest/gtest.h>

#include "core/PrintableText.h"

namespace {

TEST(PrintableText, VisibleLettersStayAndEveryOtherByteShowsItsValue) {
    const std::pair<std::string_view, const char*> cases[] = {
        {"start_day 'ж' €", "start_day 'ж' €"},
        {"\x9f", "\\x9f"},
        {"a\tb\nc\x7f", "a\\x09b\\x0ac\\x7f"},
        {std::string_view("\0z", 2), "\\x00z"},
        // Not UTF-8: a cut sequence, an overlong form, a surrogate, beyond U+10FFFF.
        {"\xd0", "\\xd0"},
        {"\xe2\x82z", "\\xe2\\x82z"},
        {"\xc0\xaf", "\\xc0\\xaf"},
        {"\xe0\x80\xaf", "\\xe0\\x80\\xaf"},
        {"\xed\xa0\x80", "\\xed\\xa0\\x80"},
        {"\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"},
        // Well-formed but invisible or reordering: C1 control, byte-order
        // mark, zero-width space, right-to-left override, a noncharacter.
        {"\xc2\x85", "\\xc2\\x85"},
        {"\xef\xbb\xbf", "\\xef\\xbb\\xbf"},
        {"\xe2\x80\x8b", "\\xe2\\x80\\x8b"},
        {"\xe2\x80\xae", "\\xe2\\x80\\xae"},
        {"\xef\xbf\xbf", "\\xef\\xbf\\xbf"},
        {"\xf0\x9f\x98\x80", "\xf0\x9f\x98\x80"},
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(PrintableText(text), shown) << PrintableText(text);
    }
}

}  // namespace
