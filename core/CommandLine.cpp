#include "core/CommandLine.h"

#include <cstring>
#include <type_traits>

namespace {

// Characters are compared as unsigned, so bytes from 0x80 up (and every
// character beyond ASCII) belong to the name.
template <typename Char>
const Char* CutTail(const Char* commandLine)
{
    using Code = std::make_unsigned_t<Char>;
    if (commandLine == nullptr)
        return nullptr;
    const Char* p = commandLine;
    auto code = [&p] { return static_cast<Code>(*p); };
    if (code() == '"') {
        // A quoted program name ends at the next double quote, or at the end.
        ++p;
        while (code() != 0 && code() != '"')
            ++p;
        if (code() == '"')
            ++p;
    } else {
        while (code() > ' ')
            ++p;
    }
    // Blanks, tabs and other control characters between name and tail.
    while (code() != 0 && code() <= ' ')
        ++p;
    return p;
}

template <typename Char>
std::basic_string_view<Char> NameInTail(std::basic_string_view<Char> tail)
{
    using Code = std::make_unsigned_t<Char>;
    auto blank = [](Char c) { return static_cast<Code>(c) <= ' '; };
    while (!tail.empty() && blank(tail.back()))
        tail.remove_suffix(1);
    if (tail.empty() || tail.front() != '"')
        return tail;
    // After the trim, a closing quote that only white space followed ends the tail.
    const size_t close = tail.find('"', 1);
    if (close != tail.size() - 1)
        return {};
    return tail.substr(1, close - 1);
}

}  // namespace

const char* CutCommandTail(const char* commandLine)
{
    const char* tail = CutTail(commandLine);
    return tail ? tail : "";
}

const wchar_t* CutCommandTail(const wchar_t* commandLine)
{
    const wchar_t* tail = CutTail(commandLine);
    return tail ? tail : L"";
}

bool IsBatchModeTail(const char* tail)
{
    static const char kKeyword[] = "batchmode";
    if (tail == nullptr || std::strlen(tail) != sizeof kKeyword - 1)
        return false;
    for (size_t i = 0; i < sizeof kKeyword - 1; ++i) {
        unsigned char c = static_cast<unsigned char>(tail[i]);
        if (c >= 'A' && c <= 'Z')
            c = static_cast<unsigned char>(c - 'A' + 'a');
        if (c != static_cast<unsigned char>(kKeyword[i]))
            return false;
    }
    return true;
}

std::string_view FileNameInTail(std::string_view tail)
{
    return NameInTail(tail);
}

std::wstring_view FileNameInTail(std::wstring_view tail)
{
    return NameInTail(tail);
}
