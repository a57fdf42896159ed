#pragma once
// Hours, minutes, seconds and milliseconds as a count of milliseconds in a
// double. For any 32-bit components every product and partial sum is a whole
// number below 2^53, so the result is exact.

#include <cstdint>
#include <string>

inline double TimeMs(int32_t hour, int32_t min, int32_t sec, int32_t millis)
{
    return hour * 3600000.0 + min * 60000.0 + sec * 1000.0 + static_cast<double>(millis);
}

// A time as the user reads it, "1:02:03,456"; whole ms, not negative.
std::string FormatTimeMs(double ms);
