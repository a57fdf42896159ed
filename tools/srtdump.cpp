// srtdump FILE [START_OFFSET_MS]
// Shows how Kelvane plays a subtitle file: a SubRip file is opened with its
// reader at the start offset and every cue printed in the order the playback
// schedule reads them; a WebVTT or ASS/SSA file (told by its content) prints
// the cues its reader gives that start at or after the offset, in the reader's
// order. The output is the same bytes on every platform (LF line ends).
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#include <fcntl.h>
#include <io.h>

#include "core/Unicode.h"
#endif

#include "core/CueReader.h"
#include "core/SrtReader.h"
#include "core/TimeMs.h"

namespace {

const char kUsage[] = "usage: srtdump FILE [START_OFFSET_MS]";

// A decimal integer with an optional sign, nothing else.
bool ParseOffset(const char* text, int64_t& value)
{
    const char* first = text;
    const char* last = text + std::strlen(text);
    bool negative = false;
    if (first != last && (*first == '-' || *first == '+')) {
        negative = *first == '-';
        ++first;
    }
    if (first == last || *first < '0' || *first > '9')
        return false;
    uint64_t magnitude = 0;
    auto result = std::from_chars(first, last, magnitude);
    if (result.ec != std::errc() || result.ptr != last || magnitude > kMaxExactMs)
        return false;
    value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

void AppendTime(std::string& out, double ms)
{
    // Cue times are whole numbers of ms below 2^53 in magnitude.
    char digits[24];
    auto result = std::to_chars(digits, digits + sizeof digits, static_cast<int64_t>(ms));
    out.append(digits, result.ptr);
}

void AppendEscaped(std::string& out, const std::string& text)
{
    static const char kHex[] = "0123456789abcdef";
    for (unsigned char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c >= 0x7F) {
                out += "\\x";
                out += kHex[c >> 4];
                out += kHex[c & 0xF];
            } else {
                out += static_cast<char>(c);
            }
        }
    }
}

void Flush(std::string& out)
{
    std::fwrite(out.data(), 1, out.size(), stdout);
    out.clear();
}

// "cue <start> <end> <text>", written out now and then.
void AppendCue(std::string& out, double start, double end, const std::string& text)
{
    out += "cue ";
    AppendTime(out, start);
    out += ' ';
    AppendTime(out, end);
    out += ' ';
    AppendEscaped(out, text);
    out += '\n';
    if (out.size() >= 64 * 1024)
        Flush(out);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "%s\n", kUsage);
        return 2;
    }
    int64_t offset = 0;
    if (argc == 3 && !ParseOffset(argv[2], offset)) {
        std::fprintf(stderr, "srtdump: start offset is not a decimal integer of ms: %s\n", argv[2]);
        return 2;
    }
#ifdef _WIN32
    // LF stays LF: the output is byte for byte the same as elsewhere.
    _setmode(_fileno(stdout), _O_BINARY);
#endif

    // The path as the program holds it: UTF-8.
    std::string path = argv[1];
#ifdef _WIN32
    // The narrow arguments are in the ANSI code page, which may not hold the name.
    int wideCount = 0;
    if (wchar_t** wideArgs = ::CommandLineToArgvW(::GetCommandLineW(), &wideCount)) {
        if (wideCount == argc)
            path = WideToUtf8(wideArgs[1]);
        ::LocalFree(wideArgs);
    }
#endif

    std::string out;
    if (const std::unique_ptr<CCueReader> cues = MakeCueReader(DetectSubtitleFormat(path))) {
        CCue cue;
        bool more = cues->Open(path);
        while (more && (more = cues->Next(cue)) && cue.dStart < static_cast<double>(offset)) {
        }
        if (!more) {
            out = "open 0\n";
            Flush(out);
            return 0;
        }
        out = "open 1\n";
        for (; more; more = cues->Next(cue)) {
            if (cue.dStart >= static_cast<double>(offset))
                AppendCue(out, cue.dStart, cue.dEnd, cue.strText);
        }
        out += "end\n";
        Flush(out);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }

    CSrtReader reader;
    if (!reader.Open(path, static_cast<double>(offset))) {
        out = "open 0\n";
        Flush(out);
        return 0;
    }
    out = "open 1\n";
    // The schedule's order: a text at a cue's start, the next header at its end.
    for (;;) {
        AppendCue(out, reader.m_dStart, reader.m_dEnd, reader.ReadText());
        if (reader.IsAtEnd())
            break;
        reader.ReadHeader();
        if (reader.IsAtEnd())
            break;
    }
    out += "end\n";
    Flush(out);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
