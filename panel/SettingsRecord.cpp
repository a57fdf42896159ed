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

    // Counted reads: the rectangle and the font take the bytes that are there;
    // the bytes the file lacks keep what the fields held.
    ar.Read(&m_rcOverlay, sizeof m_rcOverlay);
    ar.Read(&m_lfFont, sizeof m_lfFont);
}
