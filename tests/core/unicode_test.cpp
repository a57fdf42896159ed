// Which texts are drawn as UTF-8 (valid, with a byte from 0x80; else in the ANSI code page), and cut characters.
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

// A cut at a byte limit may leave the first bytes of a character at the end: dropped when the rest is UTF-8 text.
TEST(Utf8Text, ACharacterCutAtTheEndOfUtf8TextIsDropped) {
    const std::pair<const char*, const char*> cut[] = {{"\xD0\x96\xD0", "\xD0\x96"}, {"\xD0\x96\xE2\x82", "\xD0\x96"},
        {"\xD0\x96\xF0\x9F\x8E", "\xD0\x96"}, {"\xD0\x96\xF4", "\xD0\x96"}, {"a\xC3\xA9 b\xE0\xA0", "a\xC3\xA9 b"}};
    // Kept: whole; no UTF-8 before it (ASCII, ANSI); no character could follow (surrogate, overlong, too big, stray).
    const char* const kept[] = {"\xD0\x96", "\xF0\x9F\x8E\xAC", "", "ok \xE2\x82", "caf\xE9 \xC3", "\xD0\x96\xED\xA0",
                                "\xD0\x96\xE0\x9F", "\xD0\x96\xF4\x90", "\xD0\x96\xC1", "\xD0\x96\x80"};
    for (const auto& [text, rest] : cut)
        EXPECT_EQ(DropCutCharacter(text), rest) << testing::PrintToString(std::string(text));
    for (const char* text : kept)
        EXPECT_EQ(DropCutCharacter(text), text) << testing::PrintToString(std::string(text));
}
