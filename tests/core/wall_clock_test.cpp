// Setting the system clock (under libfaketime, an hour on) moves no subtitle: the wall clock is the steady clock.
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "core/WallFilmClock.h"

#include <gtest/gtest.h>

TEST(ClockJump, SettingTheSystemClockMovesNoSubtitle) {
    const char* control = std::getenv("FAKETIME_TIMESTAMP_FILE");
    ASSERT_NE(control, nullptr) << "run under libfaketime with a timestamp file";
    using namespace std::chrono;
    std::ofstream(control) << "+0\n";
    const CWallFilmClock film(3600000, SteadyNowMs());
    const auto system = system_clock::now();
    const double before = film.Position(SteadyNowMs());
    std::ofstream(control) << "+1h\n";
    std::this_thread::sleep_for(milliseconds(20));
    ASSERT_GT(system_clock::now() - system, minutes(59)) << "the system clock did not move: this proves nothing";
    const double moved = film.Position(SteadyNowMs()) - before;
    EXPECT_TRUE(moved >= 20 && moved < 1000) << moved;
}
