#include "panel/StartOnClick.h"

CStartOnClick* CStartOnClick::s_pArmed = nullptr;

bool CStartOnClick::Arm(HWND hNotify, UINT nMsg)
{
    Disarm();
    m_hNotify = hNotify;
    m_nMsg = nMsg;
    m_bFired = false;
    s_pArmed = this;
    m_hHook = ::SetWindowsHookExA(WH_MOUSE_LL, MouseProc, ::GetModuleHandleA(nullptr), 0);
    if (!m_hHook)
        s_pArmed = nullptr;
    return m_hHook != nullptr;
}

void CStartOnClick::Disarm()
{
    if (m_hHook)
        ::UnhookWindowsHookEx(m_hHook);
    m_hHook = nullptr;
    if (s_pArmed == this)
        s_pArmed = nullptr;
}

LRESULT CALLBACK CStartOnClick::MouseProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    CStartOnClick* self = s_pArmed;
    const bool bPress = wParam == WM_LBUTTONDOWN || wParam == WM_RBUTTONDOWN || wParam == WM_MBUTTONDOWN ||
                        wParam == WM_XBUTTONDOWN;
    if (nCode == HC_ACTION && bPress && self && !self->m_bFired) {
        const auto* info = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        HWND hAt = ::WindowFromPoint(info->pt);
        DWORD pid = 0;
        if (hAt && hAt != ::GetDesktopWindow())
            ::GetWindowThreadProcessId(hAt, &pid);
        if (pid != ::GetCurrentProcessId()) {
            // The panel disarms (removes the hook) as soon as it gets the
            // message; until then no further press counts.
            self->m_bFired = true;
            ::PostMessageA(self->m_hNotify, self->m_nMsg, info->time, 0);
        }
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}
