#pragma once
// The ASCII rules by which the subtitle formats' keywords, tags and section
// names are read: letter case and blanks in ASCII only, whatever the C
// library's locale. A text is the bytes [p, end).

#include <cstring>

inline bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

inline char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The value of a hex digit in either letter case; -1 for any other character.
inline int HexDigit(char c)
{
    c = AsciiLower(c);
    return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Moves p and end past the blanks at either end of the text.
inline void TrimBlanks(const char*& p, const char*& end)
{
    while (p < end && IsBlank(*p))
        ++p;
    while (end > p && IsBlank(end[-1]))
        --end;
}

// Does the text start with word (lower case), in any letter case?
inline bool StartsWithNoCase(const char* p, const char* end, const char* word)
{
    for (; *word; ++p, ++word)
        if (p == end || AsciiLower(*p) != *word)
            return false;
    return true;
}

// Is the text word (lower case), in any letter case?
inline bool EqualsNoCase(const char* p, const char* end, const char* word)
{
    return static_cast<size_t>(end - p) == std::strlen(word) && StartsWithNoCase(p, end, word);
}
