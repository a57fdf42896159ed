#include "framework/Wnd.h"

namespace {

bool ModifyLong(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    const DWORD oldStyle = static_cast<DWORD>(::GetWindowLongPtrW(hWnd, nIndex));
    const DWORD newStyle = (oldStyle & ~dwRemove) | dwAdd;
    if (newStyle == oldStyle)
        return false;
    ::SetWindowLongPtrW(hWnd, nIndex, static_cast<LONG_PTR>(newStyle));
    if (nFlags != 0) {
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    }
    return true;
}

}  // namespace

bool CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) const
{
    return ModifyLong(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

bool CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) const
{
    return ModifyLong(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

void CWnd::ClientToScreen(RECT* pRect) const
{
    POINT corners[2] = {{pRect->left, pRect->top}, {pRect->right, pRect->bottom}};
    ::ClientToScreen(m_hWnd, &corners[0]);
    ::ClientToScreen(m_hWnd, &corners[1]);
    *pRect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

void CWnd::ScreenToClient(RECT* pRect) const
{
    POINT corners[2] = {{pRect->left, pRect->top}, {pRect->right, pRect->bottom}};
    ::ScreenToClient(m_hWnd, &corners[0]);
    ::ScreenToClient(m_hWnd, &corners[1]);
    *pRect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

RECT MonitorWorkArea(HMONITOR hMonitor)
{
    if (!hMonitor)
        hMonitor = ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (!::GetMonitorInfoA(hMonitor, &mi))
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &mi.rcWork, 0);
    return mi.rcWork;
}
