#pragma once
// Lays out and draws the overlay's text, in every mode: styled runs broken
// into lines for a width by the core's line breaker, each line laid out in
// visual order and centred. The platform's script processing (Uniscribe)
// resolves the directions of each paragraph (the text between line feeds),
// orders a line's pieces for display (right-to-left runs right to left, in
// their own order too) and shapes, places and draws each piece, taking the
// characters its font lacks from a fallback font.
//
// The text is drawn in the device context's background mode: opaque paints
// each piece's text cell in the background colour, as DrawText does. With an
// outline, every piece is first drawn in the outline colour at each offset
// within the outline width, then in its own colour on top.

#include <windows.h>
#include <usp10.h>

#include <string>
#include <vector>

#include "core/LineBreak.h"
#include "core/SubtitleTags.h"

class CTextLayout {
public:
    struct Outline {
        int nWidth = 0;  // 0: none
        COLORREF crColor = 0;
    };

    // Breaks runs (UTF-8, else in the ANSI code page) into lines no wider
    // than cxMax where the text allows it. The font selected into dc is the
    // base font that the styles vary; dc must outlive the layout.
    CTextLayout(HDC dc, const std::vector<CStyledRun>& runs, bool bUtf8, int cxMax);
    ~CTextLayout();
    CTextLayout(const CTextLayout&) = delete;
    CTextLayout& operator=(const CTextLayout&) = delete;

    size_t LineCount() const { return m_lines.size(); }

    // Draws the lines from top down, nLineHeight apart, each centred between
    // left and right. crText colours runs without a colour of their own; no
    // colour drawn equals *pcrKey (a colour key) when one is given.
    void Draw(int left, int right, int top, int nLineHeight, COLORREF crText, const Outline& outline,
              const COLORREF* pcrKey = nullptr) const;

private:
    // Characters [nBegin, nEnd) of the whole text, in one run and one direction.
    struct Segment {
        size_t nRun;
        size_t nBegin, nEnd;
        BYTE nLevel;  // bidirectional level: odd is right to left
    };

    size_t FontFor(const CTextStyle& style);
    // The piece split where the direction changes.
    std::vector<Segment> Split(const CRunPiece& piece) const;
    // Shaped and placed in the run's font, which is left selected; null when it cannot be.
    SCRIPT_STRING_ANALYSIS Analyse(const Segment& segment) const;
    int Width(const Segment& segment) const;

    HDC m_dc;
    LOGFONTW m_lfBase{};
    std::vector<std::pair<CTextStyle, HFONT>> m_fonts;
    std::vector<CTextRun> m_runs;        // nStyle: the run's font in m_fonts
    std::vector<CTextStyle> m_styles;    // each run's style, for its colour
    std::wstring m_text;                 // the runs end to end
    std::vector<size_t> m_runStarts;     // where each run starts in m_text
    std::vector<std::pair<size_t, BYTE>> m_levels;  // where each level starts, in order, with the level
    std::vector<CTextLine> m_lines;
};
