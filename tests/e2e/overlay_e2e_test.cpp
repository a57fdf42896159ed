// The overlay driven from outside: a short subtitle file played while the screen, the overlay's styles and
// rectangle, and the settings file are watched; live control by hotkeys and menu commands posted to it, and
// playback started by a synthetic mouse click.
#include "Harness.h"

namespace e2e {
namespace {

constexpr COLORREF kBackdrop = RGB(30, 160, 90);
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
    // Text in the client area: 0 none, 1 a one-line cue (nothing above the bottom 60 pixels), 2 the banner.
    int Shown(HWND overlay) const { return Red(overlay, 0) + Red(overlay, 1) ? 2 : Red(overlay, 2) ? 1 : 0; }
};

// Each row: the cues, the four start fields, and what shows when (ms after Start).
TEST_F(OverlayTest, CuesAppearAndClearAtTheirTimesFromTheStartPointThenTheBannerReturns) {
    const struct { std::string cues; std::array<int32_t, 4> start; std::vector<int> phases; std::vector<ULONGLONG> due;
    } cases[] = {
        {kCues, {0, 0, 0, 0}, {2, 1, 0, 1, 2}, {0, 400, 900, 1300, 1800}},  // banner, cue, clear, cue, banner
        // From 1:02:03,004 the cue at 1:02:03,000 is skipped and the next shows 496 ms after Start.
        {"1\n01:02:03,000 --> 01:02:03,400\nWWWW\n\n2\n01:02:03,500 --> 01:02:04,000\nMMMM\n\n", {1, 2, 3, 4},
         {2, 1, 2}, {0, 496, 996}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        PrepareOverlay(c.cues, kWhere, c.start);
        Launch();
        const ULONGLONG clicked = GetTickCount64();
        HWND overlay = StartOverlay();
        ASSERT_NE(overlay, nullptr);
        EXPECT_TRUE((ExStyle(overlay) & WS_EX_TOPMOST) && (Style(overlay) & kFrame) == kFrame) << "framed, on top";
        std::vector<int> phases;
        std::vector<ULONGLONG> at;  // when each phase began
        WaitUntil("the last phase", [&] {
            if (phases.empty() || phases.back() != Shown(overlay)) {
                phases.push_back(Shown(overlay));
                at.push_back(GetTickCount64() - clicked);
            }
            return phases.size() >= c.phases.size() && phases.back() == 2;
        }, 10000);
        ASSERT_EQ(phases, c.phases);
        // Never early (the clock starts after the click); late only by ticks and load.
        for (size_t i = 1; i < at.size(); ++i)
            EXPECT_TRUE(at[i] + 20 >= c.due[i] && at[i] <= c.due[i] + 3000) << "change " << i << " at " << at[i];
        ExitAndWait();
    }
}

// Start while playing re-activates; Escape and the close button close the overlay
// and re-enable Start; the last rectangle is saved and restored next run.
TEST_F(OverlayTest, StartReactivatesClosingReenablesStartAndTheRectangleIsKept) {
    const RECT moved{123, 456, 623, 606};
    PrepareOverlay(kCues, kWhere);
    Launch();
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

TEST_F(OverlayTest, BatchModeMinimisesThePanelAndPlaysSeeThroughOverTheWindowBeneath) {
    const RECT where{350, 420, 950, 640};
    SolidWindow beneath(RECT{300, 380, 1000, 700}, kBackdrop);
    PrepareOverlay(kCues, where);
    Launch(L"batchmode");
    HWND overlay = app->WaitForCaption(kCaption);
    ASSERT_NE(overlay, nullptr);
    EXPECT_TRUE(WaitUntil("the panel minimised", [&] { return IsIconic(panel) != FALSE; }));
    EXPECT_EQ(Style(overlay) & kFrame, 0) << "see-through from the start";
    EXPECT_EQ(ExStyle(overlay) & (WS_EX_TRANSPARENT | WS_EX_TOPMOST), WS_EX_TRANSPARENT | WS_EX_TOPMOST);
    EXPECT_TRUE(SameRect(where, WindowRect(overlay)) && !StartEnabled());

    // The window beneath is the background; a cue shows over it.
    const RECT client = ClientScreenRect(overlay);
    const size_t most = static_cast<size_t>(client.right - client.left) * (client.bottom - client.top) * 8 / 10;
    EXPECT_TRUE(WaitUntil("the window beneath", [&] { return CountPixels(client, kBackdrop) > most; }));
    EXPECT_TRUE(WaitUntil("a cue", [&] { return Shown(overlay) == 1; }));
    EXPECT_GT(CountPixels(client, kBackdrop), most);

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

TEST_F(OverlayTest, HotkeysAndMenuCommandsControlPlaybackAndTheDelay) {
    PrepareOverlay(kLiveCues, kWhere), Launch();
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'T'));  // held here: Kelvane must skip it
    HWND overlay = StartOverlay();
    ASSERT_NE(overlay, nullptr);
    EXPECT_FALSE(RegisterHotKey(nullptr, 2, MOD_CONTROL | MOD_ALT, VK_SPACE)) << "held by the overlay";
    EXPECT_TRUE(WaitUntil("the status naming the key it could not have", [&] { return Red(overlay, 0) > 0; }));
    EXPECT_TRUE(WaitUntil("then only the banner", [&] { return Red(overlay, 0) == 0 && Red(overlay, 1) > 0; }));

    PostMessageW(overlay, WM_HOTKEY, 6, 0);  // next cue: the first one, at once
    EXPECT_TRUE(WaitUntil("the first cue", [&] { return Red(overlay, 2) && !Red(overlay, 1) && Red(overlay, 0); }));
    PostMessageW(overlay, WM_COMMAND, IDM_OVERLAY_LATER_1S, 0);  // back before the cue's start: cleared
    EXPECT_TRUE(WaitUntil("the cue cleared and delay 1000",
                          [&] { return !Red(overlay, 2) && ItemText(panel, IDC_DELAY) == L"1000"; }));
    PostMessageW(overlay, WM_HOTKEY, 3, 0);  // earlier by 100 ms
    EXPECT_TRUE(WaitUntil("delay 900", [&] { return ItemText(panel, IDC_DELAY) == L"900"; }));

    PostMessageW(overlay, WM_HOTKEY, 1, 0), Pump(2500);  // pause: "Paused" stays
    EXPECT_GT(Red(overlay, 0), 0u);
    PostMessageW(overlay, WM_COMMAND, IDM_OVERLAY_PAUSE, 0);
    EXPECT_TRUE(WaitUntil("no status after resuming", [&] { return Red(overlay, 0) == 0; }));

    PostMessageW(overlay, WM_COMMAND, IDM_OVERLAY_CLOSE, 0);
    EXPECT_TRUE(WaitUntil("the overlay closed", [&] { return !IsWindow(overlay); }));
    EXPECT_TRUE(RegisterHotKey(nullptr, 2, MOD_CONTROL | MOD_ALT, VK_SPACE)) << "released with the overlay";
    UnregisterHotKey(nullptr, 1), UnregisterHotKey(nullptr, 2);
    ExitAndWait();
    EXPECT_EQ(Saved().delay, 900);
}

TEST_F(OverlayTest, StartOnNextClickStartsAtTheClickAndEscapeDisarms) {
    PrepareOverlay(kLiveCues, kWhere), Launch();
    auto armed = [&] { wchar_t c[99] = L""; GetWindowTextW(panel, c, 99); return wcsstr(c, L"Click Play") != nullptr; };
    PostMessageW(panel, WM_SYSCOMMAND, IDM_START_ON_CLICK, 0);
    ASSERT_TRUE(WaitUntil("armed", armed));
    PostMessageW(panel, WM_COMMAND, IDCANCEL, 0);  // as Escape: disarms, the panel stays
    EXPECT_TRUE(WaitUntil("disarmed", [&] { return !armed(); }));
    PostMessageW(panel, WM_SYSCOMMAND, IDM_START_ON_CLICK, 0);
    ASSERT_TRUE(WaitUntil("armed again: Escape did not end the panel", armed));
    Pump(500);
    EXPECT_EQ(app->Windows(), std::vector<HWND>{panel}) << "nothing starts before the click";
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 5, GetSystemMetrics(SM_CYSCREEN) - 5);  // off Kelvane
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN, click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, click, sizeof(INPUT)), 2u);
    EXPECT_NE(app->WaitForCaption(kCaption), nullptr);
    EXPECT_FALSE(armed() || IsWindowEnabled(GetDlgItem(panel, IDOK)));
    ExitAndWait();
}

}  // namespace
}  // namespace e2e
