#include "core/TimeMs.h"

#include <cstdio>

std::string FormatTimeMs(double ms)
{
    const long long t = ms > 0 ? static_cast<long long>(ms) : 0;
    char text[40];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld,%03lld", t / 3600000, t / 60000 % 60, t / 1000 % 60, t % 1000);
    return text;
}
