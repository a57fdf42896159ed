// The SubRip reader: header and text reads, opening and skipping, the end; UTF-16 files read as their UTF-8 twins.
#include "core/SrtReader.h"
#include "core/TextStream.h"

#include "tests/core/test_util.h"

static std::string Cue(int index, const char* times, const std::string& text) {
    return std::to_string(index) + "\n" + times + "\n" + text + "\n\n";
}
const std::string kHead = "1\n00:00:01,000 --> 00:00:02,000\n";

// Plays a file in the schedule's read order: one line "index start end [text]" per text read; "<end" when
// the text read met the end, "end" when the header read did. A file that is not opened is at its end.
static std::string Play(const std::string& bytes, double startOffset = 0, bool missing = false) {
    TempFile file(bytes);
    CSrtReader r;
    if (!r.Open(file.Path() + (missing ? ".missing" : ""), startOffset))
        return r.IsAtEnd() && r.ReadText().empty() ? "not opened" : "not opened, yet not at the end";
    std::string seen;
    for (; seen.size() < 1000000; seen += "\n") {
        seen += std::to_string(r.m_nIndex) + " " + std::to_string(static_cast<long long>(r.m_dStart)) + " " +
                std::to_string(static_cast<long long>(r.m_dEnd)) + " [" + r.ReadText() + "]";
        if (r.IsAtEnd())
            return seen + " <end";
        if (r.ReadHeader(), r.IsAtEnd())
            return seen + "\nend";
    }
    return seen;
}

TEST(SrtReader, Files) {
    const std::string a498(498, 'a'), b497(497, 'b'), b = Cue(2, "00:00:03,000 --> 00:00:04,000", "B"),
                      c = Cue(3, "00:00:05,000 --> 00:00:06,000", "C");
    const struct { std::string bytes; double offset; std::string played; } cases[] = {
        {Crlf(Cue(1, "00:00:01,000 --> 00:00:02,500", "Hello\nWorld")), 0, "1 1000 2500 [Hello\nWorld]\nend"},
        {Cue(1, "01:02:03,456 --> 01:02:04,000", "T"), 0, "1 3723456 3724000 [T]\nend"},  // below: a plain count of ms
        {Cue(1, "00:00:01,5 --> 00:00:02,05", "T"), 0, "1 1005 2005 [T]\nend"},
        {Cue(1, "-1:00:00,000 --> 2147483647:59:59,999", "T"), -1e18, "1 -3600000 7730941132799999 [T]\nend"},
        {Cue(9, "00:00:05,000 --> 00:00:06,000", "A\n\n") + b, 0, "9 5000 6000 [A]\n2 3000 4000 [B]\nend"},
        // A dot for the comma: the rest of the header becomes text, the millisecond values stay.
        {Cue(1, "00:00:01,250 --> 00:00:02,750", "A") + Cue(2, "00:00:03.500 --> 00:00:04,000", "B") + c, 0,
         "1 1250 2750 [A]\n2 3250 2750 [.500 --> 00:00:04,000\nB]\n3 5000 6000 [C]\nend"},
        {kHead + "   First\n  second\n\n", 0, "1 1000 2000 [First\n  second]\nend"},
        {"1\n00:00:01,000 --> 00:00:02,000 X1:10\nT\n\n", 0, "1 1000 2000 [X1:10\nT]\nend"},
        // A separator line holding a space, and a cue without text, take in the next block.
        {kHead + "A\n \n" + b + c, 0, "1 1000 2000 [A\n \n2\n00:00:03,000 --> 00:00:04,000\nB]\n3 5000 6000 [C]\nend"},
        {kHead + "\n" + b + c, 0, "1 1000 2000 [2\n00:00:03,000 --> 00:00:04,000\nB]\n3 5000 6000 [C]\nend"},
        // 600 characters: 498 kept, the rest skipped up to the block's empty line (also one the 500th read begins).
        {kHead + std::string(600, 'a') + "\n\n" + b, 0, "1 1000 2000 [" + a498 + "]\n2 3000 4000 [B]\nend"},
        {kHead + std::string(499, 'a') + "\n\n" + b, 0, "1 1000 2000 [" + a498 + "]\n2 3000 4000 [B]\nend"},
        {kHead + b497 + "c\n\n" + b, 0, "1 1000 2000 [" + b497 + "c]\n2 3000 4000 [B]\nend"},
        {kHead + std::string("Hel\0lo\n\n", 8) + b, 0, "1 1000 2000 [Hel]\n2 3000 4000 [B]\nend"},
        {kHead + "\xFF\xC3\xA9\r\t\x01\n\n", 0, "1 1000 2000 [\xFF\xC3\xA9\r\t\x01]\nend"},
        // A UTF-8 byte-order mark at the start is skipped; Ctrl-Z ends the file.
        {"\xEF\xBB\xBF" + Crlf(kHead + "Hello\n\n"), 0, "1 1000 2000 [Hello]\nend"}, {"\xEF\xBB\xBF", 0, "not opened"},
        {kHead + "A\x1A" "B\n\n" + b, 0, "1 1000 2000 [A] <end"}, {"\x1A" + kHead + "A\n\n", 0, "not opened"},
        // The start offset skips the cues that start before it, also one still on screen then.
        {kThreeCues, 2000, "2 5000 7000 [Two\nlines]\n3 8250 9000 [Three]\nend"},
        {kThreeCues, 8250, "3 8250 9000 [Three]\nend"}, {kThreeCues, 8251, "not opened"}, {"", 0, "not opened"},
        {kHead + " \r\n\t\n\n  ", 0, "not opened"},  // the header read where the skip stops meets the end
        // The last block: with an empty line, a single line end, no line end.
        {kThreeCues, 0, "1 1000 3500 [One]\n2 5000 7000 [Two\nlines]\n3 8250 9000 [Three]\nend"},
        {Crlf(kHead + "Hello\nWorld\n"), 0, "1 1000 2000 [Hello\nWorld] <end"},
        {kHead + "Hello\nWorld", 0, "1 1000 2000 [Hello\nWorld] <end"},
        {kHead + a498 + "e", 0, "1 1000 2000 [" + a498 + "e] <end"},  // the 500th read meets the end
        {kHead + a498 + "\r\n", 0, "1 1000 2000 [" + a498 + "] <end"},
        {kHead + std::string(500, 'a'), 0, "1 1000 2000 [" + a498 + "] <end"},
    };
    for (const auto& row : cases)
        EXPECT_EQ(Play(row.bytes, row.offset), row.played) << "row " << &row - cases;
    EXPECT_EQ(Play(kThreeCues, 0, true), "not opened") << "a missing file";
}

TEST(SrtReader, BlocksCutByTheReadBufferAnywhereReadTheSame) {
    const std::string blocks = Crlf(kHead + "Hello\nWorld\n\n") + "2\n0:0:3,0 --> 0:0:4,0\n" + std::string(520, 'x') +
                               "\n\n3 -1:+2:3,4 --> 5:6:7,8 X1:5\r\n\r\n  text\r\n\n\n4\n00:00:09.000 --> 0:0:10,0\nDot\r\n";
    const std::string expected = "1 1000 2000 [Hello\nWorld]\n2 3000 4000 [" + std::string(498, 'x') +
                                 "]\n3 -3476996 18367008 [X1:5]\n"
                                 "3 -3476996 18367008 [text]\n4 9004 18367008 [.000 --> 0:0:10,0\nDot] <end";
    ASSERT_EQ(Play(blocks), expected);
    // Empty lines in front move the end of the first chunk to blocks[cut].
    for (size_t cut = 0; cut <= blocks.size(); cut += (cut < 80 || cut > 520 ? 1 : 37))
        ASSERT_EQ(Play(std::string(CTextStream::kBufferSize - cut, '\n') + blocks), expected) << "cut at " << cut;
}

TEST(Utf16File, PlaysAsItsUtf8Twin) {
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
TEST(Utf16File, SurrogatesOutsideAPairReadAsReplacementCharacters) {
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
            EXPECT_EQ(Play(Utf16(head, little) + Utf16(c.units, little).substr(2)), "1 1000 2000 [" + c.text + "] <end")
                << &c - cases << (little ? " LE" : " BE");
    EXPECT_EQ(Play(Utf16(head + "A", true) + "C"), "1 1000 2000 [A" + r + "] <end") << "an odd last byte";
}
