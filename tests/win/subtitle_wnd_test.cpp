// The overlay in process, made by the real panel in a fresh folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

#include "core/Unicode.h"
#include "framework/WinApp.h"
#include "framework/WinTypes.h"
#include "panel/ControlDlg.h"
#include "overlay/SubtitleWnd.h"
#include "res/resource.h"
#include "win_test_util.h"

namespace {

class Overlay : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        m_panel = std::make_unique<CControlDlg>([this](IOverlayHost& host, const COverlayStart& start) -> IOverlay* {
            return m_overlay = CSubtitleWnd::Open(host, start);
        });
        ASSERT_TRUE(m_panel->Create(IDD_CONTROL, HWND(nullptr)));
    }
    void TearDown() override {
        if (m_panel->m_pOverlay)
            SendMessageA(*m_overlay, WM_CLOSE, 0, 0);
        m_panel->DestroyWindow(), m_panel.reset(), TempFolderTest::TearDown();
    }
    // The overlay that Start made, or null.
    CSubtitleWnd* Start(const char* file = "") {
        SetDlgItemTextA(*m_panel, IDC_FILE, file);
        m_overlay = nullptr;
        SendMessageA(*m_panel, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return m_panel->m_pOverlay ? m_overlay : nullptr;
    }
    bool StartEnabled() { return IsWindowEnabled(GetDlgItem(*m_panel, IDOK)); }
    // Pumps messages until the overlay shows this text, 3 s at most.
    static bool WaitForText(CSubtitleWnd* p, const std::string& want) {
        MSG msg;
        for (const DWORD end = GetTickCount() + 3000; p && p->Text() != want && GetTickCount() < end; Sleep(5))
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        return p && p->Text() == want;
    }
    std::unique_ptr<CControlDlg> m_panel;
    CSubtitleWnd* m_overlay = nullptr;
};

// Where a rectangle opens is the placement table's; here the panel's use of it (restoring is end to end).
TEST_F(Overlay, FirstRunCentredNoTimerWithoutAFileAndSeeThroughIsAllClient) {
    CSubtitleWnd* p = Start("missing.srt");  // first run: centred at the template's size
    ASSERT_NE(p, nullptr);
    EXPECT_FALSE(p->HasTimer()) << "nothing to play: no timer";
    RECT rc, want = ToRect(m_panel->m_rcOverlay);
    EXPECT_TRUE(GetWindowRect(*p, &rc) && EqualRect(&rc, &want)) << "the rectangle saved is the one shown";
    EXPECT_NEAR((rc.left + rc.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_FALSE(GetWindowLongA(*m_panel, GWL_EXSTYLE) & WS_EX_TOPMOST) << "only the overlay is topmost";
    SendMessageA(*p, WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, 10));
    RECT client;
    GetClientRect(*p, &client);
    EXPECT_TRUE(client.right == rc.right - rc.left && client.bottom == rc.bottom - rc.top) << "see-through: all client";
}

TEST_F(Overlay, DialogsFromATemplateAtTheOriginOpenCentredOnTheWorkAreaOrOverTheirOwner) {
    // Within a pixel: the sums of the edges (twice the centres) differ by at most 2.
    auto sameCentre = [](const RECT& a, const RECT& b) {
        return std::abs(a.left + a.right - b.left - b.right) <= 2 && std::abs(a.top + a.bottom - b.top - b.bottom) <= 2;
    };
    auto at = [](HWND h) { RECT r; return GetWindowRect(h, &r), r; };
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_TRUE(sameCentre(at(*m_panel), work)) << "the panel on the work area";
    SetWindowPos(*m_panel, nullptr, 150, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    CDialog about(IDD_ABOUTBOX);
    ASSERT_TRUE(about.Create(IDD_ABOUTBOX, *m_panel));
    EXPECT_TRUE(sameCentre(at(about), at(*m_panel))) << "the About box over the panel";
}

TEST_F(Overlay, AnUnplayableFileIsNamedUnderTheBannerWithTheReason) {
    WriteBytes("blank.srt", "\r\n \r\n"), WriteBytes("text.txt", "Just some text\nno cues\n");
    const struct { std::string file; BOOL batch; int hour; std::string why; } cases[] = {
        {"missing.srt", FALSE, 0, "missing.srt: cannot be opened"},
        {m_dir, TRUE, 0, m_dir.substr(m_dir.rfind('\\') + 1) + ": cannot be opened"},  // a folder
        {m_dir + "\\blank.srt", TRUE, 0, "blank.srt: holds no subtitles"},
        {"blank.srt", FALSE, 1, "blank.srt: holds no subtitles from 1:00:00,000 on"},
        {"text.txt", FALSE, 0, "text.txt: holds no subtitles"},  // it opens; at the first tick nothing can show
    };
    for (const auto& row : cases) {
        m_panel->m_bBatch = row.batch;
        SetDlgItemInt(*m_panel, IDC_HOUR, row.hour, FALSE);
        CSubtitleWnd* p = Start(row.file.c_str());
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(WaitForText(p, AfxLoadString(IDS_BANNER) + "\n" + row.why)) << p->Text();
        SendMessageA(*p, WM_CLOSE, 0, 0);
    }
}

// The options' OK changes the film player while playing: from waiting for an mpv that is not there to the wall
// clock, which runs on from where the player was (nowhere yet: the top, so the first cue shows), and back.
TEST_F(Overlay, ThePlayerChosenAtOkIsFollowedAtOnce) {
    WriteBytes("cue.srt", "1\n00:00:00,100 --> 00:10:00,000\nA\n\n");
    CPlayerConfig mpv;
    mpv.eFollow = CPlayerConfig::Mpv, mpv.strMpvPipe = "kelvane-none-" + std::to_string(GetCurrentProcessId());
    m_panel->m_player = mpv;
    CSubtitleWnd* p = Start("cue.srt");
    ASSERT_NE(p, nullptr);
    const auto settle = [](DWORD ms) {
        MSG msg;
        for (const DWORD end = GetTickCount() + ms; GetTickCount() < end; Sleep(5))
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    };
    const std::string waiting = "Waiting for mpv on \\\\.\\pipe\\" + mpv.strMpvPipe + "\xE2\x80\xA6";
    settle(400);
    EXPECT_TRUE(p->Text() == AfxLoadString(IDS_BANNER) && p->Status() == waiting) << p->Text() << "|" << p->Status();
    p->FollowPlayer(CPlayerConfig());
    settle(300);
    EXPECT_TRUE(p->Text() == "A" && p->Status() == "Wall clock") << p->Text() << "|" << p->Status();
    p->FollowPlayer(mpv);
    settle(400);
    EXPECT_TRUE(p->Text() == "A" && p->Status() == waiting) << "kept while waiting: " << p->Text() << "|" << p->Status();
}

// A code page chosen at OK reads the file that plays again at once, and its cue shows in that code page.
TEST_F(Overlay, AnEncodingChosenAtOkReadsThePlayingFileAgain) {
    const std::string cyrillic = "\xCF\xF0\xE8\xE2\xE5\xF2";  // in code page 1251
    WriteBytes("cue.srt", "1\n00:00:00,000 --> 00:10:00,000\n" + cyrillic + "\n\n");
    CSubtitleWnd* p = Start("cue.srt");
    MSG msg;
    for (const DWORD end = GetTickCount() + 3000; p && p->Text() != cyrillic && GetTickCount() < end; Sleep(5))
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    ASSERT_TRUE(p && p->Text() == cyrillic);
    COptionValues options;
    for (unsigned codePage : {1251u, 0u}) {
        options.nCodePage = codePage, p->ApplyOptions(options);
        EXPECT_EQ(p->Text(), codePage ? "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82" : cyrillic) << codePage;
    }
}

TEST_F(Overlay, FailedCreationLeavesNothingBehind) {
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
    EXPECT_TRUE(!p->IsFramed() && !StartEnabled());
}

// A bitmap filled with one colour to draw into; Pixels() are 0x00RRGGBB.
struct Canvas {
    Canvas(int w, int h, uint32_t fill) : dc(CreateCompatibleDC(nullptr)), cx(w), cy(h) {
        BITMAPINFO bi{{sizeof bi.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
        old = dc.SelectObject(bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0));
        std::fill(bits, bits + w * h, fill);
    }
    ~Canvas() { dc.SelectObject(old), DeleteObject(bitmap), DeleteDC(dc); }
    std::vector<uint32_t> Pixels() const { return GdiFlush(), std::vector<uint32_t>(bits, bits + cx * cy); }
    // The text, spacing aside: for each band of rows holding pixels of colour rgb, its first and last row, then the
    // sizes of its glyphs (8-connected pixels of rgb) from left to right.
    std::vector<std::vector<int>> Glyphs(uint32_t rgb) const {
        std::vector<uint32_t> px = Pixels();
        std::vector<int> band(cy, -1);
        std::vector<std::vector<int>> bands;
        for (int y = 0; y < cy; ++y)
            if (std::count(px.begin() + y * cx, px.begin() + (y + 1) * cx, rgb))
                bands.resize(bands.size() + (y == 0 || band[y - 1] < 0), {y, y}), band[y] = int(bands.size()) - 1, bands.back()[1] = y;
        std::vector<std::array<int, 3>> glyphs;  // band, leftmost column, size
        for (int i = 0; i < cx * cy; ++i)
            for (std::vector<int> todo{i}; px[i] == rgb && (px[i] = ~rgb, glyphs.push_back({band[i / cx], i % cx, 0}), true);)
                for (auto& g = glyphs.back(); !todo.empty(); ++g[2]) {
                    const int at = todo.back(), x = at % cx;
                    todo.pop_back(), g[1] = std::min(g[1], x);
                    for (int n : {-cx - 1, -cx, -cx + 1, -1, 1, cx - 1, cx, cx + 1})
                        if (at + n >= 0 && at + n < cx * cy && std::abs((at + n) % cx - x) <= 1 && px[at + n] == rgb)
                            px[at + n] = ~rgb, todo.push_back(at + n);
                }
        std::sort(glyphs.begin(), glyphs.end());
        for (const auto& g : glyphs) bands[g[0]].push_back(g[2]);
        return bands;
    }
    CDC dc;
    int cx, cy;
    uint32_t* bits = nullptr;
    HGDIOBJ bitmap, old;
};

// Every mode draws a cue as DrawText draws it given room for every line: the subtitle font and colour, the glyphs
// of each line in DrawText's order (right to left read as DrawText reads it, also across a tag; a text that is no
// UTF-8 in the ANSI code page), word breaks at the width, the block on the bottom edge (raised by an outline).
// Framed without options each line stands where DrawText puts it, centred, its text cells in the background colour.
TEST_F(Overlay, EveryModeDrawsACueAsDrawTextDrawsItWithRoomForEveryLine) {
    ASSERT_EQ(GetACP(), 1252u) << "the ANSI row is written in code page 1252";
    KLogFont& lf = m_panel->m_lfFont;
    lf = KLogFont{}, lf.lfHeight = -24, lf.lfQuality = NONANTIALIASED_QUALITY, lstrcpyA(lf.lfFaceName, "DejaVu Sans");
    m_panel->m_crText = RGB(255, 0, 0);
    ShowWindow(*m_panel, SW_HIDE);  // nothing beneath the see-through overlay: its background stays as filled
    const struct { const char* cue; const wchar_t* shown; size_t lines; } texts[] = {  // shown: with tags on
        {"Hello שלום <font color=red>עולם</font> world", L"Hello שלום עולם world", 1},
        {"The quick brown fox jumps over the lazy dog and runs on", L"The quick brown fox jumps over the lazy dog and runs on", 3},
        {"שלום עולם זה מבחן שני משפטים ארוכים", L"שלום עולם זה מבחן שני משפטים ארוכים", 2},
        {"Caf\xE9 cr\xE8me\nbr\xFBl\xE9" "e", L"Café crème\nbrûlée", 2},
    };
    COptionValues off, tags, outline, live;
    tags.bFormattingTags = true, outline.bOutline = true, outline.nOutlineWidth = 3, live.bLiveSeeThrough = true;
    const std::pair<const COptionValues*, bool> modes[] = {{&off, false}, {&off, true}, {&tags, false}, {&outline, false}, {&live, true}};
    const LOGFONTA font = ToLogFontA(lf);
    HFONT hFont = CreateFontIndirectA(&font);
    for (const auto& text : texts) {
        WriteBytes("cue.srt", std::string("1\n00:00:00,000 --> 01:00:00,000\n") + text.cue + "\n");
        CSubtitleWnd* p = Start("cue.srt");
        ASSERT_TRUE(WaitForText(p, text.cue));
        for (const auto& [options, seeThrough] : modes) {
            SCOPED_TRACE(testing::Message() << "text " << &text - texts << ", options " << options - &off << ", " << seeThrough);
            p->ApplyOptions(*options);
            if (p->IsFramed() == seeThrough) p->ToggleSeeThrough();
            Canvas drawn(360, 150, 0x808080), want(360, 150, 0x808080);
            p->Draw(drawn.dc, RECT{0, 0, drawn.cx, drawn.cy});
            const bool plain = options == &off && !seeThrough;
            const std::wstring shown = options->bFormattingTags || !strchr(text.cue, '<') ? text.shown : Utf8ToWide(text.cue);
            const int inset = options->bOutline ? options->nOutlineWidth : 0;
            RECT room{inset, 0, want.cx - inset, want.cy - inset};
            want.dc.SelectObject(hFont), want.dc.SetTextColor(RGB(255, 0, 0)), want.dc.SetBkMode(plain ? OPAQUE : TRANSPARENT);
            const int height = DrawTextW(want.dc, shown.c_str(), -1, &room, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
            room = RECT{inset, want.cy - inset - height, want.cx - inset, want.cy - inset};
            DrawTextW(want.dc, shown.c_str(), -1, &room, DT_CENTER | DT_WORDBREAK), want.dc.SelectObject(GetStockObject(SYSTEM_FONT));
            const auto glyphs = want.Glyphs(0xFF0000);
            EXPECT_TRUE((glyphs.size() == text.lines || shown != text.shown) && drawn.Glyphs(0xFF0000) == glyphs) << glyphs.size();
            // Framed without options the cells and the glyphs cover what DrawText covers; with options, no cell.
            std::vector<uint32_t> got = drawn.Pixels(), cells = want.Pixels();
            for (auto* px : {&got, &cells}) for (uint32_t& c : *px) c = plain ? c != 0x808080 : c == 0xFFFFFF;
            EXPECT_TRUE(plain ? got == cells : std::count(got.begin(), got.end(), 1u) == 0);
        }
        SendMessageA(*p, WM_CLOSE, 0, 0);
    }
    DeleteObject(hFont);
}

// A status line wider than the overlay wraps: it leaves as many pixels drawn as on one wide line, none at the edges.
TEST(StatusLine, ALineWiderThanTheOverlayWrapsAndIsCutAtNeitherEnd) {
    CStatusLine status;
    status.Show("Keys held by another program: Ctrl+Alt+Space, Ctrl+Alt+Right, Ctrl+Alt+Shift+Left, Ctrl+Alt+T");
    auto drawn = [&](int width) {  // the text's black pixels on white: in all, and in the outermost columns
        Canvas canvas(width, 200, 0xFFFFFF);
        status.Draw(canvas.dc, RECT{0, 0, width, 200}, {-40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, NONANTIALIASED_QUALITY, 0, "Tahoma"});
        const std::vector<uint32_t> px = canvas.Pixels();
        std::pair<int, int> n{0, 0};
        for (int i = 0; i < width * 200; ++i)
            if (!px[i]) ++n.first, n.second += i % width == 0 || i % width == width - 1;
        return n;
    };
    const auto wide = drawn(3000);
    EXPECT_TRUE(wide.first > 1000 && drawn(400) == std::make_pair(wide.first, 0)) << wide.first;
}

}  // namespace
