// The SubRip reader: header and text reads, opening and skipping, the end.
#include "playback/SrtReader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

// A SubRip file in the temp folder, removed again at the end.
class TempSrt {
public:
    explicit TempSrt(const std::string& bytes)
    {
        static int counter = 0;
        std::random_device device;
        const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
        m_path = std::filesystem::temp_directory_path() /
                 ("kelvane_srt_" + std::to_string(device()) + "_" + std::to_string(tick % 1000000) + "_" +
                  std::to_string(++counter) + ".srt");
        std::ofstream out(m_path, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ~TempSrt()
    {
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }
    std::string Path() const { return m_path.string(); }

private:
    std::filesystem::path m_path;
};

// LF line ends to CR LF.
std::string Crlf(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

const std::string kThreeCues =
    "1\n00:00:01,000 --> 00:00:03,500\nOne\n\n"
    "2\n00:00:05,000 --> 00:00:07,000\nTwo\nlines\n\n"
    "3\n00:00:08,250 --> 00:00:09,000\nThree\n\n";

void ExpectEndMembers(const CSrtReader& r, int32_t h, int32_t m, int32_t s, int32_t ms)
{
    EXPECT_EQ(r.m_nEndHour, h);
    EXPECT_EQ(r.m_nEndMin, m);
    EXPECT_EQ(r.m_nEndSec, s);
    EXPECT_EQ(r.m_nEndMillis, ms);
}

// ---------------------------------------------------------------------------

TEST(SrtReaderBasics, ConstructedReaderHasNoStream)
{
    CSrtReader r;
    EXPECT_TRUE(r.IsAtEnd());
    EXPECT_EQ(r.m_dStart, 0);
    EXPECT_EQ(r.m_dEnd, 0);
    EXPECT_EQ(r.m_nIndex, 0);
    EXPECT_EQ(r.ReadText(), "");
    r.ReadHeader();  // nothing to read: changes nothing
    EXPECT_EQ(r.m_dStart, 0);
    EXPECT_TRUE(r.IsAtEnd());
}

TEST(SrtReaderBasics, CrLfBlock)
{
    TempSrt file(Crlf("1\n00:00:01,000 --> 00:00:02,500\nHello\nWorld\n\n"));
    CSrtReader r;
    ASSERT_TRUE(r.Open(file.Path(), 0));
    EXPECT_EQ(r.m_nIndex, 1);
    EXPECT_EQ(r.m_dStart, 1000);
    EXPECT_EQ(r.m_dEnd, 2500);
    EXPECT_EQ(r.ReadText(), "Hello\nWorld");
    EXPECT_EQ(r.m_strText, "Hello\nWorld");
    EXPECT_FALSE(r.IsAtEnd());
}

TEST(SrtReaderBasics, TimesFromTheComponents)
{
    struct Case {
        const char* line;
        double start, end;
    } cases[] = {
        {"01:02:03,456 --> 01:02:04,000", 3723456, 3724000},
        {"00:00:01,5 --> 00:00:02,05", 1005, 2005},       // milliseconds are a plain count
        {"00:90:00,000 --> 00:00:00,000", 5400000, 0},    // no range test
        {"-1:00:00,000 --> 2147483647:59:59,999", -3600000, 2147483647.0 * 3600000 + 3599999},
    };
    for (const Case& c : cases) {
        TempSrt file(std::string("1\n") + c.line + "\nText\n\n");
        CSrtReader r;
        ASSERT_TRUE(r.Open(file.Path(), -1e18)) << c.line;
        EXPECT_EQ(r.m_dStart, c.start) << c.line;
        EXPECT_EQ(r.m_dEnd, c.end) << c.line;
    }
}

TEST(SrtReaderBasics, CuesInFileOrderWhateverTheirNumbers)
{
    TempSrt file("9\n00:00:05,000 --> 00:00:06,000\nA\n\n\n\n"
                 "-4\n00:00:01,000 --> 00:00:02,000\nB\n\n");
    CSrtReader r;
    ASSERT_TRUE(r.Open(file.Path(), 0));
    EXPECT_EQ(r.m_nIndex, 9);
    EXPECT_EQ(r.ReadText(), "A");
    r.ReadHeader();  // the extra empty lines are skipped
    EXPECT_EQ(r.m_nIndex, -4);
    EXPECT_EQ(r.m_dStart, 1000);
    EXPECT_EQ(r.ReadText(), "B");
}

// ---------------------------------------------------------------------------

TEST(SrtReaderText, LeadingBlanksOfTheFirstLineOnly)
{
    TempSrt file("1\n00:00:01,000 --> 00:00:02,000\n   First\n  second\n\n");
    CSrtReader r;
    ASSERT_TRUE(r.Open(file.Path(), 0));
    EXPECT_EQ(r.ReadText(), "First\n  second");
}

TEST(SrtReaderText, RestOfTheTimingLineBeginsTheText)
{
    TempSrt file("1\n00:00:01,000 --> 00:00:02,000 X1:10 Y1:20\nText\n\n");
    CSrtReader r;
    ASSERT_TRUE(r.Open(file.Path(), 0));
    EXPECT_EQ(r.ReadText(), "X1:10 Y1:20\nText");
}

TEST(SrtReaderText, SeparatorLineWithASpaceJoinsTheBlocks)
{
    TempSrt file("1\n00:00:01,000 --> 00:00:02,000\nA\n \n2\n00:00:03,000 --> 00:00:04,000\nB\n\n"
                 "3\n00:00:05,000 --> 00:00:06,000\nC\n\n");
    CSrtReader r;
    ASSERT_TRUE(r.Open(file.Path(), 0));
    EXPECT_EQ(r.ReadText(), "A\n \n2\n00:00:03,000 --> 00:00:04,000\nB");
    r.ReadHeader();
    EXPECT_EQ(r.m_nIndex, 3);
    EXPECT_EQ(r.ReadText(), "C");
}

TEST(SrtReaderText, CueWithoutTextSwallowsTheNextBlock)
{
    TempSrt file("1\n00:00:01,000 --> 00:00:02,000\n\n"
                 "2\n00:00:03,000 --> 00:00:04,000\nB\n\n"
                 "3\n00:00:05,000 --> 00:00:06,000\nC\n\n");
    CSrtReader r;
    ASSERT_TRUE(r.Open(file.Path(), 0));
    EXPECT_EQ(r.m_dStart, 1000);
    EXPECT_EQ(r.ReadText(), "2\n00:00:03,000 --> 00:00:04,000\nB");
    r.ReadHeader();
    EXPECT_EQ(r.m_nIndex, 3);
    EXPECT_EQ(r.m_dStart, 5000);
}

TEST(SrtReaderText, MalformedHeaderMixesTimesAndBecomesText)
{
    TempSrt file("1\n00:00:01,000 --> 00:00:02,000\nA\n\n"
                 "2\n00:00:03.500 --> 00:00:04,000\nB\n\n"
                 "3\n00:00:05,000 --> 00:00:06,000\nC\n\n");
    CSrtReader r;
    ASSERT_TRUE(r.Open(file.Path(), 0));
    EXPECT_EQ(r.ReadText(), "A");
    r.ReadHeader();
    EXPECT_EQ(r.m_nIndex, 2);
    EXPECT_EQ(r.m_nStartSec, 3);
    EXPECT_EQ(r.m_nStartMillis, 0);  // kept from the previous header
    ExpectEndMembers(r, 0, 0, 2, 0);
    EXPECT_EQ(r.m_dStart, 3000);
    EXPECT_EQ(r.m_dEnd, 2000);
    EXPECT_EQ(r.ReadText(), ".500 --> 00:00:04,000\nB");
    EXPECT_FALSE(r.IsAtEnd());
    r.ReadHeader();
    EXPECT_EQ(r.m_nIndex, 3);
    EXPECT_EQ(r.m_dStart, 5000);
    EXPECT_EQ(r.m_dEnd, 6000);
}

TEST(SrtReaderText, FiveHundredReadsKeep498Characters)
{
    // 600 characters without an empty line: the 499th and 500th are dropped and
    // the next header read begins at the 501st.
    const std::string kept(498, 'a');
    TempSrt file("1\n00:00:01,000 --> 00:00:02,000\n" + kept + "XY" +
                 "7\n00:00:07,000 --> 00:00:08,000\nNext\n\n");
    CSrtReader r;
    ASSERT_TRUE(r.Open(file.Path(), 0));
    EXPECT_EQ(r.ReadText(), kept);
    r.ReadHeader();
    EXPECT_EQ(r.m_nIndex, 7);
    EXPECT_EQ(r.m_dStart, 7000);
    EXPECT_EQ(r.ReadText(), "Next");

    // A long text over several lines: the rest of the block is read as a
    // malformed header, then as text up to its empty line.
    std::string lines;
    for (int i = 0; i < 120; ++i)
        lines += "abcd\n";
    TempSrt longText("1\n00:00:01,000 --> 00:00:02,000\n" + lines + "\n2\n00:00:03,000 --> 00:00:04,000\nB\n\n");
    CSrtReader r2;
    ASSERT_TRUE(r2.Open(longText.Path(), 0));
    EXPECT_EQ(r2.ReadText(), lines.substr(0, 498));
    r2.ReadHeader();
    EXPECT_EQ(r2.m_nIndex, 1);  // "abcd" does not match: nothing assigned
    EXPECT_EQ(r2.ReadText(), lines.substr(500, lines.size() - 501));
    r2.ReadHeader();
    EXPECT_EQ(r2.m_nIndex, 2);
}

TEST(SrtReaderText, EmptyLineAtReads499And500)
{
    const std::string kept(497, 'b');
    TempSrt file("1\n00:00:01,000 --> 00:00:02,000\n" + kept + "c\n\n2\n00:00:03,000 --> 00:00:04,000\nB\n\n");
    CSrtReader r;
    ASSERT_TRUE(r.Open(file.Path(), 0));
    EXPECT_EQ(r.ReadText(), kept + "c");
    r.ReadHeader();
    EXPECT_EQ(r.m_nIndex, 2);
    EXPECT_EQ(r.ReadText(), "B");
}

TEST(SrtReaderText, NulEndsTheText)
{
    TempSrt file(std::string("1\n00:00:01,000 --> 00:00:02,000\nHel\0lo\nmore\n\n", 45) +
                 "2\n00:00:03,000 --> 00:00:04,000\nB\n\n");
    CSrtReader r;
    ASSERT_TRUE(r.Open(file.Path(), 0));
    EXPECT_EQ(r.ReadText(), "Hel");
    r.ReadHeader();  // the rest of the block was still read
    EXPECT_EQ(r.m_nIndex, 2);
    EXPECT_EQ(r.ReadText(), "B");
}

TEST(SrtReaderText, BytesAsTheyAre)
{
    TempSrt file("1\n00:00:01,000 --> 00:00:02,000\n\xFF\xC3\xA9\r\t\x01\xEF\xBB\xBF\n\n");
    CSrtReader r;
    ASSERT_TRUE(r.Open(file.Path(), 0));
    EXPECT_EQ(r.ReadText(), "\xFF\xC3\xA9\r\t\x01\xEF\xBB\xBF");
    EXPECT_FALSE(r.IsAtEnd());
}

// ---------------------------------------------------------------------------

TEST(SrtReaderByteOrderMark, SkippedAtTheStartOfTheFile)
{
    TempSrt file("\xEF\xBB\xBF" + Crlf("1\n00:00:01,000 --> 00:00:02,000\nHello\n\n"
                                        "2\n00:00:03,000 --> 00:00:04,000\nWorld\n\n"));
    CSrtReader r;
    ASSERT_TRUE(r.Open(file.Path(), 0));
    EXPECT_EQ(r.m_nIndex, 1);
    EXPECT_EQ(r.m_dStart, 1000);
    EXPECT_EQ(r.m_dEnd, 2000);
    EXPECT_EQ(r.ReadText(), "Hello");

    TempSrt onlyMark("\xEF\xBB\xBF");
    CSrtReader empty;
    EXPECT_FALSE(empty.Open(onlyMark.Path(), 0));
    EXPECT_TRUE(empty.IsAtEnd());
}

// ---------------------------------------------------------------------------

TEST(SrtReaderOpen, SkipsCuesThatStartBeforeTheOffset)
{
    TempSrt file(kThreeCues);
    {
        CSrtReader r;
        ASSERT_TRUE(r.Open(file.Path(), 2000));
        EXPECT_EQ(r.m_nIndex, 2);
        EXPECT_EQ(r.m_dStart, 5000);
        EXPECT_EQ(r.ReadText(), "Two\nlines");
    }
    {
        CSrtReader r;  // exactly at a start: that cue is played
        ASSERT_TRUE(r.Open(file.Path(), 8250));
        EXPECT_EQ(r.m_nIndex, 3);
    }
    {
        CSrtReader r;  // later than the last start: nothing to play
        EXPECT_FALSE(r.Open(file.Path(), 8251));
        EXPECT_TRUE(r.IsAtEnd());
        EXPECT_EQ(r.m_dStart, 8250);  // the end left the last times in place
    }
}

TEST(SrtReaderOpen, ACueStillOnScreenAtTheOffsetIsSkipped)
{
    TempSrt file("1\n00:09:59,000 --> 00:10:03,000\nA\n\n2\n00:10:05,000 --> 00:10:06,000\nB\n\n");
    CSrtReader r;
    ASSERT_TRUE(r.Open(file.Path(), 600000));
    EXPECT_EQ(r.m_nIndex, 2);
    EXPECT_EQ(r.m_dStart, 605000);
}

TEST(SrtReaderOpen, NothingToPlay)
{
    TempSrt empty("");
    CSrtReader r1;
    EXPECT_FALSE(r1.Open(empty.Path(), 0));
    EXPECT_TRUE(r1.IsAtEnd());

    // The header read of the cue where the skip stops meets the end.
    TempSrt blankTail("1\n00:00:01,000 --> 00:00:02,000\n \r\n\t\n\n  ");
    CSrtReader r2;
    EXPECT_FALSE(r2.Open(blankTail.Path(), 0));
    EXPECT_EQ(r2.m_dStart, 1000);

    CSrtReader r3;
    EXPECT_FALSE(r3.Open(empty.Path() + ".missing", 0));
    EXPECT_TRUE(r3.IsAtEnd());
    EXPECT_EQ(r3.m_fp, nullptr);
    EXPECT_EQ(r3.ReadText(), "");

    TempSrt ctrlZ("\x1A" "1\n00:00:01,000 --> 00:00:02,000\nA\n\n");
    CSrtReader r4;
    EXPECT_FALSE(r4.Open(ctrlZ.Path(), 0));
}

// ---------------------------------------------------------------------------

TEST(SrtReaderEnd, LastBlockFollowedByAnEmptyLine)
{
    TempSrt file(kThreeCues);
    CSrtReader r;
    ASSERT_TRUE(r.Open(file.Path(), 8000));
    EXPECT_EQ(r.ReadText(), "Three");
    EXPECT_FALSE(r.IsAtEnd());
    r.ReadHeader();
    EXPECT_TRUE(r.IsAtEnd());
    EXPECT_EQ(r.m_nIndex, 3);
    EXPECT_EQ(r.m_dStart, 8250);
    EXPECT_EQ(r.m_dEnd, 9000);
    // From now on nothing changes.
    EXPECT_EQ(r.ReadText(), "");
    r.ReadHeader();
    EXPECT_TRUE(r.IsAtEnd());
    EXPECT_EQ(r.m_dStart, 8250);
}

TEST(SrtReaderEnd, LastBlockEndedByASingleLineEnd)
{
    TempSrt file(Crlf("1\n00:00:01,000 --> 00:00:02,000\nHello\nWorld\n"));
    CSrtReader r;
    ASSERT_TRUE(r.Open(file.Path(), 0));
    EXPECT_EQ(r.ReadText(), "Hello\nWorld");
    EXPECT_TRUE(r.IsAtEnd());
}

TEST(SrtReaderEnd, LastLineWithoutLineEndKeepsAllItsCharacters)
{
    TempSrt file("1\n00:00:01,000 --> 00:00:02,000\nHello\nWorld");
    CSrtReader r;
    ASSERT_TRUE(r.Open(file.Path(), 0));
    EXPECT_EQ(r.ReadText(), "Hello\nWorld");
    EXPECT_TRUE(r.IsAtEnd());

    TempSrt lone("1\n00:00:01,000 --> 00:00:02,000\nX");
    CSrtReader r2;
    ASSERT_TRUE(r2.Open(lone.Path(), 0));
    EXPECT_EQ(r2.ReadText(), "X");
}

TEST(SrtReaderEnd, FiveHundredthReadMeetsTheEnd)
{
    // 499 characters and then the end: all 499 stay.
    const std::string text = std::string(498, 'd') + "e";
    TempSrt file("1\n00:00:01,000 --> 00:00:02,000\n" + text);
    CSrtReader r;
    ASSERT_TRUE(r.Open(file.Path(), 0));
    EXPECT_EQ(r.ReadText(), text);
    EXPECT_TRUE(r.IsAtEnd());

    // 498 characters and a line end: the line end goes.
    TempSrt withLineEnd("1\n00:00:01,000 --> 00:00:02,000\n" + std::string(498, 'd') + "\r\n");
    CSrtReader r2;
    ASSERT_TRUE(r2.Open(withLineEnd.Path(), 0));
    EXPECT_EQ(r2.ReadText(), std::string(498, 'd'));
    EXPECT_TRUE(r2.IsAtEnd());

    // 500 characters and then the end: the 500-read rule, not the end.
    TempSrt longer("1\n00:00:01,000 --> 00:00:02,000\n" + std::string(500, 'f'));
    CSrtReader r3;
    ASSERT_TRUE(r3.Open(longer.Path(), 0));
    EXPECT_EQ(r3.ReadText(), std::string(498, 'f'));
    EXPECT_FALSE(r3.IsAtEnd());
    r3.ReadHeader();
    EXPECT_TRUE(r3.IsAtEnd());
}

TEST(SrtReaderEnd, CtrlZInTheMiddleEndsTheFile)
{
    TempSrt file("1\n00:00:01,000 --> 00:00:02,000\nA\x1A" "B\n\n2\n00:00:03,000 --> 00:00:04,000\nC\n\n");
    CSrtReader r;
    ASSERT_TRUE(r.Open(file.Path(), 0));
    EXPECT_EQ(r.ReadText(), "A");
    EXPECT_TRUE(r.IsAtEnd());
    r.ReadHeader();
    EXPECT_EQ(r.m_nIndex, 1);
}

// The whole read order of the playback schedule on a CR LF file, cue by cue.
TEST(SrtReaderEnd, ScheduleOrderThroughAFile)
{
    TempSrt file(Crlf(kThreeCues));
    CSrtReader r;
    ASSERT_TRUE(r.Open(file.Path(), 0));
    std::string seen;
    for (int guard = 0; guard < 10; ++guard) {
        seen += std::to_string(static_cast<long long>(r.m_dStart)) + "-" +
                std::to_string(static_cast<long long>(r.m_dEnd)) + ":" + r.ReadText() + "|";
        if (r.IsAtEnd())
            break;
        r.ReadHeader();
        if (r.IsAtEnd())
            break;
    }
    EXPECT_EQ(seen, "1000-3500:One|5000-7000:Two\nlines|8250-9000:Three|");
}

// ---------------------------------------------------------------------------

// Every cue as the schedule reads it, one line per cue.
std::string PlayAll(const std::string& path)
{
    CSrtReader r;
    if (!r.Open(path, 0))
        return "not opened";
    std::string seen;
    for (int guard = 0; guard < 100; ++guard) {
        seen += std::to_string(r.m_nIndex) + " " + std::to_string(static_cast<long long>(r.m_dStart)) + " " +
                std::to_string(static_cast<long long>(r.m_dEnd)) + " [" + r.ReadText() + "]\n";
        if (r.IsAtEnd())
            break;
        r.ReadHeader();
        if (r.IsAtEnd())
            break;
    }
    return seen;
}

TEST(SrtReaderBufferBoundary, BlocksCutAtAnyPlaceReadTheSame)
{
    // The file is read in large chunks; a header, a text, a CR LF pair or the
    // 500-read window cut by a chunk boundary must read as when whole.
    const std::string blocks =
        Crlf("1\n00:00:01,000 --> 00:00:02,000\nHello\nWorld\n\n") +
        "2\n00:00:03,000 --> 00:00:04,000\n" + std::string(520, 'x') + "\n\n" +
        "3 -1:+2:3,4 --> 5:6:7,8 X1:5\r\n\r\n  text\r\n  more\n\n\n\n" +
        "4\n00:00:09.000 --> 0:0:10,0\nDot\n\n" +
        "5\n00:00:11,000 --> 00:00:12,000\nLast\r\n";
    const std::string expected =
        "1 1000 2000 [Hello\nWorld]\n"
        "2 3000 4000 [" + std::string(498, 'x') + "]\n"
        "2 3000 4000 [" + std::string(20, 'x') + "]\n"
        "3 -3476996 18367008 [X1:5]\n"
        "3 -3476996 18367008 [text\n  more]\n"  // the failed header read skipped the blanks
        "4 9004 18367008 [.000 --> 0:0:10,0\nDot]\n"
        "5 11000 12000 [Last]\n";
    TempSrt whole(blocks);
    ASSERT_EQ(PlayAll(whole.Path()), expected);

    const size_t chunk = 64 * 1024;
    for (size_t cut = 0; cut <= blocks.size(); cut += (cut < 80 || cut > 520 ? 1 : 37)) {
        // Blank lines in front move the chunk boundary to blocks[cut].
        TempSrt shifted(std::string(chunk - cut, '\n') + blocks);
        ASSERT_EQ(PlayAll(shifted.Path()), expected) << "cut at " << cut;
    }
}

}  // namespace
