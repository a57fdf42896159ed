#pragma once
// The settings record that "Kelvane.DAT" holds, and its exact byte layout.
// Portable: the layouts of the font description and the rectangle match the
// platform's LOGFONTA and RECT byte for byte.

#include <cstdint>
#include <string>

#include "core/Archive.h"

// Same layout as LOGFONTA (60 bytes).
struct KLogFont {
    int32_t lfHeight;
    int32_t lfWidth;
    int32_t lfEscapement;
    int32_t lfOrientation;
    int32_t lfWeight;
    uint8_t lfItalic;
    uint8_t lfUnderline;
    uint8_t lfStrikeOut;
    uint8_t lfCharSet;
    uint8_t lfOutPrecision;
    uint8_t lfClipPrecision;
    uint8_t lfQuality;
    uint8_t lfPitchAndFamily;
    char lfFaceName[32];
};
static_assert(sizeof(KLogFont) == 60, "KLogFont must match LOGFONTA");

// Same layout as RECT: screen coordinates, signed 32-bit.
struct KRect {
    int32_t left, top, right, bottom;
};
static_assert(sizeof(KRect) == 16, "KRect must match RECT");

class CSettingsRecord {
public:
    KLogFont m_lfFont{};       // subtitle font description
    uint32_t m_crText = 0;     // text colour, 0x00bbggrr
    KRect m_rcOverlay{};       // the overlay's outer rectangle
    int32_t m_nDelay = 0;      // ms
    std::string m_strFile;     // subtitle file path, UTF-8
    int32_t m_nMillis = 0;
    int32_t m_nMin = 0;
    int32_t m_nSec = 0;
    int32_t m_nHour = 0;

    // Stores or loads the record's fields in file order. A load that meets the
    // end of the file throws CArchiveException(endOfFile); the fields before
    // the cut are loaded, a cut rectangle is all zero, a cut font is left alone.
    void SerializeRecord(CArchive& ar);
    // Writes the record at the start of file through ar, a store archive on
    // it. Bytes after a shorter record stay. When a write fails, the file gets
    // back its old bytes and length and CArchiveException(writeFailed) follows
    // (writeUndoFailed when even that failed).
    void SaveRecord(CArchive& ar, CArchiveFile& file);
};
