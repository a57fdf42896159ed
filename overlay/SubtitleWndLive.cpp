// CSubtitleWnd's live controls: the commands of its right-click menu and global
// hotkeys, the one-shot timer aimed at the next change, and the status line.
#include <cmath>

#include "panel/ControlDlg.h"
#include "overlay/SubtitleWnd.h"
#include "res/resource.h"

double CSubtitleWnd::s_dRate = 1.0;

void CSubtitleWnd::ArmDueTimer()
{
    // The 100 ms timer goes on as the safety net; this one lands on the due
    // time itself, so a change reaches the screen on time rather than at the
    // next 100 ms tick.
    const double due = m_schedule.NextDue();
    const double wait = std::ceil(due - m_schedule.m_clock());
    if (!m_bTicking || !(wait < 3600000.0)) {
        KillTimer(kDueTimerId);
        return;
    }
    SetTimer(kDueTimerId, wait < 1 ? 1u : static_cast<UINT>(wait));
}

void CSubtitleWnd::ShowStatus(const std::string& text, UINT nMs)
{
    m_status.Show(text);
    SetTimer(kStatusTimerId, nMs);
}

bool CSubtitleWnd::DoCommand(UINT nID)
{
    const auto& rates = COverlayCommands::Rates();
    std::string status;
    switch (nID) {
    case IDM_OVERLAY_PAUSE:
        if (m_schedule.IsPlaying() || m_schedule.m_bPaused)
            status = m_schedule.TogglePause() ? "Paused" : "Playing";
        break;
    case IDM_OVERLAY_LATER:
    case IDM_OVERLAY_EARLIER:
    case IDM_OVERLAY_LATER_1S:
    case IDM_OVERLAY_EARLIER_1S: {
        if (!m_schedule.m_bStarted)
            break;
        const int32_t step = nID == IDM_OVERLAY_LATER_1S || nID == IDM_OVERLAY_EARLIER_1S ? 1000 : 100;
        const int32_t ms = nID == IDM_OVERLAY_LATER || nID == IDM_OVERLAY_LATER_1S ? step : -step;
        const int32_t delay = m_pPanel->AddToDelay(ms);
        m_schedule.Nudge(ms);
        status = "Delay " + std::string(delay > 0 ? "+" : "") + std::to_string(delay) + " ms";
        break;
    }
    case IDM_OVERLAY_NEXT:
    case IDM_OVERLAY_PREVIOUS:
        if (!m_schedule.m_bStarted)
            break;
        if (!(nID == IDM_OVERLAY_NEXT ? m_schedule.NextCue() : m_schedule.PreviousCue()))
            status = nID == IDM_OVERLAY_NEXT ? "No next cue" : "No previous cue";
        break;
    case IDM_OVERLAY_SEE_THROUGH:
        ToggleSeeThrough();
        return true;
    case IDM_OVERLAY_OPTIONS:
        m_pPanel->OnOptions(this);
        return true;
    case IDM_OVERLAY_CLOSE:
        OnClose();  // the object is gone after this
        return true;
    default:
        if (nID < IDM_OVERLAY_RATE_FIRST || nID >= IDM_OVERLAY_RATE_FIRST + rates.size())
            return false;
        s_dRate = rates[nID - IDM_OVERLAY_RATE_FIRST].factor;
        m_schedule.SetRate(s_dRate);
        status = rates[nID - IDM_OVERLAY_RATE_FIRST].label;
        break;
    }
    if (!m_schedule.m_bStarted)
        status = "Nothing to play";

    // A move back may bring a finished playback to life again.
    if (m_schedule.IsPlaying() && !m_bTicking && m_nTimer != 0) {
        m_nTimer = SetTimer(kTimerId, kTimerPeriod);
        m_bTicking = true;
    }
    Play(false);  // the text and the status line reach the screen in one refresh
    if (status.empty())
        status = "Cue " + std::to_string(m_schedule.m_nShownIndex);
    ShowStatus(status);
    Refresh();
    return true;
}

bool CSubtitleWnd::OnCommand(UINT nID, UINT, HWND)
{
    return DoCommand(nID);
}

void CSubtitleWnd::ShowMenu(LPARAM lParam)
{
    POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (lParam == -1) {  // from the keyboard: at the middle of the overlay
        RECT rc;
        GetWindowRect(&rc);
        at = POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
    HMENU hMenu = COverlayCommands::BuildMenu(m_schedule.m_dRate);
    if (!hMenu)
        return;
    // The overlay must be in front, or the menu would not close when the user
    // clicks elsewhere.
    ::SetForegroundWindow(m_hWnd);
    const UINT nID = static_cast<UINT>(
        ::TrackPopupMenu(hMenu, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, m_hWnd, nullptr));
    ::DestroyMenu(hMenu);
    if (nID)
        DoCommand(nID);
}

bool CSubtitleWnd::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT&)
{
    switch (msg) {
    case WM_HOTKEY:
        if (const UINT nID = COverlayCommands::CommandOfHotKey(wParam))
            DoCommand(nID);
        return true;
    case WM_CONTEXTMENU:
        ShowMenu(lParam);
        return true;
    case WM_DESTROY:
        m_commands.UnregisterHotKeys();  // also when the window goes without a close
        return false;
    default:
        return false;
    }
}
