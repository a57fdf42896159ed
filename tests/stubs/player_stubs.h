#pragma once
// Imitations of MPC's and VLC's web interfaces as they answer, on a film whose clock the test controls. Portable:
// the native tests call them in memory, the Windows stubs serve them over TCP (and mpv's over a pipe).
#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

// A film in a player: a timeline of segments (from `at`, `position` runs at `speed` unless paused).
struct StubFilm {
    StubFilm(double now, double position) { m_segments.push_back({now, position, 1, false}); }
    double Position(double t) const {
        std::lock_guard<std::mutex> lock(m_mutex);  // the last segment begun by t, else the first
        const auto s = std::find_if(m_segments.rbegin(), m_segments.rend() - 1, [t](const Segment& x) { return x.at <= t; });
        return s->paused ? s->position : s->position + (t - s->at) * s->speed;
    }
    bool Paused() const { return Last().paused; }
    double Speed() const { return Last().speed; }
    int Seeks() const { std::lock_guard<std::mutex> lock(m_mutex); return m_nSeeks; }
    void Pause(double now, bool paused) { Change(now, -1, paused, Last().speed); }
    void TogglePause(double now) { Change(now, -1, !Last().paused, Last().speed); }
    void Seek(double now, double position) { Change(now, position, Last().paused, Last().speed); }
    void SetSpeed(double now, double speed) { Change(now, -1, Last().paused, speed); }
    void Change(double now, double position, bool paused, double speed) {  // position < 0: runs on
        const double from = position >= 0 ? position : Position(now);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_nSeeks += position >= 0, m_segments.push_back({now, from, speed, paused});
    }

    struct Segment { double at, position, speed; bool paused; };
    Segment Last() const { std::lock_guard<std::mutex> lock(m_mutex); return m_segments.back(); }
    mutable std::mutex m_mutex;
    std::vector<Segment> m_segments;
    int m_nSeeks = 0;
};

// MPC-HC / MPC-BE's web interface: the whole reply to a request. Position refreshed every 100 ms; older: the
// template without file, size and version.
std::string MpcAnswer(const std::string& request, StubFilm& film, double now, bool older);
// VLC's web interface with its password, whole-second time, 90 minutes long and a half.
std::string VlcAnswer(const std::string& request, StubFilm& film, double now, const std::string& password);
