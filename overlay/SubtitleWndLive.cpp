// CSubtitleWnd's live controls: the commands of its right-click menu and global
// hotkeys, and the status line that answers them.
#include "core/RatePresets.h"
#include "overlay/SubtitleWnd.h"
#include "res/resource.h"

void CSubtitleWnd::ShowStatus(const std::string& text, UINT nMs)
{
    m_status.Show(text);
    SetTimer(kStatusTimerId, nMs);
}

bool CSubtitleWnd::DoCommand(UINT nID)
{
    const auto& rates = RatePresets();
    std::string status;
    switch (nID) {
    case IDM_OVERLAY_PAUSE:
        if (m_controller.HasStarted())
            status = PauseCommand();
        break;
    case IDM_OVERLAY_LATER:
    case IDM_OVERLAY_EARLIER:
    case IDM_OVERLAY_LATER_1S:
    case IDM_OVERLAY_EARLIER_1S: {
        if (!m_controller.HasStarted())
            break;
        const int32_t step = nID == IDM_OVERLAY_LATER_1S || nID == IDM_OVERLAY_EARLIER_1S ? 1000 : 100;
        const int32_t delay = m_controller.Nudge(nID == IDM_OVERLAY_LATER || nID == IDM_OVERLAY_LATER_1S ? step : -step);
        m_host.OnDelayChanged(delay);
        status = "Delay " + std::string(delay > 0 ? "+" : "") + std::to_string(delay) + " ms";
        break;
    }
    case IDM_OVERLAY_NEXT:
    case IDM_OVERLAY_PREVIOUS:
        if (!m_controller.HasStarted())
            break;
        if (nID == IDM_OVERLAY_NEXT ? m_controller.NextCue() : m_controller.PreviousCue())
            m_host.OnDelayChanged(m_controller.Delay());
        else
            status = nID == IDM_OVERLAY_NEXT ? "No next cue" : "No previous cue";
        break;
    case IDM_OVERLAY_SEE_THROUGH:
        ToggleSeeThrough();
        return true;
    case IDM_OVERLAY_OPTIONS:
        m_host.OnOptionsWanted(m_hWnd);
        return true;
    case IDM_OVERLAY_CLOSE:
        OnClose();  // the object is gone after this
        return true;
    default:
        if (nID < IDM_OVERLAY_RATE_FIRST || nID >= IDM_OVERLAY_RATE_FIRST + rates.size())
            return false;
        m_controller.SetRate(rates[nID - IDM_OVERLAY_RATE_FIRST].factor);
        m_host.OnRateChanged(m_controller.Rate());
        status = rates[nID - IDM_OVERLAY_RATE_FIRST].label;
        break;
    }
    if (!m_controller.HasStarted())
        status = "Nothing to play";

    KeepTicking();  // a move back may bring a finished playback to life again
    Play(false);  // the text and the status line reach the screen in one refresh
    if (status.empty())
        status = "Cue " + std::to_string(m_controller.ShownIndex());
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
    HMENU hMenu = COverlayCommands::BuildMenu(m_controller.Rate());
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
    case kPlayerMessage:
        Play();  // takes the player's state, shows what is due at its position, aims the next tick
        return true;
    case WM_DESTROY:
        m_commands.UnregisterHotKeys();  // also when the window goes without a close
        return false;
    default:
        return false;
    }
}
