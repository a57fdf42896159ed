// The overlay driven from outside: a short subtitle file played while the screen,
// the overlay's styles and rectangle, and the settings file are watched.
#include "Harness.h"

namespace e2e {
namespace {

const wchar_t kCaption[] = L"Subtitle Window - Resize and doble left click to make transparent";
constexpr COLORREF kText = RGB(255, 0, 0);
constexpr COLORREF kBackdrop = RGB(30, 160, 90);
constexpr LONG_PTR kFrame = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

// Two one-line cues; the file ends without an empty line.
const char kCues[] = "1\n00:00:00,400 --> 00:00:00,900\nMMMM\n\n2\n00:00:01,300 --> 00:00:01,800\nWWWW";

class OverlayTest : public KelvaneTest {
protected:
    // Writes cues.srt and a record that plays it in crisp red at `where`.
    void Prepare(const RECT& where, int32_t min = 0) {
        folder.Write(L"cues.srt", Bytes(kCues, kCues + sizeof kCues - 1));
        Settings s;
        s.min = min;
        s.color = kText;
        s.file = Narrow(folder.FilePath(L"cues.srt"));
        s.overlay = where;
        s.font.lfHeight = -40, s.font.lfWeight = FW_BOLD, s.font.lfQuality = NONANTIALIASED_QUALITY;
        lstrcpyA(s.font.lfFaceName, "Tahoma");
        folder.Write(kSettingsFile, EncodeSettings(s));
    }
    HWND Start() {
        Click(panel, IDOK);
        return app->WaitForCaption(kCaption);
    }
    bool StartEnabled() const { return IsWindowEnabled(GetDlgItem(panel, IDOK)) != FALSE; }
    // Text in the client area: 0 none, 1 a one-line cue (nothing above the bottom 60 pixels), 2 the banner.
    int Shown(HWND overlay) const {
        RECT area = ClientScreenRect(overlay);
        if (CountPixels(area, kText) == 0) return 0;
        area.bottom -= 60;
        return CountPixels(area, kText) == 0 ? 1 : 2;
    }
};

TEST_F(OverlayTest, CuesAppearAndClearAtTheirTimesThenTheBannerReturns) {
    Prepare(RECT{300, 500, 900, 720});
    Launch();
    const ULONGLONG clicked = GetTickCount64();
    HWND overlay = Start();
    ASSERT_NE(overlay, nullptr);
    EXPECT_FALSE(StartEnabled());
    EXPECT_TRUE(ExStyle(overlay) & WS_EX_TOPMOST);
    EXPECT_EQ(Style(overlay) & kFrame, kFrame) << "framed";

    std::vector<int> phases;
    std::vector<ULONGLONG> at;
    WaitUntil([&] {
        if (phases.empty() || phases.back() != Shown(overlay)) {
            phases.push_back(Shown(overlay));
            at.push_back(GetTickCount64() - clicked);
        }
        return phases.size() >= 5 && phases.back() == 2;
    }, 10000);
    ASSERT_EQ(phases, (std::vector<int>{2, 1, 0, 1, 2})) << "banner, cue, clear, cue, banner";
    // Never early (the clock starts after the click); late only by ticks and load.
    const ULONGLONG due[] = {0, 400, 900, 1300, 1800};
    for (size_t i = 1; i < 5; ++i) {
        EXPECT_GE(at[i] + 20, due[i]) << "change " << i;
        EXPECT_LE(at[i], due[i] + 3000) << "change " << i;
    }
    ExitAndWait();
}

// Start while playing re-activates; Escape and the close button close the overlay
// and re-enable Start; the last rectangle is saved and restored next run.
TEST_F(OverlayTest, StartReactivatesClosingReenablesStartAndTheRectangleIsKept) {
    const RECT moved{123, 456, 623, 606};
    Prepare(RECT{300, 500, 900, 720});
    Launch();
    HWND overlay = Start();
    ASSERT_NE(overlay, nullptr);
    SetForegroundWindow(panel);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == panel; }, 3000));
    SendMessageW(panel, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);  // as Enter on the panel does
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == overlay; }, 3000));
    Pump(200);
    EXPECT_EQ(app->Windows().size(), 2u) << "no second overlay";

    PressKey(overlay, VK_RETURN);  // does nothing
    Pump(300);
    EXPECT_TRUE(IsWindowVisible(overlay));
    PressKey(overlay, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(overlay) && StartEnabled(); }));
    ASSERT_NE(overlay = Start(), nullptr);
    EXPECT_FALSE(StartEnabled());
    PostMessageW(overlay, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(overlay) && StartEnabled(); }));

    ASSERT_NE(overlay = Start(), nullptr);
    SetWindowPos(overlay, nullptr, 123, 456, 500, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] { return SameRect(moved, WindowRect(overlay)); }));
    ExitAndWait();  // with the overlay still open
    EXPECT_TRUE(SameRect(moved, Saved().overlay));
    Launch();
    ASSERT_NE(overlay = Start(), nullptr);
    EXPECT_TRUE(SameRect(moved, WindowRect(overlay)));
    ExitAndWait();
}

TEST_F(OverlayTest, BatchModeMinimisesThePanelAndPlaysSeeThroughOverTheWindowBeneath) {
    const RECT where{350, 420, 950, 640};
    SolidWindow beneath(RECT{300, 380, 1000, 700}, kBackdrop);
    Prepare(where);
    Launch(L"batchmode");
    HWND overlay = app->WaitForCaption(kCaption);
    ASSERT_NE(overlay, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(panel) != FALSE; })) << "the panel is minimised";
    EXPECT_EQ(Style(overlay) & kFrame, 0) << "see-through from the start";
    EXPECT_EQ(ExStyle(overlay) & (WS_EX_TRANSPARENT | WS_EX_TOPMOST), WS_EX_TRANSPARENT | WS_EX_TOPMOST);
    EXPECT_TRUE(SameRect(where, WindowRect(overlay)));
    EXPECT_FALSE(StartEnabled());

    // The window beneath is the background; a cue shows over it.
    const RECT client = ClientScreenRect(overlay);
    const size_t most = static_cast<size_t>(client.right - client.left) * (client.bottom - client.top) * 8 / 10;
    EXPECT_TRUE(WaitUntil([&] { return CountPixels(client, kBackdrop) > most; }));
    EXPECT_TRUE(WaitUntil([&] { return Shown(overlay) == 1; }));
    EXPECT_GT(CountPixels(client, kBackdrop), most);

    // A double click frames it again at the same outer rectangle.
    PostMessageW(overlay, WM_LBUTTONDBLCLK, 0, MAKELPARAM(20, 20));
    EXPECT_TRUE(WaitUntil([&] { return (Style(overlay) & kFrame) == kFrame; }));
    EXPECT_FALSE(ExStyle(overlay) & WS_EX_TRANSPARENT);
    EXPECT_TRUE(SameRect(where, WindowRect(overlay)));
    ExitAndWait();
}

TEST_F(OverlayTest, BatchModeWithAnOutOfRangeValueShowsTheMessageAndMakesNoOverlay) {
    Prepare(RECT{300, 500, 900, 720}, 60);
    Launch(L"batchmode");
    ExpectMessage(L"59", {panel});
    EXPECT_TRUE(IsIconic(panel)) << "the panel stays minimised";
    EXPECT_EQ(app->WaitForCaption(kCaption, 500), nullptr);
    EXPECT_TRUE(StartEnabled());
}

}  // namespace
}  // namespace e2e
