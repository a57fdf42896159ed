// Formatting tags of cue texts parsed into styled runs.
#include "playback/SubtitleTags.h"

#include "tests/core/test_util.h"

// "text" for a plain run, "biu#RRGGBB:text" for a styled one, runs joined by "|".
static std::string Runs(const std::string& text)
{
    std::string out;
    for (const CStyledRun& run : ParseSubtitleTags(text)) {
        char color[8] = "";
        if (run.style.bHasColor)
            std::snprintf(color, sizeof color, "#%06X", run.style.nColor);
        const std::string flags = std::string(run.style.bBold ? "b" : "") + (run.style.bItalic ? "i" : "") +
                                  (run.style.bUnderline ? "u" : "") + (run.style.bStrikeOut ? "s" : "") + color;
        out += (out.empty() ? "" : "|") + (flags.empty() ? "" : flags + ":") + run.strText;
    }
    return out;
}

TEST(SubtitleTags, Runs)
{
    const struct { const char* text; const char* runs; } cases[] = {
        {"plain\ntext", "plain\ntext"},
        {"<i>a</i> <B>b</b><U>c</U><s>d</S>", "i:a| |b:b|u:c|s:d"},
        {"<b>bold <i>both</i></b> none", "b:bold |bi:both| none"},
        {"<b>a<i>b</b>c</i>d", "b:a|bi:b|i:c|d"},                  // closed out of order
        {"<i>open to the end\nsecond line", "i:open to the end\nsecond line"},
        {"</i>stray</b> closers</font>", "stray closers"},
        {"<b>x</b></b>y", "b:x|y"},
        {"a < b, <3 <br> <p>x</p> <bb> <i", "a < b, <3 <br> <p>x</p> <bb> <i"},
        {"<font color=\"#ff8000\">o</font>", "#FF8000:o"},
        {"<FONT COLOR='Red'>r<font color=navy>n</font>r</FONT>", "#FF0000:r|#000080:n|#FF0000:r"},
        {"<font color=#00FF00 size=\"2\">g</font>", "#00FF00:g"},
        {"<font color=\"nocolour\">x</font> <font face=\"Arial\">y</font>",
         "<font color=\"nocolour\">x <font face=\"Arial\">y"},
        {"<font color=\"#12345\">x</font><font color=\"#12345G\">", "<font color=\"#12345\">x<font color=\"#12345G\">"},
        {"{\\an8}{\\pos(1,2)}<i>top</i> {\\an2}kept", "i:top| {\\an2}kept"},
        {"{\\an8", "{\\an8"},
        {"<i></i>", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Runs(c.text), c.runs) << c.text;
}
