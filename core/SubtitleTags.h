#pragma once
// The formatting tags that SubRip files carry in their texts: <i> <b> <u> <s>
// and <font color="..."> with their closing tags, in any letter case, nested.
// A tag left open runs to the end of the text; a closing tag with no open tag
// of its kind is dropped; anything else that looks like a tag is kept as text,
// so nothing the file holds is lost. A leading override block such as {\an8}
// is removed.

#include <cstdint>
#include <string>
#include <vector>

struct CTextStyle {
    bool bBold = false;
    bool bItalic = false;
    bool bUnderline = false;
    bool bStrikeOut = false;
    bool bHasColor = false;  // else the text colour chosen on the panel
    uint32_t nColor = 0;     // 0xRRGGBB

    bool operator==(const CTextStyle& o) const
    {
        return bBold == o.bBold && bItalic == o.bItalic && bUnderline == o.bUnderline &&
               bStrikeOut == o.bStrikeOut && bHasColor == o.bHasColor && (!bHasColor || nColor == o.nColor);
    }
    bool operator!=(const CTextStyle& o) const { return !(*this == o); }
};

// A piece of text in one style. Line feeds stay in the text.
struct CStyledRun {
    std::string strText;
    CTextStyle style;
};

// The text split into runs: no run is empty, neighbours differ in style.
std::vector<CStyledRun> ParseSubtitleTags(const std::string& text);

// The canonical markup that the WebVTT and ASS/SSA readers write (CMarkupWriter):
// the same tags, read by the same rules, with no override blocks and with the
// entities &lt; &gt; &amp; and &#N; (decimal) decoded to UTF-8.
std::vector<CStyledRun> ParseCanonicalMarkup(const std::string& text);
// The canonical markup's text alone: tags removed, entities decoded.
std::string CanonicalPlainText(const std::string& text);

// A colour as "#RRGGBB" (any letter case) or an HTML colour name. False when
// it is neither.
bool ParseHtmlColor(const std::string& text, uint32_t& rgb);
