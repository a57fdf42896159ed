// Line breaking of styled runs, measured by fake fonts.
#include "core/LineBreak.h"

#include "core/Unicode.h"
#include "tests/core/test_util.h"

namespace {

// Runs are the text's parts between '|', in styles 0, 1, 0, ...; each character is 1 wide, or with varying
// widths 'i' and 'l' 1, 'W' and 'm' 3, ideographs 4, others 2; a piece in style 1 is 1 wider (an italic
// overhang). The result: lines joined by '/', each as its pieces joined by '|', then "=width".
std::string Layout(const std::string& text, int width, bool bVarying)
{
    std::vector<CTextRun> runs;
    for (size_t at = 0, bar = 0; bar != std::string::npos; at = bar + 1) {
        bar = text.find('|', at);
        runs.push_back(CTextRun{Utf8ToUtf16(text.substr(at, bar - at)), runs.size() % 2});
    }
    const auto measure = [&](const CRunPiece& piece) {
        const std::u16string& str = runs.at(piece.nRun).strText;
        EXPECT_TRUE(piece.nBegin < piece.nEnd && piece.nEnd <= str.size()) << text;
        int w = static_cast<int>(runs[piece.nRun].nStyle);
        for (size_t i = piece.nBegin; i < piece.nEnd; ++i)
            if (const char16_t c = str[i]; c < 0xDC00 || c > 0xDFFF)  // a surrogate pair counts once
                w += !bVarying ? 1 : c == 'i' || c == 'l' ? 1 : c == 'W' || c == 'm' ? 3 : c < 0x2E80 ? 2 : 4;
        return w;
    };
    std::string out;
    for (const CTextLine& line : BreakLines(runs, width, measure)) {
        std::string pieces;
        for (const CRunPiece& piece : line.pieces)
            pieces += (pieces.empty() ? "" : "|") +
                      Utf16ToUtf8(runs[piece.nRun].strText.substr(piece.nBegin, piece.nEnd - piece.nBegin));
        out += (out.empty() ? "" : "/") + pieces + "=" + std::to_string(line.nWidth);
    }
    return out;
}

}  // namespace

TEST(LineBreak, Lines)
{
    const struct { const char* text; int width; const char* lines; bool bVarying = false; } cases[] = {
        {"Hello world", 11, "Hello world=11"}, {"Hello world", 10, "Hello=5/world=5"},
        {"one two  three", 7, "one two=7/three=5"}, {"  ab cd", 4, "  ab=4/cd=2"},  // leading blanks are text
        {"ab  \n\n \t\ncd\n", 9, "ab=2/=0/=0/cd=2/=0"}, {"", 5, "=0"}, {"|ab|", 5, "ab=3"},
        {"abcdefghij", 4, "abcd=4/efgh=4/ij=2"}, {"ab abcdefg h", 4, "ab=2/abcd=4/efg=3/h=1"},
        {"ab c", 0, "a=1/b=1/c=1"}, {"ab c", -7, "a=1/b=1/c=1"},
        {"ab\tc\u3000de\u200Bf\u00A0g", 3, "ab=2/c=1/de=2/f\u00A0g=3"},  // a no-break space holds
        {"Bonjour !", 8, "Bonjour=7/!=1"}, {"今日は良い天気です", 4, "今日は良=4/い天気で=4/す=1"},
        {"これは、テスト。終わり", 3, "これ=2/は、テ=3/スト。=3/終わり=3"}, {"あ「い」う", 3, "あ=1/「い」=3/う=1"},
        {"日本Windows版", 5, "日本=2/Windo=5/ws版=3"},
        {"Hel|lo wo|rld", 6, "Hel|lo=6/wo|rld=6"},  // style 1 adds 1 to its pieces
        {"ab|cdef|gh", 3, "ab=2/cd=3/ef=3/gh=2"}, {"שלום עולם זה מבחן", 9, "שלום עולם=9/זה מבחן=7"},
        {"Hello שלום עולם world", 10, "Hello שלום=10/עולם world=10"}, {"𝐀𝐁𝐂", 2, "𝐀𝐁=2/𝐂=1"}, {"𝐀𝐁", 0, "𝐀=1/𝐁=1"},
        {"𠀀𠀁𠀂", 2, "𠀀𠀁=2/𠀂=1"}, {"e\u0301e\u0301e\u0301", 3, "e\u0301=2/e\u0301=2/e\u0301=2"},
        {"कि कि", 0, "कि=2/कि=2"}, {"👨\u200D👩 👍🏻👍", 0, "👨\u200D👩=3/👍🏻=2/👍=1"},
        {"ab\u200D cd", 3, "ab\u200D=3/cd=2"},  // a joiner joins no blank
        {"ill will", 10, "ill will=10", true}, {"ill will", 9, "ill=3/will=5", true},
        {"Wm|W|m", 8, "Wm=6/W|m=7", true}, {"今日はi", 9, "今日=8/はi=5", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Layout(c.text, c.width, c.bVarying), c.lines) << c.text << " in " << c.width;
}
