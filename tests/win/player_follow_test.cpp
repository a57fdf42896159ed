// Following each film player's stub through the real pipe and sockets: play, pause from Kelvane, resume, seek back
// and forward, speed 2x, the player quitting and coming back.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/PlayerFilmClock.h"
#include "framework/WinPlayerTransport.h"
#include "tests/stubs/win_player_stubs.h"

namespace {

// Polls until the condition holds, for at most ms.
template <typename F> bool WaitFor(F condition, int ms = 3000) {
    for (int waited = 0; !condition(); waited += 10) {
        if (waited >= ms)
            return false;
        ::Sleep(10);
    }
    return true;
}

// tolerance: how far the follower may be from the stub's film (ms); here for behaviour, the benchmark measures accuracy.
struct Case { const char* name; CPlayerConfig::Follow follow; bool older; double tolerance; };

class PlayerFollow : public ::testing::TestWithParam<Case> {};

TEST_P(PlayerFollow, ThroughPlayPauseSeekSpeedAndQuit) {
    const Case c = GetParam();
    StubFilm film(SteadyNowMs(), 754000);
    CPlayerConfig config;
    config.eFollow = c.follow;
    config.strVlcPassword = "s3cret";
    config.strHost = "localhost";  // ::1 and 127.0.0.1: the stub listens on the second
    config.strMpvPipe = "kelvane-test-" + std::to_string(::GetCurrentProcessId());
    std::unique_ptr<StubServer> stub;
    if (c.follow == CPlayerConfig::Mpv) {
        stub = std::make_unique<MpvPipeStub>(film, config.strMpvPipe);
    } else {
        auto http = std::make_unique<HttpStub>([&film, &c](const std::string& request) {
            return c.follow == CPlayerConfig::Mpc ? MpcAnswer(request, film, SteadyNowMs(), c.older)
                                                   : VlcAnswer(request, film, SteadyNowMs(), "s3cret");
        });
        stub = std::move(http);
    }
    stub->Start();
    if (c.follow != CPlayerConfig::Mpv)
        (c.follow == CPlayerConfig::Mpc ? config.nMpcPort : config.nVlcPort) = static_cast<HttpStub&>(*stub).Port();
    CPlayerFilmClock clock(config, std::make_unique<CWinPlayerTransport>(), nullptr);
    const auto error = [&] { const double now = SteadyNowMs(); return std::fabs(clock.Position(now) - film.Position(now)); };
    ASSERT_TRUE(WaitFor([&] { return clock.IsKnown(); })) << clock.Status();
    EXPECT_EQ(clock.Status(), std::string("Following ") + (c.follow == CPlayerConfig::Mpv ? "mpv" : c.follow == CPlayerConfig::Mpc ? "MPC" : "VLC"));
    const DWORD settle = c.follow == CPlayerConfig::Vlc ? 2000 : 500;  // VLC locks on within two seconds
    ::Sleep(settle);
    EXPECT_LT(error(), c.tolerance);
    clock.TogglePause(SteadyNowMs());  // Kelvane pauses the player
    ASSERT_TRUE(WaitFor([&] { return film.Paused() && clock.IsPaused(); }));
    EXPECT_EQ(clock.Speed(SteadyNowMs()), 0);
    EXPECT_LT(error(), c.tolerance);
    film.Pause(SteadyNowMs(), false);  // the player resumes by itself
    ASSERT_TRUE(WaitFor([&] { return !clock.IsPaused(); }));
    for (const double seek : {-300000.0, 600000.0}) {
        film.Seek(SteadyNowMs(), film.Position(SteadyNowMs()) + seek);
        EXPECT_TRUE(WaitFor([&] { return error() < 1000; }, 1000)) << seek;  // at once; VLC within its second
    }
    film.SetSpeed(SteadyNowMs(), 2);
    EXPECT_TRUE(WaitFor([&] { return clock.Speed(SteadyNowMs()) == 2; }));
    ::Sleep(settle);
    EXPECT_LT(error(), c.tolerance);
    stub->Quit();
    ASSERT_TRUE(WaitFor([&] { return !clock.IsKnown(); }));
    EXPECT_EQ(clock.Status().rfind("Waiting for ", 0), 0u) << clock.Status();
    stub->Start();
    EXPECT_TRUE(WaitFor([&] { return clock.IsKnown(); }));
    ::Sleep(settle);
    EXPECT_LT(error(), c.tolerance);
}

INSTANTIATE_TEST_SUITE_P(Stubs, PlayerFollow,
                         ::testing::Values(Case{"mpv", CPlayerConfig::Mpv, false, 150},
                                           Case{"mpc", CPlayerConfig::Mpc, false, 250},
                                           Case{"mpc_older", CPlayerConfig::Mpc, true, 250},
                                           Case{"vlc", CPlayerConfig::Vlc, false, 250}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
