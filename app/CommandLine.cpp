#include "app/CommandLine.h"

#include <cstring>

const char* CutCommandTail(const char* commandLine)
{
    if (commandLine == nullptr)
        return "";
    // Bytes are compared as unsigned, so characters from 0x80 up belong to the name.
    const unsigned char* p = reinterpret_cast<const unsigned char*>(commandLine);
    if (*p == '"') {
        // A quoted program name ends at the next double quote, or at the end.
        ++p;
        while (*p != '\0' && *p != '"')
            ++p;
        if (*p == '"')
            ++p;
    } else {
        while (*p > ' ')
            ++p;
    }
    // Blanks, tabs and other control characters between name and tail.
    while (*p != '\0' && *p <= ' ')
        ++p;
    return reinterpret_cast<const char*>(p);
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
