#pragma once
// CStartOnClick: a low-level mouse hook that waits for the next mouse button
// press anywhere on the screen (typically the film player's Play button) and
// then posts a message to the panel, so playback starts at that instant. The
// press still reaches the program it was meant for. Presses on Kelvane's own
// windows (the panel, its menus) do not count, so the panel stays usable.
// The hook is removed as soon as it fired or was disarmed.

#include <windows.h>

class CStartOnClick {
public:
    CStartOnClick() = default;
    ~CStartOnClick() { Disarm(); }
    CStartOnClick(const CStartOnClick&) = delete;
    CStartOnClick& operator=(const CStartOnClick&) = delete;

    // Installs the hook; the press posts nMsg to hNotify with the press's time
    // (GetTickCount's clock) as wParam. False when the hook could not be installed.
    bool Arm(HWND hNotify, UINT nMsg);
    void Disarm();
    bool IsArmed() const { return m_hHook != nullptr; }

private:
    static LRESULT CALLBACK MouseProc(int nCode, WPARAM wParam, LPARAM lParam);

    static CStartOnClick* s_pArmed;  // the one armed instance; the hook has no context
    HHOOK m_hHook = nullptr;
    HWND m_hNotify = nullptr;
    UINT m_nMsg = 0;
    bool m_bFired = false;
};
