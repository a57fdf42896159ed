#pragma once
// Where the film is: the position a clock source reports, in ms of film time.

#include <string>

class IFilmClock {
public:
    virtual ~IFilmClock() = default;
    // The film's position in ms at steady-clock time nowMs (ms since the steady clock's epoch).
    virtual double Position(double nowMs) const = 0;
    // Film ms per steady ms at nowMs: 0 while paused (or unknown), 1 at normal speed.
    virtual double Speed(double nowMs) const = 0;
    // Pauses or resumes the film (the wall clock holds still; a player is told to).
    virtual void TogglePause(double nowMs) = 0;
    virtual bool IsPaused() const = 0;
    // False while the position is not known (no player yet): the overlay then keeps what it shows.
    virtual bool IsKnown() const { return true; }
    // A short line for the overlay's status ("Following VLC", "Waiting for mpv on ..."), empty for none.
    virtual std::string Status() const { return {}; }
};
