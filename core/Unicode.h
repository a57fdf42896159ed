#pragma once
// Text conversions at the program's edges. Inside the program text such as a
// file path is UTF-8 in a std::string; the platform's wide API and the
// settings file's long form speak UTF-16, its narrow API the ANSI code page.
// Portable: the platform's own code page is plugged in by the Windows side.

#include <cstddef>
#include <string>

// Writes the UTF-8 form of c (below 0x110000; a lone surrogate gets its own
// three bytes) to out, which has room for four bytes; returns the bytes written.
size_t EncodeUtf8(char32_t c, unsigned char* out);

// UTF-8 -> UTF-16. A byte that starts no valid sequence becomes U+FFFD. A lone
// surrogate written in three bytes (as Utf16ToUtf8 writes it) comes back as it
// was, so every file name the platform can hold survives the round trip.
std::u16string Utf8ToUtf16(const std::string& utf8);
// UTF-16 -> UTF-8; a lone surrogate is kept, in its own three-byte sequence.
std::string Utf16ToUtf8(const std::u16string& utf16);

// True when the text is valid UTF-8 holding at least one byte from 0x80 (so
// it reads differently in an ANSI code page); false for plain ASCII and for
// anything that is not UTF-8.
bool IsUtf8Text(const std::string& text);

// A text cut at a length limit may end in the first bytes of a UTF-8
// character. Those bytes are dropped when the text before them is UTF-8 text
// (IsUtf8Text), so it is drawn as UTF-8; any other text comes back as it is
// (an ANSI text may well end in a byte that starts a UTF-8 sequence).
std::string DropCutCharacter(const std::string& text);

// Latin-1: bytes 0x00-0xFF are U+0000-U+00FF. False when the text holds a
// character beyond U+00FF (or is no valid UTF-8).
bool Utf8ToLatin1(const std::string& utf8, std::string& latin1);
std::string Latin1ToUtf8(const std::string& latin1);

// How a file without a byte-order mark is read. Code page 0 (auto) keeps its
// bytes as they are: each text is drawn as UTF-8 when it is UTF-8 text, else in
// the system's ANSI code page. Another code page converts the file to UTF-8 as
// it is read, through the platform's conversion (decode, which the Windows side
// gives; with none the bytes stay as they are). decode(0, ...) converts from
// the system's ANSI code page.
using CodePageDecoder = std::string (*)(unsigned codePage, const char* text, size_t length);
struct CFileEncoding {
    unsigned nCodePage = 0;
    CodePageDecoder decode = nullptr;
};

#ifdef _WIN32
// The platform's wide strings are UTF-16.
inline std::wstring Utf8ToWide(const std::string& utf8)
{
    const std::u16string wide = Utf8ToUtf16(utf8);
    return std::wstring(wide.begin(), wide.end());
}
inline std::string WideToUtf8(const std::wstring& wide)
{
    return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}
#endif
