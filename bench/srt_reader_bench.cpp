// Speed of the SubRip reader: skipping to a late start offset through a large
// file, the way Open does before playback starts.
//
//   srt_reader_bench generate PATH MEGABYTES lf|crlf   writes a SubRip file
//   srt_reader_bench rss PATH                          skips through PATH and
//                                                      prints the peak resident size
//   srt_reader_bench --file=PATH... [benchmark flags]  runs the benchmarks; the
//                                                      first file is also read as
//                                                      its UTF-16 twin (PATH.utf16)
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/SrtReader.h"

namespace {

constexpr double kCueSpacingMs = 3000;

// Cues of a few ordinary shapes, one to three lines, numbered and timed in
// order, kCueSpacingMs apart. Returns the number of cues written.
long Generate(const char* path, double megabytes, bool crlf)
{
    std::FILE* f = std::fopen(path, "wb");
    if (!f) {
        std::perror(path);
        return -1;
    }
    static const char* lines[] = {
        "I don't know what you mean.",
        "- Where are we going?",
        "<i>Previously...</i>",
        "OK.",
        "We have to leave now.",
    };
    const char* eol = crlf ? "\r\n" : "\n";
    const double limit = megabytes * 1e6;
    double written = 0;
    long cue = 0;
    char block[512];
    while (written < limit) {
        ++cue;
        const long start = static_cast<long>(cue * kCueSpacingMs);
        const long end = start + 2000 + cue % 700;
        int n = std::snprintf(block, sizeof block, "%ld%s%02ld:%02ld:%02ld,%03ld --> %02ld:%02ld:%02ld,%03ld%s", cue,
                              eol, start / 3600000, start / 60000 % 60, start / 1000 % 60, start % 1000,
                              end / 3600000, end / 60000 % 60, end / 1000 % 60, end % 1000, eol);
        if (cue % 4 == 0)
            n += std::snprintf(block + n, sizeof block - n, "%s%s", lines[(cue / 4) % 5], eol);
        n += std::snprintf(block + n, sizeof block - n, "%s%s%s", lines[cue % 5], eol, eol);
        std::fwrite(block, 1, static_cast<size_t>(n), f);
        written += n;
    }
    std::fclose(f);
    return cue;
}

struct FileFacts {
    long cues = 0;
    double lastStart = 0;
    long long bytes = 0;
};

// Reads the whole file once in playback order: its cue count and last start.
FileFacts Survey(const std::string& path)
{
    FileFacts facts;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        std::fseek(f, 0, SEEK_END);
        facts.bytes = std::ftell(f);
        std::fclose(f);
    }
    CSrtReader r;
    if (!r.Open(path, 0))
        return facts;
    for (;;) {
        ++facts.cues;
        facts.lastStart = r.m_dStart;
        r.ReadText();
        if (r.IsAtEnd())
            break;
        r.ReadHeader();
        if (r.IsAtEnd())
            break;
    }
    return facts;
}

void SkipToLateOffset(benchmark::State& state, const std::string& path, FileFacts facts)
{
    for (auto _ : state) {
        CSrtReader r;
        // The last cue: every cue before it is read and skipped.
        const int opened = r.Open(path, facts.lastStart);
        benchmark::DoNotOptimize(opened);
        if (!opened || r.m_dStart != facts.lastStart)
            state.SkipWithError("the skip did not stop at the last cue");
    }
    state.SetBytesProcessed(state.iterations() * facts.bytes);
    state.counters["cues_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * static_cast<double>(facts.cues - 1),
                           benchmark::Counter::kIsRate);
    state.counters["file_MB"] = static_cast<double>(facts.bytes) / 1e6;
}

// Writes the UTF-16 little-endian twin of a generated (ASCII) file.
bool WriteUtf16Twin(const std::string& from, const std::string& to)
{
    std::FILE* in = std::fopen(from.c_str(), "rb");
    std::FILE* out = std::fopen(to.c_str(), "wb");
    bool ok = in && out && std::fwrite("\xFF\xFE", 1, 2, out) == 2;
    std::vector<unsigned char> bytes(1 << 16), wide(2 << 16);
    for (size_t n; ok && (n = std::fread(bytes.data(), 1, bytes.size(), in)) > 0;) {
        for (size_t i = 0; i < n; ++i) {
            wide[2 * i] = bytes[i];
            wide[2 * i + 1] = 0;
        }
        ok = std::fwrite(wide.data(), 1, 2 * n, out) == 2 * n;
    }
    if (in)
        std::fclose(in);
    if (out && std::fclose(out) != 0)
        ok = false;
    return ok;
}

int PeakResidentSize(const char* path)
{
    // The skip to past the last cue reads the whole file.
    CSrtReader r;
    r.Open(path, 1e300);
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%ld\n", usage.ru_maxrss);  // KiB
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "generate") == 0) {
        const long cues = Generate(argv[2], std::atof(argv[3]), std::strcmp(argv[4], "crlf") == 0);
        if (cues < 0)
            return 1;
        std::printf("%ld cues\n", cues);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "rss") == 0)
        return PeakResidentSize(argv[2]);

    std::vector<char*> rest;
    std::vector<std::string> files;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--file=", 7) == 0)
            files.emplace_back(argv[i] + 7);
        else
            rest.push_back(argv[i]);
    }
    if (!files.empty()) {
        const std::string twin = files.front() + ".utf16";
        if (!WriteUtf16Twin(files.front(), twin)) {
            std::fprintf(stderr, "%s: cannot write\n", twin.c_str());
            return 1;
        }
        files.push_back(twin);
    }
    for (const std::string& path : files) {
        const FileFacts facts = Survey(path);
        if (facts.cues == 0) {
            std::fprintf(stderr, "%s: no cues\n", path.c_str());
            return 1;
        }
        const std::string name = "SkipToLateOffset/" + path.substr(path.find_last_of('/') + 1);
        benchmark::RegisterBenchmark(name.c_str(), SkipToLateOffset, path, facts)->Unit(benchmark::kMillisecond);
    }
    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
