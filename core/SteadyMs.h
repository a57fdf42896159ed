#pragma once
// Steady-clock time in ms since the clock's epoch, from a clock that tests replace.

#include <chrono>
#include <functional>

using SteadyMsClock = std::function<double()>;

inline double SteadyMsNow()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
