// The overlay under Wine, made by the real panel in a fresh folder: text
// layout and encoding decisions, geometry, the two modes, closing and keys,
// and a failed creation.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "framework/WinApp.h"
#include "panel/ControlDlg.h"
#include "playback/SubtitleWnd.h"
#include "res/resource.h"
#include "win_test_util.h"

namespace {

TEST(OverlayText, BottomAnchoredBlockAndUtf8Decision)
{
    const RECT client{0, 0, 600, 300};  // a block taller than the client is cut at the top
    const std::pair<std::string, int> lines[] = {{"", 1}, {"AB\n", 2}, {"A\r\nB\r\n", 3}, {std::string(19, '\n'), 20}};
    for (const auto& [text, count] : lines) {
        const RECT rc = CSubtitleWnd::TextRect(client, text, 20), expected{0, 300 - 20 * count, 600, 300};
        EXPECT_EQ(CSubtitleWnd::LineCount(text), count) << text.size();
        EXPECT_TRUE(EqualRect(&rc, &expected)) << text.size();
    }
    for (const char* utf8 : {"caf\xC3\xA9", "\xE2\x82\xAC 5", "\xF0\x9F\x8E\xAC"})
        EXPECT_TRUE(CSubtitleWnd::IsUtf8Text(utf8)) << utf8;
    for (const char* ansi : {"", "plain\n", "caf\xE9", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "ok \xE2\x82",
                             "\xA9 x", "\xC3\xA9\xE9"})  // also overlong, surrogate, beyond U+10FFFF, cut
        EXPECT_FALSE(CSubtitleWnd::IsUtf8Text(ansi)) << ansi;
}

bool HasRect(HWND h, const KRect& expected)
{
    RECT rc;
    const RECT want = ToRect(expected);
    return GetWindowRect(h, &rc) && EqualRect(&rc, &want);
}

class Overlay : public TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        m_panel = std::make_unique<CControlDlg>();
        ASSERT_TRUE(m_panel->Create(IDD_CONTROL, HWND(nullptr)));
    }
    void TearDown() override
    {
        if (m_panel->m_pOverlay)
            SendMessageA(*m_panel->m_pOverlay, WM_CLOSE, 0, 0);
        m_panel->DestroyWindow();
        m_panel.reset();
        TempFolderTest::TearDown();
    }
    CSubtitleWnd* Start(const char* file = "")
    {
        SetDlgItemTextA(*m_panel, IDC_FILE, file);
        SendMessageA(*m_panel, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return m_panel->m_pOverlay;
    }
    bool StartEnabled() { return IsWindowEnabled(GetDlgItem(*m_panel, IDOK)); }
    std::unique_ptr<CControlDlg> m_panel;
};

TEST_F(Overlay, GeometryIsRestoredAndStoredAndTheModeSwitchKeepsIt)
{
    CSubtitleWnd* p = Start();  // first run: centred at the template's size
    ASSERT_NE(p, nullptr);
    const KRect first = m_panel->m_rcOverlay;
    EXPECT_TRUE(HasRect(*p, first));
    EXPECT_NEAR((first.left + first.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    MoveWindow(*p, 40, 50, 500, 120, TRUE);
    EXPECT_TRUE(HasRect(*p, m_panel->m_rcOverlay) && m_panel->m_rcOverlay.right == 540) << "stored at every change";
    SendMessageA(*p, WM_CLOSE, 0, 0);
    m_panel->m_rcOverlay = KRect{10, 300, 900, 300};  // no height: not restored
    ASSERT_NE(p = Start(), nullptr);
    EXPECT_TRUE(HasRect(*p, first));
    SendMessageA(*p, WM_CLOSE, 0, 0);
    const KRect outer{-30, 200, 570, 380};  // partly off the screen: restored as it is
    m_panel->m_rcOverlay = outer;
    ASSERT_NE(p = Start(), nullptr);
    EXPECT_FALSE(GetWindowLongA(*m_panel, GWL_EXSTYLE) & WS_EX_TOPMOST) << "only DS_SYSMODAL dialogs";
    for (int framed : {1, 0, 1}) {  // as made, then double click twice
        SCOPED_TRACE(framed);
        const DWORD style = GetWindowLongA(*p, GWL_STYLE), ex = GetWindowLongA(*p, GWL_EXSTYLE);
        EXPECT_EQ(p->m_bFramed, framed);
        EXPECT_EQ((style & (WS_CAPTION | WS_THICKFRAME)) != 0, framed == 1);
        EXPECT_EQ((ex & WS_EX_TRANSPARENT) != 0, framed == 0);
        EXPECT_TRUE((ex & WS_EX_TOPMOST) && (style & WS_VISIBLE)) << "DS_SYSMODAL: topmost in both modes";
        EXPECT_TRUE(HasRect(*p, outer) && HasRect(*p, m_panel->m_rcOverlay));
        RECT client;
        GetClientRect(*p, &client);
        EXPECT_EQ(client.right == 600 && client.bottom == 180, framed == 0) << "see-through: client is all";
        SendMessageA(*p, WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, 10));
    }
}

TEST_F(Overlay, CloseTellsThePanelWithOrWithoutTimerEscapeClosesEnterDoesNothing)
{
    CSubtitleWnd* p = Start("missing.srt");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->m_nTimer, 0u) << "nothing to play: no timer";
    EXPECT_FALSE(StartEnabled());
    SendMessageA(*p, WM_CLOSE, 0, 0);
    EXPECT_EQ(m_panel->m_pOverlay, nullptr);
    EXPECT_TRUE(StartEnabled());

    WriteBytes("cues.srt", "1\n00:00:30,000 --> 00:00:31,000\nLater\n\n");
    ASSERT_NE(p = Start("cues.srt"), nullptr);
    EXPECT_EQ(p->m_nTimer, CSubtitleWnd::kTimerId);
    // Keys reach the overlay as the panel's modal loop passes them: through IsDialogMessage.
    const HWND h = *p;
    auto press = [h](WPARAM key) { MSG msg{h, WM_KEYDOWN, key, 0x00010001, 0, {}}; return IsDialogMessageA(h, &msg); };
    EXPECT_TRUE(press(VK_RETURN));
    EXPECT_TRUE(IsWindowVisible(h) && m_panel->m_pOverlay == p) << "Enter does nothing";
    EXPECT_TRUE(press(VK_ESCAPE));
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(m_panel->m_pOverlay, nullptr) << "the panel is told";
    EXPECT_TRUE(StartEnabled());
    EXPECT_FALSE(KillTimer(h, CSubtitleWnd::kTimerId)) << "no timer outlives the window";
}

TEST_F(Overlay, DialogsFromATemplateAtTheOriginOpenCentredOnTheWorkAreaOrOverTheirOwner)
{
    auto centre = [](const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; };
    auto at = [&centre](HWND h) { RECT r; GetWindowRect(h, &r); return centre(r); };
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(at(*m_panel).x, centre(work).x, 1);
    EXPECT_NEAR(at(*m_panel).y, centre(work).y, 1);
    SetWindowPos(*m_panel, nullptr, 150, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    CDialog about(IDD_ABOUTBOX);
    ASSERT_TRUE(about.Create(IDD_ABOUTBOX, *m_panel));
    EXPECT_NEAR(at(about).x, at(*m_panel).x, 1);
    EXPECT_NEAR(at(about).y, at(*m_panel).y, 1);
}

TEST_F(Overlay, AnUnplayableFileIsNamedUnderTheBannerWithTheReason)
{
    WriteBytes("blank.srt", "\r\n \r\n");
    const struct { std::string file; BOOL batch; int hour; std::string why; } cases[] = {
        {"missing.srt", FALSE, 0, "missing.srt: cannot be opened"},
        {m_dir, TRUE, 0, m_dir.substr(m_dir.rfind('\\') + 1) + ": cannot be opened"},  // a folder
        {m_dir + "\\blank.srt", TRUE, 0, "blank.srt: holds no subtitles"},
        {"blank.srt", FALSE, 1, "blank.srt: holds no subtitles from 1:00:00,000 on"},
    };
    for (const auto& row : cases) {
        m_panel->m_bBatch = row.batch;
        SetDlgItemInt(*m_panel, IDC_HOUR, row.hour, FALSE);
        CSubtitleWnd* p = Start(row.file.c_str());
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->m_strText, AfxLoadString(IDS_BANNER) + "\n" + row.why);
        SendMessageA(*p, WM_CLOSE, 0, 0);
    }
}

TEST_F(Overlay, FailedCreationLeavesNothingBehind)
{
    auto refuseDialogs = [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
        char cls[16] = {};
        GetClassNameA(reinterpret_cast<HWND>(wParam), cls, sizeof cls);
        return code == HCBT_CREATEWND && !lstrcmpA(cls, "#32770") ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
    };
    for (BOOL batch : {FALSE, TRUE}) {
        m_panel->m_bBatch = batch;
        HHOOK hHook = SetWindowsHookExA(WH_CBT, refuseDialogs, nullptr, GetCurrentThreadId());
        EXPECT_EQ(Start(), nullptr) << batch;
        UnhookWindowsHookEx(hHook);
        EXPECT_TRUE(StartEnabled()) << batch;
    }
    CSubtitleWnd* p = Start();  // nothing dangles: a working overlay, see-through in batch mode
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->m_bFramed, 0);
    EXPECT_FALSE(StartEnabled());
}

}  // namespace
