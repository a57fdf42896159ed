#include "core/SubtitleTags.h"

#include <algorithm>
#include <cstring>

#include "core/AsciiText.h"
#include "core/Unicode.h"

namespace {

struct NamedColor {
    const char* name;
    uint32_t rgb;
};

// The HTML (CSS) colour names.
const NamedColor kNamedColors[] = {
    {"aliceblue", 0xF0F8FF}, {"antiquewhite", 0xFAEBD7}, {"aqua", 0x00FFFF}, {"aquamarine", 0x7FFFD4},
    {"azure", 0xF0FFFF}, {"beige", 0xF5F5DC}, {"bisque", 0xFFE4C4}, {"black", 0x000000},
    {"blanchedalmond", 0xFFEBCD}, {"blue", 0x0000FF}, {"blueviolet", 0x8A2BE2}, {"brown", 0xA52A2A},
    {"burlywood", 0xDEB887}, {"cadetblue", 0x5F9EA0}, {"chartreuse", 0x7FFF00}, {"chocolate", 0xD2691E},
    {"coral", 0xFF7F50}, {"cornflowerblue", 0x6495ED}, {"cornsilk", 0xFFF8DC}, {"crimson", 0xDC143C},
    {"cyan", 0x00FFFF}, {"darkblue", 0x00008B}, {"darkcyan", 0x008B8B}, {"darkgoldenrod", 0xB8860B},
    {"darkgray", 0xA9A9A9}, {"darkgreen", 0x006400}, {"darkgrey", 0xA9A9A9}, {"darkkhaki", 0xBDB76B},
    {"darkmagenta", 0x8B008B}, {"darkolivegreen", 0x556B2F}, {"darkorange", 0xFF8C00}, {"darkorchid", 0x9932CC},
    {"darkred", 0x8B0000}, {"darksalmon", 0xE9967A}, {"darkseagreen", 0x8FBC8F}, {"darkslateblue", 0x483D8B},
    {"darkslategray", 0x2F4F4F}, {"darkslategrey", 0x2F4F4F}, {"darkturquoise", 0x00CED1},
    {"darkviolet", 0x9400D3}, {"deeppink", 0xFF1493}, {"deepskyblue", 0x00BFFF}, {"dimgray", 0x696969},
    {"dimgrey", 0x696969}, {"dodgerblue", 0x1E90FF}, {"firebrick", 0xB22222}, {"floralwhite", 0xFFFAF0},
    {"forestgreen", 0x228B22}, {"fuchsia", 0xFF00FF}, {"gainsboro", 0xDCDCDC}, {"ghostwhite", 0xF8F8FF},
    {"gold", 0xFFD700}, {"goldenrod", 0xDAA520}, {"gray", 0x808080}, {"green", 0x008000},
    {"greenyellow", 0xADFF2F}, {"grey", 0x808080}, {"honeydew", 0xF0FFF0}, {"hotpink", 0xFF69B4},
    {"indianred", 0xCD5C5C}, {"indigo", 0x4B0082}, {"ivory", 0xFFFFF0}, {"khaki", 0xF0E68C},
    {"lavender", 0xE6E6FA}, {"lavenderblush", 0xFFF0F5}, {"lawngreen", 0x7CFC00}, {"lemonchiffon", 0xFFFACD},
    {"lightblue", 0xADD8E6}, {"lightcoral", 0xF08080}, {"lightcyan", 0xE0FFFF},
    {"lightgoldenrodyellow", 0xFAFAD2}, {"lightgray", 0xD3D3D3}, {"lightgreen", 0x90EE90},
    {"lightgrey", 0xD3D3D3}, {"lightpink", 0xFFB6C1}, {"lightsalmon", 0xFFA07A}, {"lightseagreen", 0x20B2AA},
    {"lightskyblue", 0x87CEFA}, {"lightslategray", 0x778899}, {"lightslategrey", 0x778899},
    {"lightsteelblue", 0xB0C4DE}, {"lightyellow", 0xFFFFE0}, {"lime", 0x00FF00}, {"limegreen", 0x32CD32},
    {"linen", 0xFAF0E6}, {"magenta", 0xFF00FF}, {"maroon", 0x800000}, {"mediumaquamarine", 0x66CDAA},
    {"mediumblue", 0x0000CD}, {"mediumorchid", 0xBA55D3}, {"mediumpurple", 0x9370DB},
    {"mediumseagreen", 0x3CB371}, {"mediumslateblue", 0x7B68EE}, {"mediumspringgreen", 0x00FA9A},
    {"mediumturquoise", 0x48D1CC}, {"mediumvioletred", 0xC71585}, {"midnightblue", 0x191970},
    {"mintcream", 0xF5FFFA}, {"mistyrose", 0xFFE4E1}, {"moccasin", 0xFFE4B5}, {"navajowhite", 0xFFDEAD},
    {"navy", 0x000080}, {"oldlace", 0xFDF5E6}, {"olive", 0x808000}, {"olivedrab", 0x6B8E23},
    {"orange", 0xFFA500}, {"orangered", 0xFF4500}, {"orchid", 0xDA70D6}, {"palegoldenrod", 0xEEE8AA},
    {"palegreen", 0x98FB98}, {"paleturquoise", 0xAFEEEE}, {"palevioletred", 0xDB7093},
    {"papayawhip", 0xFFEFD5}, {"peachpuff", 0xFFDAB9}, {"peru", 0xCD853F}, {"pink", 0xFFC0CB},
    {"plum", 0xDDA0DD}, {"powderblue", 0xB0E0E6}, {"purple", 0x800080}, {"rebeccapurple", 0x663399},
    {"red", 0xFF0000}, {"rosybrown", 0xBC8F8F}, {"royalblue", 0x4169E1}, {"saddlebrown", 0x8B4513},
    {"salmon", 0xFA8072}, {"sandybrown", 0xF4A460}, {"seagreen", 0x2E8B57}, {"seashell", 0xFFF5EE},
    {"sienna", 0xA0522D}, {"silver", 0xC0C0C0}, {"skyblue", 0x87CEEB}, {"slateblue", 0x6A5ACD},
    {"slategray", 0x708090}, {"slategrey", 0x708090}, {"snow", 0xFFFAFA}, {"springgreen", 0x00FF7F},
    {"steelblue", 0x4682B4}, {"tan", 0xD2B48C}, {"teal", 0x008080}, {"thistle", 0xD8BFD8},
    {"tomato", 0xFF6347}, {"turquoise", 0x40E0D0}, {"violet", 0xEE82EE}, {"wheat", 0xF5DEB3},
    {"white", 0xFFFFFF}, {"whitesmoke", 0xF5F5F5}, {"yellow", 0xFFFF00}, {"yellowgreen", 0x9ACD32},
};

// Does text hold word at pos, in any letter case?
bool MatchesAt(const std::string& text, size_t pos, const char* word)
{
    return StartsWithNoCase(text.data() + pos, text.data() + text.size(), word);
}

// The kinds of tag; each open tag is one entry on the stack.
enum TagKind { kBold, kItalic, kUnderline, kStrikeOut, kFont };

struct OpenTag {
    TagKind kind;
    uint32_t color;
};

// A tag at text[pos] (which is '<'): its kind, whether it closes, its length and
// a font colour. False when it is not one of ours.
bool ReadTag(const std::string& text, size_t pos, TagKind& kind, bool& closing, size_t& length, uint32_t& color)
{
    const size_t end = text.find('>', pos);
    if (end == std::string::npos)
        return false;
    length = end + 1 - pos;
    size_t at = pos + 1;
    closing = text[at] == '/';
    if (closing)
        ++at;
    static const struct { char letter; TagKind kind; } kSimple[] = {
        {'b', kBold}, {'i', kItalic}, {'u', kUnderline}, {'s', kStrikeOut},
    };
    if (end == at + 1) {
        for (const auto& simple : kSimple) {
            if (AsciiLower(text[at]) == simple.letter) {
                kind = simple.kind;
                return true;
            }
        }
        return false;
    }
    if (!MatchesAt(text, at, "font"))
        return false;
    kind = kFont;
    at += 4;
    if (closing)
        return at == end;
    // <font NAME=VALUE ...>: the value quoted with " or ', or bare; a colour
    // is needed, other attributes are passed over.
    bool bHasColor = false;
    for (;;) {
        if (at == end)
            return bHasColor;
        if (!IsBlank(text[at]))
            return false;
        while (at < end && IsBlank(text[at]))
            ++at;
        if (at == end)
            return bHasColor;
        const size_t nameStart = at;
        while (at < end && text[at] != '=' && !IsBlank(text[at]))
            ++at;
        const bool isColor = at - nameStart == 5 && MatchesAt(text, nameStart, "color");
        if (at >= end || text[at] != '=')
            return false;
        ++at;
        std::string value;
        if (at < end && (text[at] == '"' || text[at] == '\'')) {
            const size_t close = text.find(text[at], at + 1);
            if (close == std::string::npos || close > end)
                return false;
            value = text.substr(at + 1, close - at - 1);
            at = close + 1;
        } else {
            const size_t valueStart = at;
            while (at < end && !IsBlank(text[at]))
                ++at;
            value = text.substr(valueStart, at - valueStart);
        }
        if (isColor) {
            if (!ParseHtmlColor(value, color))
                return false;
            bHasColor = true;
        }
    }
}

CTextStyle StyleOf(const std::vector<OpenTag>& open)
{
    CTextStyle style;
    for (const OpenTag& tag : open) {
        switch (tag.kind) {
        case kBold: style.bBold = true; break;
        case kItalic: style.bItalic = true; break;
        case kUnderline: style.bUnderline = true; break;
        case kStrikeOut: style.bStrikeOut = true; break;
        case kFont:
            style.bHasColor = true;  // the innermost colour wins
            style.nColor = tag.color;
            break;
        }
    }
    return style;
}

// The characters of the canonical markup's entities: &lt; &gt; &amp; and &#N;
// (decimal). Anything else that starts with & is text.
void AppendDecoded(std::string& out, const std::string& text, size_t from, size_t to)
{
    static const struct { const char* name; char c; } kNamed[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}};
    while (from < to) {
        const size_t amp = text.find('&', from);
        if (amp >= to) {
            out.append(text, from, to - from);
            return;
        }
        out.append(text, from, amp - from);
        from = amp + 1;
        // The longest entity, &#1114111;, has ten characters.
        const void* found = std::memchr(text.data() + amp, ';', std::min<size_t>(to - amp, 10));
        const size_t semi = found ? static_cast<size_t>(static_cast<const char*>(found) - text.data()) : to;
        if (semi >= to) {
            out += '&';
            continue;
        }
        bool decoded = false;
        for (const auto& named : kNamed) {
            if (text.compare(amp, semi + 1 - amp, named.name) == 0) {
                out += named.c;
                decoded = true;
            }
        }
        if (!decoded && text[amp + 1] == '#' && semi > amp + 2) {
            char32_t code = 0;
            size_t i = amp + 2;
            while (i < semi && text[i] >= '0' && text[i] <= '9')
                code = code * 10 + static_cast<char32_t>(text[i++] - '0');
            if (i == semi) {
                if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
                    code = 0xFFFD;
                unsigned char bytes[4];
                out.append(reinterpret_cast<const char*>(bytes), EncodeUtf8(code, bytes));
                decoded = true;
            }
        }
        if (decoded)
            from = semi + 1;
        else
            out += '&';
    }
}

void Append(std::vector<CStyledRun>& runs, const std::string& text, size_t from, size_t to,
            const CTextStyle& style, bool decode)
{
    if (from >= to)
        return;
    if (runs.empty() || runs.back().style != style)
        runs.push_back(CStyledRun{std::string(), style});
    if (decode)
        AppendDecoded(runs.back().strText, text, from, to);
    else
        runs.back().strText.append(text, from, to - from);
}

// SubRip texts as they stand, or the canonical markup: no leading overrides
// there, and its entities decoded.
std::vector<CStyledRun> ParseRuns(const std::string& text, bool canonical)
{
    size_t pos = 0;
    // Leading override blocks: {\an8}, {\pos(10,20)} and the like.
    while (!canonical && text.compare(pos, 2, "{\\") == 0) {
        const size_t close = text.find('}', pos);
        if (close == std::string::npos)
            break;
        pos = close + 1;
    }

    std::vector<CStyledRun> runs;
    std::vector<OpenTag> open;
    CTextStyle style;
    size_t textStart = pos;
    while ((pos = text.find('<', pos)) != std::string::npos) {
        TagKind kind;
        bool closing;
        size_t length;
        uint32_t color = 0;
        if (!ReadTag(text, pos, kind, closing, length, color)) {
            ++pos;  // not ours: stays text
            continue;
        }
        Append(runs, text, textStart, pos, style, canonical);
        pos += length;
        textStart = pos;
        if (!closing) {
            open.push_back(OpenTag{kind, color});
        } else {
            // Closes the innermost open tag of its kind; none open: dropped.
            for (size_t i = open.size(); i-- > 0;) {
                if (open[i].kind == kind) {
                    open.erase(open.begin() + static_cast<std::ptrdiff_t>(i));
                    break;
                }
            }
        }
        style = StyleOf(open);
    }
    Append(runs, text, textStart, text.size(), style, canonical);
    return runs;
}

}  // namespace

bool ParseHtmlColor(const std::string& text, uint32_t& rgb)
{
    if (text.size() == 7 && text[0] == '#') {
        uint32_t value = 0;
        for (size_t i = 1; i < 7; ++i) {
            const int digit = HexDigit(text[i]);
            if (digit < 0)
                return false;
            value = value << 4 | static_cast<uint32_t>(digit);
        }
        rgb = value;
        return true;
    }
    for (const NamedColor& named : kNamedColors) {
        if (text.size() == std::strlen(named.name) && MatchesAt(text, 0, named.name)) {
            rgb = named.rgb;
            return true;
        }
    }
    return false;
}

std::vector<CStyledRun> ParseSubtitleTags(const std::string& text)
{
    return ParseRuns(text, false);
}

std::vector<CStyledRun> ParseCanonicalMarkup(const std::string& text)
{
    return ParseRuns(text, true);
}

std::string CanonicalPlainText(const std::string& text)
{
    std::string plain;
    for (const CStyledRun& run : ParseRuns(text, true))
        plain += run.strText;
    return plain;
}
