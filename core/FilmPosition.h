#pragma once
// What a film player may report as a position or a speed. Anything beyond is
// not a film's position but a broken or foreign answer.

#include <cmath>

constexpr double kMaxFilmMs = 1000.0 * 3600 * 1000;  // 1000 hours
constexpr double kMaxPlayerSpeed = 100;              // mpv's own upper bound

inline bool IsFilmPositionMs(double ms)
{
    return std::isfinite(ms) && ms >= 0 && ms <= kMaxFilmMs;
}

inline bool IsPlayerSpeed(double speed)
{
    return std::isfinite(speed) && speed > 0 && speed <= kMaxPlayerSpeed;
}
