#include "panel/SettingsRecord.h"

// The rectangle and the font description are stored exactly as they are held in
// memory: their little-endian integers are the file's bytes as they stand.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the settings record is little-endian in memory");

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
