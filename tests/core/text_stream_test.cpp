// The text-mode byte stream and the cue header scanner.
#include "playback/TextStream.h"

#include "tests/core/test_util.h"

constexpr size_t kChunk = CTextStream::kBufferSize;

static std::string ReadAll(CTextStream& in)
{
    std::string out;
    for (int c = in.Getc(); c != EOF; c = in.Getc())
        out += static_cast<char>(c);
    return out;
}

TEST(TextStream, TextModeRules)
{
    const std::string fill(kChunk - 1, 'a');  // the next byte is the last of the first chunk
    const struct { std::string bytes, read; } cases[] = {
        {"a\r\nb\r\n", "a\nb\n"}, {"a\rb\n\r", "a\rb\n\r"}, {"\r\r\n\n", "\r\n\n"}, {"", ""},
        {std::string("\0\xFF", 2), std::string("\0\xFF", 2)},     // plain bytes, no end of file
        {"ab\x1A" "cd\r\n", "ab"}, {"a\r\x1A\n", "a\r"},          // Ctrl-Z ends the input
        {fill + "\r\nz", fill + "\nz"}, {fill + "\rz", fill + "\rz"}, {fill + "\r", fill + "\r"},
        {fill + "\r\x1A" "z", fill + "\r"},
        {fill + "\r\n" + std::string(kChunk, 'b'), fill + "\n" + std::string(kChunk, 'b')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        TempFile file(c.bytes);
        auto in = CTextStream::Open(file.Path());
        ASSERT_TRUE(in);
        EXPECT_EQ(ReadAll(*in), c.read);
        EXPECT_TRUE(in->Eof());
        EXPECT_EQ(in->Getc(), EOF) << "the end stays the end";
    }
}

TEST(TextStream, EndOfFileIndicatorAndPushBack)
{
    TempFile file("b\r\n");
    auto in = CTextStream::Open(file.Path());
    ASSERT_TRUE(in);
    EXPECT_EQ(in->Getc(), 'b');
    in->Ungetc('b');  // the first character of a chunk
    EXPECT_EQ(in->Getc(), 'b');
    EXPECT_EQ(in->Getc(), '\n');
    EXPECT_FALSE(in->Eof()) << "reading the last character does not set it";
    EXPECT_EQ(in->Getc(), EOF);
    EXPECT_TRUE(in->Eof());
    in->Ungetc(EOF);
    EXPECT_EQ(in->Getc(), EOF);
}

// "count: fields | rest" with "_" for a field left alone and "$" when the
// end-of-file indicator is set after the scan; rest is what is read after it.
static std::string Scan(const std::string& bytes)
{
    TempFile file(bytes);
    auto in = CTextStream::Open(file.Path());
    int32_t f[kHeaderFields];
    int32_t* const targets[kHeaderFields] = {&f[0], &f[1], &f[2], &f[3], &f[4], &f[5], &f[6], &f[7], &f[8]};
    std::fill(f, f + kHeaderFields, -7777);
    std::string out = std::to_string(ScanHeader(*in, targets)) + ":";
    for (int32_t value : f)
        out += value == -7777 ? " _" : " " + std::to_string(value);
    out += in->Eof() ? " $" : " |";
    return out + ReadAll(*in);
}

TEST(HeaderScan, MatchingRules)
{
    const struct { std::string bytes, scanned; } cases[] = {
        {"12\r\n01:02:03,456 --> 01:02:04,000\r\n  Hi\r\n", "9: 12 1 2 3 456 1 2 4 0 |Hi\n"},
        {"1 00:00:01,000-->00:00:02,000x", "9: 1 0 0 1 0 0 0 2 0 |x"},
        {"\n 7 \t\n\v\f00: 01:\t02, 5 \t--> \n 0:0:0,0 c", "9: 7 0 1 2 5 0 0 0 0 |c"},
        {"0008\n-1:+2:-0,09 --> 00:00:01,5\n", "9: 8 -1 2 0 9 0 0 1 5 $"},
        {"3\n00:00:01.500 --> 00:00:02,000\n", "4: 3 0 0 1 _ _ _ _ _ |.500 --> 00:00:02,000\n"},
        {"3\n00 :00:01", "2: 3 0 _ _ _ _ _ _ _ | :00:01"},
        {"100:00:01", "1: 100 _ _ _ _ _ _ _ _ |:00:01"},
        {"1\n0:0:0,0 - -> 0", "5: 1 0 0 0 0 _ _ _ _ | -> 0"},
        {"\xEF\xBB\xBF" "1\n", "0: _ _ _ _ _ _ _ _ _ |\xEF\xBB\xBF" "1\n"},
        // A sign without a digit is a mismatch after the sign was consumed.
        {"-x", "0: _ _ _ _ _ _ _ _ _ |x"},
        {"4\n+:", "1: 4 _ _ _ _ _ _ _ _ |:"},
        {"--5", "0: _ _ _ _ _ _ _ _ _ |-5"},
        {"-", "0: _ _ _ _ _ _ _ _ _ $"},
        // Numbers beyond 32 bits wrap modulo 2^32.
        {"4294967297 2147483648:-2147483649:99999999999999999999,-99999999999999999999 --> "
         "4294967295:-4294967296:2147483647,-2147483648",
         "9: 1 -2147483648 2147483647 1661992959 -1661992959 -1 0 2147483647 -2147483648 $"},
        // The end of the input, also by Ctrl-Z.
        {" \r\n\n\t ", "-1: _ _ _ _ _ _ _ _ _ $"},
        {"\n\x1A" "1\n00:00:01,000 --> 00:00:02,000\n", "-1: _ _ _ _ _ _ _ _ _ $"},
        {"5\n00:01", "3: 5 0 1 _ _ _ _ _ _ $"},
        {"5\n0:0:1,0 --> 0:0:2,0\r\n\r\n  ", "9: 5 0 0 1 0 0 0 2 0 $"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Scan(c.bytes), c.scanned) << testing::PrintToString(c.bytes);
}
