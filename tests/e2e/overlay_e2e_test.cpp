// The overlay driven from outside: the real Kelvane.exe in a fresh folder plays
// a short subtitle file of our own, and the harness watches the screen, the
// overlay's styles and rectangle, and the settings file.
#include "Harness.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace e2e {
namespace {

constexpr int IDC_FILE = 1000;
const wchar_t kOverlayCaption[] = L"Subtitle Window - Resize and doble left click to make transparent";
constexpr COLORREF kText = RGB(255, 0, 0);
constexpr COLORREF kBackdrop = RGB(30, 160, 90);
constexpr LONG_PTR kFrameStyles = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

// Two short cues, each a single line; the file ends without an empty line.
const char kCues[] =
    "1\n00:00:00,400 --> 00:00:00,900\nMMMM\n\n"
    "2\n00:00:01,300 --> 00:00:01,800\nWWWW";

std::string Narrow(const std::wstring& s)
{
    return std::string(s.begin(), s.end());
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class OverlayTest : public testing::Test {
protected:
    TempFolder folder;  // declared first: the program ends before its folder goes
    std::unique_ptr<Program> app;
    HWND panel = nullptr;

    // A record that plays cues.srt in crisp red at `overlay`.
    Settings Record(const RECT& overlay)
    {
        Settings s;
        s.color = kText;
        s.file = Narrow(folder.FilePath(L"cues.srt"));
        s.overlay = overlay;
        s.font = MakeFont("Tahoma", -40, FW_BOLD);
        s.font.lfQuality = NONANTIALIASED_QUALITY;
        return s;
    }
    void Prepare(const Settings& s)
    {
        folder.WriteText(L"cues.srt", kCues);
        folder.Write(kSettingsFile, EncodeSettings(s));
    }
    void Launch(const std::wstring& tail = L"")
    {
        app = std::make_unique<Program>(folder, tail);
        panel = app->WaitForPanel();
        ASSERT_NE(panel, nullptr) << "the control panel did not appear";
    }
    HWND WaitForOverlay(DWORD timeout = kTimeout) { return app->WaitForWindow(kOverlayCaption, L"#32770", {}, timeout); }
    bool StartEnabled() const { return IsWindowEnabled(GetDlgItem(panel, IDOK)) != FALSE; }
    // Text-colour pixels in the overlay's client area: all, and those above
    // its bottom 60 pixels (a one-line cue has none there; the banner has).
    void CountText(HWND overlay, size_t* all, size_t* upper = nullptr) const
    {
        const RECT rc = ClientScreenRect(overlay);
        *all = ScreenShot(rc).Count(kText);
        if (upper) {
            RECT top = rc;
            top.bottom -= 60;
            *upper = ScreenShot(top).Count(kText);
        }
    }
    void ExitAndWait()
    {
        PostClick(panel, IDCANCEL);
        ASSERT_TRUE(app->WaitForExit()) << "Kelvane did not end after Exit";
    }
};

TEST_F(OverlayTest, CuesAppearAndClearAtTheirTimesThenTheBannerReturns)
{
    Prepare(Record(RECT{300, 500, 900, 720}));
    Launch();
    const ULONGLONG clicked = GetTickCount64();
    Click(panel, IDOK);
    HWND overlay = WaitForOverlay();
    ASSERT_NE(overlay, nullptr);
    EXPECT_FALSE(StartEnabled());
    EXPECT_TRUE(ExStyle(overlay) & WS_EX_TOPMOST);
    EXPECT_EQ(Style(overlay) & kFrameStyles, kFrameStyles) << "framed";

    // Observe the phases: banner, cue, cleared, cue, banner.
    enum Phase { Banner, Cue, Clear };
    std::vector<std::pair<Phase, ULONGLONG>> phases;
    const bool done = WaitUntil([&] {
        size_t all = 0, upper = 0;
        CountText(overlay, &all, &upper);
        const Phase now = all == 0 ? Clear : upper > 0 ? Banner : Cue;
        if (phases.empty() || phases.back().first != now)
            phases.emplace_back(now, GetTickCount64() - clicked);
        return phases.size() >= 5 && now == Banner;
    }, 10000);
    ASSERT_TRUE(done) << "phases seen: " << phases.size();
    ASSERT_EQ(phases.size(), 5u);
    EXPECT_EQ(phases[0].first, Banner);
    EXPECT_EQ(phases[1].first, Cue);
    EXPECT_EQ(phases[2].first, Clear);
    EXPECT_EQ(phases[3].first, Cue);
    EXPECT_EQ(phases[4].first, Banner);
    // Never early (the clock starts after the click); late only by ticks and
    // a loaded machine.
    const ULONGLONG due[] = {0, 400, 900, 1300, 1800};
    for (size_t i = 1; i < 5; ++i) {
        EXPECT_GE(phases[i].second + 20, due[i]) << "change " << i;
        EXPECT_LE(phases[i].second, due[i] + 3000) << "change " << i;
    }
    ExitAndWait();
}

TEST_F(OverlayTest, StartWhileOpenReactivatesAndClosingEnablesStart)
{
    Prepare(Record(RECT{300, 500, 900, 720}));
    Launch();
    Click(panel, IDOK);
    HWND overlay = WaitForOverlay();
    ASSERT_NE(overlay, nullptr);
    ASSERT_FALSE(StartEnabled());

    // Start again (the command, as Enter on the panel sends it): no second
    // overlay, the first is brought forward.
    SetForegroundWindow(panel);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == panel; }, 3000));
    SendMessageW(panel, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == overlay; }, 3000));
    Pump(200);
    size_t overlays = 0;
    for (HWND h : app->Windows())
        overlays += WindowText(h) == kOverlayCaption;
    EXPECT_EQ(overlays, 1u);

    // Enter on the overlay does nothing; Escape closes it like its close button.
    PressKey(overlay, VK_RETURN);
    Pump(300);
    EXPECT_TRUE(IsWindowVisible(overlay));
    EXPECT_FALSE(StartEnabled());
    PressKey(overlay, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(overlay); }));
    EXPECT_TRUE(WaitUntil([&] { return StartEnabled(); }));

    // A new Start makes a new overlay; its close button closes it too.
    Click(panel, IDOK);
    overlay = WaitForOverlay();
    ASSERT_NE(overlay, nullptr);
    EXPECT_FALSE(StartEnabled());
    PostMessageW(overlay, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(overlay); }));
    EXPECT_TRUE(WaitUntil([&] { return StartEnabled(); }));
    ExitAndWait();
}

TEST_F(OverlayTest, LastRectangleIsSavedAndRestoredNextRun)
{
    folder.WriteText(L"cues.srt", kCues);
    Launch();  // first run: no settings
    SetItemText(panel, IDC_FILE, folder.FilePath(L"cues.srt"));
    Click(panel, IDOK);
    HWND overlay = WaitForOverlay();
    ASSERT_NE(overlay, nullptr);
    SetWindowPos(overlay, nullptr, 123, 456, 500, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] { return SameRect(WindowRect(overlay), RECT{123, 456, 623, 606}); }));
    ExitAndWait();  // the overlay is still open: its last rectangle is saved

    const auto saved = DecodeSettings(folder.Read(kSettingsFile));
    ASSERT_TRUE(saved.has_value());
    EXPECT_TRUE(SameRect(saved->overlay, RECT{123, 456, 623, 606}));

    Launch();
    Click(panel, IDOK);
    overlay = WaitForOverlay();
    ASSERT_NE(overlay, nullptr);
    EXPECT_TRUE(SameRect(WindowRect(overlay), RECT{123, 456, 623, 606}));
    ExitAndWait();
}

TEST_F(OverlayTest, BatchModeMinimisesThePanelAndPlaysSeeThroughOverTheWindowBeneath)
{
    const RECT where{350, 420, 950, 640};
    SolidWindow beneath(RECT{300, 380, 1000, 700}, kBackdrop);
    Prepare(Record(where));
    Launch(L"batchmode");
    HWND overlay = WaitForOverlay();
    ASSERT_NE(overlay, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(panel) != FALSE; })) << "the panel is minimised";
    EXPECT_EQ(Style(overlay) & kFrameStyles, 0) << "see-through from the start";
    EXPECT_TRUE(ExStyle(overlay) & WS_EX_TRANSPARENT);
    EXPECT_TRUE(ExStyle(overlay) & WS_EX_TOPMOST);
    EXPECT_TRUE(SameRect(WindowRect(overlay), where));
    EXPECT_FALSE(StartEnabled());

    // The window beneath is the overlay's background; a cue shows over it.
    const RECT client = ClientScreenRect(overlay);
    const size_t total = static_cast<size_t>(client.right - client.left) * (client.bottom - client.top);
    EXPECT_TRUE(WaitUntil([&] { return ScreenShot(client).Count(kBackdrop) > total * 8 / 10; }));
    EXPECT_TRUE(WaitUntil([&] {
        size_t all = 0, upper = 0;
        CountText(overlay, &all, &upper);
        return all > 0 && upper == 0;  // a one-line cue
    }));
    EXPECT_GT(ScreenShot(client).Count(kBackdrop), total * 8 / 10);

    // A double click makes it framed again, at the same outer rectangle.
    PostMessageW(overlay, WM_LBUTTONDBLCLK, 0, MAKELPARAM(20, 20));
    EXPECT_TRUE(WaitUntil([&] { return (Style(overlay) & kFrameStyles) == kFrameStyles; }));
    EXPECT_FALSE(ExStyle(overlay) & WS_EX_TRANSPARENT);
    EXPECT_TRUE(SameRect(WindowRect(overlay), where));
    ExitAndWait();
}

TEST_F(OverlayTest, BatchModeWithAnOutOfRangeValueShowsTheMessageAndMakesNoOverlay)
{
    Settings s = Record(RECT{300, 500, 900, 720});
    s.min = 60;
    Prepare(s);
    Launch(L"batchmode");
    HWND box = app->WaitForMessageBox({panel});
    ASSERT_NE(box, nullptr) << "the range message";
    EXPECT_NE(MessageText(box).find(L"59"), std::wstring::npos) << Narrow(MessageText(box));
    EXPECT_TRUE(IsIconic(panel)) << "the panel stays minimised";
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    Pump(300);
    EXPECT_EQ(app->WaitForWindow(kOverlayCaption, L"#32770", {}, 200), nullptr);
    EXPECT_TRUE(StartEnabled());
    // Leaving reads the fields again: the same message, then the panel ends.
    PostMessageW(panel, WM_CLOSE, 0, 0);
    box = app->WaitForMessageBox({panel});
    ASSERT_NE(box, nullptr);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(app->WaitForExit()) << "Kelvane did not end";
}

}  // namespace
}  // namespace e2e
