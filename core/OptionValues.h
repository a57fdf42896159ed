#pragma once
// The options kept in Kelvane.ini, section [Options], and their text forms.
// Users and scripts may write the file by hand: a missing key or a value that
// does not read gives that option's default, so a bad line never blocks.
//
//   LiveSeeThrough=0|1   see-through shows the film live (a colour-keyed window)
//   Outline=0|1          text drawn with an outline
//   OutlineWidth=1..6    outline width in pixels
//   OutlineColor=#RRGGBB outline colour
//   FormattingTags=0|1   <i> <b> <u> <s> <font color> drawn as styles
//   Encoding=auto|N      subtitle files without a byte-order mark: auto (each
//                        text UTF-8 when it is UTF-8, else the system's ANSI
//                        code page) or a Windows code page number, 1..65535

#include <cstdint>
#include <functional>
#include <string>

struct COptionValues {
    static constexpr int kMinOutlineWidth = 1;
    static constexpr int kMaxOutlineWidth = 6;
    static const char* const kSection;

    bool bLiveSeeThrough = false;
    bool bOutline = false;
    int nOutlineWidth = 2;
    uint32_t crOutline = 0;  // a COLORREF: 0x00BBGGRR; black
    bool bFormattingTags = false;
    unsigned nCodePage = 0;  // 0: auto

    // Reads every key through get, which returns false for a missing key.
    void Read(const std::function<bool(const char* key, std::string& value)>& get);
    // Writes every key through put; false when any write failed.
    bool Write(const std::function<bool(const char* key, const std::string& value)>& put) const;

    bool operator==(const COptionValues& o) const
    {
        return bLiveSeeThrough == o.bLiveSeeThrough && bOutline == o.bOutline && nOutlineWidth == o.nOutlineWidth &&
               crOutline == o.crOutline && bFormattingTags == o.bFormattingTags && nCodePage == o.nCodePage;
    }
};

// The value of a "Key=value" line as a user or a script writes it: blanks
// around the value and a trailing comment (blanks, then ";" and anything) are
// not part of it. A ";" that follows the value without a blank stays.
std::string ProfileValue(const std::string& raw);
// True when value, written as it stands, reads back the same: no blank or
// quote at either end, no blank followed by ";".
bool IsProfileValue(const std::string& value);

// "#RRGGBB" for a COLORREF (0x00BBGGRR), and back (any letter case, blanks
// around allowed); false when text is not such a colour.
std::string FormatColorRef(uint32_t crColor);
bool ParseColorRef(const std::string& text, uint32_t& crColor);
