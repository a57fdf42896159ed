// The settings record's bytes and the archive's strings (the UTF-16 form stored is checked end to end).
#include "core/SettingsRecord.h"

#include <cstdlib>
#include <new>

#include "core/Unicode.h"

#include "tests/core/test_util.h"

// A record of pattern bytes: any values, also those no field check lets through, and any path bytes (NUL,
// from 0x80), with the path's length prefix at offset 24.
static Bytes Record(size_t length, const Bytes& prefix) {
    Bytes bytes(100 + length);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 37 + 11);
    return bytes.insert(bytes.begin() + 24, prefix.begin(), prefix.end()), bytes;
}

// Loads from a file yielding at most maxChunk bytes per read; false when it ended early.
static bool Load(const Bytes& bytes, CSettingsRecord& r, size_t maxChunk = SIZE_MAX) {
    CMemoryFile file(bytes);
    file.m_maxChunk = maxChunk;
    const int cause = LoadRecord(file, r);
    EXPECT_TRUE(cause == -1 || cause == CArchiveException::endOfFile) << cause;
    return cause == -1;
}

// The layout of the fields is checked end to end against the harness's own encoding of the record.
TEST(SettingsRecord, PathPrefixesAndRoundTrips) {
    const struct { size_t length; Bytes prefix; } cases[] = {
        {0, {0x00}}, {254, {0xFE}}, {255, {0xFF, 0xFF, 0x00}}, {300, {0xFF, 0x2C, 0x01}},
        {65533, {0xFF, 0xFD, 0xFF}}, {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
    };
    for (const auto& c : cases) {
        const Bytes bytes = Record(c.length, c.prefix);
        CSettingsRecord r;
        ASSERT_TRUE(Load(bytes, r, 3)) << c.length;  // a slow file: the archive refills its buffer often
        EXPECT_TRUE(Utf8ToUtf16(r.m_strFile).size() == c.length && StoreRecord(r) == bytes) << c.length;
    }
}

TEST(SettingsRecord, FileCutAnywhere) {
    const Bytes full = Record(12, {0x0C});
    Bytes beforeBytes(full.size(), 0x5A);  // every byte differs, the path has the same length
    CSettingsRecord before;
    beforeBytes[24] = 12;
    ASSERT_TRUE(Load(beforeBytes, before));
    const size_t kPathEnd = 24 + 13;
    for (size_t cut = 0; cut <= full.size(); ++cut) {
        SCOPED_TRACE(cut);
        CSettingsRecord r = before;
        // Every cut fails and keeps the integer, path or font it cuts; a cut rectangle is all zero.
        EXPECT_EQ(Load(Bytes(full.begin(), full.begin() + cut), r), cut == full.size());
        const size_t taken = cut == full.size() ? cut : cut >= kPathEnd + 16 ? kPathEnd + 16
                             : cut >= kPathEnd ? kPathEnd : cut >= 24 ? 24 : cut / 4 * 4;
        Bytes expected(full.begin(), full.begin() + taken);
        expected.insert(expected.end(), beforeBytes.begin() + taken, beforeBytes.end());
        if (cut >= kPathEnd && cut < kPathEnd + 16)
            std::fill(expected.begin() + kPathEnd, expected.begin() + kPathEnd + 16, 0);
        EXPECT_EQ(StoreRecord(r), expected);
    }
}

TEST(SettingsRecord, SaveThatFailsLeavesTheFileAsItWas) {
    Bytes before = Record(12, {0x0C});
    CSettingsRecord example;
    ASSERT_TRUE(Load(before, example));
    before.resize(200, 0x77);  // a record, then bytes a longer record left
    // The disk fills as a longer record grows the file (also past a first full buffer), or in a first save.
    const struct { Bytes before; size_t path, capacity; } cases[] = {
        {before, 300, 250}, {before, 5000, 4200}, {{}, 0, 50}};
    for (const auto& c : cases) {
        CMemoryFile file(c.before);
        file.m_capacity = c.capacity;
        CSettingsRecord r = example;
        r.m_strFile.assign(c.path, 'p');
        CArchive ar(&file, CArchive::store);
        const int cause = ArchiveCause([&] { r.SaveRecord(ar, file); });
        EXPECT_TRUE(cause == CArchiveException::writeFailed && file.m_data == c.before) << c.path << " " << cause;
    }
}

// Every allocation of the test program goes through here: a size read from a file must not be trusted.
static size_t g_largestAllocation = 0;
void* operator new(size_t size) {
    g_largestAllocation = std::max(g_largestAllocation, size);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
// The nothrow form too (std::stable_sort takes its buffer so), or its memory would reach the free below unseen.
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    g_largestAllocation = std::max(g_largestAllocation, size);
    return std::malloc(size ? size : 1);
}
// GCC cannot see that every operator new of this program is the malloc above.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

TEST(ArchiveStrings, LoadingAcceptsEveryPrefixFormAndRejectsBadOnes) {
    Bytes huge = {0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF};  // claims 4 GB, holds 10 kB
    g_largestAllocation = 0;
    huge.resize(huge.size() + 10000, 'z');
    ASSERT_GT(g_largestAllocation, 10000u) << "allocations are counted";
    // A failed load leaves the string alone ("kept") and names its cause.
    const std::string kEnd = "kept, cause " + std::to_string(CArchiveException::endOfFile);
    const struct { Bytes bytes; std::string loaded; } cases[] = {
        {{0xFF, 0x03, 0x00, 'a', 'b', 'c'}, "abc"},
        {{0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00, 'x', 'y'}, "xy"},
        {{0xFF, 0xFE, 0xFF, 0x02, 'a', 0, 'b', 0}, "ab"},  // the UTF-16 form
        {{0xFF, 0xFE, 0xFF, 0x04, 0x2F, 0x04, 0x3C, 0xD8, 0xAC, 0xDF, 0x3D, 0xD8},  // U+042F U+1F3AC, a lone surrogate
         "\xD0\xAF\xF0\x9F\x8E\xAC\xED\xA0\xBD"},
        {{0x01, 0xE9}, "\xC3\xA9"},  // the narrow form is Latin-1 by default
        {{0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 0x01}, "kept, cause " + std::to_string(CArchiveException::badFormat)},
        {{0xFF, 0xFE, 0xFF, 0x02, 'a', 0, 'b'}, kEnd},
        {{}, kEnd}, {{0xFF, 0x2C}, kEnd}, {{0xFF, 0xFF, 0xFF, 0x01, 0x00}, kEnd}, {{0x0A, 'a', 'b', 'c', 'd'}, kEnd},
        {huge, kEnd},
    };
    for (const auto& c : cases) {
        CMemoryFile file(c.bytes);
        CArchive ar(&file, CArchive::load);
        std::string s = "kept";
        g_largestAllocation = 0;
        if (const int cause = ArchiveCause([&] { ar >> s; }); cause != -1)
            s += ", cause " + std::to_string(cause);
        EXPECT_EQ(s, c.loaded) << "row " << &c - cases;
        EXPECT_LT(g_largestAllocation, 64 * 1024u) << "memory grows with the bytes read, not with the claim";
    }
}
