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

// The largest count of ms that a time may reach: every whole number below it
// is exact in a double.
constexpr uint64_t kMaxExactMs = uint64_t{1} << 53;

// The same sum for components of any size (as read from a file, saturated at
// kMaxExactMs); false when the time would not be below kMaxExactMs.
inline bool ExactTimeMs(uint64_t hour, uint64_t min, uint64_t sec, uint64_t millis, double& ms)
{
    // Each product stays within kMaxExactMs, so the sum cannot overflow.
    if (hour > kMaxExactMs / 3600000 || min > kMaxExactMs / 60000 || sec > kMaxExactMs / 1000 || millis > kMaxExactMs)
        return false;
    const uint64_t total = hour * 3600000 + min * 60000 + sec * 1000 + millis;
    ms = static_cast<double>(total);
    return total < kMaxExactMs;
}

// A time as the user reads it, "1:02:03,456"; whole ms, not negative.
std::string FormatTimeMs(double ms);
