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
            Require(numbers.empty() || std::make_pair(last.dStart, last.nIndex) < std::make_pair(cue.dStart, cue.nIndex), "cues out of order");
            numbers.push_back(cue.nIndex);
            last = cue;
        }
        std::sort(numbers.begin(), numbers.end());
        Require(numbers.empty() || (numbers[0] == 1 && numbers.back() == static_cast<int32_t>(numbers.size()) &&
                                    std::adjacent_find(numbers.begin(), numbers.end()) == numbers.end()), "cue numbers are not 1 to n");
    }
    std::string text;
    for (int wrapStyle : {0, 2})
        if (ConvertAssText(reinterpret_cast<const char*>(data), size, wrapStyle, text))
            CheckCanonical(text);
    return 0;
}
