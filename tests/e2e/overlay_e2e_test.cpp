// The overlay driven from outside, the screen, its styles and rectangle and the settings file watched.
#include "Harness.h"

#include <algorithm>

#include "core/WallFilmClock.h"

namespace e2e {
namespace {

constexpr COLORREF kBackdrop = RGB(30, 160, 90), kFilm = RGB(40, 60, 200), kNewFilm = RGB(200, 200, 200);
constexpr COLORREF kOutline = RGB(255, 255, 0);
constexpr LONG_PTR kFrame = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

const RECT kWhere{300, 500, 900, 720};

// Each character typed as Unicode input (KEYEVENTF_UNICODE).
void TypeText(const std::wstring& text) {
    std::vector<INPUT> input(2 * text.size(), INPUT{INPUT_KEYBOARD, {}});
    for (size_t i = 0; i < input.size(); ++i)
        input[i].ki.wScan = text[i / 2], input[i].ki.dwFlags = KEYEVENTF_UNICODE | (i % 2 ? KEYEVENTF_KEYUP : 0);
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

// A left press and release there, stamped with a GetTickCount time (0: now).
void ClickAt(POINT at, DWORD time = 0) {
    SetCursorPos(at.x, at.y);
    INPUT click[2] = {{INPUT_MOUSE, {}}, {INPUT_MOUSE, {}}};
    click[0].mi = {0, 0, 0, MOUSEEVENTF_LEFTDOWN, time, 0}, click[1].mi = {0, 0, 0, MOUSEEVENTF_LEFTUP, time, 0};
    SendInput(2, click, sizeof(INPUT));
}

// A window of the test's own filled with one colour (a class of its own, whose brush Paint changes).
struct SolidWindow {
    SolidWindow(const RECT& r, COLORREF colour) {
        static int count = 0;
        const std::wstring name = L"KelvaneE2ESolid" + std::to_wstring(++count);
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW, wc.hInstance = GetModuleHandleW(nullptr), wc.lpszClassName = name.c_str();
        RegisterClassW(&wc);
        hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, r.left, r.top, r.right - r.left,
                               r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
        Paint(colour), ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    }
    ~SolidWindow() { DestroyWindow(hwnd); }
    void Paint(COLORREF colour) const {
        DeleteObject(reinterpret_cast<HBRUSH>(
            SetClassLongPtrW(hwnd, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(CreateSolidBrush(colour)))));
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    HWND hwnd;
};

struct OverlayTest : KelvaneTest {
    bool StartEnabled() const { return IsWindowEnabled(GetDlgItem(panel, IDOK)) != FALSE; }
    // More than eight tenths of the area's screen pixels in this colour.
    static bool Mostly(const RECT& area, COLORREF colour) {
        const std::vector<uint32_t> px = ScreenPixels(area);
        const auto n = std::count(px.begin(), px.end(), RGB(GetBValue(colour), GetGValue(colour), GetRValue(colour)));
        return static_cast<size_t>(n) > px.size() * 8 / 10;
    }
    // Text in the client area: 0 none, 1 a one-line cue (nothing above the bottom 60 pixels), 2 the banner.
    int Shown(HWND overlay) const { const Look l = LookAt(overlay); return l.status || l.banner ? 2 : l.cue ? 1 : 0; }
};

// Cue changes come on time: twelve changes from a start at 1:02:03,004, 330 ms apart so that they fall on every
// phase of the 100 ms tick, each timed between two polls of the screen against the click on Start (the steady
// clock the program anchors the film on). Never early; the median at most 25 ms late (the tick alone gives ~50).
TEST_F(OverlayTest, CuesAppearAndClearOnTimeFromTheStartPointThenTheBannerReturns) {
    std::string cues = "1\n01:02:03,000 --> 01:02:03,400\nWWWW\n\n";
    std::vector<int> due, phases{2}, want{2}, late;  // due: ms after Start; phases: 2 banner, 1 cue, 0 nothing
    for (int k = 0; k < 12; ++k) due.push_back(500 + 330 * k), want.push_back(k == 11 ? 2 : 1 - k % 2);
    for (int k = 0; k < 12; k += 2)  // each cue from the film at 1:02:03,004 + due[k] to 1:02:03,004 + due[k + 1]
        cues += Cue(3723004 + due[k], 3723004 + due[k + 1], "MMMM");
    PrepareOverlay(cues, kWhere, {1, 2, 3, 4}), Launch();
    const double clicked = SteadyNowMs();
    HWND overlay = StartOverlay();
    ASSERT_NE(overlay, nullptr);
    for (double last = clicked, poll = clicked; phases.size() < want.size() && poll < clicked + 6000; last = poll)
        if (const int shown = (Sleep(1), poll = SteadyNowMs(), Shown(overlay)); shown != phases.back()) {
            EXPECT_GE(SteadyNowMs() - clicked, due[late.size()] - 2) << "change " << late.size() << " came early";
            phases.push_back(shown), late.push_back(static_cast<int>(last - clicked) - due[late.size()]);
        }
    ASSERT_EQ(phases, want);
    std::vector<int> sorted = late;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_TRUE(sorted[6] <= 25 && sorted[11] <= 1000) << "ms late (at least): " << testing::PrintToString(late);
    ExitAndWait();
}

// A path outside the ANSI code page typed into the file field, and Start on next click: armed, Escape only disarms,
// a press on the panel does not count, a press outside Kelvane plays the file from the press's own time in a framed
// overlay on top; arming while it plays is refused. Start while playing brings the overlay to the front; Enter on it
// does nothing, Escape and the close button close it and enable Start; Start disarms. Exit with it open saves the
// path in its UTF-16 form and the last rectangle; the next run shows both.
TEST_F(OverlayTest, StartOnNextClickStartReactivatesClosingEnablesStartAndThePathAndRectangleAreKept) {
    const std::wstring path = folder.FilePath(L"\u0424\u0438\u043b\u044c\u043c \u6620\u753b.srt");  // in no code page
    const RECT moved{123, 456, 623, 606};
    const std::string cue = Cue(3000, 60000, "MMMM");
    PrepareOverlay(cue, kWhere), folder.Write(path.substr(folder.path.size() + 1), Bytes(cue.begin(), cue.end()));
    Launch();
    SetItemText(panel, IDC_FILE, L""), SetForegroundWindow(panel);
    ASSERT_TRUE(WaitUntil("the file field in front with the focus", [&] { return GetForegroundWindow() == panel; }));
    TypeText(path);
    ASSERT_TRUE(WaitUntil("the typed path in the field", [&] { return ItemText(panel, IDC_FILE) == path; }));
    auto arm = [&] { return PostMessageW(panel, WM_SYSCOMMAND, IDM_START_ON_CLICK, 0), WaitUntil("armed", [&] { return Armed(panel); }); };
    ASSERT_TRUE(arm());
    SendKeys({VK_ESCAPE});
    EXPECT_TRUE(WaitUntil("disarmed by Escape", [&] { return !Armed(panel); }));
    ASSERT_TRUE(arm()) << "Escape ended the panel";
    const RECT inside = ClientScreenRect(panel);
    ClickAt(POINT{(inside.left + inside.right) / 2, inside.bottom - 5}), Pump(500);  // between Start and Exit
    EXPECT_TRUE(Armed(panel) && app->Windows() == std::vector<HWND>{panel}) << "a press on the panel started playback";
    // Stamped 2 s ago, handled now: the cue at 0:03 is due 1 s from now.
    const ULONGLONG pressed = GetTickCount64() - 2000;
    ClickAt(POINT{GetSystemMetrics(SM_CXSCREEN) - 5, GetSystemMetrics(SM_CYSCREEN) - 5}, static_cast<DWORD>(pressed));
    HWND overlay = app->WaitForCaption(kCaption);
    ASSERT_NE(overlay, nullptr);
    EXPECT_FALSE(Armed(panel) || StartEnabled());
    ASSERT_TRUE(WaitUntil("the cue", [&] { return Shown(overlay) == 1; }));
    const auto late = static_cast<LONGLONG>(GetTickCount64() - pressed) - 3000;
    EXPECT_TRUE(late >= -20 && late <= 250) << "the cue came " << late << " ms after its time";
    EXPECT_TRUE((ExStyle(overlay) & WS_EX_TOPMOST) && (Style(overlay) & kFrame) == kFrame) << "framed, on top";
    PostMessageW(panel, WM_SYSCOMMAND, IDM_START_ON_CLICK, 0), Pump(300);
    EXPECT_FALSE(Armed(panel)) << "armed while an overlay plays";

    SetForegroundWindow(panel);
    ASSERT_TRUE(WaitUntil("the panel in front", [&] { return GetForegroundWindow() == panel; }));
    SendMessageW(panel, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);  // as Enter on the panel does
    EXPECT_TRUE(WaitUntil("the overlay in front", [&] { return GetForegroundWindow() == overlay; }));
    PressKey(overlay, VK_RETURN), Pump(300);
    EXPECT_TRUE(app->Windows().size() == 2u && IsWindowVisible(overlay)) << "no second overlay; Enter closes none";
    const auto closed = [&] { return !IsWindow(overlay) && StartEnabled(); };
    PressKey(overlay, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil("Escape to close the overlay and enable Start", closed));
    ASSERT_TRUE(arm());
    ASSERT_NE(overlay = StartOverlay(), nullptr);
    EXPECT_FALSE(Armed(panel)) << "Start disarms";
    PostMessageW(overlay, WM_CLOSE, 0, 0);  // as its close button does
    EXPECT_TRUE(WaitUntil("the close button to close the overlay and enable Start", closed));
    ASSERT_NE(overlay = StartOverlay(), nullptr);
    SetWindowPos(overlay, nullptr, 123, 456, 500, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil("the overlay moved", [&] { return SameRect(moved, WindowRect(overlay)); }));
    ExitAndWait();

    Bytes want{0xFF, 0xFE, 0xFF, static_cast<uint8_t>(path.size())};
    for (wchar_t c : path) want.insert(want.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8)});
    const Bytes saved = folder.Read(kSettingsFile);
    EXPECT_EQ(Bytes(saved.begin() + 24, saved.begin() + std::min(saved.size(), 24 + want.size())), want);
    Launch();
    EXPECT_EQ(ItemText(panel, IDC_FILE), path);
    ASSERT_NE(overlay = StartOverlay(), nullptr);
    EXPECT_TRUE(SameRect(moved, WindowRect(overlay)));
    ExitAndWait();
}

// Batch mode: the panel minimised, the overlay see-through over the windows beneath (a film window over the left
// part of a backdrop). Either kind leaves the keyboard to another program while the cues change. The copying kind
// keeps the picture it took while no cue changes; the live kind follows the film and outlines the text all round. A
// double click (the live kind's on a pixel of the text) frames it again at its saved rectangle. With a value out of
// range, batch mode says so and plays nothing.
TEST_F(OverlayTest, BatchModePlaysSeeThroughOverTheWindowsBeneathAndLeavesTheKeyboard) {
    const RECT where{350, 420, 950, 640};
    std::string cues;  // a cue of 200 ms every 400 ms from 1 s on, then one that stays from 5 s on
    for (int ms = 1000; ms < 4200; ms += 400) cues += Cue(ms, ms + 200, "MMMM");
    cues += Cue(5000, 600000, "MMMM");
    SolidWindow backdrop(RECT{300, 380, 1000, 700}, kBackdrop), film(RECT{300, 380, 650, 700}, kFilm);
    SetWindowPos(film.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    for (const bool live : {false, true}) {
        SCOPED_TRACE(live ? "live" : "copying");
        const std::string ini = live ? "[Options]\nLiveSeeThrough=1\nOutline=1\nOutlineWidth=4\nOutlineColor=#FFFF00" : "";
        PrepareOverlay(cues, where), folder.Write(L"Kelvane.ini", {ini.begin(), ini.end()}), film.Paint(kFilm);
        Launch(L"batchmode");
        HWND overlay = app->WaitForCaption(kCaption), typist = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | WS_VISIBLE,
                                                                               40, 40, 400, 30, 0, 0, 0, 0);
        ASSERT_TRUE(overlay && WaitUntil("see-through", [&] { return (Style(overlay) & kFrame) == 0; }));
        EXPECT_TRUE(WaitUntil("the panel minimised", [&] { return IsIconic(panel) != FALSE; }));
        EXPECT_EQ(ExStyle(overlay) & (WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_LAYERED),
                  WS_EX_TOPMOST | (live ? WS_EX_LAYERED : WS_EX_TRANSPARENT));

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

        RECT left = ClientScreenRect(overlay), right = left;
        left.right = right.left = 650;
        auto beneath = [&](COLORREF colour) { return Mostly(left, colour) && Mostly(right, kBackdrop); };
        ASSERT_TRUE(WaitUntil("the cue that stays over the windows beneath, each in its colour",
                              [&] { return Shown(overlay) == 1 && beneath(kFilm); }, 3000));
        Pump(1000), film.Paint(kNewFilm), Pump(live ? 0 : 1500);  // settled, no cue changes
        EXPECT_TRUE(WaitUntil(live ? "the film's new colour live" : "the old picture kept",
                              [&] { return beneath(live ? kNewFilm : kFilm); }, live ? kTimeout : 0));
        if (live) {
            POINT onText{};
            const RECT client = ClientScreenRect(overlay), text = Bounds(client, kText, &onText),
                       outline = Bounds(client, kOutline);
            EXPECT_TRUE(outline.left <= text.left - 3 && outline.top <= text.top - 3 && outline.right >= text.right + 3 &&
                        outline.bottom >= text.bottom + 3) << "all round";
            ClickAt(onText), ClickAt(onText);  // a real double click on a pixel of the text
        } else {
            PostMessageW(overlay, WM_LBUTTONDBLCLK, 0, MAKELPARAM(20, 20));
        }
        EXPECT_TRUE(WaitUntil("a frame", [&] { return (Style(overlay) & kFrame) == kFrame; }));
        EXPECT_TRUE(!(ExStyle(overlay) & (WS_EX_TRANSPARENT | WS_EX_LAYERED)) && SameRect(where, WindowRect(overlay)));
        ExitAndWait();
    }
    PrepareOverlay(cues, where, {0, 60, 0, 0}), Launch(L"batchmode");  // a value out of range: said, and no overlay
    HWND box = app->WaitFor("a message box", [&](HWND h) { return h != panel; });
    ASSERT_NE(box, nullptr);
    EXPECT_NE(ItemText(box, 0xFFFF).find(L"59"), std::wstring::npos) << Narrow(ItemText(box, 0xFFFF));  // its words
    PostClick(box, IDOK), Pump(500);
    EXPECT_TRUE(IsIconic(panel) && app->Windows() == std::vector<HWND>{panel} && StartEnabled()) << "minimised, no overlay";
}

// The live-control keys pressed as a user presses them, from another program, and the overlay's menu commands.
// Last a rate preset takes the subtitles to where this point of the film belongs: from 1:00:00, a few seconds of
// film x 25 x 1001 / 24000 plus the delay is past the short cue, in the wide one.
TEST_F(OverlayTest, HotkeysAndMenuCommandsControlPlaybackTheDelayAndTheRate) {
    PrepareOverlay("1\n01:00:30,000 --> 01:01:00,000\nMMMM\n\n2\n01:02:40,000 --> 01:04:00,000\n" + std::string(14, 'W'),
                   RECT{300, 300, 900, 720}, {1, 0, 0, 0});  // the banner's wrapped lines stay below the status
    Launch();
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'T'));  // held here: Kelvane must skip it
    HWND overlay = StartOverlay();
    ASSERT_NE(overlay, nullptr);
    EXPECT_FALSE(RegisterHotKey(nullptr, 2, MOD_CONTROL | MOD_ALT, VK_SPACE)) << "held by the overlay";
    EXPECT_TRUE(WaitUntil("the status naming the key it could not have", [&] { return LookAt(overlay).status > 0; }));
    EXPECT_TRUE(WaitUntil("then only the banner", [&] { const Look l = LookAt(overlay); return !l.status && l.banner; }));

    // Next cue: the first one (at 1:00:30) at once, and the delay that brings it here in the Delay field.
    SendKeys({VK_CONTROL, VK_MENU, VK_DOWN});
    ASSERT_TRUE(WaitUntil("the first cue and a delay in the Delay field", [&] { const Look l = LookAt(overlay); return l.cue && !l.banner && ItemText(panel, IDC_DELAY) != L"0"; }));
    const int delay = std::stoi(ItemText(panel, IDC_DELAY));
    EXPECT_TRUE(delay <= -25000 && delay > -30000) << delay;
    SendKeys({VK_CONTROL, VK_MENU, VK_SHIFT, VK_RIGHT});  // later by 1 s: before the cue's start, cleared
    EXPECT_TRUE(WaitUntil("the cue cleared and the delay 1 s later", [&] { return !LookAt(overlay).cue && ItemText(panel, IDC_DELAY) == std::to_wstring(delay + 1000); }));
    SendKeys({VK_CONTROL, VK_MENU, VK_LEFT});  // earlier by 100 ms
    EXPECT_TRUE(WaitUntil("the delay 100 ms earlier", [&] { return ItemText(panel, IDC_DELAY) == std::to_wstring(delay + 900); }));

    SendKeys({VK_CONTROL, VK_MENU, VK_SPACE}), Pump(2500);  // pause: "Paused" stays
    EXPECT_GT(LookAt(overlay).status, 0);
    PostMessageW(overlay, WM_COMMAND, IDM_OVERLAY_PAUSE, 0);
    EXPECT_TRUE(WaitUntil("no status after resuming, then the first cue again", [&] { const Look l = LookAt(overlay); return !l.status && l.cue; }));
    const LONG narrow = LookAt(overlay).cue;
    PostMessageW(overlay, WM_COMMAND, IDM_OVERLAY_RATE_FIRST + 1, 0);  // 23.976 -> 25
    EXPECT_TRUE(WaitUntil("the wide cue", [&] { return LookAt(overlay).cue > 2 * narrow; })) << narrow;

    PostMessageW(overlay, WM_COMMAND, IDM_OVERLAY_CLOSE, 0);
    EXPECT_TRUE(WaitUntil("the overlay closed", [&] { return !IsWindow(overlay); }));
    EXPECT_TRUE(RegisterHotKey(nullptr, 2, MOD_CONTROL | MOD_ALT, VK_SPACE)) << "released with the overlay";
    UnregisterHotKey(nullptr, 1), UnregisterHotKey(nullptr, 2);
    ExitAndWait();
    EXPECT_EQ(Saved().delay, delay + 900) << "a rate changes no delay";
}

}  // namespace
}  // namespace e2e
