#include "core/WallFilmClock.h"

#include <chrono>

double SteadyNowMs()
{
    using namespace std::chrono;
    return static_cast<double>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
