#pragma once
// Imitations of MPC's and VLC's web interfaces as they answer, on a film whose clock the test controls. Portable:
// the native tests call them in memory, the Windows stubs serve them over TCP (and mpv's over a pipe).
#include <mutex>
#include <string>
#include <vector>

// A film in a player: a timeline of segments (from `at`, `position` runs at `speed` unless paused).
class StubFilm {
public:
    StubFilm(double now, double position) { m_segments.push_back({now, position, 1, false}); }
    double Position(double t) const;
    bool Paused() const { return Last().paused; }
    double Speed() const { return Last().speed; }
    int Seeks() const { std::lock_guard<std::mutex> lock(m_mutex); return m_nSeeks; }
    void Pause(double now, bool paused) { Change(now, -1, paused, Last().speed); }
    void TogglePause(double now) { Change(now, -1, !Last().paused, Last().speed); }
    void Seek(double now, double position) { Change(now, position, Last().paused, Last().speed); }
    void SetSpeed(double now, double speed) { Change(now, -1, Last().paused, speed); }

private:
    struct Segment { double at, position, speed; bool paused; };
    Segment Last() const { std::lock_guard<std::mutex> lock(m_mutex); return m_segments.back(); }
    void Change(double now, double position, bool paused, double speed);
    mutable std::mutex m_mutex;
    std::vector<Segment> m_segments;
    int m_nSeeks = 0;
};

// MPC-HC / MPC-BE's web interface: the whole reply to a request. Position refreshed every 100 ms; older: the
// template without file, size and version.
std::string MpcAnswer(const std::string& request, StubFilm& film, double now, bool older);
// VLC's web interface with its password, whole-second time, 90 minutes long and a half.
std::string VlcAnswer(const std::string& request, StubFilm& film, double now, const std::string& password);
