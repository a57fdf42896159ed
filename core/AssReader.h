#pragma once
// Reads an ASS or SSA script. Its events stand in no particular order, so Open
// reads them all and sorts them by start (equal starts keep the file's order);
// Next hands them on. Only the events' times and texts are kept, in one block.
//
// The script as read: the text-mode stream's rules (UTF-16 read as UTF-8, a
// Ctrl-Z ends it), then LF, CR and CR LF each end a line; blanks at the start of
// a line are passed over; a line [Name] starts a section. [Script Info] gives
// WrapStyle. In [Events], a Format: line names the fields of the events that
// follow (Start, End and Text needed, Text last; else it is ignored); without
// one the fields are those of ASS (Layer, Start, End, Style, Name, MarginL,
// MarginR, MarginV, Effect, Text) and SSA (Marked, ...), which stand alike. A
// Dialogue: line is an event: its Text is everything after the comma that
// ends the field before it, commas included. Comment: and other lines are
// skipped. A time reads h:mm:ss.cc: any count of digits for each of hours,
// minutes and seconds, then one to three digits of a fraction of a second
// (".5" half a second, ".25" and ".250" a quarter). An event whose times do
// not read, whose end is not after its start or whose text shows nothing is
// skipped.
//
// Text: override blocks {...} set styles: \i1 \i0 \b1 \b0 (\b with a weight of
// 700 and up is bold too) \u1 \u0 \s1 \s0, \c&HBBGGRR& and \1c the colour (its
// hex digits in blue, green, red order), \r back to plain; an empty value (\i,
// \c) is plain too, since the script's styles are not read. Every other
// override is removed, also what \t animates, and text in a block without a
// backslash is a comment. \N breaks the line, \n too under wrap style 2 (\q2 or
// WrapStyle: 2) and else reads as a blank, \h is a no-break space. Text in
// drawing mode (\p1 and up, to \p0) is not shown. A { without its } is text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/CueReader.h"

class CAssReader : public CCueReader {
public:
    bool Open(const std::string& pathUtf8, const CFileEncoding& encoding = {}) override;
    bool Next(CCue& cue) override;
    bool HasByteOrderMark() const override { return m_bByteOrderMark; }

private:
    struct Event {
        double dStart, dEnd;
        size_t nText;      // where its text starts in m_strTexts
        uint32_t nLength;  // and its length
        int32_t nIndex;
    };
    std::vector<Event> m_events;  // sorted by start
    std::string m_strTexts;       // the texts of all events, one after another
    size_t m_nNext = 0;
    bool m_bByteOrderMark = false;
};

// An event's text in the canonical markup; wrapStyle: the script's WrapStyle.
// False when it shows nothing.
bool ConvertAssText(const char* text, size_t length, int wrapStyle, std::string& out);
