#include "overlay/TextLayout.h"

#include <algorithm>

#include "core/Unicode.h"
#include "framework/File.h"

namespace {

COLORREF FromRgb(uint32_t rgb)
{
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// The nearest colour that is not the key: its blue changed by one.
COLORREF Avoiding(COLORREF cr, const COLORREF* pcrKey)
{
    if (!pcrKey || (cr & 0xFFFFFF) != (*pcrKey & 0xFFFFFF))
        return cr;
    return RGB(GetRValue(cr), GetGValue(cr), GetBValue(cr) ^ 1);
}

}  // namespace

CTextLayout::CTextLayout(HDC dc, const std::vector<CStyledRun>& runs, bool bUtf8, int cxMax) : m_dc(dc)
{
    HGDIOBJ hBase = ::GetCurrentObject(dc, OBJ_FONT);
    if (!hBase || !::GetObjectW(hBase, sizeof m_lfBase, &m_lfBase))
        ::GetObjectW(::GetStockObject(SYSTEM_FONT), sizeof m_lfBase, &m_lfBase);
    for (const CStyledRun& run : runs) {
        const std::wstring text = bUtf8 ? Utf8ToWide(run.strText) : AnsiToWide(run.strText);
        m_runStarts.push_back(m_text.size());
        m_text += text;
        m_runs.push_back(CTextRun{std::u16string(text.begin(), text.end()), FontFor(run.style)});
        m_styles.push_back(run.style);
    }

    // The directions, paragraph by paragraph, each read left to right as
    // DrawText reads it; only where the level changes is noted.
    for (size_t p = 0; p < m_text.size();) {
        const size_t q = std::min(m_text.find(L'\n', p), m_text.size());
        const int n = static_cast<int>(q - p);
        std::vector<SCRIPT_ITEM> items(static_cast<size_t>(n) + 2);
        SCRIPT_CONTROL control{};
        SCRIPT_STATE state{};
        int nItems = 0;
        if (n > 0 && SUCCEEDED(::ScriptItemize(m_text.data() + p, n, n + 1, &control, &state, items.data(), &nItems)))
            for (int i = 0; i < nItems; ++i) {
                const BYTE level = static_cast<BYTE>(items[i].a.s.uBidiLevel);
                if (m_levels.empty() || m_levels.back().second != level)
                    m_levels.emplace_back(p + static_cast<size_t>(items[i].iCharPos), level);
            }
        p = q + 1;
    }

    m_lines = BreakLines(m_runs, cxMax, [this](const CRunPiece& piece) {
        int cx = 0;
        for (const Segment& segment : Split(piece))
            cx += Width(segment);
        return cx;
    });
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

std::vector<CTextLayout::Segment> CTextLayout::Split(const CRunPiece& piece) const
{
    std::vector<Segment> segments;
    const size_t end = m_runStarts[piece.nRun] + piece.nEnd;
    auto level = std::upper_bound(m_levels.begin(), m_levels.end(), m_runStarts[piece.nRun] + piece.nBegin,
                                  [](size_t pos, const std::pair<size_t, BYTE>& l) { return pos < l.first; });
    for (size_t at = m_runStarts[piece.nRun] + piece.nBegin; at < end; ++level) {
        const size_t next = level == m_levels.end() ? end : std::min(end, level->first);
        if (next > at)
            segments.push_back(Segment{piece.nRun, at, next, level == m_levels.begin() ? BYTE(0) : (level - 1)->second});
        at = next;
    }
    return segments;
}

SCRIPT_STRING_ANALYSIS CTextLayout::Analyse(const Segment& segment) const
{
    if (HFONT hFont = m_fonts[m_runs[segment.nRun].nStyle].second)
        ::SelectObject(m_dc, hFont);
    // Read in the segment's own direction: the blanks in a right-to-left
    // segment stand where they stood in its paragraph.
    SCRIPT_CONTROL control{};
    SCRIPT_STATE state{};
    state.uBidiLevel = segment.nLevel;
    const int n = static_cast<int>(segment.nEnd - segment.nBegin);
    SCRIPT_STRING_ANALYSIS ssa = nullptr;
    if (FAILED(::ScriptStringAnalyse(m_dc, m_text.data() + segment.nBegin, n, n * 3 / 2 + 16, -1,
                                     SSA_GLYPHS | SSA_FALLBACK | SSA_LINK, 0, &control, &state, nullptr, nullptr,
                                     nullptr, &ssa)))
        return nullptr;
    return ssa;
}

int CTextLayout::Width(const Segment& segment) const
{
    SCRIPT_STRING_ANALYSIS ssa = Analyse(segment);
    if (!ssa)
        return 0;
    const SIZE* pSize = ::ScriptString_pSize(ssa);
    const int cx = pSize ? pSize->cx : 0;
    ::ScriptStringFree(&ssa);
    return cx;
}

void CTextLayout::Draw(int left, int right, int top, int nLineHeight, COLORREF crText, const Outline& outline,
                       const COLORREF* pcrKey) const
{
    const int nOutline = outline.nWidth > 0 ? outline.nWidth : 0;
    const UINT nOldAlign = ::SetTextAlign(m_dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    HGDIOBJ hOldFont = ::GetCurrentObject(m_dc, OBJ_FONT);
    const COLORREF crOldText = ::GetTextColor(m_dc);
    int y = top;
    for (const CTextLine& line : m_lines) {
        std::vector<Segment> segments;
        for (const CRunPiece& piece : line.pieces)
            for (const Segment& segment : Split(piece))
                segments.push_back(segment);
        // The segments in the order they are seen, each shaped once for every pass.
        std::vector<BYTE> levels;
        for (const Segment& segment : segments)
            levels.push_back(segment.nLevel);
        std::vector<int> visual(segments.size());
        for (size_t i = 0; i < visual.size(); ++i)
            visual[i] = static_cast<int>(i);
        if (!segments.empty())
            ::ScriptLayout(static_cast<int>(levels.size()), levels.data(), visual.data(), nullptr);
        std::vector<SCRIPT_STRING_ANALYSIS> shaped;
        for (int i : visual)
            shaped.push_back(Analyse(segments[static_cast<size_t>(i)]));

        // Pass 0: the outline, at every offset within its width; pass 1: the text.
        for (int pass = nOutline > 0 ? 0 : 1; pass < 2; ++pass) {
            int x = left + (right - left - line.nWidth) / 2;
            for (size_t k = 0; k < shaped.size(); ++k) {
                if (!shaped[k])
                    continue;
                const Segment& segment = segments[static_cast<size_t>(visual[k])];
                if (HFONT hFont = m_fonts[m_runs[segment.nRun].nStyle].second)
                    ::SelectObject(m_dc, hFont);
                const CTextStyle& style = m_styles[segment.nRun];
                if (pass == 0) {
                    ::SetTextColor(m_dc, Avoiding(outline.crColor, pcrKey));
                    for (int dy = -nOutline; dy <= nOutline; ++dy)
                        for (int dx = -nOutline; dx <= nOutline; ++dx)
                            if ((dx || dy) && dx * dx + dy * dy <= nOutline * nOutline + nOutline)
                                ::ScriptStringOut(shaped[k], x + dx, y + dy, 0, nullptr, 0, 0, FALSE);
                } else {
                    ::SetTextColor(m_dc, Avoiding(style.bHasColor ? FromRgb(style.nColor) : crText, pcrKey));
                    ::ScriptStringOut(shaped[k], x, y, 0, nullptr, 0, 0, FALSE);
                }
                const SIZE* pSize = ::ScriptString_pSize(shaped[k]);
                x += pSize ? pSize->cx : 0;
            }
        }
        for (SCRIPT_STRING_ANALYSIS& ssa : shaped)
            if (ssa)
                ::ScriptStringFree(&ssa);
        y += nLineHeight;
    }
    ::SelectObject(m_dc, hOldFont);
    ::SetTextColor(m_dc, crOldText);
    ::SetTextAlign(m_dc, nOldAlign);
}
