// Kelvane follows each player's stub (in this process, its film moved by the test): the Options dialog's fields from
// Kelvane.ini and back, Check, play, pauses from the player and from Kelvane's key, seeks, speed 2x, the player gone
// and back. The overlay is read off the screen: the film's seconds in threes are no cue, a narrow cue, a wide one.
#include "Harness.h"

#include <cmath>

#include "core/WallFilmClock.h"
#include "tests/stubs/win_player_stubs.h"

namespace e2e {
namespace {

constexpr double kMargin = 250;  // ms of film: a poll this near a change of cue is not judged
const RECT kWide{200, 400, 1000, 720};
const char kPassword[] = "s3cret";

int Due(double position) { return static_cast<int>(position / 1000) % 3; }  // 0 nothing, 1 narrow, 2 wide

std::string Cues() {  // 0:00 to 3:00
    std::string cues;
    for (int s = 0; s < 180; ++s)
        if (Due(s * 1000.0)) cues += Cue(s * 1000, s * 1000 + 1000, Due(s * 1000.0) == 1 ? "I" : "MMMMMM");
    return cues;
}

int Kind(LONG cue) { return cue == 0 ? 0 : cue < 60 ? 1 : 2; }  // a cue's width as Due counts it

struct Case { const char* name; int choice; };  // the Follow choice: 1 mpv, 2 MPC, 3 VLC

struct Follow : KelvaneTest, testing::WithParamInterface<Case> {
    StubFilm film{SteadyNowMs(), 20500};
    std::unique_ptr<StubServer> stub;
    HWND overlay = nullptr;
    const bool vlc = GetParam().choice == 3;

    double Film() const { return film.Position(SteadyNowMs()); }
    // For ms, every poll away from a change shows the cue due at the film's position (paused, there may be none);
    // a playing VLC first locks on.
    void Follows(const char* what, DWORD ms) {
        Sleep(vlc && !film.Paused() ? 2000 : 300);
        int judged = 0;
        std::string wrong;
        for (const ULONGLONG end = GetTickCount64() + ms; GetTickCount64() < end; Sleep(30)) {
            const double before = Film();
            const Look look = LookAt(overlay);
            const double after = Film();
            if (std::floor((before - kMargin) / 1000) != std::floor((after + kMargin) / 1000)) continue;
            ++judged;
            if (look.banner || Kind(look.cue) != Due(before))
                wrong += " at " + std::to_string(static_cast<int>(before)) + " showed " + std::to_string(look.banner ? -1 : look.cue);
        }
        EXPECT_TRUE((judged >= 3 || film.Paused()) && wrong.empty()) << what << ": " << judged << " polls judged; wrong:" << wrong;
    }
    // A seek to the middle of a second whose cue differs from the one due now: shown at once.
    void Seek(const char* what, double to) {
        while (Due(to) == Due(Film())) to += 1000;
        film.Seek(SteadyNowMs(), to);
        EXPECT_TRUE(WaitUntil(what, [&] { return Kind(LookAt(overlay).cue) == Due(Film()); }, vlc ? 1200 : 700));
    }
};

TEST_P(Follow, ThroughTheOptionsPlayPauseSeeksSpeedAndThePlayerQuitting) {
    const Case c = GetParam();
    const std::string pipe = "kelvane-e2e-" + std::to_string(GetCurrentProcessId());
    stub = c.choice == 1 ? std::unique_ptr<StubServer>(std::make_unique<MpvPipeStub>(film, pipe))
                         : std::make_unique<HttpStub>([this, c](const std::string& request) {
                               return c.choice == 2 ? MpcAnswer(request, film, SteadyNowMs(), false)
                                                    : VlcAnswer(request, film, SteadyNowMs(), kPassword);
                           });
    stub->Start();
    const std::string port = c.choice == 1 ? "" : std::to_string(static_cast<HttpStub&>(*stub).Port());
    const struct { int id; std::string key, before, after; } fields[] = {  // in Kelvane.ini and shown; typed and saved
        {IDC_PLAYER_PIPE, "MpvPipe", "elsewhere", pipe}, {IDC_PLAYER_HOST, "Host", "127.0.0.2", "localhost"},
        {IDC_PLAYER_MPC_PORT, "MpcPort", "1", c.choice == 2 ? port : "1"},
        {IDC_PLAYER_VLC_PORT, "VlcPort", "2", c.choice == 3 ? port : "2"}, {IDC_PLAYER_PASSWORD, "VlcPassword", "old", kPassword}};
    std::string ini = "[Player]\r\nFollow=" + std::string(c.choice == 1 ? "vlc" : "mpv") + " ; comment\r\n";
    for (const auto& f : fields) ini += f.key + "=" + f.before + "\r\n";
    folder.Write(L"Kelvane.ini", {ini.begin(), ini.end()});
    PrepareOverlay(Cues(), kWide, {1, 0, 0, 0});  // From 1:00:00, past every cue: not used while following
    Launch();

    // Kelvane.ini into the dialog's fields, the fields into Kelvane.ini.
    PostMessageW(panel, WM_SYSCOMMAND, IDM_OPTIONS, 0);
    HWND dlg = app->WaitForCaption(L"Kelvane Options");
    ASSERT_NE(dlg, nullptr);
    HWND choice = GetDlgItem(dlg, IDC_PLAYER_FOLLOW);
    EXPECT_EQ(SendMessageW(choice, CB_GETCURSEL, 0, 0), c.choice == 1 ? 3 : 1);
    for (const auto& f : fields)  // a password field shows other programs nothing
        EXPECT_TRUE(f.id == IDC_PLAYER_PASSWORD || Narrow(ItemText(dlg, f.id)) == f.before) << f.key;
    EXPECT_TRUE(Style(GetDlgItem(dlg, IDC_PLAYER_PASSWORD)) & ES_PASSWORD) << "the password in clear";
    SendMessageW(choice, CB_SETCURSEL, c.choice, 0);
    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDC_PLAYER_FOLLOW, CBN_SELCHANGE), reinterpret_cast<LPARAM>(choice));
    for (const auto& f : fields) SetItemText(dlg, f.id, std::wstring(f.after.begin(), f.after.end()));
    Click(dlg, IDC_PLAYER_CHECK);
    EXPECT_TRUE(WaitUntil("Check's answer", [&] { return ItemText(dlg, IDC_PLAYER_ANSWER).find(L": playing, 0:00:") != std::wstring::npos; }))
        << Narrow(ItemText(dlg, IDC_PLAYER_ANSWER));
    PostClick(dlg, IDOK);
    ASSERT_TRUE(WaitUntil("the dialog closed", [&] { return !IsWindow(dlg); }));
    const Bytes bytes = folder.Read(L"Kelvane.ini");
    const std::string saved(bytes.begin(), bytes.end()), player = saved.substr(std::min(saved.size(), saved.find("[Player]")));
    EXPECT_NE(player.find("Follow=" + std::string(c.name) + "\r\n"), std::string::npos) << saved;
    for (const auto& f : fields) EXPECT_NE(player.find(f.key + "=" + f.after + "\r\n"), std::string::npos) << f.key << " in\n" << saved;

    ASSERT_NE(overlay = StartOverlay(), nullptr);
    EXPECT_TRUE(WaitUntil("a cue of the player's position", [&] { return !LookAt(overlay).banner; }));
    EXPECT_TRUE(WaitUntil("\"Following\" for a moment", [&] { return LookAt(overlay).status > 0; }, 1000));
    EXPECT_TRUE(WaitUntil("the moment over", [&] { return LookAt(overlay).status == 0; }));
    Follows("play", 2000);

    film.Pause(SteadyNowMs(), true);  // the player pauses: "Paused" stays, the cue too
    EXPECT_TRUE(WaitUntil("\"Paused\"", [&] { return LookAt(overlay).status > 0; }));
    Pump(2000);
    EXPECT_GT(LookAt(overlay).status, 0) << "\"Paused\" gone";
    Follows("paused", 500);
    Seek("the cue at the position sought back to", 10500);
    Follows("paused after the seek", 500);
    SendKeys({VK_CONTROL, VK_MENU, VK_SPACE});
    ASSERT_TRUE(WaitUntil("the player resumed by Kelvane's key", [&] { return !film.Paused(); }));
    Follows("resumed", 2000);
    Seek("the cue at the position sought forward to", 40500);
    Follows("after the seek forward", 1500);
    film.SetSpeed(SteadyNowMs(), 2);
    Follows("at speed 2", 2000);

    SendKeys({VK_CONTROL, VK_MENU, VK_SPACE});
    ASSERT_TRUE(WaitUntil("the player paused by Kelvane's key", [&] { return film.Paused(); }));
    Pump(500);
    const LONG kept = LookAt(overlay).cue;
    stub->Quit();  // "Waiting for ..." (wider than "Paused") stays, the cue too
    EXPECT_TRUE(WaitUntil("\"Waiting for\"", [&] { return LookAt(overlay).status > 200; }, 2000));
    Pump(2500);
    const Look waiting = LookAt(overlay);
    EXPECT_TRUE(waiting.status > 200 && waiting.cue == kept && !waiting.banner) << waiting.status << " " << waiting.cue;
    stub->Start();  // found again within the second between tries
    EXPECT_TRUE(WaitUntil("the player followed again", [&] { return LookAt(overlay).status < 200; }, 2000));
    film.Pause(SteadyNowMs(), false);
    Follows("the player back", 2000);
    EXPECT_TRUE(WaitUntil("the status line clear", [&] { return LookAt(overlay).status == 0; }));
    ExitAndWait();
}

INSTANTIATE_TEST_SUITE_P(Player, Follow, testing::Values(Case{"mpv", 1}, Case{"mpc", 2}, Case{"vlc", 3}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
