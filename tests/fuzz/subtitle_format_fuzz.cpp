// Arbitrary bytes to the format detection: the WebVTT reader opens exactly what is detected as WebVTT, and a
// UTF-8 byte-order mark in front changes nothing but the mark.
#include <cstring>

#include "core/SubtitleFormat.h"
#include "core/VttReader.h"
#include "tests/fuzz/cue_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    bool mark = false;
    const std::string& path = InputFile(data, size);
    const SubtitleFormat format = DetectSubtitleFormat(path, &mark);
    CVttReader reader;
    const bool opened = reader.Open(path);
    Require(opened == (format == SubtitleFormat::WebVtt), "the detection and the WebVTT reader disagree");
    Require(!opened || reader.HasByteOrderMark() == mark, "the detection and the WebVTT reader disagree on the mark");
    const bool marked = size >= 2 && (std::memcmp(data, "\xFF\xFE", 2) == 0 || std::memcmp(data, "\xFE\xFF", 2) == 0 ||
                                      (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0));
    if (!marked) {
        bool markedNow = false;
        Require(!mark && DetectSubtitleFormat(InputFile(data, size, "\xEF\xBB\xBF"), &markedNow) == format && markedNow,
                "a byte-order mark in front changed the format");
    }
    return 0;
}
