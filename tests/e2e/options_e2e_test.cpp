// Options from Kelvane.ini: live see-through over a window that changes colour, the outline, a double click.
#include "Harness.h"

namespace e2e {
namespace {

constexpr COLORREF kText = RGB(255, 0, 0), kOutline = RGB(255, 255, 0);
constexpr COLORREF kFirst = RGB(30, 160, 90), kSecond = RGB(40, 60, 200);
const char kCue[] = "1\n00:00:00,200 --> 00:10:00,000\nMMMM\n\n";

// The bounding box of the screen pixels of one colour in area, and one of them.
RECT Bounds(const RECT& area, COLORREF colour, POINT& one) {
    const int w = area.right - area.left, h = area.bottom - area.top;
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    HDC screen = GetDC(nullptr), mem = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(mem, 0, 0, w, h, screen, area.left, area.top, SRCCOPY), SelectObject(mem, old);
    BITMAPINFO bi{{sizeof bi.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    GetDIBits(mem, bitmap, 0, h, px.data(), &bi, DIB_RGB_COLORS);
    DeleteDC(mem), DeleteObject(bitmap), ReleaseDC(nullptr, screen);
    RECT r{area.right, area.bottom, area.left - 1, area.top - 1};
    for (int i = 0; i < w * h; ++i)
        if ((px[i] & 0xFFFFFF) == RGB(GetBValue(colour), GetGValue(colour), GetRValue(colour))) {  // 0x00RRGGBB
            one = POINT{area.left + i % w, area.top + i / w};
            r = {std::min(r.left, one.x), std::min(r.top, one.y), std::max(r.right, one.x), std::max(r.bottom, one.y)};
        }
    return r;
}

class OptionsTest : public KelvaneTest {
protected:
    SolidWindow beneath{RECT{300, 380, 1000, 700}, kFirst};

    void Paint(COLORREF colour) {  // a new class brush: the window beneath repaints in that colour
        DeleteObject(reinterpret_cast<HBRUSH>(
            SetClassLongPtrW(beneath.hwnd, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(CreateSolidBrush(colour)))));
        RedrawWindow(beneath.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
};

TEST_F(OptionsTest, LiveSeeThroughShowsTheChangingWindowBeneathTheOutlinedTextAndFramesOnADoubleClickOnIt) {
    for (const bool live : {false, true}) {
        const std::string ini = live ? "[Options]\nLiveSeeThrough=1\nOutline=1\nOutlineWidth=4\nOutlineColor=#FFFF00" : "";
        folder.Write(L"Kelvane.ini", {ini.begin(), ini.end()});
        folder.Write(L"cue.srt", {kCue, kCue + sizeof kCue - 1});
        Settings s;
        s.color = kText, s.file = Narrow(folder.FilePath(L"cue.srt")), s.overlay = RECT{350, 420, 950, 640};
        s.font.lfHeight = -40, s.font.lfWeight = FW_BOLD, s.font.lfQuality = NONANTIALIASED_QUALITY;
        lstrcpyA(s.font.lfFaceName, "Tahoma");
        folder.Write(kSettingsFile, EncodeSettings(s));
        Paint(kFirst);
        Launch(L"batchmode");
        HWND overlay = app->WaitForCaption(kCaption);
        ASSERT_NE(overlay, nullptr);
        const RECT client = ClientScreenRect(overlay);
        const size_t most = static_cast<size_t>(client.right - client.left) * (client.bottom - client.top) * 8 / 10;
        ASSERT_TRUE(WaitUntil("the cue over the window beneath",
                              [&] { return CountPixels(client, kText) > 0 && CountPixels(client, kFirst) > most; }));

        Pump(1000), Paint(kSecond);  // settled, no cue changes: live follows it, the copy keeps the old picture
        Pump(live ? 0 : 1500);
        EXPECT_TRUE(WaitUntil(live ? "the new colour live" : "the old picture kept", [&] {
            return CountPixels(client, live ? kSecond : kFirst) > most; }, live ? kTimeout : 0));
        if (live) {
            POINT onText{}, onOutline{};
            const RECT inner = Bounds(client, kText, onText), outer = Bounds(client, kOutline, onOutline);
            EXPECT_TRUE(outer.left <= inner.left - 3 && outer.top <= inner.top - 3 && outer.right >= inner.right + 3 &&
                        outer.bottom >= inner.bottom + 3 && outer.bottom < client.bottom) << "all round, not cut off";
            SetCursorPos(onText.x, onText.y);  // a real double click on a pixel of the text
            for (int i = 0; i < 4; ++i)
                mouse_event(i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
            EXPECT_TRUE(WaitUntil("a frame", [&] { return (Style(overlay) & WS_CAPTION) == WS_CAPTION; }));
            EXPECT_EQ(ExStyle(overlay) & (WS_EX_LAYERED | WS_EX_TRANSPARENT), 0);
        }
        ExitAndWait();
    }
}

}  // namespace
}  // namespace e2e
