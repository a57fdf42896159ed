// Arbitrary bytes as the events of an ASS script (and as the whole script) and as one event's text: every cue
// checked, in order of start, equal starts in the file's order, numbered 1 to n in some order.
#include "core/AssReader.h"
#include "tests/fuzz/cue_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (const char* header : {"", "[Script Info]\n[Events]\n"}) {
        CAssReader reader;
        Require(reader.Open(InputFile(data, size, header)), "an existing file did not open");
        CCue cue, last;
        std::vector<int32_t> numbers;
        while (reader.Next(cue)) {
            CheckCue(cue);
            Require(numbers.empty() || last.dStart < cue.dStart || (last.dStart == cue.dStart && last.nIndex < cue.nIndex),
                    "cues out of order");
            numbers.push_back(cue.nIndex);
            last = cue;
        }
        std::sort(numbers.begin(), numbers.end());
        for (size_t i = 0; i < numbers.size(); ++i)
            Require(numbers[i] == static_cast<int32_t>(i + 1), "cue numbers are not 1 to n");
    }
    for (int wrapStyle : {0, 2}) {
        std::string text;
        if (ConvertAssText(reinterpret_cast<const char*>(data), size, wrapStyle, text))
            CheckCanonical(text);
    }
    return 0;
}
