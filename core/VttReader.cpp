#include "core/VttReader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/MarkupWriter.h"
#include "core/TextStream.h"
#include "core/TimeMs.h"

namespace {

bool HasArrow(std::string_view line)
{
    return line.find("-->") != std::string::npos;
}

// White space as WebVTT knows it.
bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

void SkipSpace(const char*& p, const char* end)
{
    while (p < end && IsSpace(*p))
        ++p;
}

inline bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// [hours:]mm:ss.ttt at p: a first number of two digits below 60 is minutes
// when only one more follows, else hours.
bool ReadTimestamp(const char*& p, const char* end, double& ms)
{
    // The usual shape, hh:mm:ss.ttt, at once.
    if (end - p >= 12 && p[2] == ':' && p[5] == ':' && p[8] == '.' && (end - p == 12 || !IsDigit(p[12]))) {
        const auto d = [p](int i) { return static_cast<unsigned>(static_cast<unsigned char>(p[i]) - '0'); };
        unsigned bad = d(3) > 5 || d(6) > 5;  // minutes or seconds of 60 and up
        for (int i : {0, 1, 4, 7, 9, 10, 11})
            bad |= d(i) > 9;
        if (!bad) {
            const unsigned min = d(3) * 10 + d(4), sec = d(6) * 10 + d(7);
            ms = static_cast<double>((d(0) * 10 + d(1)) * 3600000u + min * 60000u + sec * 1000u + d(9) * 100u +
                                     d(10) * 10u + d(11));
            p += 12;
            return true;
        }
    }
    uint64_t first, second, third = 0, millis;
    const size_t firstDigits = ReadDigits(p, end, first);
    const bool hours = firstDigits != 2 || first > 59;
    if (firstDigits == 0 || p == end || *p++ != ':' || ReadDigits(p, end, second) != 2)
        return false;
    if (hours || (p < end && *p == ':')) {
        if (p == end || *p++ != ':' || ReadDigits(p, end, third) != 2)
            return false;
    } else {
        third = second;
        second = first;
        first = 0;
    }
    if (p == end || *p++ != '.' || ReadDigits(p, end, millis) != 3 || second > 59 || third > 59)
        return false;
    return ExactTimeMs(first, second, third, millis, ms);
}

bool ReadTiming(std::string_view line, double& start, double& end)
{
    const char* p = line.data();
    const char* const e = p + line.size();
    SkipSpace(p, e);
    if (!ReadTimestamp(p, e, start))
        return false;
    SkipSpace(p, e);
    if (e - p < 3 || std::memcmp(p, "-->", 3) != 0)
        return false;
    p += 3;
    SkipSpace(p, e);
    return ReadTimestamp(p, e, end);  // the settings after it are ignored
}

// What ends a run of plain text: a tag, an entity, a line break, and what the
// canonical form writes otherwise.
struct RunEnds {
    bool is[256] = {};
    constexpr RunEnds() { is[int{'<'}] = is[int{'&'}] = is[int{'\n'}] = is[int{'>'}] = is[0] = true; }
};
constexpr RunEnds kRunEnds;

enum Tag : uint8_t { kClass, kItalic, kBold, kUnderline, kRuby, kRubyText, kVoice, kLanguage, kTagCount };

// The tag whose name stands in [p, end); kTagCount when none.
Tag TagNamed(const char* p, const char* end)
{
    switch (end - p) {
    case 1:
        switch (*p) {
        case 'c': return kClass;
        case 'i': return kItalic;
        case 'b': return kBold;
        case 'u': return kUnderline;
        case 'v': return kVoice;
        default: return kTagCount;
        }
    case 2: return std::memcmp(p, "rt", 2) == 0 ? kRubyText : kTagCount;
    case 4: return std::memcmp(p, "ruby", 4) == 0 ? kRuby : std::memcmp(p, "lang", 4) == 0 ? kLanguage : kTagCount;
    default: return kTagCount;
    }
}

// The character of the entity at p ('&'); false when it is none.
bool ReadEntity(const char*& p, const char* end, char32_t& c)
{
    // Room for numeric references with leading zeros.
    const void* found = std::memchr(p, ';', std::min<size_t>(static_cast<size_t>(end - p), 32));
    if (!found)
        return false;
    const char* const name = p + 1;
    const char* const semi = static_cast<const char*>(found);
    static const struct { const char* name; char32_t c; } kNamed[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"nbsp", 0xA0}, {"lrm", 0x200E}, {"rlm", 0x200F},
    };
    for (const auto& named : kNamed) {
        if (static_cast<size_t>(semi - name) == std::strlen(named.name) &&
            std::memcmp(name, named.name, std::strlen(named.name)) == 0) {
            c = named.c;
            p = semi + 1;
            return true;
        }
    }
    if (*name != '#' || semi - name < 2)
        return false;
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const char* digit = name + (hex ? 2 : 1);
    if (digit == semi)
        return false;
    uint32_t value = 0;
    for (; digit < semi; ++digit) {
        const char d = *digit;
        const int v = d >= '0' && d <= '9' ? d - '0'
                      : hex && d >= 'a' && d <= 'f' ? d - 'a' + 10
                      : hex && d >= 'A' && d <= 'F' ? d - 'A' + 10 : -1;
        if (v < 0)
            return false;
        value = std::min<uint32_t>(value * (hex ? 16 : 10) + static_cast<uint32_t>(v), 0x110000);
    }
    // As HTML: no character, a surrogate or beyond Unicode reads as U+FFFD.
    c = value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF) ? 0xFFFD : value;
    p = semi + 1;
    return true;
}

}  // namespace

bool ConvertVttText(const std::string& source, std::string& out)
{
    CMarkupWriter writer(out);
    std::string open;  // the open tags, innermost last: a short string needs no allocation
    int count[kTagCount] = {};
    const char* p = source.data();
    const char* const end = p + source.size();
    while (p < end && !writer.Full()) {
        if (*p == '<') {
            // A tag runs to '>' or to the end of the text.
            const char* const close = std::find(p + 1, end, '>');
            const char* name = p + 1;
            p = close < end ? close + 1 : end;
            const bool closing = name < close && *name == '/';
            if (name < close && *name >= '0' && *name <= '9')
                continue;  // a timestamp
            name += closing;
            const char* nameEnd = name;
            while (nameEnd < close && !IsSpace(*nameEnd) && *nameEnd != '.')
                ++nameEnd;
            const Tag tag = TagNamed(name, nameEnd);
            if (tag == kTagCount)
                continue;  // unknown: removed, its text kept
            if (!closing) {
                if (tag == kRubyText && (open.empty() || open.back() != static_cast<char>(kRuby)))
                    continue;  // ruby text only within ruby
                open += static_cast<char>(tag);
                ++count[tag];
            } else if (!open.empty() && open.back() == static_cast<char>(tag)) {
                --count[tag];
                open.pop_back();
            } else if (tag == kRuby && open.size() >= 2 && open.back() == static_cast<char>(kRubyText) &&
                       open[open.size() - 2] == static_cast<char>(kRuby)) {
                --count[kRubyText];
                --count[kRuby];
                open.resize(open.size() - 2);
            }
            CTextStyle style;
            style.bItalic = count[kItalic] > 0;
            style.bBold = count[kBold] > 0;
            style.bUnderline = count[kUnderline] > 0;
            writer.SetStyle(style);
            continue;
        }
        const bool shown = count[kRubyText] == 0;
        if (*p == '\n') {
            if (shown)
                writer.LineBreak();
            ++p;
            continue;
        }
        if (*p == '&') {
            char32_t c;
            if (ReadEntity(p, end, c)) {
                if (shown)
                    writer.Char(c);
                continue;
            }
        }
        if (kRunEnds.is[static_cast<unsigned char>(*p)]) {
            if (shown)
                writer.Text(p, 1);  // > or NUL, or an & that starts no entity
            ++p;
            continue;
        }
        const char* const run = p;
        while (p < end && !kRunEnds.is[static_cast<unsigned char>(*p)])
            ++p;
        if (shown)
            writer.PlainText(run, static_cast<size_t>(p - run));
    }
    writer.Finish();
    return writer.HasVisibleText();
}

CVttReader::CVttReader() = default;

CVttReader::~CVttReader() = default;

bool CVttReader::Open(const std::string& pathUtf8, const CFileEncoding& encoding)
{
    m_in = CTextStream::Open(pathUtf8, encoding);
    m_bHeld = false;
    m_nCount = 0;
    m_bByteOrderMark = false;
    if (!m_in)
        return false;
    m_bByteOrderMark = m_in->SkipByteOrderMark();
    if (!NextLine() || !IsWebVttSignature(m_line)) {
        m_in.reset();
        return false;
    }
    ReadToBlockEnd(false);  // the header
    return true;
}

bool CVttReader::NextLine()
{
    if (m_bHeld) {
        m_bHeld = false;
        return true;
    }
    return m_in && m_in->ReadLine(m_line, m_strSpill, kMaxCueSource);
}

void CVttReader::ReadToBlockEnd(bool text)
{
    m_strSource.clear();
    for (bool first = true; NextLine() && !m_line.empty(); first = false) {
        if (HasArrow(m_line)) {
            m_bHeld = true;
            return;
        }
        if (text && m_strSource.size() + !first < kMaxCueSource) {
            if (!first)
                m_strSource += '\n';
            m_strSource.append(m_line.substr(0, kMaxCueSource - m_strSource.size()));
        }
    }
}

bool CVttReader::Next(CCue& cue)
{
    while (NextLine()) {
        if (m_line.empty())
            continue;
        // The timing line comes first, or after an identifier line.
        if (!HasArrow(m_line)) {
            if (!NextLine())
                return false;
            if (m_line.empty())
                continue;
            if (!HasArrow(m_line)) {
                ReadToBlockEnd(false);  // no cue: a NOTE, STYLE or REGION block, or anything else
                continue;
            }
        }
        double start = 0, end = 0;
        const bool timed = ReadTiming(m_line, start, end);
        ReadToBlockEnd(timed);
        if (!timed || !(end > start) || !ConvertVttText(m_strSource, cue.strText))
            continue;
        cue.dStart = start;
        cue.dEnd = end;
        cue.nIndex = m_nCount < INT32_MAX ? ++m_nCount : m_nCount;
        return true;
    }
    return false;
}
