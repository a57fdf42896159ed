// Breaks arbitrary styled text into lines and checks what every layout relies on: each unit of the text lies in
// exactly one piece, in order, except line feeds and blanks dropped at line ends; each line is as wide as its
// pieces; only blank paragraphs give empty lines; no wrap splits a character from its marks or a surrogate pair.
// The first byte is the width (signed); then 0xFF starts a run, 0xF0-0xFE takes the next two bytes as a unit,
// any other byte picks from a set of units that matter to line breaking.
#include <cstdlib>
#include <string_view>

#include "core/LineBreak.h"

namespace {

constexpr std::u16string_view kUnits = u" \t\n\u3000\u200B\u00A0aWi!(\u4E00\u3042\u3001\u3002\u300C\u300D\u0301"
                                       u"\u05B0\u093F\u200D\u05D0\u0628\xD835\xDC00\xD840\xDC01\xD83C\xDFFB";
constexpr std::u16string_view kMarks = u"\u0301\u05B0\u093F";
constexpr std::u16string_view kDroppable = u" \t\u1680\u2000\u2001\u2002\u2003\u2004\u2005\u2006\u2008\u2009\u200A"
                                           u"\u200B\u205F\u3000\n";

void Check(bool ok) { if (!ok) std::abort(); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const int width = size > 0 ? static_cast<int8_t>(data[0]) : 0;
    std::vector<CTextRun> runs(1);
    for (size_t i = 1; i < size; ++i) {
        if (data[i] == 0xFF)
            runs.push_back(CTextRun{u"", runs.size() % 3});
        else if (data[i] >= 0xF0 && i + 2 < size)
            runs.back().strText += static_cast<char16_t>(data[i + 1] << 8 | data[i + 2]), i += 2;
        else
            runs.back().strText += kUnits[data[i] % kUnits.size()];
    }
    // Each unit 0 to 4 wide by its value and style, and style 2 one more per piece: prefix sums per run.
    std::u16string text;
    std::vector<size_t> starts;
    std::vector<std::vector<int>> sums;
    for (const CTextRun& run : runs) {
        starts.push_back(text.size());
        text += run.strText;
        sums.emplace_back(1, 0);
        for (char16_t c : run.strText)
            sums.back().push_back(sums.back().back() + static_cast<int>((c * 7u + run.nStyle) % 5));
    }
    const auto measure = [&](const CRunPiece& p) {
        Check(p.nRun < runs.size() && p.nBegin < p.nEnd && p.nEnd <= runs[p.nRun].strText.size());
        return sums[p.nRun][p.nEnd] - sums[p.nRun][p.nBegin] + (runs[p.nRun].nStyle == 2);
    };
    const std::vector<CTextLine> lines = BreakLines(runs, width, measure);

    constexpr std::u16string_view kBlanks = kDroppable.substr(0, kDroppable.size() - 1);
    size_t blankParagraphs = 0, emptyLines = 0;
    for (size_t i = 0, p = 0; i <= text.size(); ++i)
        if (i == text.size() || text[i] == u'\n')
            blankParagraphs += text.find_first_not_of(kBlanks, p) >= i, p = i + 1;
    // Between two lines with text, as many line feeds as lines end with one: each empty line is a paragraph.
    size_t at = 0, next = 0;  // the next unit not yet seen; the line after the last one with text
    bool any = false;
    const auto in = [&](std::u16string_view set, size_t i) { return set.find(text[i]) != set.npos; };
    const auto skip = [&](size_t to) {
        size_t feeds = 0;
        for (; at < to; ++at)
            Check(in(kDroppable, at)), feeds += text[at] == u'\n';
        return feeds;
    };
    for (size_t n = 0; n < lines.size(); ++n) {
        const CTextLine& line = lines[n];
        emptyLines += line.pieces.empty();
        int sum = 0;
        for (size_t k = 0; k < line.pieces.size(); ++k) {
            const CRunPiece& p = line.pieces[k];
            sum += measure(p);
            const size_t begin = starts[p.nRun] + p.nBegin;
            Check(begin >= at && (k == 0 || begin == at));  // in order, one stretch per line
            const size_t end = at, feeds = skip(begin);
            if (k == 0) {
                // A wrap: never before a mark or skin tone, inside a surrogate pair, or after a joiner but a blank.
                const bool wrap = any && feeds == 0 && n == next;
                Check(wrap || feeds == n - next + any);
                Check(!wrap || !(in(kMarks, begin) || !text.compare(begin, 2, u"\xD83C\xDFFB") ||
                                 (text[begin] >= 0xDC00 && text[begin] <= 0xDFFF && text[begin - 1] >= 0xD800 &&
                                  text[begin - 1] <= 0xDBFF) ||
                                 (begin == end && text[begin - 1] == 0x200D && !in(kBlanks, begin))));
                any = true, next = n + 1;
            }
            at = begin + (p.nEnd - p.nBegin);
        }
        Check(line.nWidth == sum);
    }
    Check(skip(text.size()) == lines.size() - next - !any && emptyLines == blankParagraphs);
    return 0;
}
