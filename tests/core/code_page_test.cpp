// Files in a code page read as their UTF-8 twins, in a double-byte code page of the test's own: a byte from 0x80
// and the one after it are U+0100 + that one. Code page 0, the ANSI one, is Latin-1 here.
#include "core/AssReader.h"
#include "core/TextStream.h"
#include "core/VttReader.h"

#include "tests/core/test_util.h"

static std::string Decode(unsigned codePage, const char* text, size_t length) {
    std::u16string out;
    for (size_t i = 0; i < length; ++i)
        out += codePage == 0 || !(text[i] & 0x80) ? char16_t(uint8_t(text[i])) : i + 1 < length ? char16_t(0x100 + uint8_t(text[++i])) : u'\xFFFD';
    return Utf16ToUtf8(out);
}

TEST(CodePage, FilesReadAsTheirUtf8Twins) {
    const CFileEncoding auto_{0, Decode}, doubleByte{1, Decode};
    const std::string ass = "[Script Info]\n[Events]\nDialogue: 0,0:00:01.00,0:00:02.00,D,,0,0,0,,", vtt = "WEBVTT\n\n00:01.000 --> 00:02.000\n";
    CAssReader a;
    CVttReader v;
    const struct { CCueReader& reader; std::string bytes; CFileEncoding encoding; std::string cues; } cases[] = {
        // \ { } as trail bytes are no overrides, with the code page and in the ANSI one (auto, not UTF-8 text).
        {a, ass + "\x81\\N\x81{x\x81}\\Ny\n", doubleByte, "1000 2000 #1 \xC5\x9CN\xC5\xBBx\xC5\xBD\ny\n"},
        {a, ass + "\xE9\\N\xE8\n", auto_, "1000 2000 #1 \xC3\xA9\n\xC3\xA8\n"},
        {a, ass + "\xC3\xA9\\Nx\n", auto_, "1000 2000 #1 \xC3\xA9\nx\n"},  // UTF-8 text stays
        {a, ass + "\xE9\\Nx\n", {}, "1000 2000 #1 \xE9\nx\n"},            // no conversion: the bytes
        {v, vtt + "\x81\x41\x81<\n", doubleByte, "1000 2000 #1 \xC5\x81\xC4\xBC\n"},
        {v, vtt + "\x81\x41\n", auto_, "1000 2000 #1 \x81\x41\n"},  // auto keeps a file's bytes
        // A byte-order mark, UTF-8 or UTF-16, wins over the code page.
        {v, "\xEF\xBB\xBF" + vtt + "\xC5\x81\n", doubleByte, "1000 2000 #1 \xC5\x81\nmark"},
        {v, Utf16(vtt + "\xC5\x81\n", true), doubleByte, "1000 2000 #1 \xC5\x81\nmark"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadCues(c.reader, c.bytes, c.encoding), c.cues) << &c - cases;
    // Converted a piece at a time, each ending at a line end: a pair is never cut, wherever the piece would end.
    std::string pairs, twin;
    for (int i = 0; i < 100; ++i)
        pairs += "\x81\x41", twin += "\xC5\x81";
    for (size_t cut = CTextStream::kBufferSize / 4 - 230; cut < CTextStream::kBufferSize / 4 - 20; ++cut)
        ASSERT_EQ(ReadCues(v, "WEBVTT\n" + std::string(cut, '\n') + vtt.substr(8) + pairs, doubleByte), "1000 2000 #1 " + twin + "\n") << cut;
}
