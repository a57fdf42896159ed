#pragma once
// Reads a WebVTT file forward, one cue at a time, in the file's order, holding
// no more than one cue: the file is never loaded whole.
//
// The file as read: the text-mode stream's rules (UTF-16 read as UTF-8, a
// Ctrl-Z ends it), then LF, CR and CR LF each end a line. The first line is the
// signature (IsWebVttSignature); the header lines below it run to an empty
// line. Then blocks, separated by empty lines:
// - a cue: an optional identifier line, a timing line (one that holds "-->"),
//   then its text lines;
// - anything else (NOTE, STYLE and REGION blocks among them) is skipped.
// A timing line reads "start --> end" and then settings, which are ignored; a
// time is [hours:]mm:ss.ttt, the hours of any count of digits (also one, as
// browsers read it), minutes and seconds two digits below 60, milliseconds
// three digits. A block whose timing line does not read is skipped. As in
// browsers, a line holding "-->" ends the block it stands in and starts the
// next one, so that cues without an empty line between them are not lost.
// A cue whose end is not after its start, or whose text shows nothing, is
// skipped: it could never be seen.
//
// Cue text markup: <i> <b> <u> are styles; <c.class>, <v Name>, <lang xx>,
// <ruby> and inner timestamps <00:01.500> are removed and their text kept; the
// text of <rt> is dropped. An end tag closes the innermost open tag only when it
// is of its kind, as in browsers. The entities &amp; &lt; &gt; &nbsp; &lrm;
// &rlm; and numeric ones (&#233; &#xE9;) are decoded; any other & is text.

#include <memory>
#include <string>
#include <string_view>

#include "core/CueReader.h"

class CTextStream;

class CVttReader : public CCueReader {
public:
    CVttReader();
    ~CVttReader() override;

    bool Open(const std::string& pathUtf8, const CFileEncoding& encoding = {}) override;
    bool Next(CCue& cue) override;
    bool HasByteOrderMark() const override { return m_bByteOrderMark; }

private:
    // The next line into m_line (the one held back, if any); false at the end.
    bool NextLine();
    // Reads on to the end of the block: an empty line, the end, or a line with
    // "-->", which is held back to start the next block. Appends the lines to
    // m_strSource (LF between them) while text is wanted.
    void ReadToBlockEnd(bool text);

    std::unique_ptr<CTextStream> m_in;
    std::string_view m_line;  // valid until the next read
    std::string m_strSpill;   // holds m_line when the stream's buffer cannot
    bool m_bHeld = false;     // m_line has been read and starts the next block
    std::string m_strSource;  // the text lines of the cue being read
    int32_t m_nCount = 0;     // cues handed on
    bool m_bByteOrderMark = false;
};

// A WebVTT cue's text (its lines joined by LF) in the canonical markup. False
// when it shows nothing.
bool ConvertVttText(const std::string& source, std::string& out);
