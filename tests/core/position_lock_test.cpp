// The film's position from a player's readings: locking, extrapolation, seeks, pause and speed, with injected times.
#include <cmath>

#include "core/MpvProtocol.h"
#include "core/PlayerPages.h"
#include "core/PositionLock.h"

#include "tests/core/test_util.h"
#include "tests/stubs/player_stubs.h"

// Readings and rate changes in turn, each followed by the position expected at a time.
TEST(PositionLock, Readings) {
    CPositionLock lock;
    const struct { char op; double low, high, rate, from, to, at, position; bool fresh = false; } steps[] = {
        {'o', 5000, 6000, 1, 0, 0, 0, 5500, true},    // second 5 at 0: c in [5000, 6000]
        {'o', 5000, 6000, 1, 150, 150, 150, 5575},    // still 5 at 150: c in [5000, 5850]
        {'o', 6000, 7000, 1, 300, 310, 300, 6070},    // 6 by 300-310: turned over in 150-310, c in [5690, 5850]
        {'f', 6000, 6100, 1, 300, 300, 300, 6050},    // a finer reading that agrees: c in [5700, 5800]
        {'f', 9000, 9100, 1, 300, 300, 300, 6050},    // one that does not: ignored
        {'r', 0, 0, 2, 500, 500, 1000, 7250},         // twice as fast from 500: 6250 then 500 ms at 2
        {'r', 0, 0, 0, 1000, 1100, 5000, 7350},       // paused somewhere in 1000-1100: c in [7200, 7500]
        {'o', 7300, 7300, 0, 1200, 1210, 9000, 7300}, // the paused position read exactly
        {'o', 7300, 7400, 1, 1300, 1310, 1400, 7445}, // playing again, started in 1200-1310: c in [5990, 6100]
        {'o', 8000, 8100, 1, 1600, 1600, 1600, 8050}, // 355 ms ahead of that: moves there, c in [6400, 6500]
        {'o', 60000, 61000, 1, 1700, 1700, 1700, 60500, true},  // over 1.5 s away: a seek, afresh
        {'o', 58000, 59000, 1, 1800, 1800, 1800, 58500, true},  // back 2.1 s: a seek
        {'o', 57500, 58500, 1, 1900, 1900, 1900, 58300},        // back 0.2 s: narrows, c in [56200, 56600]
    };
    for (const auto& s : steps) {
        const bool fresh = s.op == 'o' ? lock.Observe(s.low, s.high, s.rate, s.from, s.to)
                           : s.op == 'f' ? (lock.Refine(s.low, s.high, s.from, s.to), false)
                                         : (lock.ChangeRate(s.rate, s.from, s.to), false);
        EXPECT_TRUE(fresh == s.fresh && std::fabs(lock.Position(s.at) - s.position) < 1e-9 && lock.Rate() == s.rate)
            << s.op << s.low << ": " << lock.Position(s.at);
    }
    lock.Lose(2000);
    EXPECT_TRUE(!lock.IsKnown() && lock.Rate() == 0 && lock.Position(9999) == 58400);  // the last estimate held
}

TEST(PositionLock, Mpv) {
    using K = CMpvMessage;
    const auto M = [](K::Kind k, bool has = false, double v = 0) { K m; return m.eKind = k, m.bHasValue = has, m.dValue = v, m; };
    const struct { double at; CMpvMessage m; double check; double position; bool paused; double speed; } steps[] = {
        {0, M(K::TimePos, true, 10000), 100, 10100, false, 1},
        {100, M(K::TimePos, true, 10090), 150, 10140, false, 1},  // each time-pos is the position at arrival
        {200, M(K::Pause, true, 1), 1000, 10190, true, 0}, {1000, M(K::Pause, true, 0), 1500, 10690, false, 1},
        {1500, M(K::Speed, true, 2), 2000, 11690, false, 2}, {2000, M(K::Seek), 2500, 11690, false, 0},  // seeking: held
        {2010, M(K::TimePos, true, 5000), 2500, 5000, false, 0},   // the new position at once
        {2600, M(K::PlaybackRestart), 2700, 5200, false, 2}, {2700, M(K::Seeking, true, 1), 3000, 5200, false, 0},
        {2800, M(K::Seeking, true, 0), 2900, 5400, false, 2}, {2900, M(K::Speed), 3000, 5500, false, 1},  // no speed: 1x
        {3000, M(K::Other, true, 7), 3100, 5600, false, 1},
        {3100, M(K::TimePos), 9999, 5600, false, 0},               // no time-pos: lost, the last position held
        {3200, M(K::TimePos, true, 1000), 3300, 1100, false, 1}, {3300, M(K::EndFile), 9999, 1100, false, 0},
    };
    CMpvEstimate e;
    for (const auto& s : steps) {
        e.OnMessage(s.m, s.at);
        EXPECT_TRUE(std::fabs(e.Lock().Position(s.check) - s.position) < 1e-9 && e.IsPaused() == s.paused &&
                    e.Lock().Rate() == s.speed) << s.at << ": " << e.Lock().Position(s.check);
    }
}

TEST(PositionLock, Mpc) {
    const struct { int state; double position, rate, sent, arrived, check, expected; bool known, paused; } polls[] = {
        // Playing: the film is 0-100 ms (times the rate) past the reported position.
        {2, 10000, 1, 0, 10, 10, 10055, true, false}, {2, 10200, 1, 250, 260, 260, 10280, true, false},
        {2, 10200, 1, 300, 310, 310, 10305, true, false},  // not refreshed yet: narrows, no step back
        {1, 10400, 1, 500, 510, 2000, 10400, true, true},  // paused: exact
        {2, 60000, 1, 750, 760, 760, 60055, true, false},  // a seek shows at once
        {2, 60400, 2, 1000, 1000, 1000, 60500, true, false},  // 2x since 750-1000; 200 ms stale at most
        {0, 0, 1, 1250, 1250, 1250, 61000, false, false},   // stopped: no film position, the last one held
        {2, 300, 1, 1500, 1500, 1500, 350, true, false}, {-1, 0, 1, 1750, 1750, 1750, 600, false, false},  // nothing loaded
    };
    CMpcEstimate e;
    for (const auto& p : polls) {
        CMpcStatus s;
        s.nState = p.state, s.dPositionMs = p.position, s.dRate = p.rate;
        e.OnStatus(s, p.sent, p.arrived);
        EXPECT_TRUE(std::fabs(e.Lock().Position(p.check) - p.expected) < 1e-6 && e.Lock().IsKnown() == p.known &&
                    e.IsPaused() == p.paused) << p.sent << ": " << e.Lock().Position(p.check);
    }
}

// VLC polled every 150 ms (answers read 3 ms after sending, arriving after 6): whole seconds and position x length,
// with a change of the film at 3 s; then stopped.
TEST(PositionLock, VlcLocksOn) {
    CVlcStatus s;
    s.dLengthMs = 5400000;
    const double kLength = 5400500;  // the true length: VLC writes 5400
    using Change = void (*)(StubFilm&);
    const struct { const char* what; double from; Change change; double worstLocked; bool paused; double rate; } cases[] = {
        {"plays", 1234567, [](StubFilm&) {}, 100, false, 1},
        {"pauses", 1234567, [](StubFilm& f) { f.Pause(3000, true); }, 100, true, 0},
        {"resumes", 1234567, [](StubFilm& f) { f.Pause(0, true), f.Pause(3000, false); }, 100, false, 1},
        {"2x", 2000000, [](StubFilm& f) { f.SetSpeed(3000, 2); }, 100, false, 2},
        {"seeks +60 s", 1234567, [](StubFilm& f) { f.Seek(3000, 1297567); }, 100, false, 1},
        {"seeks -5 s", 1234567, [](StubFilm& f) { f.Seek(3000, 1232567); }, 100, false, 1},
        {"seeks +1 s", 4444444, [](StubFilm& f) { f.Seek(3000, 4448444); }, 100, false, 1},
        {"early in the film", 10, [](StubFilm&) {}, 20, false, 1},
    };
    for (const auto& c : cases) {
        StubFilm film(0, c.from);
        c.change(film);
        CVlcEstimate v;
        double worst[2] = {};  // in the 2 s after a start or a change, and later: locked
        for (double sent = 0; sent < 7000; sent += 150) {
            const double p = film.Position(sent + 3), rate = film.Position(sent + 4) - p;
            s.eState = rate == 0 ? CVlcStatus::Paused : CVlcStatus::Playing;
            s.dTimeMs = std::floor(p / 1000) * 1000, s.dPosition = p / kLength, s.dRate = rate == 0 ? 1 : rate;
            v.OnStatus(s, sent, sent + 6);
            for (double t = sent + 6; t < sent + 156; t += 25) {  // between this answer and the next
                double& w = worst[std::fmod(t, 3000) >= 2000];
                w = std::max(w, std::fabs(v.Lock().Position(t) - film.Position(t)));
            }
        }
        EXPECT_TRUE(worst[0] <= 500 && worst[1] <= c.worstLocked && v.IsPaused() == c.paused && v.Lock().Rate() == c.rate)
            << c.what << ": " << worst[0] << ", " << worst[1];
        s.eState = CVlcStatus::Stopped, v.OnStatus(s, 7000, 7006);
        EXPECT_FALSE(v.Lock().IsKnown()) << c.what << ": stopped";
    }
}
