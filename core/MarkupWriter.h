#pragma once
// Writes a cue's text in the canonical markup that the WebVTT and ASS/SSA
// readers hand on, whatever markup their files use, so that the overlay knows
// one form only (ParseCanonicalMarkup, CanonicalPlainText):
// - the tags <b> <i> <u> <s> and <font color="#RRGGBB"> with their closing tags,
//   properly nested and all closed at the end of the cue, so that cues joined
//   one after another never style each other; no tag encloses nothing;
// - line breaks as LF;
// - the file's own bytes for its text, with < > & written &lt; &gt; &amp;;
// - a character that the reader made (a decoded entity, a no-break space) as
//   &#N; so that the text stays in the file's own encoding, whatever it is.
// The text is cut, its tags closed, when it would pass kMaxCueText bytes.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/SubtitleTags.h"

// The most a cue's text may hold, in bytes of canonical markup (tags included):
// far beyond what a screen shows, small enough for every file.
constexpr size_t kMaxCueText = 4096;

class CMarkupWriter {
public:
    // Writes into out, which is cleared.
    explicit CMarkupWriter(std::string& out);

    // The style of the text that follows.
    void SetStyle(const CTextStyle& style);
    // Text from the file, as bytes.
    void Text(const char* text, size_t length);
    // The same, known to hold none of < > & and NUL.
    void PlainText(const char* text, size_t length);
    // A character of the reader's own (a code point).
    void Char(char32_t c);
    void LineBreak();
    // Closes the open tags; nothing is written after.
    void Finish();

    // The text has reached kMaxCueText: nothing more is taken.
    bool Full() const { return m_bFull; }
    // Something besides blanks and line breaks has been written.
    bool HasVisibleText() const { return m_bVisible; }

private:
    enum Tag { kBold, kItalic, kUnderline, kStrikeOut, kFont, kTagCount };
    // Makes the open tags those of m_want (closes only, unless openNew); false,
    // and nothing written, when they and extra more bytes would not fit.
    bool OpenStyle(size_t extra, bool openNew);
    bool Wanted(Tag tag) const;
    // Appends what fits of text (of the file's text, cut between characters,
    // when cuttable; else all or nothing); false when not all of it fitted.
    bool Put(const char* text, size_t length, bool cuttable);

    std::string& m_out;
    CTextStyle m_want;
    CTextStyle m_have;        // the style of the open tags
    Tag m_open[kTagCount];    // the open tags, outermost first
    int m_nOpen = 0;
    bool m_bChanged = false;  // m_want differs from m_have
    bool m_bFull = false;
    bool m_bVisible = false;
};
