#include "overlay/TextLayout.h"

#include "framework/File.h"
#include "core/Unicode.h"

namespace {

std::wstring Widen(const std::string& text, bool bUtf8)
{
    return bUtf8 ? Utf8ToWide(text) : AnsiToWide(text);
}

COLORREF FromRgb(uint32_t rgb)
{
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// The nearest colour that is not the key: its blue changed by one.
COLORREF Avoiding(COLORREF cr, bool bAvoid, COLORREF crKey)
{
    if (!bAvoid || (cr & 0xFFFFFF) != (crKey & 0xFFFFFF))
        return cr;
    return RGB(GetRValue(cr), GetGValue(cr), GetBValue(cr) ^ 1);
}

enum Kind { kWord, kBlank, kLineFeed };

Kind KindOf(wchar_t c)
{
    return c == L'\n' ? kLineFeed : c == L' ' ? kBlank : kWord;
}

}  // namespace

CTextLayout::CTextLayout(HDC dc, const std::vector<CStyledRun>& runs, bool bUtf8) : m_dc(dc)
{
    HGDIOBJ hBase = ::GetCurrentObject(dc, OBJ_FONT);
    if (!hBase || !::GetObjectW(hBase, sizeof m_lfBase, &m_lfBase))
        ::GetObjectW(::GetStockObject(SYSTEM_FONT), sizeof m_lfBase, &m_lfBase);
    // Each run cut into words, blanks and line feeds; a word may continue
    // into the next run in another style.
    for (const CStyledRun& run : runs) {
        const std::wstring text = Widen(run.strText, bUtf8);
        const size_t nFont = FontFor(run.style);
        for (size_t at = 0; at < text.size();) {
            const Kind kind = KindOf(text[at]);
            size_t end = at + 1;
            while (kind != kLineFeed && end < text.size() && KindOf(text[end]) == kind)
                ++end;
            Piece piece{text.substr(at, end - at), nFont, FromRgb(run.style.nColor), run.style.bHasColor};
            piece.cx = kind == kLineFeed ? 0 : Measure(piece);
            m_pieces.push_back(piece);
            at = end;
        }
    }
}

CTextLayout::~CTextLayout()
{
    for (auto& font : m_fonts)
        if (font.second)
            ::DeleteObject(font.second);
}

size_t CTextLayout::FontFor(const CTextStyle& style)
{
    CTextStyle shape = style;  // the colour does not change the font
    shape.bHasColor = false;
    for (size_t i = 0; i < m_fonts.size(); ++i)
        if (m_fonts[i].first == shape)
            return i;
    LOGFONTW lf = m_lfBase;
    if (shape.bBold)
        lf.lfWeight = FW_BOLD;
    if (shape.bItalic)
        lf.lfItalic = TRUE;
    if (shape.bUnderline)
        lf.lfUnderline = TRUE;
    if (shape.bStrikeOut)
        lf.lfStrikeOut = TRUE;
    m_fonts.emplace_back(shape, ::CreateFontIndirectW(&lf));
    return m_fonts.size() - 1;
}

int CTextLayout::Measure(const Piece& piece)
{
    HFONT hFont = m_fonts[piece.nFont].second;
    HGDIOBJ hOld = hFont ? ::SelectObject(m_dc, hFont) : nullptr;
    SIZE size{0, 0};
    ::GetTextExtentPoint32W(m_dc, piece.text.data(), static_cast<int>(piece.text.size()), &size);
    if (hOld)
        ::SelectObject(m_dc, hOld);
    return size.cx;
}

std::vector<CTextLayout::Line> CTextLayout::BreakLines(int cxMax)
{
    std::vector<Line> lines(1);
    std::vector<Piece> blanks;  // blanks waiting for the next word
    for (size_t i = 0; i < m_pieces.size();) {
        const Piece& piece = m_pieces[i];
        const Kind kind = KindOf(piece.text[0]);
        if (kind == kLineFeed) {
            lines.emplace_back();
            blanks.clear();
            ++i;
            continue;
        }
        if (kind == kBlank) {
            blanks.push_back(piece);
            ++i;
            continue;
        }
        // A word: its pieces up to the next blank or line feed.
        size_t end = i;
        int cxWord = 0;
        while (end < m_pieces.size() && KindOf(m_pieces[end].text[0]) == kWord)
            cxWord += m_pieces[end++].cx;
        int cxBlanks = 0;
        for (const Piece& blank : blanks)
            cxBlanks += blank.cx;
        Line* line = &lines.back();
        if (!line->pieces.empty() && line->cx + cxBlanks + cxWord > cxMax) {
            // Too wide: the word starts the next line; the blanks before it go.
            lines.emplace_back();
            line = &lines.back();
            blanks.clear();
            cxBlanks = 0;
        }
        line->pieces.insert(line->pieces.end(), blanks.begin(), blanks.end());
        line->pieces.insert(line->pieces.end(), m_pieces.begin() + static_cast<std::ptrdiff_t>(i),
                            m_pieces.begin() + static_cast<std::ptrdiff_t>(end));
        line->cx += cxBlanks + cxWord;
        blanks.clear();
        i = end;
    }
    return lines;
}

void CTextLayout::Draw(const RECT& rc, int nLineHeight, COLORREF crText, const Outline& outline, bool bAvoid,
                       COLORREF crAvoid)
{
    const int nOutline = outline.nWidth > 0 ? outline.nWidth : 0;
    const std::vector<Line> lines = BreakLines(rc.right - rc.left - 2 * nOutline);
    const int top = rc.bottom - nOutline - static_cast<int>(lines.size()) * nLineHeight;

    const int nOldMode = ::SetBkMode(m_dc, TRANSPARENT);
    const UINT nOldAlign = ::SetTextAlign(m_dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    HGDIOBJ hOldFont = ::GetCurrentObject(m_dc, OBJ_FONT);
    const COLORREF crOldText = ::GetTextColor(m_dc);
    // Pass 0: the outline, at every offset within its width; pass 1: the text.
    for (int pass = nOutline > 0 ? 0 : 1; pass < 2; ++pass) {
        int y = top;
        for (const Line& line : lines) {
            int x = rc.left + (rc.right - rc.left - line.cx) / 2;
            for (const Piece& piece : line.pieces) {
                if (m_fonts[piece.nFont].second)
                    ::SelectObject(m_dc, m_fonts[piece.nFont].second);
                const int n = static_cast<int>(piece.text.size());
                if (pass == 0) {
                    ::SetTextColor(m_dc, Avoiding(outline.crColor, bAvoid, crAvoid));
                    for (int dy = -nOutline; dy <= nOutline; ++dy)
                        for (int dx = -nOutline; dx <= nOutline; ++dx)
                            if ((dx || dy) && dx * dx + dy * dy <= nOutline * nOutline + nOutline)
                                ::TextOutW(m_dc, x + dx, y + dy, piece.text.data(), n);
                } else {
                    ::SetTextColor(m_dc, Avoiding(piece.bHasColor ? piece.crColor : crText, bAvoid, crAvoid));
                    ::TextOutW(m_dc, x, y, piece.text.data(), n);
                }
                x += piece.cx;
            }
            y += nLineHeight;
        }
    }
    ::SelectObject(m_dc, hOldFont);
    ::SetTextColor(m_dc, crOldText);
    ::SetTextAlign(m_dc, nOldAlign);
    ::SetBkMode(m_dc, nOldMode);
}
