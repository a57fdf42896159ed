// Options from Kelvane.ini seen from outside: live see-through over a window that
// changes colour, the outline around the text, a double click on the text.
#include "Harness.h"

#include <algorithm>
#include <climits>

namespace e2e {
namespace {

const wchar_t kCaption[] = L"Subtitle Window - Resize and doble left click to make transparent";
constexpr COLORREF kText = RGB(255, 0, 0), kOutline = RGB(255, 255, 0);
constexpr COLORREF kFirst = RGB(30, 160, 90), kSecond = RGB(40, 60, 200);
constexpr LONG_PTR kFrame = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
const char kCue[] = "1\n00:00:00,200 --> 00:10:00,000\nMMMM\n\n";

// Screen positions of the pixels of one colour within area.
std::vector<POINT> Pixels(const RECT& area, COLORREF colour) {
    const int w = area.right - area.left, h = area.bottom - area.top;
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    HDC screen = GetDC(nullptr), mem = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(mem, 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
    SelectObject(mem, old);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof bi.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    GetDIBits(mem, bitmap, 0, h, px.data(), &bi, DIB_RGB_COLORS);
    DeleteObject(bitmap), DeleteDC(mem), ReleaseDC(nullptr, screen);
    std::vector<POINT> found;
    const uint32_t want = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    for (int i = 0; i < w * h; ++i)
        if ((px[i] & 0xFFFFFF) == want) found.push_back(POINT{area.left + i % w, area.top + i / w});
    return found;
}

RECT Bounds(const std::vector<POINT>& points) {
    RECT r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (const POINT& p : points)
        r = RECT{std::min(r.left, p.x), std::min(r.top, p.y), std::max(r.right, p.x), std::max(r.bottom, p.y)};
    return r;
}

void Paint(HWND window, COLORREF colour) {  // a new class brush: the window repaints in that colour
    DeleteObject(reinterpret_cast<HBRUSH>(SetClassLongPtrW(window, GCLP_HBRBACKGROUND,
                                                           reinterpret_cast<LONG_PTR>(CreateSolidBrush(colour)))));
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

class OptionsTest : public KelvaneTest {
protected:
    SolidWindow beneath{RECT{300, 380, 1000, 700}, kFirst};

    // Plays the cue in batch mode (see-through) in red over `beneath` with these options.
    HWND PlaySeeThrough(const std::string& ini) {
        Paint(beneath.hwnd, kFirst);
        folder.Write(L"cue.srt", Bytes(kCue, kCue + sizeof kCue - 1));
        folder.Write(L"Kelvane.ini", Bytes(ini.begin(), ini.end()));
        Settings s;
        s.color = kText;
        s.file = Narrow(folder.FilePath(L"cue.srt"));
        s.overlay = RECT{350, 420, 950, 640};
        s.font.lfHeight = -40, s.font.lfWeight = FW_BOLD, s.font.lfQuality = NONANTIALIASED_QUALITY;
        lstrcpyA(s.font.lfFaceName, "Tahoma");
        folder.Write(kSettingsFile, EncodeSettings(s));
        Launch(L"batchmode");
        HWND overlay = app->WaitForCaption(kCaption);
        const RECT client = ClientScreenRect(overlay);
        most = static_cast<size_t>(client.right - client.left) * (client.bottom - client.top) * 8 / 10;
        EXPECT_TRUE(WaitUntil([&] { return CountPixels(client, kText) > 0 && CountPixels(client, kFirst) > most; }));
        return overlay;
    }
    size_t most = 0;
};

TEST_F(OptionsTest, LiveSeeThroughShowsTheWindowBeneathAsItChangesWhereTheCopyKeepsTheOldPicture) {
    for (const bool live : {true, false}) {
        SCOPED_TRACE(live ? "live" : "copy");
        HWND overlay = PlaySeeThrough(live ? "[Options]\r\nLiveSeeThrough=1\r\n" : "");
        ASSERT_NE(overlay, nullptr);
        EXPECT_EQ((ExStyle(overlay) & WS_EX_LAYERED) != 0, live);
        EXPECT_EQ((ExStyle(overlay) & WS_EX_TRANSPARENT) != 0, !live);
        const RECT client = ClientScreenRect(overlay);
        Paint(beneath.hwnd, kSecond);  // no cue changes meanwhile
        if (live) {
            EXPECT_TRUE(WaitUntil([&] { return CountPixels(client, kSecond) > most; }));
        } else {
            Pump(1500);
            EXPECT_GT(CountPixels(client, kFirst), most);
            EXPECT_EQ(CountPixels(client, kSecond), 0u);
        }
        EXPECT_GT(CountPixels(client, kText), 0u) << "the cue stays";
        ExitAndWait();
    }
}

TEST_F(OptionsTest, TheOutlineSurroundsTheTextAndADoubleClickOnTheTextFrames) {
    HWND overlay = PlaySeeThrough("[Options]\r\nLiveSeeThrough=1\r\nOutline=1\r\nOutlineWidth=4\r\n"
                                  "OutlineColor=#FFFF00\r\n");
    ASSERT_NE(overlay, nullptr);
    const RECT client = ClientScreenRect(overlay);
    const std::vector<POINT> text = Pixels(client, kText);
    const RECT inner = Bounds(text), outer = Bounds(Pixels(client, kOutline));
    ASSERT_FALSE(text.empty());
    EXPECT_LE(outer.left, inner.left - 3);
    EXPECT_LE(outer.top, inner.top - 3);
    EXPECT_GE(outer.right, inner.right + 3);
    EXPECT_GE(outer.bottom, inner.bottom + 3);
    EXPECT_LT(outer.bottom, client.bottom) << "nothing cut off at the bottom edge";

    // A real double click on a pixel of the text.
    const POINT at = text[text.size() / 2];
    SetCursorPos(at.x, at.y);
    INPUT clicks[4] = {};
    for (int i = 0; i < 4; ++i) {
        clicks[i].type = INPUT_MOUSE;
        clicks[i].mi.dwFlags = i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
    }
    SendInput(4, clicks, sizeof(INPUT));
    EXPECT_TRUE(WaitUntil([&] { return (Style(overlay) & kFrame) == kFrame; }));
    EXPECT_EQ(ExStyle(overlay) & (WS_EX_LAYERED | WS_EX_TRANSPARENT), 0);
    ExitAndWait();
}

}  // namespace
}  // namespace e2e
