// Following a player through in-memory fakes: the sessions step by step on the test's clock, the [Player] section
// of Kelvane.ini, Check's line, and the worker thread.
#include <map>

#include "core/PlayerFilmClock.h"
#include "core/PlayerFollower.h"

#include "tests/core/fake_player.h"
#include "tests/core/test_util.h"

namespace {

CPlayerConfig Config(CPlayerConfig::Follow follow) {
    CPlayerConfig config;
    config.eFollow = follow;
    config.strVlcPassword = "s3cret";
    return config;
}

std::string MpcPage(int state, int position, bool older = false) {
    return std::string(older ? "" : "<p id=\"file\">a.mkv</p>\n<p id=\"version\">2.1.4</p>\n") + "<p id=\"state\">" +
           std::to_string(state) + "</p>\n<p id=\"position\">" + std::to_string(position) +
           "</p>\n<p id=\"duration\">5400000</p>\n<p id=\"playbackrate\">1</p>\n";
}

std::string VlcJson(int time, const char* state = "playing") {
    return "{\"time\":" + std::to_string(time) + ",\"length\":0,\"position\":0,\"state\":\"" + state +
           "\",\"rate\":1,\"version\":\"3.0.18 Vetinari\"}";
}

struct Session {
    explicit Session(CPlayerConfig::Follow follow, const CPlayerConfig& config = CPlayerConfig())
        : session(CPlayerSession::Create(follow == CPlayerConfig::Off ? config : Config(follow), fake,
                                         [this] { return fake.Now(); })) {}
    void Send(const std::string& bytes) {
        std::lock_guard<std::mutex> lock(fake.pipe->mutex);
        fake.pipe->toKelvane += bytes;
    }
    // Steps until the pipe's bytes are all read.
    void Drain() {
        for (int i = 0; i < 100000 && (!fake.pipe->toKelvane.empty() || i == 0); ++i)
            session->Step();
    }
    const CPlayerState& State() const { return session->State(); }
    double Position() { return State().lock.Position(fake.now); }

    FakeTransport fake;
    std::unique_ptr<CPlayerSession> session;
};

}  // namespace

TEST(PlayerSession, Mpv) {
    Session s(CPlayerConfig::Mpv);
    EXPECT_EQ(s.session->Step(), 1000);  // no pipe: try again in a second
    EXPECT_EQ(s.State().strStatus, "Waiting for mpv on \\\\.\\pipe\\mpvsocket\xE2\x80\xA6");
    EXPECT_EQ(s.session->Describe(), "No mpv on \\\\.\\pipe\\mpvsocket (not found)");
    s.fake.pipeUp = true;
    s.session->Step();
    EXPECT_EQ(s.fake.pipe->fromKelvane, MpvObserveCommands() + MpvGetPropertyCommand("mpv-version", 1));
    s.Send("{\"request_id\":0,\"error\":\"success\"}\n{\"event\":\"property-change\",\"id\":1,\"name\":\"time-pos\"}\n"
           "{\"event\":\"property-change\",\"id\":2,\"name\":\"pause\",\"data\":false}\n"
           "{\"data\":\"mpv 0.36.0\",\"request_id\":1,\"error\":\"success\"}\n");
    s.Drain();
    EXPECT_FALSE(s.State().lock.IsKnown());  // nothing plays yet
    EXPECT_EQ(s.State().strStatus, "Following mpv");
    s.Send("{\"event\":\"property-change\",\"id\":1,\"name\":\"time-pos\",\"data\":3.5}\n");
    s.Drain();
    const double at = s.fake.now;
    EXPECT_DOUBLE_EQ(s.State().lock.Position(at + 500), 4000);
    EXPECT_EQ(s.session->Describe(), "mpv 0.36.0: playing, 0:00:03");
    s.session->RequestTogglePause();
    s.session->Step();
    EXPECT_NE(s.fake.pipe->fromKelvane.find(MpvCyclePauseCommand()), std::string::npos);
    s.Send("{\"event\":\"property-change\",\"name\":\"time-pos\",\"data\":-3}\n");
    s.Drain();
    EXPECT_EQ(s.State().strStatus, "mpv sent a time-pos that is no film position");
    EXPECT_DOUBLE_EQ(s.State().lock.Position(at + 500), 4000);  // the bad value is ignored
    s.Send(std::string(70000, ' ') + "\n");
    s.Drain();
    EXPECT_EQ(s.State().strStatus, "mpv sent a line over 64 KiB");
    s.Send("{\"event\":\"seek\"}\n");
    s.Drain();
    EXPECT_EQ(s.State().lock.Rate(), 0);  // the line after it is read: seeking
    s.Send("{\"event\":\"shutdown\"}\n");
    s.Drain();
    EXPECT_EQ(s.State().eLink, CPlayerState::Waiting);
    EXPECT_FALSE(s.State().lock.IsKnown());
    s.session->Step();  // back at once, as a player that restarted
    EXPECT_EQ(s.State().eLink, CPlayerState::Following);
    s.fake.pipe->closed = true;  // the pipe breaks
    s.session->Step();
    EXPECT_EQ(s.State().eLink, CPlayerState::Waiting);
}

TEST(PlayerSession, Http) {
    const std::string auth = "Authorization: Basic OnMzY3JldA==\r\n";  // ":s3cret"
    const struct { CPlayerConfig::Follow follow; std::string reply; int wait; const char* status; double position;
                   const char* request = nullptr; } cases[] = {
        {CPlayerConfig::Vlc, HttpReply(VlcJson(754)), 150, "Following VLC", 754500,
         "GET /requests/status.json HTTP/1.0\r\nHost: 127.0.0.1:8080\r\nConnection: close\r\n"},
        {CPlayerConfig::Vlc, HttpReply("", "401 Unauthorized"), 1000, "VLC refused the password", 0},
        {CPlayerConfig::Vlc, HttpReply("<p>No password</p>\n<!-- VLC_PASSWORD_NOT_SET -->", "403 Forbidden"), 1000,
         "VLC has no password set: set one in VLC's Lua HTTP preferences", 0},
        {CPlayerConfig::Vlc, "SSH-2.0-OpenSSH_9.2\r\n", 1000, "VLC on 127.0.0.1:8080: not an HTTP reply", 0},
        {CPlayerConfig::Vlc, "HTTP/1.0 200 OK\r\nContent-Length: 90\r\n\r\n{\"time\":", 1000,
         "VLC on 127.0.0.1:8080: reply cut short", 0},
        {CPlayerConfig::Vlc, "hang", 1000, "VLC on 127.0.0.1:8080: no complete reply within 500 ms", 0},
        {CPlayerConfig::Vlc, HttpReply(VlcJson(-4)), 1000, "VLC sent a position that is no film position", 0},
        {CPlayerConfig::Mpc, HttpReply(MpcPage(2, 754321)), 250, "Following MPC", 754371,
         "GET /variables.html HTTP/1.0\r\nHost: 127.0.0.1:13579\r\nConnection: close\r\n\r\n"},
        {CPlayerConfig::Mpc, HttpReply(MpcPage(1, 754321, true)), 250, "Following MPC", 754321},
        {CPlayerConfig::Mpc, HttpReply("<html>It works!</html>"), 1000, "not MPC's variables page", 0},
        {CPlayerConfig::Mpc, HttpReply("", "404 Not Found"), 1000, "MPC answered HTTP 404", 0},
    };
    for (const auto& c : cases) {
        Session s(c.follow);
        s.fake.server = [&](const std::string&) { return c.reply; };
        const double start = s.fake.now;
        EXPECT_EQ(s.session->Step(), c.wait) << c.reply;
        EXPECT_LE(s.fake.now - start, 500) << c.reply;  // no request takes longer
        EXPECT_EQ(s.State().strStatus, c.status) << c.reply;
        EXPECT_EQ(s.State().lock.IsKnown(), c.position > 0) << c.reply;
        EXPECT_DOUBLE_EQ(c.position > 0 ? s.Position() : 0, c.position) << c.reply;
        EXPECT_EQ(s.fake.requests[0].substr(0, c.request ? strlen(c.request) : 0), c.request ? c.request : "");
        EXPECT_EQ(s.fake.requests[0].find(auth) != std::string::npos, c.follow == CPlayerConfig::Vlc) << c.reply;
        EXPECT_EQ(s.session->Describe().find("s3cret"), std::string::npos);
    }
}

TEST(PlayerSession, HttpPollsTogglesAndWaits) {
    for (const auto follow : {CPlayerConfig::Vlc, CPlayerConfig::Mpc}) {
        Session s(follow);
        const bool vlc = follow == CPlayerConfig::Vlc;
        EXPECT_EQ(s.session->Step(), 1000);
        EXPECT_EQ(s.State().strStatus, vlc ? "Waiting for VLC on 127.0.0.1:8080\xE2\x80\xA6"
                                           : "Waiting for MPC on 127.0.0.1:13579\xE2\x80\xA6");
        EXPECT_EQ(s.session->Describe(), vlc ? "No VLC on 127.0.0.1:8080 (connection refused)"
                                             : "No MPC on 127.0.0.1:13579 (connection refused)");
        EXPECT_GE(s.session->Step(), 999);  // not before the second is over
        EXPECT_EQ(s.fake.opened.size(), 1u);
        bool paused = false;
        s.fake.server = [&](const std::string& request) {
            if (request.find(vlc ? "?command=pl_pause" : "\r\n\r\nwm_command=889") != std::string::npos)
                paused = !paused;
            return HttpReply(vlc ? VlcJson(12, paused ? "paused" : "playing") : MpcPage(paused ? 1 : 2, 12000));
        };
        s.fake.now += 1000;
        EXPECT_EQ(s.session->Step(), vlc ? 150 : 250);
        EXPECT_EQ(s.session->Describe(), vlc ? "VLC 3.0.18 Vetinari: playing, 0:00:12" : "MPC-HC/BE 2.1.4: playing, 0:00:12");
        s.fake.now += 100;
        EXPECT_GT(s.session->Step(), 0);  // the next poll is not yet due
        s.session->RequestTogglePause();  // ... but a command goes at once
        s.session->Step();
        EXPECT_EQ(vlc ? 250 : s.session->Step(), 250);  // MPC's command page says nothing: a poll follows at once
        EXPECT_TRUE(paused && s.State().bPaused);
        EXPECT_EQ(s.fake.requests.size(), vlc ? 2u : 3u);
        s.fake.server = nullptr;  // the player quits
        s.fake.now += 1000;
        s.session->Step();
        EXPECT_FALSE(s.State().lock.IsKnown());
        EXPECT_EQ(s.State().eLink, CPlayerState::Waiting);
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
    EXPECT_EQ(set.PipePath(), "\\\\.\\pipe\\mine");
    EXPECT_EQ(set.Address(), "media-pc.local:65535");
    const Ini defaults[] = {
        {},
        {{"Follow", "wmp"}, {"MpvPipe", ""}, {"Host", ""}, {"MpcPort", "0"}, {"VlcPort", "65536"}},
        {{"Follow", "1"}, {"MpvPipe", "a\\b"}, {"Host", "-x"}, {"MpcPort", "80a"}, {"VlcPort", "-80"}},
        {{"MpvPipe", "\\\\.\\pipe\\"}, {"Host", "a b"}, {"MpcPort", " ; 80"}, {"VlcPassword", " ; none"}},
    };
    for (const Ini& d : defaults)
        EXPECT_TRUE(read(d) == CPlayerConfig()) << d.size();
    const CPlayerConfig c = read({{"Follow", " MPV ; the pipe"}, {"MpvPipe", "mpv2  ; mine"}, {"MpcPort", "8000 ;"},
                                  {"VlcPassword", " a b ; comment"}});
    EXPECT_EQ(c.eFollow, CPlayerConfig::Mpv);
    EXPECT_EQ(c.PipePath(), "\\\\.\\pipe\\mpv2");
    EXPECT_EQ(c.nMpcPort, 8000);
    EXPECT_EQ(c.strVlcPassword, "a b");
}

TEST(PlayerFollower, WorkerThread) {
    auto owned = std::make_unique<FakeTransport>();
    FakeTransport& fake = *owned;
    fake.realTime = true;
    std::atomic<bool> paused{false};
    std::atomic<int> changes{0};
    fake.server = [&](const std::string& request) {
        if (request.find("pl_pause") != std::string::npos)
            paused = !paused;
        return HttpReply(VlcJson(60, paused ? "paused" : "playing"));
    };
    auto clock = std::make_unique<CPlayerFilmClock>(Config(CPlayerConfig::Vlc), std::move(owned), [&] { ++changes; });
    for (int i = 0; i < 100 && !clock->IsKnown(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(clock->IsKnown());
    EXPECT_GE(changes, 1);
    EXPECT_EQ(clock->Status(), "Following VLC");
    EXPECT_EQ(clock->Speed(0), 1);
    const double t = SteadyNowMs();
    EXPECT_NEAR(clock->Position(t), 60500, 500);
    clock->TogglePause(t);
    for (int i = 0; i < 100 && !clock->IsPaused(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(clock->IsPaused());
    EXPECT_EQ(clock->Speed(SteadyNowMs()), 0);
    fake.server = [](const std::string&) { return std::string("hang"); };  // a request that never ends
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto stop = std::chrono::steady_clock::now();
    clock.reset();  // ends the worker without waiting for the request's timeout
    EXPECT_LT(std::chrono::steady_clock::now() - stop, std::chrono::milliseconds(200));
}

TEST(PlayerFollower, Check) {
    FakeTransport fake;
    const auto clock = [&] { return fake.Now(); };
    EXPECT_EQ(CheckPlayer(CPlayerConfig(), fake, clock), "Follow is off: no player to check");
    EXPECT_EQ(CheckPlayer(Config(CPlayerConfig::Mpv), fake, clock), "No mpv on \\\\.\\pipe\\mpvsocket (not found)");
    fake.server = [](const std::string&) { return HttpReply("", "401 Unauthorized"); };
    EXPECT_EQ(CheckPlayer(Config(CPlayerConfig::Vlc), fake, clock), "VLC refused the password");
    fake.server = [](const std::string&) { return HttpReply(VlcJson(0, "stopped")); };
    EXPECT_EQ(CheckPlayer(Config(CPlayerConfig::Vlc), fake, clock), "VLC 3.0.18 Vetinari: nothing playing");
    // mpv: the version and the position come as a stream, read until both are in.
    fake.pipeUp = true;
    std::thread player([&] {
        for (int i = 0; i < 500 && fake.pipe->fromKelvane.find("mpv-version") == std::string::npos; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::lock_guard<std::mutex> lock(fake.pipe->mutex);
        fake.pipe->toKelvane = "{\"event\":\"property-change\",\"name\":\"pause\",\"data\":true}\n"
                               "{\"event\":\"property-change\",\"name\":\"time-pos\",\"data\":3723.9}\n"
                               "{\"data\":\"mpv 0.36.0\",\"request_id\":1,\"error\":\"success\"}\n";
    });
    fake.realTime = true;
    EXPECT_EQ(CheckPlayer(Config(CPlayerConfig::Mpv), fake, clock), "mpv 0.36.0: paused, 1:02:03");
    player.join();
}
