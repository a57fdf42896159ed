#include "core/LineBreak.h"

#include <algorithm>
#include <string_view>

namespace {

struct CodeRange {
    char32_t first, last;
};

const CodeRange kCombiningMarks[] = {
#include "core/CombiningMarks.inc"
};

// Characters around which a line may break without a blank.
const CodeRange kIdeographic[] = {
    {0x2E80, 0x2FFF},    // CJK and Kangxi radicals, ideographic description
    {0x3000, 0x303F},    // CJK symbols and punctuation
    {0x3040, 0x31FF},    // Hiragana, Katakana, Bopomofo, Hangul compatibility jamo, Kanbun, strokes
    {0x3200, 0x4DBF},    // enclosed CJK letters, CJK compatibility, ideographs extension A
    {0x4E00, 0x9FFF},    // CJK unified ideographs
    {0xA000, 0xA4CF},    // Yi
    {0xAC00, 0xD7A3},    // Hangul syllables
    {0xF900, 0xFAFF},    // CJK compatibility ideographs
    {0xFE30, 0xFE4F},    // CJK compatibility forms
    {0xFF01, 0xFFEE},    // halfwidth and fullwidth forms
    {0x1B000, 0x1B16F},  // kana supplement and extensions
    {0x20000, 0x3FFFF},  // ideographs extensions B to H, compatibility supplement
};

// Lines break after these. The no-break spaces (U+00A0, U+2007, U+202F) are
// not among them; the zero-width space is, so it can mark a break in text
// without blanks.
constexpr std::u16string_view kBlanks = u" \t\u1680\u2000\u2001\u2002\u2003\u2004\u2005\u2006\u2008\u2009\u200A"
                                        u"\u200B\u205F\u3000";
// These never start a line unless a word is broken between characters:
// closing brackets and quotes; full stops, commas, colons, semicolons,
// question and exclamation marks, ellipses (ASCII, CJK, fullwidth and
// halfwidth); iteration marks, the prolonged sound mark, the middle dot and
// small kana.
constexpr std::u16string_view kNoStart = u"!),.:;?]}»’”‥…‼⁇⁈⁉、。々〉》」』】〕〗〙〛〞〟〻ぁぃぅぇぉっゃゅょゎゕゖ゛゜ゝゞ゠"
                                         u"ァィゥェォッャュョヮヵヶ・ーヽヾㇰㇱㇲㇳㇴㇵㇶㇷㇸㇹㇺㇻㇼㇽㇾㇿ！），．：；？］｝｠｡｣､･ｧｨｩｪｫｬｭｮｯｰ";
// And these never end one: opening brackets and quotes.
constexpr std::u16string_view kNoEnd = u"([{«‘“〈《「『【〔〖〘〚〝（［｛｟｢";

constexpr char32_t kZeroWidthJoiner = 0x200D;

template <size_t N>
bool In(const CodeRange (&ranges)[N], char32_t c)
{
    const CodeRange* it =
        std::lower_bound(ranges, ranges + N, c, [](const CodeRange& r, char32_t value) { return r.last < value; });
    return it != ranges + N && it->first <= c;
}

bool InList(std::u16string_view list, char32_t c)
{
    return c < 0x10000 && list.find(static_cast<char16_t>(c)) != std::u16string_view::npos;
}

bool IsBlank(char32_t c)
{
    return InList(kBlanks, c);
}

// Belongs to the character before it: a combining mark, a joiner or an emoji
// skin-tone modifier.
bool Joins(char32_t c)
{
    return In(kCombiningMarks, c) || c == 0x200C || c == kZeroWidthJoiner || (c >= 0x1F3FB && c <= 0x1F3FF);
}

// May a line break between a cluster starting with `before` and one starting with `after`?
bool BreaksBetween(char32_t before, char32_t after)
{
    if (IsBlank(after))
        return false;  // a line breaks after its blanks, never before them
    if (IsBlank(before))
        return !InList(kNoStart, after);
    if (InList(kNoStart, after) || InList(kNoEnd, before))
        return false;
    return In(kIdeographic, before) || In(kIdeographic, after);
}

// The runs' texts end to end, measured piece by piece in their own runs.
class CRunText {
public:
    CRunText(const std::vector<CTextRun>& runs, const MeasurePiece& measure) : m_measure(measure)
    {
        for (const CTextRun& run : runs) {
            m_starts.push_back(m_str.size());
            m_str += run.strText;
        }
        m_starts.push_back(m_str.size());
    }

    const std::u16string& Str() const { return m_str; }

    // The code point at i, before end, and its length; a lone surrogate stands for itself.
    char32_t CodePointAt(size_t i, size_t end, size_t& length) const
    {
        const char32_t c = m_str[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < end && m_str[i + 1] >= 0xDC00 && m_str[i + 1] <= 0xDFFF) {
            length = 2;
            return 0x10000 + ((c - 0xD800) << 10) + (m_str[i + 1] - 0xDC00);
        }
        length = 1;
        return c;
    }

    // The run holding position pos (< the text's length); empty runs hold nothing.
    size_t RunAt(size_t pos) const
    {
        return static_cast<size_t>(std::upper_bound(m_starts.begin(), m_starts.end(), pos) - m_starts.begin()) - 1;
    }
    size_t RunStart(size_t run) const { return m_starts[run]; }
    size_t RunEnd(size_t run) const { return m_starts[run + 1]; }

    // [begin, end) lies within one run.
    CRunPiece Piece(size_t run, size_t begin, size_t end) const
    {
        return CRunPiece{run, begin - m_starts[run], end - m_starts[run]};
    }
    int Measure(size_t run, size_t begin, size_t end) const { return m_measure(Piece(run, begin, end)); }

private:
    std::u16string m_str;
    std::vector<size_t> m_starts;  // where each run starts, then the end
    const MeasurePiece& m_measure;
};

// Widths of [start, end) for ends that only grow: the pieces of the runs that
// end lies beyond are measured once.
class CWidthFrom {
public:
    CWidthFrom(const CRunText& text, size_t start) : m_text(text), m_nRun(text.RunAt(start)), m_nFrom(start) {}

    int To(size_t end)
    {
        for (; end > m_text.RunEnd(m_nRun); m_nFrom = m_text.RunStart(++m_nRun))
            if (m_nFrom < m_text.RunEnd(m_nRun))
                m_nDone += m_text.Measure(m_nRun, m_nFrom, m_text.RunEnd(m_nRun));
        return end > m_nFrom ? m_nDone + m_text.Measure(m_nRun, m_nFrom, end) : m_nDone;
    }

private:
    const CRunText& m_text;
    size_t m_nRun;
    size_t m_nFrom;  // where the run's unmeasured part starts
    int m_nDone = 0;
};

struct Boundary {
    size_t pos;
    bool bBreak;  // a line may end here
};

// The starts of the clusters of [p, q), each a character with the marks and
// joined characters after it, then q; a line ends at q.
std::vector<Boundary> Clusters(const CRunText& text, size_t p, size_t q)
{
    std::vector<Boundary> bounds;
    char32_t prev = 0;
    for (size_t i = p, length = 0; i < q;) {
        const char32_t c = text.CodePointAt(i, q, length);
        bounds.push_back(Boundary{i, i > p && BreaksBetween(prev, c)});
        prev = c;
        i += length;
        for (char32_t last = c; i < q; i += length) {
            const char32_t next = text.CodePointAt(i, q, length);
            if (!Joins(next) && (last != kZeroWidthJoiner || IsBlank(next)))
                break;
            last = next;
        }
    }
    bounds.push_back(Boundary{q, true});
    return bounds;
}

CTextLine MakeLine(const CRunText& text, size_t begin, size_t end, int nWidth)
{
    CTextLine line;
    line.nWidth = nWidth;
    for (size_t run = begin < end ? text.RunAt(begin) : 0; begin < end; begin = text.RunEnd(run++))
        if (begin < text.RunEnd(run))
            line.pieces.push_back(text.Piece(run, begin, std::min(end, text.RunEnd(run))));
    return line;
}

// The end of [start, end) without the blanks it ends with.
size_t TrimBlanks(const std::u16string& str, size_t start, size_t end)
{
    while (end > start && IsBlank(str[end - 1]))
        --end;
    return end;
}

// Appends the lines of the paragraph [p, q), which holds no line feed.
void BreakParagraph(const CRunText& text, size_t p, size_t q, int nMaxWidth, std::vector<CTextLine>& lines)
{
    const std::u16string& str = text.Str();
    const std::vector<Boundary> bounds = Clusters(text, p, q);
    const size_t n = bounds.size() - 1;  // clusters
    if (n == 0)
        lines.emplace_back();
    for (size_t k0 = 0; k0 < n;) {
        const size_t start = bounds[k0].pos;
        // The last break where the line fits, and the end of the first where it does not.
        size_t kFit = 0, eFit = start, eOver = q;
        int nFit = 0;
        CWidthFrom width(text, start);
        for (size_t k = k0 + 1; k <= n; ++k) {
            if (!bounds[k].bBreak)
                continue;
            const size_t e = TrimBlanks(str, start, bounds[k].pos);
            if (e == start) {
                if (k == n)
                    kFit = k;  // nothing but blanks up to the end: an empty line
                continue;      // else a break here would leave the line empty
            }
            const int w = width.To(e);
            if (w > nMaxWidth) {
                eOver = e;
                break;
            }
            kFit = k, eFit = e, nFit = w;
        }
        if (kFit == 0) {
            // The first word is too wide: as many of its clusters as fit, one at least.
            CWidthFrom forced(text, start);
            kFit = k0 + 1, eFit = bounds[kFit].pos, nFit = forced.To(eFit);
            for (size_t k = kFit + 1; k <= n && bounds[k].pos < eOver; ++k) {
                const int w = forced.To(bounds[k].pos);
                if (w > nMaxWidth)
                    break;
                kFit = k, eFit = bounds[k].pos, nFit = w;
            }
            // Blanks at this break are dropped as at any other (unless the line
            // holds nothing else): a blank before a mark that must not start a line.
            const size_t e = TrimBlanks(str, start, eFit);
            if (e > start && e < eFit)
                eFit = e, nFit = CWidthFrom(text, start).To(e);
            while (kFit < n && bounds[kFit + 1].pos == bounds[kFit].pos + 1 && IsBlank(str[bounds[kFit].pos]))
                ++kFit;
        }
        lines.push_back(MakeLine(text, start, eFit, nFit));
        k0 = kFit;
    }
}

}  // namespace

std::vector<CTextLine> BreakLines(const std::vector<CTextRun>& runs, int nMaxWidth, const MeasurePiece& measure)
{
    const CRunText text(runs, measure);
    const std::u16string& str = text.Str();
    std::vector<CTextLine> lines;
    for (size_t p = 0;;) {
        const size_t q = std::min(str.find(u'\n', p), str.size());
        BreakParagraph(text, p, q, nMaxWidth, lines);
        if (q == str.size())
            return lines;
        p = q + 1;
    }
}
