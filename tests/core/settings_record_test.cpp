// The settings record's bytes (layout, path prefixes, round trips, short files) and the archive's strings.
#include "panel/SettingsRecord.h"

#include <cstdlib>
#include <new>

#include "tests/core/test_util.h"

// A record of pattern bytes: any values, also those no field check lets through, and any path bytes (NUL,
// from 0x80), with the path's length prefix at offset 24.
static Bytes Record(size_t length, const Bytes& prefix)
{
    Bytes bytes;
    for (size_t i = 0; i < 100 + length; ++i)
        bytes.push_back(static_cast<uint8_t>(i * 37 + 11));
    bytes.insert(bytes.begin() + 24, prefix.begin(), prefix.end());
    return bytes;
}

static Bytes Saved(CSettingsRecord r)
{
    CMemoryFile file;
    CArchive ar(&file, CArchive::store);
    r.SerializeRecord(ar);
    ar.Flush();
    return file.m_data;
}

// Loads from a file yielding at most maxChunk bytes per read; false when it ended early.
static bool Load(const Bytes& bytes, CSettingsRecord& r, size_t maxChunk = SIZE_MAX)
{
    CMemoryFile file(bytes);
    file.m_maxChunk = maxChunk;
    CArchive ar(&file, CArchive::load);
    try {
        r.SerializeRecord(ar);
        return true;
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
        return false;
    }
}

// The layout of the fields is checked end to end against the harness's own encoding of the record.
TEST(SettingsRecord, PathPrefixesAndRoundTrips)
{
    const struct { size_t length; Bytes prefix; } cases[] = {
        {0, {0x00}}, {254, {0xFE}}, {255, {0xFF, 0xFF, 0x00}}, {300, {0xFF, 0x2C, 0x01}},
        {65533, {0xFF, 0xFD, 0xFF}}, {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        const Bytes bytes = Record(c.length, c.prefix);
        CSettingsRecord r;
        ASSERT_TRUE(Load(bytes, r, 3));  // a slow file: the archive refills its buffer often
        EXPECT_EQ(r.m_strFile.size(), c.length);
        EXPECT_EQ(Saved(r), bytes);
    }
}

TEST(SettingsRecord, FileCutAnywhere)
{
    const Bytes full = Record(12, {0x0C});
    Bytes beforeBytes(full.size(), 0x5A);  // every byte differs, the path has the same length
    beforeBytes[24] = 12;
    CSettingsRecord before;
    ASSERT_TRUE(Load(beforeBytes, before));
    const size_t kPathEnd = 24 + 13;
    for (size_t cut = 0; cut <= full.size(); ++cut) {
        SCOPED_TRACE(cut);
        CSettingsRecord r = before;
        // A cut before the path's end fails and keeps the integer or path it cuts; a cut in the
        // rectangle or the font loads without error what is there and keeps the rest.
        EXPECT_EQ(Load(Bytes(full.begin(), full.begin() + cut), r), cut >= kPathEnd);
        const size_t taken = cut >= kPathEnd ? cut : cut >= 24 ? 24 : cut / 4 * 4;
        Bytes expected(full.begin(), full.begin() + taken);
        expected.insert(expected.end(), beforeBytes.begin() + taken, beforeBytes.end());
        EXPECT_EQ(Saved(r), expected);
    }
}

// Every allocation of the test program goes through here, so that a test can
// show that a size read from a file is not trusted.
static size_t g_largestAllocation = 0;
void* operator new(size_t size)
{
    g_largestAllocation = std::max(g_largestAllocation, size);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

TEST(ArchiveStrings, LoadingAcceptsEveryPrefixFormAndRejectsBadOnes)
{
    Bytes huge = {0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF};  // claims 4 GB, holds 10 kB
    g_largestAllocation = 0;
    huge.resize(huge.size() + 10000, 'z');
    ASSERT_GT(g_largestAllocation, 10000u) << "allocations are counted";
    // A failed load leaves the string alone ("kept") and names its cause.
    const std::string kEnd = "kept, cause " + std::to_string(CArchiveException::endOfFile);
    const struct { Bytes bytes; std::string loaded; } cases[] = {
        {{0xFF, 0x03, 0x00, 'a', 'b', 'c'}, "abc"},
        {{0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00, 'x', 'y'}, "xy"},
        {{0xFF, 0xFE, 0xFF, 0x02, 'a', 0, 'b', 0}, "kept, cause " + std::to_string(CArchiveException::badFormat)},
        {{}, kEnd}, {{0xFF, 0x2C}, kEnd}, {{0xFF, 0xFF, 0xFF, 0x01, 0x00}, kEnd}, {{0x0A, 'a', 'b', 'c', 'd'}, kEnd},
        {huge, kEnd},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        CMemoryFile file(c.bytes);
        CArchive ar(&file, CArchive::load);
        std::string s = "kept";
        g_largestAllocation = 0;
        try {
            ar >> s;
        } catch (const CArchiveException& e) {
            s += ", cause " + std::to_string(e.m_cause);
        }
        EXPECT_EQ(s, c.loaded);
        EXPECT_LT(g_largestAllocation, 64 * 1024u) << "memory grows with the bytes read, not with the claim";
    }
}
