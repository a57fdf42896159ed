#include "core/AssReader.h"

#include <algorithm>
#include <cstdint>

#include "core/AsciiText.h"
#include "core/MarkupWriter.h"
#include "core/TextStream.h"
#include "core/TimeMs.h"

namespace {

// A line is kept up to its event's text and kMaxCueSource bytes of that.
constexpr size_t kMaxLine = kMaxCueSource + 4096;

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// h:mm:ss.cc, the whole of [p, end) but for blanks around it.
bool ReadTime(const char* p, const char* end, double& ms)
{
    TrimBlanks(p, end);
    uint64_t hour, min, sec, fraction = 0;
    if (!ReadDigits(p, end, hour) || p == end || *p++ != ':' || !ReadDigits(p, end, min) || p == end ||
        *p++ != ':' || !ReadDigits(p, end, sec))
        return false;
    if (p < end && *p == '.') {
        ++p;
        const size_t digits = ReadDigits(p, end, fraction);
        if (digits == 0 || digits > 3)
            return false;
        for (size_t i = digits; i < 3; ++i)
            fraction *= 10;
    }
    return p == end && ExactTimeMs(hour, min, sec, fraction, ms);
}

// The state that override blocks change within one event.
struct OverrideState {
    CTextStyle style;
    uint64_t drawing = 0;  // \p level; text is shown at 0 only
    bool hardWrap = false; // \n breaks the line
    int wrapStyle = 0;     // the script's
};

// A colour value: &H, then hex digits in blue, green, red order, then &.
void ReadColor(const char* p, const char* end, CTextStyle& style)
{
    while (p < end && (*p == '&' || *p == 'H' || *p == 'h' || IsBlank(*p)))
        ++p;
    uint32_t bgr = 0;
    const char* const digits = p;
    for (int v; p < end && (v = HexDigit(*p)) >= 0; ++p)
        bgr = bgr << 4 | static_cast<uint32_t>(v);
    style.bHasColor = p > digits;
    style.nColor = (bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF);
}

// One override: its name, then its value, in [p, end).
void ApplyOverride(const char* p, const char* end, OverrideState& state)
{
    const char* const name = p;
    if (p < end && *p >= '0' && *p <= '9')
        ++p;  // \1c, \2c ...
    while (p < end && IsLetter(*p))
        ++p;
    const char* const nameEnd = p;
    if (name == nameEnd)
        return;
    if (*name == 'r') {
        state.style = CTextStyle();  // \r and \rStyle: back to plain
        return;
    }
    if (EqualsNoCase(name, nameEnd, "c") || EqualsNoCase(name, nameEnd, "1c")) {
        ReadColor(p, end, state.style);
        return;
    }
    // The rest take a number; none (\i) means the style's value: plain.
    while (p < end && IsBlank(*p))
        ++p;
    uint64_t value = 0;
    const bool given = ReadDigits(p, end, value) > 0;
    if (nameEnd - name != 1)
        return;
    switch (*name) {
    case 'i': state.style.bItalic = given && value == 1; break;
    case 'b': state.style.bBold = given && (value == 1 || value >= 700); break;
    case 'u': state.style.bUnderline = given && value == 1; break;
    case 's': state.style.bStrikeOut = given && value == 1; break;
    case 'p': state.drawing = value; break;
    case 'q': state.hardWrap = given ? value == 2 : state.wrapStyle == 2; break;
    default: break;
    }
}

// The overrides of one block, between its braces.
void ApplyOverrides(const char* p, const char* end, OverrideState& state)
{
    while (p < end) {
        if (*p++ != '\\')
            continue;  // text in a block is a comment
        // An override runs to the next backslash outside parentheses.
        const char* const start = p;
        for (int depth = 0; p < end && (depth > 0 || *p != '\\'); ++p) {
            if (*p == '(')
                ++depth;
            else if (*p == ')' && depth > 0)
                --depth;
        }
        ApplyOverride(start, p, state);
    }
}

}  // namespace

bool ConvertAssText(const char* text, size_t length, int wrapStyle, std::string& out)
{
    CMarkupWriter writer(out);
    OverrideState state;
    state.wrapStyle = wrapStyle;
    state.hardWrap = wrapStyle == 2;
    const char* p = text;
    const char* const end = text + length;
    // Once a { has no } after it, no later one has.
    bool braces = true;
    while (p < end && !writer.Full()) {
        if (*p == '{' && braces) {
            const char* const close = std::find(p + 1, end, '}');
            if (close < end) {
                ApplyOverrides(p + 1, close, state);
                writer.SetStyle(state.style);
                p = close + 1;
                continue;
            }
            braces = false;
        } else if (*p == '\\' && end - p >= 2 && (p[1] == 'N' || p[1] == 'n' || p[1] == 'h')) {
            if (state.drawing == 0) {
                if (p[1] == 'N' || (p[1] == 'n' && state.hardWrap))
                    writer.LineBreak();
                else
                    writer.Char(p[1] == 'h' ? 0xA0 : ' ');
            }
            p += 2;
            continue;
        }
        const char* const run = p++;
        while (p < end && *p != '{' && *p != '\\')
            ++p;
        if (state.drawing == 0)
            writer.Text(run, static_cast<size_t>(p - run));
    }
    writer.Finish();
    return writer.HasVisibleText();
}

bool CAssReader::Open(const std::string& pathUtf8, const CFileEncoding& encoding)
{
    m_events.clear();
    m_strTexts.clear();
    m_nNext = 0;
    m_bByteOrderMark = false;
    const std::unique_ptr<CTextStream> in = CTextStream::Open(pathUtf8, encoding);
    if (!in)
        return false;
    m_bByteOrderMark = in->SkipByteOrderMark();

    enum { kOther, kInfo, kEvents } section = kOther;
    // Where Start, End and Text stand among the fields: ASS's and SSA's defaults.
    size_t startField = 1, endField = 2, textField = 9;
    int wrapStyle = 0;
    int32_t count = 0;
    std::string_view line;
    std::string spill, text, converted;
    while (in->ReadLine(line, spill, kMaxLine)) {
        const char* p = line.data();
        const char* end = p + line.size();
        while (p < end && IsBlank(*p))
            ++p;
        if (p < end && *p == '[') {
            TrimBlanks(p, end);
            section = EqualsNoCase(p, end, "[events]") ? kEvents : EqualsNoCase(p, end, "[script info]") ? kInfo : kOther;
        } else if (section == kInfo && StartsWithNoCase(p, end, "wrapstyle:")) {
            p += 10;
            TrimBlanks(p, end);
            uint64_t value = 0;
            wrapStyle = ReadDigits(p, end, value) > 0 && value == 2 ? 2 : 0;
        } else if (section == kEvents && StartsWithNoCase(p, end, "format:")) {
            size_t field = 0, start = SIZE_MAX, stop = SIZE_MAX, textAt = SIZE_MAX;
            for (p += 7;; ++field) {
                const char* const comma = std::find(p, end, ',');
                const char* nameEnd = comma;
                TrimBlanks(p, nameEnd);
                if (EqualsNoCase(p, nameEnd, "start"))
                    start = field;
                else if (EqualsNoCase(p, nameEnd, "end"))
                    stop = field;
                else if (EqualsNoCase(p, nameEnd, "text"))
                    textAt = field;
                if (comma == end)
                    break;
                p = comma + 1;
            }
            if (start != SIZE_MAX && stop != SIZE_MAX && textAt == field) {
                startField = start;
                endField = stop;
                textField = textAt;
            }
        } else if (section == kEvents && StartsWithNoCase(p, end, "dialogue:")) {
            p += 9;
            double startMs = 0, endMs = 0;
            bool timed = true;
            for (size_t field = 0; field < textField && timed; ++field) {
                const char* const comma = std::find(p, end, ',');
                if (comma == end)
                    timed = false;
                else if (field == startField)
                    timed = ReadTime(p, comma, startMs);
                else if (field == endField)
                    timed = ReadTime(p, comma, endMs);
                p = comma < end ? comma + 1 : end;
            }
            if (!timed || !(endMs > startMs))
                continue;
            size_t length = std::min(static_cast<size_t>(end - p), kMaxCueSource);
            // Read as it will be drawn: a text in the ANSI code page is converted first, so that a
            // trail byte of a double-byte character that reads as \ { or } starts no override.
            if (encoding.nCodePage == 0 && encoding.decode && std::any_of(p, p + length, [](char c) { return c & 0x80; }) &&
                !IsUtf8Text(converted.assign(p, length))) {
                converted = encoding.decode(0, p, length);
                p = converted.data();
                length = std::min(converted.size(), kMaxCueSource);
            }
            if (!ConvertAssText(p, length, wrapStyle, text))
                continue;
            count += count < INT32_MAX;
            m_events.push_back(Event{startMs, endMs, m_strTexts.size(), static_cast<uint32_t>(text.size()), count});
            m_strTexts += text;
        }
    }
    std::stable_sort(m_events.begin(), m_events.end(),
                     [](const Event& a, const Event& b) { return a.dStart < b.dStart; });
    return true;
}

bool CAssReader::Next(CCue& cue)
{
    if (m_nNext >= m_events.size())
        return false;
    const Event& event = m_events[m_nNext++];
    cue.dStart = event.dStart;
    cue.dEnd = event.dEnd;
    cue.strText.assign(m_strTexts, event.nText, event.nLength);
    cue.nIndex = event.nIndex;
    return true;
}
