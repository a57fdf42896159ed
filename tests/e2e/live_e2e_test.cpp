// Live control of a playing overlay from outside: hotkeys and menu commands
// posted to it, and playback started by a synthetic mouse click.
#include "Harness.h"

namespace e2e {
namespace {

const char kCues[] = "1\n00:00:30,000 --> 00:01:00,000\nMMMM\n\n2\n00:02:00,000 --> 00:02:30,000\nWWWW\n\n";

class LiveTest : public KelvaneTest {
protected:
    void SetUp() override { PrepareOverlay(kCues, RECT{300, 500, 900, 720}), Launch(); }
    // Red pixels in a band of the client area: the status line on top, the banner's upper lines in the
    // middle, a one-line cue at the bottom.
    size_t Red(HWND overlay, int band) const {
        RECT r = ClientScreenRect(overlay);
        const LONG edges[] = {r.top, r.top + 30, r.bottom - 60, r.bottom};
        r.top = edges[band], r.bottom = edges[band + 1];
        return CountPixels(r, kText);
    }
};

TEST_F(LiveTest, HotkeysAndMenuCommandsControlPlaybackAndTheDelay) {
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'T'));  // held here: Kelvane must skip it
    HWND overlay = StartOverlay();
    ASSERT_NE(overlay, nullptr);
    EXPECT_FALSE(RegisterHotKey(nullptr, 2, MOD_CONTROL | MOD_ALT, VK_SPACE)) << "held by the overlay";
    EXPECT_TRUE(WaitUntil([&] { return Red(overlay, 0) > 0; })) << "the status names the key it could not have";
    EXPECT_TRUE(WaitUntil([&] { return Red(overlay, 0) == 0 && Red(overlay, 1) > 0; })) << "then only the banner";

    PostMessageW(overlay, WM_HOTKEY, 6, 0);  // next cue: the first one, at once
    EXPECT_TRUE(WaitUntil([&] { return Red(overlay, 2) > 0 && Red(overlay, 1) == 0 && Red(overlay, 0) > 0; }));
    PostMessageW(overlay, WM_COMMAND, IDM_OVERLAY_LATER_1S, 0);  // back before the cue's start: cleared
    EXPECT_TRUE(WaitUntil([&] { return Red(overlay, 2) == 0 && ItemText(panel, IDC_DELAY) == L"1000"; }));
    PostMessageW(overlay, WM_HOTKEY, 3, 0);  // earlier by 100 ms
    EXPECT_TRUE(WaitUntil([&] { return ItemText(panel, IDC_DELAY) == L"900"; }));

    PostMessageW(overlay, WM_HOTKEY, 1, 0);  // pause: "Paused" stays
    Pump(2500);
    EXPECT_GT(Red(overlay, 0), 0u);
    PostMessageW(overlay, WM_COMMAND, IDM_OVERLAY_PAUSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return Red(overlay, 0) == 0; }));

    PostMessageW(overlay, WM_COMMAND, IDM_OVERLAY_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(overlay); }));
    EXPECT_TRUE(RegisterHotKey(nullptr, 2, MOD_CONTROL | MOD_ALT, VK_SPACE)) << "released with the overlay";
    UnregisterHotKey(nullptr, 1), UnregisterHotKey(nullptr, 2);
    ExitAndWait();
    EXPECT_EQ(Saved().delay, 900);
}

TEST_F(LiveTest, StartOnNextClickStartsAtTheClickAndEscapeDisarms) {
    auto armed = [&] { wchar_t c[99] = L""; GetWindowTextW(panel, c, 99); return wcsstr(c, L"Click Play") != nullptr; };
    PostMessageW(panel, WM_SYSCOMMAND, IDM_START_ON_CLICK, 0);
    ASSERT_TRUE(WaitUntil(armed));
    PostMessageW(panel, WM_COMMAND, IDCANCEL, 0);  // as Escape: disarms, the panel stays
    EXPECT_TRUE(WaitUntil([&] { return !armed(); }));
    PostMessageW(panel, WM_SYSCOMMAND, IDM_START_ON_CLICK, 0);
    ASSERT_TRUE(WaitUntil(armed)) << "armed again: Escape did not end the panel";
    EXPECT_EQ(app->WaitForCaption(kCaption, 500), nullptr) << "nothing starts before the click";
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
