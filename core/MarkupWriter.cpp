#include "core/MarkupWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/AsciiText.h"

namespace {

const char* const kOpenTags[] = {"<b>", "<i>", "<u>", "<s>", "<font color=\"#RRGGBB\">"};
const size_t kOpenLengths[] = {3, 3, 3, 3, 22};
const char* const kCloseTags[] = {"</b>", "</i>", "</u>", "</s>", "</font>"};
const size_t kCloseLengths[] = {4, 4, 4, 4, 7};
// Room kept for the closing tags of all five.
constexpr size_t kCloseReserve = 4 * 4 + 7;

// Bytes of the file's text that the canonical form writes otherwise.
struct SpecialBytes {
    bool is[256] = {};
    constexpr SpecialBytes() { is[int{'<'}] = is[int{'>'}] = is[int{'&'}] = is[0] = true; }
};
constexpr SpecialBytes kSpecial;

inline bool IsSpecial(char c)
{
    return kSpecial.is[static_cast<unsigned char>(c)];
}

}  // namespace

CMarkupWriter::CMarkupWriter(std::string& out) : m_out(out)
{
    m_out.clear();
}

bool CMarkupWriter::Wanted(Tag tag) const
{
    switch (tag) {
    case kBold: return m_want.bBold;
    case kItalic: return m_want.bItalic;
    case kUnderline: return m_want.bUnderline;
    case kStrikeOut: return m_want.bStrikeOut;
    default: return m_want.bHasColor;
    }
}

void CMarkupWriter::SetStyle(const CTextStyle& style)
{
    m_want = style;
    m_bChanged = m_want != m_have;
}

bool CMarkupWriter::OpenStyle(size_t extra, bool openNew)
{
    if (!m_bChanged)
        return m_out.size() + extra + kCloseReserve <= kMaxCueText;
    // The open tags that are still wanted stay open, from the outermost in; a
    // colour only while it is the same.
    int keep = 0;
    while (keep < m_nOpen && Wanted(m_open[keep]) && (m_open[keep] != kFont || m_have.nColor == m_want.nColor))
        ++keep;
    bool open[kTagCount] = {};
    for (int i = 0; i < keep; ++i)
        open[m_open[i]] = true;
    size_t bytes = 0;
    for (int i = keep; i < m_nOpen; ++i)
        bytes += kCloseLengths[m_open[i]];
    for (int tag = 0; tag < kTagCount && openNew; ++tag) {
        if (!open[tag] && Wanted(static_cast<Tag>(tag)))
            bytes += kOpenLengths[tag];
    }
    if (m_out.size() + bytes + extra + kCloseReserve > kMaxCueText)
        return false;
    while (m_nOpen > keep) {
        const Tag tag = m_open[--m_nOpen];
        m_out.append(kCloseTags[tag], kCloseLengths[tag]);
    }
    for (int tag = 0; tag < kTagCount && openNew; ++tag) {
        if (open[tag] || !Wanted(static_cast<Tag>(tag)))
            continue;
        if (tag == kFont) {
            char font[32];
            std::snprintf(font, sizeof font, "<font color=\"#%06X\">", static_cast<unsigned>(m_want.nColor & 0xFFFFFF));
            m_out.append(font, kOpenLengths[kFont]);
        } else {
            m_out.append(kOpenTags[tag], kOpenLengths[tag]);
        }
        m_open[m_nOpen++] = static_cast<Tag>(tag);
    }
    // What is open now.
    m_have = CTextStyle();
    for (int i = 0; i < m_nOpen; ++i) {
        switch (m_open[i]) {
        case kBold: m_have.bBold = true; break;
        case kItalic: m_have.bItalic = true; break;
        case kUnderline: m_have.bUnderline = true; break;
        case kStrikeOut: m_have.bStrikeOut = true; break;
        default:
            m_have.bHasColor = true;
            m_have.nColor = m_want.nColor;
            break;
        }
    }
    m_bChanged = m_want != m_have;
    return true;
}

bool CMarkupWriter::Put(const char* text, size_t length, bool cuttable)
{
    const size_t room = kMaxCueText - kCloseReserve - m_out.size();
    if (length <= room) {
        m_out.append(text, length);
        return true;
    }
    // Cut the file's text, not within a UTF-8 sequence.
    size_t cut = cuttable ? room : 0;
    for (int back = 0; cut > 0 && back < 3 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80; ++back)
        --cut;
    m_out.append(text, cut);
    m_bFull = true;
    return false;
}

void CMarkupWriter::Text(const char* text, size_t length)
{
    if (m_bFull || length == 0)
        return;
    // A tag opens only with room for something in it: an escape or a character.
    if (!OpenStyle(IsSpecial(*text) ? 8 : 4, true)) {
        m_bFull = true;
        return;
    }
    const char* const end = text + length;
    while (text < end) {
        const char* run = text;
        while (text < end && !IsSpecial(*text))
            ++text;
        m_bVisible = m_bVisible || std::find_if_not(run, text, IsBlank) != text;
        if (text > run && !Put(run, static_cast<size_t>(text - run), true))
            return;
        if (text == end)
            return;
        const char c = *text++;
        const char* escaped = c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '&' ? "&amp;" : "&#65533;";
        m_bVisible = true;
        if (!Put(escaped, std::strlen(escaped), false))
            return;
    }
}

void CMarkupWriter::PlainText(const char* text, size_t length)
{
    if (m_bFull || length == 0)
        return;
    if (!OpenStyle(4, true)) {
        m_bFull = true;
        return;
    }
    m_bVisible = m_bVisible || std::find_if_not(text, text + length, IsBlank) != text + length;
    Put(text, length, true);
}

void CMarkupWriter::Char(char32_t c)
{
    if (c == '\n') {
        LineBreak();
    } else if (c > 0 && c < 0x80) {
        const char ch = static_cast<char>(c);
        Text(&ch, 1);
    } else if (!m_bFull) {
        char entity[16];
        const int length = std::snprintf(entity, sizeof entity, "&#%u;", static_cast<unsigned>(c == 0 ? 0xFFFD : c));
        if (!OpenStyle(static_cast<size_t>(length), true) || !Put(entity, static_cast<size_t>(length), false)) {
            m_bFull = true;
            return;
        }
        m_bVisible = m_bVisible || c != 0xA0;
    }
}

void CMarkupWriter::LineBreak()
{
    // Tags that end here close before the break; new ones open with the text.
    if (!m_bFull && (!OpenStyle(1, false) || !Put("\n", 1, false)))
        m_bFull = true;
}

void CMarkupWriter::Finish()
{
    while (m_nOpen > 0) {
        const Tag tag = m_open[--m_nOpen];
        m_out.append(kCloseTags[tag], kCloseLengths[tag]);
    }
    m_bFull = true;
}
