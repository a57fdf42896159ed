// Arbitrary bytes as a SubRip file, read as the playback schedule reads it: what holds for any input.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include <unistd.h>

#include "core/SrtReader.h"

namespace {

void Check(bool condition, const char* what) {
    if (!condition)
        std::fprintf(stderr, "srt_reader_fuzz: %s\n", what), std::abort();
}

using Cue = std::tuple<double, double, std::string>;  // start, end, text as played

// Plays the whole file from the start offset. size: the most characters the reader can see (the file's size, or
// what a UTF-16 file's conversion can give).
std::vector<Cue> Play(const std::string& path, double startOffset, size_t size) {
    CSrtReader r;
    const int opened = r.Open(path, startOffset);
    Check(opened == !r.IsAtEnd(), "Open's result differs from the end test");
    Check(!opened || r.m_dStart >= startOffset, "a cue before the start offset was loaded");
    std::vector<Cue> cues;
    // Every text read takes a character at least: n characters give n + 1 cues at most.
    for (size_t textChars = 0; opened && cues.size() <= size + 1;) {
        const std::string& text = r.ReadText();
        cues.emplace_back(r.m_dStart, r.m_dEnd, text);
        // 498 of the 500 characters a block read takes; 499 when the 500th read meets the end, less a final LF.
        Check(text.size() <= (r.IsAtEnd() ? 499u : 498u) && (text.size() < 499 || text.back() != '\n'),
              "text longer than the reader keeps");
        Check(!std::memchr(text.data(), '\0', text.size()) && text.find("\n\n") == std::string::npos,
              "NUL or an empty line inside a text");
        Check((textChars += text.size()) <= size, "the texts hold more characters than the file");
        if (r.IsAtEnd() || (r.ReadHeader(), r.IsAtEnd()))
            break;
    }
    Check(cues.size() <= size + 1 && r.IsAtEnd(), "reading did not come to an end");
    const double start = r.m_dStart, end = r.m_dEnd;
    r.ReadHeader();
    Check(r.IsAtEnd() && r.m_dStart == start && r.m_dEnd == end && r.ReadText().empty(), "a read after the end");
    return cues;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const struct File {  // one file per process, rewritten for each input and removed at exit
        const char* dir = std::getenv("TMPDIR");
        std::string path = (dir && *dir ? dir : "/tmp") + ("/srt_reader_fuzz." + std::to_string(getpid()) + ".srt");
        ~File() { std::remove(path.c_str()); }
    } file;
    std::FILE* f = std::fopen(file.path.c_str(), "wb");
    if (!f || (std::fwrite(data, 1, size, f), std::fclose(f)) != 0)
        return 0;
    // A UTF-16 file reads as UTF-8: a 2-byte unit gives up to 3 bytes, an odd last byte a 3-byte U+FFFD.
    if (size >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF)))
        size = size / 2 * 3 + 3;
    // From before any cue every cue plays; from a later offset, the same from the first cue that starts then.
    const std::vector<Cue> all = Play(file.path, -1e18, size), later = Play(file.path, 60000, size);
    const auto first = std::find_if(all.begin(), all.end(), [](const Cue& c) { return std::get<0>(c) >= 60000; });
    Check(later == std::vector<Cue>(first, all.end()), "a later start offset played other cues");
    return 0;
}
