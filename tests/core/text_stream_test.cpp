// The text-mode byte stream and the cue header scanner.
#include "playback/TextStream.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

// A file in the temp folder with the given bytes, removed again at the end.
class TempFile {
public:
    explicit TempFile(const std::string& bytes)
    {
        static int counter = 0;
        std::random_device device;
        const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
        m_path = std::filesystem::temp_directory_path() /
                 ("kelvane_ts_" + std::to_string(device()) + "_" + std::to_string(tick % 1000000) + "_" +
                  std::to_string(++counter) + ".txt");
        std::ofstream out(m_path, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ~TempFile()
    {
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }
    std::string Path() const { return m_path.string(); }

private:
    std::filesystem::path m_path;
};

std::unique_ptr<CTextStream> OpenBytes(const TempFile& file)
{
    auto stream = CTextStream::Open(file.Path());
    EXPECT_NE(stream, nullptr);
    return stream;
}

// Everything the stream delivers, up to the end.
std::string ReadAll(CTextStream& in)
{
    std::string out;
    for (int c = in.Getc(); c != EOF; c = in.Getc())
        out += static_cast<char>(c);
    return out;
}

// The text-mode rules written out plainly: input ends at the first Ctrl-Z,
// and each CR LF pair becomes LF.
std::string TextModeOf(const std::string& bytes)
{
    std::string raw = bytes.substr(0, bytes.find('\x1A'));
    std::string out;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')
            continue;
        out += raw[i];
    }
    return out;
}

std::string ReadAllOf(const std::string& bytes)
{
    TempFile file(bytes);
    auto in = OpenBytes(file);
    return in ? ReadAll(*in) : std::string("<not opened>");
}

// ---------------------------------------------------------------------------

TEST(TextStreamTextMode, CrLfIsReadAsLfAndALoneCrStays)
{
    EXPECT_EQ(ReadAllOf("a\r\nb\r\n"), "a\nb\n");
    EXPECT_EQ(ReadAllOf("a\rb"), "a\rb");
    EXPECT_EQ(ReadAllOf("\r\r\n\n\r"), "\r\n\n\r");  // CR at the end of the file stays
    EXPECT_EQ(ReadAllOf("\n\r"), "\n\r");
    EXPECT_EQ(ReadAllOf("\r"), "\r");
    EXPECT_EQ(ReadAllOf(""), "");
}

TEST(TextStreamTextMode, BytesAreTakenAsTheyAre)
{
    std::string all;
    for (int c = 0; c < 256; ++c)
        if (c != '\r' && c != 0x1A)
            all += static_cast<char>(c);
    EXPECT_EQ(ReadAllOf(all), all);  // NUL and 0xFF included; 0xFF is no end of file
}

TEST(TextStreamTextMode, CtrlZEndsTheInputForGood)
{
    EXPECT_EQ(ReadAllOf("ab\x1A" "cd\r\n"), "ab");
    EXPECT_EQ(ReadAllOf("\x1A" "abc"), "");
    EXPECT_EQ(ReadAllOf("a\r\x1A\n"), "a\r");  // a CR before Ctrl-Z is a lone CR

    TempFile file("x\x1Ay");
    auto in = OpenBytes(file);
    ASSERT_TRUE(in);
    EXPECT_EQ(in->Getc(), 'x');
    EXPECT_FALSE(in->Eof());
    EXPECT_EQ(in->Getc(), EOF);
    EXPECT_TRUE(in->Eof());
    EXPECT_EQ(in->Getc(), EOF);
    EXPECT_EQ(in->Getc(), EOF);
    EXPECT_TRUE(in->Eof());
}

TEST(TextStreamTextMode, CrAtTheBufferBoundary)
{
    const size_t n = CTextStream::kBufferSize;
    const std::string fill(n - 1, 'a');
    // The CR is the last byte of one chunk; its partner is the first of the next.
    EXPECT_EQ(ReadAllOf(fill + "\r\nz"), fill + "\nz");
    EXPECT_EQ(ReadAllOf(fill + "\rz"), fill + "\rz");
    EXPECT_EQ(ReadAllOf(fill + "\r\r\n"), fill + "\r\n");
    EXPECT_EQ(ReadAllOf(fill + "\r"), fill + "\r");
    EXPECT_EQ(ReadAllOf(fill + "\r\x1A" "z"), fill + "\r");
    // A chunk that translates to nothing but the held CR's partner.
    EXPECT_EQ(ReadAllOf(fill + "\r\n" + std::string(n, 'b')), fill + "\n" + std::string(n, 'b'));
}

TEST(TextStreamTextMode, MatchesThePlainRulesOnLargeRandomFiles)
{
    std::mt19937 random(12345);
    const char alphabet[] = {'a', 'b', '\r', '\n', '\r', '\n', ' ', '\0', '\xFF'};
    for (int round = 0; round < 6; ++round) {
        std::string bytes(CTextStream::kBufferSize * 2 + static_cast<size_t>(round) * 977, 'x');
        for (char& b : bytes)
            b = alphabet[random() % sizeof alphabet];
        if (round == 5)
            bytes[bytes.size() / 2] = '\x1A';
        EXPECT_EQ(ReadAllOf(bytes), TextModeOf(bytes)) << "round " << round;
    }
}

TEST(TextStreamEndOfFile, SetOnlyByAReadPastTheEnd)
{
    TempFile file("ab\r\n");
    auto in = OpenBytes(file);
    ASSERT_TRUE(in);
    EXPECT_FALSE(in->Eof());
    EXPECT_EQ(in->Getc(), 'a');
    EXPECT_EQ(in->Getc(), 'b');
    EXPECT_EQ(in->Getc(), '\n');
    EXPECT_FALSE(in->Eof());  // the last character itself does not set it
    EXPECT_EQ(in->Getc(), EOF);
    EXPECT_TRUE(in->Eof());
    EXPECT_EQ(in->Getc(), EOF);
    EXPECT_TRUE(in->Eof());
}

TEST(TextStreamEndOfFile, EmptyFileAndMissingFile)
{
    TempFile file("");
    auto in = OpenBytes(file);
    ASSERT_TRUE(in);
    EXPECT_FALSE(in->Eof());
    EXPECT_FALSE(in->SkipUtf8ByteOrderMark());
    EXPECT_FALSE(in->Eof());  // looking for a mark reads nothing past the end
    EXPECT_EQ(in->Getc(), EOF);
    EXPECT_TRUE(in->Eof());

    EXPECT_EQ(CTextStream::Open(file.Path() + ".missing"), nullptr);
    EXPECT_EQ(CTextStream::Open(""), nullptr);
}

TEST(TextStreamPushBack, TheCharacterIsReadAgain)
{
    const size_t n = CTextStream::kBufferSize;
    TempFile file(std::string(n, 'a') + "b\r\nc");
    auto in = OpenBytes(file);
    ASSERT_TRUE(in);
    for (size_t i = 0; i < n; ++i)
        ASSERT_EQ(in->Getc(), 'a');
    // The first character of a fresh chunk can be pushed back too.
    EXPECT_EQ(in->Getc(), 'b');
    in->Ungetc('b');
    EXPECT_EQ(in->Getc(), 'b');
    EXPECT_EQ(in->Getc(), '\n');
    in->Ungetc('\n');
    EXPECT_EQ(in->Getc(), '\n');
    EXPECT_EQ(in->Getc(), 'c');
    EXPECT_EQ(in->Getc(), EOF);
    in->Ungetc(EOF);  // nothing to push back: stays at the end
    EXPECT_TRUE(in->Eof());
    EXPECT_EQ(in->Getc(), EOF);
}

TEST(TextStreamByteOrderMark, SkippedOnlyWhenWholeAtTheStart)
{
    {
        TempFile file("\xEF\xBB\xBF" "1");
        auto in = OpenBytes(file);
        ASSERT_TRUE(in);
        EXPECT_TRUE(in->SkipUtf8ByteOrderMark());
        EXPECT_EQ(ReadAll(*in), "1");
    }
    {
        TempFile file("\xEF\xBB" "1");
        auto in = OpenBytes(file);
        ASSERT_TRUE(in);
        EXPECT_FALSE(in->SkipUtf8ByteOrderMark());
        EXPECT_EQ(ReadAll(*in), "\xEF\xBB" "1");
    }
    {
        TempFile file("\xEF\xBB\xBF");
        auto in = OpenBytes(file);
        ASSERT_TRUE(in);
        EXPECT_TRUE(in->SkipUtf8ByteOrderMark());
        EXPECT_FALSE(in->Eof());
        EXPECT_EQ(in->Getc(), EOF);
    }
}

// ---------------------------------------------------------------------------
// The header scanner.

struct ScanResult {
    int count = 0;
    int32_t fields[kHeaderFields];
    std::string rest;  // what the stream delivers after the scan
    bool eofAfterScan = false;
};

constexpr int32_t kUntouched = -7777;

ScanResult Scan(const std::string& bytes)
{
    ScanResult result;
    for (int32_t& f : result.fields)
        f = kUntouched;
    TempFile file(bytes);
    auto in = OpenBytes(file);
    if (!in)
        return result;
    int32_t* const targets[kHeaderFields] = {
        &result.fields[0], &result.fields[1], &result.fields[2], &result.fields[3], &result.fields[4],
        &result.fields[5], &result.fields[6], &result.fields[7], &result.fields[8],
    };
    result.count = ScanHeader(*in, targets);
    result.eofAfterScan = in->Eof();
    result.rest = ReadAll(*in);
    return result;
}

void ExpectFields(const ScanResult& r, std::initializer_list<int32_t> expected)
{
    int i = 0;
    for (int32_t value : expected) {
        EXPECT_EQ(r.fields[i], value) << "field " << i;
        ++i;
    }
    for (; i < kHeaderFields; ++i)
        EXPECT_EQ(r.fields[i], kUntouched) << "field " << i << " must keep its value";
}

TEST(HeaderScan, AWholeHeader)
{
    ScanResult r = Scan("12\r\n01:02:03,456 --> 01:02:04,000\r\n  Hello\r\n");
    EXPECT_EQ(r.count, 9);
    ExpectFields(r, {12, 1, 2, 3, 456, 1, 2, 4, 0});
    EXPECT_EQ(r.rest, "Hello\n");  // the final white space ate the line end and the indent
    EXPECT_FALSE(r.eofAfterScan);
}

TEST(HeaderScan, WhiteSpaceDirectivesMatchAnyRunOrNone)
{
    ScanResult oneLine = Scan("1 00:00:01,000-->00:00:02,000x");
    EXPECT_EQ(oneLine.count, 9);
    ExpectFields(oneLine, {1, 0, 0, 1, 0, 0, 0, 2, 0});
    EXPECT_EQ(oneLine.rest, "x");

    ScanResult spread = Scan("\n\n 7 \t\n\n\v\f00:00:01,000 \t--> \n 00:00:02,000 coordinates\n");
    EXPECT_EQ(spread.count, 9);
    ExpectFields(spread, {7, 0, 0, 1, 0, 0, 0, 2, 0});
    EXPECT_EQ(spread.rest, "coordinates\n");

    // %d skips white space after the literals too.
    ScanResult afterLiterals = Scan("1\n 00: 01:\t02, 5 -->  0:0:0,0\n");
    EXPECT_EQ(afterLiterals.count, 9);
    ExpectFields(afterLiterals, {1, 0, 1, 2, 5, 0, 0, 0, 0});
}

TEST(HeaderScan, NumbersAreDecimalWithAnOptionalSign)
{
    ScanResult r = Scan("0008\n-1:+2:-0,09 --> 00:00:01,5\n");
    EXPECT_EQ(r.count, 9);
    ExpectFields(r, {8, -1, 2, 0, 9, 0, 0, 1, 5});
}

TEST(HeaderScan, MismatchesStopAssignmentAndStayUnread)
{
    ScanResult dot = Scan("3\n00:00:01.500 --> 00:00:02,000\nText\n");
    EXPECT_EQ(dot.count, 4);
    ExpectFields(dot, {3, 0, 0, 1});
    EXPECT_EQ(dot.rest, ".500 --> 00:00:02,000\nText\n");

    ScanResult blankBeforeColon = Scan("3\n00 :00:01,500");
    EXPECT_EQ(blankBeforeColon.count, 2);
    EXPECT_EQ(blankBeforeColon.rest, " :00:01,500");

    ScanResult noSeparator = Scan("100:00:01,000 --> 00:00:02,000\n");
    EXPECT_EQ(noSeparator.count, 1);
    ExpectFields(noSeparator, {100});
    EXPECT_EQ(noSeparator.rest, ":00:01,000 --> 00:00:02,000\n");

    ScanResult letter = Scan("Hello\n");
    EXPECT_EQ(letter.count, 0);
    ExpectFields(letter, {});
    EXPECT_EQ(letter.rest, "Hello\n");

    ScanResult brokenArrow = Scan("1\n0:0:0,0 - -> 0:0:1,0\n");
    EXPECT_EQ(brokenArrow.count, 5);
    EXPECT_EQ(brokenArrow.rest, " -> 0:0:1,0\n");

    ScanResult byteMark = Scan("\xEF\xBB\xBF" "1\n");
    EXPECT_EQ(byteMark.count, 0);
    EXPECT_EQ(byteMark.rest, "\xEF\xBB\xBF" "1\n");
}

TEST(HeaderScan, ASignWithoutDigitIsConsumed)
{
    ScanResult minus = Scan("-x");
    EXPECT_EQ(minus.count, 0);
    ExpectFields(minus, {});
    EXPECT_EQ(minus.rest, "x");

    ScanResult plus = Scan("4\n+:");
    EXPECT_EQ(plus.count, 1);
    EXPECT_EQ(plus.rest, ":");

    ScanResult twoSigns = Scan("--5");
    EXPECT_EQ(twoSigns.count, 0);
    EXPECT_EQ(twoSigns.rest, "-5");

    ScanResult signAtEnd = Scan("-");
    EXPECT_EQ(signAtEnd.count, 0);
    EXPECT_TRUE(signAtEnd.eofAfterScan);
    EXPECT_EQ(signAtEnd.rest, "");
}

TEST(HeaderScan, NumbersBeyond32BitsWrap)
{
    ScanResult r = Scan("4294967297 2147483648:-2147483649:99999999999999999999,-99999999999999999999 --> "
                        "4294967295:-4294967296:2147483647,-2147483648\n");
    EXPECT_EQ(r.count, 9);
    ExpectFields(r, {1, INT32_MIN, INT32_MAX, 1661992959, -1661992959, -1, 0, INT32_MAX, INT32_MIN});
}

TEST(HeaderScan, EndOfInput)
{
    ScanResult empty = Scan("");
    EXPECT_EQ(empty.count, EOF);
    ExpectFields(empty, {});
    EXPECT_TRUE(empty.eofAfterScan);

    ScanResult blanks = Scan(" \r\n\n\t ");
    EXPECT_EQ(blanks.count, EOF);
    ExpectFields(blanks, {});
    EXPECT_TRUE(blanks.eofAfterScan);

    ScanResult ctrlZ = Scan("\n\x1A" "1\n00:00:01,000 --> 00:00:02,000\n");
    EXPECT_EQ(ctrlZ.count, EOF);
    ExpectFields(ctrlZ, {});

    // Reading the character after the last digit meets the end.
    ScanResult cut = Scan("5\n00:01");
    EXPECT_EQ(cut.count, 3);
    ExpectFields(cut, {5, 0, 1});
    EXPECT_TRUE(cut.eofAfterScan);

    ScanResult atLiteral = Scan("5\n00:01:");
    EXPECT_EQ(atLiteral.count, 3);
    EXPECT_TRUE(atLiteral.eofAfterScan);

    ScanResult noLineEnd = Scan("5\n0:0:1,0 --> 0:0:2,0");
    EXPECT_EQ(noLineEnd.count, 9);
    EXPECT_TRUE(noLineEnd.eofAfterScan);

    // The final white-space directive reads past the end when only blanks follow.
    ScanResult blankTail = Scan("5\n0:0:1,0 --> 0:0:2,0\r\n\r\n  ");
    EXPECT_EQ(blankTail.count, 9);
    EXPECT_TRUE(blankTail.eofAfterScan);

    ScanResult textFollows = Scan("5\n0:0:1,0 --> 0:0:2,0\nT");
    EXPECT_EQ(textFollows.count, 9);
    EXPECT_FALSE(textFollows.eofAfterScan);
    EXPECT_EQ(textFollows.rest, "T");
}

TEST(HeaderScan, SuccessiveHeadersAcrossTheBufferBoundary)
{
    // The chunk boundary cuts the second block at every possible place.
    const std::string block = "17\r\n00:00:01,250 --> 00:00:02,500\r\nLine\r\n\r\n";
    const size_t cues = 3;
    for (size_t shift = 0; shift <= block.size(); ++shift) {
        std::string bytes(CTextStream::kBufferSize - block.size() - shift, ' ');
        for (size_t i = 0; i < cues; ++i)
            bytes += block;
        TempFile file(bytes);
        auto in = OpenBytes(file);
        ASSERT_TRUE(in);
        for (size_t i = 0; i < cues; ++i) {
            int32_t f[kHeaderFields] = {};
            int32_t* const targets[kHeaderFields] = {&f[0], &f[1], &f[2], &f[3], &f[4], &f[5], &f[6], &f[7], &f[8]};
            ASSERT_EQ(ScanHeader(*in, targets), 9) << "shift " << shift << " cue " << i;
            EXPECT_EQ(f[0], 17);
            EXPECT_EQ(f[4], 250);
            EXPECT_EQ(f[8], 500);
            std::string text;
            for (int k = 0; k < 6; ++k)
                text += static_cast<char>(in->Getc());
            EXPECT_EQ(text, "Line\n\n") << "shift " << shift << " cue " << i;
        }
        EXPECT_FALSE(in->Eof());
        EXPECT_EQ(in->Getc(), EOF);
    }
}

}  // namespace
