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
    // Units that are no character read as U+FFFD: a lone high and low surrogate, an odd last byte.
    const std::string bad = Utf16("1\n0:0:1,0 --> 0:0:2,0\nA", true) + std::string("\x00\xD8" "B\x00\x00\xDC", 6) + "C";
    EXPECT_EQ(Play(bad), "1000.000000 [A\xEF\xBF\xBD" "B\xEF\xBF\xBD\xEF\xBF\xBD]\n");
}
