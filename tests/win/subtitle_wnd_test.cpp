// The real overlay under Wine, made by the real control panel in a fresh
// folder: geometry restore and store, the two modes and their styles, the
// bottom-anchored text block, see-through copying of a window beneath, the
// refused paint, closing by every way, Enter, a failed creation, playback on
// the real 100 ms timer, and the choice between UTF-8 and ANSI drawing.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Report.h"
#include "panel/ControlDlg.h"
#include "playback/SubtitleWnd.h"
#include "res/resource.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBackdrop = RGB(20, 90, 200);

std::vector<std::string> g_messages;
int CaptureMessage(HWND, const std::string& text, UINT)
{
    g_messages.push_back(text);
    return IDOK;
}

void WriteFile(const char* path, const std::string& bytes)
{
    FILE* f = std::fopen(path, "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// One round of this thread's messages, routed as the panel's modal loop does.
void PumpOnce()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        HWND hRoot = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (CDialog::IsOwnDialog(hRoot) && IsDialogMessageA(hRoot, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeout = 5000)
{
    const DWORD start = GetTickCount();
    for (;;) {
        PumpOnce();
        if (done())
            return true;
        if (GetTickCount() - start > timeout)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void Pump(DWORD ms)
{
    const DWORD start = GetTickCount();
    PumpUntil([&] { return GetTickCount() - start >= ms; }, ms + 1000);
}

// The client area of a window as 0x00bbggrr pixels, read from its device context.
class ClientPixels {
public:
    explicit ClientPixels(HWND hWnd)
    {
        RECT rc;
        GetClientRect(hWnd, &rc);
        m_cx = rc.right;
        m_cy = rc.bottom;
        BITMAPINFO bmi{};
        bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
        bmi.bmiHeader.biWidth = m_cx;
        bmi.bmiHeader.biHeight = -m_cy;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC hWindow = GetDC(hWnd);
        HDC hMem = CreateCompatibleDC(hWindow);
        HBITMAP hBitmap = CreateDIBSection(hWindow, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(hMem, hBitmap);
        BitBlt(hMem, 0, 0, m_cx, m_cy, hWindow, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* px = static_cast<const uint32_t*>(bits);
        m_pixels.reserve(static_cast<size_t>(m_cx) * m_cy);
        for (int i = 0; i < m_cx * m_cy; ++i) {
            const uint32_t p = px[i];  // 0x00RRGGBB
            m_pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
        }
        SelectObject(hMem, old);
        DeleteObject(hBitmap);
        DeleteDC(hMem);
        ReleaseDC(hWnd, hWindow);
    }

    int Width() const { return m_cx; }
    int Height() const { return m_cy; }
    COLORREF At(int x, int y) const { return m_pixels[static_cast<size_t>(y) * m_cx + x]; }
    // Pixels of exactly this colour in rows [top, bottom).
    int CountRows(COLORREF c, int top, int bottom) const
    {
        int n = 0;
        for (int y = std::max(top, 0); y < std::min(bottom, m_cy); ++y)
            for (int x = 0; x < m_cx; ++x)
                n += At(x, y) == c;
        return n;
    }
    int Count(COLORREF c) const { return CountRows(c, 0, m_cy); }
    // Mean column of the pixels of this colour (-1 when none).
    double MeanColumn(COLORREF c) const
    {
        double sum = 0;
        int n = 0;
        for (int y = 0; y < m_cy; ++y)
            for (int x = 0; x < m_cx; ++x)
                if (At(x, y) == c) {
                    sum += x;
                    ++n;
                }
        return n ? sum / n : -1;
    }
    bool operator==(const ClientPixels& other) const
    {
        return m_cx == other.m_cx && m_cy == other.m_cy && m_pixels == other.m_pixels;
    }

private:
    int m_cx = 0, m_cy = 0;
    std::vector<COLORREF> m_pixels;
};

// A plain window of one colour, for what lies beneath the overlay.
class SolidWindow {
public:
    SolidWindow(const RECT& rc, COLORREF colour)
    {
        m_brush = CreateSolidBrush(colour);
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = m_brush;
        wc.lpszClassName = "KelvaneTestSolid";
        UnregisterClassA(wc.lpszClassName, wc.hInstance);
        RegisterClassA(&wc);
        m_hWnd = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, rc.left, rc.top,
                                 rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr, wc.hInstance, nullptr);
        UpdateWindow(m_hWnd);
    }
    ~SolidWindow()
    {
        DestroyWindow(m_hWnd);
        UnregisterClassA("KelvaneTestSolid", GetModuleHandleA(nullptr));
        DeleteObject(m_brush);
    }
    HWND Handle() const { return m_hWnd; }

private:
    HWND m_hWnd = nullptr;
    HBRUSH m_brush = nullptr;
};

// A crisp (not antialiased) font, so the text colour appears exactly.
HFONT MakeCrispFont(int height)
{
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = FW_BOLD;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "Tahoma");
    return CreateFontIndirectA(&lf);
}

// Blocks the creation of every dialog window of this thread while it lives.
class CreationBlocker {
public:
    CreationBlocker() { m_hook = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId()); }
    ~CreationBlocker() { UnhookWindowsHookEx(m_hook); }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_CREATEWND) {
            char cls[64] = {};
            GetClassNameA(reinterpret_cast<HWND>(wParam), cls, sizeof cls);
            if (std::string(cls) == "#32770")
                return 1;  // refuse
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK m_hook = nullptr;
};

// Each test runs in a fresh current directory with a real panel window; Start
// is its IDOK command, as the button sends it.
class Overlay : public ::testing::Test {
protected:
    void SetUp() override
    {
        GetCurrentDirectoryA(MAX_PATH, m_oldDir);
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        static int counter = 0;
        m_dir = std::string(temp) + "kelvane_overlay_" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(++counter);
        CreateDirectoryA(m_dir.c_str(), nullptr);
        SetCurrentDirectoryA(m_dir.c_str());
        g_messages.clear();
        m_previousHook = SetMessageHook(CaptureMessage);
        m_panel = std::make_unique<CControlDlg>();
        ASSERT_TRUE(m_panel->Create(IDD_CONTROL, HWND(nullptr)));
    }
    void TearDown() override
    {
        if (m_panel) {
            if (m_panel->m_pOverlay)
                SendMessageA(*m_panel->m_pOverlay, WM_CLOSE, 0, 0);
            m_panel->DestroyWindow();
            m_panel.reset();
        }
        PumpOnce();
        SetMessageHook(m_previousHook);
        DeleteFileA("Kelvane.DAT");
        DeleteFileA("cues.srt");
        SetCurrentDirectoryA(m_oldDir);
        RemoveDirectoryA(m_dir.c_str());
    }

    CControlDlg& Panel() { return *m_panel; }
    HWND StartButton() { return GetDlgItem(*m_panel, IDOK); }
    void PressStart() { SendMessageA(*m_panel, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }
    CSubtitleWnd* Start()
    {
        PressStart();
        return m_panel->m_pOverlay;
    }
    // Start with a crisp red font of the given height and the given text shown.
    CSubtitleWnd* StartShowing(const std::string& text, int height = -20)
    {
        m_panel->m_font.Attach(MakeCrispFont(height));
        m_panel->m_crText = kRed;
        CSubtitleWnd* pOverlay = Start();
        if (pOverlay)
            Show(pOverlay, text);
        return pOverlay;
    }
    static void Show(CSubtitleWnd* pOverlay, const std::string& text)
    {
        pOverlay->m_strText = text;
        pOverlay->Refresh();
        UpdateWindow(*pOverlay);
        PumpOnce();
    }
    static RECT Rect(HWND h)
    {
        RECT rc;
        GetWindowRect(h, &rc);
        return rc;
    }

    char m_oldDir[MAX_PATH] = {};
    std::string m_dir;
    MessageHook m_previousHook = nullptr;
    std::unique_ptr<CControlDlg> m_panel;
};

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
bool SameRect(const KRect& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// ---- Geometry -------------------------------------------------------------

TEST_F(Overlay, FirstRunOpensCentredAtTemplateSizeAndStoresItsRectangle)
{
    CSubtitleWnd* pOverlay = Start();
    ASSERT_NE(pOverlay, nullptr);
    const RECT rc = Rect(*pOverlay);
    const int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    EXPECT_GT(cx, 328) << "328 dialog units are wider than 328 pixels";
    EXPECT_NEAR(rc.left + cx / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR(rc.top + cy / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    EXPECT_TRUE(SameRect(Panel().m_rcOverlay, rc)) << "stored at every position change";

    // Moving and resizing update the record at once.
    MoveWindow(*pOverlay, 40, 50, 500, 120, TRUE);
    EXPECT_TRUE(SameRect(Panel().m_rcOverlay, RECT{40, 50, 540, 170}));
}

TEST_F(Overlay, StoredRectangleIsRestoredExactlyUnlessItHasNoHeight)
{
    Panel().m_rcOverlay = KRect{-30, 700, 600, 1100};  // partly off the screen
    CSubtitleWnd* pOverlay = Start();
    ASSERT_NE(pOverlay, nullptr);
    EXPECT_TRUE(SameRect(Rect(*pOverlay), RECT{-30, 700, 600, 1100}));
    SendMessageA(*pOverlay, WM_CLOSE, 0, 0);

    // Top equal to bottom: not restored, whatever the width says.
    Panel().m_rcOverlay = KRect{10, 300, 900, 300};
    pOverlay = Start();
    ASSERT_NE(pOverlay, nullptr);
    const RECT rc = Rect(*pOverlay);
    EXPECT_NE(rc.left, 10);
    EXPECT_GT(rc.bottom - rc.top, 0);
    EXPECT_TRUE(SameRect(Panel().m_rcOverlay, rc));
}

// ---- Modes and styles -------------------------------------------------------

TEST_F(Overlay, DoubleClickSwitchesModesKeepingTheOuterRectangleAndTopmost)
{
    Panel().m_rcOverlay = KRect{100, 200, 700, 380};
    CSubtitleWnd* pOverlay = Start();
    ASSERT_NE(pOverlay, nullptr);
    const HWND h = *pOverlay;
    const DWORD kFrame = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    EXPECT_EQ(GetWindowLongA(h, GWL_STYLE) & kFrame, kFrame);
    EXPECT_TRUE(GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST) << "DS_SYSMODAL makes it topmost";
    EXPECT_FALSE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    EXPECT_EQ(pOverlay->m_bFramed, 1);

    SendMessageA(h, WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(pOverlay->m_bFramed, 0);
    EXPECT_EQ(GetWindowLongA(h, GWL_STYLE) & kFrame, 0u);
    EXPECT_TRUE(GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    EXPECT_TRUE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(SameRect(Rect(h), RECT{100, 200, 700, 380}));
    RECT client;
    GetClientRect(h, &client);
    EXPECT_EQ(client.right, 600) << "the client area covers the former frame";
    EXPECT_EQ(client.bottom, 180);
    EXPECT_TRUE(SameRect(Panel().m_rcOverlay, RECT{100, 200, 700, 380}));

    SendMessageA(h, WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(pOverlay->m_bFramed, 1);
    EXPECT_EQ(GetWindowLongA(h, GWL_STYLE) & kFrame, kFrame);
    EXPECT_FALSE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    EXPECT_TRUE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(SameRect(Rect(h), RECT{100, 200, 700, 380}));
    EXPECT_TRUE(SameRect(Panel().m_rcOverlay, RECT{100, 200, 700, 380}));
}

// ---- The text block ---------------------------------------------------------

TEST_F(Overlay, TextStandsOnTheBottomEdgeWithRoomForItsLineFeeds)
{
    Panel().m_rcOverlay = KRect{100, 100, 700, 400};
    CSubtitleWnd* pOverlay = StartShowing("AB\nCD");
    ASSERT_NE(pOverlay, nullptr);
    const int cy = pOverlay->m_sizeLine.cy;
    ASSERT_GT(cy, 10);

    ClientPixels two(*pOverlay);
    const int b = two.Height();
    EXPECT_GT(two.CountRows(kRed, b - 2 * cy, b - cy), 0) << "first line";
    EXPECT_GT(two.CountRows(kRed, b - cy, b), 0) << "second line";
    EXPECT_EQ(two.CountRows(kRed, 0, b - 2 * cy), 0);
    EXPECT_NEAR(two.MeanColumn(kRed), two.Width() / 2.0, 6) << "centred";

    // A trailing line feed counts one more line: the text stands one line up.
    Show(pOverlay, "AB\n");
    ClientPixels up(*pOverlay);
    EXPECT_GT(up.CountRows(kRed, b - 2 * cy, b - cy), 0);
    EXPECT_EQ(up.CountRows(kRed, b - cy, b), 0);
    EXPECT_EQ(up.CountRows(kRed, 0, b - 2 * cy), 0);

    // A line that wraps gets room for one line only: its first piece, at the bottom.
    std::string longLine;
    for (int i = 0; i < 40; ++i)
        longLine += "word ";
    Show(pOverlay, longLine);
    ClientPixels wrapped(*pOverlay);
    EXPECT_GT(wrapped.CountRows(kRed, b - cy, b), 0);
    EXPECT_EQ(wrapped.CountRows(kRed, 0, b - cy), 0);

    // More lines than the client area holds: the last lines show at the bottom.
    std::string tall;
    for (int i = 0; i < 40; ++i)
        tall += "line\n";
    tall += "last";
    Show(pOverlay, tall);
    ClientPixels cut(*pOverlay);
    EXPECT_GT(cut.CountRows(kRed, b - cy, b), 0);
    EXPECT_GT(cut.CountRows(kRed, 0, cy), 0);

    // Empty text draws nothing.
    Show(pOverlay, "");
    EXPECT_EQ(ClientPixels(*pOverlay).Count(kRed), 0);
}

TEST_F(Overlay, FontAndColourChosenOnThePanelShowAtTheNextPaint)
{
    Panel().m_rcOverlay = KRect{100, 100, 700, 400};
    CSubtitleWnd* pOverlay = StartShowing("Hello", -14);
    ASSERT_NE(pOverlay, nullptr);
    const int smallLine = pOverlay->m_sizeLine.cy;
    EXPECT_GT(ClientPixels(*pOverlay).Count(kRed), 0);

    Panel().m_font.Attach(MakeCrispFont(-40));
    Panel().m_crText = kGreen;
    InvalidateRect(*pOverlay, nullptr, TRUE);
    UpdateWindow(*pOverlay);
    ClientPixels after(*pOverlay);
    EXPECT_EQ(after.Count(kRed), 0);
    EXPECT_GT(after.Count(kGreen), 0);
    EXPECT_GT(pOverlay->m_sizeLine.cy, smallLine + 10);
}

TEST_F(Overlay, PaintRequestWhilePaintingIsDisabledLeavesTheRegionInvalid)
{
    CSubtitleWnd* pOverlay = StartShowing("Refused");
    ASSERT_NE(pOverlay, nullptr);
    UpdateWindow(*pOverlay);
    pOverlay->m_bPaintEnabled = 0;
    InvalidateRect(*pOverlay, nullptr, FALSE);
    SendMessageA(*pOverlay, WM_PAINT, 0, 0);
    RECT pending{};
    EXPECT_TRUE(GetUpdateRect(*pOverlay, &pending, FALSE)) << "not validated";
    pOverlay->m_bPaintEnabled = 1;
    UpdateWindow(*pOverlay);
    EXPECT_FALSE(GetUpdateRect(*pOverlay, &pending, FALSE)) << "a later paint covers it";
    EXPECT_GT(ClientPixels(*pOverlay).Count(kRed), 0);
}

TEST_F(Overlay, SeeThroughShowsTheWindowBeneathAsBackground)
{
    // Away from the panel, which lies beneath the overlay as well.
    SolidWindow beneath(RECT{350, 350, 1050, 750}, kBackdrop);
    Panel().m_rcOverlay = KRect{400, 400, 1000, 700};
    CSubtitleWnd* pOverlay = StartShowing("Over the film");
    ASSERT_NE(pOverlay, nullptr);
    ASSERT_EQ(ClientPixels(*pOverlay).Count(kBackdrop), 0) << "framed: dialog background";

    pOverlay->ToggleSeeThrough();
    UpdateWindow(*pOverlay);
    PumpOnce();
    ClientPixels seeThrough(*pOverlay);
    const int total = seeThrough.Width() * seeThrough.Height();
    EXPECT_GT(seeThrough.Count(kBackdrop), total * 9 / 10) << "the window beneath is the background";
    EXPECT_GT(seeThrough.Count(kRed), 0) << "the text is drawn over it";
    EXPECT_EQ(seeThrough.Count(kWhite), 0) << "transparent text background";

    // A text change repaints over fresh pixels: no trace of the old text.
    Show(pOverlay, "");
    EXPECT_EQ(ClientPixels(*pOverlay).Count(kRed), 0);
    EXPECT_EQ(ClientPixels(*pOverlay).Count(kBackdrop), total);
}

// ---- Closing, keys, failed creation -------------------------------------------

TEST_F(Overlay, CloseBeforeAnyTimerTellsThePanelAndStartWorksAgain)
{
    Panel().m_strFile = "missing.srt";
    SetDlgItemTextA(Panel(), IDC_FILE, "missing.srt");
    CSubtitleWnd* pOverlay = Start();
    ASSERT_NE(pOverlay, nullptr);
    EXPECT_EQ(pOverlay->m_nTimer, 0u) << "nothing to play: no timer";
    EXPECT_EQ(pOverlay->m_strText.rfind("Kelvane Ver. 1.0\n", 0), 0u) << "the banner";
    EXPECT_FALSE(IsWindowEnabled(StartButton()));

    // Start while open only brings the overlay forward.
    SetActiveWindow(Panel());
    PressStart();
    EXPECT_EQ(Panel().m_pOverlay, pOverlay);
    EXPECT_EQ(GetActiveWindow(), static_cast<HWND>(*pOverlay));

    const HWND h = *pOverlay;
    SendMessageA(h, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(Panel().m_pOverlay, nullptr);
    EXPECT_TRUE(IsWindowEnabled(StartButton()));
    EXPECT_NE(Start(), nullptr) << "a new overlay";
}

TEST_F(Overlay, EscapeClosesAsTheCloseButtonDoesAndEnterDoesNothing)
{
    WriteFile("cues.srt", "1\n00:00:30,000 --> 00:00:31,000\nLater\n\n");
    SetDlgItemTextA(Panel(), IDC_FILE, "cues.srt");
    CSubtitleWnd* pOverlay = Start();
    ASSERT_NE(pOverlay, nullptr);
    EXPECT_EQ(pOverlay->m_nTimer, CSubtitleWnd::kTimerId);
    const HWND h = *pOverlay;
    SetForegroundWindow(h);
    SetActiveWindow(h);
    SetFocus(h);

    PostMessageA(h, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageA(h, WM_KEYUP, VK_RETURN, 0xC01C0001);
    Pump(150);
    EXPECT_TRUE(IsWindowVisible(h)) << "Enter does nothing";
    EXPECT_EQ(Panel().m_pOverlay, pOverlay);

    PostMessageA(h, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(h, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(h); }));
    EXPECT_EQ(Panel().m_pOverlay, nullptr) << "the panel is told";
    EXPECT_TRUE(IsWindowEnabled(StartButton()));
    EXPECT_FALSE(KillTimer(h, CSubtitleWnd::kTimerId)) << "no timer outlives the window";
}

TEST_F(Overlay, FailedCreationLeavesNothingBehind)
{
    for (BOOL batch : {FALSE, TRUE}) {
        Panel().m_bBatch = batch;
        {
            CreationBlocker blocker;
            PressStart();
        }
        EXPECT_EQ(Panel().m_pOverlay, nullptr) << batch;
        EXPECT_TRUE(IsWindowEnabled(StartButton())) << batch;
    }
    // Nothing dangles: the next Start makes a working overlay (see-through in
    // batch mode).
    CSubtitleWnd* pOverlay = Start();
    ASSERT_NE(pOverlay, nullptr);
    EXPECT_EQ(pOverlay->m_bFramed, 0);
    EXPECT_FALSE(IsWindowEnabled(StartButton()));
}

// ---- Playback on the real timer ---------------------------------------------------

TEST_F(Overlay, PlaysCuesOnTheTimerAndReturnsToTheBanner)
{
    // The last cue has no empty line after it: it stays until its end time.
    WriteFile("cues.srt",
              "1\n00:00:00,100 --> 00:00:00,300\nFirst\n\n"
              "2\n00:00:00,500 --> 00:00:00,700\nSecond\nline");
    SetDlgItemTextA(Panel(), IDC_FILE, "cues.srt");
    CSubtitleWnd* pOverlay = Start();
    ASSERT_NE(pOverlay, nullptr);
    const std::string banner = pOverlay->m_strText;
    ASSERT_EQ(banner.rfind("Kelvane Ver. 1.0", 0), 0u);
    EXPECT_EQ(pOverlay->m_nTimer, CSubtitleWnd::kTimerId);

    // A tick of another timer id changes nothing, even when a change is due.
    Sleep(150);
    SendMessageA(*pOverlay, WM_TIMER, 999, 0);
    EXPECT_EQ(pOverlay->m_strText, banner);

    std::vector<std::string> seen{banner};
    const bool ended = PumpUntil([&] {
        if (pOverlay->m_strText != seen.back())
            seen.push_back(pOverlay->m_strText);
        return seen.size() > 1 && pOverlay->m_strText == banner;
    });
    ASSERT_TRUE(ended);
    // The last change clears the cue and puts the banner back in one tick.
    EXPECT_EQ(seen, (std::vector<std::string>{banner, "First", "", "Second\nline", banner}));
    EXPECT_FALSE(KillTimer(*pOverlay, CSubtitleWnd::kTimerId)) << "stopped at the end";
    EXPECT_EQ(Panel().m_pOverlay, pOverlay) << "finished overlays stay open";
}

// ---- UTF-8 or ANSI ------------------------------------------------------------------

TEST(OverlayText, Utf8IsRecognisedOnlyWhenValidAndNonAscii)
{
    EXPECT_FALSE(CSubtitleWnd::IsUtf8Text(""));
    EXPECT_FALSE(CSubtitleWnd::IsUtf8Text("plain ASCII\n"));
    EXPECT_TRUE(CSubtitleWnd::IsUtf8Text("caf\xC3\xA9"));
    EXPECT_TRUE(CSubtitleWnd::IsUtf8Text("\xE2\x82\xAC 5"));           // euro sign
    EXPECT_TRUE(CSubtitleWnd::IsUtf8Text("\xF0\x9F\x8E\xAC film"));    // four bytes
    EXPECT_FALSE(CSubtitleWnd::IsUtf8Text("caf\xE9"));                 // Latin-1
    EXPECT_FALSE(CSubtitleWnd::IsUtf8Text("\xC0\xAF"));                // overlong
    EXPECT_FALSE(CSubtitleWnd::IsUtf8Text("\xE0\x80\xAF"));            // overlong
    EXPECT_FALSE(CSubtitleWnd::IsUtf8Text("\xED\xA0\x80"));            // surrogate
    EXPECT_FALSE(CSubtitleWnd::IsUtf8Text("\xF4\x90\x80\x80"));        // beyond U+10FFFF
    EXPECT_FALSE(CSubtitleWnd::IsUtf8Text("ok \xE2\x82"));             // cut off
    EXPECT_FALSE(CSubtitleWnd::IsUtf8Text("\xA9 x"));                  // trail byte alone
    EXPECT_FALSE(CSubtitleWnd::IsUtf8Text("\xC3\xA9\xE9"));            // valid, then not
}

TEST_F(Overlay, Utf8TextIsDrawnAsUtf8AndOtherTextInTheAnsiCodePage)
{
    Panel().m_rcOverlay = KRect{100, 100, 700, 400};
    CSubtitleWnd* pOverlay = StartShowing("x");
    ASSERT_NE(pOverlay, nullptr);
    auto render = [&](const std::string& text) {
        Show(pOverlay, text);
        return ClientPixels(*pOverlay);
    };
    auto ansi = [](const wchar_t* wide) {
        char bytes[64] = {};
        BOOL lost = FALSE;
        WideCharToMultiByte(CP_ACP, 0, wide, -1, bytes, sizeof bytes, nullptr, &lost);
        return lost ? std::string() : std::string(bytes);
    };
    const std::string ansiCafe = ansi(L"caf\u00E9");
    if (ansiCafe.size() != 4)
        GTEST_SKIP() << "the ANSI code page has no e-acute";

    const ClientPixels utf8 = render("caf\xC3\xA9");
    // The ANSI bytes are no UTF-8, so they take the ANSI way; both show the same e-acute.
    EXPECT_TRUE(utf8 == render(ansiCafe)) << "UTF-8 text shows its characters";
    EXPECT_GT(utf8.Count(kRed), 0);
}

}  // namespace
