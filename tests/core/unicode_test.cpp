// Which texts the overlay draws as UTF-8: valid UTF-8 with a byte from 0x80; anything else is drawn in the
// ANSI code page, as a SubRip file written in it.
#include "core/Unicode.h"

#include <gtest/gtest.h>

TEST(Utf8Text, DrawnAsUtf8OnlyWhenTheBytesAreValidUtf8WithAByteFrom0x80) {
    const std::pair<const char*, bool> cases[] = {
        {"caf\xC3\xA9", true}, {"\xE2\x82\xAC 5", true}, {"\xF0\x9F\x8E\xAC", true}, {"\xF4\x8F\xBF\xBF", true},
        {"", false}, {"plain\n", false}, {"caf\xE9", false}, {"\xA9 x", false}, {"\xC3\xA9\xE9", false},
        // Overlong; a surrogate; cut off; beyond U+10FFFF.
        {"\xC0\xAF", false}, {"\xE0\x80\xAF", false}, {"\xF0\x80\x80\xAF", false}, {"\xED\xA0\x80", false},
        {"ok \xE2\x82", false}, {"\xF0\x9F\x8E", false}, {"\xF4\x90\x80\x80", false}, {"\xF5\x80\x80\x80", false}};
    for (const auto& [text, utf8] : cases)
        EXPECT_EQ(IsUtf8Text(text), utf8) << testing::PrintToString(std::string(text));
}
