#pragma once
// CWnd: a non-owning handle to a window. Copying it copies the handle only;
// the window's lifetime belongs to whoever created it (a dialog object, or
// another program for windows found by walking the z-order).

#include <windows.h>

class CWnd {
public:
    CWnd() = default;
    explicit CWnd(HWND hWnd) : m_hWnd(hWnd) {}

    operator HWND() const { return m_hWnd; }

    CWnd GetDlgItem(int nID) const { return CWnd(::GetDlgItem(m_hWnd, nID)); }
    CWnd GetWindow(UINT nCmd) const { return CWnd(::GetWindow(m_hWnd, nCmd)); }
    bool EnableWindow(bool bEnable = true) const { return ::EnableWindow(m_hWnd, bEnable) != FALSE; }
    bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
    bool ShowWindow(int nCmdShow) const { return ::ShowWindow(m_hWnd, nCmdShow) != FALSE; }
    bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
    bool IsIconic() const { return ::IsIconic(m_hWnd) != FALSE; }
    bool MoveWindow(int x, int y, int nWidth, int nHeight, bool bRepaint = true) const
    {
        return ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint) != FALSE;
    }
    bool SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) const
    {
        return ::SetWindowPos(m_hWnd, hWndInsertAfter, x, y, cx, cy, nFlags) != FALSE;
    }

    // New style = (old without dwRemove) | dwAdd. When that differs from the old
    // style it is stored, and a nonzero nFlags re-applies the frame through
    // SetWindowPos(SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags).
    // Returns whether the style changed.
    bool ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0) const;
    bool ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0) const;

    void GetWindowRect(RECT* pRect) const { ::GetWindowRect(m_hWnd, pRect); }
    void GetClientRect(RECT* pRect) const { ::GetClientRect(m_hWnd, pRect); }
    // Both corners of the rectangle, client <-> screen coordinates.
    void ClientToScreen(RECT* pRect) const;
    void ScreenToClient(RECT* pRect) const;

    bool RedrawWindow(const RECT* pRect = nullptr, HRGN hRgn = nullptr,
                      UINT nFlags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) const
    {
        return ::RedrawWindow(m_hWnd, pRect, hRgn, nFlags) != FALSE;
    }
    bool InvalidateRect(const RECT* pRect = nullptr, bool bErase = true) const
    {
        return ::InvalidateRect(m_hWnd, pRect, bErase) != FALSE;
    }
    bool UpdateWindow() const { return ::UpdateWindow(m_hWnd) != FALSE; }

    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse) const { return ::SetTimer(m_hWnd, nIDEvent, nElapse, nullptr); }
    bool KillTimer(UINT_PTR nIDEvent) const { return ::KillTimer(m_hWnd, nIDEvent) != FALSE; }

    bool GetWindowPlacement(WINDOWPLACEMENT* pwp) const
    {
        pwp->length = sizeof(WINDOWPLACEMENT);
        return ::GetWindowPlacement(m_hWnd, pwp) != FALSE;
    }
    bool SetWindowPlacement(const WINDOWPLACEMENT* pwp) const { return ::SetWindowPlacement(m_hWnd, pwp) != FALSE; }
    HWND SetActiveWindow() const { return ::SetActiveWindow(m_hWnd); }
    HMENU GetSystemMenu(bool bRevert = false) const { return ::GetSystemMenu(m_hWnd, bRevert); }
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, msg, wParam, lParam);
    }
    bool DestroyWindow() const { return ::DestroyWindow(m_hWnd) != FALSE; }

    HWND m_hWnd = nullptr;
};

// The work area of a monitor (the screen less the task bar); the primary
// monitor's when hMonitor is null.
RECT MonitorWorkArea(HMONITOR hMonitor = nullptr);
