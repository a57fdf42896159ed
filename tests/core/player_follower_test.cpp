// Following a player through in-memory fakes: the sessions on the test's clock, Check's line, the worker thread.
#include <mutex>
#include <thread>

#include "core/PlayerFilmClock.h"
#include "core/PlayerPages.h"
#include "tests/core/test_util.h"
#include "tests/stubs/player_stubs.h"

namespace {

// In-memory ways to a player: a pipe whose far end the test fills (read in pieces of 7 bytes), and an HTTP server that
// is a function of the request ("hang": no answer ever). A wait moves the test's clock, or sleeps when realTime.
struct FakeTransport : IPlayerTransport {
    double now = 1e6;
    bool realTime = false, pipeUp = false;
    std::mutex mutex;
    std::string toKelvane, fromKelvane;  // the pipe's bytes
    std::function<std::string(const std::string&)> server;
    std::vector<std::string> requests;

    double Now() { return realTime ? SteadyNowMs() : now; }
    void Send(const std::string& bytes) { std::lock_guard<std::mutex> lock(mutex); toKelvane += bytes; }

    struct Connection : IPlayerConnection {
        Connection(FakeTransport& transport, bool isHttp) : t(transport), http(isHttp) {}
        int Read(char* buffer, int size, int timeoutMs) override {
            std::unique_lock<std::mutex> lock(t.mutex);
            std::string& in = http ? reply : t.toKelvane;
            if (const size_t n = std::min<size_t>({in.size(), static_cast<size_t>(size), http ? 4096u : 7u}))
                return in.copy(buffer, n), in.erase(0, n), static_cast<int>(n);
            if (http && !hang)
                return -1;
            lock.unlock();
            return t.realTime ? std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs)) : void(t.now += timeoutMs), 0;
        }
        bool Write(const std::string& bytes, int) override {
            std::lock_guard<std::mutex> lock(t.mutex);
            if (!http)
                return t.fromKelvane += bytes, true;
            t.requests.push_back(bytes), reply = t.server(bytes), hang = reply == "hang";
            return reply.resize(hang ? 0 : reply.size()), true;
        }
        FakeTransport& t;
        bool http, hang = false;
        std::string reply;
    };
    std::unique_ptr<IPlayerConnection> OpenPipe(const std::string&, int, std::string& error) override {
        return pipeUp ? std::make_unique<Connection>(*this, false) : (error = "not found", nullptr);
    }
    std::unique_ptr<IPlayerConnection> Connect(const std::string&, int, int, std::string& error) override {
        std::lock_guard<std::mutex> lock(mutex);
        return server ? std::make_unique<Connection>(*this, true) : (error = "connection refused", nullptr);
    }
};

const char kPassword[] = "s3cret";

CPlayerConfig Config(CPlayerConfig::Follow f) { CPlayerConfig c; return c.eFollow = f, c.strVlcPassword = kPassword, c; }

struct Session {
    explicit Session(CPlayerConfig::Follow follow)
        : config(Config(follow)), session(CPlayerSession::Create(config, fake, [this] { return fake.Now(); })) {}
    const CPlayerState& Drain(const std::string& bytes) {  // steps until the pipe's bytes are all read
        fake.Send(bytes);
        for (int i = 0; i < 100000 && !fake.toKelvane.empty(); ++i) session->Step();
        return session->State();
    }
    CPlayerConfig config;
    FakeTransport fake;
    std::unique_ptr<CPlayerSession> session;
};

}  // namespace

TEST(PlayerSession, Mpv) {
    Session s(CPlayerConfig::Mpv);
    s.session->RequestTogglePause();     // pressed while there is no player: dropped
    EXPECT_EQ(s.session->Step(), 1000);  // no pipe: try again in a second (the status line's words are the overlay's test)
    EXPECT_EQ(s.session->Describe(), "No mpv on \\\\.\\pipe\\mpvsocket (not found)");
    s.fake.pipeUp = true;
    const struct { std::string line; const char* status; double position; } steps[] = {
        {R"({"event":"property-change","id":1,"name":"time-pos","data":3.5})", "Following mpv", 3500},
        {R"({"event":"property-change","name":"time-pos","data":-3})", "mpv sent a time-pos that is no film position",
         3500},  // ignored
        {std::string(70000, ' '), "mpv sent a line over 64 KiB", 3500},
        {R"({"data":"mpv 0.36.0","request_id":1,"error":"success"})", "Following mpv", 3500},
    };
    for (const auto& step : steps) {
        const CPlayerState& state = s.Drain(step.line + "\n");
        EXPECT_TRUE(state.strStatus == step.status && (state.lock.IsKnown() ? state.lock.Position(s.fake.now) : -1) ==
                    step.position) << step.line.substr(0, 60) << ": " << state.strStatus;
    }
    s.session->RequestTogglePause(), s.session->Step();
    EXPECT_EQ(s.fake.fromKelvane, MpvObserveCommands() + MpvGetPropertyCommand("mpv-version", 1) + MpvCyclePauseCommand());
    EXPECT_TRUE(s.Drain("{\"event\":\"shutdown\"}\n").eLink == CPlayerState::Waiting && !s.session->State().lock.IsKnown());
}

// Against MPC's (both templates) and VLC's stubs: no player, the poll's pace, a command at once and the poll after it.
TEST(PlayerSession, HttpPollsTogglesAndWaits) {
    for (const auto follow : {CPlayerConfig::Vlc, CPlayerConfig::Mpc, CPlayerConfig::Off}) {
        const bool vlc = follow == CPlayerConfig::Vlc;
        const std::string where = vlc ? "VLC on 127.0.0.1:8080" : "MPC on 127.0.0.1:13579";
        Session s(vlc ? follow : CPlayerConfig::Mpc);
        const int first = s.session->Step(), again = s.session->Step();  // not again before the second is over
        EXPECT_TRUE(first == 1000 && again >= 999 && s.session->Describe() == "No " + where + " (connection refused)");
        StubFilm film(s.fake.now, 12000);
        s.fake.server = [&](const std::string& request) {
            return vlc ? VlcAnswer(request, film, s.fake.now, kPassword) : MpcAnswer(request, film, s.fake.now, !follow);
        };
        s.fake.now += 1000;
        EXPECT_EQ(s.session->Step(), vlc ? 150 : 250);
        const char* const name = vlc ? "VLC 3.0.18 Vetinari" : follow ? "MPC-HC/BE 2.1.4.0" : "MPC-HC/BE";
        EXPECT_EQ(s.session->Describe(), name + std::string(": playing, 0:00:13"));
        s.fake.now += 100;
        EXPECT_GT(s.session->Step(), 0);  // the next poll is not yet due, but a command goes at once
        s.session->RequestTogglePause();
        EXPECT_EQ(s.session->Step(), 0);  // a poll follows at once (MPC's command page says nothing)
        EXPECT_EQ(s.session->Step(), vlc ? 150 : 250);
        EXPECT_TRUE(film.Paused() && s.session->State().bPaused && s.fake.requests.size() == 3);
    }
}

// Answers that are not the player's: named on the status line and by Check, tried again after a second, within 500 ms.
TEST(PlayerSession, HttpRefusals) {
    const struct { CPlayerConfig::Follow follow; const char* reply; const char* status; } cases[] = {
        {CPlayerConfig::Vlc, "HTTP/1.0 401 Unauthorized\r\n\r\n", kVlcWrongPassword},
        {CPlayerConfig::Vlc, "SSH-2.0-OpenSSH_9.2\r\n", "VLC on 127.0.0.1:8080: not an HTTP reply"},
        {CPlayerConfig::Vlc, "hang", "VLC on 127.0.0.1:8080: no complete reply within 500 ms"},
        {CPlayerConfig::Mpc, "HTTP/1.0 200 OK\r\n\r\n<html>It works!</html>", "not MPC's variables page"},
        {CPlayerConfig::Mpc, "HTTP/1.0 404 Not Found\r\n\r\n", "MPC answered HTTP 404"},
    };
    for (const auto& c : cases) {
        Session s(c.follow);
        s.fake.server = [&](const std::string&) { return c.reply; };
        const int wait = s.session->Step();
        EXPECT_TRUE(wait == 1000 && s.fake.now <= 1e6 + 500 && !s.session->State().lock.IsKnown()) << c.reply;
        EXPECT_TRUE(s.session->State().strStatus == c.status && s.session->Describe() == c.status) << s.session->Describe();
    }
}

// The worker thread on the real clock: a state handed over with a call, a pause command, and no wait for a request
// that hangs when the follower ends. Check: one connection, one line.
TEST(PlayerFollower, WorkerThreadAndCheck) {
    using namespace std::chrono_literals;
    auto owned = std::make_unique<FakeTransport>();
    FakeTransport& fake = *owned;
    fake.realTime = true;
    StubFilm film(fake.Now(), 60000);
    fake.server = [&](const std::string& request) { return VlcAnswer(request, film, fake.Now(), kPassword); };
    CPlayerConfig config = Config(CPlayerConfig::Vlc);
    std::atomic<int> changes{0};
    auto clock = std::make_unique<CPlayerFilmClock>(config, std::move(owned), [&] { ++changes; });
    const auto waitFor = [&](auto condition) {  // the window thread's part: take what was handed over
        for (int i = 0; i < 100 && (clock->Take(), !condition()); ++i) std::this_thread::sleep_for(10ms);
        return condition();
    };
    ASSERT_TRUE(waitFor([&] { return clock->IsKnown(); }));
    EXPECT_TRUE(changes >= 1 && clock->Status() == "Following VLC" && clock->Speed(0) == 1);
    // Handed over with one call until taken, however many changes came meanwhile: a pause, then a seek.
    const int before = changes;
    clock->TogglePause(0);
    std::this_thread::sleep_for(400ms);
    film.Seek(fake.Now(), 90000);
    std::this_thread::sleep_for(400ms);
    EXPECT_TRUE(changes == before + 1 && !clock->IsPaused()) << changes - before << " calls; read only what was taken";
    EXPECT_TRUE(waitFor([&] { return clock->IsPaused() && film.Paused() && clock->Speed(0) == 0; }));
    EXPECT_NEAR(clock->Position(fake.Now()), 90000, 500);
    // Under the lock, held by the temporary to the end of the statement.
    std::lock_guard<std::mutex>(fake.mutex), fake.server = [](const std::string&) { return std::string("hang"); };
    std::this_thread::sleep_for(200ms);
    const double stop = SteadyNowMs();
    clock.reset();
    EXPECT_LT(SteadyNowMs() - stop, 200);
    FakeTransport check;
    EXPECT_EQ(CheckPlayer(CPlayerConfig(), check), "Follow is off: no player to check");
    config.eFollow = CPlayerConfig::Mpv, check.pipeUp = true;
    check.Send("{\"event\":\"property-change\",\"name\":\"pause\",\"data\":true}\n{\"event\":\"property-change\","
              "\"name\":\"time-pos\",\"data\":3723.9}\n{\"data\":\"mpv 0.36.0\",\"request_id\":1,\"error\":\"success\"}\n");
    EXPECT_EQ(CheckPlayer(config, check, [&] { return check.now; }), "mpv 0.36.0: paused, 1:02:03");
}
