#include "core/Unicode.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

void AppendUtf8(std::string& out, char32_t c)
{
    unsigned char bytes[4];
    out.append(reinterpret_cast<const char*>(bytes), EncodeUtf8(c, bytes));
}

}  // namespace

size_t EncodeUtf8(char32_t c, unsigned char* out)
{
    if (c < 0x80) {
        out[0] = static_cast<unsigned char>(c);
        return 1;
    }
    const size_t length = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    static const unsigned char kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};
    for (size_t i = length - 1; i > 0; --i, c >>= 6)
        out[i] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    out[0] = static_cast<unsigned char>(kLead[length] | c);
    return length;
}

namespace {

// The code point of the UTF-8 sequence at text[i] and its length in bytes; 0
// when no valid sequence starts there (a stray or cut byte, an overlong form,
// beyond U+10FFFF). A surrogate in three bytes is let through: the callers
// decide about it.
size_t DecodeUtf8(const std::string& text, size_t i, char32_t& c)
{
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    // Sequence length and the smallest code point it may carry (no overlong forms).
    size_t length = 0;
    char32_t least = 0;
    if (lead < 0x80)
        length = 1, c = lead;
    else if (lead >= 0xC2 && lead <= 0xDF)
        length = 2, c = lead & 0x1F, least = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, c = lead & 0x0F, least = 0x800;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, c = lead & 0x07, least = 0x10000;
    if (length == 0 || i + length > text.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        const unsigned char next = static_cast<unsigned char>(text[i + k]);
        if (!IsContinuation(next))
            return 0;
        c = (c << 6) | (next & 0x3F);
    }
    return c < least || c > 0x10FFFF ? 0 : length;
}

}  // namespace

std::u16string Utf8ToUtf16(const std::string& utf8)
{
    std::u16string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        const size_t length = DecodeUtf8(utf8, i, c);
        if (length == 0) {
            out += kReplacement;
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += length;
    }
    return out;
}

bool IsUtf8Text(const std::string& text)
{
    bool bNonAscii = false;
    for (size_t i = 0; i < text.size();) {
        char32_t c = 0;
        const size_t length = DecodeUtf8(text, i, c);
        if (length == 0 || (c >= 0xD800 && c <= 0xDFFF))
            return false;  // surrogates are not characters
        bNonAscii = bNonAscii || length > 1;
        i += length;
    }
    return bNonAscii;
}

std::string DropCutCharacter(const std::string& text)
{
    // The last character's first byte: no continuation byte, at most three back.
    size_t start = text.size();
    while (start > 0 && text.size() - start < 3 && IsContinuation(static_cast<unsigned char>(text[start - 1])))
        --start;
    char32_t c = 0;
    if (start == 0 || DecodeUtf8(text, --start, c) != 0)
        return text;  // empty, or it ends in a whole character
    // Cut short when continuation bytes complete it to a character; the bounds
    // of a valid sequence lie on its second byte, so 0x80 or 0xBF after the
    // bytes there decides.
    const std::string tail = text.substr(start);
    bool bCut = false;
    for (const char fill : {'\x80', '\xBF'})
        bCut = bCut || (DecodeUtf8(tail + std::string(3, fill), 0, c) > tail.size() && (c < 0xD800 || c > 0xDFFF));
    std::string kept = text.substr(0, start);
    return bCut && IsUtf8Text(kept) ? kept : text;
}

std::string Utf16ToUtf8(const std::u16string& utf16)
{
    std::string out;
    out.reserve(utf16.size());
    const size_t size = utf16.size();
    for (size_t i = 0; i < size; ++i) {
        const char32_t unit = utf16[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < size && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (utf16[i + 1] - 0xDC00));
            ++i;
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

bool Utf8ToLatin1(const std::string& utf8, std::string& latin1)
{
    const std::u16string wide = Utf8ToUtf16(utf8);
    std::string out;
    out.reserve(wide.size());
    for (char16_t unit : wide) {
        if (unit > 0xFF)
            return false;
        out += static_cast<char>(unit);
    }
    // Bytes that were no valid UTF-8 came out as U+FFFD, which failed above.
    latin1.swap(out);
    return true;
}

std::string Latin1ToUtf8(const std::string& latin1)
{
    std::string out;
    out.reserve(latin1.size());
    for (unsigned char c : latin1)
        AppendUtf8(out, c);
    return out;
}
