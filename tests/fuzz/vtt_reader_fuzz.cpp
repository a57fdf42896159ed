// Arbitrary bytes as a WebVTT file (with and without the signature line) and as one cue's text: every cue
// checked, numbered one after another, never more of them than the file has lines.
#include "core/VttReader.h"
#include "tests/fuzz/cue_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (const char* signature : {"", "WEBVTT\n"}) {
        CVttReader reader;
        CCue cue;
        int32_t count = 0;
        for (bool more = reader.Open(InputFile(data, size, signature)); more && reader.Next(cue);) {
            CheckCue(cue);
            Require(cue.nIndex == ++count && static_cast<size_t>(count) <= size, "cues misnumbered or too many");
        }
    }
    std::string text;
    if (ConvertVttText(std::string(reinterpret_cast<const char*>(data), size), text))
        CheckCanonical(text);
    return 0;
}
