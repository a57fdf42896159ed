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
