// Arbitrary bytes as a WebVTT file (with and without the signature) and one cue's text: every cue checked, numbered in
// turn, no more than the bytes; the format detection agrees with the reader, a UTF-8 mark in front changes only the mark.
#include "core/SubtitleFormat.h"
#include "core/VttReader.h"
#include "tests/fuzz/cue_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (const char* signature : {"", "WEBVTT\n"}) {
        CVttReader reader;
        CCue cue;
        bool mark = false, marked = false;
        int32_t count = 0;
        const std::string& path = InputFile(data, size, signature);
        const SubtitleFormat format = DetectSubtitleFormat(path, &mark);
        const bool opened = reader.Open(path);
        Require(opened == (format == SubtitleFormat::WebVtt) && (!opened || reader.HasByteOrderMark() == mark),
                "the detection and the WebVTT reader disagree");
        for (bool more = opened; more && reader.Next(cue);) {
            CheckCue(cue);
            Require(cue.nIndex == ++count && static_cast<size_t>(count) <= size, "cues misnumbered or too many");
        }
        Require(*signature || mark || (DetectSubtitleFormat(InputFile(data, size, "\xEF\xBB\xBF"), &marked) == format && marked),
                "a byte-order mark in front changed the format");
    }
    std::string text;
    if (ConvertVttText(std::string(reinterpret_cast<const char*>(data), size), text))
        CheckCanonical(text);
    return 0;
}
