#pragma once
// Breaks styled text into lines that fit a width. The text is a sequence of
// runs, each in one style, so that a style change may fall inside a word; the
// lines come out in logical order, and the platform's layout draws each one in
// visual order (right-to-left runs reversed there, not here).
//
// - A line feed always ends a line: n line feeds give at least n + 1 lines.
// - Lines break after blanks, before the next word; the blanks at the end of a
//   line (at a break, before a line feed, at the end) are neither drawn nor
//   counted. Blanks at the start of the text or after a line feed are kept.
// - Between ideographic characters (CJK ideographs, kana, Hangul syllables,
//   CJK punctuation, fullwidth forms) a line may break without a blank, except
//   before punctuation that must not start a line or after an opening bracket
//   (the lists are in LineBreak.cpp).
// - A word wider than the line is broken between characters, as often as
//   needed, never inside a surrogate pair and never before a combining mark.
// - Every line holds at least one character, whatever the width (0 or below
//   too), so the layout always ends; only such a single character may be
//   wider than the width.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// Text in one style; nStyle indexes the caller's styles.
struct CTextRun {
    std::u16string strText;
    size_t nStyle = 0;
};

// Characters [nBegin, nEnd) of run nRun; never empty.
struct CRunPiece {
    size_t nRun = 0;
    size_t nBegin = 0;
    size_t nEnd = 0;
};

struct CTextLine {
    std::vector<CRunPiece> pieces;  // in logical order
    int nWidth = 0;                 // the sum of the pieces' widths
};

// Width of a piece of one run's text in that run's style.
using MeasurePiece = std::function<int(const CRunPiece&)>;

// The lines of runs for a width of nMaxWidth. An empty text is one empty line.
std::vector<CTextLine> BreakLines(const std::vector<CTextRun>& runs, int nMaxWidth, const MeasurePiece& measure);
