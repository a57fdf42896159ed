#include "panel/SettingsRecord.h"

#include <cstring>

namespace {

constexpr unsigned kRectBytes = 16;
constexpr unsigned kFontBytes = 60;

void PutInt32(uint8_t* out, int32_t value)
{
    const uint32_t bits = static_cast<uint32_t>(value);
    for (unsigned i = 0; i < 4; ++i)
        out[i] = static_cast<uint8_t>(bits >> (8 * i));
}

int32_t GetInt32(const uint8_t* in)
{
    uint32_t bits = 0;
    for (unsigned i = 0; i < 4; ++i)
        bits |= static_cast<uint32_t>(in[i]) << (8 * i);
    if (bits <= 0x7FFFFFFFu)
        return static_cast<int32_t>(bits);
    return -static_cast<int32_t>(~bits) - 1;
}

// The rectangle as the file holds it: left, top, right, bottom.
void EncodeRect(const KRect& rc, uint8_t* out)
{
    PutInt32(out + 0, rc.left);
    PutInt32(out + 4, rc.top);
    PutInt32(out + 8, rc.right);
    PutInt32(out + 12, rc.bottom);
}

void DecodeRect(const uint8_t* in, KRect& rc)
{
    rc.left = GetInt32(in + 0);
    rc.top = GetInt32(in + 4);
    rc.right = GetInt32(in + 8);
    rc.bottom = GetInt32(in + 12);
}

// The font description as the file holds it: five integers, eight single
// bytes, then the 32-byte face name.
void EncodeFont(const KLogFont& lf, uint8_t* out)
{
    PutInt32(out + 0, lf.lfHeight);
    PutInt32(out + 4, lf.lfWidth);
    PutInt32(out + 8, lf.lfEscapement);
    PutInt32(out + 12, lf.lfOrientation);
    PutInt32(out + 16, lf.lfWeight);
    out[20] = lf.lfItalic;
    out[21] = lf.lfUnderline;
    out[22] = lf.lfStrikeOut;
    out[23] = lf.lfCharSet;
    out[24] = lf.lfOutPrecision;
    out[25] = lf.lfClipPrecision;
    out[26] = lf.lfQuality;
    out[27] = lf.lfPitchAndFamily;
    std::memcpy(out + 28, lf.lfFaceName, sizeof lf.lfFaceName);
}

void DecodeFont(const uint8_t* in, KLogFont& lf)
{
    lf.lfHeight = GetInt32(in + 0);
    lf.lfWidth = GetInt32(in + 4);
    lf.lfEscapement = GetInt32(in + 8);
    lf.lfOrientation = GetInt32(in + 12);
    lf.lfWeight = GetInt32(in + 16);
    lf.lfItalic = in[20];
    lf.lfUnderline = in[21];
    lf.lfStrikeOut = in[22];
    lf.lfCharSet = in[23];
    lf.lfOutPrecision = in[24];
    lf.lfClipPrecision = in[25];
    lf.lfQuality = in[26];
    lf.lfPitchAndFamily = in[27];
    std::memcpy(lf.lfFaceName, in + 28, sizeof lf.lfFaceName);
}

}  // namespace

void CSettingsRecord::SerializeRecord(CArchive& ar)
{
    uint8_t rect[kRectBytes];
    uint8_t font[kFontBytes];
    if (ar.IsStoring()) {
        ar << m_nDelay << m_nHour << m_nMin << m_nSec << m_nMillis << m_crText << m_strFile;
        EncodeRect(m_rcOverlay, rect);
        ar.Write(rect, kRectBytes);
        EncodeFont(m_lfFont, font);
        ar.Write(font, kFontBytes);
        return;
    }

    // Each field takes its value as soon as it is read, so an early end leaves
    // the fields before it loaded and the rest as they were.
    ar >> m_nDelay >> m_nHour >> m_nMin >> m_nSec >> m_nMillis >> m_crText >> m_strFile;

    // The rectangle and the font take the bytes that are there; the bytes the
    // file lacks keep what the fields held, exactly as a counted read into the
    // fields' own memory would leave them.
    EncodeRect(m_rcOverlay, rect);
    ar.Read(rect, kRectBytes);
    DecodeRect(rect, m_rcOverlay);
    EncodeFont(m_lfFont, font);
    ar.Read(font, kFontBytes);
    DecodeFont(font, m_lfFont);
}
