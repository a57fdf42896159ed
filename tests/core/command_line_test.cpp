// The command-line tail and the batch-mode keyword.
#include "core/CommandLine.h"

#include "tests/core/test_util.h"

TEST(CommandLine, TailAndBatchMode) {
    const struct { const char* line; const char* tail; bool batch; } cases[] = {
        {"Kelvane.exe batchmode", "batchmode", true}, {"Kelvane.exe   \t BATCHMODE", "BATCHMODE", true},
        {"\"C:\\Program Files\\Kelvane\\Kelvane.exe\" bAtChMoDe", "bAtChMoDe", true},
        {"\"C:\\a b\\K.exe\"batchmode", "batchmode", true},  // no blank needed after a quote
        {"K.exe\x01\x1F batchmode", "batchmode", true},      // control characters are white space
        {"K\xE9\xA0lvane.exe batchmode", "batchmode", true},  // bytes from 0x80 belong to the name
        {"\xFF\x80 x", "x", false}, {"K.exe batchmode ", "batchmode ", false},  // white space at the end stays
        {"K.exe \"batchmode\"", "\"batchmode\"", false}, {"K.exe batchmode now", "batchmode now", false},
        {"K.exe batchmodes", "batchmodes", false},
        {"K.exe batch\xEDode", "batch\xEDode", false},  // differs from a letter in the high bit only
        {"K.exe", "", false}, {"K.exe   ", "", false}, {"", "", false},
        {"\"C:\\never closed batchmode", "", false},  // an open quote runs to the end
        {"batchmode", "", false},                      // the first word is the program name
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const char* tail = CutCommandTail(c.line);
        ASSERT_TRUE(tail >= c.line && tail <= c.line + std::strlen(c.line)) << "the tail points into the line";
        EXPECT_STREQ(tail, c.tail);
        EXPECT_EQ(IsBatchModeTail(tail), c.batch);
    }
    EXPECT_FALSE(IsBatchModeTail(nullptr));
}

// The file name in a tail, in both widths: blanks at the end are no part of it, quoted or not.
TEST(CommandLine, FileNameInTail) {
    const struct { const char* tail; const char* name; } cases[] = {
        {"a b.srt", "a b.srt"}, {"a b.srt  \t ", "a b.srt"}, {"batchmode ", "batchmode"},
        {"\"C:\\F\\my film.srt\"", "C:\\F\\my film.srt"}, {"\"C:\\F\\my film.srt\"   ", "C:\\F\\my film.srt"},
        {"\"x.srt\"\t\r\n\x01", "x.srt"}, {"\" a.srt \"", " a.srt "},  // blanks inside the quotes stay
        {"x\xA0", "x\xA0"}, {"\"\xC3\xBC\xFF\" ", "\xC3\xBC\xFF"},      // bytes from 0x80 are no blanks
        {"a\"b.srt ", "a\"b.srt"},                                     // a quote inside is left to the file test
        {"\"x.srt\" y", ""}, {"\"a\"b\"", ""}, {"\"x.srt  ", ""}, {"\"", ""}, {"\"\"  ", ""}, {"", ""}, {"  ", ""},
    };
    auto widen = [](std::string_view s) { std::wstring w; for (unsigned char b : s) w += b; return w; };  // Latin-1
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tail);
        EXPECT_EQ(FileNameInTail(std::string_view(c.tail)), c.name);
        EXPECT_EQ(FileNameInTail(std::wstring_view(widen(c.tail))), widen(c.name));
    }
}
