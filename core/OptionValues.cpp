#include "core/OptionValues.h"

#include <cstdio>

#include "core/SubtitleTags.h"

const char* const COptionValues::kSection = "Options";

namespace {

const char kLiveSeeThrough[] = "LiveSeeThrough";
const char kOutline[] = "Outline";
const char kOutlineWidth[] = "OutlineWidth";
const char kOutlineColor[] = "OutlineColor";
const char kFormattingTags[] = "FormattingTags";
const char kEncoding[] = "Encoding";
const char kAuto[] = "auto";

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A whole decimal number from low to high, else false.
bool ParseNumber(const std::string& text, int low, int high, int& value)
{
    const std::string digits = Trimmed(text);
    if (digits.empty() || digits.size() > 9)
        return false;
    int n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + (c - '0');
    }
    if (n < low || n > high)
        return false;
    value = n;
    return true;
}

}  // namespace

std::string ProfileValue(const std::string& raw)
{
    std::string value = raw;
    if (value.find_first_not_of(" \t") != std::string::npos && value[value.find_first_not_of(" \t")] == ';')
        return std::string();  // nothing but a comment
    for (size_t at = value.find(';'); at != std::string::npos; at = value.find(';', at + 1)) {
        if (value[at - 1] == ' ' || value[at - 1] == '\t') {
            value.erase(at);
            break;
        }
    }
    return Trimmed(value);
}

bool IsProfileValue(const std::string& value)
{
    // The profile functions also take quotes off a value that stands in them.
    if (!value.empty() && (value.front() == '"' || value.front() == '\'' || value.back() == '"' || value.back() == '\''))
        return false;
    return ProfileValue(value) == value;
}

std::string FormatColorRef(uint32_t crColor)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", static_cast<unsigned>(crColor & 0xFF),
                  static_cast<unsigned>((crColor >> 8) & 0xFF), static_cast<unsigned>((crColor >> 16) & 0xFF));
    return text;
}

bool ParseColorRef(const std::string& text, uint32_t& crColor)
{
    // Only the #RRGGBB form: the file's values stay what FormatColorRef writes.
    const std::string t = Trimmed(text);
    uint32_t rgb = 0;
    if (t.empty() || t[0] != '#' || !ParseHtmlColor(t, rgb))
        return false;
    crColor = (rgb >> 16) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
    return true;
}

void COptionValues::Read(const std::function<bool(const char* key, std::string& value)>& get)
{
    *this = COptionValues();
    std::string raw, value;
    const auto read = [&](const char* key) { return get(key, raw) && (value = ProfileValue(raw), true); };
    int n;
    if (read(kLiveSeeThrough) && ParseNumber(value, 0, 1, n))
        bLiveSeeThrough = n == 1;
    if (read(kOutline) && ParseNumber(value, 0, 1, n))
        bOutline = n == 1;
    if (read(kOutlineWidth) && ParseNumber(value, kMinOutlineWidth, kMaxOutlineWidth, n))
        nOutlineWidth = n;
    uint32_t cr;
    if (read(kOutlineColor) && ParseColorRef(value, cr))
        crOutline = cr;
    if (read(kFormattingTags) && ParseNumber(value, 0, 1, n))
        bFormattingTags = n == 1;
    if (read(kEncoding) && ParseNumber(value, 1, 65535, n))
        nCodePage = static_cast<unsigned>(n);  // "auto", like anything else, is the default
}

bool COptionValues::Write(const std::function<bool(const char* key, const std::string& value)>& put) const
{
    // Every key is tried, also after a failed one.
    bool ok = put(kLiveSeeThrough, bLiveSeeThrough ? "1" : "0");
    ok = put(kOutline, bOutline ? "1" : "0") && ok;
    ok = put(kOutlineWidth, std::to_string(nOutlineWidth)) && ok;
    ok = put(kOutlineColor, FormatColorRef(crOutline)) && ok;
    ok = put(kFormattingTags, bFormattingTags ? "1" : "0") && ok;
    ok = put(kEncoding, nCodePage ? std::to_string(nCodePage) : kAuto) && ok;
    return ok;
}
