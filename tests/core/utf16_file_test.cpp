// UTF-16 SubRip files read as their UTF-8 twins.
#include "playback/SrtReader.h"

#include "tests/core/test_util.h"

// UTF-8 to UTF-16 with a byte-order mark, little- or big-endian.
static std::string Utf16(const std::string& utf8, bool little)
{
    std::string out = little ? "\xFF\xFE" : "\xFE\xFF";
    auto put = [&](unsigned unit) {
        const char hi = static_cast<char>(unit >> 8), lo = static_cast<char>(unit & 0xFF);
        out += little ? std::string{lo, hi} : std::string{hi, lo};
    };
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = utf8[i];
        const int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        unsigned code = n == 1 ? c : c & (0x3F >> (n - 1));
        for (int k = 1; k < n; ++k)
            code = (code << 6) | (utf8[i + k] & 0x3F);
        i += n;
        if (code >= 0x10000) {
            put(0xD800 + ((code - 0x10000) >> 10));
            code = 0xDC00 + (code & 0x3FF);
        }
        put(code);
    }
    return out;
}

// Every cue as the schedule reads it: "start end [text]".
static std::string Play(const std::string& bytes)
{
    TempFile file(bytes);
    CSrtReader r;
    std::string seen = r.Open(file.Path(), 0) ? "" : "not opened";
    while (!r.IsAtEnd() && seen.size() < 200000) {
        seen += std::to_string(r.m_dStart) + " " + std::to_string(r.m_dEnd) + " [" + r.ReadText() + "]\n";
        r.ReadHeader();
    }
    return seen;
}

TEST(Utf16File, PlaysAsItsUtf8Twin)
{
    std::string many;  // past the first chunk, so pairs and CR LF fall across chunk ends
    for (int i = 1; i < 3000; ++i)
        many += Crlf(std::to_string(i) + "\n00:00:0" + std::to_string(i % 10) + ",000 --> 00:01:00,000\n"
                     "Caf\xC3\xA9 \xF0\x9F\x98\x80 " + std::to_string(i) + "\n\n");
    const std::string twins[] = {
        kThreeCues, Crlf(kThreeCues), many,
        "1\r00:00:01,000 --> 00:00:02,000\rOld Mac\r\r2\n0:0:3,0 --> 0:0:4,0\n\xE6\x97\xA5\xE6\x9C\xAC\n\n",
        "1\n00:00:01,000 --> 00:00:02,000\nCut\x1Ahidden\n\n2\n0:0:3,0 --> 0:0:4,0\nNever\n\n",
        "\xEF\xBB\xBF" + kThreeCues,  // a UTF-8 mark inside the UTF-16 file, as in its twin
    };
    for (const std::string& utf8 : twins) {
        SCOPED_TRACE(utf8.substr(0, 60));
        const std::string expected = Play(utf8);
        EXPECT_EQ(Play(Utf16(utf8, true)), expected);
        EXPECT_EQ(Play(Utf16(utf8, false)), expected);
    }
    // Units that are no character read as U+FFFD; an empty UTF-16 file has no cue.
    const std::string bad = Utf16("1\n0:0:1,0 --> 0:0:2,0\nA", true) + std::string("\x00\xD8" "B\x00\x00\xDC", 6) + "C";
    EXPECT_EQ(Play(bad), "1000.000000 2000.000000 [A\xEF\xBF\xBD" "B\xEF\xBF\xBD\xEF\xBF\xBD]\n");
    EXPECT_EQ(Play("\xFE\xFF"), "not opened");
}
