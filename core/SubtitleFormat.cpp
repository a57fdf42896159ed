#include "core/SubtitleFormat.h"

#include <cstdio>

#include "core/AsciiText.h"
#include "core/TextStream.h"

namespace {

// How far the lines above [Script Info] may reach.
constexpr size_t kLookAhead = 64 * 1024;

// The rule on the first characters; whole: they are the whole file.
SubtitleFormat FormatOfStart(const std::string& head, bool whole)
{
    if (IsWebVttSignature(std::string_view(head).substr(0, head.find_first_of("\r\n"))))
        return SubtitleFormat::WebVtt;
    for (size_t pos = 0; pos < head.size();) {
        size_t end = head.find_first_of("\r\n", pos);
        if (end == std::string::npos) {
            if (!whole)
                break;  // a line cut by the look-ahead decides nothing
            end = head.size();
        }
        const char* from = head.data() + pos;
        const char* to = head.data() + end;
        TrimBlanks(from, to);
        if (from < to && *from != ';')
            return EqualsNoCase(from, to, "[script info]") ? SubtitleFormat::Ass : SubtitleFormat::SubRip;
        pos = end + 1;
    }
    return SubtitleFormat::SubRip;
}

}  // namespace

bool IsWebVttSignature(std::string_view line)
{
    return line.compare(0, 6, "WEBVTT") == 0 && (line.size() == 6 || IsBlank(line[6]));
}

SubtitleFormat DetectSubtitleFormat(const std::string& pathUtf8, bool* byteOrderMark, const CFileEncoding& encoding)
{
    if (byteOrderMark)
        *byteOrderMark = false;
    const std::unique_ptr<CTextStream> in = CTextStream::Open(pathUtf8, encoding);
    if (!in)
        return SubtitleFormat::SubRip;
    const bool mark = in->SkipByteOrderMark();
    if (byteOrderMark)
        *byteOrderMark = mark;
    std::string head;
    for (int c; head.size() < kLookAhead && (c = in->Getc()) != EOF;)
        head += static_cast<char>(c);
    return FormatOfStart(head, in->Eof());
}
