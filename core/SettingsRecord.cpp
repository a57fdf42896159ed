#include "core/SettingsRecord.h"

#include <algorithm>
#include <vector>

// The rectangle and the font description are stored exactly as they are held in
// memory: their little-endian integers are the file's bytes as they stand.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the settings record is little-endian in memory");

namespace {

// Takes what a store archive writes and only counts it.
class CByteCounter : public CArchiveFile {
public:
    unsigned Read(void*, unsigned) override { return 0; }
    bool Write(const void*, unsigned count) override
    {
        m_count += count;
        return true;
    }
    uint64_t m_count = 0;
};

}  // namespace

void CSettingsRecord::SerializeRecord(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_nDelay << m_nHour << m_nMin << m_nSec << m_nMillis << m_crText << m_strFile;
        ar.Write(&m_rcOverlay, sizeof m_rcOverlay);
        ar.Write(&m_lfFont, sizeof m_lfFont);
        return;
    }

    // Each field takes its value as soon as it is read, so an early end leaves
    // the fields before it loaded and the rest as they were.
    ar >> m_nDelay >> m_nHour >> m_nMin >> m_nSec >> m_nMillis >> m_crText >> m_strFile;

    // A rectangle or font cut short is no value: the rectangle counts as not
    // stored, the font keeps what it held, and the file is incomplete.
    KRect rect{};
    if (ar.Read(&rect, sizeof rect) != sizeof rect) {
        m_rcOverlay = KRect{};
        throw CArchiveException(CArchiveException::endOfFile, "unexpected end of file");
    }
    m_rcOverlay = rect;
    KLogFont font;
    if (ar.Read(&font, sizeof font) != sizeof font)
        throw CArchiveException(CArchiveException::endOfFile, "unexpected end of file");
    m_lfFont = font;
}

void CSettingsRecord::SaveRecord(CArchive& ar, CArchiveFile& file)
{
    // What the save may change: as many bytes from the start as the record
    // holds, and the length. Keep both before anything is written.
    CByteCounter counter;
    {
        CArchive counting(&counter, CArchive::store);
        SerializeRecord(counting);
        counting.Flush();
    }
    const int64_t length = file.GetSize();
    if (length < 0 || !file.SeekTo(0))
        throw CArchiveException(CArchiveException::writeFailed, "settings file cannot be rewritten");
    std::vector<uint8_t> kept(static_cast<size_t>(std::min<uint64_t>(static_cast<uint64_t>(length), counter.m_count)));
    for (size_t done = 0; done < kept.size();) {
        const size_t want = std::min<size_t>(kept.size() - done, size_t{1} << 20);
        const unsigned got = file.Read(kept.data() + done, static_cast<unsigned>(want));
        if (got == 0)
            throw CArchiveException(CArchiveException::writeFailed, "settings file cannot be read back");
        done += got;
    }
    if (!file.SeekTo(0))
        throw CArchiveException(CArchiveException::writeFailed, "settings file cannot be rewritten");

    try {
        SerializeRecord(ar);
        ar.Flush();
    } catch (const CArchiveException&) {
        // Put back the old bytes, then the old length (a longer record may
        // have grown the file before it failed).
        const bool undone = file.SeekTo(0) &&
                            (kept.empty() || file.Write(kept.data(), static_cast<unsigned>(kept.size()))) &&
                            file.SetSize(static_cast<uint64_t>(length));
        throw CArchiveException(undone ? CArchiveException::writeFailed : CArchiveException::writeUndoFailed,
                                undone ? "file write failed" : "file write failed and could not be undone");
    }
}
