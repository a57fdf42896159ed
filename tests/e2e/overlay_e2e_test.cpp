// The overlay driven from outside: a short subtitle file played while the screen, the overlay's styles and
// rectangle, and the settings file are watched; live control by hotkeys and menu commands posted to it, and
// playback started by a synthetic mouse click.
#include "Harness.h"

#include <algorithm>
#include <chrono>

namespace e2e {
namespace {

constexpr COLORREF kBackdrop = RGB(30, 160, 90), kFilm = RGB(40, 60, 200);
constexpr LONG_PTR kFrame = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

const RECT kWhere{300, 500, 900, 720};
// Two one-line cues, the file ending without an empty line; two cues after a while, for live control.
const std::string kCues = "1\n00:00:00,400 --> 00:00:00,900\nMMMM\n\n2\n00:00:01,300 --> 00:00:01,800\nWWWW";
const char kLiveCues[] = "1\n00:00:30,000 --> 00:01:00,000\nMMMM\n\n2\n00:02:00,000 --> 00:02:30,000\nWWWW\n\n";

class OverlayTest : public KelvaneTest {
protected:
    bool StartEnabled() const { return IsWindowEnabled(GetDlgItem(panel, IDOK)) != FALSE; }
    // Red pixels in a band of the client area: the status line on top, the banner's upper lines in the
    // middle, a one-line cue at the bottom.
    size_t Red(HWND overlay, int band) const {
        RECT r = ClientScreenRect(overlay);
        const LONG edges[] = {r.top, r.top + 30, r.bottom - 60, r.bottom};
        r.top = edges[band], r.bottom = edges[band + 1];
        return CountPixels(r, kText);
    }
    static size_t Area(const RECT& r) { return static_cast<size_t>(r.right - r.left) * (r.bottom - r.top); }
    // Text in the client area: 0 none, 1 a one-line cue (nothing above the bottom 60 pixels), 2 the banner.
    int Shown(HWND overlay) const { return Red(overlay, 0) + Red(overlay, 1) ? 2 : Red(overlay, 2) ? 1 : 0; }
};

// From 1:02:03,004 (the cue in progress there skipped), twelve changes 330 ms apart, spread over the phases of a
// 100 ms tick: six cues, then the banner. A change seen by a poll came after the poll before it began and before
// this one ended; counted from the click on Start (the film is anchored just after, as Start is handled) it is
// never early, and the median is on time, which the 100 ms tick alone is not. Each poll first sleeps 1 ms: on a
// busy machine, polling flat out would take the CPU from the program and the X server it measures.
TEST_F(OverlayTest, CuesAppearAndClearOnTimeFromTheStartPointThenTheBannerReturns) {
    std::string cues = "1\n01:02:03,000 --> 01:02:03,400\nWWWW\n\n";
    std::vector<int> due, phases{2}, want{2}, late;  // due: ms after Start; phases: 2 banner, 1 cue, 0 nothing
    char cue[64];
    for (int k = 0; k < 12; ++k) due.push_back(500 + 330 * k), want.push_back(k == 11 ? 2 : 1 - k % 2);
    for (int k = 0; k < 12; k += 2)  // each cue from the film at 1:02:03,004 + due[k] to 1:02:03,004 + due[k + 1]
        cues.append(cue, snprintf(cue, sizeof cue, "1\n01:02:0%d,%03d --> 01:02:0%d,%03d\nMMMM\n\n", (3004 + due[k]) / 1000,
                                  (3004 + due[k]) % 1000, (3004 + due[k + 1]) / 1000, (3004 + due[k + 1]) % 1000));
    PrepareOverlay(cues, kWhere, {1, 2, 3, 4}), Launch();
    const auto now = [] { return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count(); };
    const double clicked = now();
    HWND overlay = StartOverlay();
    ASSERT_NE(overlay, nullptr);
    EXPECT_TRUE((ExStyle(overlay) & WS_EX_TOPMOST) && (Style(overlay) & kFrame) == kFrame) << "framed, on top";
    for (double last = clicked, poll = clicked; phases.size() < want.size() && poll < clicked + 6000; last = poll)
        if (const int shown = (Sleep(1), poll = now(), Shown(overlay)); shown != phases.back()) {
            EXPECT_GE(now() - clicked, due[late.size()] - 2) << "change " << late.size() << " came early";
            phases.push_back(shown), late.push_back(static_cast<int>(last - clicked) - due[late.size()]);
        }
    ASSERT_EQ(phases, want);
    std::vector<int> sorted = late;
    std::sort(sorted.begin(), sorted.end());
    RecordProperty("ms_late", testing::PrintToString(late));  // in the XML report, to watch the margin
    EXPECT_TRUE(sorted[6] <= 25 && sorted[11] <= 1000) << "ms late (at least): " << testing::PrintToString(late);
    ExitAndWait();
}

// A path outside the ANSI code page typed into the file field as a user types it: Start plays the file, Exit saves
// the path in its UTF-16 form, and the next run shows it.
TEST_F(OverlayTest, APathTypedOutsideTheCodePageIsPlayedSavedAndShownAgain) {
    const std::wstring path = folder.FilePath(L"\u0424\u0438\u043b\u044c\u043c \u6620\u753b.srt");  // no code page holds both
    PrepareOverlay(kCues, kWhere), folder.Write(path.substr(folder.path.size() + 1), Bytes(kCues.begin(), kCues.end()));
    Launch();
    SetItemText(panel, IDC_FILE, L""), SetForegroundWindow(panel);
    PostMessageW(panel, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(panel, IDC_FILE)), TRUE);
    ASSERT_TRUE(WaitUntil("the panel in front", [&] { return GetForegroundWindow() == panel; }, 3000));
    Pump(100), TypeText(path);
    ASSERT_TRUE(WaitUntil("the typed path in the field", [&] { return ItemText(panel, IDC_FILE) == path; }))
        << Narrow(ItemText(panel, IDC_FILE));
    HWND overlay = StartOverlay();
    ASSERT_TRUE(overlay && WaitUntil("a cue of the file", [&] { return Shown(overlay) == 1; }));
    ExitAndWait();
    Bytes want{0xFF, 0xFE, 0xFF, static_cast<uint8_t>(path.size())};
    for (wchar_t c : path) want.insert(want.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8)});
    const Bytes saved = folder.Read(kSettingsFile);
    EXPECT_EQ(Bytes(saved.begin() + 24, saved.begin() + std::min(saved.size(), 24 + want.size())), want);
    Launch();
    EXPECT_EQ(ItemText(panel, IDC_FILE), path);
    ExitAndWait();
}

// Start while playing re-activates; Escape and the close button close the overlay
// and re-enable Start; the last rectangle is saved and restored next run.
TEST_F(OverlayTest, StartReactivatesClosingReenablesStartAndTheRectangleIsKept) {
    const RECT moved{123, 456, 623, 606};
    PrepareOverlay(kCues, kWhere), Launch();
    HWND overlay = StartOverlay();
    ASSERT_NE(overlay, nullptr);
    SetForegroundWindow(panel);
    ASSERT_TRUE(WaitUntil("the panel in front", [&] { return GetForegroundWindow() == panel; }));
    SendMessageW(panel, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);  // as Enter on the panel does
    EXPECT_TRUE(WaitUntil("the overlay in front", [&] { return GetForegroundWindow() == overlay; }));
    Pump(200);
    EXPECT_EQ(app->Windows().size(), 2u) << "no second overlay";

    const auto closed = [&] { return !IsWindow(overlay) && StartEnabled(); };
    PressKey(overlay, VK_RETURN), Pump(300);  // does nothing
    EXPECT_TRUE(IsWindowVisible(overlay));
    PressKey(overlay, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil("Escape to close the overlay and enable Start", closed));
    ASSERT_NE(overlay = StartOverlay(), nullptr);
    EXPECT_FALSE(StartEnabled());
    PostMessageW(overlay, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil("WM_CLOSE to close the overlay and enable Start", closed));

    ASSERT_NE(overlay = StartOverlay(), nullptr);
    SetWindowPos(overlay, nullptr, 123, 456, 500, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil("the overlay moved", [&] { return SameRect(moved, WindowRect(overlay)); }));
    ExitAndWait();  // with the overlay still open
    EXPECT_TRUE(SameRect(moved, Saved().overlay));
    Launch();
    ASSERT_NE(overlay = StartOverlay(), nullptr);
    EXPECT_TRUE(SameRect(moved, WindowRect(overlay)));
    ExitAndWait();
}

// What shows through is what is on the screen: a film window over the backdrop covers the overlay's left part.
TEST_F(OverlayTest, BatchModeMinimisesThePanelAndPlaysSeeThroughOverTheWindowsBeneath) {
    const RECT where{350, 420, 950, 640};
    SolidWindow backdrop(RECT{300, 380, 1000, 700}, kBackdrop), film(RECT{300, 380, 650, 700}, kFilm);
    SetWindowPos(film.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    PrepareOverlay(kCues, where);
    Launch(L"batchmode");
    HWND overlay = app->WaitForCaption(kCaption);
    ASSERT_NE(overlay, nullptr);
    EXPECT_TRUE(WaitUntil("the panel minimised", [&] { return IsIconic(panel) != FALSE; }));
    EXPECT_EQ(Style(overlay) & kFrame, 0) << "see-through from the start";
    EXPECT_EQ(ExStyle(overlay) & (WS_EX_TRANSPARENT | WS_EX_TOPMOST), WS_EX_TRANSPARENT | WS_EX_TOPMOST);
    EXPECT_TRUE(SameRect(where, WindowRect(overlay)) && !StartEnabled());

    // The windows beneath are the background, each part in its colour; a cue shows over them.
    RECT left = ClientScreenRect(overlay), right = left;
    left.right = right.left = 650;
    auto beneath = [&] {
        return CountPixels(left, kFilm) > Area(left) * 8 / 10 && CountPixels(right, kBackdrop) > Area(right) * 8 / 10;
    };
    EXPECT_TRUE(WaitUntil("the windows beneath, each in its colour", beneath));
    EXPECT_TRUE(WaitUntil("a cue over the windows beneath", [&] { return Shown(overlay) == 1; }));
    EXPECT_TRUE(beneath());

    // A double click frames it again at the same outer rectangle.
    PostMessageW(overlay, WM_LBUTTONDBLCLK, 0, MAKELPARAM(20, 20));
    EXPECT_TRUE(WaitUntil("a frame", [&] { return (Style(overlay) & kFrame) == kFrame; }));
    EXPECT_TRUE(!(ExStyle(overlay) & WS_EX_TRANSPARENT) && SameRect(where, WindowRect(overlay)));
    ExitAndWait();
}

TEST_F(OverlayTest, BatchModeWithAnOutOfRangeValueShowsTheMessageAndMakesNoOverlay) {
    PrepareOverlay(kCues, kWhere, {0, 60, 0, 0});
    Launch(L"batchmode");
    ExpectMessage(L"59", {panel});
    EXPECT_TRUE(IsIconic(panel)) << "the panel stays minimised";
    Pump(500);
    EXPECT_TRUE(app->Windows() == std::vector<HWND>{panel} && StartEnabled()) << "no overlay";
}

// See-through of either kind never takes the keyboard: a window of another program keeps the focus and gets
// every key typed while the cues change.
TEST_F(OverlayTest, SeeThroughNeverTakesTheKeyboardFromAnotherProgram) {
    std::string cues;  // a cue of 200 ms every 400 ms from 1 s on: two changes each
    char cue[64];
    for (int ms = 1000; ms < 4200; ms += 400)
        cues.append(cue, snprintf(cue, sizeof cue, "1\n00:00:%02d,%03d --> 00:00:%02d,%03d\nMMMM\n\n", ms / 1000,
                                  ms % 1000, (ms + 200) / 1000, (ms + 200) % 1000));
    for (const std::string ini : {"", "[Options]\nLiveSeeThrough=1\n"}) {  // the copying kind, the live kind
        SCOPED_TRACE(ini);
        PrepareOverlay(cues, kWhere), folder.Write(L"Kelvane.ini", {ini.begin(), ini.end()}), Launch(L"batchmode");
        HWND overlay = app->WaitForCaption(kCaption), typist = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | WS_VISIBLE,
                                                                               40, 40, 400, 30, 0, 0, 0, 0);
        ASSERT_TRUE(overlay && WaitUntil("see-through", [&] { return (Style(overlay) & kFrame) == 0; }));
        EXPECT_EQ((ExStyle(overlay) & WS_EX_LAYERED) != 0, !ini.empty());
        SetForegroundWindow(typist);
        ASSERT_TRUE(WaitUntil("the typist window in front with the focus", [&] { return GetForegroundWindow() == typist && GetFocus() == typist; }, 3000));
        std::wstring typed;
        int changes = 0, shown = Shown(overlay);
        for (WORD key = 'A'; key <= 'V'; ++key) {  // a key every 200 ms, the screen watched meanwhile
            SendKeys({key}), typed += static_cast<wchar_t>(key - 'A' + 'a');
            WaitUntil("watching the cues", [&] { return changes += Shown(overlay) != shown, shown = Shown(overlay), false; }, 200);
        }
        wchar_t got[64] = L"";
        GetWindowTextW(typist, got, 64), DestroyWindow(typist);
        EXPECT_TRUE(changes >= 8 && got == typed) << changes << " changes; typed: " << Narrow(got);
        ExitAndWait();
    }
}

// The live-control keys pressed as a user presses them, from another program.
TEST_F(OverlayTest, HotkeysAndMenuCommandsControlPlaybackAndTheDelay) {
    PrepareOverlay(kLiveCues, RECT{300, 300, 900, 720}), Launch();  // the banner's wrapped lines stay below the status
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'T'));  // held here: Kelvane must skip it
    HWND overlay = StartOverlay();
    ASSERT_NE(overlay, nullptr);
    EXPECT_FALSE(RegisterHotKey(nullptr, 2, MOD_CONTROL | MOD_ALT, VK_SPACE)) << "held by the overlay";
    EXPECT_TRUE(WaitUntil("the status naming the key it could not have", [&] { return Red(overlay, 0) > 0; }));
    EXPECT_TRUE(WaitUntil("then only the banner", [&] { return Red(overlay, 0) == 0 && Red(overlay, 1) > 0; }));

    // Next cue: the first one (at 0:30) at once, and the delay that brings it here in the Delay field.
    SendKeys({VK_CONTROL, VK_MENU, VK_DOWN});
    ASSERT_TRUE(WaitUntil("the first cue and a delay in the Delay field", [&] { return Red(overlay, 2) > 0 && Red(overlay, 1) == 0 && ItemText(panel, IDC_DELAY) != L"0"; }));
    const int delay = std::stoi(ItemText(panel, IDC_DELAY));
    EXPECT_TRUE(delay <= -25000 && delay > -30000) << delay;
    SendKeys({VK_CONTROL, VK_MENU, VK_SHIFT, VK_RIGHT});  // later by 1 s: before the cue's start, cleared
    EXPECT_TRUE(WaitUntil("the cue cleared and the delay 1 s later", [&] { return Red(overlay, 2) == 0 && ItemText(panel, IDC_DELAY) == std::to_wstring(delay + 1000); }));
    SendKeys({VK_CONTROL, VK_MENU, VK_LEFT});  // earlier by 100 ms
    EXPECT_TRUE(WaitUntil("the delay 100 ms earlier", [&] { return ItemText(panel, IDC_DELAY) == std::to_wstring(delay + 900); }));

    SendKeys({VK_CONTROL, VK_MENU, VK_SPACE}), Pump(2500);  // pause: "Paused" stays
    EXPECT_GT(Red(overlay, 0), 0u);
    PostMessageW(overlay, WM_COMMAND, IDM_OVERLAY_PAUSE, 0);
    EXPECT_TRUE(WaitUntil("no status after resuming", [&] { return Red(overlay, 0) == 0; }));

    PostMessageW(overlay, WM_COMMAND, IDM_OVERLAY_CLOSE, 0);
    EXPECT_TRUE(WaitUntil("the overlay closed", [&] { return !IsWindow(overlay); }));
    EXPECT_TRUE(RegisterHotKey(nullptr, 2, MOD_CONTROL | MOD_ALT, VK_SPACE)) << "released with the overlay";
    UnregisterHotKey(nullptr, 1), UnregisterHotKey(nullptr, 2);
    ExitAndWait();
    EXPECT_EQ(Saved().delay, delay + 900);
}

// Started at 1:00:00, a rate preset takes the subtitles to where this point of the film belongs: film 1:00:02 x
// 25 x 1001 / 24000 is about 1:02:36, past the short cue "I" at the start point, in the wide one.
TEST_F(OverlayTest, ARatePresetShowsTheCueThatBelongsToThisPointOfTheFilm) {
    PrepareOverlay("1\n01:00:00,200 --> 01:02:00,000\nI\n\n2\n01:02:20,000 --> 01:03:00,000\nWWWWWWWW\n\n", kWhere,
                   {1, 0, 0, 0});
    Launch();
    HWND overlay = StartOverlay();
    ASSERT_NE(overlay, nullptr);
    ASSERT_TRUE(WaitUntil("the short cue", [&] { return Red(overlay, 2) > 0 && Red(overlay, 1) == 0; })) << "the short cue";
    const size_t narrow = Red(overlay, 2);
    PostMessageW(overlay, WM_COMMAND, IDM_OVERLAY_RATE_FIRST + 1, 0);  // 23.976 -> 25
    EXPECT_TRUE(WaitUntil("the wide cue", [&] { return Red(overlay, 2) > 4 * narrow; })) << "the wide cue";
    EXPECT_EQ(ItemText(panel, IDC_DELAY), L"0") << "a rate changes no delay";
    ExitAndWait();
}

// Armed, Escape only disarms, Start disarms and plays, and arming while an overlay plays is refused. A press on
// the panel does not count; a press outside Kelvane starts playback at the press's own time.
TEST_F(OverlayTest, StartOnNextClickStartsAtThePressOutsideKelvane) {
    PrepareOverlay("1\n00:00:03,000 --> 00:01:00,000\nMMMM\n\n", kWhere), Launch();
    auto arm = [&] { return PostMessageW(panel, WM_SYSCOMMAND, IDM_START_ON_CLICK, 0), WaitUntil("armed", [&] { return Armed(panel); }); };
    ASSERT_TRUE(arm());
    SetForegroundWindow(panel);
    ASSERT_TRUE(WaitUntil("the panel in front", [&] { return GetForegroundWindow() == panel; }, 3000));
    SendKeys({VK_ESCAPE});
    EXPECT_TRUE(WaitUntil("disarmed by Escape", [&] { return !Armed(panel); }));
    ASSERT_TRUE(arm()) << "Escape ended the panel";
    HWND overlay = StartOverlay();
    ASSERT_NE(overlay, nullptr);
    EXPECT_FALSE(Armed(panel)) << "Start disarms";
    PostMessageW(panel, WM_SYSCOMMAND, IDM_START_ON_CLICK, 0), Pump(300);
    EXPECT_FALSE(Armed(panel)) << "armed while an overlay plays";
    PostMessageW(overlay, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil("the overlay closed", [&] { return !IsWindow(overlay); }));

    ASSERT_TRUE(arm());
    const RECT inside = ClientScreenRect(panel);
    ClickAt(POINT{(inside.left + inside.right) / 2, inside.bottom - 5}), Pump(500);  // between Start and Exit
    EXPECT_TRUE(Armed(panel) && app->Windows() == std::vector<HWND>{panel}) << "a press on the panel started playback";
    // Stamped 2 s ago, handled now: the cue at 0:03 is due 1 s from now.
    const ULONGLONG pressed = GetTickCount64() - 2000;
    ClickAt(POINT{GetSystemMetrics(SM_CXSCREEN) - 5, GetSystemMetrics(SM_CYSCREEN) - 5}, static_cast<DWORD>(pressed));
    ASSERT_NE(overlay = app->WaitForCaption(kCaption), nullptr);
    EXPECT_FALSE(Armed(panel) || StartEnabled());
    ASSERT_TRUE(WaitUntil("the cue", [&] { return Shown(overlay) == 1; }, 5000));
    const auto late = static_cast<LONGLONG>(GetTickCount64() - pressed) - 3000;
    EXPECT_TRUE(late >= -20 && late <= 250) << "the cue came " << late << " ms after its time";
    ExitAndWait();
}

}  // namespace
}  // namespace e2e
