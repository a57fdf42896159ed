// Breaks arbitrary styled text into lines: every piece lies inside its run, each unit of the text lies in exactly
// one piece, in order, except line feeds and blanks dropped between lines, and each line is as wide as its pieces.
// The first byte is the width (signed); then 0xFF starts a run, 0xF0-0xFE takes the next two bytes as a unit, any
// other byte picks from a set of units that matter to line breaking.
#include <cstdlib>
#include <string_view>

#include "core/LineBreak.h"

namespace {

constexpr std::u16string_view kUnits = u" \t\n\u3000\u200B\u00A0aWi!(\u4E00\u3042\u3001\u3002\u300C\u300D\u0301"
                                       u"\u05B0\u093F\u200D\u05D0\u0628\xD835\xDC00\xD840\xDC01\xD83C\xDFFB";
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
        starts.push_back(text.size()), text += run.strText, sums.emplace_back(1, 0);
        for (char16_t c : run.strText)
            sums.back().push_back(sums.back().back() + static_cast<int>((c * 7u + run.nStyle) % 5));
    }
    const auto measure = [&](const CRunPiece& p) {
        Check(p.nRun < runs.size() && p.nBegin < p.nEnd && p.nEnd <= runs[p.nRun].strText.size());
        return sums[p.nRun][p.nEnd] - sums[p.nRun][p.nBegin] + (runs[p.nRun].nStyle == 2);
    };
    size_t at = 0;  // the next unit not yet seen; only droppable units are skipped, and only between lines
    const auto skip = [&](size_t to) {
        for (Check(to >= at); at < to; ++at)
            Check(kDroppable.find(text[at]) != kDroppable.npos);
    };
    for (const CTextLine& line : BreakLines(runs, width, measure)) {
        int sum = 0;
        for (size_t k = 0; k < line.pieces.size(); ++k) {
            const CRunPiece& p = line.pieces[k];
            const size_t begin = starts[p.nRun] + p.nBegin;
            Check(k == 0 || begin == at), skip(begin);
            sum += measure(p), at = begin + (p.nEnd - p.nBegin);
        }
        Check(line.nWidth == sum);
    }
    skip(text.size());
    return 0;
}
