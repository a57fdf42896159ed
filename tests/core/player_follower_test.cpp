// Following a player through in-memory fakes: the sessions step by step on the test's clock, the [Player] section
// of Kelvane.ini, Check's line, and the worker thread.
#include <map>

#include "core/OptionValues.h"
#include "core/PlayerFilmClock.h"
#include "core/PlayerPages.h"
#include "tests/core/fake_player.h"
#include "tests/core/test_util.h"
#include "tests/stubs/player_stubs.h"

namespace {

const char kPassword[] = "s3cret";

struct Session {
    explicit Session(CPlayerConfig::Follow follow) {
        config.eFollow = follow, config.strVlcPassword = kPassword;
        session = CPlayerSession::Create(config, fake, [this] { return fake.Now(); });
    }
    // Steps until the pipe's bytes are all read; the state after.
    const CPlayerState& Drain(const std::string& bytes = "") {
        fake.Send(bytes);
        for (int i = 0; i < 100000 && (!fake.toKelvane.empty() || i == 0); ++i)
            session->Step();
        return session->State();
    }
    double Position() const { return session->State().lock.Position(fake.now); }

    CPlayerConfig config;
    FakeTransport fake;
    std::unique_ptr<CPlayerSession> session;
};

std::string VlcReply(const std::string& json, const char* status = "200 OK") {
    return "HTTP/1.0 " + std::string(status) + "\r\n\r\n" + json;
}

}  // namespace

TEST(PlayerSession, Mpv) {
    Session s(CPlayerConfig::Mpv);
    s.session->RequestTogglePause();     // pressed while there is no player: dropped
    EXPECT_EQ(s.session->Step(), 1000);  // no pipe: try again in a second
    EXPECT_EQ(s.session->State().strStatus, "Waiting for mpv on \\\\.\\pipe\\mpvsocket\xE2\x80\xA6");
    EXPECT_EQ(s.session->Describe(), "No mpv on \\\\.\\pipe\\mpvsocket (not found)");
    s.fake.pipeUp = true;
    EXPECT_FALSE(s.Drain("{\"event\":\"property-change\",\"id\":1,\"name\":\"time-pos\"}\n").lock.IsKnown());
    EXPECT_EQ(s.fake.fromKelvane, MpvObserveCommands() + MpvGetPropertyCommand("mpv-version", 1));
    const struct { std::string line; const char* status; double position; double rate; } steps[] = {
        {"{\"data\":\"mpv 0.36.0\",\"request_id\":1,\"error\":\"success\"}", "Following mpv", -1, 0},
        {"{\"event\":\"property-change\",\"id\":1,\"name\":\"time-pos\",\"data\":3.5}", "Following mpv", 3500, 1},
        {"{\"event\":\"property-change\",\"name\":\"time-pos\",\"data\":-3}",
         "mpv sent a time-pos that is no film position", 3500, 1},  // ignored
        {std::string(70000, ' '), "mpv sent a line over 64 KiB", 3500, 1},
        {"{\"event\":\"seek\"}", "Following mpv", 3500, 0},
    };
    for (const auto& step : steps) {
        const CPlayerState& state = s.Drain(step.line + "\n");
        EXPECT_EQ(state.strStatus, step.status) << step.line.substr(0, 60);
        EXPECT_EQ(state.lock.IsKnown() ? s.Position() : -1, step.position) << step.line.substr(0, 60);
        EXPECT_EQ(state.lock.Rate(), step.rate) << step.line.substr(0, 60);
    }
    EXPECT_EQ(s.session->Describe(), "mpv 0.36.0: playing, 0:00:03");
    s.session->RequestTogglePause();
    s.session->Step();
    EXPECT_EQ(s.fake.fromKelvane.substr(s.fake.fromKelvane.size() - MpvCyclePauseCommand().size()), MpvCyclePauseCommand());
    EXPECT_EQ(s.Drain("{\"event\":\"shutdown\"}\n").eLink, CPlayerState::Waiting);
    EXPECT_FALSE(s.session->State().lock.IsKnown());
    EXPECT_EQ(s.Drain().eLink, CPlayerState::Following);  // back: a player that restarted
    s.fake.pipeBroken = true;
    EXPECT_EQ(s.Drain().eLink, CPlayerState::Waiting);
}

TEST(PlayerSession, Http) {
    StubFilm film(0, 754321);
    const std::string vlc = VlcAnswer("GET /requests/status.json HTTP/1.0\r\nAuthorization: Basic OnMzY3JldA==\r\n\r\n",
                                      film, 0, kPassword);
    const struct { CPlayerConfig::Follow follow; std::string reply; int wait; const char* status; double position;
                   bool paused = false; } cases[] = {
        {CPlayerConfig::Vlc, vlc, 150, "Following VLC", 754321},  // locked to 754-755 s, refined by position
        {CPlayerConfig::Vlc, VlcAnswer("", film, 0, ""), 1000, kVlcNoPassword, 0},
        {CPlayerConfig::Vlc, VlcAnswer("", film, 0, "other"), 1000, kVlcWrongPassword, 0},
        {CPlayerConfig::Vlc, "SSH-2.0-OpenSSH_9.2\r\n", 1000, "VLC on 127.0.0.1:8080: not an HTTP reply", 0},
        {CPlayerConfig::Vlc, vlc.substr(0, vlc.size() - 9), 1000, "VLC on 127.0.0.1:8080: reply cut short", 0},
        {CPlayerConfig::Vlc, "hang", 1000, "VLC on 127.0.0.1:8080: no complete reply within 500 ms", 0},
        {CPlayerConfig::Vlc, VlcReply("{\"time\":-4,\"length\":0,\"position\":0,\"state\":\"playing\",\"rate\":1}"),
         1000, "VLC sent a position that is no film position", 0},
        {CPlayerConfig::Mpc, MpcAnswer("GET /variables.html HTTP/1.0\r\n", film, 0, false), 250, "Following MPC", 754371},
        {CPlayerConfig::Mpc, VlcReply("<html>It works!</html>"), 1000, "not MPC's variables page", 0},
        {CPlayerConfig::Mpc, VlcReply("", "404 Not Found"), 1000, "MPC answered HTTP 404", 0},
    };
    for (const auto& c : cases) {
        Session s(c.follow);
        s.fake.server = [&](const std::string&) { return c.reply; };
        EXPECT_EQ(s.session->Step(), c.wait) << c.reply;
        EXPECT_LE(s.fake.now, 1e6 + 500) << c.reply;  // no request takes longer
        EXPECT_EQ(s.session->State().strStatus, c.status) << c.reply;
        EXPECT_NEAR(s.session->State().lock.IsKnown() ? s.Position() : 0, c.position, 0.5) << c.reply;
        EXPECT_EQ(s.session->Describe().find(kPassword), std::string::npos);
    }
    EXPECT_EQ(VlcReply(""), "HTTP/1.0 200 OK\r\n\r\n");
}

// Against the stubs of MPC (both templates) and VLC: the requests they expect, the poll pace, the pause command,
// the player quitting.
TEST(PlayerSession, HttpPollsTogglesAndWaits) {
    for (const auto follow : {CPlayerConfig::Vlc, CPlayerConfig::Mpc, CPlayerConfig::Off}) {
        const bool vlc = follow == CPlayerConfig::Vlc;
        Session s(vlc ? follow : CPlayerConfig::Mpc);
        EXPECT_EQ(s.session->Step(), 1000);
        EXPECT_EQ(s.session->Describe(), vlc ? "No VLC on 127.0.0.1:8080 (connection refused)"
                                             : "No MPC on 127.0.0.1:13579 (connection refused)");
        EXPECT_GE(s.session->Step(), 999);  // not again before the second is over
        StubFilm film(s.fake.now, 12000);
        s.fake.server = [&](const std::string& request) {
            return vlc ? VlcAnswer(request, film, s.fake.now, kPassword) : MpcAnswer(request, film, s.fake.now, !follow);
        };
        s.fake.now += 1000;
        EXPECT_EQ(s.session->Step(), vlc ? 150 : 250);
        EXPECT_EQ(s.session->Describe(), vlc ? "VLC 3.0.18 Vetinari: playing, 0:00:13"
                                             : follow ? "MPC-HC/BE 2.1.4.0: playing, 0:00:13" : "MPC-HC/BE: playing, 0:00:13");
        s.fake.now += 100;
        EXPECT_GT(s.session->Step(), 0);  // the next poll is not yet due, but a command goes at once
        s.session->RequestTogglePause();
        EXPECT_EQ(s.session->Step(), 0);  // a poll follows at once (MPC's command page says nothing)
        EXPECT_EQ(s.session->Step(), vlc ? 150 : 250);
        EXPECT_TRUE(film.Paused() && s.session->State().bPaused);
        EXPECT_EQ(s.fake.requests.size(), 3u);
        s.fake.server = nullptr;  // the player quits
        s.fake.now += 1000;
        s.session->Step();
        EXPECT_FALSE(s.session->State().lock.IsKnown());
        EXPECT_EQ(s.session->State().strStatus, vlc ? "Waiting for VLC on 127.0.0.1:8080\xE2\x80\xA6"
                                                    : "Waiting for MPC on 127.0.0.1:13579\xE2\x80\xA6");
    }
}

TEST(PlayerConfig, ReadWriteAndDefaults) {
    using Ini = std::map<std::string, std::string>;
    const auto read = [](const Ini& ini) {
        CPlayerConfig c;
        c.Read([&](const char* key, std::string& value) { return ini.count(key) && (value = ini.at(key), true); });
        return c;
    };
    CPlayerConfig set;
    set.eFollow = CPlayerConfig::Vlc, set.strMpvPipe = "\\\\.\\pipe\\mine", set.strHost = "media-pc.local";
    set.nMpcPort = 1, set.nVlcPort = 65535, set.strVlcPassword = "p;w";
    Ini ini;
    EXPECT_TRUE(set.Write([&](const char* key, const std::string& value) { return ini[key] = value, true; }));
    EXPECT_EQ(ini, (Ini{{"Follow", "vlc"}, {"Host", "media-pc.local"}, {"MpcPort", "1"},
                        {"MpvPipe", "\\\\.\\pipe\\mine"}, {"VlcPassword", "p;w"}, {"VlcPort", "65535"}}));
    EXPECT_TRUE(read(ini) == set);
    EXPECT_EQ(set.PipePath() + " " + set.Address(), "\\\\.\\pipe\\mine media-pc.local:65535");
    const Ini defaults[] = {
        {},
        {{"Follow", "wmp"}, {"MpvPipe", ""}, {"Host", ""}, {"MpcPort", "0"}, {"VlcPort", "65536"}},
        {{"Follow", "1"}, {"MpvPipe", "a\\b"}, {"Host", "-x"}, {"MpcPort", "80a"}, {"VlcPort", "-80"}},
        {{"MpvPipe", "\\\\.\\pipe\\"}, {"Host", "a b"}, {"MpcPort", " ; 80"}, {"VlcPassword", " ; none"}},
    };
    for (const Ini& d : defaults) {
        EXPECT_TRUE(read(d) == CPlayerConfig()) << d.size();
        for (const auto& [key, value] : d)  // refused one by one, as the options dialog sets them
            EXPECT_TRUE(key == "VlcPassword" || !CPlayerConfig().Set(key.c_str(), ProfileValue(value))) << key << value;
    }
    const CPlayerConfig c = read({{"Follow", " MPV ; the pipe"}, {"MpvPipe", "mpv2  ; mine"}, {"MpcPort", "8000 ;"},
                                  {"VlcPassword", " a b ; comment"}});
    EXPECT_TRUE(c.eFollow == CPlayerConfig::Mpv && c.PipePath() == "\\\\.\\pipe\\mpv2" && c.nMpcPort == 8000 &&
                c.strVlcPassword == "a b");
}

// The worker thread on the real clock: a state handed over with a call, a pause command, and no wait for a request
// that hangs when the follower ends.
TEST(PlayerFollower, WorkerThreadAndCheck) {
    auto owned = std::make_unique<FakeTransport>();
    FakeTransport& fake = *owned;
    fake.realTime = true;
    StubFilm film(fake.Now(), 60000);
    fake.server = [&](const std::string& request) { return VlcAnswer(request, film, fake.Now(), kPassword); };
    CPlayerConfig config;
    config.eFollow = CPlayerConfig::Vlc, config.strVlcPassword = kPassword;
    std::atomic<int> changes{0};
    auto clock = std::make_unique<CPlayerFilmClock>(config, std::move(owned), [&] { ++changes; });
    const auto waitFor = [&](auto condition) {  // the window thread's part: take what was handed over
        for (int i = 0; i < 100 && (clock->Take(), !condition()); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return condition();
    };
    ASSERT_TRUE(waitFor([&] { return clock->IsKnown(); }));
    EXPECT_TRUE(changes >= 1 && clock->Status() == "Following VLC" && clock->Speed(0) == 1);
    EXPECT_NEAR(clock->Position(fake.Now()), film.Position(fake.Now()), 500);
    // Handed over with one call until taken, however many changes came meanwhile: a pause, then a seek.
    const int before = changes;
    clock->TogglePause(0);
    for (int i = 0; i < 100 && !film.Paused(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    film.Seek(fake.Now(), 90000);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_EQ(changes, before + 1);
    EXPECT_FALSE(clock->IsPaused()) << "read only what was taken";
    EXPECT_TRUE(waitFor([&] { return clock->IsPaused() && film.Paused() && clock->Speed(0) == 0; }));
    EXPECT_NEAR(clock->Position(fake.Now()), 90000, 500);
    fake.mutex.lock();
    fake.server = [](const std::string&) { return std::string("hang"); };
    fake.mutex.unlock();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto stop = std::chrono::steady_clock::now();
    clock.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - stop, std::chrono::milliseconds(200));
    // Check: one connection, one line.
    FakeTransport check;
    EXPECT_EQ(CheckPlayer(CPlayerConfig(), check), "Follow is off: no player to check");
    config.eFollow = CPlayerConfig::Mpv;
    EXPECT_EQ(CheckPlayer(config, check), "No mpv on \\\\.\\pipe\\mpvsocket (not found)");
    check.pipeUp = true;
    check.Send("{\"event\":\"property-change\",\"name\":\"pause\",\"data\":true}\n{\"event\":\"property-change\","
              "\"name\":\"time-pos\",\"data\":3723.9}\n{\"data\":\"mpv 0.36.0\",\"request_id\":1,\"error\":\"success\"}\n");
    EXPECT_EQ(CheckPlayer(config, check, [&] { return check.now; }), "mpv 0.36.0: paused, 1:02:03");
}
