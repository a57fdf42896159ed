#include <string>

#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace {

bool IsBatch(const char* commandLine) { return IsBatchModeTail(CutCommandTail(commandLine)); }

}  // namespace

TEST(CommandTail, CutsTheProgramNameAndTheWhiteSpaceAfterIt)
{
    EXPECT_STREQ(CutCommandTail("Kelvane.exe batchmode"), "batchmode");
    EXPECT_STREQ(CutCommandTail("Kelvane.exe   \t batchmode"), "batchmode");
    EXPECT_STREQ(CutCommandTail("\"C:\\Program Files\\Kelvane\\Kelvane.exe\" batchmode"), "batchmode");
    EXPECT_STREQ(CutCommandTail("\"C:\\a b\\K.exe\"batchmode"), "batchmode") << "no blank needed after a quote";
    EXPECT_STREQ(CutCommandTail("K.exe\x01\x1F x"), "x") << "control characters count as white space";
    EXPECT_STREQ(CutCommandTail("K.exe a  b  "), "a  b  ") << "white space at the end stays";
    EXPECT_STREQ(CutCommandTail("K.exe \"batchmode\""), "\"batchmode\"");
    EXPECT_STREQ(CutCommandTail("K.exe"), "");
    EXPECT_STREQ(CutCommandTail("K.exe   "), "");
    EXPECT_STREQ(CutCommandTail(""), "");
    EXPECT_STREQ(CutCommandTail("\"C:\\never closed batchmode"), "") << "an open quote runs to the end";
}

TEST(CommandTail, BytesFromHexEightyUpBelongToTheName)
{
    // Taken as signed, these bytes would be below 0x20 and end the name early.
    EXPECT_STREQ(CutCommandTail("K\xE9\xA0lvane.exe batchmode"), "batchmode");
    EXPECT_STREQ(CutCommandTail("\xFF\x80 x"), "x");
}

TEST(CommandTail, TailPointsIntoTheCommandLine)
{
    const char* line = "prog.exe  rest";
    EXPECT_EQ(CutCommandTail(line), line + 10);
}

TEST(BatchMode, KeywordAloneInAnyLetterCase)
{
    EXPECT_TRUE(IsBatch("Kelvane.exe batchmode"));
    EXPECT_TRUE(IsBatch("Kelvane.exe BATCHMODE"));
    EXPECT_TRUE(IsBatch("Kelvane.exe BatchMode"));
    EXPECT_TRUE(IsBatch("\"C:\\Program Files\\Kelvane.exe\" bAtChMoDe"));
    EXPECT_TRUE(IsBatch("Kelvane.exe    batchmode"));
    EXPECT_TRUE(IsBatch("Kelvane.exe\tbatchmode"));
}

TEST(BatchMode, AnythingElseIsNotBatchMode)
{
    EXPECT_FALSE(IsBatch("Kelvane.exe batchmode "));
    EXPECT_FALSE(IsBatch("Kelvane.exe \"batchmode\""));
    EXPECT_FALSE(IsBatch("Kelvane.exe batchmode now"));
    EXPECT_FALSE(IsBatch("Kelvane.exe /batchmode"));
    EXPECT_FALSE(IsBatch("Kelvane.exe -batchmode"));
    EXPECT_FALSE(IsBatch("Kelvane.exe batchmod"));
    EXPECT_FALSE(IsBatch("Kelvane.exe batchmodes"));
    EXPECT_FALSE(IsBatch("Kelvane.exe"));
    EXPECT_FALSE(IsBatch("\"C:\\never closed batchmode"));
    EXPECT_FALSE(IsBatch("batchmode")) << "the first word is the program name";
    // Bytes that differ from the letters only in the high bit are not letters.
    EXPECT_FALSE(IsBatchModeTail("batch\xEDode"));
    EXPECT_FALSE(IsBatchModeTail("BATCHMOD\xC5"));
    EXPECT_TRUE(IsBatchModeTail("batchmode"));
    EXPECT_FALSE(IsBatchModeTail(nullptr));
}
