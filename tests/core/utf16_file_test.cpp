// UTF-16 SubRip files read as their UTF-8 twins.
#include "core/SrtReader.h"

#include "tests/core/test_util.h"

// Every cue as the schedule reads it: "start end [text]".
static std::string Play(const std::string& bytes)
{
    TempFile file(bytes);
    CSrtReader r;
    std::string seen = r.Open(file.Path(), 0) ? "" : "not opened";
    while (!r.IsAtEnd())
        seen += std::to_string(r.m_dStart) + " [" + r.ReadText() + "]\n", r.ReadHeader();
    return seen;
}

TEST(Utf16File, PlaysAsItsUtf8Twin)
{
    std::string many;  // past the first chunk, so pairs and CR LF fall across chunk ends
    for (int i = 1; i < 3000; ++i)
        many += Crlf(std::to_string(i) + "\n0:0:" + std::to_string(i) + ",0 --> 1:0:0,0\n\xC3\xA9 \xF0\x9F\x98\x80\n\n");
    const std::string twins[] = {
        kThreeCues, many, "\xEF\xBB\xBF" + kThreeCues,
        "1\r0:0:1,0 --> 0:0:2,0\rOld Mac\r\r2\n0:0:3,0 --> 0:0:4,0\n\xE6\x97\xA5\xE6\x9C\xAC\n\n",
        "1\n0:0:1,0 --> 0:0:2,0\nCut\x1Ahidden\n\n2\n0:0:3,0 --> 0:0:4,0\nNever\n\n",
    };
    for (const std::string& utf8 : twins) {
        EXPECT_EQ(Play(Utf16(utf8, true)), Play(utf8)) << utf8.substr(0, 40);
        EXPECT_EQ(Play(Utf16(utf8, false)), Play(utf8)) << utf8.substr(0, 40);
    }
}

// Only a high surrogate (D800-DBFF) followed by a low one (DC00-DFFF) is a character; every other surrogate,
// and an odd last byte, reads as U+FFFD on its own.
TEST(Utf16File, SurrogatesOutsideAPairReadAsReplacementCharacters)
{
    const std::string r = "\xEF\xBF\xBD", head = "1\n0:0:1,0 --> 0:0:2,0\n";
    const struct { std::u16string units; std::string text; } cases[] = {
        {{0xD83D, 0xDE00, 0xD800, 0xDC00, 0xDBFF, 0xDFFF}, "\xF0\x9F\x98\x80\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"},
        {{'A', 0xD800, 'B', 0xDBFF}, "A" + r + "B" + r},  // a high one before a letter, at the end
        {{0xD800, 0xD83D, 0xDE00}, r + "\xF0\x9F\x98\x80"},  // high, high: the second pairs with what follows
        {{0xDC00, 0xD800, 0xDC00}, r + "\xF0\x90\x80\x80"},  // low, then a pair
        {{0xDC00, 0xDFFF, 'C', 0xDFFF}, r + r + "C" + r},  // low, low; a low at the end
    };
    for (const auto& c : cases)
        for (bool little : {true, false})
            EXPECT_EQ(Play(Utf16(head, little) + Utf16(c.units, little).substr(2)), "1000.000000 [" + c.text + "]\n")
                << &c - cases << (little ? " LE" : " BE");
    EXPECT_EQ(Play(Utf16(head + "A", true) + "C"), "1000.000000 [A" + r + "]\n") << "an odd last byte";
}
