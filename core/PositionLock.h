#pragma once
// What is known of a film's position from a player's readings. While the
// player plays at rate r (film ms per steady ms; 0 while paused) the position
// at steady time t is c + r * t, and each reading bounds c: the player showed
// a position in [low, high] at some moment between sending the request and
// the answer's arrival. Readings are intersected, so a player that reports
// whole seconds is pinned down to the moment its seconds turn over; a reading
// more than kJumpMs from the estimate is a seek and starts afresh.

class CPositionLock {
public:
    static constexpr double kJumpMs = 1500;

    // The player showed a position in [low, high] ms at some moment in
    // [sentMs, arrivedMs] and moves at rate. A new rate took effect at some
    // moment since the previous reading was asked for. True when the position
    // starts afresh (the first reading or a jump).
    bool Observe(double low, double high, double rate, double sentMs, double arrivedMs);
    // A second reading of the same moment: narrows what is known when it agrees, else is ignored.
    void Refine(double low, double high, double sentMs, double arrivedMs);
    // The rate changes at a moment in [fromMs, toMs]; the position runs on unbroken.
    void ChangeRate(double rate, double fromMs, double toMs);
    // No position any more: holds the last estimate, not known.
    void Lose(double nowMs);

    bool IsKnown() const { return m_bKnown; }
    double Rate() const { return m_bKnown ? m_dRate : 0; }
    double Position(double nowMs) const;

private:
    bool m_bKnown = false;
    double m_dLow = 0, m_dHigh = 0;  // bounds of c
    double m_dRate = 0;
    double m_dLastSent = 0;          // when the last reading was asked for
};

// One player's readings turned into a lock, the player's pause state and a version for Check.
class CPlayerEstimate {
public:
    const CPositionLock& Lock() const { return m_lock; }
    bool IsPaused() const { return m_bPaused; }
    void Lose(double nowMs) { m_lock.Lose(nowMs), m_bPaused = false; }

protected:
    CPositionLock m_lock;
    bool m_bPaused = false;
};

struct CMpvMessage;
struct CMpcStatus;
struct CVlcStatus;

// mpv sends time-pos about once a frame: each is the position at its arrival;
// between them the position runs at speed unless paused or seeking.
class CMpvEstimate : public CPlayerEstimate {
public:
    void OnMessage(const CMpvMessage& message, double nowMs);

private:
    double EffectiveRate() const { return m_bPaused || m_bSeeking ? 0 : m_dSpeed; }
    double m_dSpeed = 1;
    bool m_bSeeking = false;
};

// MPC's position (whole ms) is refreshed about every kRefreshMs, so while
// playing the film is up to that far (times the rate) past it.
class CMpcEstimate : public CPlayerEstimate {
public:
    static constexpr double kRefreshMs = 100;
    void OnStatus(const CMpcStatus& status, double sentMs, double arrivedMs);
};

// VLC's time is whole seconds, rounded down: the lock finds the moment it goes
// up by one; position x length (length rounded down too) narrows it further.
class CVlcEstimate : public CPlayerEstimate {
public:
    void OnStatus(const CVlcStatus& status, double sentMs, double arrivedMs);
};
