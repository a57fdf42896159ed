// Playback accuracy: the real CPlaybackSchedule on a real 100 ms SetTimer loop,
// as the overlay drives it, over a generated file of cues whose starts lie
// 200-700 ms apart. Records how late every show and clear change comes after its
// due time and prints min / median / p99 / max, and the drift between the first
// and the last quarter of the run. Target: every change 0-110 ms late, no drift.
//
// Usage: playback_accuracy [CUES [SEED]]   (defaults 110 cues, seed 1)

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "playback/PlaybackSchedule.h"

namespace {

struct Change {
    double due;   // ms from subtitle time 0
    bool show;
};

std::string Stamp(double ms)
{
    const long long t = static_cast<long long>(ms);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld,%03lld", t / 3600000, t / 60000 % 60, t / 1000 % 60, t % 1000);
    return buf;
}

// Writes the file and returns the due times of its changes, in order.
std::vector<Change> Generate(const std::string& path, int nCues, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> apart(200, 700);
    std::vector<Change> changes;
    std::string text;
    double start = 500;
    for (int i = 1; i <= nCues; ++i) {
        const int gap = apart(rng);
        const double end = start + gap / 2;  // cleared half way to the next cue
        text += std::to_string(i) + "\n" + Stamp(start) + " --> " + Stamp(end) + "\nCue " + std::to_string(i) + "\n\n";
        changes.push_back({start, true});
        changes.push_back({end, false});
        start += gap;
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return {};
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    return changes;
}

struct Run {
    CPlaybackSchedule* schedule;
    const std::vector<Change>* changes;
    std::vector<double> lateness;
    size_t next = 0;
    bool wrongText = false;
    bool finished = false;
};
Run* g_run = nullptr;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_TIMER && g_run && !g_run->finished) {
        std::string text;
        const double now = WallClockNow();
        const auto result = g_run->schedule->Tick(text);
        if (result != CPlaybackSchedule::NotDue && g_run->next < g_run->changes->size()) {
            const Change& c = (*g_run->changes)[g_run->next++];
            g_run->lateness.push_back(now - (g_run->schedule->m_dBase + c.due));
            if (c.show != !text.empty())
                g_run->wrongText = true;
        }
        if (result == CPlaybackSchedule::ChangedAndFinished) {
            g_run->finished = true;
            KillTimer(hwnd, wParam);
            PostQuitMessage(0);
        }
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

double Percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * (v.size() - 1) + 0.5));
    return v[i];
}

double Mean(const std::vector<double>& v, size_t from, size_t to)
{
    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += v[i];
    return to > from ? sum / static_cast<double>(to - from) : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const int nCues = argc > 1 ? std::max(1, std::atoi(argv[1])) : 110;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 1u;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "kelvane_playback_accuracy.srt";
    const std::vector<Change> changes = Generate(path, nCues, seed);
    if (changes.empty()) {
        std::printf("cannot write %s\n", path.c_str());
        return 1;
    }
    std::printf("%d cues, %zu changes, starts 200-700 ms apart, %.1f s of playback\n", nCues, changes.size(),
                changes.back().due / 1000);

    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KelvanePlaybackAccuracy";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);

    CPlaybackSchedule schedule(WallClockNow);
    Run run{&schedule, &changes, {}, 0, false, false};
    g_run = &run;
    if (!schedule.Start(path, 0, 0)) {
        std::printf("the schedule found nothing to play\n");
        return 1;
    }
    SetTimer(hwnd, 12345, 100, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    DeleteFileA(path.c_str());

    const std::vector<double>& late = run.lateness;
    if (late.size() != changes.size() || run.wrongText) {
        std::printf("FAILED: %zu of %zu changes recorded%s\n", late.size(), changes.size(),
                    run.wrongText ? ", a change showed or cleared the wrong way" : "");
        return 1;
    }
    const double lo = *std::min_element(late.begin(), late.end());
    const double hi = *std::max_element(late.begin(), late.end());
    const size_t quarter = late.size() / 4;
    const double drift = Mean(late, late.size() - quarter, late.size()) - Mean(late, 0, quarter);
    std::printf("lateness (ms): min %.0f, median %.0f, p99 %.0f, max %.0f\n", lo, Percentile(late, 0.5),
                Percentile(late, 0.99), hi);
    std::printf("drift: mean of the last quarter minus the first: %+.1f ms\n", drift);
    const bool ok = lo >= 0 && hi <= 110 && drift > -20 && drift < 20;
    std::printf("%s the target (every change 0-110 ms late, no drift)\n", ok ? "meets" : "MISSES");
    return 0;
}
