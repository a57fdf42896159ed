#pragma once
// Measures and draws styled runs of subtitle text: lines broken at line feeds
// and, where a line is too wide, between words; each line centred; the block
// standing on the bottom edge of the rectangle, raised by the outline width so
// that the outline is not cut off. Several styles may share one line. With an
// outline, every glyph is first drawn in the outline colour at each offset
// within the outline width, then in its own colour on top.

#include <windows.h>

#include <string>
#include <vector>

#include "core/SubtitleTags.h"

class CTextLayout {
public:
    struct Outline {
        int nWidth = 0;  // 0: none
        COLORREF crColor = 0;
    };

    // The font selected into dc is the base font that the styles vary.
    CTextLayout(HDC dc, const std::vector<CStyledRun>& runs, bool bUtf8);
    ~CTextLayout();
    CTextLayout(const CTextLayout&) = delete;
    CTextLayout& operator=(const CTextLayout&) = delete;

    // Lays the text out for the width of rc and draws it, lines nLineHeight
    // apart. crText colours runs without a colour of their own; no colour
    // drawn equals crAvoid (a colour key) when bAvoid is set.
    void Draw(const RECT& rc, int nLineHeight, COLORREF crText, const Outline& outline, bool bAvoid = false,
              COLORREF crAvoid = 0);

private:
    struct Piece {
        std::wstring text;
        size_t nFont;  // index into m_fonts
        COLORREF crColor;
        bool bHasColor;
        int cx = 0;
    };
    struct Line {
        std::vector<Piece> pieces;
        int cx = 0;
    };

    size_t FontFor(const CTextStyle& style);
    int Measure(const Piece& piece);
    std::vector<Line> BreakLines(int cxMax);

    HDC m_dc;
    LOGFONTW m_lfBase{};
    std::vector<std::pair<CTextStyle, HFONT>> m_fonts;
    std::vector<Piece> m_pieces;  // words, blanks and line feeds, in order
};
