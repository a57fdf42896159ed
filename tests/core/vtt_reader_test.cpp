// The WebVTT reader: blocks, times, what is skipped, and the cue text markup in the canonical form.
#include "core/MarkupWriter.h"
#include "core/TextStream.h"
#include "core/VttReader.h"

#include "tests/core/test_util.h"

static std::string Vtt(const std::string& bytes) {
    CVttReader reader;
    return ReadCues(reader, bytes);
}

TEST(VttReader, Files) {
    const std::string two = "00:01.000 --> 00:02.000\nOne\n\n00:03.000 --> 00:04.000\nTwo\n";
    const struct { std::string bytes, cues; } cases[] = {
        // The format's own example: header lines, identifiers, a NOTE between cues, settings, hours omitted.
        {"WEBVTT - This file has cues\nKind: captions\n\n14\n00:01:14.815 --> 00:01:18.114 align:start line:0\n"
         "- What?\n- Where are we now?\n\nNOTE This is a comment\nthat runs over two lines\n\n"
         "crédit de transition\n00:01:18.171 --> 00:01:20.991 position:10%,line-left size:35%\n- This is big bat country.\n",
         "74815 78114 #1 - What?\n- Where are we now?\n78171 80991 #2 - This is big bat country.\n"},
        {"WEBVTT\n\nSTYLE\n::cue { color: yellow }\n\nREGION\nid:fred width:40%\n\n" + two,
         "1000 2000 #1 One\n3000 4000 #2 Two\n"},
        // Hours of any count of digits, up to the last time below 2^53 ms; minutes and seconds below 60.
        {"WEBVTT\n\n01:02:03.456 --> 100:00:00.000\nH\n\n2501999792:00:00.000 --> 2501999792:59:00.992\n2^53\n\n"
         "2501999792:59:00.990 --> 2501999792:59:00.991\nLast exact\n\n00:60:00.000 --> 02:00:00.000\nM\n\n"
         "00:00:60.000 --> 01:00:00.000\nS\n",
         "3723456 360000000 #1 H\n9007199254740990 9007199254740991 #2 Last exact\n"},
        // Malformed blocks are skipped: one-digit minutes, 60 seconds, two-digit ms, no arrow, no end.
        {"WEBVTT\n\n0:01.000 --> 00:02.000\nA\n\n00:60.000 --> 01:00.000\nB\n\n00:01.00 --> 00:02.000\nC\n\n"
         "00:01.000 -> 00:02.000\nD\n\n00:01.000 -->\nE\n\n00:05.000-->00:06.000\nF\n",
         "5000 6000 #1 F\n"},
        // An end not after the start and a text that shows nothing are skipped; a one-digit hour reads.
        {"WEBVTT\n\n00:02.000 --> 00:02.000\nA\n\n00:03.000 --> 00:01.000\nB\n\n00:04.000 --> 00:05.000\n<i></i>\n\n"
         "00:06.000 --> 00:07.000\n\n1:00:00.000 --> 1:00:01.000\nE\n",
         "3600000 3601000 #1 E\n"},
        // A line with "-->" starts the next cue even without an empty line; an identifier alone is no cue.
        {"WEBVTT\n00:01.000 --> 00:02.000\nOne\n00:03.000 --> 00:04.000\nTwo\nx\n\nlonely id\n\nid\nnot a timing\n"
         "00:05.000 --> 00:06.000\nThree\n",
         "1000 2000 #1 One\n3000 4000 #2 Two\nx\n5000 6000 #3 Three\n"},
        // Line ends CR LF and CR alone; byte-order marks UTF-8 and UTF-16; a Ctrl-Z ends the file.
        {Crlf("WEBVTT\n\n" + two), "1000 2000 #1 One\n3000 4000 #2 Two\n"},
        {"WEBVTT\r\r01:01.000 --> 01:02.000\rOne\rmore\r\r00:03.000 --> 00:04.000\rTwo\r",
         "61000 62000 #1 One\nmore\n3000 4000 #2 Two\n"},
        {"\xEF\xBB\xBFWEBVTT\n\n" + two, "1000 2000 #1 One\n3000 4000 #2 Two\nmark"},
        {Utf16("WEBVTT\r\n\r\n00:01.000 --> 00:02.000\r\n\xC3\xA9t\xC3\xA9\r\n", false), "1000 2000 #1 \xC3\xA9t\xC3\xA9\nmark"},
        {"WEBVTT\n\n00:01.000 --> 00:02.000\nOne\x1A\n\n00:03.000 --> 00:04.000\nTwo\n", "1000 2000 #1 One\n"},
        {"WEBVTT", ""}, {"WEBVTT\t\n\nNOTE only", ""},
        {"WEBVTTX\n\n" + two, "not opened"}, {"\nWEBVTT\n\n" + two, "not opened"}, {"", "not opened"},
    };
    for (const auto& row : cases)
        EXPECT_EQ(Vtt(row.bytes), row.cues) << row.bytes.substr(0, 60);
    CVttReader reader;
    EXPECT_FALSE(reader.Open("/nonexistent/kelvane.vtt"));
}

TEST(VttReader, AbsurdInputPlaysWhatItCan) {
    // A 10 MB line, 7,000 levels of open tags, then a cue after each: the text is cut within the bound.
    const std::string after = "\n\n00:09.000 --> 00:10.000\nAfter\n";
    const std::string cues = Vtt("WEBVTT\n\n00:01.000 --> 00:02.000\n" + std::string(10000000, 'x') + after);
    EXPECT_EQ(cues.substr(0, 17), "1000 2000 #1 xxxx");
    EXPECT_LE(cues.find('\n'), 13 + kMaxCueText);
    EXPECT_EQ(cues.substr(cues.find('\n')), "\n9000 10000 #2 After\n");
    std::string deep;
    for (int i = 0; i < 7000; ++i)
        deep += "<i><ruby>";
    EXPECT_EQ(Vtt("WEBVTT\n\n00:01.000 --> 00:02.000\n" + deep + "x" + after), "1000 2000 #1 <i>x</i>\n9000 10000 #2 After\n");
    // Cut between characters.
    std::string text(6000, 'a');
    for (size_t i = 0; i < text.size(); i += 2)
        text.replace(i, 2, "\xC3\xA9");
    std::string out;
    ASSERT_TRUE(ConvertVttText(text, out));
    EXPECT_TRUE(out.size() <= kMaxCueText && out.size() > kMaxCueText - 40 && out.size() % 2 == 0) << out.size();
    EXPECT_EQ(out, text.substr(0, out.size()));
}

TEST(VttReader, Markup) {
    const struct { std::string text, canonical; } cases[] = {
        {"<i>a</i> <b>b</b> <u>c</u>\n<b><i>d</i></b>", "<i>a</i> <b>b</b> <u>c</u>\n<b><i>d</i></b>"},
        {"<c.yellow.bg_blue>x</c> <v.loud Esme Tan>y</v> <lang en-GB>z</lang> <I>w</I>", "x y z w"},
        {"<ruby>\xE6\xBC\xA2<rt>kan</rt>\xE5\xAD\x97<rt>ji</rt></ruby> <rt>no ruby</rt>",
         "\xE6\xBC\xA2\xE5\xAD\x97 no ruby"},
        {"<c>a <00:01.500>b <01:00:02.000><i>c</i></c>", "a b <i>c</i>"},
        // An end tag closes only the innermost tag, and only when it is of its kind.
        {"<b>bold <i>both</b> still</i> end", "<b>bold <i>both still</i> end</b>"},
        {"x </i> <i>open\nto the end", "x  <i>open\nto the end</i>"},
        {"&amp;&lt;&gt;&nbsp;&lrm;&rlm;&#65;&#x42;&#X43;&#0;&#xD800;&#1114112;",
         "&amp;&lt;&gt;&#160;&#8206;&#8207;ABC&#65533;&#65533;&#65533;"},
        {"&copy; & x &amp &#; &#x; &#12a;", "&amp;copy; &amp; x &amp;amp &amp;#; &amp;#x; &amp;#12a;"},
        {"3 > 2 a < b", "3 &gt; 2 a "},  // as in browsers, a lone < starts a tag
        {std::string("nul\0!", 5), "nul&#65533;!"},
    };
    for (const auto& row : cases) {
        std::string out;
        EXPECT_TRUE(ConvertVttText(row.text, out)) << row.text;
        EXPECT_EQ(out, row.canonical) << row.text;
    }
    std::string out;
    for (const char* blank : {"", "<i> </i>\n<b></b>", "<ruby><rt>only ruby text</rt></ruby>"})
        EXPECT_FALSE(ConvertVttText(blank, out)) << blank;
}

TEST(VttReader, LinesCutByTheReadBufferAnywhereReadTheSame) {
    const std::string blocks = "1\r\n00:01.000 --> 00:02.000\r\nCR LF <i>line</i>\r\n\r\n2\r00:03.000 --> 00:04.000\rCR\r\r"
                               "00:05.000 --> 00:06.000\n" + std::string(300, 'x') + "\n\n";
    const std::string expected = "1000 2000 #1 CR LF <i>line</i>\n3000 4000 #2 CR\n5000 6000 #3 " + std::string(300, 'x') + "\n";
    ASSERT_EQ(Vtt("WEBVTT\n\n" + blocks), expected);
    // Empty lines in front move the end of the first chunk to blocks[cut].
    for (size_t cut = 0; cut <= blocks.size(); cut += cut < 100 || cut > blocks.size() - 5 ? 1 : 17)
        ASSERT_EQ(Vtt("WEBVTT\n" + std::string(CTextStream::kBufferSize - 7 - cut, '\n') + blocks), expected) << "cut at " << cut;
}
