// Feeds arbitrary bytes as a SubRip file through the reader, in the order the
// playback schedule reads it, and checks what must hold for any input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "playback/SrtReader.h"

namespace {

void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "srt_reader_fuzz: %s\n", what);
        std::abort();
    }
}

double TimeOf(int32_t h, int32_t m, int32_t s, int32_t ms)
{
    return h * 3600000.0 + m * 60000.0 + s * 1000.0 + ms;
}

void CheckTimes(const CSrtReader& r)
{
    Check(r.m_dStart == TimeOf(r.m_nStartHour, r.m_nStartMin, r.m_nStartSec, r.m_nStartMillis),
          "start time differs from its components");
    Check(r.m_dEnd == TimeOf(r.m_nEndHour, r.m_nEndMin, r.m_nEndSec, r.m_nEndMillis),
          "end time differs from its components");
}

// A text keeps at most 498 of the 500 characters a block read takes; when the
// 500th read meets the end of the file, the 499 read are kept, less a final LF.
void CheckText(const std::string& text, bool atEnd)
{
    Check(text.size() <= (atEnd ? 499u : 498u), "text longer than the reader keeps");
    Check(text.size() < 499 || text.back() != '\n', "a text of 499 characters kept its final LF");
    Check(std::memchr(text.data(), '\0', text.size()) == nullptr, "NUL inside a text");
    Check(text.find("\n\n") == std::string::npos, "empty line inside a text");
}

// Plays the whole file from the start offset; returns the number of cues.
size_t Play(const std::string& path, double startOffset, size_t size)
{
    CSrtReader r;
    const int opened = r.Open(path, startOffset);
    Check(opened == !r.IsAtEnd(), "Open's result differs from the end test");
    CheckTimes(r);
    if (!opened)
        return 0;
    Check(r.m_dStart >= startOffset, "a cue before the start offset was loaded");
    size_t cues = 0;
    size_t textChars = 0;
    // Every text read takes at least one character, so a file of n bytes
    // cannot give more than n + 1 cues; the bound guards against a loop.
    while (cues <= size + 1) {
        ++cues;
        const std::string& text = r.ReadText();
        CheckText(text, r.IsAtEnd());
        // Each character of the file goes into one text at most.
        textChars += text.size();
        Check(textChars <= size, "the texts hold more characters than the file");
        if (r.IsAtEnd())
            break;
        r.ReadHeader();
        CheckTimes(r);
        if (r.IsAtEnd())
            break;
    }
    Check(cues <= size + 1, "reading did not come to an end");
    Check(r.IsAtEnd(), "not at the end after the loop");
    // At the end nothing changes any more.
    const double start = r.m_dStart;
    const double end = r.m_dEnd;
    r.ReadHeader();
    Check(r.IsAtEnd() && r.m_dStart == start && r.m_dEnd == end, "a header read after the end changed the cue");
    Check(r.ReadText().empty(), "a text read after the end was not empty");
    return cues;
}

// One file per process, rewritten for each input and removed at exit.
struct TempFile {
    std::string path = TempPath();
    ~TempFile() { std::remove(path.c_str()); }

    static std::string TempPath()
    {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir && *dir ? dir : "/tmp") + "/srt_reader_fuzz." + std::to_string(getpid()) + ".srt";
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const TempFile file;
    const std::string& path = file.path;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    // From before any cue every cue plays; from a later offset never more.
    const size_t all = Play(path, -1e18, size);
    const size_t later = Play(path, 60000, size);
    Check(later <= all, "a later start offset gave more cues");
    return 0;
}
