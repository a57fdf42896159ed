// The canonical markup as the readers write it: tags only around text, closed in order, cut at the bound.
#include "core/MarkupWriter.h"

#include "tests/core/test_util.h"

TEST(MarkupWriter, TagsOnlyAroundText) {
    CTextStyle italic, bold, red, blue;
    italic.bItalic = bold.bBold = red.bHasColor = blue.bHasColor = true;
    red.nColor = 0xFF0000, blue.nColor = 0x0000FF;
    CTextStyle boldItalic = italic;
    boldItalic.bBold = true;
    std::string out;
    CMarkupWriter w(out);
    w.SetStyle(bold), w.SetStyle(CTextStyle()), w.Text("a", 1);         // a style that holds no text writes nothing
    w.SetStyle(italic), w.Text("b", 1), w.LineBreak(), w.Text("c", 1);  // a break inside a style keeps it open
    w.SetStyle(CTextStyle()), w.LineBreak(), w.SetStyle(boldItalic);    // a style that ends closes before the break
    w.Char(0xE9), w.SetStyle(bold), w.Text("<&>", 3);                   // inner tags close first
    w.SetStyle(red), w.Text("r", 1), w.SetStyle(blue), w.Char('b'), w.SetStyle(italic), w.Finish();
    EXPECT_EQ(out, "a<i>b\nc</i>\n<b><i>&#233;</i>&lt;&amp;&gt;</b><font color=\"#FF0000\">r</font><font color=\"#0000FF\">b</font>");
    EXPECT_TRUE(w.HasVisibleText());
    // At the bound: no tag opens that could hold nothing, and nothing is written after.
    for (size_t filled = kMaxCueText - 40; filled < kMaxCueText; ++filled) {
        CMarkupWriter full(out);
        full.Text(std::string(filled, ' ').data(), filled), full.SetStyle(boldItalic), full.Text("x", 1), full.Char(0x1F600);
        full.Finish();
        EXPECT_TRUE(out.size() <= kMaxCueText && out.find("<b><i></i></b>") == std::string::npos) << filled << out.substr(filled);
        EXPECT_EQ(full.HasVisibleText(), out.find('x') != std::string::npos) << filled;
    }
}
