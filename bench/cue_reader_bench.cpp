// Speed and memory of the WebVTT and ASS/SSA readers: every cue of a large file read, the way playback reads
// them from the start.
//
//   cue_reader_bench generate vtt|ass PATH MEGABYTES   writes a file of that format
//   cue_reader_bench rss PATH                          reads every cue of PATH and prints the peak resident size
//   cue_reader_bench --file=PATH... [benchmark flags]  runs the benchmarks
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/CueReader.h"

namespace {

// Cues of a few ordinary shapes with the markup real files carry, 3 s apart. The ASS events come in pairs
// out of order, as scripts hold them. Returns the number of cues written.
long Generate(const char* path, bool ass, double megabytes)
{
    std::FILE* f = std::fopen(path, "wb");
    if (!f) {
        std::perror(path);
        return -1;
    }
    static const char* const kVttLines[] = {
        "I don't know what you mean.", "<v Anna>- Where are we going?", "<i>Previously...</i>", "OK.",
        "We have to <b>leave</b> now &amp; fast.",
    };
    static const char* const kAssLines[] = {
        "I don't know what you mean.", "- Where are we going?\\N- Home.", "{\\i1}Previously...{\\i0}", "OK.",
        "{\\an8\\pos(960,80)\\c&H00FFFF&}We have to {\\b1}leave{\\b0} now, fast.",
    };
    const std::string header = ass ? "[Script Info]\nScriptType: v4.00+\n\n[V4+ Styles]\n"
                                     "Format: Name, Fontname, Fontsize\nStyle: Default,Arial,48\n\n[Events]\n"
                                     "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n"
                                   : "WEBVTT\n\n";
    std::fwrite(header.data(), 1, header.size(), f);
    const double limit = megabytes * 1e6;
    double written = static_cast<double>(header.size());
    long cue = 0;
    char block[512];
    while (written < limit) {
        ++cue;
        const long start = (ass ? cue + (cue % 2 ? 1 : -1) : cue) * 3000;
        const long end = start + 2000 + cue % 700;
        int n;
        if (ass) {
            n = std::snprintf(block, sizeof block,
                              "Dialogue: 0,%ld:%02ld:%02ld.%02ld,%ld:%02ld:%02ld.%02ld,Default,,0,0,0,,%s\n",
                              start / 3600000, start / 60000 % 60, start / 1000 % 60, start % 1000 / 10, end / 3600000,
                              end / 60000 % 60, end / 1000 % 60, end % 1000 / 10, kAssLines[cue % 5]);
        } else {
            n = std::snprintf(block, sizeof block, "%ld\n%02ld:%02ld:%02ld.%03ld --> %02ld:%02ld:%02ld.%03ld%s\n%s\n",
                              cue, start / 3600000, start / 60000 % 60, start / 1000 % 60, start % 1000, end / 3600000,
                              end / 60000 % 60, end / 1000 % 60, end % 1000, cue % 3 ? "" : " align:start",
                              kVttLines[cue % 5]);
            if (cue % 4 == 0)
                n += std::snprintf(block + n, sizeof block - n, "%s\n", kVttLines[(cue / 4) % 5]);
            block[n++] = '\n';
        }
        std::fwrite(block, 1, static_cast<size_t>(n), f);
        written += n;
    }
    std::fclose(f);
    return cue;
}

// Reads every cue; their number.
long ReadAll(const std::string& path)
{
    const std::unique_ptr<CCueReader> reader = MakeCueReader(DetectSubtitleFormat(path));
    long cues = 0;
    CCue cue;
    if (reader && reader->Open(path)) {
        while (reader->Next(cue))
            ++cues;
    }
    return cues;
}

void ReadEveryCue(benchmark::State& state, const std::string& path, long cues, long long bytes)
{
    for (auto _ : state) {
        if (ReadAll(path) != cues)
            state.SkipWithError("the cue count changed");
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["cues_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * static_cast<double>(cues), benchmark::Counter::kIsRate);
    state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "generate") == 0) {
        const long cues = Generate(argv[3], std::strcmp(argv[2], "ass") == 0, std::atof(argv[4]));
        if (cues < 0)
            return 1;
        std::printf("%ld cues\n", cues);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "rss") == 0) {
        const long cues = ReadAll(argv[2]);
        struct rusage usage;
        getrusage(RUSAGE_SELF, &usage);
        std::printf("%ld\n", usage.ru_maxrss);  // KiB
        return cues > 0 ? 0 : 1;
    }

    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--file=", 7) != 0) {
            rest.push_back(argv[i]);
            continue;
        }
        const std::string path = argv[i] + 7;
        long long bytes = 0;
        if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
            std::fseek(f, 0, SEEK_END);
            bytes = std::ftell(f);
            std::fclose(f);
        }
        const long cues = ReadAll(path);
        if (cues == 0) {
            std::fprintf(stderr, "%s: no cues\n", path.c_str());
            return 1;
        }
        const std::string name = "ReadEveryCue/" + path.substr(path.find_last_of('/') + 1);
        benchmark::RegisterBenchmark(name.c_str(), ReadEveryCue, path, cues, bytes)->Unit(benchmark::kMillisecond);
    }
    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
