// A full-screen stand-in for a film frame: a dusk sky, a sea and a lighthouse,
// painted by GDI. The demo places Kelvane's see-through overlay over it.
#include <windows.h>

namespace {

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour)
{
    RECT rc{left, top, right, bottom};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
}

void PaintScene(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int w = rc.right, h = rc.bottom, horizon = h * 62 / 100;
    for (int y = 0; y < horizon; y += 4) {  // sky: deep blue to orange
        const int t = y * 255 / horizon;
        Fill(dc, 0, y, w, y + 4, RGB(30 + t * 200 / 255, 40 + t * 90 / 255, 110 - t * 60 / 255));
    }
    for (int y = horizon; y < h; y += 4) {  // sea: dark teal
        const int t = (y - horizon) * 255 / (h - horizon);
        Fill(dc, 0, y, w, y + 4, RGB(20, 70 - t * 40 / 255, 90 - t * 50 / 255));
    }
    const int x = w * 3 / 4;  // lighthouse with its lamp
    Fill(dc, x - 18, horizon - 220, x + 18, horizon + 10, RGB(235, 230, 220));
    Fill(dc, x - 18, horizon - 160, x + 18, horizon - 130, RGB(190, 40, 40));
    Fill(dc, x - 18, horizon - 80, x + 18, horizon - 50, RGB(190, 40, 40));
    Fill(dc, x - 24, horizon - 250, x + 24, horizon - 220, RGB(255, 230, 120));
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT:
        PaintScene(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = "KelvaneBackdrop";
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&wc);
    CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "Kelvane backdrop", WS_POPUP | WS_VISIBLE, 0, 0,
                    GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance,
                    nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
