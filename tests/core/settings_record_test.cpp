#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "panel/SettingsRecord.h"
#include "tests/core/memory_file.h"

namespace {

using Bytes = std::vector<uint8_t>;

// 1500 ms delay, 0:10:00,000, white, D:\movie.srt, 100/600/900/700, bold Arial -37.
CSettingsRecord ExampleRecord()
{
    CSettingsRecord r;
    r.m_nDelay = 1500;
    r.m_nHour = 0;
    r.m_nMin = 10;
    r.m_nSec = 0;
    r.m_nMillis = 0;
    r.m_crText = 0x00FFFFFF;
    r.m_strFile = "D:\\movie.srt";
    r.m_rcOverlay = {100, 600, 900, 700};
    r.m_lfFont.lfHeight = -37;
    r.m_lfFont.lfWeight = 700;
    r.m_lfFont.lfOutPrecision = 3;
    r.m_lfFont.lfClipPrecision = 2;
    r.m_lfFont.lfQuality = 1;
    r.m_lfFont.lfPitchAndFamily = 0x22;
    std::strcpy(r.m_lfFont.lfFaceName, "Arial");
    return r;
}

const Bytes kExampleBytes = {
    0xDC, 0x05, 0x00, 0x00,  // delay 1500
    0x00, 0x00, 0x00, 0x00,  // hour
    0x0A, 0x00, 0x00, 0x00,  // minute 10
    0x00, 0x00, 0x00, 0x00,  // second
    0x00, 0x00, 0x00, 0x00,  // millisecond
    0xFF, 0xFF, 0xFF, 0x00,  // colour
    0x0C, 0x44, 0x3A, 0x5C, 0x6D, 0x6F, 0x76, 0x69, 0x65, 0x2E, 0x73, 0x72, 0x74,
    0x64, 0x00, 0x00, 0x00,  // left
    0x58, 0x02, 0x00, 0x00,  // top
    0x84, 0x03, 0x00, 0x00,  // right
    0xBC, 0x02, 0x00, 0x00,  // bottom
    0xDB, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0xBC, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x02, 0x01, 0x22,
    0x41, 0x72, 0x69, 0x61, 0x6C, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};

void Save(CMemoryFile& file, CSettingsRecord& r)
{
    file.Rewind();
    CArchive ar(&file, CArchive::store);
    r.SerializeRecord(ar);
    ar.Flush();
}

Bytes Saved(CSettingsRecord r)
{
    CMemoryFile file;
    Save(file, r);
    return file.m_data;
}

// Loads into r; returns whether the load completed without an archive error.
bool Load(const Bytes& bytes, CSettingsRecord& r)
{
    CMemoryFile file(bytes);
    CArchive ar(&file, CArchive::load);
    try {
        r.SerializeRecord(ar);
        return true;
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
        return false;
    }
}

void ExpectSameRecord(const CSettingsRecord& a, const CSettingsRecord& b)
{
    EXPECT_EQ(a.m_nDelay, b.m_nDelay);
    EXPECT_EQ(a.m_nHour, b.m_nHour);
    EXPECT_EQ(a.m_nMin, b.m_nMin);
    EXPECT_EQ(a.m_nSec, b.m_nSec);
    EXPECT_EQ(a.m_nMillis, b.m_nMillis);
    EXPECT_EQ(a.m_crText, b.m_crText);
    EXPECT_EQ(a.m_strFile, b.m_strFile);
    EXPECT_EQ(a.m_rcOverlay.left, b.m_rcOverlay.left);
    EXPECT_EQ(a.m_rcOverlay.top, b.m_rcOverlay.top);
    EXPECT_EQ(a.m_rcOverlay.right, b.m_rcOverlay.right);
    EXPECT_EQ(a.m_rcOverlay.bottom, b.m_rcOverlay.bottom);
    EXPECT_EQ(0, std::memcmp(&a.m_lfFont, &b.m_lfFont, sizeof a.m_lfFont));
}

// A record whose every byte differs from what the example file holds.
CSettingsRecord FilledRecord()
{
    CSettingsRecord r;
    r.m_nDelay = r.m_nHour = r.m_nMin = r.m_nSec = r.m_nMillis = 0x11111111;
    r.m_crText = 0x22222222;
    r.m_strFile = "previous";
    r.m_rcOverlay = {0x7F7F7F7F, 0x7F7F7F7F, 0x7F7F7F7F, 0x7F7F7F7F};
    std::memset(&r.m_lfFont, 0x5A, sizeof r.m_lfFont);
    return r;
}

}  // namespace

TEST(SettingsRecordLayout, WorkedExampleIsExactly113Bytes)
{
    Bytes bytes = Saved(ExampleRecord());
    ASSERT_EQ(bytes.size(), 113u);
    EXPECT_EQ(bytes, kExampleBytes);

    CSettingsRecord loaded = FilledRecord();
    ASSERT_TRUE(Load(kExampleBytes, loaded));
    ExpectSameRecord(loaded, ExampleRecord());
}

TEST(SettingsRecordLayout, PathPrefixMovesTheFieldsAfterIt)
{
    for (size_t n : {size_t(0), size_t(254), size_t(255), size_t(300), size_t(65533), size_t(65534)}) {
        SCOPED_TRACE(n);
        CSettingsRecord r = ExampleRecord();
        r.m_strFile.assign(n, 'p');
        Bytes bytes = Saved(r);
        size_t prefix = n < 255 ? 1 : n < 65534 ? 3 : 7;
        ASSERT_EQ(bytes.size(), 100 + prefix + n);
        // The rectangle follows the path directly.
        EXPECT_EQ(bytes[24 + prefix + n], 0x64);
        EXPECT_EQ(bytes[28 + prefix + n], 0x58);
        CSettingsRecord loaded;
        ASSERT_TRUE(Load(bytes, loaded));
        ExpectSameRecord(loaded, r);
    }
}

TEST(SettingsRecordLayout, UnvalidatedValuesRoundTripUnchanged)
{
    CSettingsRecord r;
    r.m_nDelay = -123456;
    r.m_nHour = 30;
    r.m_nMin = -1;
    r.m_nSec = INT32_MAX;
    r.m_nMillis = INT32_MIN;
    r.m_crText = 0xFF0080C0;
    r.m_strFile = std::string("C:\\\x83\x5C\xFF dir\\f.srt");
    r.m_rcOverlay = {-32000, -1, INT32_MAX, INT32_MIN};
    for (unsigned i = 0; i < sizeof r.m_lfFont; ++i)
        reinterpret_cast<uint8_t*>(&r.m_lfFont)[i] = static_cast<uint8_t>(0xF0 + i);
    CSettingsRecord loaded;
    ASSERT_TRUE(Load(Saved(r), loaded));
    ExpectSameRecord(loaded, r);
}

TEST(SettingsRecordOverwrite, ShorterSaveKeepsTheOldTailAndLoadsTheNewRecord)
{
    CMemoryFile file;
    CSettingsRecord longer = ExampleRecord();
    longer.m_strFile.assign(40, 'L');
    Save(file, longer);
    ASSERT_EQ(file.m_data.size(), 141u);
    Bytes old = file.m_data;

    CSettingsRecord shorter = ExampleRecord();
    shorter.m_strFile = "short.srt!";
    shorter.m_nDelay = -250;
    Save(file, shorter);
    ASSERT_EQ(file.m_data.size(), 141u) << "the file keeps its length";
    EXPECT_EQ(Bytes(file.m_data.begin() + 111, file.m_data.end()), Bytes(old.begin() + 111, old.end()));

    CSettingsRecord loaded;
    ASSERT_TRUE(Load(file.m_data, loaded));
    ExpectSameRecord(loaded, shorter);
}

TEST(SettingsRecordShortFile, CutInsideRectangleOrFontLoadsWhatIsThere)
{
    // Cut after two bytes of the rectangle's top (offset 0x29).
    CSettingsRecord r = FilledRecord();
    ASSERT_TRUE(Load(Bytes(kExampleBytes.begin(), kExampleBytes.begin() + 0x2B), r));
    EXPECT_EQ(r.m_nMin, 10);
    EXPECT_EQ(r.m_strFile, "D:\\movie.srt");
    EXPECT_EQ(r.m_rcOverlay.left, 100);
    EXPECT_EQ(r.m_rcOverlay.top, 0x7F7F0258) << "bytes 58 02 from the file, the rest kept";
    EXPECT_EQ(r.m_rcOverlay.right, 0x7F7F7F7F);
    EXPECT_EQ(r.m_lfFont.lfHeight, 0x5A5A5A5A);

    // Cut inside the face name: "Ar" present, the rest of the font kept.
    CSettingsRecord f = FilledRecord();
    ASSERT_TRUE(Load(Bytes(kExampleBytes.begin(), kExampleBytes.begin() + 0x53), f));
    EXPECT_EQ(f.m_rcOverlay.bottom, 700);
    EXPECT_EQ(f.m_lfFont.lfHeight, -37);
    EXPECT_EQ(f.m_lfFont.lfWeight, 700);
    EXPECT_EQ(f.m_lfFont.lfPitchAndFamily, 0x22);
    EXPECT_EQ(f.m_lfFont.lfFaceName[0], 'A');
    EXPECT_EQ(f.m_lfFont.lfFaceName[1], 'r');
    EXPECT_EQ(f.m_lfFont.lfFaceName[2], 0x5A);

    // A fresh record cut right after the path keeps a zero rectangle.
    CSettingsRecord z;
    ASSERT_TRUE(Load(Bytes(kExampleBytes.begin(), kExampleBytes.begin() + 0x25), z));
    EXPECT_EQ(z.m_rcOverlay.top, 0);
    EXPECT_EQ(z.m_rcOverlay.bottom, 0);
}

TEST(SettingsRecordShortFile, CutBeforeOrInsideThePathFails)
{
    // Empty file: nothing loaded.
    CSettingsRecord e = FilledRecord();
    EXPECT_FALSE(Load({}, e));
    ExpectSameRecord(e, FilledRecord());

    // Cut inside the third integer: the first two are loaded, the rest kept.
    CSettingsRecord i = FilledRecord();
    EXPECT_FALSE(Load(Bytes(kExampleBytes.begin(), kExampleBytes.begin() + 10), i));
    EXPECT_EQ(i.m_nDelay, 1500);
    EXPECT_EQ(i.m_nHour, 0);
    EXPECT_EQ(i.m_nMin, 0x11111111);

    // Cut right before the path's prefix and inside its characters.
    for (size_t cut : {size_t(0x18), size_t(0x1C)}) {
        SCOPED_TRACE(cut);
        CSettingsRecord r = FilledRecord();
        EXPECT_FALSE(Load(Bytes(kExampleBytes.begin(), kExampleBytes.begin() + cut), r));
        EXPECT_EQ(r.m_nDelay, 1500);
        EXPECT_EQ(r.m_crText, 0x00FFFFFFu);
        EXPECT_EQ(r.m_strFile, "previous");
        EXPECT_EQ(r.m_rcOverlay.left, 0x7F7F7F7F);
    }
}

TEST(SettingsRecordShortFile, HugeClaimedPathLengthIsAnEarlyEnd)
{
    Bytes bytes(kExampleBytes.begin(), kExampleBytes.begin() + 24);
    for (uint8_t b : {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F})
        bytes.push_back(b);
    bytes.resize(bytes.size() + 200, 'x');
    CSettingsRecord r = FilledRecord();
    EXPECT_FALSE(Load(bytes, r));
    EXPECT_EQ(r.m_strFile, "previous");
}
