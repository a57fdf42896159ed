#pragma once
// The wall clock as the film's clock: the user presses Start when the film
// reaches a known point, and from then on the film runs at normal speed. The
// time is the steady clock's, so a change of the system's date and time (a time
// sync, the user setting the clock) does not move the subtitles.

#include "core/FilmClock.h"

// The steady clock in whole milliseconds, held in a double.
double SteadyNowMs();

class CWallFilmClock : public IFilmClock {
public:
    // The film stands at position (ms) at steady time instant and runs on from there.
    CWallFilmClock(double position, double instant) : m_dPosition(position), m_dInstant(instant) {}

    double Position(double nowMs) const override
    {
        return m_bPaused ? m_dPosition : m_dPosition + (nowMs - m_dInstant);
    }
    double Speed(double) const override { return m_bPaused ? 0 : 1; }
    // Paused, the position holds; resumed, it runs on from where it was held.
    void TogglePause(double nowMs) override
    {
        m_dPosition = Position(nowMs);
        m_dInstant = nowMs;
        m_bPaused = !m_bPaused;
    }
    bool IsPaused() const override { return m_bPaused; }

private:
    double m_dPosition;  // the position at m_dInstant, or held while paused
    double m_dInstant;
    bool m_bPaused = false;
};
