// Formatting tags of cue texts parsed into styled runs.
#include "core/SubtitleTags.h"

#include "tests/core/test_util.h"

// Runs joined by "|", each "style:text" with the style as letters b i u s and #RRGGBB.
static std::string Runs(const std::string& text, bool canonical = false) {
    std::string out;
    for (const CStyledRun& run : canonical ? ParseCanonicalMarkup(text) : ParseSubtitleTags(text)) {
        const CTextStyle& s = run.style;
        char color[8] = "";
        std::snprintf(color, sizeof color, s.bHasColor ? "#%06X" : "", s.nColor);
        out += std::string(out.empty() ? "" : "|") + (s.bBold ? "b" : "") + (s.bItalic ? "i" : "") +
               (s.bUnderline ? "u" : "") + (s.bStrikeOut ? "s" : "") + color + ":" + run.strText;
    }
    return out;
}

TEST(SubtitleTags, Runs) {
    const struct { const char* text; const char* runs; } cases[] = {
        {"<i>a</i> <B>b</b><U>c</U><s>d</S>\ne", "i:a|: |b:b|u:c|s:d|:\ne"},
        {"<b>a<i>b</b>c</i>d", "b:a|bi:b|i:c|:d"},  // nested, closed out of order
        {"<i>open to the end\nsecond line", "i:open to the end\nsecond line"},
        {"</i>stray</b> closers</font><b>x</b></b>", ":stray closers|b:x"},
        {"a < b, <3 <br> <p>x</p> <bb> <i", ":a < b, <3 <br> <p>x</p> <bb> <i"},
        {"<FONT COLOR='Red'>r<font color=\"#ff8000\">o</font>r</FONT>", "#FF0000:r|#FF8000:o|#FF0000:r"},
        {"<font size=2 color=#00FF00>g</font>", "#00FF00:g"},
        {"<font color=\"no\">x</font><font face=\"A\">y", ":<font color=\"no\">x<font face=\"A\">y"},
        {"<font color=#12345>a<font color=\"#12345G\">", ":<font color=#12345>a<font color=\"#12345G\">"},
        {"{\\an8}{\\pos(1,2)}<i>top</i> {\\an2}kept", "i:top|: {\\an2}kept"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Runs(c.text), c.runs) << c.text;
}

TEST(SubtitleTags, CanonicalMarkup) {
    const struct { const char* text; const char* runs; const char* plain; } cases[] = {
        {"<b>a <i>&lt;i&gt;</i></b>\n<font color=\"#00FF80\">&amp;amp;</font>", "b:a |bi:<i>|:\n|#00FF80:&amp;",
         "a <i>\n&amp;"},
        {"{\\an8}&#233;&#128512;&#0;&#55296;&#1114112;", ":{\\an8}\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD",
         "{\\an8}\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"& &x; &#; &#12a; &#1234567890;", ":& &x; &#; &#12a; &#1234567890;", "& &x; &#; &#12a; &#1234567890;"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Runs(c.text, true), c.runs) << c.text;
        EXPECT_EQ(CanonicalPlainText(c.text), c.plain) << c.text;
    }
}
