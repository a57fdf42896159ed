#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/Archive.h"
#include "tests/core/allocation_counter.h"
#include "tests/core/memory_file.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Stored(void (*fill)(CArchive&))
{
    CMemoryFile file;
    {
        CArchive ar(&file, CArchive::store);
        fill(ar);
    }
    return file.m_data;
}

Bytes StoredString(const std::string& s)
{
    CMemoryFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << s;
    }
    return file.m_data;
}

std::string LoadedString(const Bytes& bytes)
{
    CMemoryFile file(bytes);
    CArchive ar(&file, CArchive::load);
    std::string s;
    ar >> s;
    return s;
}

CArchiveException::Cause LoadFailure(const Bytes& bytes)
{
    CMemoryFile file(bytes);
    CArchive ar(&file, CArchive::load);
    std::string s = "kept";
    try {
        ar >> s;
    } catch (const CArchiveException& e) {
        EXPECT_EQ(s, "kept") << "a failed extraction must leave the string as it was";
        return e.m_cause;
    }
    ADD_FAILURE() << "extraction did not fail";
    return CArchiveException::writeFailed;
}

Bytes Prefix(const Bytes& stored, size_t n) { return Bytes(stored.begin(), stored.begin() + n); }

}  // namespace

TEST(ArchiveIntegers, AreLittleEndianTwosComplement)
{
    Bytes bytes = Stored([](CArchive& ar) {
        ar << int32_t(1500) << int32_t(-37) << int32_t(INT32_MIN) << uint32_t(0x00FFFFFFu) << uint32_t(0xDEADBEEFu);
    });
    Bytes expected = {0xDC, 0x05, 0x00, 0x00, 0xDB, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80,
                      0xFF, 0xFF, 0xFF, 0x00, 0xEF, 0xBE, 0xAD, 0xDE};
    EXPECT_EQ(bytes, expected);

    CMemoryFile file(bytes);
    CArchive ar(&file, CArchive::load);
    int32_t a, b, c;
    uint32_t d, e;
    ar >> a >> b >> c >> d >> e;
    EXPECT_EQ(a, 1500);
    EXPECT_EQ(b, -37);
    EXPECT_EQ(c, INT32_MIN);
    EXPECT_EQ(d, 0x00FFFFFFu);
    EXPECT_EQ(e, 0xDEADBEEFu);
}

TEST(ArchiveIntegers, ExtractionPastTheEndFails)
{
    CMemoryFile file(Bytes{1, 0, 0, 0, 2, 0});
    CArchive ar(&file, CArchive::load);
    int32_t a = 0, b = 77;
    ar >> a;
    EXPECT_EQ(a, 1);
    try {
        ar >> b;
        FAIL() << "no exception for a 2-byte integer";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
    }
    EXPECT_EQ(b, 77);
}

TEST(ArchiveStrings, LengthPrefixTakesOneThreeOrSevenBytes)
{
    struct Case {
        size_t length;
        Bytes prefix;
    } cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {300, {0xFF, 0x2C, 0x01}},
        {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        std::string s;
        for (size_t i = 0; i < c.length; ++i)
            s += static_cast<char>('a' + i % 26);
        Bytes bytes = StoredString(s);
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.length);
        EXPECT_EQ(Prefix(bytes, c.prefix.size()), c.prefix);
        EXPECT_EQ(std::string(bytes.begin() + c.prefix.size(), bytes.end()), s);
        EXPECT_EQ(LoadedString(bytes), s);
    }
}

TEST(ArchiveStrings, BytesAreKeptAsTheyAre)
{
    std::string s("D:\\\xFF\x80\x00x.srt", 10);
    EXPECT_EQ(LoadedString(StoredString(s)), s);
}

TEST(ArchiveStrings, LongerPrefixFormsAreReadForShortStrings)
{
    EXPECT_EQ(LoadedString({0xFF, 0x03, 0x00, 'a', 'b', 'c'}), "abc");
    EXPECT_EQ(LoadedString({0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00, 'x', 'y'}), "xy");
}

TEST(ArchiveStrings, WideStringMarkIsRejected)
{
    EXPECT_EQ(LoadFailure({0xFF, 0xFE, 0xFF, 0x02, 'a', 0, 'b', 0}), CArchiveException::badFormat);
}

TEST(ArchiveStrings, EarlyEndInsideThePrefixOrTheCharactersFails)
{
    EXPECT_EQ(LoadFailure({}), CArchiveException::endOfFile);
    EXPECT_EQ(LoadFailure({0xFF, 0x2C}), CArchiveException::endOfFile);
    EXPECT_EQ(LoadFailure({0xFF, 0xFF, 0xFF, 0x01, 0x00}), CArchiveException::endOfFile);
    EXPECT_EQ(LoadFailure({0x0A, 'a', 'b', 'c', 'd'}), CArchiveException::endOfFile);
}

TEST(ArchiveStrings, HugeClaimedLengthFailsWithoutHugeAllocation)
{
    Bytes bytes = {0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF};
    bytes.resize(bytes.size() + 10000, 'z');
    ResetLargestAllocation();
    CArchiveException::Cause cause = LoadFailure(bytes);
    size_t largest = LargestAllocation();
    EXPECT_EQ(cause, CArchiveException::endOfFile);
    // Growth follows the bytes actually read: at most a small multiple of them.
    EXPECT_LT(largest, size_t(64 * 1024));
}

TEST(ArchiveCountedRead, ShortCountAtTheEndIsNoError)
{
    CMemoryFile file(Bytes{1, 2, 3, 4, 5});
    CArchive ar(&file, CArchive::load);
    uint8_t buf[16] = {};
    EXPECT_EQ(ar.Read(buf, 3), 3u);
    EXPECT_EQ(ar.Read(buf + 3, 10), 2u);
    EXPECT_EQ(ar.Read(buf, 4), 0u);
    EXPECT_EQ(Bytes(buf, buf + 5), (Bytes{1, 2, 3, 4, 5}));
}

TEST(ArchiveLoad, FileHandingOutFewBytesPerReadGivesTheSameValues)
{
    // Values straddle the buffer's refills when the file yields 3 bytes per read,
    // and a buffer of 4096 is crossed by a long string.
    std::string longText(9000, 'q');
    longText[4095] = 'A';
    longText[8999] = 'Z';
    CMemoryFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << int32_t(-5) << std::string("hello") << longText << uint32_t(42);
        uint8_t raw[5000];
        for (unsigned i = 0; i < sizeof raw; ++i)
            raw[i] = static_cast<uint8_t>(i * 7);
        ar.Write(raw, sizeof raw);
    }
    for (size_t chunk : {size_t(1), size_t(3), size_t(4096), SIZE_MAX}) {
        SCOPED_TRACE(chunk);
        file.Rewind();
        file.m_maxChunk = chunk;
        CArchive ar(&file, CArchive::load);
        int32_t a;
        std::string s1, s2;
        uint32_t b;
        ar >> a >> s1 >> s2 >> b;
        EXPECT_EQ(a, -5);
        EXPECT_EQ(s1, "hello");
        EXPECT_EQ(s2, longText);
        EXPECT_EQ(b, 42u);
        uint8_t raw[6000];
        ASSERT_EQ(ar.Read(raw, sizeof raw), 5000u);
        for (unsigned i = 0; i < 5000; ++i)
            ASSERT_EQ(raw[i], static_cast<uint8_t>(i * 7)) << i;
    }
}

TEST(ArchiveStore, BytesReachTheFileOnFlushFullBufferOrDestruction)
{
    CMemoryFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << int32_t(7);
        EXPECT_TRUE(file.m_data.empty()) << "small writes stay buffered";
        ar.Flush();
        EXPECT_EQ(file.m_data, (Bytes{7, 0, 0, 0}));
        ar << int32_t(8);
    }
    EXPECT_EQ(file.m_data, (Bytes{7, 0, 0, 0, 8, 0, 0, 0})) << "destruction writes the rest";

    CMemoryFile big;
    {
        CArchive ar(&big, CArchive::store);
        for (uint32_t i = 0; i < 1024; ++i)
            ar << i;  // exactly one full buffer
        EXPECT_EQ(big.m_data.size(), 4096u) << "a full buffer is written at once";
        ar << uint32_t(1024);
        EXPECT_EQ(big.m_data.size(), 4096u);
    }
    ASSERT_EQ(big.m_data.size(), 4100u);
    big.Rewind();
    CArchive check(&big, CArchive::load);
    for (uint32_t i = 0; i <= 1024; ++i) {
        uint32_t v;
        check >> v;
        ASSERT_EQ(v, i);
    }
}

TEST(ArchiveStore, FailedWriteIsReportedByFlushAndSwallowedByTheDestructor)
{
    CMemoryFile file;
    file.m_failWrites = true;
    {
        CArchive ar(&file, CArchive::store);
        ar << int32_t(1);
        try {
            ar.Flush();
            FAIL() << "Flush did not report the failed write";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::writeFailed);
        }
        ar << int32_t(2);
    }  // must not throw
    EXPECT_EQ(file.m_writes, 2);
    EXPECT_TRUE(file.m_data.empty());
}
